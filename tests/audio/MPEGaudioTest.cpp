#include "TAudioFixture.h"

#include "audio/TID3v1.h"
#include "audio/TID3v2.h"
#include "audio/TMPEGaudio.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::AudioTesting;

namespace {

// Frames whose bytes after the header are `filler` instead of zero.
QByteArray FilledTrain(const QByteArray& header, int frameSize, int count, char filler) {
    QByteArray frame = header + QByteArray(frameSize - header.size(), filler);
    return frame.repeated(count);
}

TMPEGaudio Analysed(const QString& name, const QByteArray& bytes) {
    TMPEGaudio mpeg;
    EXPECT_TRUE(mpeg.AnalyseFile(Write(name, bytes))) << name.toStdString();
    return mpeg;
}

// An ID3v2 header with the four size bytes as given.
QByteArray Id3v2Header(int version, std::initializer_list<int> size) {
    return QByteArray("ID3") + Bytes({version, 0, 0}) + Bytes(size);
}

QByteArray Id3v2Frame(const char* id, const QByteArray& body) {
    QByteArray frame = QByteArray(id) + QByteArray(6, '\0');
    PutBigEndian32(frame, 4, static_cast<quint32>(body.size()));
    return frame + body;
}

// A v2.x tag of `total` bytes holding `frames`, followed by nothing.
QByteArray Id3v2Tag(int version, const QByteArray& frames, int total) {
    const int size = total - 10;
    QByteArray tag = Id3v2Header(
        version, {(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F});
    tag += frames;
    return tag + QByteArray(total - tag.size(), '\0');
}

TEST(MPEGheader, ValidityRules) {
    const struct {
        QByteArray Header;
        bool Valid;
        const char* Why;
    } cases[] = {
        {Bytes({0xFF, 0xFB, 0x90, 0x00}), true, "MPEG 1 Layer III"},
        {Bytes({0xFE, 0xFB, 0x90, 0x00}), false, "first byte not 0xFF"},
        {Bytes({0xFF, 0xDB, 0x90, 0x00}), false, "sync bits incomplete"},
        {Bytes({0xFF, 0xEB, 0x90, 0x00}), false, "reserved version"},
        {Bytes({0xFF, 0xF9, 0x90, 0x00}), false, "reserved layer"},
        {Bytes({0xFF, 0xFB, 0xF0, 0x00}), false, "bit-rate index 15"},
        {Bytes({0xFF, 0xFB, 0x00, 0x00}), false, "free format"},
        {Bytes({0xFF, 0xFB, 0x9C, 0x00}), false, "sample-rate index 3"},
        {Bytes({0xFF, 0xFB, 0x90, 0x02}), false, "emphasis 2"},
        {Bytes({0xFF, 0xE3, 0x10, 0xFF}), true, "MPEG 2.5, emphasis 3, every flag"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TMPEGaudio::IsValidHeader(reinterpret_cast<const quint8*>(c.Header.data())),
                  c.Valid)
            << c.Why;
}

TEST(MPEGheader, FrameSizes) {
    const struct {
        QByteArray Header;
        int Size;
        const char* Why;
    } cases[] = {
        {Bytes({0xFF, 0xFB, 0x90, 0x00}), 417, "MPEG 1 Layer III 128 kbit/s 44.1 kHz"},
        {Bytes({0xFF, 0xFB, 0x92, 0x00}), 418, "padding adds one byte"},
        {Bytes({0xFF, 0xFB, 0x98, 0x00}), 576, "32 kHz"},
        {Bytes({0xFF, 0xFF, 0x90, 0x00}), 313, "MPEG 1 Layer I 288 kbit/s: coefficient 48"},
        {Bytes({0xFF, 0xFF, 0x92, 0x00}), 317, "Layer I padding is four bytes"},
        {Bytes({0xFF, 0xF3, 0x80, 0x00}), 208, "MPEG 2 Layer III 64 kbit/s 22.05 kHz: 72"},
        {Bytes({0xFF, 0xF5, 0x80, 0x00}), 208, "MPEG 2 Layer II is sized with 72 as well"},
        {Bytes({0xFF, 0xF7, 0x80, 0x00}), 139, "MPEG 2 Layer I 128 kbit/s: coefficient 24"},
        {Bytes({0xFF, 0xE3, 0x80, 0x00}), 417, "MPEG 2.5 64 kbit/s 11.025 kHz"},
    };
    for (const auto& c : cases) {
        TMPEGaudio::TFrameHeader header;
        TMPEGaudio::DecodeHeader(reinterpret_cast<const quint8*>(c.Header.data()), header);
        EXPECT_EQ(TMPEGaudio::FrameSizeOf(header), c.Size) << c.Why;
    }
}

TEST(MPEGaudio, FrameTrainAtTheStart) {
    const TMPEGaudio mpeg = Analysed("train.mp3", FrameTrain(Mpeg1Header, 417, 20));
    const auto& frame = mpeg.FirstFrame();
    ASSERT_TRUE(frame.Found);
    EXPECT_EQ(frame.Position, 0);
    EXPECT_EQ(frame.FrameSize, 417);
    EXPECT_TRUE(frame.EmptyFrame);
    EXPECT_FALSE(frame.Protected);
    EXPECT_FALSE(mpeg.VbrHeader().Found);
    EXPECT_EQ(mpeg.FileSize(), 8340);
    EXPECT_EQ(mpeg.VersionName(), "MPEG 1");
    EXPECT_EQ(mpeg.LayerName(), "Layer III");
    EXPECT_EQ(mpeg.ChannelModeName(), "Stereo");
    EXPECT_EQ(mpeg.EmphasisName(), "None");
    EXPECT_EQ(mpeg.BitRateKbps(), 128);
    EXPECT_EQ(mpeg.SampleRateHz(), 44100);
    EXPECT_EQ(mpeg.FrameCount(), 20);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), 8340 * 8 / 128.0 / 1000);
    EXPECT_EQ(mpeg.EncoderName(), "Unknown");
    EXPECT_TRUE(mpeg.IsValid());
}

TEST(MPEGaudio, IsolatedHeaderIsNotAccepted) {
    QByteArray bytes(600, '\0');
    bytes.replace(5, 4, Mpeg1Header); // nothing 417 bytes further on
    bytes.replace(50, 4, Bytes({0xFF, 0xFB, 0x80, 0x00}));
    bytes += FrameTrain(Mpeg1Header, 417, 10);
    const TMPEGaudio mpeg = Analysed("isolated.mp3", bytes);
    ASSERT_TRUE(mpeg.FirstFrame().Found);
    EXPECT_EQ(mpeg.FirstFrame().Position, 600);
    EXPECT_EQ(mpeg.BitRateKbps(), 128);
}

TEST(MPEGaudio, NoConfirmedHeaderIsNotAnError) {
    QByteArray bytes = Mpeg1Header + QByteArray(4000, '\x11');
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.AnalyseFile(Write("single.mp3", bytes)));
    EXPECT_FALSE(mpeg.FirstFrame().Found);
    EXPECT_FALSE(mpeg.IsValid());
    EXPECT_EQ(mpeg.FileSize(), 0) << "the state is reset";
    EXPECT_EQ(mpeg.VersionName(), "MPEG ?");
    EXPECT_EQ(mpeg.LayerName(), "Layer ?");
    EXPECT_EQ(mpeg.ChannelModeName(), "Unknown");
    EXPECT_EQ(mpeg.EmphasisName(), "Unknown");
    EXPECT_EQ(mpeg.EncoderIndex(), 0);
    EXPECT_EQ(mpeg.Duration(), 0.0);
}

