#include "TPlayerFixture.h"
#include "player/TIntro.h"
#include "player/TPlayList.h"
#include "player/TPlayerLibrary.h"
#include "player/TPlayerOptions.h"
#include "player/TPlayerSettings.h"
#include "player/TPlayerShow.h"
#include "player/TPlayerTexts.h"
#include "player/TransitionChoice.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <gtest/gtest.h>

#include <functional>

using namespace Lumerix;
using namespace Lumerix::PlayerTesting;

namespace {

TEST(PlayerSettings, MissingFileOrFolderInItsPlaceGivesTheShippedSettings) {
    TPlayerFolder folder;
    QDir().mkpath(folder.Path(QStringLiteral("Settings.ini")));
    for (const QString& path :
         {folder.Path(QStringLiteral("none.ini")), folder.Path(QStringLiteral("Settings.ini"))}) {
        const TPlayerSettings settings = TPlayerSettings::Load(path);
        EXPECT_FALSE(settings.StopAtEnd);
        EXPECT_TRUE(settings.Fullscreen);
        EXPECT_FALSE(settings.Manual);
        EXPECT_TRUE(settings.PictureTextVisible);
        EXPECT_FALSE(settings.FileNameVisible);
        EXPECT_EQ(settings.BackgroundColor, 0);
        EXPECT_EQ(settings.TextColor, 0xFFFFFF);
        EXPECT_EQ(settings.EffectMode, TEffectMode::Off);
        EXPECT_EQ(settings.Effect, 1);
        EXPECT_EQ(settings.TextOffset, 10);
    }
}

TEST(PlayerSettings, TheShippedFileReadsAsTheDefaults) {
    const TPlayerSettings shipped =
        TPlayerSettings::Load(QStringLiteral(LUMERIX_SOURCE_DIR "/data/diashow/Settings.ini"));
    const TPlayerSettings defaults;
    EXPECT_EQ(shipped.StopAtEnd, defaults.StopAtEnd);
    EXPECT_EQ(shipped.Fullscreen, defaults.Fullscreen);
    EXPECT_EQ(shipped.Manual, defaults.Manual);
    EXPECT_EQ(shipped.PictureTextVisible, defaults.PictureTextVisible);
    EXPECT_EQ(shipped.TextColor, defaults.TextColor);
    EXPECT_EQ(shipped.TextOffset, defaults.TextOffset);
}

struct TSettingsCase {
    const char* Line;
    std::function<bool(const TPlayerSettings&)> Check;
};

TEST(PlayerSettings, OddValuesFallBackOrAreHeldInRange) {
    const TSettingsCase cases[] = {
        {"StopDiashowAtEnd= true ",
         [](const auto& s) {
             return s.StopAtEnd;
         }},
        {"stopdiashowatend=True",
         [](const auto& s) {
             return s.StopAtEnd;
         }},
        {"Fullscreen=FALSE",
         [](const auto& s) {
             return !s.Fullscreen;
         }},
        {"Fullscreen=yes",
         [](const auto& s) {
             return s.Fullscreen;
         }},
        {"Manuell=TRUE",
         [](const auto& s) {
             return s.Manual;
         }},
        {"PictureTextVisible=0",
         [](const auto& s) {
             return s.PictureTextVisible;
         }},
        {"FileNameVisible=TRUE",
         [](const auto& s) {
             return s.FileNameVisible;
         }},
        {"BKGColor=255",
         [](const auto& s) {
             return s.Background() == QColor(255, 0, 0);
         }},
        {"BKGColor=-2147483643",
         [](const auto& s) {
             return s.BackgroundColor == 0;
         }},
        {"BKGColor=16777216",
         [](const auto& s) {
             return s.BackgroundColor == 0;
         }},
        {"TextColor=abc",
         [](const auto& s) {
             return s.TextColor == 0xFFFFFF;
         }},
        {"TextColor=",
         [](const auto& s) {
             return s.TextColor == 0xFFFFFF;
         }},
        {"TextColor=65280",
         [](const auto& s) {
             return s.Foreground() == QColor(0, 255, 0);
         }},
        {"EffectMode=random",
         [](const auto& s) {
             return s.EffectMode == TEffectMode::Random;
         }},
        {"EffectMode= ON",
         [](const auto& s) {
             return s.EffectMode == TEffectMode::On;
         }},
        {"EffectMode=sometimes",
         [](const auto& s) {
             return s.EffectMode == TEffectMode::Off;
         }},
        {"Effect=0",
         [](const auto& s) {
             return s.Effect == 1;
         }},
        {"Effect=200",
         [](const auto& s) {
             return s.Effect == 127;
         }},
        {"Effect=99999999999999",
         [](const auto& s) {
             return s.Effect == 127;
         }},
        {"Effect=4x",
         [](const auto& s) {
             return s.Effect == 1;
         }},
        {"TextOffset=-5",
         [](const auto& s) {
             return s.TextOffset == 0;
         }},
        {"TextOffset=9999",
         [](const auto& s) {
             return s.TextOffset == 750;
         }},
        {"TextOffset=0",
         [](const auto& s) {
             return s.TextOffset == 0;
         }},
    };
    for (const TSettingsCase& row : cases) {
        TPlayerFolder folder;
        folder.Write(QStringLiteral("Settings.ini"),
                     QByteArray("; comment\r\n[SETTINGS]\r\n") + row.Line + "\r\n");
        EXPECT_TRUE(row.Check(TPlayerSettings::Load(folder.Path(QStringLiteral("Settings.ini")))))
            << row.Line;
    }
}

struct TOrderCase {
    const char* Shows;
    QStringList Expected;
};

TEST(PlayList, OrdersTheAvailableShows) {
    const QStringList available = {QStringLiteral("Diashow_0010"), QStringLiteral("Diashow_0002"),
                                   QStringLiteral("Diashow_0001")};
    const TOrderCase cases[] = {
        {"*", {"Diashow_0001", "Diashow_0002", "Diashow_0010"}},
        {"", {"Diashow_0001", "Diashow_0002", "Diashow_0010"}},
        {" ; ;", {"Diashow_0001", "Diashow_0002", "Diashow_0010"}},
        {"Diashow_0002;Diashow_0001", {"Diashow_0002", "Diashow_0001"}},
        {"Diashow_0010 ; *", {"Diashow_0010", "Diashow_0001", "Diashow_0002"}},
        {"*;Diashow_0001", {"Diashow_0002", "Diashow_0010", "Diashow_0001"}},
        {"Diashow_9999;diashow_0002;Diashow_0002;del", {"Diashow_0002"}},
        {"Diashow_9999", {}},
    };
    for (const TOrderCase& row : cases) {
        EXPECT_EQ(TPlayList::FromText(QString::fromUtf8(row.Shows)).Order(available), row.Expected)
            << row.Shows;
    }
}

TEST(PlayList, NumbersSortAsNumbersNotAsText) {
    EXPECT_EQ(TPlayList::NumberOrder({"Diashow_10000", "Diashow_9999", "Diashow_0002"}),
              QStringList({"Diashow_0002", "Diashow_9999", "Diashow_10000"}));
}

TEST(PlayList, ShippedAndMissingFilesPlayEveryShow) {
    const QStringList available = {QStringLiteral("Diashow_0002"), QStringLiteral("Diashow_0001")};
    const QStringList all = {QStringLiteral("Diashow_0001"), QStringLiteral("Diashow_0002")};
    EXPECT_EQ(TPlayList::Load(QStringLiteral(LUMERIX_SOURCE_DIR "/data/diashow/play.ply"))
                  .Order(available),
              all);
    EXPECT_EQ(TPlayList::Load(QStringLiteral("/nonexistent/play.ply")).Order(available), all);
}

TEST(Intro, ReadsItsSectionAndOnlyTakesAPictureBesideIt) {
    TPlayerFolder folder;
    WriteJpeg(folder.Path(QStringLiteral("Intro.jpg")), Qt::red);
    struct TCase {
        const char* Text;
        bool Enabled;
        int Seconds;
        bool HasPicture;
    } cases[] = {
        {"[INTRO]\nEnabled=TRUE\nSeconds=5\nPicture=Intro.jpg\n", true, 5, true},
        {"[INTRO]\nEnabled=true\nSeconds=0\nPicture=../Intro.jpg\n", true, 1, false},
        {"[INTRO]\nEnabled=TRUE\nSeconds=1000\nPicture=missing.jpg\n", true, 60, false},
        {"[INTRO]\nEnabled=maybe\nSeconds=x\n", false, 3, false},
        {"Enabled=TRUE\n", false, 3, false},
    };
    for (const TCase& row : cases) {
        folder.Write(QStringLiteral("intro.ply"), row.Text);
        const TIntro intro = TIntro::Load(folder.Path(QStringLiteral("intro.ply")));
        EXPECT_EQ(intro.Enabled, row.Enabled) << row.Text;
        EXPECT_EQ(intro.Seconds, row.Seconds) << row.Text;
        EXPECT_EQ(!intro.PicturePath.isEmpty(), row.HasPicture) << row.Text;
    }
    EXPECT_FALSE(TIntro::Load(folder.Path(QStringLiteral("none.ply"))).Enabled);
    EXPECT_TRUE(TIntro::Load(QStringLiteral(LUMERIX_SOURCE_DIR "/data/diashow/intro.ply")).Enabled);
}

TEST(PlayerShow, KeepsOnlyPicturesThatAreThere) {
    TPlayerFolder folder;
    const QString show = folder.Path(QStringLiteral("Diashow_0001"));
    WriteJpeg(show + QStringLiteral("/a.jpg"), Qt::red);
    WriteJpeg(show + QStringLiteral("/b.jpg"), Qt::green);
    WriteJpeg(show + QStringLiteral("/_THUMB_a.jpg"), Qt::blue);
    WriteJpeg(folder.Path(QStringLiteral("outside.jpg")), Qt::blue);
    QDir().mkpath(show + QStringLiteral("/folder.jpg"));
    // Windows-1252 caption, CR LF, and every kind of line that names nothing to show.
    folder.Write(QStringLiteral("Diashow_0001/Pictures.ini"),
                 "a.jpg | D\xfcnen im Abendlicht\r\n"
                 "\r\n"
                 "   \r\n"
                 "missing.jpg | gone\r\n"
                 "../outside.jpg | escapes\r\n"
                 "/etc/passwd\r\n"
                 "sub\\b.jpg\r\n"
                 "folder.jpg\r\n"
                 "| only a caption\r\n"
                 "b.jpg\r\n"
                 "a.jpg |  again \x01 with a control character\r\n");
    folder.Write(QStringLiteral("Diashow_0001/Diashow.ini"),
                 "[DIASHOW]\r\nTitel=Urlaub\r\nTime=2,5\r\n");
    for (const char* name : {"Audio002.wav", "Audio001.mp3", "notes.txt", "Zzz.MP3"})
        folder.Write(QStringLiteral("Diashow_0001/") + QString::fromLatin1(name), "x");

    const TPlayerShow loaded = TPlayerShow::Load(show);
    EXPECT_EQ(loaded.Name(), "Diashow_0001");
    EXPECT_EQ(loaded.Title(), "Urlaub");
    EXPECT_EQ(loaded.Seconds(), 2);
    ASSERT_EQ(loaded.Pictures().size(), 3);
    EXPECT_EQ(loaded.Pictures()[0].FileName, "a.jpg");
    EXPECT_EQ(loaded.Pictures()[0].Caption, QString::fromUtf8("Dünen im Abendlicht"));
    EXPECT_EQ(loaded.Pictures()[0].Path, show + QStringLiteral("/a.jpg"));
    EXPECT_EQ(loaded.Pictures()[1].FileName, "b.jpg");
    EXPECT_EQ(loaded.Pictures()[1].Caption, "");
    EXPECT_EQ(loaded.Pictures()[2].Caption, "again with a control character");
    EXPECT_EQ(loaded.SkippedLines(), 6);
    QStringList tracks;
    for (const QString& track : loaded.Tracks())
        tracks.append(QFileInfo(track).fileName());
    EXPECT_EQ(tracks, QStringList({"Audio001.mp3", "Audio002.wav", "Zzz.MP3"}));
}

TEST(PlayerShow, DescriptionFallsBackToTheFolderNameAndThreeSeconds) {
    struct TCase {
        QByteArray Description;
        QString Title;
        int Seconds;
    } cases[] = {
        {"", "Diashow_0007", 3},
        {"[DIASHOW]\r\nTitel=  \r\nTime=abc\r\n", "Diashow_0007", 3},
        {"[DIASHOW]\r\nTitel=SPECIALDUMMY\r\nTime=0\r\n", "Diashow_0007", 3},
        {"[DIASHOW]\r\nTitel=Lang\r\nTime=99999\r\n", "Lang", 3},
        {"[DIASHOW]\r\nTitel=Komma\r\nTime=7.9\r\n", "Komma", 7},
    };
    for (const TCase& row : cases) {
        TPlayerFolder folder;
        folder.Write(QStringLiteral("Diashow_0007/Diashow.ini"), row.Description);
        const TPlayerShow show = TPlayerShow::Load(folder.Path(QStringLiteral("Diashow_0007")));
        EXPECT_EQ(show.Title(), row.Title) << row.Description.constData();
        EXPECT_EQ(show.Seconds(), row.Seconds) << row.Description.constData();
        EXPECT_TRUE(show.Pictures().isEmpty());
    }
}

TEST(PlayerShow, JunkFilesNeverBreakTheReader) {
    TPlayerFolder folder;
    QByteArray junk;
    QRandomGenerator random(7);
    for (int i = 0; i < 20000; ++i)
        junk.append(char(random.bounded(256)));
    folder.Write(QStringLiteral("Diashow_0001/Pictures.ini"), junk);
    folder.Write(QStringLiteral("Diashow_0001/Diashow.ini"), junk);
    const TPlayerShow show = TPlayerShow::Load(folder.Path(QStringLiteral("Diashow_0001")));
    EXPECT_TRUE(show.Pictures().isEmpty());
    EXPECT_FALSE(show.Title().isEmpty());
    EXPECT_GE(show.Seconds(), 1);

    // A folder that is not there.
    EXPECT_TRUE(
        TPlayerShow::Load(folder.Path(QStringLiteral("Diashow_0404"))).Pictures().isEmpty());
}

TEST(PlayerLibrary, ListsShowFoldersWithPicturesInPlayListOrder) {
    TPlayerFolder folder;
    folder.AddShow(QStringLiteral("Diashow_0001"), QStringLiteral("Eins"), 3, {Qt::red});
    folder.AddShow(QStringLiteral("Diashow_0003"), QStringLiteral("Drei"), 3, {Qt::red, Qt::blue});
    folder.AddShow(QStringLiteral("Diashow_0012"), QStringLiteral("Zwoelf"), 3, {Qt::green});
    folder.Write(QStringLiteral("Diashow_0002/Diashow.ini"), "[DIASHOW]\r\nTitel=Leer\r\n");
    folder.AddShow(QStringLiteral("del"), QStringLiteral("Vorlage"), 3, {Qt::red});
    folder.AddShow(QStringLiteral("Diashow_0005.bak"), QStringLiteral("Kein Name"), 3, {Qt::red});
    folder.Write(QStringLiteral("Diashow_0004"), "a file, not a folder");

    auto titles = [&folder] {
        QStringList list;
        const TPlayerLibrary library = TPlayerLibrary::Load(folder.Root());
        for (const TPlayerShow& show : library.Shows())
            list.append(show.Title());
        return list;
    };
    EXPECT_EQ(titles(), QStringList({"Eins", "Drei", "Zwoelf"})) << "no play.ply: every show";
    folder.Write(
        QStringLiteral("play.ply"),
        "; comment\r\n[PLAY]\r\nShows=Diashow_0012;Diashow_0002;Diashow_0077;Diashow_0001\r\n");
    EXPECT_EQ(titles(), QStringList({"Zwoelf", "Eins"}));
    folder.Write(QStringLiteral("play.ply"), "[PLAY]\r\nShows=Diashow_0003;*\r\n");
    EXPECT_EQ(titles(), QStringList({"Drei", "Eins", "Zwoelf"}));

    const TPlayerLibrary library = TPlayerLibrary::Load(folder.Root());
    EXPECT_EQ(library.IndexOf(QStringLiteral("diashow_0012")), 2);
    EXPECT_EQ(library.IndexOf(QStringLiteral("Diashow_0002")), -1);
    EXPECT_TRUE(TPlayerLibrary::Load(folder.Path(QStringLiteral("nowhere"))).IsEmpty());
}

TEST(PlayerTexts, SectionTextsWithEnglishForTheMissingOnes) {
    TPlayerFolder folder;
    folder.Write(QStringLiteral("Language.ini"),
                 "[PLAYER]\r\nLanguage=GERMAN\r\n100003=Ende der Diashow\r\n100004=\r\n");
    const TPlayerTexts texts = TPlayerTexts::Load(folder.Path(QStringLiteral("Language.ini")));
    EXPECT_EQ(texts.EndText, "Ende der Diashow");
    EXPECT_EQ(texts.QuitHint, "Press Esc to end the slideshow.");
    EXPECT_EQ(texts.NoShowText, "No slideshow was found.");
    EXPECT_EQ(TPlayerTexts::Load(folder.Path(QStringLiteral("none.ini"))).EndText,
              "End of the slideshow");
}

TEST(PlayerOptions, CommandLines) {
    const QString program = QStringLiteral("/opt/player");
    struct TCase {
        QStringList Arguments;
        QString Host;
        std::function<bool(const TPlayerOptions&)> Check;
    } cases[] = {
        {{},
         {},
         [](const auto& o) {
             return o.Folder == "/opt/player" && !o.Screensaver;
         }},
        {{"/media/cd"},
         {},
         [](const auto& o) {
             return o.Folder == "/media/cd";
         }},
        {{"--show", "Diashow_0002", "/media/cd"},
         {},
         [](const auto& o) {
             return o.ShowName == "Diashow_0002" && o.Folder == "/media/cd";
         }},
        {{"--show=Diashow_0003"},
         {},
         [](const auto& o) {
             return o.ShowName == "Diashow_0003";
         }},
        {{"--show"},
         {},
         [](const auto& o) {
             return !o.Error.isEmpty();
         }},
        {{"a", "b"},
         {},
         [](const auto& o) {
             return !o.Error.isEmpty();
         }},
        {{"--screensaver"},
         {},
         [](const auto& o) {
             return o.Screensaver && !o.Hosted();
         }},
        {{"-root"},
         {},
         [](const auto& o) {
             return o.Screensaver && o.Hosted() && !o.WindowId;
         }},
        {{"-root"},
         {"0x2a00007"},
         [](const auto& o) {
             return o.WindowId == 0x2a00007u;
         }},
        {{"-window-id", "0x1A"},
         {},
         [](const auto& o) {
             return o.WindowId == 26u;
         }},
        {{"--window-id=77"},
         {"0x99"},
         [](const auto& o) {
             return o.WindowId == 77u;
         }},
        {{"-window-id", "nonsense"},
         {},
         [](const auto& o) {
             return o.Hosted() && !o.WindowId && o.Error.isEmpty();
         }},
        {{"-window-id", "0"},
         {},
         [](const auto& o) {
             return !o.WindowId;
         }},
        {{"-window-id", "0xffffffffffff"},
         {},
         [](const auto& o) {
             return !o.WindowId;
         }},
        {{"-visual", "--unknown"},
         {},
         [](const auto& o) {
             return o.Error.isEmpty();
         }},
        {{"--help"},
         {},
         [](const auto& o) {
             return o.Help;
         }},
    };
    for (const TCase& row : cases) {
        const TPlayerOptions options = TPlayerOptions::Parse(row.Arguments, program, row.Host);
        EXPECT_TRUE(row.Check(options)) << row.Arguments.join(u' ').toStdString();
    }
}

class TransitionChoiceTest : public testing::Test {
protected:
    TEffectsFile Effects(const QByteArray& text) {
        Folder.Write(QStringLiteral("Effects.ini"), text);
        return TEffectsFile::Load(Folder.Path(QStringLiteral("Effects.ini")));
    }
    TPlayerFolder Folder;
    QRandomGenerator Random{42};
};

TEST_F(TransitionChoiceTest, OnTakesTheLineAndCutsOnAnyBadLine) {
    const TEffectsFile effects =
        Effects("702;15;1;0;0\r\nabc;1;1;1;1\r\n9999;1;1;0;0\r\n101;;12;;1;0;0\r\n");
    TPlayerSettings settings;
    settings.EffectMode = TEffectMode::On;
    const struct {
        int Effect;
        int PaintEffect; // 0: a cut
    } cases[] = {{1, 702}, {2, 0}, {3, 0}, {4, 101}, {5, 0}, {127, 0}};
    for (const auto& row : cases) {
        settings.Effect = row.Effect;
        const auto chosen = ChooseTransition(settings, &effects, Random);
        EXPECT_EQ(chosen ? chosen->PaintEffect : 0, row.PaintEffect) << row.Effect;
    }
    EXPECT_FALSE(ChooseTransition(settings, nullptr, Random)) << "no Effects.ini";
    settings.Effect = 1;
    settings.EffectMode = TEffectMode::Off;
    EXPECT_FALSE(ChooseTransition(settings, &effects, Random));
}

TEST_F(TransitionChoiceTest, RandomNeverDrawsTheLastLine) {
    const TEffectsFile effects = Effects("101;1;1;0;0\n102;1;1;0;0\n103;1;1;0;0\n900;0;1;1;0\n");
    TPlayerSettings settings;
    settings.EffectMode = TEffectMode::Random;
    QSet<int> drawn;
    for (int i = 0; i < 300; ++i) {
        const auto chosen = ChooseTransition(settings, &effects, Random);
        ASSERT_TRUE(chosen);
        drawn.insert(chosen->PaintEffect);
    }
    EXPECT_EQ(drawn, QSet<int>({101, 102, 103}));
    const TEffectsFile single = Effects("101;1;1;0;0\n");
    EXPECT_FALSE(ChooseTransition(settings, &single, Random)) << "one line: nothing to draw from";
}

} // namespace
