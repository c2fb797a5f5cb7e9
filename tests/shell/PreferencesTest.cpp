#include "shell/TPreferences.h"
#include "shell/TRunState.h"
#include "support/TTestKit.h"

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

class Preferences : public testing::Test {
protected:
    void WriteGenerator(const QByteArray& settings) {
        TTestKit::WriteFile(Kit.Locations().ProgramDir + QStringLiteral("Generator.ini"),
                            "[SETTINGS]\n" + settings);
    }
    TTestKit Kit;
};

TEST_F(Preferences, AbsentKeysTakeTheirDefaults) {
    WriteGenerator("Language=GERMAN\n");
    const auto state = Kit.State();
    EXPECT_EQ(state->SecondsPerPicture, "3") << "seconds are always a valid number";
    EXPECT_EQ(state->SourceDir, "");
    EXPECT_FALSE(state->EndlessPlay);
    EXPECT_TRUE(state->Fullscreen);
    EXPECT_TRUE(state->Manual);
    EXPECT_FALSE(state->PictureTextVisible);
    EXPECT_FALSE(state->FileNameVisible);
    EXPECT_EQ(state->BackgroundColor, 0);
    EXPECT_EQ(state->TextColor, 0);
    EXPECT_EQ(state->EffectMode, TEffectMode::Off);
    EXPECT_EQ(state->Effect, 1);
    EXPECT_EQ(state->TextOffset, 0);
    EXPECT_EQ(state->WorkspaceBase(), Kit.Locations().HomeDir);
}

TEST_F(Preferences, ValuesAreReadAsTheirKeysSay) {
    WriteGenerator(
        "DefaultTime= 5 \nStopDiashowAtEnd=false\nFullscreen=no\nManuell=FALSE\n"
        "PictureTextVisible=true\nFileNameVisible=yes\nBKGColor=255\nTextColor=16777215\n"
        "EffectMode=RANDOM\nEffect=7\nTextOffset=12\nDrive=" +
        Kit.Root().toUtf8() + "media/stick\n");
    const auto state = Kit.State();
    EXPECT_EQ(state->SecondsPerPicture, "5");
    EXPECT_TRUE(state->EndlessPlay);
    EXPECT_TRUE(state->Fullscreen) << "anything but FALSE ticks full screen";
    EXPECT_FALSE(state->Manual);
    EXPECT_TRUE(state->PictureTextVisible);
    EXPECT_FALSE(state->FileNameVisible) << "only TRUE ticks the file name";
    EXPECT_EQ(state->BackgroundColor, 255);
    EXPECT_EQ(state->TextColor, 16777215);
    EXPECT_EQ(state->EffectMode, TEffectMode::Random);
    EXPECT_EQ(state->Effect, 7);
    EXPECT_EQ(state->TextOffset, 12);
    EXPECT_EQ(state->WorkspaceDir, Kit.Root() + QStringLiteral("media/stick/Diashow/"));
}

TEST_F(Preferences, EffectModeIsMatchedExactly) {
    WriteGenerator("EffectMode=on\n");
    EXPECT_EQ(Kit.State()->EffectMode, TEffectMode::Off);
    WriteGenerator("EffectMode=ON\n");
    EXPECT_EQ(Kit.State()->EffectMode, TEffectMode::On);
}

TEST_F(Preferences, SourceFolderEqualToTheProgramFolderIsReadAsHome) {
    WriteGenerator("SourcePicturesPath=" + Kit.Locations().ProgramDir.toUpper().toUtf8() + "\n");
    EXPECT_EQ(Kit.State()->SourceDir, Kit.Locations().HomeDir);
    WriteGenerator("SourcePicturesPath=/home/anna/Bilder\n");
    EXPECT_EQ(Kit.State()->SourceDir, "/home/anna/Bilder/");
}

TEST_F(Preferences, ManualIsWrittenFalseWithoutFullScreen) {
    auto state = Kit.State();
    state->Manual = true;
    state->Fullscreen = false;
    ASSERT_TRUE(TPreferences::Save(*state));
    EXPECT_EQ(state->GeneratorIni().ReadString("SETTINGS", "Manuell", ""), "FALSE");
    state->Fullscreen = true;
    ASSERT_TRUE(TPreferences::Save(*state));
    EXPECT_EQ(state->GeneratorIni().ReadString("SETTINGS", "Manuell", ""), "TRUE");
}

TEST_F(Preferences, SaveAndLoadRoundTripAndKeepTheLanguage) {
    WriteGenerator("Language=SPAIN\n; note\n");
    auto state = Kit.State(QStringLiteral("SPAIN"));
    state->SecondsPerPicture = "4";
    state->EndlessPlay = true;
    state->PictureTextVisible = true;
    state->BackgroundColor = 0x102030;
    state->EffectMode = TEffectMode::On;
    state->Effect = 3;
    state->SetWorkspaceBase(Kit.Root() + QStringLiteral("elsewhere"));
    ASSERT_TRUE(TPreferences::Save(*state));

    const auto reloaded = Kit.State(QStringLiteral("SPAIN"));
    EXPECT_EQ(reloaded->SecondsPerPicture, "4");
    EXPECT_TRUE(reloaded->EndlessPlay);
    EXPECT_TRUE(reloaded->PictureTextVisible);
    EXPECT_EQ(reloaded->BackgroundColor, 0x102030);
    EXPECT_EQ(reloaded->EffectMode, TEffectMode::On);
    EXPECT_EQ(reloaded->Effect, 3);
    EXPECT_EQ(reloaded->WorkspaceDir, Kit.Root() + QStringLiteral("elsewhere/Slideshow/"));
    const QByteArray file = TTestKit::ReadFile(state->GeneratorIni().FileName());
    EXPECT_TRUE(file.contains("Language=SPAIN\n; note\n"));
    EXPECT_TRUE(file.contains("StopDiashowAtEnd=FALSE\n"));
}

TEST_F(Preferences, PathsFollowTheLanguage) {
    const auto german = Kit.State(QStringLiteral("GERMAN"));
    const QString home = Kit.Locations().HomeDir;
    EXPECT_EQ(german->WorkspaceDir, home + "Diashow/");
    EXPECT_EQ(german->VideoDir, home + "DVD-Diashow/");
    EXPECT_EQ(german->EncoderDir, home + "DVD-Diashow/encoder/");
    EXPECT_EQ(german->CdRomDir, home + "CDROM-Diashow/");
    EXPECT_EQ(german->ScreensaverDir, Kit.Locations().DocumentsDir + "Diashow_Screensaver/");
    EXPECT_EQ(german->PlayerName(), "Diashow-Player");

    const auto english = Kit.State(QStringLiteral("ENGLISH"));
    EXPECT_EQ(english->WorkspaceDir, home + "Slideshow/");
    EXPECT_EQ(english->VideoDir, home + "DVD-Slideshow/");
    EXPECT_EQ(english->EncoderDir, home + "DVD-Slideshow/encoder/");
    EXPECT_EQ(english->CdRomDir, home + "CDROM-Slideshow/");
    EXPECT_EQ(english->ScreensaverDir, Kit.Locations().DocumentsDir + "Slideshow_Screensaver/");
    EXPECT_EQ(english->PlayerName(), "Slideshow-Player");
}

} // namespace
