#include "TSettingsPage.h"

#include "document/TSettings.h"
#include "imaging/TRasterImage.h"
#include "imaging/TTransition.h"
#include "shell/Colors.h"
#include "shell/TPreferences.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace Lumerix {

namespace {

constexpr QSize PreviewSize(320, 240);

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QImage PreviewPicture(const QString& path) {
    TRasterImage image;
    image.Load(path);
    if (image.SizeOf() != PreviewSize)
        image.Size(PreviewSize.width(), PreviewSize.height(), TResize::Bicubic);
    return image.Bitmap();
}

} // namespace

TSettingsPage::TSettingsPage(TRunState& state, TPrompter& prompter, QWidget* parent)
    : QWidget(parent), State(state), Prompter(prompter) {
    setObjectName(QStringLiteral("SettingsPage"));
    PreviewTimer = new QTimer(this);
    PreviewTimer->setSingleShot(true);
    connect(PreviewTimer, &QTimer::timeout, this, &TSettingsPage::NextPreviewState);
    BuildControls();
}

TSettingsPage::~TSettingsPage() = default;

void TSettingsPage::BuildControls() {
    GroupBox2 = Named(new QGroupBox(this), "GroupBox2");
    TitleLabel = new QLabel(GroupBox2);
    SecLabel = new QLabel(GroupBox2);
    TitleEdit = Named(new QLineEdit(GroupBox2), "TitleEdit");
    SecEdit = Named(new QLineEdit(GroupBox2), "SecEdit");
    SecEdit->setMaximumWidth(80);
    auto* current = new QFormLayout(GroupBox2);
    current->addRow(TitleLabel, TitleEdit);
    current->addRow(SecLabel, SecEdit);

    GroupBox3 = Named(new QGroupBox(this), "GroupBox3");
    EndlessPlayCheckBox = Named(new QCheckBox(GroupBox3), "EndlessPlayCheckBox");
    FullscreenCheckBox = Named(new QCheckBox(GroupBox3), "FullscreenCheckBox");
    ManuellCheckBox = Named(new QCheckBox(GroupBox3), "ManuellCheckBox");
    TextCheckBox = Named(new QCheckBox(GroupBox3), "TextCheckBox");
    PictureNameCheckBox = Named(new QCheckBox(GroupBox3), "PictureNameCheckBox");
    TipsCheckBox = Named(new QCheckBox(GroupBox3), "TipsCheckBox");
    TextcolorButton = Named(new QPushButton(GroupBox3), "TextcolorButton");
    BKGColorButton = Named(new QPushButton(GroupBox3), "BKGColorButton");
    TextColorPanel = Named(new QFrame(GroupBox3), "TextColorPanel");
    BKGColorPanel = Named(new QFrame(GroupBox3), "BKGColorPanel");
    for (QFrame* swatch : {TextColorPanel, BKGColorPanel}) {
        swatch->setFixedSize(40, 24);
        swatch->setFrameShape(QFrame::Box);
        swatch->setAutoFillBackground(true);
    }
    auto* all = new QGridLayout(GroupBox3);
    int row = 0;
    for (QCheckBox* box : {EndlessPlayCheckBox, FullscreenCheckBox, ManuellCheckBox, TextCheckBox,
                           PictureNameCheckBox, TipsCheckBox})
        all->addWidget(box, row++, 0, 1, 3);
    all->addWidget(TextColorPanel, row, 0);
    all->addWidget(TextcolorButton, row++, 1);
    all->addWidget(BKGColorPanel, row, 0);
    all->addWidget(BKGColorButton, row++, 1);
    all->setColumnStretch(2, 1);

    GroupBox4 = Named(new QGroupBox(this), "GroupBox4");
    OFFRadioButton = Named(new QRadioButton(GroupBox4), "OFFRadioButton");
    ONRadioButton = Named(new QRadioButton(GroupBox4), "ONRadioButton");
    RNDRadioButton = Named(new QRadioButton(GroupBox4), "RNDRadioButton");
    EffectPanel = Named(new QWidget(GroupBox4), "EffectPanel");
    EffectLabel = new QLabel(EffectPanel);
    SpinEdit1 = Named(new QSpinBox(EffectPanel), "SpinEdit1");
    SpinEdit1->setRange(1, 127);
    ShowAgainButton = Named(new QPushButton(EffectPanel), "ShowAgainButton");
    LEADImage1 = Named(new QLabel(EffectPanel), "LEADImage1");
    LEADImage1->setFixedSize(PreviewSize);
    LEADImage1->setAlignment(Qt::AlignCenter);
    LEADImage1->setStyleSheet(QStringLiteral("background: black;"));
    auto* effectRow = new QHBoxLayout;
    effectRow->addWidget(EffectLabel);
    effectRow->addWidget(SpinEdit1);
    effectRow->addWidget(ShowAgainButton);
    effectRow->addStretch();
    auto* panel = new QVBoxLayout(EffectPanel);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addLayout(effectRow);
    panel->addWidget(LEADImage1);
    auto* effects = new QVBoxLayout(GroupBox4);
    for (QRadioButton* button : {OFFRadioButton, ONRadioButton, RNDRadioButton})
        effects->addWidget(button);
    effects->addWidget(EffectPanel);
    effects->addStretch();

    GroupBox5 = Named(new QGroupBox(this), "GroupBox5");
    OffsetLabel = new QLabel(GroupBox5);
    SpinEdit2 = Named(new QSpinBox(GroupBox5), "SpinEdit2");
    SpinEdit2->setRange(0, 750);
    auto* tv = new QHBoxLayout(GroupBox5);
    tv->addWidget(OffsetLabel);
    tv->addWidget(SpinEdit2);
    tv->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(GroupBox2);
    left->addWidget(GroupBox3);
    left->addWidget(GroupBox5);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 1);
    layout->addWidget(GroupBox4, 1);

    connect(TitleEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { State.ShowTitle = text; });
    connect(SecEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        State.SecondsPerPicture = TPreferences::ValidSeconds(text);
    });
    connect(SecEdit, &QLineEdit::editingFinished, this, &TSettingsPage::SecondsEdited);
    connect(EndlessPlayCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { State.EndlessPlay = on; });
    connect(FullscreenCheckBox, &QCheckBox::toggled, this, &TSettingsPage::FullscreenToggled);
    connect(ManuellCheckBox, &QCheckBox::toggled, this, [this](bool on) { State.Manual = on; });
    connect(TextCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { State.PictureTextVisible = on; });
    connect(PictureNameCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { State.FileNameVisible = on; });
    connect(TipsCheckBox, &QCheckBox::toggled, this, [this](bool on) {
        if (Loading)
            return;
        State.SetTipsWanted(on);
        if (on)
            emit TipsWanted();
    });
    connect(TextcolorButton, &QPushButton::clicked, this, [this] { ChooseColour(false); });
    connect(BKGColorButton, &QPushButton::clicked, this, [this] { ChooseColour(true); });
    for (QRadioButton* button : {OFFRadioButton, ONRadioButton, RNDRadioButton})
        connect(button, &QRadioButton::clicked, this, &TSettingsPage::ModeChosen);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] {
        if (!Loading)
            EffectChanged();
    });
    connect(ShowAgainButton, &QPushButton::clicked, this, &TSettingsPage::EffectChanged);
    connect(SpinEdit2, &QSpinBox::valueChanged, this,
            [this](int value) { State.TextOffset = value; });
}

