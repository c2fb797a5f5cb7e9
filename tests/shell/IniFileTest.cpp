#include "shell/TIniFile.h"
#include "support/TTestKit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace Lumerix;

namespace {

class IniFile : public testing::Test {
protected:
    TTestKit Kit;
    QString Path = Kit.Root() + QStringLiteral("Test.ini");
};

TEST_F(IniFile, MissingFileSectionOrKeyGivesTheDefault) {
    TIniFile ini(Path);
    EXPECT_EQ(ini.ReadString("S", "k", "dflt"), "dflt");
    TTestKit::WriteFile(Path, "[S]\nk=v\n");
    EXPECT_EQ(ini.ReadString("Other", "k", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("S", "missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("S", "k", 7), 7);
    EXPECT_TRUE(ini.ReadBool("S", "k", true));
}

TEST_F(IniFile, NamesMatchWithoutRegardToCase) {
    TTestKit::WriteFile(Path, "; comment\n[Settings]\nFullScreen = false \nEffect=12\n");
    TIniFile ini(Path);
    EXPECT_EQ(ini.ReadString("SETTINGS", "fullscreen", ""), "false");
    EXPECT_FALSE(ini.ReadBool("settings", "FULLSCREEN", true));
    EXPECT_EQ(ini.ReadInteger("SeTtInGs", "EFFECT", 0), 12);
    EXPECT_TRUE(ini.ValueExists("settings", "effect"));
    EXPECT_EQ(ini.ReadSection("SETTINGS"), (QStringList{"FullScreen", "Effect"}));
}

TEST_F(IniFile, WriteReplacesOnlyThatKeysLine) {
    TTestKit::WriteFile(Path, "; kept comment\n[A]\nx=1\n; inside\ny=2\n\n[B]\nx=3\n");
    TIniFile ini(Path);
    ASSERT_TRUE(ini.WriteString("a", "X", "10"));
    ASSERT_TRUE(ini.WriteString("A", "z", "new"));
    ASSERT_TRUE(ini.WriteString("C", "k", "v"));
    EXPECT_EQ(TTestKit::ReadFile(Path),
              "; kept comment\n[A]\nX=10\n; inside\ny=2\nz=new\n\n[B]\nx=3\n[C]\nk=v\n");
    EXPECT_EQ(ini.ReadString("B", "x", ""), "3");
}

TEST_F(IniFile, LineBreaksInAValueCannotAddKeys) {
    TIniFile ini(Path);
    ASSERT_TRUE(ini.WriteString("S", "Titel", "Urlaub\nInjected=1\r\nmore"));
    EXPECT_EQ(ini.ReadString("S", "Titel", ""), "Urlaub Injected=1 more");
    EXPECT_FALSE(ini.ValueExists("S", "Injected"));
}

TEST_F(IniFile, WriteCreatesFileAndFolder) {
    TIniFile ini(Kit.Root() + QStringLiteral("new/folder/Created.ini"));
    ASSERT_TRUE(ini.WriteBool("SETTINGS", "Fullscreen", false));
    EXPECT_EQ(TTestKit::ReadFile(ini.FileName()), "[SETTINGS]\nFullscreen=FALSE\n");
}

TEST_F(IniFile, RewritingAKeyKeepsTheFilesLineEnds) {
    const struct {
        const char* Trap;
        QByteArray Before, After;
    } cases[] = {
        {"LF", "[A]\nx=1\n", "[A]\nx=2\ny=3\n"},
        {"CR LF", "[A]\r\nx=1\r\n", "[A]\r\nx=2\r\ny=3\r\n"},
        {"CR LF, no end at the end", "[A]\r\nx=1", "[A]\r\nx=2\r\ny=3\r\n"},
        {"CR alone", "[A]\rx=1\r", "[A]\rx=2\ry=3\r"},
        {"one line without an end", "[A]", "[A]\nx=2\ny=3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Trap);
        TTestKit::WriteFile(Path, c.Before);
        TIniFile ini(Path);
        ASSERT_TRUE(ini.WriteString("A", "x", "2"));
        ASSERT_TRUE(ini.WriteString("A", "y", "3"));
        EXPECT_EQ(TTestKit::ReadFile(Path), c.After);
    }
}

TEST_F(IniFile, StoringWhatTheFileSaysLeavesItAlone) {
    TTestKit::WriteFile(Path, "[A]\r\nx=1\r\n");
    const QDateTime past(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile file(Path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(past, QFileDevice::FileModificationTime));
    }
    TIniFile ini(Path);
    ASSERT_TRUE(ini.WriteString("a", "x", "1"));
    EXPECT_EQ(QFileInfo(Path).lastModified(), past);
    ASSERT_TRUE(ini.WriteString("A", "x", "2"));
    EXPECT_NE(QFileInfo(Path).lastModified(), past);
    EXPECT_EQ(TTestKit::ReadFile(Path), "[A]\r\nx=2\r\n");
}

TEST_F(IniFile, ReadsWindows1252AndWindowsLineEnds) {
    TTestKit::WriteFile(Path, "[DIASHOW]\r\nTitel=Gr\xFC\xDF"
                              "e aus K\xF6ln\r\n");
    EXPECT_EQ(TIniFile(Path).ReadString("Diashow", "titel", ""), QStringLiteral("Grüße aus Köln"));
}

TEST_F(IniFile, SeesChangesMadeBehindItsBack) {
    TIniFile ini(Path);
    TTestKit::WriteFile(Path, "[S]\nk=first\n");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "first");
    TTestKit::WriteFile(Path, "[S]\nk=second, longer\n");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "second, longer");
}

TEST_F(IniFile, FallbackSeedsTheFirstWrite) {
    const QString shipped = Kit.Root() + QStringLiteral("kit/Shipped.ini");
    TTestKit::WriteFile(shipped, "; shipped defaults\n[S]\na=1\nb=2\n");
    TIniFile ini(Kit.Root() + QStringLiteral("own/Shipped.ini"), shipped);
    EXPECT_EQ(ini.ReadString("S", "b", ""), "2");
    ASSERT_TRUE(ini.WriteString("S", "a", "9"));
    EXPECT_EQ(TTestKit::ReadFile(ini.FileName()), "; shipped defaults\n[S]\na=9\nb=2\n");
    EXPECT_EQ(TTestKit::ReadFile(shipped), "; shipped defaults\n[S]\na=1\nb=2\n");
}

TEST_F(IniFile, WriteNeverTouchesTheOldFileInPlace) {
    // A hard link still sees the old contents: the new file was written beside and renamed.
    TTestKit::WriteFile(Path, "[S]\nk=old\n");
    const QString link = Kit.Root() + QStringLiteral("link.ini");
    ASSERT_EQ(::link(QFile::encodeName(Path).constData(), QFile::encodeName(link).constData()), 0);
    TIniFile ini(Path);
    ASSERT_TRUE(ini.WriteString("S", "k", "new"));
    EXPECT_EQ(TTestKit::ReadFile(link), "[S]\nk=old\n");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "new");
    EXPECT_EQ(QDir(Kit.Root()).entryList({"*.ini*"}, QDir::Files | QDir::Hidden).size(), 2)
        << "no temporary left";
}

TEST_F(IniFile, FailedWriteKeepsTheFileAndSaysWhy) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into read-only folders";
    const QString folder = Kit.Root() + QStringLiteral("locked/");
    TTestKit::WriteFile(folder + QStringLiteral("L.ini"), "[S]\nk=old\n");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    TIniFile ini(folder + QStringLiteral("L.ini"));
    EXPECT_FALSE(ini.WriteString("S", "k", "new"));
    EXPECT_TRUE(ini.LastError().contains(QStringLiteral("L.ini")));
    EXPECT_EQ(TTestKit::ReadFile(folder + QStringLiteral("L.ini")), "[S]\nk=old\n");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(IniFile, FailedWriteIntoAFileInTheWayKeepsEverything) {
    // Works for root too: the folder of the target is a plain file.
    TTestKit::WriteFile(Kit.Root() + QStringLiteral("blocker"), "not a folder");
    TIniFile ini(Kit.Root() + QStringLiteral("blocker/X.ini"));
    EXPECT_FALSE(ini.WriteString("S", "k", "v"));
    EXPECT_FALSE(ini.LastError().isEmpty());
    EXPECT_EQ(TTestKit::ReadFile(Kit.Root() + QStringLiteral("blocker")), "not a folder");
}

} // namespace
