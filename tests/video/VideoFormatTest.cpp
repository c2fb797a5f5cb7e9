#include "video/TVideoFormat.h"

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

struct TEstimateCase {
    TVideoKind Kind;
    int Pictures;
    int Seconds;
    qint64 Megabytes;
};

TEST(VideoFormat, NeededSpaceFollowsTheTable) {
    const TEstimateCase cases[] = {
        {TVideoKind::Vcd, 10, 3, 31},
        {TVideoKind::Svcd, 10, 3, 54},
        {TVideoKind::VcdTransitions, 10, 3, 28},
        {TVideoKind::SvcdTransitions, 10, 3, 57},
        // An empty list still holds the closing picture: n = 1.
        {TVideoKind::Vcd, 0, 3, 3},             // (0.54 + 0.406) × 3 = 2.838
        {TVideoKind::Svcd, 0, 3, 5},            // (0.54 + 1.106) × 3 = 4.938
        {TVideoKind::VcdTransitions, 0, 3, 3},  // 0.72 + 1.25 + 0.6 = 2.57
        {TVideoKind::SvcdTransitions, 0, 3, 5}, // 0.72 + 3 + 1.44 = 5.16
    };
    for (const TEstimateCase& c : cases) {
        EXPECT_EQ(VideoFormat::NeededMegabytes(c.Kind, c.Pictures, c.Seconds), c.Megabytes)
            << int(c.Kind) << " " << c.Pictures;
    }
    // 101 × (5 × 0.18 + 0.406) × 3 = 395.718
    EXPECT_EQ(VideoFormat::NeededMegabytes(TVideoKind::Vcd, 100, 5), 396);
}

TEST(VideoFormat, MegabytesRoundBinaryMegabytes) {
    EXPECT_EQ(VideoFormat::Megabytes(0), 0);
    EXPECT_EQ(VideoFormat::Megabytes(1 << 20), 1);
    EXPECT_EQ(VideoFormat::Megabytes((1 << 20) + (1 << 19) - 1), 1);
    EXPECT_EQ(VideoFormat::Megabytes(qint64(10) << 30), 10240);
}

TEST(VideoFormat, FrameSizesAndNames) {
    EXPECT_EQ(VideoFormat::FrameSize(TVideoKind::Vcd, TTvStandard::Pal), QSize(352, 288));
    EXPECT_EQ(VideoFormat::FrameSize(TVideoKind::VcdTransitions, TTvStandard::Ntsc),
              QSize(352, 240));
    EXPECT_EQ(VideoFormat::FrameSize(TVideoKind::Svcd, TTvStandard::Pal), QSize(576, 480));
    EXPECT_EQ(VideoFormat::FrameSize(TVideoKind::SvcdTransitions, TTvStandard::Ntsc),
              QSize(480, 480));
    EXPECT_EQ(VideoFormat::KindFromName("SVCD-Transitions"), TVideoKind::SvcdTransitions);
    EXPECT_FALSE(VideoFormat::KindFromName("dvd"));
    EXPECT_EQ(VideoFormat::StandardFromName("ntsc"), TTvStandard::Ntsc);
    EXPECT_FALSE(VideoFormat::StandardFromName("secam"));
    EXPECT_EQ(VideoFormat::CaptionPoints(TVideoKind::VcdTransitions), 12);
    EXPECT_EQ(VideoFormat::CaptionPoints(TVideoKind::Svcd), 18);
}

TEST(VideoFormat, FreeSpaceOfAnExistingFolder) {
    const VideoFormat::TDiskSpace space = VideoFormat::DiskSpace(QStringLiteral("/tmp"));
    EXPECT_GT(space.TotalMegabytes, 0);
    EXPECT_LE(space.FreeMegabytes, space.TotalMegabytes);
    EXPECT_EQ(VideoFormat::DiskSpace(QStringLiteral("/no/such/folder")).TotalMegabytes, 0);
}

} // namespace
