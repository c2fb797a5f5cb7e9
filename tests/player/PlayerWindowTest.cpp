#include "TPlayerFixture.h"
#include "player/ui/HostWindow.h"
#include "player/ui/TPlayerWindow.h"
#include "player/ui/TStartScreen.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace Lumerix;
using namespace Lumerix::PlayerTesting;

namespace {

using TPhase = TPlayerWindow::TPhase;

const QList<QColor> Colours = {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)};

class PlayerWindow : public testing::Test {
protected:
    void SetUp() override {
        Folder.AddShow(QStringLiteral("Diashow_0001"), QStringLiteral("Erste"), 1, Colours);
    }

    // Manual stepping, no transitions, captions on: the base of most cases.
    void Settings(QList<std::pair<QString, QString>> values) {
        QList<std::pair<QString, QString>> all = {{"Manuell", "TRUE"}, {"EffectMode", "OFF"}};
        for (const auto& value : values) {
            const auto same = std::find_if(all.begin(), all.end(),
                                           [&](const auto& v) { return v.first == value.first; });
            if (same != all.end())
                same->second = value.second;
            else
                all.append(value);
        }
        Folder.WriteSettings(all);
    }

    TPlayerWindow& Open(TPlayerSetup setup) {
        Window = std::make_unique<TPlayerWindow>(std::move(setup));
        Window->resize(320, 240);
        Window->show();
        Window->activateWindow();
        Window->setFocus();
        ShownPictures = std::make_unique<QSignalSpy>(Window.get(), &TPlayerWindow::PictureShown);
        Window->Start();
        return *Window;
    }
    TPlayerWindow& Open() { return Open(Folder.Setup()); }

    // Waits until picture `index` is fully shown.
    bool Shows(int index) {
        return WaitFor([&] { return Window->ShownPicture() == index && !Window->InTransition(); });
    }
    QColor Centre() const { return Window->Screen().pixelColor(Window->Screen().rect().center()); }
    void Key(Qt::Key key) { QTest::keyClick(Window.get(), key); }

    TPlayerFolder Folder;
    std::unique_ptr<TPlayerWindow> Window;
    std::unique_ptr<QSignalSpy> ShownPictures; ///< every `PictureShown` since the start
};

TEST_F(PlayerWindow, ArrowKeysStepThroughThePicturesAndLoop) {
    Settings({{"StopDiashowAtEnd", "FALSE"}});
    Open();
    ASSERT_TRUE(Shows(0));
    EXPECT_EQ(Window->Phase(), TPhase::Playing);
    EXPECT_TRUE(Near(Centre(), Qt::red));
    const struct {
        Qt::Key Key;
        int Picture;
    } steps[] = {{Qt::Key_Right, 1},  {Qt::Key_Space, 2}, {Qt::Key_Right, 0}, {Qt::Key_Left, 2},
                 {Qt::Key_PageUp, 1}, {Qt::Key_Down, 2},  {Qt::Key_Up, 1}};
    for (const auto& step : steps) {
        Key(step.Key);
        EXPECT_EQ(Window->PictureIndex(), step.Picture);
        ASSERT_TRUE(Shows(step.Picture)) << step.Picture;
        EXPECT_TRUE(Near(Centre(), Colours[step.Picture])) << step.Picture;
    }
    EXPECT_EQ(Window->ShowIndex(), 0);
}

TEST_F(PlayerWindow, ManualModeWaitsForTheKeys) {
    Settings({});
    Open();
    ASSERT_TRUE(Shows(0));
    QTest::qWait(200); // ten times the picture's (scaled) time
    EXPECT_EQ(Window->ShownPicture(), 0);
}