void TSettingsPage::SetCaptions() {
    GroupBox2->setTitle(State.Text(1101));
    TitleLabel->setText(State.Text(1102));
    SecLabel->setText(State.Text(1103));
    GroupBox3->setTitle(State.Text(1104));
    EndlessPlayCheckBox->setText(State.Text(1105));
    FullscreenCheckBox->setText(State.Text(1106));
    ManuellCheckBox->setText(State.Text(1107));
    TextCheckBox->setText(State.Text(1108));
    PictureNameCheckBox->setText(State.Text(1109));
    TipsCheckBox->setText(State.Text(1110));
    TextcolorButton->setText(State.Text(1111));
    BKGColorButton->setText(State.Text(1112));
    GroupBox5->setTitle(State.Text(1113));
    OffsetLabel->setText(State.Text(1114));
    GroupBox4->setTitle(State.Text(1115));
    OFFRadioButton->setText(State.Text(1116));
    ONRadioButton->setText(State.Text(1117));
    RNDRadioButton->setText(State.Text(1118));
    EffectLabel->setText(State.Text(1119));
    ShowAgainButton->setText(State.Text(1120));
}

void TSettingsPage::LoadFromState() {
    Loading = true;
    TitleEdit->setText(State.ShowTitle);
    SecEdit->setText(State.SecondsPerPicture.trimmed());
    EndlessPlayCheckBox->setChecked(State.EndlessPlay);
    FullscreenCheckBox->setChecked(State.Fullscreen);
    ManuellCheckBox->setChecked(State.Manual);
    ManuellCheckBox->setVisible(State.Fullscreen);
    TextCheckBox->setChecked(State.PictureTextVisible);
    PictureNameCheckBox->setChecked(State.FileNameVisible);
    TipsCheckBox->setChecked(State.TipsWanted());
    OFFRadioButton->setChecked(State.EffectMode == TEffectMode::Off);
    ONRadioButton->setChecked(State.EffectMode == TEffectMode::On);
    RNDRadioButton->setChecked(State.EffectMode == TEffectMode::Random);
    EffectPanel->setVisible(State.EffectMode == TEffectMode::On);
    SpinEdit1->setMaximum(Settings::ValidEffect(127, State.EffectCount));
    SpinEdit1->setValue(Settings::ValidEffect(State.Effect, State.EffectCount));
    SpinEdit2->setValue(State.TextOffset);
    PaintSwatches();
    Loading = false;
}