TEST(MPEGaudio, HeaderBeyondTheCandidatesIsFoundInTheMiddle) {
    const QByteArray train = FrameTrain(Mpeg1Header, 417, 40);
    const QByteArray bytes = QByteArray(1730, '\0') + train;
    const TMPEGaudio mpeg = Analysed("late.mp3", bytes);
    ASSERT_TRUE(mpeg.FirstFrame().Found);
    // The second block starts at half the file; the position counts from there.
    const int middle = bytes.size() / 2;
    const int next = 1730 + ((middle - 1730 + 416) / 417) * 417;
    EXPECT_EQ(mpeg.FirstFrame().Position, next - middle);
    EXPECT_EQ(mpeg.FrameCount(), (bytes.size() - (next - middle)) / 417);

    // One candidate earlier is still looked at in the first block.
    EXPECT_EQ(Analysed("late1729.mp3", QByteArray(1729, '\0') + train).FirstFrame().Position, 1729);

    // A first block read short gets no second attempt.
    const TMPEGaudio shortFile =
        Analysed("lateShort.mp3", QByteArray(1730, '\0') + FrameTrain(Mpeg1Header, 417, 3));
    EXPECT_FALSE(shortFile.FirstFrame().Found);
}

TEST(MPEGaudio, Mpeg2LayerTwoIsSizedWithCoefficient72) {
    const QByteArray header = Bytes({0xFF, 0xF5, 0x80, 0x00});
    const TMPEGaudio sized = Analysed("layer2.mp3", FrameTrain(header, 208, 20));
    ASSERT_TRUE(sized.FirstFrame().Found);
    EXPECT_EQ(sized.FirstFrame().FrameSize, 208);
    EXPECT_EQ(sized.VersionName(), "MPEG 2");
    EXPECT_EQ(sized.LayerName(), "Layer II");
    EXPECT_EQ(sized.BitRateKbps(), 64);
    EXPECT_EQ(sized.SampleRateHz(), 22050);

    // Frames laid out 144 × bit rate / sample rate apart are not where the search expects.
    EXPECT_FALSE(Analysed("layer2real.mp3", FrameTrain(header, 417, 20)).FirstFrame().Found);
}