TEST_F(PlayerWindow, StopAtEndShowsTheClosingTextThenEnds) {
    Settings({{"StopDiashowAtEnd", "TRUE"}});
    Open();
    QSignalSpy finished(Window.get(), &TPlayerWindow::Finished);
    ASSERT_TRUE(Shows(0));
    Key(Qt::Key_Left);
    EXPECT_EQ(Window->PictureIndex(), 0) << "no way back from the first picture";
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    ASSERT_TRUE(Shows(2));
    Key(Qt::Key_Right);
    EXPECT_EQ(Window->Phase(), TPhase::End);
    ASSERT_TRUE(WaitFor([&] { return !finished.isEmpty(); }));
    EXPECT_EQ(Window->Phase(), TPhase::Finished);
    EXPECT_FALSE(Window->isVisible());
}

TEST_F(PlayerWindow, EscapeEndsThePlayerAtAnyTime) {
    Settings({});
    Open();
    QSignalSpy finished(Window.get(), &TPlayerWindow::Finished);
    Key(Qt::Key_Escape);
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(Window->Phase(), TPhase::Finished);
    EXPECT_FALSE(Window->isVisible());

    Open();
    QSignalSpy closed(Window.get(), &TPlayerWindow::Finished);
    Window->close(); // as the window manager's close button does
    EXPECT_EQ(closed.size(), 1);
    EXPECT_EQ(Window->Phase(), TPhase::Finished);
}

TEST_F(PlayerWindow, TimedModeShowsEachPictureForTheShowsSeconds) {
    Settings({{"Manuell", "FALSE"}, {"StopDiashowAtEnd", "FALSE"}});
    // One second per picture, scaled to 40 ms.
    TPlayerSetup setup = Folder.Setup(0.04);
    Open(std::move(setup));
    QSignalSpy& shown = *ShownPictures;
    ASSERT_TRUE(WaitFor([&] { return shown.size() >= 5; }));
    QList<int> order;
    for (const QList<QVariant>& arguments : shown)
        order.append(arguments.at(1).toInt());
    EXPECT_EQ(order.mid(0, 5), QList<int>({0, 1, 2, 0, 1})) << "loops after the last picture";
}

TEST_F(PlayerWindow, CaptionsAndFileNamesFollowTheSettings) {
    const struct {
        const char* Caption;
        const char* FileName;
        QString ShownCaption;
        QString ShownFileName;
    } cases[] = {{"TRUE", "FALSE", "Caption 0", ""},
                 {"FALSE", "TRUE", "", "p0.jpg"},
                 {"TRUE", "TRUE", "Caption 0", "p0.jpg"},
                 {"FALSE", "FALSE", "", ""}};
    for (const auto& row : cases) {
        Settings({{"PictureTextVisible", row.Caption}, {"FileNameVisible", row.FileName}});
        Open();
        ASSERT_TRUE(Shows(0));
        EXPECT_EQ(Window->ShownCaption(), row.ShownCaption) << row.Caption;
        EXPECT_EQ(Window->ShownFileName(), row.ShownFileName) << row.FileName;
    }
}

TEST_F(PlayerWindow, TransitionsRunToTheirEnd) {
    Folder.Write(QStringLiteral("Effects.ini"), "101;2;1;0;0\r\n702;2;1;0;0\r\n900;0;1;1;0\r\n");
    Settings({{"EffectMode", "ON"}, {"Effect", "1"}});
    Open(Folder.Setup(1.0));
    ASSERT_TRUE(Shows(0));
    const int before = Window->EffectTransitions();
    Key(Qt::Key_Right);
    ASSERT_TRUE(WaitFor([&] { return Window->InTransition(); }));
    ASSERT_TRUE(Shows(1));
    EXPECT_EQ(Window->EffectTransitions(), before + 1);
    EXPECT_TRUE(Near(Centre(), Qt::green)) << "the last state is the new picture";

    // A key during a transition finishes it and moves on.
    Key(Qt::Key_Right);
    ASSERT_TRUE(WaitFor([&] { return Window->InTransition(); }));
    Key(Qt::Key_Right);
    ASSERT_TRUE(Shows(0));
    EXPECT_TRUE(Near(Centre(), Qt::red));
}

