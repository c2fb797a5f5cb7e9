#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QSlider;

namespace Lumerix {

class TPrompter;
class TRunState;
class TSlideshow;

/// The modal colour correction ("RGB": each channel kept at 10..100 percent) and sharpen
/// ("SHARPEN": -1000 blurs .. 1000 sharpens) dialog for one picture of the slideshow. The
/// preview is computed on the full picture; "Speichern" writes exactly that picture back.
class TLeadEffectsForm final : public QDialog {
    Q_OBJECT
public:
    enum class TMode { Rgb, Sharpen };

    TLeadEffectsForm(TRunState& state, TSlideshow& slideshow, TPrompter& prompter,
                     QWidget* parent = nullptr);

    /// Chooses the panel and loads entry `index`; false, with a message, when the picture
    /// cannot be read. Show the dialog with exec() afterwards.
    bool Prepare(TMode mode, int index);

    const QImage& PreviewBitmap() const { return Result; }

private:
    void BuildControls();
    void SliderChanged(QSlider* slider);
    void Recompute();
    void ResetColour();
    void ResetSharpen();
    void Save();
    void ShowImage(QLabel* view, const QImage& image);

    TRunState& State;
    TSlideshow& Slideshow;
    TPrompter& Prompter;
    TMode Mode = TMode::Rgb;
    int Index = -1;
    QImage Original;
    QImage Result;

    QWidget* ColorPanel = nullptr;
    QLabel* ColorHeading = nullptr;
    QSlider* RotTrackBar = nullptr;
    QSlider* GruenTrackBar = nullptr;
    QSlider* BlauTrackBar = nullptr;
    QLabel* RotLabel = nullptr;
    QLabel* GruenLabel = nullptr;
    QLabel* BlauLabel = nullptr;
    QPushButton* ColorResetButton = nullptr;
    QWidget* SharpenPanel = nullptr;
    QLabel* SharpenHeading = nullptr;
    QSlider* SchaerfeTrackBar = nullptr;
    QLabel* SchaerfeLabel = nullptr;
    QLabel* BlurLabel = nullptr;
    QLabel* SharperLabel = nullptr;
    QPushButton* SharpenResetButton = nullptr;
    QLabel* OriginalLabel = nullptr;
    QLabel* PreviewLabel = nullptr;
    QLabel* OriginalImage = nullptr;
    QLabel* PreviewImage = nullptr;
    QPushButton* SaveBitBtn = nullptr;
    QPushButton* AbortBitBtn = nullptr;
};

} // namespace Lumerix
