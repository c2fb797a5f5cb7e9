#include "TOpenForm.h"

#include "document/TSlideshowStore.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace Lumerix {

TOpenForm::TOpenForm(const TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("OpenForm"));
    DoLabel = new QLabel(this);
    DoLabel->setObjectName(QStringLiteral("DoLabel"));
    DiashowListBox = new QListWidget(this);
    DiashowListBox->setObjectName(QStringLiteral("DiashowListBox"));
    OpenBitBtn = new QPushButton(this);
    OpenBitBtn->setObjectName(QStringLiteral("OpenBitBtn"));
    OpenBitBtn->setDefault(true);
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OpenBitBtn);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DoLabel);
    layout->addWidget(DiashowListBox, 1);
    layout->addLayout(buttons);
    resize(460, 360);

    connect(OpenBitBtn, &QPushButton::clicked, this, &TOpenForm::Confirm);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(DiashowListBox, &QListWidget::itemDoubleClicked, this, &TOpenForm::Confirm);
}

std::optional<QString> TOpenForm::Choose(TMode mode) {
    setWindowTitle(State.Text(4202));
    const bool open = mode == TMode::Open;
    DoLabel->setText(State.Text(open ? 4203 : 4205));
    OpenBitBtn->setText(State.Text(open ? 4204 : 4206));
    BitBtn2->setText(State.Text(4201));
    DiashowListBox->clear();
    DiashowListBox->addItems(TSlideshowStore(State).ChooserEntries());
    Chosen.clear();
    if (exec() != QDialog::Accepted || Chosen.isEmpty())
        return std::nullopt;
    return Chosen;
}

void TOpenForm::Confirm() {
    const QListWidgetItem* item = DiashowListBox->currentItem();
    if (!item || !item->isSelected()) {
        Prompter.Information(State.Text(10026));
        return;
    }
    Chosen = TSlideshowStore::FolderOfEntry(item->text());
    accept();
}

} // namespace Lumerix