TEST_F(PlayerWindow, BadEffectLinesCut) {
    const struct {
        QByteArray Effects;
        const char* Mode;
        const char* Effect;
    } cases[] = {
        {"101;2;1;0;0\r\nnot;a;line\r\n", "ON", "2"},
        {"101;2;1;0;0\r\n", "ON", "9"},
        {"4242;2;1;0;0\r\n", "ON", "1"},
        {"101;2;1;0;0\r\n", "RANDOM", "1"}, // one line: nothing to draw from
        {"", "RANDOM", "1"},
    };
    for (const auto& row : cases) {
        Folder.Write(QStringLiteral("Effects.ini"), row.Effects);
        Settings({{"EffectMode", row.Mode}, {"Effect", row.Effect}});
        Open(Folder.Setup(1.0));
        ASSERT_TRUE(Shows(0));
        Key(Qt::Key_Right);
        ASSERT_TRUE(Shows(1)) << row.Effects.constData();
        EXPECT_EQ(Window->EffectTransitions(), 0) << row.Effects.constData();
    }
}

TEST_F(PlayerWindow, BrokenPicturesAreSkipped) {
    Folder.Write(QStringLiteral("Diashow_0001/p1.jpg"), "not a picture");
    Settings({{"StopDiashowAtEnd", "FALSE"}});
    Open();
    ASSERT_TRUE(Shows(0));
    Key(Qt::Key_Right);
    ASSERT_TRUE(Shows(2));
    EXPECT_TRUE(Near(Centre(), Qt::blue));
    Key(Qt::Key_Left);
    ASSERT_TRUE(Shows(0)) << "the broken one is skipped backwards too";
}

TEST_F(PlayerWindow, NothingToShowSaysSo) {
    Settings({});
    for (const char* picture : {"p0.jpg", "p1.jpg", "p2.jpg"})
        Folder.Write(QStringLiteral("Diashow_0001/") + QString::fromLatin1(picture), "broken");
    Open();
    EXPECT_TRUE(WaitFor([&] { return Window->Phase() == TPhase::Empty; }))
        << "every picture broken";

    TPlayerFolder empty;
    Open(empty.Setup());
    EXPECT_EQ(Window->Phase(), TPhase::Empty) << "no slideshow at all";
    QSignalSpy finished(Window.get(), &TPlayerWindow::Finished);
    Key(Qt::Key_A);
    EXPECT_EQ(finished.size(), 1);

    TPlayerSetup unknown = Folder.Setup();
    unknown.ShowName = QStringLiteral("Diashow_0099");
    Open(std::move(unknown));
    EXPECT_EQ(Window->Phase(), TPhase::Empty) << "--show with an unknown folder";
}

TEST_F(PlayerWindow, StartScreenOffersTheShowsAndComesBackAfterOne) {
    Folder.AddShow(QStringLiteral("Diashow_0002"), QStringLiteral("Zweite"), 1, {Qt::yellow});
    Settings({{"StopDiashowAtEnd", "TRUE"}});
    Open();
    ASSERT_EQ(Window->Phase(), TPhase::Menu);
    TStartScreen* menu = Window->StartScreen();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->Titles(), QStringList({"Erste", "Zweite"}));
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(Window->Phase(), TPhase::Playing);
    EXPECT_EQ(Window->ShowIndex(), 1);
    ASSERT_TRUE(Shows(0));
    EXPECT_TRUE(Near(Centre(), Qt::yellow));
    Key(Qt::Key_Right);
    EXPECT_EQ(Window->Phase(), TPhase::End);
    Key(Qt::Key_Space);
    EXPECT_EQ(Window->Phase(), TPhase::Menu) << "a key ends the closing text early";
    EXPECT_EQ(menu->Selected(), 1);
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_EQ(Window->Phase(), TPhase::Finished);
}