// A 20-frame MPEG 1 file whose first frame holds a Xing or VBRI header.
QByteArray VbrFile(const char* id, const QByteArray& vendor, qint32 frames, qint32 bytes,
                   const QByteArray& header = Mpeg1Header, int frameSize = 417, int at = 36) {
    QByteArray file = FrameTrain(header, frameSize, 20);
    file.replace(at, 4, id);
    if (QByteArray(id) == "Xing") {
        PutBigEndian32(file, at + 8, frames);
        PutBigEndian32(file, at + 12, bytes);
        file[at + 119] = 77;
        file.replace(at + 120, vendor.size(), vendor);
    } else {
        file[at + 9] = 66;
        PutBigEndian32(file, at + 10, bytes);
        PutBigEndian32(file, at + 14, frames);
    }
    return file;
}

TEST(MPEGaudio, VbrHeadersAndTheirEncoders) {
    const struct {
        const char* Id;
        QByteArray Vendor;
        int Index;
        const char* Name;
    } cases[] = {
        {"Xing", "LAME3.90", 3, "LAME 3.90"},     {"Xing", "LAME3.9x", 3, "LAME"},
        {"Xing", "LAME    ", 3, "LAME"},          {"Xing", "GOGO3.12", 5, "GoGo"},
        {"Xing", "MPGE1.00", 5, "GoGo"},          {"Xing", "XING3.90", 1, "Xing"},
        {"Xing", QByteArray(8, '\0'), 1, "Xing"}, {"VBRI", QByteArray(), 2, "FhG"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TMPEGaudio mpeg = Analysed("vbr.mp3", VbrFile(c.Id, c.Vendor, 100, 41700));
        const auto& vbr = mpeg.VbrHeader();
        ASSERT_TRUE(vbr.Found);
        EXPECT_EQ(vbr.Id, c.Id);
        EXPECT_EQ(vbr.Frames, 100);
        EXPECT_EQ(vbr.Bytes, 41700);
        EXPECT_EQ(vbr.Scale, QByteArray(c.Id) == "Xing" ? 77 : 66);
        EXPECT_EQ(mpeg.EncoderIndex(), c.Index);
        EXPECT_EQ(mpeg.EncoderName(), c.Name);
        // 417 bytes a frame at 44.1 kHz: 127.7 kbit/s.
        EXPECT_EQ(mpeg.BitRateKbps(), 128);
        EXPECT_EQ(mpeg.FrameCount(), 100);
        EXPECT_DOUBLE_EQ(mpeg.Duration(), 100 * 1152 / 44100.0);
    }
}

TEST(MPEGaudio, VbrHeaderWithoutFramesFallsBackToTheTable) {
    const TMPEGaudio mpeg = Analysed("vbr0.mp3", VbrFile("Xing", "LAME3.90", 0, 41700));
    ASSERT_TRUE(mpeg.VbrHeader().Found);
    EXPECT_EQ(mpeg.BitRateKbps(), 128);
    EXPECT_EQ(mpeg.FrameCount(), 0);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), 20 * 417 * 8 / 128.0 / 1000);
    EXPECT_TRUE(mpeg.IsValid());
}

