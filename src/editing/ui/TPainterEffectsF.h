#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;
class QSlider;
class QTreeWidget;
class QWidget;

namespace Lumerix {

class TPrompter;
class TRunState;
class TSlideshow;

/// The effects tool window: brightness, contrast and colour on three track bars, or a tree of
/// effects with amount, centre and extra bars. Previews run on a 199-pixel-wide copy of the
/// picture; "Speichern" repeats the change on the full picture and writes it back.
class TPainterEffectsF final : public QWidget {
    Q_OBJECT
public:
    TPainterEffectsF(TRunState& state, TSlideshow& slideshow, TPrompter& prompter,
                     QWidget* parent = nullptr);

    /// Loads the preview copy of entry `index` and shows the window (modeless) in brightness
    /// or effect mode. False, with a message, when the picture cannot be read.
    bool Open(int index, bool brightnessMode);

    bool BrightnessMode() const;
    /// What the preview shows.
    const QImage& WorkBitmap() const { return Work; }
    const QImage& PreviewCopy() const { return Preview; }

signals:
    /// The picture of entry `index` was written and its entry renewed.
    void Saved(int index);

protected:
    bool event(QEvent* event) override;

private:
    void BuildControls();
    void FormActivate();
    void ResetTrackBars();
    void TrackBarChanged(QSlider* bar);
    void UpdateAdjustmentPreview();
    void ZuruecksetzenButtonClick();
    void EListClick();
    void SetAmountRange(int maximum, int minimum, int position);
    void EBarChange();
    /// The effect of the selected node on `bitmap`; false when none ran.
    bool RunEffect(QImage& bitmap);
    /// The selected catalogue row, or -1 when no node runs anything.
    int SelectedRow() const;
    void UpdateSaveButton();
    void SaveBitBtnClick();
    void ShowPreview();
    void RenewLabels();

    TRunState& State;
    TSlideshow& Slideshow;
    TPrompter& Prompter;
    int Index = -1;
    QImage Preview;
    QImage Work;
    bool LivePreview = false;
    int BrightnessValue = 0;
    int ColourValue = 250;
    int ContrastValue = 0;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image = nullptr;
    QWidget* HelligkeitPanel = nullptr;
    QLabel* HelligkeitLabel = nullptr;
    QSlider* HelligkeitTrackBar = nullptr;
    QLabel* KontrastLabel = nullptr;
    QSlider* KontrastTrackBar = nullptr;
    QLabel* FarbeLabel = nullptr;
    QSlider* FarbeTrackBar = nullptr;
    QPushButton* ZuruecksetzenButton = nullptr;
    QWidget* EffectPanel = nullptr;
    QTreeWidget* ETree = nullptr;
    QScrollBar* EBar = nullptr;
    QScrollBar* cxbar = nullptr;
    QScrollBar* cybar = nullptr;
    QScrollBar* extrabar = nullptr;
    QPushButton* SaveBitBtn = nullptr;
    QPushButton* AbortBitBtn = nullptr;
};

} // namespace Lumerix
