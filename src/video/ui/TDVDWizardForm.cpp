#include "TDVDWizardForm.h"

#include "shell/Execute.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/WizardFrame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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
    Mp4RadioButton = radio("Mp4RadioButton", this);
    VCDRadioButton->setChecked(true);
    auto* kinds = new QButtonGroup(this);
    for (QRadioButton* button : {VCDRadioButton, SVCDRadioButton, NanoVCDRadioButton,
                                 NanoSVCDRadioButton, Mp4RadioButton}) {
        kinds->addButton(button);
        connect(button, &QRadioButton::clicked, this, [this] { ShowEstimate(); });
    }

    // The MP4's own choices, shown while it is the chosen kind.
    Mp4Box = static_cast<QGroupBox*>(named(new QGroupBox(this), "Mp4Box"));
    auto combo = [&](const char* name, const QStringList& items, int current) {
        auto* box = static_cast<QComboBox*>(named(new QComboBox(Mp4Box), name));
        box->addItems(items);
        box->setCurrentIndex(current);
        connect(box, &QComboBox::currentIndexChanged, this, [this] { ShowEstimate(); });
        return box;
    };
    Mp4SizeComboBox = combo("Mp4SizeComboBox",
                            {QStringLiteral("1280 × 720"), QStringLiteral("1920 × 1080"),
                             QStringLiteral("3840 × 2160")},
                            1);
    Mp4ShapeComboBox =
        combo("Mp4ShapeComboBox", {QStringLiteral("16:9"), QStringLiteral("4:3")}, 0);
    Mp4RateComboBox = combo(
        "Mp4RateComboBox",
        {QStringLiteral("25"), QStringLiteral("30"), QStringLiteral("50"), QStringLiteral("60")},
        1);
    Mp4QualityComboBox = combo("Mp4QualityComboBox", {QString(), QString()}, 0);
    Mp4MotionCheckBox = static_cast<QCheckBox*>(named(new QCheckBox(Mp4Box), "Mp4MotionCheckBox"));
    Mp4MotionCheckBox->setChecked(true);
    connect(Mp4MotionCheckBox, &QCheckBox::toggled, this, [this] { ShowEstimate(); });
    Mp4FitRadioButton = radio("Mp4FitRadioButton", Mp4Box);
    Mp4FillRadioButton = radio("Mp4FillRadioButton", Mp4Box);
    Mp4FitRadioButton->setChecked(true);
    Mp4SizeLabel = new QLabel(Mp4Box);
    Mp4ShapeLabel = new QLabel(Mp4Box);
    Mp4RateLabel = new QLabel(Mp4Box);
    Mp4QualityLabel = new QLabel(Mp4Box);
    auto* fitting = new QHBoxLayout;
    fitting->addWidget(Mp4FitRadioButton);
    fitting->addWidget(Mp4FillRadioButton);
    fitting->addStretch();
    auto* mp4Form = new QFormLayout(Mp4Box);
    mp4Form->addRow(Mp4SizeLabel, Mp4SizeComboBox);
    mp4Form->addRow(Mp4ShapeLabel, Mp4ShapeComboBox);
    mp4Form->addRow(Mp4RateLabel, Mp4RateComboBox);
    mp4Form->addRow(Mp4QualityLabel, Mp4QualityComboBox);
    mp4Form->addRow(Mp4MotionCheckBox);
    mp4Form->addRow(fitting);

    auto* standardBox = new QGroupBox(QStringLiteral("Format"), this);
    StandardBox = standardBox;
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
    Mp4LengthLabel = new QLabel(this);
    Mp4TimeLabel = new QLabel(this);
    Mp4LengthEdit = static_cast<QLineEdit*>(named(new QLineEdit(this), "Mp4LengthEdit"));
    Mp4TimeEdit = static_cast<QLineEdit*>(named(new QLineEdit(this), "Mp4TimeEdit"));
    for (QLineEdit* edit : {Mp4LengthEdit, Mp4TimeEdit}) {
        edit->setReadOnly(true);
        edit->setMaximumWidth(120);
    }
    auto* sizes = new QFormLayout;
    sizes->addRow(Label7, DiashowSizeEdit);
    sizes->addRow(Label6, FreeDiskEdit);
    sizes->addRow(Mp4LengthLabel, Mp4LengthEdit);
    sizes->addRow(Mp4TimeLabel, Mp4TimeEdit);

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
         {VCDRadioButton, SVCDRadioButton, NanoVCDRadioButton, NanoSVCDRadioButton, Mp4RadioButton})
        choices->addWidget(choice);
    choices->addSpacing(8);
    choices->addWidget(standardBox);
    choices->addWidget(Mp4Box);
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
    Mp4RadioButton->setText(State.Text(5210));
    Mp4SizeLabel->setText(State.Text(5211));
    Mp4ShapeLabel->setText(State.Text(5212));
    Mp4RateLabel->setText(State.Text(5213));
    Mp4QualityLabel->setText(State.Text(5214));
    Mp4QualityComboBox->setItemText(0, State.Text(5215));
    Mp4QualityComboBox->setItemText(1, State.Text(5216));
    Mp4MotionCheckBox->setText(State.Text(5217));
    Mp4FitRadioButton->setText(State.Text(5218));
    Mp4FillRadioButton->setText(State.Text(5219));
    Mp4TimeLabel->setText(State.Text(5220));
    Mp4LengthLabel->setText(State.Text(5221));
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
    choice.Mp4 = Mp4Options();
    return choice;
}