TEST(MPEGaudio, VbrBitRateRoundsHalfToEven) {
    // 32 kHz: bytes per frame × 2/9 gives 128.5 and 127.5 exactly.
    const QByteArray header = Bytes({0xFF, 0xFB, 0x98, 0x00});
    EXPECT_EQ(Analysed("even1.mp3", VbrFile("Xing", "", 4, 2313, header, 576)).BitRateKbps(), 128);
    EXPECT_EQ(Analysed("even2.mp3", VbrFile("Xing", "", 4, 2295, header, 576)).BitRateKbps(), 128);
    EXPECT_EQ(Analysed("even3.mp3", VbrFile("Xing", "", 4, 2340, header, 576)).BitRateKbps(), 130);
    // The padding of the first frame comes off each frame's bytes.
    const QByteArray padded = Bytes({0xFF, 0xFB, 0x9A, 0x00});
    EXPECT_EQ(Analysed("even4.mp3", VbrFile("Xing", "", 4, 2317, padded, 577)).BitRateKbps(), 128);
}

TEST(MPEGaudio, VbrHeaderOffsetDependsOnVersionAndChannels) {
    const struct {
        QByteArray Header;
        int FrameSize;
        int Offset;
        const char* Why;
    } cases[] = {
        {Bytes({0xFF, 0xFB, 0x90, 0x40}), 417, 36, "MPEG 1 joint stereo"},
        {Bytes({0xFF, 0xFB, 0x90, 0xC0}), 417, 21, "MPEG 1 mono"},
        {Bytes({0xFF, 0xF3, 0x80, 0x00}), 208, 21, "MPEG 2 stereo"},
        {Bytes({0xFF, 0xE3, 0x80, 0xC0}), 417, 13, "MPEG 2.5 mono"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Why);
        for (const int at : {13, 21, 36}) {
            const TMPEGaudio mpeg = Analysed(
                "offset.mp3", VbrFile("Xing", "LAME3.98", 50, 20000, c.Header, c.FrameSize, at));
            ASSERT_TRUE(mpeg.FirstFrame().Found);
            EXPECT_EQ(mpeg.VbrHeader().Found, at == c.Offset) << at;
        }
    }
}

TEST(MPEGaudio, EncoderGuessFromHeaderFlags) {
    const struct {
        QByteArray Header;
        int FrameSize;
        char Filler;
        int Index;
        const char* Why;
    } cases[] = {
        {Bytes({0xFF, 0xFB, 0x90, 0x00}), 417, 0x55, 0, "no rule"},
        {Bytes({0xFF, 0xFA, 0x90, 0x04}), 417, 0x55, 3, "original and protected"},
        {Bytes({0xFF, 0xFB, 0x90, 0x40}), 417, 0x55, 2, "plain joint stereo"},
        {Bytes({0xFF, 0xFB, 0x80, 0x00}), 365, 0x55, 4, "stereo at 112 kbit/s"},
        {Bytes({0xFF, 0xFB, 0x90, 0x0C}), 417, 0x55, 1, "copyright and original"},
        {Bytes({0xFF, 0xFB, 0x90, 0x04}), 417, 0x00, 1, "empty first frame, original"},
        {Bytes({0xFF, 0xFB, 0x90, 0x04}), 417, 0x55, 0, "original alone"},
        {Bytes({0xFF, 0xFA, 0x90, 0x84}), 417, 0x55, 6, "dual channel protected beats rule 1"},
        {Bytes({0xFF, 0xFA, 0x80, 0x00}), 365, 0x55, 4, "protected stereo at 112 kbit/s"},
    };
    for (const auto& c : cases) {
        const TMPEGaudio mpeg =
            Analysed("guess.mp3", FilledTrain(c.Header, c.FrameSize, 20, c.Filler));
        ASSERT_TRUE(mpeg.FirstFrame().Found) << c.Why;
        EXPECT_EQ(mpeg.EncoderIndex(), c.Index) << c.Why;
    }
}

