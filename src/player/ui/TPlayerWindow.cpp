#include "TPlayerWindow.h"

#include "TMusicPlayer.h"
#include "TStartScreen.h"
#include "imaging/TTransition.h"
#include "player/TransitionChoice.h"
#include "shell/TLanguage.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace Lumerix {

namespace {

// How long the closing text and the key hints stay, in milliseconds.
constexpr int EndTextTime = 3000;
constexpr int HintTime = 5000;
// A screensaver ignores the pointer until it has moved this far (pixels, both axes summed).
constexpr int MouseJitter = 16;

bool IsForwardKey(int key) {
    return key == Qt::Key_Right || key == Qt::Key_Down || key == Qt::Key_PageDown ||
           key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool IsBackKey(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_PageUp ||
           key == Qt::Key_Backspace;
}

QTimer* SingleShot(QObject* parent) {
    auto* timer = new QTimer(parent);
    timer->setSingleShot(true);
    return timer;
}

} // namespace

TPlayerWindow::TPlayerWindow(TPlayerSetup setup, QWidget* parent)
    : QWidget(parent), Config(std::move(setup)), Random(QRandomGenerator::global()->generate()) {
    setObjectName(QStringLiteral("PlayerWindow"));
    setWindowTitle(QString::fromUtf16(ProductName));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);

    Cache = new TFrameCache(this);
    connect(Cache, &TFrameCache::Ready, this, &TPlayerWindow::FrameReady);
    Menu = new TStartScreen(Config.Settings, Config.Texts, this);
    Menu->hide();
    connect(Menu, &TStartScreen::Chosen, this, [this](int index) { PlayShows({index}, true); });
    connect(Menu, &TStartScreen::QuitRequested, this, &TPlayerWindow::Finish);
    Music = new TMusicPlayer(this);

    PictureTimer = SingleShot(this);
    connect(PictureTimer, &QTimer::timeout, this, [this] { Step(1); });
    PhaseTimer = SingleShot(this);
    connect(PhaseTimer, &QTimer::timeout, this, [this] {
        if (CurrentPhase == TPhase::Intro)
            AfterIntro();
        else if (CurrentPhase == TPhase::End)
            EndDone();
    });
    TransitionTimer = new QTimer(this);
    TransitionTimer->setTimerType(Qt::PreciseTimer);
    connect(TransitionTimer, &QTimer::timeout, this, &TPlayerWindow::TransitionTick);
    HintTimer = SingleShot(this);
    connect(HintTimer, &QTimer::timeout, this, [this] {
        HintVisible = false;
        update();
    });
}

TPlayerWindow::~TPlayerWindow() = default;

int TPlayerWindow::Scaled(double milliseconds) const {
    return int(std::clamp(std::lround(milliseconds * Config.TimeScale), 1L, 24L * 3600 * 1000));
}

bool TPlayerWindow::Timed() const {
    return Config.Screensaver || !Config.Settings.Manual;
}

const TPlayerShow& TPlayerWindow::ShowAt(int libraryIndex) const {
    return Config.Library.Shows()[libraryIndex];
}

int TPlayerWindow::ShowIndex() const {
    return CurrentPhase == TPhase::Playing ? Target.Show : -1;
}

int TPlayerWindow::PictureIndex() const {
    return CurrentPhase == TPhase::Playing ? Target.Picture : -1;
}

void TPlayerWindow::Start() {
    if (CurrentPhase != TPhase::Idle)
        return;
    Relayout();
    const TPlayerLibrary& library = Config.Library;
    if (library.IsEmpty()) {
        ShowEmpty();
        return;
    }
    const int named = Config.ShowName.isEmpty() ? -1 : library.IndexOf(Config.ShowName);
    if (!Config.ShowName.isEmpty() && named < 0) {
        ShowEmpty();
        return;
    }
    if (Config.Screensaver) {
        QList<int> all;
        for (int i = 0; i < library.Shows().size(); ++i)
            all.append(i);
        PlayShows(named >= 0 ? QList<int>{named} : all, false);
    } else if (named >= 0) {
        PlayShows({named}, false);
    } else if (Config.Intro.Enabled) {
        ShowIntro();
    } else {
        AfterIntro();
    }
}

// Phases.

void TPlayerWindow::ShowIntro() {
    CurrentPhase = TPhase::Intro;
    SetCursorHidden(isFullScreen());
    Relayout();
    PhaseTimer->start(Scaled(Config.Intro.Seconds * 1000.0));
}

void TPlayerWindow::AfterIntro() {
    PhaseTimer->stop();
    if (Config.Library.Shows().size() == 1)
        PlayShows({0}, false);
    else
        ShowMenu();
}

