#include "TLeadEffectsForm.h"

#include "EditJob.h"

#include "document/TSlideshow.h"
#include "editing/EffectCatalogue.h"
#include "imaging/TRasterImage.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace Lumerix {

namespace {

constexpr QSize ViewSize(232, 174);

QLabel* NamedLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QSlider* NamedSlider(const char* name, QWidget* parent, int minimum, int maximum, int tick) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(minimum, maximum);
    slider->setTickInterval(tick);
    slider->setSingleStep(tick);
    slider->setPageStep(tick);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setMinimumWidth(300);
    return slider;
}

QLabel* View(const char* name, QWidget* parent) {
    QLabel* view = NamedLabel(name, parent);
    view->setFixedSize(ViewSize);
    view->setAlignment(Qt::AlignCenter);
    view->setStyleSheet(QStringLiteral("background: black;"));
    return view;
}

} // namespace

TLeadEffectsForm::TLeadEffectsForm(TRunState& state, TSlideshow& slideshow, TPrompter& prompter,
                                   QWidget* parent)
    : QDialog(parent), State(state), Slideshow(slideshow), Prompter(prompter) {
    setObjectName(QStringLiteral("LeadEffectsForm"));
    setModal(true);
    BuildControls();
}

void TLeadEffectsForm::BuildControls() {
    ColorPanel = new QWidget(this);
    ColorPanel->setObjectName(QStringLiteral("ColorPanel"));
    ColorHeading = NamedLabel("ColorHeading", ColorPanel);
    ColorHeading->setText(State.Text(1507));
    RotTrackBar = NamedSlider("RotTrackBar", ColorPanel, 10, 100, 5);
    GruenTrackBar = NamedSlider("GruenTrackBar", ColorPanel, 10, 100, 5);
    BlauTrackBar = NamedSlider("BlauTrackBar", ColorPanel, 10, 100, 5);
    RotLabel = NamedLabel("RotLabel", ColorPanel);
    GruenLabel = NamedLabel("GruenLabel", ColorPanel);
    BlauLabel = NamedLabel("BlauLabel", ColorPanel);
    ColorResetButton = new QPushButton(State.Text(1511), ColorPanel);
    ColorResetButton->setObjectName(QStringLiteral("ColorResetButton"));
    auto* colour = new QGridLayout(ColorPanel);
    colour->addWidget(ColorHeading, 0, 0, 1, 2);
    int row = 1;
    for (const auto& [label, slider] :
         {std::pair{RotLabel, RotTrackBar}, std::pair{GruenLabel, GruenTrackBar},
          std::pair{BlauLabel, BlauTrackBar}}) {
        colour->addWidget(label, row, 0);
        colour->addWidget(slider, row++, 1);
    }
    colour->addWidget(ColorResetButton, row, 1, Qt::AlignLeft);

    SharpenPanel = new QWidget(this);
    SharpenPanel->setObjectName(QStringLiteral("SharpenPanel"));
    SharpenHeading = NamedLabel("SharpenHeading", SharpenPanel);
    SharpenHeading->setText(State.Text(1500));
    SchaerfeTrackBar = NamedSlider("SchaerfeTrackBar", SharpenPanel, -1000, 1000, 50);
    SchaerfeLabel = NamedLabel("SchaerfeLabel", SharpenPanel);
    BlurLabel = NamedLabel("BlurLabel", SharpenPanel);
    BlurLabel->setText(State.Text(1501));
    SharperLabel = NamedLabel("SharperLabel", SharpenPanel);
    SharperLabel->setText(State.Text(1502));
    SharpenResetButton = new QPushButton(State.Text(1505), SharpenPanel);
    SharpenResetButton->setObjectName(QStringLiteral("SharpenResetButton"));
    auto* sharpen = new QGridLayout(SharpenPanel);
    sharpen->addWidget(SharpenHeading, 0, 0, 1, 3);
    sharpen->addWidget(BlurLabel, 1, 0);
    sharpen->addWidget(SchaerfeTrackBar, 1, 1);
    sharpen->addWidget(SharperLabel, 1, 2);
    sharpen->addWidget(SchaerfeLabel, 2, 1);
    sharpen->addWidget(SharpenResetButton, 3, 1, Qt::AlignLeft);

    OriginalLabel = NamedLabel("OriginalLabel", this);
    OriginalLabel->setText(State.Text(1503));
    PreviewLabel = NamedLabel("PreviewLabel", this);
    PreviewLabel->setText(State.Text(1504));
    OriginalImage = View("OriginalImage", this);
    PreviewImage = View("PreviewImage", this);
    SaveBitBtn = new QPushButton(State.Text(2005), this);
    SaveBitBtn->setObjectName(QStringLiteral("SaveBitBtn"));
    AbortBitBtn = new QPushButton(State.Text(2006), this);
    AbortBitBtn->setObjectName(QStringLiteral("AbortBitBtn"));

    auto* pictures = new QGridLayout;
    pictures->addWidget(OriginalLabel, 0, 0);
    pictures->addWidget(PreviewLabel, 0, 1);
    pictures->addWidget(OriginalImage, 1, 0);
    pictures->addWidget(PreviewImage, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SaveBitBtn);
    buttons->addWidget(AbortBitBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ColorPanel);
    layout->addWidget(SharpenPanel);
    layout->addLayout(pictures);
    layout->addLayout(buttons);

    // Every change recomputes the preview, by mouse or keyboard: otherwise the preview (and
    // with it the saved picture) could lag behind the sliders. While a slider is dragged the
    // preview waits for the release.
    for (QSlider* slider : {RotTrackBar, GruenTrackBar, BlauTrackBar, SchaerfeTrackBar}) {
        connect(slider, &QSlider::valueChanged, this, [this, slider] { SliderChanged(slider); });
        connect(slider, &QSlider::sliderReleased, this, &TLeadEffectsForm::Recompute);
    }
    connect(ColorResetButton, &QPushButton::clicked, this, &TLeadEffectsForm::ResetColour);
    connect(SharpenResetButton, &QPushButton::clicked, this, &TLeadEffectsForm::ResetSharpen);
    connect(SaveBitBtn, &QPushButton::clicked, this, &TLeadEffectsForm::Save);
    connect(AbortBitBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TLeadEffectsForm::Prepare(TMode mode, int index) {
    const QString path = Slideshow.PicturePath(index);
    if (path.isEmpty())
        return false;
    try {
        Original = PictureEdits::LoadFullPicture(path);
    } catch (const TImagingError& error) {
        Prompter.PlainError(error.Text());
        return false;
    }
    Mode = mode;
    Index = index;
    ColorPanel->setVisible(mode == TMode::Rgb);
    SharpenPanel->setVisible(mode == TMode::Sharpen);
    ShowImage(OriginalImage, Original);
    for (QSlider* slider : {RotTrackBar, GruenTrackBar, BlauTrackBar, SchaerfeTrackBar})
        slider->blockSignals(true);
    RotTrackBar->setValue(100);
    GruenTrackBar->setValue(100);
    BlauTrackBar->setValue(100);
    SchaerfeTrackBar->setValue(0);
    for (QSlider* slider : {RotTrackBar, GruenTrackBar, BlauTrackBar, SchaerfeTrackBar})
        slider->blockSignals(false);
    RotLabel->setText(State.Text(1508) + QStringLiteral(": 100%"));
    GruenLabel->setText(State.Text(1509) + QStringLiteral(": 100%"));
    BlauLabel->setText(State.Text(1510) + QStringLiteral(": 100%"));
    SchaerfeLabel->setText(State.Text(1506) + QStringLiteral(" 0%"));
    Result = Original;
    ShowImage(PreviewImage, Result);
    adjustSize();
    return true;
}

void TLeadEffectsForm::SliderChanged(QSlider* slider) {
    if (!slider->isSliderDown())
        Recompute();
}

void TLeadEffectsForm::Recompute() {
    if (Original.isNull())
        return;
    QImage result = Original; // every recompute starts from the picture as loaded
    if (Mode == TMode::Rgb) {
        const int red = RotTrackBar->value();
        const int green = GruenTrackBar->value();
        const int blue = BlauTrackBar->value();
        RotLabel->setText(QStringLiteral("Rot: %1%").arg(red));
        GruenLabel->setText(QStringLiteral("Grün: %1%").arg(green));
        BlauLabel->setText(QStringLiteral("Blau: %1%").arg(blue));
        PictureEdits::ApplyColourBalance(result, red, green, blue);
    } else {
        const int amount = SchaerfeTrackBar->value();
        SchaerfeLabel->setText(State.Text(1506) + u' ' + QString::number(amount) + u'%');
        PictureEdits::ApplySharpen(result, amount);
    }
    Result = result;
    ShowImage(PreviewImage, Result);
}

void TLeadEffectsForm::ResetColour() {
    for (QSlider* slider : {RotTrackBar, GruenTrackBar, BlauTrackBar}) {
        slider->blockSignals(true);
        slider->setValue(100);
        slider->blockSignals(false);
    }
    Recompute();
}

void TLeadEffectsForm::ResetSharpen() {
    SchaerfeTrackBar->blockSignals(true);
    SchaerfeTrackBar->setValue(0);
    SchaerfeTrackBar->blockSignals(false);
    Recompute();
}

void TLeadEffectsForm::Save() {
    if (Index < 0 || Result.isNull())
        return;
    if (PictureEdits::StoreInJob(this, QStringLiteral("CorrectionSaveProgress"), State, Slideshow,
                                 Prompter, Index, Result, PictureEdits::CorrectionQualityFactor))
        accept();
}

void TLeadEffectsForm::ShowImage(QLabel* view, const QImage& image) {
    view->setPixmap(
        QPixmap::fromImage(image.scaled(ViewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

} // namespace Lumerix
