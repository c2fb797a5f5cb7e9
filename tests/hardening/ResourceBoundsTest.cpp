// Files that claim more than they hold, and inputs of unusual size: each gives a clear error or
// works, without allocating what the file merely declares.
#include "audio/TMPEGaudio.h"
#include "audio/TPCMWaveReader.h"
#include "audio/TWaveStream.h"
#include "document/TDocumentFixture.h"
#include "document/TThumbnailMaker.h"
#include "imaging/TRasterImage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <functional>
#include <vector>

using namespace Lumerix;
using namespace Lumerix::DocumentTesting;

namespace {

// Growth of the process's peak memory while `work` runs, in MB. The peak only rises, so this
// can miss use below an earlier peak but never reports use that did not happen.
template <typename Work> long PeakGrowthMb(Work work) {
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    work();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    return (after.ru_maxrss - before.ru_maxrss) / 1024;
}

// Sanitizer builds keep freed memory in quarantine and pad every allocation, so they get more
// room; what the bounds catch is an allocation of a declared size or a copy per line.
#if defined(__SANITIZE_ADDRESS__)
constexpr long BoundMb = 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr long BoundMb = 1024;
#else
constexpr long BoundMb = 400;
#endif
#else
constexpr long BoundMb = 400;
#endif

QByteArray SmallJpeg(int width = 24, int height = 16) {
    return TRasterImage(Gradient(width, height)).EncodeJpeg(4);
}

// The picture's frame header with another size in it.
QByteArray WithDeclaredSize(QByteArray jpeg, int width, int height) {
    const qsizetype sof = jpeg.indexOf("\xff\xc0");
    EXPECT_GT(sof, 0);
    qToBigEndian<quint16>(quint16(height), jpeg.data() + sof + 5);
    qToBigEndian<quint16>(quint16(width), jpeg.data() + sof + 7);
    return jpeg;
}

class ResourceBounds : public TDocumentTest {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = Kit.Root() + "bounds/" + name;
        TTestKit::WriteFile(path, bytes);
        return path;
    }
};

TEST_F(ResourceBounds, JpegDeclaringFourGigapixelsIsRefusedFromItsHeader) {
    const QString path =
        Write("huge_declared_size.jpg", WithDeclaredSize(SmallJpeg(), 65500, 65500));
    EXPECT_EQ(TRasterImage::ReadSize(path), QSize(65500, 65500));
    const long growth = PeakGrowthMb([&] {
        TRasterImage image;
        EXPECT_THROW(image.Load(path), TImagingError);
        EXPECT_THROW(image.LoadScaled(path, QSize(70, 70)), TImagingError);
        // A thumbnail of it is simply not made.
        EXPECT_FALSE(Thumbnails::Make(path, Kit.Root() + "bounds/_THUMB_huge.jpg"));
    });
    EXPECT_LT(growth, 64);
}

TEST_F(ResourceBounds, JpegDeclaringMorePixelsThanItsDataHoldsStaysWithinTheLimit) {
    // 12000 × 12000 is under the pixel limit; the data is that of a 24 × 16 picture, so the
    // decoder runs dry at once. A reduced decode needs 1/64 of the declared bitmap.
    const QString path =
        Write("short_data_large_size.jpg", WithDeclaredSize(SmallJpeg(), 12000, 12000));
    const long growth = PeakGrowthMb([&] {
        TRasterImage image;
        try {
            image.LoadScaled(path, QSize(70, 70));
            EXPECT_LE(image.Width(), 12000 / 8);
        } catch (const TImagingError& error) {
            EXPECT_FALSE(error.Text().isEmpty());
        }
    });
    EXPECT_LT(growth, BoundMb);
}