TEST(MPEGaudio, MpegInsideARiffFile) {
    QByteArray bytes = WavHeader(0x55, 2, 44100, 0, 20 * 417);
    bytes += FrameTrain(Bytes({0xFF, 0xFB, 0x90, 0x04}), 417, 20);
    const TMPEGaudio mpeg = Analysed("riff.mp3", bytes);
    EXPECT_TRUE(mpeg.WaveHeaderFound());
    EXPECT_EQ(mpeg.FirstFrame().Position, 44);
    EXPECT_EQ(mpeg.EncoderName(), "FhG") << "the RIFF rule comes after the empty-frame rule";
}

TEST(MPEGaudio, AudioStartsAfterTheId3v2Tag) {
    // Size bytes 00 00 02 01: 2 × 128 + 1 + 10 header bytes.
    QByteArray bytes = Id3v2Header(3, {0, 0, 2, 1});
    bytes += QByteArray(267 - bytes.size(), '\0');
    bytes += FrameTrain(Mpeg1Header, 417, 20);
    const TMPEGaudio mpeg = Analysed("tagged.mp3", bytes);
    EXPECT_TRUE(mpeg.ID3v2().Exists);
    EXPECT_EQ(mpeg.ID3v2().TagSize, 267);
    ASSERT_TRUE(mpeg.FirstFrame().Found);
    EXPECT_EQ(mpeg.FirstFrame().Position, 0);
    EXPECT_EQ(mpeg.FrameCount(), 20);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), 20 * 417 * 8 / 128.0 / 1000);

    // A tag claiming more than the file has is present but not skipped.
    QByteArray oversized = Id3v2Header(3, {0x7F, 0x7F, 0x7F, 0x7F});
    oversized += FrameTrain(Mpeg1Header, 417, 20);
    const TMPEGaudio fromStart = Analysed("oversized.mp3", oversized);
    EXPECT_TRUE(fromStart.ID3v2().Exists);
    EXPECT_EQ(fromStart.ID3v2().TagSize, 0);
    EXPECT_EQ(fromStart.FirstFrame().Position, 10);
}

TEST(MPEGaudio, SecondBlockOfATaggedFileIsAtHalfTheAudioLength) {
    // The second block starts at (file size − tag size) / 2 from the start of the file.
    const int tagTotal = 1000;
    const QByteArray bytes =
        Id3v2Tag(3, {}, tagTotal) + QByteArray(2000, '\0') + FrameTrain(Mpeg1Header, 417, 30);
    const TMPEGaudio mpeg = Analysed("taggedLate.mp3", bytes);
    ASSERT_TRUE(mpeg.FirstFrame().Found);
    const int second = (bytes.size() - tagTotal) / 2;
    const int start = tagTotal + 2000;
    const int next = start + ((second - start + 416) / 417) * 417;
    EXPECT_EQ(mpeg.FirstFrame().Position, next - second);
}

