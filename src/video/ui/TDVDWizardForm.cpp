#include "TDVDWizardForm.h"

#include "shell/Execute.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/WizardFrame.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Lumerix {

TDVDWizardForm::TDVDWizardForm(const TRunState& state, TPrompter& prompter, QWidget* parent)
    : QDialog(parent), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("DVDWizardForm"));
    const auto named = [](QWidget* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    Image1 = WizardFrame::SidePicture(State, this);
    Label3 = WizardFrame::Heading(this);

    auto radio = [&](const char* name, QWidget* parentWidget) {
        return static_cast<QRadioButton*>(named(new QRadioButton(parentWidget), name));
    };
    VCDRadioButton = radio("VCDRadioButton", this);
    SVCDRadioButton = radio("SVCDRadioButton", this);
    NanoVCDRadioButton = radio("NanoVCDRadioButton", this);
    NanoSVCDRadioButton = radio("NanoSVCDRadioButton", this);
    VCDRadioButton->setChecked(true);
    auto* kinds = new QButtonGroup(this);
    for (QRadioButton* button :
         {VCDRadioButton, SVCDRadioButton, NanoVCDRadioButton, NanoSVCDRadioButton}) {
        kinds->addButton(button);
        connect(button, &QRadioButton::clicked, this, [this] { ShowEstimate(); });
    }

    auto* standardBox = new QGroupBox(QStringLiteral("Format"), this);
    PalRadioButton = radio("PalRadioButton", standardBox);
    PalRadioButton->setText(QStringLiteral("PAL (Europe)"));
    PalRadioButton->setChecked(true);
    NTSCRadioButton = radio("NTSCRadioButton", standardBox);
    NTSCRadioButton->setText(QStringLiteral("NTSC (USA, Japan)"));
    auto* standards = new QHBoxLayout(standardBox);
    standards->addWidget(PalRadioButton);
    standards->addWidget(NTSCRadioButton);
    standards->addStretch();

    Label7 = new QLabel(this);
    Label6 = new QLabel(this);
    DiashowSizeEdit = static_cast<QLineEdit*>(named(new QLineEdit(this), "DiashowSizeEdit"));
    FreeDiskEdit = static_cast<QLineEdit*>(named(new QLineEdit(this), "FreeDiskEdit"));
    for (QLineEdit* edit : {DiashowSizeEdit, FreeDiskEdit}) {
        edit->setReadOnly(true);
        edit->setMaximumWidth(120);
    }
    auto* sizes = new QFormLayout;
    sizes->addRow(Label7, DiashowSizeEdit);
    sizes->addRow(Label6, FreeDiskEdit);

    auto button = [&](const char* name) {
        return static_cast<QPushButton*>(named(new QPushButton(this), name));
    };
    ZurueckBitBtn = button("ZurueckBitBtn");
    HilfeBitBtn = button("HilfeBitBtn");
    AbortBitBtn = button("AbortBitBtn");
    WeiterBitBtn = button("WeiterBitBtn");
    WeiterBitBtn->setDefault(true);

    auto* choices = new QVBoxLayout;
    for (QRadioButton* choice :
         {VCDRadioButton, SVCDRadioButton, NanoVCDRadioButton, NanoSVCDRadioButton})
        choices->addWidget(choice);
    choices->addSpacing(8);
    choices->addWidget(standardBox);
    choices->addSpacing(8);
    choices->addLayout(sizes);
    WizardFrame::Arrange(*this, Image1, Label3, choices, {HilfeBitBtn},
                         {ZurueckBitBtn, AbortBitBtn, WeiterBitBtn});

    connect(WeiterBitBtn, &QPushButton::clicked, this, &TDVDWizardForm::Next);
    connect(ZurueckBitBtn, &QPushButton::clicked, this, [this] {
        Answer = TAnswer::Back;
        reject();
    });
    connect(AbortBitBtn, &QPushButton::clicked, this, [this] {
        Answer = TAnswer::Cancel;
        reject();
    });
    connect(HilfeBitBtn, &QPushButton::clicked, this,
            [this] { Execute::OpenDocument(State.HelpFile()); });
}

TDVDWizardForm::TChoice TDVDWizardForm::Choose(int pictureCount) {
    PictureCount = pictureCount;
    setWindowTitle(State.Text(5207));
    Label3->setText(State.Text(5200));
    VCDRadioButton->setText(State.Text(5201));
    SVCDRadioButton->setText(State.Text(5202));
    NanoVCDRadioButton->setText(State.Text(5203));
    NanoSVCDRadioButton->setText(State.Text(5204));
    Label7->setText(State.Text(5205));
    Label6->setText(State.Text(5206));
    ZurueckBitBtn->setText(State.Text(6000));
    HilfeBitBtn->setText(State.Text(6001));
    AbortBitBtn->setText(State.Text(6002));
    WeiterBitBtn->setText(State.Text(6003));
    ShowEstimate();
    Answer = TAnswer::Cancel;
    exec();

    TChoice choice;
    choice.Answer = Answer;
    choice.Kind = ChosenKind().value_or(TVideoKind::Vcd);
    choice.Standard = NTSCRadioButton->isChecked() ? TTvStandard::Ntsc : TTvStandard::Pal;
    return choice;
}

std::optional<TVideoKind> TDVDWizardForm::ChosenKind() const {
    const std::pair<QRadioButton*, TVideoKind> kinds[] = {
        {VCDRadioButton, TVideoKind::Vcd},
        {SVCDRadioButton, TVideoKind::Svcd},
        {NanoVCDRadioButton, TVideoKind::VcdTransitions},
        {NanoSVCDRadioButton, TVideoKind::SvcdTransitions}};
    for (const auto& [button, kind] : kinds) {
        if (button->isChecked())
            return kind;
    }
    return std::nullopt;
}

VideoFormat::TEstimate TDVDWizardForm::ShowEstimate() {
    const VideoFormat::TEstimate estimate =
        VideoFormat::Estimate(ChosenKind().value_or(TVideoKind::Vcd), PictureCount,
                              State.SecondsPerPicture.toInt(), State.WorkspaceDir);
    FreeDiskEdit->setText(QString::number(estimate.FreeMegabytes) + QStringLiteral(" MB"));
    DiashowSizeEdit->setText(QString::number(estimate.NeededMegabytes) + QStringLiteral(" MB"));
    return estimate;
}

void TDVDWizardForm::Next() {
    if (!ChosenKind()) {
        Prompter.Information(State.Text(10027));
        return;
    }
    // The MPEG encoder is built in, so every kind can be built.
    Answer = TAnswer::Build;
    accept();
}

} // namespace Lumerix
