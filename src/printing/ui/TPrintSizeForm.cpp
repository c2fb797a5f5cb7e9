#include "TPrintSizeForm.h"

#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/WizardFrame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Lumerix {

TPrintSizeForm::TPrintSizeForm(const TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Tool), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("PrintSizeForm"));
    setWindowTitle(State.Text(6600));
    auto* sidePicture = WizardFrame::SidePicture(State, this);
    auto* heading = WizardFrame::Heading(this);
    heading->setText(State.Text(6601));

    auto* group = new QGroupBox(State.Text(6602), this);
    auto radio = [group](const char* name, const QString& text) {
        auto* button = new QRadioButton(text, group);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    Format9x13RadioButton = radio("Format9x13RadioButton", State.Text(6603));
    Format10x15RadioButton = radio("Format10x15RadioButton", State.Text(6604));
    Format13x18RadioButton = radio("Format13x18RadioButton", State.Text(6605));
    CustomRadioButton = radio("CustomRadioButton", State.Text(6606));
    Format9x13RadioButton->setChecked(true);
    auto* choices = new QButtonGroup(this);
    WidthEdit = new QLineEdit(group);
    WidthEdit->setObjectName(QStringLiteral("WidthEdit"));
    WidthEdit->setMaximumWidth(80);
    WidthHintLabel = new QLabel(State.Text(6610), group);
    WidthHintLabel->setObjectName(QStringLiteral("WidthHintLabel"));
    WidthHintLabel->setWordWrap(true);
    auto* groupLayout = new QVBoxLayout(group);
    for (QRadioButton* choice : {Format9x13RadioButton, Format10x15RadioButton,
                                 Format13x18RadioButton, CustomRadioButton}) {
        choices->addButton(choice);
        groupLayout->addWidget(choice);
    }
    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(WidthEdit);
    widthRow->addWidget(WidthHintLabel, 1);
    groupLayout->addLayout(widthRow);

    CaptionCheckBox = new QCheckBox(State.Text(6607), this);
    CaptionCheckBox->setObjectName(QStringLiteral("CaptionCheckBox"));
    OKBitBtn = new QPushButton(State.Text(6608), this);
    OKBitBtn->setObjectName(QStringLiteral("OKBitBtn"));
    OKBitBtn->setDefault(true);
    CancelBitBtn = new QPushButton(State.Text(6609), this);
    CancelBitBtn->setObjectName(QStringLiteral("CancelBitBtn"));

    auto* content = new QVBoxLayout;
    content->addWidget(group);
    content->addWidget(CaptionCheckBox);
    WizardFrame::Arrange(*this, sidePicture, heading, content, {}, {OKBitBtn, CancelBitBtn});

    connect(choices, &QButtonGroup::buttonClicked, this, &TPrintSizeForm::FormatChosen);
    connect(WidthEdit, &QLineEdit::textEdited, this, &TPrintSizeForm::WidthEdited);
    connect(WidthEdit, &QLineEdit::editingFinished, this, &TPrintSizeForm::CheckWidth);
    connect(OKBitBtn, &QPushButton::clicked, this, [this] {
        if (!CheckWidth())
            return;
        CaptionsChosen = CaptionCheckBox->isChecked();
        accept();
    });
    connect(CancelBitBtn, &QPushButton::clicked, this, &QDialog::reject);
    FormatChosen();
}

TPrintFormat TPrintSizeForm::Format() const {
    if (Format10x15RadioButton->isChecked())
        return TPrintFormat::Format10x15;
    if (Format13x18RadioButton->isChecked())
        return TPrintFormat::Format13x18;
    if (CustomRadioButton->isChecked())
        return TPrintFormat::Custom;
    return TPrintFormat::Format9x13;
}

void TPrintSizeForm::FormatChosen() {
    const bool custom = CustomRadioButton->isChecked();
    WidthEdit->setVisible(custom);
    WidthHintLabel->setVisible(custom);
    if (!custom)
        Value = PrintSize::ValueOf(Format());
    else
        WidthEdited(WidthEdit->text());
}

void TPrintSizeForm::WidthEdited(const QString& text) {
    // Half-typed numbers ("0," of "0,8") are no mistake yet: the check waits for the user
    // to leave the field or press OK.
    Value = PrintSize::ValueOfWidthText(text, locale()).value_or(PrintSize::DefaultValue);
    WidthReported = false;
}

bool TPrintSizeForm::CheckWidth() {
    const QString text = WidthEdit->text();
    // An emptied field is the start of retyping, not a mistake worth a message.
    if (!CustomRadioButton->isChecked() || text.trimmed().isEmpty() ||
        PrintSize::ValueOfWidthText(text, locale()))
        return true;
    Value = PrintSize::DefaultValue;
    if (!WidthReported) {
        WidthReported = true;
        Prompter.Information(State.Text(6611));
    }
    return false;
}

std::optional<TAlbumOptions> TPrintSizeForm::Ask() {
    // A cancelled opening leaves the caption switch as the last OK stored it.
    CaptionCheckBox->setChecked(CaptionsChosen);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return TAlbumOptions{Value, CaptionsChosen};
}

} // namespace Lumerix
