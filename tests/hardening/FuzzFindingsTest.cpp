// Inputs the fuzz targets (or a review prompted by them) found to break a reader, each named
// after the trap it sets. The files live in tests/data/fuzz/<target>/, where the fuzz replay
// runs them too; these tests say what the reader must make of them.
#include "audio/TMPEGaudio.h"
#include "document/TDocumentFixture.h"
#include "document/TPictureEntry.h"
#include "shell/TextCodec.h"

#include <QString>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::DocumentTesting;

namespace {

QString Finding(const char* target, const char* name) {
    return QStringLiteral(LUMERIX_SOURCE_DIR "/tests/data/fuzz/") + QLatin1String(target) + u'/' +
           QLatin1String(name);
}

// A Xing header whose byte count has the top bit set reads as a negative count; the bit rate
// it implies is below the range of int.
TEST(FuzzFindings, XingByteCountBelowZeroGivesNoBitRate) {
    TMPEGaudio audio;
    ASSERT_TRUE(audio.AnalyseFile(Finding("MpegAudioFuzz", "xing_negative_bytes.mp3")));
    ASSERT_TRUE(audio.VbrHeader().Found);
    EXPECT_EQ(audio.VbrHeader().Frames, 1);
    EXPECT_EQ(audio.BitRateKbps(), 0);
    EXPECT_FALSE(audio.IsValid());
    EXPECT_EQ(audio.FrameCount(), 1);
}

// A file name holding the end of the thumbnail tag, `" align="top">`, made the entry text
// parse with part of the thumbnail path as the name; saving then wrote that name to
// `Pictures.ini`, and the picture dropped out of the slideshow at the next opening.
TEST(FuzzFindings, TagEndInFileNameKeepsNameAndThumbnail) {
    const QStringList lines = TextCodec::ReadLines(Finding("PicturesFuzz", "tag_end_in_name.ini"));
    ASSERT_EQ(lines.size(), 1);
    TPictureEntry entry = TPictureEntry::FromPicturesLine(lines[0], QString());
    ASSERT_EQ(entry.FileName, "a\" align=\"top\">b.jpg");
    for (const QString& folder : {QString("/home/anna/Diashow_0001/"), QString("/tmp/50%22/%/")}) {
        entry.ThumbnailPath = folder + "_THUMB_" + entry.FileName;
        const TPictureEntry parsed = TPictureEntry::Parse(entry.Text());
        EXPECT_EQ(parsed.ThumbnailPath, entry.ThumbnailPath);
        EXPECT_EQ(parsed.FileName, entry.FileName);
        EXPECT_EQ(parsed.Caption, "x");
    }
}

class FuzzFindingsInShow : public TDocumentTest {};

TEST_F(FuzzFindingsInShow, TagEndInFileNameSurvivesOpenAndSave) {
    const QString name = "a\" align=\"top\">b.jpg";
    MakeShowFolder("Diashow_0005", {name, "c.jpg"},
                   TextCodec::ToWindows1252(name + " | x\r\nc.jpg\r\n"));
    Show->OpenShow("Diashow_0005", Progress);
    ASSERT_EQ(EntryNames(), (QStringList{name, "c.jpg"}));
    ASSERT_TRUE(Show->SavePictureList());
    EXPECT_EQ(Show->Store().ReadPictureLines("Diashow_0005"),
              (QStringList{name + " | x", "c.jpg | "}));
}

} // namespace
