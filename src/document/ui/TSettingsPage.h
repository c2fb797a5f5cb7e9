#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace Lumerix {

class TPrompter;
class TRunState;
class TTransitionPainter;

/// Step 3: title and seconds of the open slideshow, the playback settings of every slideshow
/// and the transition effect with its preview.
class TSettingsPage final : public QWidget {
    Q_OBJECT
public:
    TSettingsPage(TRunState& state, TPrompter& prompter, QWidget* parent = nullptr);
    ~TSettingsPage() override;

    void SetCaptions();
    /// Fills every control from the run state (after start-up, new and open).
    void LoadFromState();

    /// True while the preview paints a transition.
    bool Previewing() const;

signals:
    /// The preview showed its last state.
    void PreviewFinished();
    /// The user ticked the tips back on: the tip window shows at once.
    void TipsWanted();

private:
    void BuildControls();
    void SecondsEdited();
    void FullscreenToggled(bool on);
    void ModeChosen();
    void ChooseColour(bool background);
    void PaintSwatches();
    void EffectChanged();
    void NextPreviewState();

    TRunState& State;
    TPrompter& Prompter;
    bool Loading = false;
    bool PreviewToggle = false;
    QImage PreviewShown;
    std::unique_ptr<TTransitionPainter> Painter;
    int PainterState = 0;
    QTimer* PreviewTimer = nullptr;

    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QLabel* TitleLabel = nullptr;
    QLabel* SecLabel = nullptr;
    QLineEdit* TitleEdit = nullptr;
    QLineEdit* SecEdit = nullptr;
    QCheckBox* EndlessPlayCheckBox = nullptr;
    QCheckBox* FullscreenCheckBox = nullptr;
    QCheckBox* ManuellCheckBox = nullptr;
    QCheckBox* TextCheckBox = nullptr;
    QCheckBox* PictureNameCheckBox = nullptr;
    QCheckBox* TipsCheckBox = nullptr;
    QPushButton* TextcolorButton = nullptr;
    QPushButton* BKGColorButton = nullptr;
    QFrame* TextColorPanel = nullptr;
    QFrame* BKGColorPanel = nullptr;
    QRadioButton* OFFRadioButton = nullptr;
    QRadioButton* ONRadioButton = nullptr;
    QRadioButton* RNDRadioButton = nullptr;
    QWidget* EffectPanel = nullptr;
    QLabel* EffectLabel = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QPushButton* ShowAgainButton = nullptr;
    QLabel* LEADImage1 = nullptr;
    QLabel* OffsetLabel = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
};

} // namespace Lumerix
