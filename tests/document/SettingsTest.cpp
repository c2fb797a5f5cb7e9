#include "TDocumentFixture.h"

#include "document/TSettings.h"
#include "imaging/TRasterImage.h"
#include "shell/Colors.h"
#include "shell/TIniFile.h"
#include "shell/TPreferences.h"
#include "shell/TextCodec.h"

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::DocumentTesting;

namespace {

struct TSeconds {
    const char* Typed;
    const char* Kept;
};

class SecondsField : public testing::TestWithParam<TSeconds> {};

TEST_P(SecondsField, RepairsToWholeSecondsOrThree) {
    EXPECT_EQ(TPreferences::ValidSeconds(QString::fromUtf8(GetParam().Typed)),
              QString::fromUtf8(GetParam().Kept));
}

INSTANTIATE_TEST_SUITE_P(Typed, SecondsField,
                         testing::Values(TSeconds{"7.9", "7"}, TSeconds{"10,", "10"},
                                         TSeconds{"", "3"}, TSeconds{"   ", "3"},
                                         TSeconds{"2,5", "2"}, TSeconds{",5", "5"},
                                         TSeconds{"abc", "3"}, TSeconds{" 12 ", "12"},
                                         TSeconds{"1.5,7", "1"}, TSeconds{"4x", "3"},
                                         TSeconds{"0", "3"}, TSeconds{"-5", "3"},
                                         TSeconds{"3600", "3600"}, TSeconds{"3601", "3"},
                                         TSeconds{"99999999999", "3"}, TSeconds{"+5", "5"}));

TEST(EffectNumber, HighValuesFallBackTo127ThenToTheTable) {
    EXPECT_EQ(Settings::ValidEffect(200, 0), 127);
    EXPECT_EQ(Settings::ValidEffect(128, 200), 127);
    EXPECT_EQ(Settings::ValidEffect(127, 200), 127);
    EXPECT_EQ(Settings::ValidEffect(200, 30), 30);
    EXPECT_EQ(Settings::ValidEffect(0, 30), 1);
}

class PlayerSettings : public TDocumentTest {
protected:
    QString Read(const QString& file, const char* key) const {
        return TIniFile(file).ReadString("SETTINGS", key, "<absent>");
    }
    QString SettingsIni() const { return State->WorkspaceDir + "Settings.ini"; }
    QString GeneratorIni() const { return State->GeneratorIni().FileName(); }

    void SaveBoth() {
        QString error;
        ASSERT_TRUE(TPreferences::Save(*State, &error)) << error.toStdString();
        ASSERT_TRUE(Settings::WritePlayerSettings(*State, &error)) << error.toStdString();
    }
};

TEST_F(PlayerSettings, TenKeysInTheirOrder) {
    QStringList keys;
    for (const auto& [key, value] : TPreferences::PlayerValues(*State))
        keys.append(key);
    EXPECT_EQ(keys, (QStringList{"StopDiashowAtEnd", "Fullscreen", "Manuell", "PictureTextVisible",
                                 "FileNameVisible", "BKGColor", "TextColor", "EffectMode", "Effect",
                                 "TextOffset"}));
}

TEST_F(PlayerSettings, ArrowKeysNeedFullScreenInBothFiles) {
    State->Fullscreen = false;
    State->Manual = true;
    SaveBoth();
    EXPECT_EQ(Read(SettingsIni(), "Manuell"), "FALSE");
    EXPECT_EQ(Read(GeneratorIni(), "Manuell"), "FALSE");
    EXPECT_EQ(Read(SettingsIni(), "Fullscreen"), "FALSE");
    State->Fullscreen = true;
    SaveBoth();
    EXPECT_EQ(Read(SettingsIni(), "Manuell"), "TRUE");
}

TEST_F(PlayerSettings, ModeAndEffectReachBothFiles) {
    State->EffectMode = TEffectMode::On;
    State->Effect = 4;
    SaveBoth();
    for (const QString& file : {SettingsIni(), GeneratorIni()}) {
        EXPECT_EQ(Read(file, "EffectMode"), "ON");
        EXPECT_EQ(Read(file, "Effect"), "4");
    }
    State->EffectMode = TEffectMode::Off;
    State->Effect = 6;
    SaveBoth();
    EXPECT_EQ(Read(SettingsIni(), "EffectMode"), "OFF");
    EXPECT_EQ(Read(SettingsIni(), "Effect"), "6") << "the number is kept while effects are off";
}

TEST_F(PlayerSettings, ColoursAndLoopingAreEncodedForThePlayer) {
    State->BackgroundColor = Colors::FromQColor(Qt::red);
    State->TextColor = Colors::FromQColor(Qt::white);
    State->EndlessPlay = true;
    SaveBoth();
    EXPECT_EQ(Read(SettingsIni(), "BKGColor"), "255");
    EXPECT_EQ(Read(SettingsIni(), "TextColor"), "16777215");
    EXPECT_EQ(Read(SettingsIni(), "StopDiashowAtEnd"), "FALSE");
}

TEST_F(PlayerSettings, SavingASlideshowWritesTheSettingsFile) {
    State->TextOffset = 42;
    Show->NewShow("Mit Musik");
    ASSERT_TRUE(Show->AddPictures({Source("a.jpg")}, -1, Progress));
    ASSERT_TRUE(Show->SaveShow(false));
    EXPECT_EQ(Read(SettingsIni(), "TextOffset"), "42");
}

struct TApply {
    const char* Key;
    const char* Value;
    bool Accepted;
};

class SettingFromText : public TDocumentTest, public testing::WithParamInterface<TApply> {};

TEST_P(SettingFromText, AcceptsOnlyTheFilesEncoding) {
    const TRunState before = *State;
    QString error;
    const bool accepted = Settings::Apply(*State, QString::fromUtf8(GetParam().Key),
                                          QString::fromUtf8(GetParam().Value), &error);
    EXPECT_EQ(accepted, GetParam().Accepted) << error.toStdString();
    if (!accepted) {
        EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().Key))) << error.toStdString();
        EXPECT_EQ(TPreferences::Values(*State), TPreferences::Values(before));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingFromText,
    testing::Values(TApply{"Fullscreen", "false", true}, TApply{"Fullscreen", "yes", false},
                    TApply{"BKGColor", "16777215", true}, TApply{"BKGColor", "16777216", false},
                    TApply{"TextColor", "-1", false}, TApply{"EffectMode", "random", true},
                    TApply{"EffectMode", "SOMETIMES", false}, TApply{"Effect", "2", true},
                    TApply{"Effect", "0", false}, TApply{"Effect", "x", false},
                    TApply{"TextOffset", "750", true}, TApply{"TextOffset", "751", false},
                    TApply{"DefaultTime", "12", true}, TApply{"DefaultTime", "7.9", false},
                    TApply{"DefaultTime", "-5", false}, TApply{"DefaultTime", "3601", false},
                    TApply{"Drive", "/tmp", false},
                    TApply{"Titel", "x", false}));