TEST_F(ResourceBounds, LargeFileThatIsNoJpegIsRefusedUnread) {
    // 512 MB of holes named like a picture, as a film renamed ".jpg" would be.
    const QString path = Kit.Root() + "bounds/film.jpg";
    QDir().mkpath(Kit.Root() + "bounds");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(512) << 20));
    }
    const long growth = PeakGrowthMb([&] {
        TRasterImage image;
        try {
            image.Load(path);
            ADD_FAILURE() << "loaded";
        } catch (const TImagingError& error) {
            EXPECT_TRUE(error.Text().contains("not a JPEG file")) << error.Text().toStdString();
        }
        EXPECT_THROW(TRasterImage::ReadSize(path), TImagingError);
        EXPECT_FALSE(Thumbnails::Make(path, Kit.Root() + "bounds/_THUMB_film.jpg"));
    });
    EXPECT_LT(growth, 64);
}

TEST_F(ResourceBounds, Id3v2SizeBeyondTheFileIsIgnored) {
    // The tag claims 256 MB; the frames begin right after its header.
    QByteArray file("ID3\x03\x00\x00\x7f\x7f\x7f\x7f", 10);
    QByteArray frame("\xff\xfb\x90\x00", 4);
    frame.append(QByteArray(417 - 4, '\0'));
    file += frame.repeated(8);
    const QString path = Write("id3v2_size_beyond_eof.mp3", file);
    TMPEGaudio audio;
    const long growth = PeakGrowthMb([&] { ASSERT_TRUE(audio.AnalyseFile(path)); });
    EXPECT_LT(growth, 64);
    EXPECT_TRUE(audio.ID3v2().Exists);
    EXPECT_EQ(audio.ID3v2().TagSize, 0);
    EXPECT_TRUE(audio.IsValid());
    EXPECT_EQ(audio.SampleRateHz(), 44100);
}

// A canonical 16-bit stereo file of `frames` sample frames, then `patch` applied to it.
QByteArray Wave(int frames, const std::function<void(QByteArray&)>& patch = {}) {
    QByteArray bytes("RIFF\0\0\0\0WAVEfmt \x10\0\0\0", 20);
    const char format[16] = {
        1, 0, 2, 0,  0x44, static_cast<char>(0xac), 0, 0, 0x10, static_cast<char>(0xb1), 2,
        0, 4, 0, 16, 0};
    bytes.append(format, 16);
    bytes.append("data", 4);
    QByteArray size(4, '\0');
    qToLittleEndian<quint32>(quint32(frames * 4), size.data());
    bytes += size;
    for (int i = 0; i < frames; ++i) {
        char sample[4];
        qToLittleEndian<qint16>(qint16(i), sample);
        qToLittleEndian<qint16>(qint16(-i), sample + 2);
        bytes.append(sample, 4);
    }
    qToLittleEndian<quint32>(quint32(bytes.size() - 8), bytes.data() + 4);
    if (patch)
        patch(bytes);
    return bytes;
}

void Put32(QByteArray& bytes, int at, quint32 value) {
    qToLittleEndian<quint32>(value, bytes.data() + at);
}

struct TLyingWave {
    const char* Name;
    std::function<void(QByteArray&)> Patch;
    int ExpectedSamples; ///< -1: refused with an error text
};

class LyingWave : public testing::TestWithParam<TLyingWave> {};

TEST_P(LyingWave, ReadsWhatTheFileHoldsOrRefuses) {
    const TLyingWave& row = GetParam();
    QTemporaryDir folder;
    const QString path = folder.path() + "/" + row.Name + ".wav";
    TTestKit::WriteFile(path, Wave(1000, row.Patch));
    const long growth = PeakGrowthMb([&] {
        try {
            TWaveStream stream(path);
            TPCMWaveReader reader(stream);
            std::vector<char> buffer(4096 * 4);
            int total = 0;
            while (const int read = reader.ReadPcm(buffer.data(), 4096))
                total += read;
            EXPECT_EQ(total, row.ExpectedSamples);
        } catch (const TWaveError& error) {
            EXPECT_EQ(row.ExpectedSamples, -1) << error.Text().toStdString();
            EXPECT_FALSE(error.Text().isEmpty());
        }
    });
    EXPECT_LT(growth, 64);
}

