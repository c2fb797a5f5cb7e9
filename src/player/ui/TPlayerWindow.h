#pragma once

#include "player/TFrameCache.h"
#include "player/TPlayerSetup.h"

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QRandomGenerator>
#include <QSet>
#include <QWidget>

#include <memory>
#include <optional>

class QTimer;

namespace Lumerix {

class TMusicPlayer;
class TStartScreen;
class TTransitionPainter;

/// The player's window: the intro, the start screen, the pictures of the chosen slideshow
/// with their transitions and music, and the closing text. Pictures are decoded ahead on the
/// thread pool at the window's size; transitions are painted between composed screens.
///
/// Keys: Esc ends the player; Right, Down, Page Down, Space and Enter step forward; Left, Up,
/// Page Up and Backspace step back (in timed mode a step starts the picture's time again). As
/// a screensaver any key, click or mouse move ends it, unless a screensaver host runs it.
class TPlayerWindow final : public QWidget {
    Q_OBJECT
public:
    enum class TPhase { Idle, Intro, Menu, Playing, End, Empty, Finished };

    explicit TPlayerWindow(TPlayerSetup setup, QWidget* parent = nullptr);
    ~TPlayerWindow() override;

    /// Begins: the intro, the start screen or the slideshow, as the setup says.
    void Start();

    const TPlayerSetup& Setup() const { return Config; }
    TPhase Phase() const { return CurrentPhase; }
    /// The slideshow playing (index into the library), -1 when none.
    int ShowIndex() const;
    /// The picture being shown or being moved to, -1 when none.
    int PictureIndex() const;
    /// The picture whose screen is fully shown (no transition under way), -1 otherwise.
    int ShownPicture() const { return Shown; }
    bool InTransition() const { return bool(Painter); }
    /// The texts drawn on the screen shown: the caption and the file name lines.
    const QString& ShownCaption() const { return ShownFrame.Caption; }
    const QString& ShownFileName() const { return ShownFrame.FileName; }
    /// The screen as painted now.
    const QImage& Screen() const { return ScreenImage; }
    /// Transitions painted with an effect, and cuts, since the start.
    int EffectTransitions() const { return EffectCount; }
    int Cuts() const { return CutCount; }
    TStartScreen* StartScreen() const { return Menu; }

signals:
    /// A picture's screen is fully shown.
    void PictureShown(int show, int picture);
    /// The player ended and the window closes.
    void Finished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int Scaled(double milliseconds) const;
    bool Timed() const;
    const TPlayerShow& ShowAt(int libraryIndex) const;

    void ShowIntro();
    void AfterIntro();
    void ShowMenu();
    void PlayShows(const QList<int>& shows, bool backToMenu);
    void ShowEnd();
    void EndDone();
    void ShowEmpty();
    /// Stops everything and closes the window.
    void Finish();
    void Stop();

    void GoTo(TFrameKey key, int direction);
    void FrameReady(TFrameKey key);
    void Present(TFrameKey key, const TFrame& frame);
    void Presented();
    void Step(int direction);
    std::optional<TFrameKey> Neighbour(TFrameKey key, int direction) const;
    void Preload();

    /// Shows `target`, with a transition when `effect` is set, then calls `done`.
    void ShowScreen(const QImage& target, bool effect, void (TPlayerWindow::*done)());
    void TransitionTick();
    void FinishTransition();
    void Relayout();
    void SetCursorHidden(bool hidden);

    TPlayerSetup Config;
    TFrameCache* Cache = nullptr;
    TStartScreen* Menu = nullptr;
    TMusicPlayer* Music = nullptr;
    QTimer* PictureTimer = nullptr;
    QTimer* PhaseTimer = nullptr;
    QTimer* TransitionTimer = nullptr;
    QTimer* HintTimer = nullptr;
    QRandomGenerator Random;

    TPhase CurrentPhase = TPhase::Idle;
    QList<int> Sequence; ///< library indices played in turn
    bool BackToMenu = false;
    TFrameKey Target{-1, -1};
    int Direction = 1;
    int Shown = -1;
    TFrame ShownFrame;
    TFrame PendingFrame;
    QSet<TFrameKey> Broken;
    bool Laidout = false;
    bool NextIsCut = false;

    QImage ScreenImage;
    QImage TransitionTarget;
    std::unique_ptr<TTransitionPainter> Painter;
    int PainterState = 0;
    int StateMilliseconds = 1;
    QElapsedTimer TransitionClock;
    void (TPlayerWindow::*AfterTransition)() = nullptr;
    int EffectCount = 0;
    int CutCount = 0;

    bool HintVisible = false;
    bool MouseSeen = false;
    QPoint FirstMouse;
};

} // namespace Lumerix