TEST_F(PlayerSettings, ApplyingAnEffectNeedsItsLine) {
    QString error;
    ASSERT_TRUE(Settings::Apply(*State, "Effect", "200", &error)) << error.toStdString();
    EXPECT_EQ(State->Effect, Settings::ValidEffect(200, State->EffectCount));
    EXPECT_TRUE(Settings::Apply(*State, "DefaultTime", " 10", &error));
    EXPECT_EQ(State->SecondsPerPicture, "10");
}

} // namespace

namespace {

// The command-line tool as a user of a fresh home folder runs it.
class SettingsCli : public testing::Test {
protected:
    QString Workspace() const { return Kit.Root() + "home/Diashow/"; }
    TTestKit Kit;
};

TEST_F(SettingsCli, SettingsAreCheckedThenWrittenToBothFiles) {
    const TTestKit::TCliRun set =
        Kit.RunCli({"settings", "EffectMode=on", "Effect=4", "BKGColor=255", "DefaultTime=7"});
    ASSERT_EQ(set.ExitCode, 0) << set.Err.toStdString();
    // Every start lays the shipped Settings.ini out again and writes the user's settings over it.
    const TIniFile player(Workspace() + "Settings.ini");
    EXPECT_EQ(player.ReadString("SETTINGS", "BKGColor", ""), "255");
    EXPECT_EQ(player.ReadString("SETTINGS", "EffectMode", ""), "ON");

    const TTestKit::TCliRun show = Kit.RunCli({"settings"});
    EXPECT_TRUE(show.Out.startsWith("DefaultTime=7\nStopDiashowAtEnd=")) << show.Out.toStdString();
    EXPECT_TRUE(show.Out.contains("\nEffectMode=ON\nEffect=4\n"));

    const TTestKit::TCliRun refused = Kit.RunCli({"settings", "TextOffset=20", "Fullscreen=maybe"});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_TRUE(refused.Err.contains("Fullscreen=maybe")) << refused.Err.toStdString();
    EXPECT_TRUE(Kit.RunCli({"settings"}).Out.contains("\nTextOffset=10\n")) << "nothing was stored";
}

TEST_F(SettingsCli, EffectsAreListedAndTransitionsWritten) {
    const TTestKit::TCliRun effects = Kit.RunCli({"effects"});
    ASSERT_EQ(effects.ExitCode, 0) << effects.Err.toStdString();
    const QStringList lines = effects.Out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(),
              TextCodec::ReadLines(QStringLiteral(LUMERIX_STAGED_KIT "/Effects.ini")).size());
    EXPECT_TRUE(lines.first().startsWith("1\tcross-fade\t702;")) << lines.first().toStdString();

    const QString a = WriteJpeg(Kit.Root() + "in/a.jpg", 176, 144, 10);
    const QString b = WriteJpeg(Kit.Root() + "in/b.jpg", 88, 72, 200);
    const TTestKit::TCliRun run = Kit.RunCli({"transition", "4", a, b, Kit.Root() + "out"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QStringList frames = Files(Kit.Root() + "out");
    EXPECT_EQ(frames.size(), 11);
    EXPECT_EQ(frames.first(), "001.jpg");
    EXPECT_EQ(frames.last(), "011.jpg");
    EXPECT_EQ(TRasterImage::ReadSize(Kit.Root() + "out/006.jpg"), QSize(176, 144));

    EXPECT_EQ(Kit.RunCli({"transition", "999", a, b, Kit.Root() + "out2"}).ExitCode, 1);
    EXPECT_EQ(Kit.RunCli({"transition", "4", a, Kit.Root() + "missing.jpg", Kit.Root() + "out3"})
                  .ExitCode,
              1);
}

} // namespace