TEST(MPEGaudio, ReadFailures) {
    TMPEGaudio mpeg;
    EXPECT_TRUE(mpeg.AnalyseFile(Write("ok.mp3", FrameTrain(Mpeg1Header, 417, 20))));
    EXPECT_FALSE(mpeg.AnalyseFile(Write("tiny.mp3", FrameTrain(Mpeg1Header, 100, 1))))
        << "shorter than an ID3v1 tag";
    EXPECT_FALSE(mpeg.FirstFrame().Found);
    EXPECT_EQ(mpeg.FileSize(), 0);
    EXPECT_FALSE(mpeg.AnalyseFile(Folder() + "missing.mp3"));
    EXPECT_FALSE(mpeg.AnalyseFile(Folder())) << "a folder";
}

TEST(MPEGaudio, LargeFileIsReadOnlyInSmallParts) {
    // 50 MB, sparse, with frames only in the middle: found by the second block at once.
    const QString path = Folder() + "large.mp3";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(50 * 1024 * 1024));
        ASSERT_TRUE(file.seek(25 * 1024 * 1024 + 100));
        file.write(FrameTrain(Mpeg1Header, 417, 10));
    }
    QElapsedTimer timer;
    timer.start();
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.AnalyseFile(path));
    EXPECT_LT(timer.elapsed(), 500);
    ASSERT_TRUE(mpeg.FirstFrame().Found);
    EXPECT_EQ(mpeg.FirstFrame().Position, 100);
    EXPECT_NEAR(mpeg.Duration(), 50 * 1024 * 1024 * 8 / 128000.0, 0.01);
    QFile::remove(path);
}

TEST(ID3v2, HeaderSizeAndVersion) {
    const QByteArray title = Id3v2Frame("TIT2", QByteArray("\0Hello", 6));
    const QByteArray audio = FrameTrain(Mpeg1Header, 417, 2);
    for (const int version : {2, 3, 4}) {
        TID3v2 tag;
        ASSERT_TRUE(tag.ReadTag(Write("v2x.mp3", Id3v2Tag(version, title, 300) + audio)));
        EXPECT_TRUE(tag.Exists);
        EXPECT_EQ(tag.TagVersion, version);
        EXPECT_EQ(tag.TagSize, 300);
        EXPECT_EQ(tag.Title, version == 3 ? "Hello" : "") << "only v2.3 frames are read";
    }

    TID3v2 tag;
    ASSERT_TRUE(tag.ReadTag(Write("notag.mp3", audio)));
    EXPECT_FALSE(tag.Exists);
    EXPECT_EQ(tag.TagSize, 0);
    EXPECT_FALSE(tag.ReadTag(Write("nine.mp3", QByteArray("ID3\3\0\0\0\0\2", 9))));
    // The size bytes are taken as they are, top bits included.
    ASSERT_TRUE(tag.ReadTag(
        Write("topbit.mp3", Id3v2Header(3, {0, 0, 0x80, 0}) + QByteArray(20000, '\0'))));
    EXPECT_EQ(tag.TagSize, 0x80 * 128 + 10);
}

TEST(ID3v2, TextFramesOfVersion23) {
    QByteArray frames;
    frames += Id3v2Frame("TIT2", QByteArray("\0Morning Song", 13));
    // UTF-16 with a byte-order mark.
    const QString artist = QStringLiteral("Bärbel");
    QByteArray utf16("\1\xFF\xFE", 3);
    for (const QChar c : artist)
        utf16 += QByteArray(1, char(c.unicode() & 0xFF)) + char(c.unicode() >> 8);
    frames += Id3v2Frame("TPE1", utf16 + QByteArray(2, '\0'));
    frames += Id3v2Frame("APIC", QByteArray(5000, '\x42')); // skipped
    frames += Id3v2Frame("TALB", QByteArray("\0Album\0", 7));
    frames += Id3v2Frame("TRCK", QByteArray("\0"
                                            "3/12",
                                            5));
    frames += Id3v2Frame("TYER", QByteArray("\0"
                                            "2004",
                                            5));
    frames += Id3v2Frame("TCON", QByteArray("\0(17)", 5));
    frames += Id3v2Frame("COMM", QByteArray("\0engShort\0Long comment", 22));
    TID3v2 tag;
    ASSERT_TRUE(tag.ReadTag(Write("frames.mp3", Id3v2Tag(3, frames, 6000))));
    EXPECT_EQ(tag.Title, "Morning Song");
    EXPECT_EQ(tag.Artist, artist);
    EXPECT_EQ(tag.Album, "Album");
    EXPECT_EQ(tag.Track, 3);
    EXPECT_EQ(tag.Year, "2004");
    EXPECT_EQ(tag.Genre, "(17)");
    EXPECT_EQ(tag.Comment, "Long comment");

    // A frame claiming more than the tag ends the walk without failing the read.
    QByteArray broken = Id3v2Frame("TIT2", QByteArray("\0First", 6));
    QByteArray tooLong = Id3v2Frame("TPE1", QByteArray("\0Second", 7));
    PutBigEndian32(tooLong, 4, 100000);
    ASSERT_TRUE(tag.ReadTag(Write("broken.mp3", Id3v2Tag(3, broken + tooLong, 200))));
    EXPECT_EQ(tag.Title, "First");
    EXPECT_EQ(tag.Artist, "");
}

