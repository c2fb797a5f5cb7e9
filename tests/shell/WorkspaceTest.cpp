#include "shell/TIniFile.h"
#include "shell/TPreferences.h"
#include "shell/TRunState.h"
#include "shell/TStartup.h"
#include "shell/TWorkspace.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

TEST(Workspace, FirstStartSeedsTheSamplesAndTheKit) {
    TTestKit kit;
    auto state = kit.State();
    const TWorkspace::TPrepareResult result = TWorkspace::Prepare(*state);
    ASSERT_TRUE(result.Ok) << result.Error.toStdString();
    EXPECT_TRUE(result.FirstRun);

    const QString root = state->WorkspaceDir;
    for (const QString& sample : {QStringLiteral("Diashow_0001"), QStringLiteral("Diashow_0002")}) {
        const QStringList files = Files(root + sample);
        EXPECT_TRUE(files.contains("Bumble Bee - KAVORA.mp3")) << sample.toStdString();
        EXPECT_TRUE(files.contains("Diashow.ini"));
        EXPECT_TRUE(files.contains("Pictures.ini"));
        QStringList expected = Files(kit.Locations().KitDir + "diashow/" + sample)
                               << "Bumble Bee - KAVORA.mp3";
        expected.sort();
        EXPECT_EQ(files, expected);
        EXPECT_GE(files.filter(QStringLiteral(".jpg")).size(), 2);
    }
    EXPECT_EQ(Files(root + "del"), (QStringList{"Diashow.ini", "Pictures.ini"}));
    for (const char* name :
         {"Autorun.inf", "play.ply", "intro.ply", "Settings.ini", "Effects.ini", "Language.ini"})
        EXPECT_TRUE(QFileInfo::exists(root + QString::fromLatin1(name))) << name;
    EXPECT_TRUE(QFileInfo(state->VideoDir).isDir());
    EXPECT_TRUE(QFileInfo(state->EncoderDir).isDir());
    EXPECT_TRUE(QFileInfo(state->ProgramDir + "thumbs").isDir());
    EXPECT_TRUE(QFileInfo(state->ProgramDir + "gallery").isDir());
    EXPECT_GT(state->EffectCount, 0);
}

TEST(Workspace, SecondStartRefreshesTheKitButNeverReseeds) {
    TTestKit kit;
    auto state = kit.State();
    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    const QString root = state->WorkspaceDir;
    QDir(root + "Diashow_0001").removeRecursively();
    TTestKit::WriteFile(root + "Autorun.inf", "changed");
    TTestKit::WriteFile(root + "Settings.ini", "[PLAYER]\nStray=1\n");
    TTestKit::WriteFile(root + "del/Diashow.ini", "changed");

    const TWorkspace::TPrepareResult again = TWorkspace::Prepare(*state);
    ASSERT_TRUE(again.Ok);
    EXPECT_FALSE(again.FirstRun);
    EXPECT_FALSE(QFileInfo::exists(root + "Diashow_0001"));
    EXPECT_TRUE(QFileInfo::exists(root + "Diashow_0002"));
    EXPECT_EQ(TTestKit::ReadFile(root + "Autorun.inf"),
              TTestKit::ReadFile(state->KitDir + "diashow/Autorun.inf"));
    // The shipped Settings.ini is laid out again with the user's settings over it.
    const TIniFile settings(root + "Settings.ini");
    for (const auto& [key, value] : TPreferences::PlayerValues(*state))
        EXPECT_EQ(settings.ReadString(TPreferences::Section, key, "<absent>"), value)
            << key.toStdString();
    EXPECT_FALSE(settings.ValueExists(TPreferences::Section, "Stray"));
    EXPECT_EQ(TTestKit::ReadFile(root + "del/Diashow.ini"),
              TTestKit::ReadFile(state->KitDir + "diashow/del/Diashow.ini"));
}