std::optional<TVideoKind> TDVDWizardForm::ChosenKind() const {
    const std::pair<QRadioButton*, TVideoKind> kinds[] = {
        {VCDRadioButton, TVideoKind::Vcd},
        {SVCDRadioButton, TVideoKind::Svcd},
        {NanoVCDRadioButton, TVideoKind::VcdTransitions},
        {NanoSVCDRadioButton, TVideoKind::SvcdTransitions},
        {Mp4RadioButton, TVideoKind::Mp4}};
    for (const auto& [button, kind] : kinds) {
        if (button->isChecked())
            return kind;
    }
    return std::nullopt;
}

TMp4Options TDVDWizardForm::Mp4Options() const {
    TMp4Options options;
    const int heights[] = {720, 1080, 2160};
    const int rates[] = {25, 30, 50, 60};
    options.Height = heights[qBound(0, Mp4SizeComboBox->currentIndex(), 2)];
    options.Wide = Mp4ShapeComboBox->currentIndex() != 1;
    options.FramesPerSecond = rates[qBound(0, Mp4RateComboBox->currentIndex(), 3)];
    options.HighQuality = Mp4QualityComboBox->currentIndex() == 1;
    options.Motion = Mp4MotionCheckBox->isChecked();
    options.Fill = Mp4FillRadioButton->isChecked();
    return options;
}

VideoFormat::TEstimate TDVDWizardForm::ShowEstimate() {
    const TVideoKind kind = ChosenKind().value_or(TVideoKind::Vcd);
    const bool mp4 = kind == TVideoKind::Mp4;
    const VideoFormat::TEstimate estimate =
        mp4 ? VideoFormat::Mp4Estimate(Mp4Options(), PictureCount, State.SecondsPerPicture.toInt(),
                                       State.EffectMode != TEffectMode::Off, State.WorkspaceDir)
            : VideoFormat::Estimate(kind, PictureCount, State.SecondsPerPicture.toInt(),
                                    State.WorkspaceDir);
    FreeDiskEdit->setText(QString::number(estimate.FreeMegabytes) + QStringLiteral(" MB"));
    DiashowSizeEdit->setText(QString::number(estimate.NeededMegabytes) + QStringLiteral(" MB"));
    const auto minutes = [](qint64 seconds) {
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    };
    Mp4LengthEdit->setText(minutes(estimate.VideoSeconds));
    Mp4TimeEdit->setText(minutes(estimate.BuildSeconds));
    // The television standard means nothing to an MP4, and its own choices nothing to a disc.
    StandardBox->setVisible(!mp4);
    Mp4Box->setVisible(mp4);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{Mp4LengthLabel, Mp4LengthEdit, Mp4TimeLabel, Mp4TimeEdit})
        widget->setVisible(mp4);
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