void TPlayerWindow::ShowMenu() {
    FinishTransition();
    PictureTimer->stop();
    PhaseTimer->stop();
    Music->Stop();
    HintVisible = false;
    CurrentPhase = TPhase::Menu;
    Sequence.clear();
    Shown = -1;
    ShownFrame = TFrame();
    ScreenImage = Cache->Composer().Blank();
    setWindowTitle(QString::fromUtf16(ProductName));
    const int selected = Menu->Selected();
    QStringList titles;
    for (const TPlayerShow& show : Config.Library.Shows())
        titles.append(show.Title());
    Menu->SetTitles(titles);
    Menu->SetSelected(selected);
    Menu->setGeometry(rect());
    Menu->show();
    Menu->raise();
    Menu->setFocus();
    SetCursorHidden(false);
    update();
}

void TPlayerWindow::PlayShows(const QList<int>& shows, bool backToMenu) {
    FinishTransition();
    PictureTimer->stop();
    PhaseTimer->stop();
    Menu->hide();
    setFocus();
    CurrentPhase = TPhase::Playing;
    Sequence = shows;
    BackToMenu = backToMenu;
    Broken.clear();
    Shown = -1;
    ShownFrame = TFrame();
    if (ScreenImage.size() != Cache->Composer().FrameSize())
        ScreenImage = Cache->Composer().Blank();
    SetCursorHidden(Config.Screensaver || isFullScreen());
    HintVisible = !Config.Screensaver;
    if (HintVisible)
        HintTimer->start(Scaled(HintTime));
    const TPlayerShow& first = ShowAt(shows.first());
    setWindowTitle(QString::fromUtf16(ProductName) + QStringLiteral(" : ") + first.Title());
    if (Config.Music)
        Music->Play(first.Tracks());
    GoTo({shows.first(), 0}, 1);
}

void TPlayerWindow::ShowEnd() {
    FinishTransition();
    PictureTimer->stop();
    Music->Stop();
    HintVisible = false;
    CurrentPhase = TPhase::End;
    Shown = -1;
    ShownFrame = TFrame();
    const TFrameComposer& composer = Cache->Composer();
    ShowScreen(composer.Message(Config.Texts.EndText), true, nullptr);
    PhaseTimer->start(Scaled(EndTextTime));
}

void TPlayerWindow::EndDone() {
    PhaseTimer->stop();
    if (BackToMenu)
        ShowMenu();
    else
        Finish();
}

void TPlayerWindow::ShowEmpty() {
    FinishTransition();
    PictureTimer->stop();
    PhaseTimer->stop();
    Music->Stop();
    Menu->hide();
    setFocus();
    HintVisible = false;
    CurrentPhase = TPhase::Empty;
    Shown = -1;
    ShownFrame = TFrame();
    Relayout();
}

void TPlayerWindow::Finish() {
    Stop();
    close();
}

void TPlayerWindow::Stop() {
    if (CurrentPhase == TPhase::Finished)
        return;
    Painter.reset();
    AfterTransition = nullptr;
    for (QTimer* timer : {PictureTimer, PhaseTimer, TransitionTimer, HintTimer})
        timer->stop();
    Music->Stop();
    CurrentPhase = TPhase::Finished;
    emit Finished();
}

// Pictures.

void TPlayerWindow::GoTo(TFrameKey key, int direction) {
    FinishTransition();
    PictureTimer->stop();
    Direction = direction;
    Target = key;
    Shown = -1;
    if (const TFrame* frame = Cache->Find(key)) {
        Present(key, TFrame(*frame));
        return;
    }
    Cache->Request(key, ShowAt(key.Show).Pictures()[key.Picture]);
}

void TPlayerWindow::FrameReady(TFrameKey key) {
    if (CurrentPhase != TPhase::Playing || !(key == Target) || Shown >= 0 || Painter)
        return;
    if (const TFrame* frame = Cache->Find(key))
        Present(key, TFrame(*frame));
}

void TPlayerWindow::Present(TFrameKey key, const TFrame& frame) {
    if (!frame.Ok) {
        Broken.insert(key);
        if (const std::optional<TFrameKey> next = Neighbour(key, Direction)) {
            GoTo(*next, Direction);
        } else if (const std::optional<TFrameKey> forward = Neighbour(key, 1)) {
            // Stepping back onto a broken first picture: the first good one follows it.
            GoTo(*forward, 1);
        } else {
            bool allBroken = true;
            for (const int show : Sequence) {
                for (int i = 0; allBroken && i < ShowAt(show).Pictures().size(); ++i)
                    allBroken = Broken.contains({show, i});
            }
            if (allBroken)
                ShowEmpty();
            else
                ShowEnd();
        }
        return;
    }
    PendingFrame = frame;
    const bool effect = !NextIsCut;
    NextIsCut = false;
    ShowScreen(frame.Image, effect, &TPlayerWindow::Presented);
}