// Only what differs from the kit is copied again, and anything that differs is.
TEST(Workspace, RefreshCopiesOnlyWhatDiffersFromTheKit) {
    TTestKit kit;
    auto state = kit.State();
    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    const QString root = state->WorkspaceDir;
    const QString player = root + state->PlayerName();
    ASSERT_TRUE(QFileInfo(player).isExecutable());
    const QDateTime past(QDate(2001, 2, 3), QTime(4, 5, 6));
    const auto age = [&](const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(past, QFileDevice::FileModificationTime));
    };
    // Same size, one byte changed.
    QByteArray autorun = TTestKit::ReadFile(root + "Autorun.inf");
    autorun[0] = autorun[0] == 'x' ? 'y' : 'x';
    TTestKit::WriteFile(root + "Autorun.inf", autorun);
    // Same bytes, the player no longer executable.
    QFile(player).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    age(player);
    // Left as the kit has it.
    age(root + "play.ply");
    // Already the kit's file with the user's settings over it.
    age(root + "Settings.ini");

    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    EXPECT_EQ(TTestKit::ReadFile(root + "Autorun.inf"),
              TTestKit::ReadFile(state->KitDir + "diashow/Autorun.inf"));
    EXPECT_TRUE(QFileInfo(player).isExecutable());
    EXPECT_EQ(QFileInfo(root + "play.ply").lastModified(), past) << "an equal file is untouched";
    EXPECT_EQ(QFileInfo(root + "Settings.ini").lastModified(), past);
    EXPECT_EQ(TTestKit::ReadFile(root + "play.ply"),
              TTestKit::ReadFile(state->KitDir + "diashow/play.ply"));
}

TEST(Workspace, EnglishUsesTheOtherNamesButTheSameSlideshowFolders) {
    TTestKit kit;
    auto state = kit.State(QStringLiteral("ENGLISH"));
    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    EXPECT_TRUE(state->WorkspaceDir.endsWith("/Slideshow/"));
    EXPECT_TRUE(QFileInfo(state->WorkspaceDir + "Diashow_0001").isDir());
    EXPECT_EQ(TTestKit::ReadFile(state->WorkspaceDir + "Autorun.inf"),
              TTestKit::ReadFile(state->KitDir + "diashow/Slideshow-Autorun.inf"));
    const QString launcher = kit.Locations().DesktopDir + "Slideshow-Player.desktop";
    ASSERT_TRUE(QFileInfo::exists(launcher));
    EXPECT_TRUE(QFileInfo(launcher).isExecutable());
    const QByteArray entry = TTestKit::ReadFile(launcher);
    EXPECT_TRUE(
        entry.contains("Exec=\"" + (state->WorkspaceDir + "Slideshow-Player").toUtf8() + "\"\n"));
    EXPECT_TRUE(entry.contains("Name=Slideshow-Player\n"));
    EXPECT_TRUE(entry.contains("Icon=" + (state->KitDir + "icons/lumerix-256.png").toUtf8()));
    EXPECT_FALSE(QFileInfo::exists(kit.Locations().DesktopDir + "Diashow-Player.desktop"));
}

TEST(Workspace, PlayerLanguageFileCarriesTheCodeAndTexts) {
    TTestKit kit;
    auto state = kit.State(QStringLiteral("FRANCE"));
    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    const TIniFile player(state->WorkspaceDir + "Language.ini");
    EXPECT_EQ(player.ReadString("PLAYER", "Language", ""), "FRANCE");
    for (const int number : TWorkspace::PlayerTextNumbers) {
        EXPECT_EQ(player.ReadString("PLAYER", QString::number(number), ""), state->Text(number));
        EXPECT_FALSE(state->Text(number).isEmpty());
    }
}

TEST(Workspace, UncreatableFolderNamesTheFolderAndSeedsNothing) {
    TTestKit kit;
    auto state = kit.State();
    TTestKit::WriteFile(kit.Root() + "blocked", "a file where the base should be");
    state->SetWorkspaceBase(kit.Root() + "blocked");
    const TWorkspace::TPrepareResult result = TWorkspace::Prepare(*state);
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(result.Error.contains(kit.Root() + "blocked/")) << result.Error.toStdString();
    EXPECT_EQ(TTestKit::ReadFile(kit.Root() + "blocked"), "a file where the base should be");
}