INSTANTIATE_TEST_SUITE_P(
    ChunkSizes, LyingWave,
    testing::Values(
        TLyingWave{"data_size_beyond_eof", [](QByteArray& b) { Put32(b, 40, 0x7ffffff0); }, 1000},
        TLyingWave{"data_size_all_ones", [](QByteArray& b) { Put32(b, 40, 0xffffffff); }, 1000},
        TLyingWave{"riff_size_beyond_eof", [](QByteArray& b) { Put32(b, 4, 0xfffffff0); }, 1000},
        TLyingWave{"riff_size_cuts_data_chunk_header", [](QByteArray& b) { Put32(b, 4, 30); }, -1},
        TLyingWave{"fmt_size_beyond_eof", [](QByteArray& b) { Put32(b, 16, 0x7ffffff0); }, -1},
        TLyingWave{"fmt_size_all_ones", [](QByteArray& b) { Put32(b, 16, 0xffffffff); }, -1},
        TLyingWave{"fmt_size_too_small", [](QByteArray& b) { Put32(b, 16, 8); }, -1},
        TLyingWave{"block_align_zero", [](QByteArray& b) { b[32] = 0; }, -1},
        TLyingWave{"data_size_odd", [](QByteArray& b) { Put32(b, 40, 7); }, 1},
        TLyingWave{"truncated_inside_data", [](QByteArray& b) { b.truncate(44 + 401); }, 100}),
    [](const testing::TestParamInfo<TLyingWave>& info) { return std::string(info.param.Name); });

TEST_F(ResourceBounds, PictureListOfAMillionLinesOpensWithTheLinesThatNamePictures) {
    QByteArray lines;
    lines.reserve(30'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        if (i == 10 || i == 500'000 || i == 999'999)
            lines += "Da.jpg | Bild " + QByteArray::number(i) + "\r\n";
        else
            lines += "Fehlt_" + QByteArray::number(i) + ".jpg | nicht da\r\n";
    }
    const QString show = "Diashow_0007";
    MakeShowFolder(show, {"Da.jpg"}, lines, "Lang");
    const long growth = PeakGrowthMb([&] { Show->OpenShow(show, Progress); });
    EXPECT_EQ(Show->Pictures().Count(), 3);
    EXPECT_EQ(Captions(), (QStringList{"Bild 10", "Bild 500000", "Bild 999999"}));
    // A million short lines as text, twice over, is far below this.
    EXPECT_LT(growth, BoundMb);
    // Saving writes back only what the list holds.
    ASSERT_TRUE(Show->SavePictureList());
    EXPECT_EQ(Show->Store().ReadPictureLines(show).size(), 3);
}

TEST_F(ResourceBounds, FolderOfTenThousandFilesListsEveryPictureName) {
    const QString folder = Kit.Root() + "many/";
    QDir().mkpath(folder);
    const QByteArray picture = SmallJpeg(8, 8);
    const QByteArray notAPicture = "not a picture at all";
    for (int i = 0; i < 10'000; ++i) {
        const QString number = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(folder + (i % 10 == 9 ? "Notiz_" + number + ".txt" : "Bild_" + number + ".jpg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // Every fifth name holds no picture: it gets an entry without a thumbnail.
        file.write(i % 5 == 4 ? notAPicture : picture);
    }
    QStringList entries;
    const long growth =
        PeakGrowthMb([&] { entries = SourceFolder::List(*State, folder, Progress); });
    EXPECT_EQ(entries.size(), 9000);
    EXPECT_TRUE(entries.first().contains("Bild_00000.jpg"));
    EXPECT_TRUE(
        QFileInfo::exists(Thumbnails::SourceThumbnailPath(*State, folder + "Bild_00000.jpg")));
    EXPECT_FALSE(
        QFileInfo::exists(Thumbnails::SourceThumbnailPath(*State, folder + "Bild_00004.jpg")));
    EXPECT_LT(growth, BoundMb);
    // The second listing reuses the thumbnails.
    EXPECT_EQ(SourceFolder::List(*State, folder, Progress).size(), 9000);
}

} // namespace