void TSettingsPage::SecondsEdited() {
    State.SecondsPerPicture = TPreferences::ValidSeconds(SecEdit->text());
    if (SecEdit->text() != State.SecondsPerPicture)
        SecEdit->setText(State.SecondsPerPicture);
}

void TSettingsPage::FullscreenToggled(bool on) {
    State.Fullscreen = on;
    ManuellCheckBox->setVisible(on);
}

void TSettingsPage::ModeChosen() {
    if (ONRadioButton->isChecked())
        State.EffectMode = TEffectMode::On;
    else if (RNDRadioButton->isChecked())
        State.EffectMode = TEffectMode::Random;
    else
        State.EffectMode = TEffectMode::Off;
    EffectPanel->setVisible(State.EffectMode == TEffectMode::On);
}

void TSettingsPage::ChooseColour(bool background) {
    qint64& colour = background ? State.BackgroundColor : State.TextColor;
    const QColor chosen = QColorDialog::getColor(Colors::ToQColor(colour), this);
    if (!chosen.isValid())
        return;
    colour = Colors::FromQColor(chosen);
    PaintSwatches();
}

void TSettingsPage::PaintSwatches() {
    const std::pair<QFrame*, qint64> swatches[] = {{TextColorPanel, State.TextColor},
                                                   {BKGColorPanel, State.BackgroundColor}};
    for (const auto& [swatch, colour] : swatches) {
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, Colors::ToQColor(colour));
        swatch->setPalette(palette);
    }
}

void TSettingsPage::EffectChanged() {
    const int effect = Settings::ValidEffect(SpinEdit1->value(), State.EffectCount);
    TEffectParameters parameters;
    try {
        parameters =
            TEffectsFile::Load(State.KitFile(QStringLiteral("Effects.ini"))).Effect(effect);
    } catch (const TEffectsError& error) {
        Prompter.Error(error.Text());
        return;
    }
    State.Effect = effect;
    PreviewToggle = !PreviewToggle;
    const QString next = QStringLiteral("Preview1.jpg");
    const QString other = QStringLiteral("Preview2.jpg");
    try {
        const QImage target = PreviewPicture(State.KitFile(PreviewToggle ? next : other));
        // The first preview starts from the other picture, so both are seen.
        const QImage from = PreviewShown.isNull()
                                ? PreviewPicture(State.KitFile(PreviewToggle ? other : next))
                                : PreviewShown;
        Painter = std::make_unique<TTransitionPainter>(from, target, parameters);
    } catch (const TImagingError&) {
        return;
    } catch (const TEffectsError& error) {
        Prompter.Error(error.Text());
        return;
    }
    PainterState = 0;
    PreviewTimer->setInterval(std::max(parameters.EffectDelay, 0));
    NextPreviewState();
}

bool TSettingsPage::Previewing() const {
    return Painter != nullptr;
}

void TSettingsPage::NextPreviewState() {
    if (!Painter)
        return;
    ++PainterState;
    PreviewShown = Painter->State(PainterState);
    LEADImage1->setPixmap(QPixmap::fromImage(PreviewShown));
    if (PainterState >= Painter->StateCount()) {
        Painter.reset();
        emit PreviewFinished();
        return;
    }
    PreviewTimer->start();
}

} // namespace Lumerix