TEST(Workspace, UserMayPickAnotherBaseWhenTheFirstFails) {
    TTestKit kit;
    auto state = kit.State();
    TTestKit::WriteFile(kit.Root() + "blocked", "x");
    state->SetWorkspaceBase(kit.Root() + "blocked");
    TScriptedPrompter prompter;
    prompter.Folders.enqueue(kit.Root() + "good");
    ASSERT_TRUE(TStartup::PrepareWorkspace(*state, prompter));
    ASSERT_EQ(prompter.OfKind(TScriptedPrompter::TKind::Error).size(), 1);
    EXPECT_EQ(state->WorkspaceDir, kit.Root() + "good/Diashow/");
    EXPECT_TRUE(QFileInfo(state->WorkspaceDir + "Diashow_0002").isDir());
    EXPECT_EQ(state->GeneratorIni().ReadString("SETTINGS", "Drive", ""), kit.Root() + "good/");

    auto stuck = kit.State();
    stuck->SetWorkspaceBase(kit.Root() + "blocked");
    TScriptedPrompter givesUp;
    EXPECT_FALSE(TStartup::PrepareWorkspace(*stuck, givesUp));
}

TEST(Workspace, CloseDownRemovesWorkFilesAndSaves) {
    TTestKit kit;
    auto state = kit.State();
    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    for (const char* name :
         {"UNDO_1.jpg", "undo_2.JPG", "Temp.jpg", "prev.jpg", "Print.txt", "Keep.jpg"})
        TTestKit::WriteFile(state->ProgramDir + QString::fromLatin1(name), "x");
    state->UndoCount = 2;
    state->SecondsPerPicture = "6";
    ASSERT_TRUE(TWorkspace::CloseDown(*state));
    EXPECT_EQ(Files(state->ProgramDir), (QStringList{"Generator.ini", "Keep.jpg"}));
    EXPECT_EQ(state->UndoCount, 0);
    EXPECT_EQ(state->GeneratorIni().ReadString("SETTINGS", "DefaultTime", ""), "6");
}

TEST(Workspace, TipsMarkerSwitchesTipsOff) {
    TTestKit kit;
    auto state = kit.State();
    EXPECT_TRUE(state->TipsWanted());
    state->SetTipsWanted(false);
    EXPECT_TRUE(QFileInfo::exists(state->ProgramDir + "NoTip.ini"));
    EXPECT_FALSE(state->TipsWanted());
    state->SetTipsWanted(true);
    EXPECT_TRUE(state->TipsWanted());
}

TEST(Startup, ChosenLanguageIsKeptForTheNextStart) {
    TTestKit kit;
    EXPECT_FALSE(TStartup::LanguageIsSet(kit.Locations()));
    ASSERT_TRUE(TStartup::RecordChosenLanguage(kit.Locations(), QStringLiteral("ITALIAN")));
    EXPECT_TRUE(TStartup::LanguageIsSet(kit.Locations()));
    TScriptedPrompter prompter;
    const auto state =
        TStartup::CreateRunState(kit.Locations(), prompter, QStringLiteral("lumerix"));
    EXPECT_EQ(state->Language().Code(), "ITALIAN");
    EXPECT_TRUE(prompter.Messages.isEmpty());
    EXPECT_FALSE(state->GermanEdition);
    EXPECT_TRUE(
        TStartup::CreateRunState(kit.Locations(), prompter, QStringLiteral("Diashow-Generator"))
            ->GermanEdition);
}

TEST(Startup, MissingFilesAreReportedAndDefaultsUsed) {
    TTestKit kit;
    TFolderLocations locations = kit.Locations();
    locations.KitDir = kit.Root() + "emptykit/";
    TScriptedPrompter prompter;
    const auto state = TStartup::CreateRunState(locations, prompter, QStringLiteral("lumerix"));
    const auto errors = prompter.OfKind(TScriptedPrompter::TKind::Error);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors[0].Text, locations.ProgramDir + "Generator.ini nicht gefunden!");
    EXPECT_TRUE(errors[1].Text.endsWith("Language.ini nicht gefunden!"));
    EXPECT_EQ(state->Language().Code(), "GERMAN");
    EXPECT_EQ(state->Text(518), "");
    EXPECT_TRUE(TWorkspace::Prepare(*state).Ok) << "a missing kit is skipped";
}

} // namespace