void TPlayerWindow::Presented() {
    Shown = Target.Picture;
    ShownFrame = PendingFrame;
    emit PictureShown(Target.Show, Target.Picture);
    if (CurrentPhase != TPhase::Playing || Shown != Target.Picture)
        return; // a receiver moved on
    if (Timed())
        PictureTimer->start(Scaled(ShowAt(Target.Show).Seconds() * 1000.0));
    Preload();
}

void TPlayerWindow::Step(int direction) {
    if (CurrentPhase != TPhase::Playing)
        return;
    if (const std::optional<TFrameKey> next = Neighbour(Target, direction))
        GoTo(*next, direction);
    else if (direction > 0)
        ShowEnd();
}

std::optional<TFrameKey> TPlayerWindow::Neighbour(TFrameKey key, int direction) const {
    int position = int(Sequence.indexOf(key.Show));
    if (position < 0)
        return std::nullopt;
    int total = 0;
    for (const int show : Sequence)
        total += int(ShowAt(show).Pictures().size());
    const bool loop = Config.Screensaver || !Config.Settings.StopAtEnd;
    int picture = key.Picture;
    for (int step = 0; step < total; ++step) {
        picture += direction;
        if (picture >= ShowAt(Sequence[position]).Pictures().size()) {
            if (++position >= Sequence.size()) {
                if (!loop)
                    return std::nullopt;
                position = 0;
            }
            picture = 0;
        } else if (picture < 0) {
            if (--position < 0) {
                if (!loop)
                    return std::nullopt;
                position = int(Sequence.size()) - 1;
            }
            picture = int(ShowAt(Sequence[position]).Pictures().size()) - 1;
        }
        const TFrameKey candidate{Sequence[position], picture};
        if (!Broken.contains(candidate))
            return candidate;
    }
    return std::nullopt;
}

void TPlayerWindow::Preload() {
    QList<TFrameKey> keep{Target};
    QList<int> directions{1};
    if (!Timed())
        directions.append(-1);
    for (const int direction : directions) {
        if (const std::optional<TFrameKey> next = Neighbour(Target, direction)) {
            keep.append(*next);
            Cache->Request(*next, ShowAt(next->Show).Pictures()[next->Picture]);
        }
    }
    Cache->KeepOnly(keep);
}

// Painting the screens.

void TPlayerWindow::ShowScreen(const QImage& target, bool effect, void (TPlayerWindow::*done)()) {
    FinishTransition();
    AfterTransition = done;
    std::optional<TEffectParameters> parameters;
    if (effect && !ScreenImage.isNull() && ScreenImage.size() == target.size())
        parameters =
            ChooseTransition(Config.Settings, Config.Effects ? &*Config.Effects : nullptr, Random);
    if (parameters) {
        try {
            Painter = std::make_unique<TTransitionPainter>(ScreenImage, target, *parameters);
        } catch (const std::exception&) {
            Painter.reset();
        }
        if (Painter && Painter->StateCount() <= 1)
            Painter.reset();
    }
    if (!Painter) {
        ++CutCount;
        ScreenImage = target;
        update();
        if (const auto next = std::exchange(AfterTransition, nullptr))
            (this->*next)();
        return;
    }
    TransitionTarget = target;
    PainterState = 0;
    StateMilliseconds = Scaled(std::max(parameters->EffectDelay, 1));
    TransitionClock.start();
    TransitionTimer->start(std::clamp(StateMilliseconds, 1, 40));
    TransitionTick();
}

void TPlayerWindow::TransitionTick() {
    if (!Painter) {
        TransitionTimer->stop();
        return;
    }
    // States follow the clock, so a slow machine skips states instead of dragging on.
    const int count = Painter->StateCount();
    const int state =
        int(std::min<qint64>(count, 1 + TransitionClock.elapsed() / StateMilliseconds));
    if (state >= count) {
        FinishTransition();
        return;
    }
    if (state != PainterState) {
        PainterState = state;
        ScreenImage = Painter->State(state);
        update();
    }
}

void TPlayerWindow::FinishTransition() {
    if (!Painter)
        return;
    TransitionTimer->stop();
    Painter.reset();
    ScreenImage = std::exchange(TransitionTarget, QImage());
    ++EffectCount;
    update();
    if (const auto next = std::exchange(AfterTransition, nullptr))
        (this->*next)();
}

