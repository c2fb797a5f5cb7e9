#include "TMakeWizzard.h"

#include "shell/Execute.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/WizardFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Lumerix {

TMakeWizzard::TMakeWizzard(const TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("MakeWizzard"));
    Image1 = WizardFrame::SidePicture(State, this);
    QuestionLabel = WizardFrame::Heading(this);
    auto radio = [this](const char* name) {
        auto* button = new QRadioButton(this);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    PCRadioButton = radio("PCRadioButton");
    CDROMRadioButton = radio("CDROMRadioButton");
    DVDRadioButton = radio("DVDRadioButton");
    HTMLRadioButton = radio("HTMLRadioButton");
    ScreenSaverRadioButton = radio("ScreenSaverRadioButton");
    auto button = [this](const char* name) {
        auto* pushButton = new QPushButton(this);
        pushButton->setObjectName(QString::fromLatin1(name));
        return pushButton;
    };
    HilfeBitBtn = button("HilfeBitBtn");
    AbortBitBtn = button("AbortBitBtn");
    WeiterBitBtn = button("WeiterBitBtn");
    WeiterBitBtn->setDefault(true);

    auto* choices = new QVBoxLayout;
    for (QRadioButton* choice :
         {PCRadioButton, CDROMRadioButton, DVDRadioButton, HTMLRadioButton, ScreenSaverRadioButton})
        choices->addWidget(choice);
    WizardFrame::Arrange(*this, Image1, QuestionLabel, choices, {HilfeBitBtn},
                         {AbortBitBtn, WeiterBitBtn});

    connect(WeiterBitBtn, &QPushButton::clicked, this, &TMakeWizzard::Next);
    connect(AbortBitBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HilfeBitBtn, &QPushButton::clicked, this,
            [this] { Execute::OpenDocument(State.HelpFile()); });
}

TMakeWizzard::TOutput TMakeWizzard::Choose() {
    setWindowTitle(State.Text(6206));
    QuestionLabel->setText(State.Text(6200));
    PCRadioButton->setText(State.Text(6201));
    CDROMRadioButton->setText(State.Text(6202));
    DVDRadioButton->setText(State.Text(6203));
    HTMLRadioButton->setText(State.Text(6204));
    ScreenSaverRadioButton->setText(State.Text(6205));
    HilfeBitBtn->setText(State.Text(6001));
    AbortBitBtn->setText(State.Text(6002));
    WeiterBitBtn->setText(State.Text(6003));
    Chosen = TOutput::None;
    return exec() == QDialog::Accepted ? Chosen : TOutput::None;
}

void TMakeWizzard::Next() {
    const std::pair<QRadioButton*, TOutput> choices[] = {
        {PCRadioButton, TOutput::Pc},
        {CDROMRadioButton, TOutput::CdRom},
        {DVDRadioButton, TOutput::Video},
        {HTMLRadioButton, TOutput::WebPage},
        {ScreenSaverRadioButton, TOutput::Screensaver}};
    for (const auto& [button, output] : choices) {
        if (!button->isChecked())
            continue;
        Chosen = output;
        accept();
        return;
    }
    Prompter.Information(State.Text(10027));
}

} // namespace Lumerix
