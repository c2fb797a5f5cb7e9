#include "shell/Execute.h"
#include "shell/TProgress.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

TEST(Execute, DeleteFilesMatchesLikeTheShellAndSparesFolders) {
    TTestKit kit;
    const QString folder = kit.Root() + "work/";
    for (const char* name : {"UNDO_1.jpg", "Undo_2.JPG", "UNDO.txt", "other.jpg"})
        TTestKit::WriteFile(folder + QString::fromLatin1(name), "x");
    QDir().mkpath(folder + "UNDO_dir.jpg");
    EXPECT_TRUE(Execute::DeleteFiles(folder + "UNDO*.jpg"));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"UNDO.txt", "UNDO_dir.jpg", "other.jpg"}));
    EXPECT_FALSE(Execute::DeleteFiles(folder + "UNDO*.jpg")) << "nothing left to match";
}

TEST(Execute, CopyFilesOverwritesAndFailsOnAMissingSourceFolder) {
    TTestKit kit;
    TTestKit::WriteFile(kit.Root() + "from/a.jpg", "new a");
    TTestKit::WriteFile(kit.Root() + "from/b.ini", "new b");
    TTestKit::WriteFile(kit.Root() + "to/a.jpg", "old a");
    EXPECT_TRUE(Execute::CopyFiles(kit.Root() + "from/*", kit.Root() + "to"));
    EXPECT_EQ(TTestKit::ReadFile(kit.Root() + "to/a.jpg"), "new a");
    EXPECT_EQ(TTestKit::ReadFile(kit.Root() + "to/b.ini"), "new b");
    EXPECT_FALSE(Execute::CopyFiles(kit.Root() + "missing/*", kit.Root() + "to"));
}

TEST(Execute, FileOperationsMoveRenameAndAvoidCollisions) {
    TTestKit kit;
    TTestKit::WriteFile(kit.Root() + "a/x.jpg", "x");
    TTestKit::WriteFile(kit.Root() + "b/x.jpg", "existing");
    EXPECT_TRUE(Execute::ShellFileOp(Execute::TFileOp::Copy, true, kit.Root() + "b",
                                     kit.Root() + "a/x.jpg"));
    EXPECT_EQ(TTestKit::ReadFile(kit.Root() + "b/x (2).jpg"), "x");
    EXPECT_EQ(TTestKit::ReadFile(kit.Root() + "b/x.jpg"), "existing");
    EXPECT_TRUE(Execute::ShellFileOp(Execute::TFileOp::Rename, false, kit.Root() + "a/y.jpg",
                                     kit.Root() + "a/x.jpg"));
    EXPECT_FALSE(QFileInfo::exists(kit.Root() + "a/x.jpg"));
    EXPECT_EQ(TTestKit::ReadFile(kit.Root() + "a/y.jpg"), "x");
    EXPECT_TRUE(Execute::ShellFileOp(Execute::TFileOp::Delete, false, {}, kit.Root() + "b/*.jpg"));
    EXPECT_TRUE(QDir(kit.Root() + "b").isEmpty());
}

TEST(Execute, RunAndWaitReturnsTheExitCodeFromTheWorkingFolder) {
    TTestKit kit;
    QDir().mkpath(kit.Root() + "run");
    EXPECT_EQ(Execute::RunAndWait(kit.Root() + "run", "/bin/sh", {"-c", "pwd > where.txt; exit 3"}),
              3);
    EXPECT_EQ(TTestKit::ReadFile(kit.Root() + "run/where.txt").trimmed(),
              QFileInfo(kit.Root() + "run").canonicalFilePath().toUtf8());
}

TEST(Execute, RunAndWaitReportsAProgramThatCannotStart) {
    TScriptedPrompter prompter;
    EXPECT_EQ(Execute::RunAndWait("/", "/nonexistent/program", {}, &prompter), -1);
    ASSERT_EQ(prompter.Messages.size(), 1);
    EXPECT_EQ(prompter.Messages[0].Text, "Error starting /nonexistent/program");
}

TEST(Execute, RunAndWaitKillsTheProgramOnCancel) {
    TSilentProgress progress;
    QTimer::singleShot(100, [&] { progress.Cancel(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Execute::RunAndWait("/", "/bin/sleep", {"30"}, nullptr, &progress), -1);
    EXPECT_LT(clock.elapsed(), 10000);
}

} // namespace
