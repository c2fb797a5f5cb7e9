#pragma once

#include "editing/TMarking.h"

#include <QDialog>

class QPushButton;
class QStatusBar;
class QToolButton;

namespace Lumerix {

class TImageView;
class TPainterEffectsF;
class TPrompter;
class TRunState;
class TSlideshow;
enum class TTransform;

/// The full-size editor: a maximised, always-on-top window showing one picture of the
/// slideshow large, with a column of buttons for every edit. The edits are the slideshow's
/// own (rotate, mirror, undo) and its dialogs; the editor itself marks, moves and crops.
/// After each edit the view shows the picture file anew. Kept for the whole run: the follow
/// flag and the saved marking state outlast a closing until an undo resets them.
class TFullsizeForm final : public QDialog {
    Q_OBJECT
public:
    TFullsizeForm(TRunState& state, TSlideshow& slideshow, TPrompter& prompter,
                  QWidget* parent = nullptr);

    /// Sets the texts and shows the picture of entry `index`; `exec()` or `show()` follow.
    void Prepare(int index);
    /// `Prepare`, then shows the window maximised and modal until it is closed.
    void Open(int index);

    int Index() const { return Row; }
    const TMarking& Marking() const { return Mark; }
    TImageView* View() const { return LEADImage1; }

private:
    void BuildControls();
    void SetCaptions();
    /// Shows the picture file as it is now and takes over the slideshow's undo state.
    void TakePicture();
    void ApplyTransform(TTransform transform);
    void OpenEffects(bool brightnessMode);
    void OpenRgb();
    void OpenSharpen();
    void Crop();
    void UndoLast();
    void Print();
    void ViewPressed(QPoint point, Qt::MouseButton button);
    void ViewMoved(QPoint point);
    void ViewReleased(QPoint point, Qt::MouseButton button);
    void UpdateCursor(QPoint point);

    TRunState& State;
    TSlideshow& Slideshow;
    TPrompter& Prompter;
    int Row = -1;
    TMarking Mark;
    TPainterEffectsF* EffectsForm = nullptr;

    QPushButton* EinpassenBitBtn = nullptr;
    QPushButton* OriginalBitBtn = nullptr;
    QToolButton* LinksSpeedButton = nullptr;
    QToolButton* RechtsSpeedButton = nullptr;
    QToolButton* DrehenSpeedButton = nullptr;
    QToolButton* HorizontalSpeedButton = nullptr;
    QToolButton* VertikalSpeedButton = nullptr;
    QPushButton* FarbeBitBtn = nullptr;
    QPushButton* RGBBitBtn = nullptr;
    QPushButton* ZuschneidenBitBtn = nullptr;
    QPushButton* SchaerfeBitBtn = nullptr;
    QPushButton* EffekteBitBtn = nullptr;
    QPushButton* UndoBitBtn = nullptr;
    QPushButton* PrintBitBtn = nullptr;
    QPushButton* HilfeBitBtn = nullptr;
    QPushButton* CloseBitBtn = nullptr;
    TImageView* LEADImage1 = nullptr;
    QStatusBar* StatusBar = nullptr;
};

} // namespace Lumerix