// The last 128 bytes of a file with an ID3v1 tag; `b125` and `b126` end the comment.
QByteArray Id3v1Tag(char b125, char b126) {
    QByteArray tag = QByteArray("TAG") + QByteArray(125, '\0');
    const auto put = [&](int at, const QByteArray& bytes) {
        std::copy(bytes.begin(), bytes.end(), tag.begin() + at);
    };
    put(3, QByteArray("Song   \x01", 8));
    put(33, "Artist");
    put(63, "Album");
    put(93, "1999");
    put(97, "A comment of twenty-eight c.");
    tag[125] = b125;
    tag[126] = b126;
    tag[127] = 17;
    return tag;
}

TEST(ID3v1, VersionsAndFields) {
    const struct {
        char B125;
        char B126;
        int Version;
        int Track;
        const char* Comment;
    } cases[] = {
        {'\0', '\7', 2, 7, "A comment of twenty-eight c."},
        {' ', '5', 2, '5', "A comment of twenty-eight c."},
        {'\0', '\0', 1, 0, "A comment of twenty-eight c."},
        {' ', ' ', 1, 0, "A comment of twenty-eight c."},
        {'x', 'y', 1, 0, "A comment of twenty-eight c.xy"},
    };
    const QByteArray audio = FrameTrain(Mpeg1Header, 417, 2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Comment);
        TID3v1 tag;
        ASSERT_TRUE(tag.ReadTag(Write("v1.mp3", audio + Id3v1Tag(c.B125, c.B126))));
        EXPECT_TRUE(tag.Exists);
        EXPECT_EQ(tag.TagVersion, c.Version);
        EXPECT_EQ(tag.Track, c.Track);
        EXPECT_EQ(tag.Comment, c.Comment);
        EXPECT_EQ(tag.Title, "Song") << "trailing blanks and control characters go";
        EXPECT_EQ(tag.Artist, "Artist");
        EXPECT_EQ(tag.Album, "Album");
        EXPECT_EQ(tag.Year, "1999");
        EXPECT_EQ(tag.Genre, 17);
    }

    TID3v1 tag;
    ASSERT_TRUE(tag.ReadTag(Write("nov1.mp3", audio)));
    EXPECT_FALSE(tag.Exists);
    EXPECT_EQ(tag.Genre, 255);
    EXPECT_FALSE(tag.ReadTag(Write("hundred.mp3", QByteArray(100, 'T'))));
    EXPECT_TRUE(tag.ReadTag(Write("exact.mp3", Id3v1Tag(0, 1))));
    EXPECT_TRUE(tag.Exists);
}

// What a lame file should analyse as.
struct TLameExpectation {
    const char* Name;
    const char* Version;
    int SampleRate;
    const char* ChannelMode;
    bool Vbr;
};