void TPlayerWindow::Relayout() {
    if (CurrentPhase == TPhase::Finished)
        return;
    const TFrameComposer composer(Config.Settings, size());
    if (!Laidout || Cache->Composer().FrameSize() != composer.FrameSize()) {
        Laidout = true;
        // The old screens do not fit any more: stop where the transition was heading.
        FinishTransition();
        Cache->SetComposer(composer);
    }
    switch (CurrentPhase) {
    case TPhase::Intro: {
        QImage poster;
        if (!Config.Intro.PicturePath.isEmpty())
            poster = composer.Poster(Config.Intro.PicturePath);
        if (poster.isNull()) {
            QStringList titles;
            for (const TPlayerShow& show : Config.Library.Shows())
                titles.append(show.Title());
            poster = composer.Message(QString::fromUtf16(ProductName), titles);
        }
        ScreenImage = poster;
        break;
    }
    case TPhase::End:
        ScreenImage = composer.Message(Config.Texts.EndText);
        break;
    case TPhase::Empty:
        ScreenImage = composer.Message(Config.Texts.NoShowText,
                                       Config.Screensaver ? QStringList()
                                                          : QStringList{Config.Texts.QuitHint});
        break;
    case TPhase::Playing:
        if (ScreenImage.size() != composer.FrameSize()) {
            // Until the picture is made again at the new size, the old one is stretched.
            ScreenImage = ScreenImage.isNull()
                              ? composer.Blank()
                              : ScreenImage.scaled(composer.FrameSize(), Qt::IgnoreAspectRatio,
                                                   Qt::FastTransformation);
            NextIsCut = true;
            GoTo(Target, Direction);
        }
        break;
    case TPhase::Menu:
        ScreenImage = composer.Blank();
        break;
    default:
        break;
    }
    update();
}

void TPlayerWindow::SetCursorHidden(bool hidden) {
    setCursor(hidden ? Qt::BlankCursor : Qt::ArrowCursor);
}

void TPlayerWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TFrameComposer& composer = Cache->Composer();
    if (ScreenImage.isNull())
        painter.fillRect(rect(), Config.Settings.Background());
    else if (ScreenImage.size() == size())
        painter.drawImage(0, 0, ScreenImage);
    else
        painter.drawImage(rect(), ScreenImage);
    if (!HintVisible || CurrentPhase != TPhase::Playing)
        return;
    QStringList lines{Config.Texts.QuitHint};
    if (Config.Settings.Manual)
        lines.append(Config.Texts.StepHint);
    QFont font;
    font.setPixelSize(std::max(10, height() / 40));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int textWidth = 0;
    for (const QString& line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const int pad = metrics.height() / 2;
    const QRect box((width() - textWidth) / 2 - pad, pad, std::min(width(), textWidth + 2 * pad),
                    int(lines.size()) * metrics.height() + pad);
    QColor back = composer.Background();
    back.setAlpha(200);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(back);
    painter.drawRoundedRect(box, pad, pad);
    painter.setPen(composer.TextColor());
    int top = box.top() + pad / 2;
    for (const QString& line : lines) {
        painter.drawText(QRect(box.left(), top, box.width(), metrics.height()), Qt::AlignCenter,
                         metrics.elidedText(line, Qt::ElideRight, box.width()));
        top += metrics.height();
    }
}

void TPlayerWindow::closeEvent(QCloseEvent* event) {
    // Closed by the window manager as well as by Esc.
    Stop();
    QWidget::closeEvent(event);
}

void TPlayerWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Menu->setGeometry(rect());
    if (CurrentPhase != TPhase::Idle)
        Relayout();
}

void TPlayerWindow::keyPressEvent(QKeyEvent* event) {
    if (Config.Hosted)
        return; // the screensaver host ends the player
    if (Config.Screensaver) {
        Finish();
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        Finish();
        return;
    }
    switch (CurrentPhase) {
    case TPhase::Intro:
        AfterIntro();
        return;
    case TPhase::Playing:
        if (IsForwardKey(key))
            Step(1);
        else if (IsBackKey(key))
            Step(-1);
        else
            QWidget::keyPressEvent(event);
        return;
    case TPhase::End:
        EndDone();
        return;
    case TPhase::Empty:
        Finish();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TPlayerWindow::mousePressEvent(QMouseEvent* event) {
    if (Config.Hosted)
        return;
    if (Config.Screensaver) {
        Finish();
        return;
    }
    switch (CurrentPhase) {
    case TPhase::Intro:
        AfterIntro();
        break;
    case TPhase::Playing:
        if (event->button() == Qt::LeftButton)
            Step(1);
        else if (event->button() == Qt::RightButton)
            Step(-1);
        break;
    case TPhase::End:
        EndDone();
        break;
    default:
        break;
    }
}

void TPlayerWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!Config.Screensaver || Config.Hosted)
        return;
    const QPoint position = event->globalPosition().toPoint();
    if (!MouseSeen) {
        MouseSeen = true;
        FirstMouse = position;
    } else if ((position - FirstMouse).manhattanLength() > MouseJitter) {
        Finish();
    }
}

} // namespace Lumerix
