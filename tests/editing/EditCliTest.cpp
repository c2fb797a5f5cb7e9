#include "TEditingFixture.h"
#include "editing/EffectCatalogue.h"
#include "support/TTestKit.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::EditingTesting;

namespace {

class EditCli : public testing::Test {
protected:
    using TRun = TTestKit::TCliRun;

    void SetUp() override {
        Workspace = Kit.Root() + "home/Diashow/";
        ProgramDir = Kit.Root() + "home/.local/share/lumerix/";
        const QString pictures = Kit.Root() + "pictures/";
        const TRun run = Kit.RunCli({"create", "Bearbeiten", WriteRamp(pictures + "a.jpg", 96, 64),
                                     WriteRamp(pictures + "b.jpg", 64, 48)});
        ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        Show = run.Out.trimmed();
        Picture = Workspace + Show + "/a.jpg";
        Before = Decode(Picture);
    }

    TRun Run(const QStringList& arguments) { return Kit.RunCli(arguments); }

    // The edit wrote the picture, kept the one before as undo copy and renewed the thumbnail.
    void ExpectStored(const TRun& run) { ExpectStored(run, Before); }
    void ExpectStored(const TRun& run, const QImage& before) {
        ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        EXPECT_EQ(run.Out.trimmed(), Picture);
        ASSERT_TRUE(QFileInfo::exists(ProgramDir + "UNDO_1.jpg"));
        EXPECT_EQ(Decode(ProgramDir + "UNDO_1.jpg"), before);
        EXPECT_TRUE(QFileInfo::exists(Workspace + Show + "/_THUMB_1a.jpg"));
        EXPECT_EQ(QString::fromLatin1(TTestKit::ReadFile(Workspace + Show + "/Pictures.ini")),
                  "a.jpg | \r\nb.jpg | \r\n");
    }

    TTestKit Kit;
    QString Workspace;
    QString ProgramDir;
    QString Show;
    QString Picture;
    QImage Before;
};

TEST_F(EditCli, EffectsByNameNumberAndPath) {
    ExpectStored(Run({"effect", Show, "1", "Mosaic", "--amount", "8"}));
    QImage expected = Before;
    ASSERT_TRUE(EffectCatalogue::ApplyEffect(
        EffectCatalogue::Rows()[EffectCatalogue::Find("Mosaic")], expected, 8, 0, 0, 1));
    EXPECT_LT(MeanDifference(Decode(Picture), expected), 3.0);

    // A child by its path and the same effect by its number give the same picture.
    const QString second = Workspace + Show + "/b.jpg";
    const QByteArray secondBefore = TTestKit::ReadFile(second);
    TRun run = Run({"effect", Show, "2", "Wings/Deep", "--amount", "30", "--extra", "2"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QByteArray byPath = TTestKit::ReadFile(second);
    TTestKit::WriteFile(second, secondBefore);
    run = Run({"effect", Show, "2", "17", "--amount", "30", "--extra", "2"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(TTestKit::ReadFile(second), byPath);

    // Rotate takes its centre from --x and --y, by default the picture's middle.
    const QImage mosaic = Decode(Picture);
    ExpectStored(Run({"effect", Show, "1", "Rotate", "--amount", "0"}), mosaic);
}

TEST_F(EditCli, RefusedEffectsLeaveThePictureAlone) {
    const QByteArray original = TTestKit::ReadFile(Picture);
    const QList<std::pair<QStringList, const char*>> cases = {
        {{"effect", Show, "1", "Noise"}, "heading"},
        {{"effect", Show, "1", "Glitter"}, "no effect"},
        {{"effect", Show, "1", "Round"}, "no effect"},
        {{"effect", Show, "1", "Mosaic", "--amount", "31"}, "--amount"},
        {{"effect", Show, "1", "Mosaic", "--extra", "0"}, "--extra"},
        {{"effect", Show, "3", "Mosaic"}, "no picture number"},
        {{"effect", "Diashow_9999", "1", "Mosaic"}, "no slideshow"},
        {{"effect", Show, "1", "Blend", "--amount", "50"}, "clipboard"},
        {{"effect", Show, "1"}, "usage"},
        {{"adjust", Show, "1", "--brightness", "256"}, "--brightness"},
        {{"adjust", Show, "1", "--colour", "251"}, "--colour"},
        {{"rgb", Show, "1", "100", "100", "101"}, "B must"},
        {{"rgb", Show, "1", "9", "100", "100"}, "R must"},
        {{"sharpen", Show, "1", "1001"}, "VALUE"},
        {{"sharpen", Show, "1"}, "usage"},
    };
    for (const auto& [arguments, message] : cases) {
        const TRun run = Run(arguments);
        EXPECT_NE(run.ExitCode, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains(QString::fromLatin1(message)))
            << arguments.join(' ').toStdString() << ": " << run.Err.toStdString();
    }
    EXPECT_EQ(TTestKit::ReadFile(Picture), original);
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + "UNDO_1.jpg"));
}

TEST_F(EditCli, AdjustAtRestKeepsTheColours) {
    ExpectStored(Run({"adjust", Show, "1"}));
    const QImage after = Decode(Picture);
    EXPECT_LT(MeanDifference(after, Before), 1.5) << "re-encoded only";
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_NEAR(MeanChannel(after, channel), MeanChannel(Before, channel), 1.0) << channel;

    const TRun run = Run({"adjust", Show, "1", "--brightness", "100", "--contrast", "20"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_GT(MeanChannel(Decode(Picture), 1), MeanChannel(after, 1) + 20);
    EXPECT_TRUE(QFileInfo::exists(ProgramDir + "UNDO_1.jpg"));
}

TEST_F(EditCli, RgbKeepsAShareOfEachChannel) {
    ExpectStored(Run({"rgb", Show, "1", "10", "100", "50"}));
    const QImage after = Decode(Picture);
    EXPECT_NEAR(MeanChannel(after, 0), MeanChannel(Before, 0) / 10, 2.0);
    EXPECT_NEAR(MeanChannel(after, 1), MeanChannel(Before, 1), 2.0);
    EXPECT_NEAR(MeanChannel(after, 2), MeanChannel(Before, 2) / 2, 2.0);
}

TEST_F(EditCli, SharpenZeroOnlyReencodes) {
    ExpectStored(Run({"sharpen", Show, "1", "0"}));
    EXPECT_LT(MeanDifference(Decode(Picture), Before), 1.0);
    const TRun run = Run({"sharpen", Show, "1", "-400"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_GT(MeanDifference(Decode(Picture), Before), 0.0);
}

TEST_F(EditCli, HelpListsTheEditCommands) {
    const TRun run = Run({"--help"});
    for (const char* usage : {"effect SHOW INDEX EFFECT", "adjust SHOW INDEX",
                              "rgb SHOW INDEX R G B", "sharpen SHOW INDEX VALUE"})
        EXPECT_TRUE(run.Out.contains(QString::fromLatin1(usage)) ||
                    run.Err.contains(QString::fromLatin1(usage)))
            << usage;
}

} // namespace
