#include "TPrintSelectForm.h"

#include "document/TPictureEntry.h"
#include "printing/PrintList.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace Lumerix {

namespace {

constexpr int ItemHeight = 70;
// Entries store the raw text; the list shows the name and caption beside the thumbnail.
constexpr int EntryRole = Qt::UserRole + 1;

} // namespace

TPrintSelectForm::TPrintSelectForm(const TRunState& state, TPrompter& prompter,
                                   const QStringList& entries, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("PrintSelectForm"));
    setWindowTitle(State.Caption());
    PictureListBox = new QListWidget(this);
    PictureListBox->setObjectName(QStringLiteral("PictureListBox"));
    PictureListBox->setIconSize(QSize(2 * ItemHeight, ItemHeight - 4));
    PictureListBox->setUniformItemSizes(true);
    for (const QString& text : entries) {
        const TPictureEntry entry = TPictureEntry::Parse(text);
        QString label = entry.FileName;
        if (!entry.Caption.isEmpty())
            label += CaptionSeparator + entry.Caption;
        auto* item = new QListWidgetItem(label, PictureListBox);
        item->setData(EntryRole, text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(0, ItemHeight));
        if (!entry.ThumbnailPath.isEmpty())
            item->setIcon(QIcon(QPixmap(entry.ThumbnailPath)));
    }
    PrintBitBtn = new QPushButton(State.Text(6700), this);
    PrintBitBtn->setObjectName(QStringLiteral("PrintBitBtn"));
    PrintBitBtn->setDefault(true);
    CancelBitBtn = new QPushButton(State.Text(6701), this);
    CancelBitBtn->setObjectName(QStringLiteral("CancelBitBtn"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(PrintBitBtn);
    buttons->addWidget(CancelBitBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PictureListBox, 1);
    layout->addLayout(buttons);
    setWindowState(Qt::WindowMaximized);

    connect(PrintBitBtn, &QPushButton::clicked, this, &TPrintSelectForm::PrintChosen);
    connect(CancelBitBtn, &QPushButton::clicked, this, &QDialog::reject);
    // A click on the text toggles the tick, as a check list does.
    connect(PictureListBox, &QListWidget::itemActivated, this, [](QListWidgetItem* item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
}

void TPrintSelectForm::SetTicked(int row, bool ticked) {
    if (QListWidgetItem* item = PictureListBox->item(row))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QStringList TPrintSelectForm::TickedEntries() const {
    QStringList ticked;
    for (int row = 0; row < PictureListBox->count(); ++row) {
        const QListWidgetItem* item = PictureListBox->item(row);
        if (item->checkState() == Qt::Checked)
            ticked.append(item->data(EntryRole).toString());
    }
    return ticked;
}

void TPrintSelectForm::PrintChosen() {
    const QStringList ticked = TickedEntries();
    if (ticked.isEmpty()) {
        Prompter.Information(State.Text(10011));
        return;
    }
    QString error;
    if (!PrintList::Write(PrintList::Path(State), ticked, &error)) {
        Prompter.Error(error);
        return;
    }
    accept();
}

} // namespace Lumerix