TEST(MPEGaudioLame, AgreesWithTheEncoderAndFfprobe) {
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    const bool probe = HaveProgram("ffprobe");
    const TLameExpectation cases[] = {
        {"joint128", "MPEG 1", 44100, "Joint Stereo", false},
        {"stereoVbr", "MPEG 1", 44100, "Stereo", true},
        {"stereo48k", "MPEG 1", 48000, "Stereo", false},
        {"joint32k", "MPEG 1", 32000, "Joint Stereo", false},
        {"mono", "MPEG 1", 44100, "Mono", false},
        {"dualCrc", "MPEG 1", 44100, "Dual Channel", false},
        {"mpeg2", "MPEG 2", 22050, "Joint Stereo", false},
        {"mpeg25", "MPEG 2.5", 11025, "Mono", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString path = Lame(c.Name);
        TMPEGaudio mpeg;
        ASSERT_TRUE(mpeg.AnalyseFile(path));
        ASSERT_TRUE(mpeg.IsValid());
        EXPECT_EQ(mpeg.FirstFrame().Position, 0);
        EXPECT_EQ(mpeg.VersionName(), c.Version);
        EXPECT_EQ(mpeg.LayerName(), "Layer III");
        EXPECT_EQ(mpeg.SampleRateHz(), c.SampleRate);
        EXPECT_EQ(mpeg.ChannelModeName(), c.ChannelMode);
        EXPECT_EQ(mpeg.VbrHeader().Found, c.Vbr);
        if (c.Vbr) {
            EXPECT_TRUE(mpeg.EncoderName().startsWith("LAME"));
        }
        if (!probe)
            continue;
        const auto probed = Probe(path);
        ASSERT_TRUE(probed);
        EXPECT_EQ(mpeg.SampleRateHz(), probed->SampleRate);
        EXPECT_EQ(mpeg.ChannelModeName() == "Mono", probed->Channels == 1);
        // The analysis counts the encoder's delay and padding frames as well.
        const double frameSeconds = (c.SampleRate >= 32000 ? 1152.0 : 576.0) / c.SampleRate;
        EXPECT_NEAR(mpeg.Duration(), probed->Duration, 3 * frameSeconds);
    }

    TMPEGaudio dual;
    ASSERT_TRUE(dual.AnalyseFile(Lame("dualCrc")));
    EXPECT_TRUE(dual.FirstFrame().Protected);
    EXPECT_EQ(dual.EncoderName(), "Shine") << "dual channel with CRC";
}

TEST(MPEGaudioLame, Tags) {
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.AnalyseFile(Lame("id3v2")));
    EXPECT_TRUE(mpeg.ID3v2().Exists);
    EXPECT_EQ(mpeg.ID3v2().TagVersion, 3);
    EXPECT_GT(mpeg.ID3v2().TagSize, 10);
    EXPECT_EQ(mpeg.ID3v2().Title, "Sunrise");
    EXPECT_EQ(mpeg.ID3v2().Artist, "Lumerix");
    EXPECT_EQ(mpeg.ID3v2().Track, 3);
    EXPECT_EQ(mpeg.FirstFrame().Position, 0) << "the frames start right after the tag";
    EXPECT_TRUE(mpeg.IsValid());

    // Padding beyond a whole block: the first block still begins at the audio.
    ASSERT_TRUE(mpeg.AnalyseFile(Lame("id3v2Padded")));
    EXPECT_GT(mpeg.ID3v2().TagSize, 5000);
    EXPECT_EQ(mpeg.ID3v2().Title, "Evening");
    EXPECT_EQ(mpeg.FirstFrame().Position, 0);

    const struct {
        const char* Name;
        int Version;
        const char* Title;
        int Track;
    } v1[] = {{"id3v10", 1, "Morning", 0}, {"id3v11", 2, "Night", 7}};
    for (const auto& c : v1) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(mpeg.AnalyseFile(Lame(c.Name)));
        EXPECT_FALSE(mpeg.ID3v2().Exists);
        EXPECT_TRUE(mpeg.ID3v1().Exists);
        EXPECT_EQ(mpeg.ID3v1().TagVersion, c.Version);
        EXPECT_EQ(mpeg.ID3v1().Title, c.Title);
        EXPECT_EQ(mpeg.ID3v1().Track, c.Track);
        EXPECT_TRUE(mpeg.IsValid());
    }
}

} // namespace