TEST_F(PlayerWindow, OneShowPlaysAfterTheIntroAndNamedShowsAtOnce) {
    Settings({});
    Folder.Write(QStringLiteral("intro.ply"), "[INTRO]\r\nEnabled=TRUE\r\nSeconds=2\r\n");
    Open();
    EXPECT_EQ(Window->Phase(), TPhase::Intro);
    EXPECT_TRUE(Shows(0)) << "the intro ends by itself, then the only show plays";

    Folder.AddShow(QStringLiteral("Diashow_0002"), QStringLiteral("Zweite"), 1, {Qt::yellow});
    Open(Folder.Setup(10.0));
    EXPECT_EQ(Window->Phase(), TPhase::Intro);
    Key(Qt::Key_Return);
    EXPECT_EQ(Window->Phase(), TPhase::Menu) << "a key skips the intro";

    TPlayerSetup named = Folder.Setup();
    named.ShowName = QStringLiteral("Diashow_0002");
    Open(std::move(named));
    EXPECT_EQ(Window->Phase(), TPhase::Playing) << "no intro, no start screen";
    EXPECT_EQ(Window->ShowIndex(), 1);
}

TEST_F(PlayerWindow, ScreensaverPlaysEveryShowAndEndsOnInput) {
    Folder.AddShow(QStringLiteral("Diashow_0002"), QStringLiteral("Zweite"), 1, {Qt::yellow});
    Settings({{"StopDiashowAtEnd", "TRUE"}, {"Manuell", "TRUE"}});
    TPlayerSetup setup = Folder.Setup(0.04);
    setup.Screensaver = true;
    Open(std::move(setup));
    QSignalSpy& shown = *ShownPictures;
    ASSERT_TRUE(WaitFor([&] { return shown.size() >= 5; })) << "timed, whatever the settings";
    QList<std::pair<int, int>> order;
    for (const QList<QVariant>& arguments : shown)
        order.append({arguments.at(0).toInt(), arguments.at(1).toInt()});
    EXPECT_EQ(order.mid(0, 5),
              (QList<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {0, 0}}));

    QSignalSpy finished(Window.get(), &TPlayerWindow::Finished);
    QTest::mouseMove(Window.get(), QPoint(100, 100));
    QTest::mouseMove(Window.get(), QPoint(104, 103));
    EXPECT_TRUE(finished.isEmpty()) << "a small jitter is ignored";
    QTest::mouseMove(Window.get(), QPoint(200, 180));
    EXPECT_EQ(finished.size(), 1);
}

TEST_F(PlayerWindow, ScreensaverEndsOnAnyKeyUnlessAHostRunsIt) {
    Settings({});
    for (const bool hosted : {false, true}) {
        TPlayerSetup setup = Folder.Setup();
        setup.Screensaver = true;
        setup.Hosted = hosted;
        Open(std::move(setup));
        QSignalSpy finished(Window.get(), &TPlayerWindow::Finished);
        Key(Qt::Key_A);
        QTest::mouseClick(Window.get(), Qt::LeftButton);
        EXPECT_EQ(finished.size(), hosted ? 0 : 1) << hosted;
    }
}

TEST_F(PlayerWindow, ResizingLaysThePictureOutAgain) {
    Settings({});
    Open();
    ASSERT_TRUE(Shows(0));
    Window->resize(500, 200);
    EXPECT_TRUE(WaitFor(
        [&] { return Window->ShownPicture() == 0 && Window->Screen().size() == QSize(500, 200); }));
    EXPECT_TRUE(Near(Centre(), Qt::red));
}

TEST(HostWindow, WithoutX11TheCallerFallsBackToItsOwnWindow) {
    QWidget window;
    for (const quint64 id : {quint64(0), quint64(0x1234567), quint64(0xFFFFFFFFFFull)})
        EXPECT_FALSE(ShowInHostWindow(window, id));
    EXPECT_FALSE(window.isVisible());
}

} // namespace
