#include "TExportForm.h"

#include "document/TSlideshowStore.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace Lumerix {

TExportForm::TExportForm(const TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("ExportForm"));
    DoLabel = new QLabel(this);
    DoLabel->setObjectName(QStringLiteral("DoLabel"));
    DoLabel->setWordWrap(true);
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    OpenBitBtn = new QPushButton(this);
    OpenBitBtn->setObjectName(QStringLiteral("OpenBitBtn"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OpenBitBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DoLabel);
    layout->addWidget(CheckListBox1, 1);
    layout->addLayout(buttons);
    resize(460, 360);
    connect(OpenBitBtn, &QPushButton::clicked, this, &TExportForm::Confirm);
}

QStringList TExportForm::Choose(const QString& explanation) {
    setWindowTitle(State.Text(2600));
    OpenBitBtn->setText(State.Text(2601));
    DoLabel->setText(explanation);
    CheckListBox1->clear();
    for (const QString& entry : TSlideshowStore(State).ChooserEntries()) {
        auto* item = new QListWidgetItem(entry, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (exec() != QDialog::Accepted)
        return {};
    QStringList chosen;
    for (int row = 0; row < CheckListBox1->count(); ++row) {
        if (CheckListBox1->item(row)->checkState() == Qt::Checked)
            chosen.append(TSlideshowStore::FolderOfEntry(CheckListBox1->item(row)->text()));
    }
    return chosen;
}

void TExportForm::Confirm() {
    for (int row = 0; row < CheckListBox1->count(); ++row) {
        if (CheckListBox1->item(row)->checkState() == Qt::Checked) {
            accept();
            return;
        }
    }
    Prompter.Information(State.Text(10029));
}

} // namespace Lumerix
