#include "imaging/TRasterImage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <functional>
#include <random>

using namespace Lumerix;

namespace {

struct TRgb {
    int R = 0;
    int G = 0;
    int B = 0;
    bool operator==(const TRgb&) const = default;
};

void PrintTo(const TRgb& c, std::ostream* out) {
    *out << "rgb(" << c.R << ", " << c.G << ", " << c.B << ")";
}

TRgb At(const QImage& image, int x, int y) {
    const uchar* p = image.constScanLine(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

TRgb At(const TRasterImage& image, int x, int y) {
    return At(image.Bitmap(), x, y);
}

void Set(QImage& image, int x, int y, TRgb c) {
    uchar* p = image.scanLine(y) + 3 * x;
    p[0] = uchar(c.B);
    p[1] = uchar(c.G);
    p[2] = uchar(c.R);
}

QImage Solid(int w, int h, TRgb c) {
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(image, x, y, c);
    return image;
}

// Red rises to the right, green downwards, blue is constant.
QImage Gradient(int w, int h) {
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(image, x, y, {x * 255 / std::max(w - 1, 1), y * 255 / std::max(h - 1, 1), 90});
    return image;
}

// Grey with a distinct colour in each corner pixel, so every turn and mirror shows.
constexpr TRgb TopLeft{255, 0, 0};
constexpr TRgb TopRight{0, 255, 0};
constexpr TRgb BottomRight{0, 0, 255};
constexpr TRgb BottomLeft{255, 255, 0};
constexpr TRgb Grey{128, 128, 128};

QImage Corners(int w, int h) {
    QImage image = Solid(w, h, Grey);
    Set(image, 0, 0, TopLeft);
    Set(image, w - 1, 0, TopRight);
    Set(image, w - 1, h - 1, BottomRight);
    Set(image, 0, h - 1, BottomLeft);
    return image;
}

// Gradient plus seeded noise: compresses like a photograph rather than a flat area.
QImage Noisy(int w, int h, unsigned seed) {
    QImage image = Gradient(w, h);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-40, 40);
    for (int y = 0; y < h; ++y) {
        uchar* p = image.scanLine(y);
        for (int i = 0; i < 3 * w; ++i)
            p[i] = uchar(std::clamp(p[i] + noise(random), 0, 255));
    }
    return image;
}

double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < 3 * a.width(); ++i)
            sum += std::abs(p[i] - q[i]);
    }
    return sum / (3.0 * a.width() * a.height());
}

bool Near(TRgb a, TRgb b, int tolerance) {
    return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance &&
           std::abs(a.B - b.B) <= tolerance;
}

QByteArray Jpeg(const QImage& image, int factor = 4) {
    return TRasterImage(image).EncodeJpeg(factor);
}

class RasterFiles : public testing::Test {
protected:
    QString Path(const QString& name) const { return Folder.filePath(name); }
    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir Folder;
};

// ---- reading and writing ------------------------------------------------------------------

TEST_F(RasterFiles, SaveAndLoadKeepSizeColoursAndPixels) {
    const QImage original = Gradient(64, 48);
    const QString path = Path(QStringLiteral("gradient.jpg"));
    TRasterImage(original).Save(path);

    EXPECT_EQ(TRasterImage::ReadSize(path), QSize(64, 48));
    TRasterImage loaded;
    loaded.Load(path);
    ASSERT_EQ(loaded.SizeOf(), QSize(64, 48));
    EXPECT_EQ(loaded.Bitmap().format(), QImage::Format_BGR888);
    EXPECT_LT(MeanDifference(loaded.Bitmap(), original), 3.0);

    // Channel order: red stays red, blue stays blue.
    TRasterImage(Solid(32, 32, {250, 10, 20})).Save(path);
    loaded.Load(path);
    EXPECT_TRUE(Near(At(loaded, 16, 16), {250, 10, 20}, 4))
        << testing::PrintToString(At(loaded, 16, 16));
}

TEST_F(RasterFiles, SavedFilesAreBaseline420) {
    const QByteArray bytes = Jpeg(Gradient(40, 30));
    tjhandle handle = tjInitDecompress();
    int w = 0, h = 0, subsampling = -1, colorspace = -1;
    ASSERT_EQ(tjDecompressHeader3(handle, reinterpret_cast<const unsigned char*>(bytes.data()),
                                  bytes.size(), &w, &h, &subsampling, &colorspace),
              0);
    tjDestroy(handle);
    EXPECT_EQ(subsampling, TJSAMP_420);
    EXPECT_EQ(QSize(w, h), QSize(40, 30));
    // SOF0 marks a baseline frame.
    EXPECT_TRUE(bytes.contains(QByteArray("\xFF\xC0", 2)));
}

TEST_F(RasterFiles, SaveReplacesAndFailuresLeaveTheEarlierFile) {
    const QString path = Path(QStringLiteral("kept.jpg"));
    TRasterImage(Solid(16, 16, {0, 0, 255})).Save(path);
    TRasterImage(Solid(24, 8, {0, 0, 255})).Save(path);
    EXPECT_EQ(TRasterImage::ReadSize(path), QSize(24, 8));
    const QByteArray before = ReadAll(path);
    ASSERT_FALSE(before.isEmpty());

    try {
        TRasterImage().Save(path);
        FAIL() << "saving no picture succeeded";
    } catch (const TImagingError& error) {
        EXPECT_EQ(error.Operation(), "Save");
        EXPECT_EQ(error.File(), path);
        EXPECT_EQ(error.Cause(), "no picture");
    }
    EXPECT_EQ(ReadAll(path), before);

    const QString nowhere = Path(QStringLiteral("missing/folder/x.jpg"));
    try {
        TRasterImage(Solid(4, 4, Grey)).Save(nowhere);
        FAIL() << "saving into a missing folder succeeded";
    } catch (const TImagingError& error) {
        EXPECT_TRUE(error.Cause().startsWith("cannot write")) << error.what();
        EXPECT_EQ(error.File(), nowhere);
    }
}

TEST_F(RasterFiles, GreyAndCmykJpegsDecodeToBgr) {
    tjhandle handle = tjInitCompress();
    auto encode = [&](const std::vector<unsigned char>& pixels, int format, int subsampling) {
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        EXPECT_EQ(tjCompress2(handle, pixels.data(), 16, 0, 16, format, &buffer, &size, subsampling,
                              95, 0),
                  0);
        QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
        tjFree(buffer);
        return bytes;
    };
    const QByteArray grey = encode(std::vector<unsigned char>(16 * 16, 77), TJPF_GRAY, TJSAMP_GRAY);
    // CMYK components as stored by TurboJPEG: inverted, 255 = no ink. Full cyan ink:
    std::vector<unsigned char> cyan;
    for (int i = 0; i < 16 * 16; ++i)
        cyan.insert(cyan.end(), {0, 255, 255, 255});
    const QByteArray cmyk = encode(cyan, TJPF_CMYK, TJSAMP_444);
    tjDestroy(handle);

    TRasterImage image;
    image.LoadFromData(grey, QStringLiteral("grey.jpg"));
    EXPECT_TRUE(Near(At(image, 8, 8), {77, 77, 77}, 2));
    image.LoadFromData(cmyk, QStringLiteral("cmyk.jpg"));
    EXPECT_EQ(image.Bitmap().format(), QImage::Format_BGR888);
    EXPECT_TRUE(Near(At(image, 8, 8), {0, 255, 255}, 4)) << testing::PrintToString(At(image, 8, 8));
}

struct TScaleCase {
    const char* Name;
    QSize Stored;
    QSize Minimum;
    QSize Expected;
};

void PrintTo(const TScaleCase& c, std::ostream* out) {
    *out << c.Name;
}

class LoadScaled : public testing::TestWithParam<TScaleCase> {};

TEST_P(LoadScaled, PicksTheLargestReductionThatStillCovers) {
    const TScaleCase& c = GetParam();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    TRasterImage(Gradient(c.Stored.width(), c.Stored.height())).Save(path, 20);
    TRasterImage image;
    image.LoadScaled(path, c.Minimum);
    EXPECT_EQ(image.SizeOf(), c.Expected);
    // The reduced decode still shows the picture: the top right is red, the bottom left green.
    const int w = image.Width() - 1;
    const int h = image.Height() - 1;
    EXPECT_GT(At(image, w, 0).R, 200);
    EXPECT_LT(At(image, w, 0).G, 60);
    EXPECT_GT(At(image, 0, h).G, 200);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoadScaled,
    testing::Values(TScaleCase{"CameraToThumbnailEighth", {4000, 3000}, {93, 70}, {500, 375}},
                    TScaleCase{"CameraToScreenQuarter", {4000, 3000}, {800, 600}, {1000, 750}},
                    TScaleCase{"ExactEighth", {744, 560}, {93, 70}, {93, 70}},
                    TScaleCase{"JustTooSmallForEighth", {736, 560}, {93, 70}, {184, 140}},
                    TScaleCase{"HalfOnly", {200, 150}, {93, 70}, {100, 75}},
                    TScaleCase{"TooSmallStaysWhole", {80, 60}, {93, 70}, {80, 60}}),
    [](const testing::TestParamInfo<TScaleCase>& info) { return std::string(info.param.Name); });

TEST(JpegQuality, MapsFactorsToQuality) {
    const std::vector<std::pair<int, int>> table{{2, 95}, {3, 92},  {4, 90},  {255, 1}, {1, 95},
                                                 {0, 95}, {-7, 95}, {256, 1}, {999, 1}, {130, 45}};
    for (const auto& [factor, quality] : table)
        EXPECT_EQ(JpegQuality(factor), quality) << "factor " << factor;
    for (int factor = 3; factor <= 255; ++factor) {
        EXPECT_LE(JpegQuality(factor), JpegQuality(factor - 1)) << "factor " << factor;
        EXPECT_GE(JpegQuality(factor), 1);
    }
}

TEST(JpegQuality, BestFactorMakesLargerFilesThanSmallest) {
    const TRasterImage photo(Noisy(96, 64, 7));
    EXPECT_GT(photo.EncodeJpeg(2).size(), 2 * photo.EncodeJpeg(255).size());
    EXPECT_GT(photo.EncodeJpeg(4).size(), photo.EncodeJpeg(60).size());
}

// ---- broken input -------------------------------------------------------------------------

QByteArray CutBeforeScan(const QByteArray& jpeg, bool keepScanHeader) {
    const qsizetype sos = jpeg.indexOf(QByteArray("\xFF\xDA", 2));
    if (!keepScanHeader)
        return jpeg.left(sos);
    const int length = (uchar(jpeg[sos + 2]) << 8) | uchar(jpeg[sos + 3]);
    return jpeg.left(sos + 2 + length);
}

QByteArray WithFrameSize(QByteArray jpeg, int width, int height) {
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

QByteArray RandomBytes(int count) {
    std::mt19937 random(42);
    QByteArray bytes(count, '\0');
    for (char& b : bytes)
        b = char(random());
    bytes[0] = 'Z'; // never an accidental start-of-image marker
    return bytes;
}

QByteArray PngBytes() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Gradient(20, 10).save(&buffer, "PNG");
    return bytes;
}

struct TBrokenCase {
    const char* Name;
    std::function<QByteArray()> Bytes;
    const char* Cause;
};

void PrintTo(const TBrokenCase& c, std::ostream* out) {
    *out << c.Name;
}

const QByteArray& Photo() {
    static const QByteArray bytes = Jpeg(Noisy(160, 120, 3));
    return bytes;
}

class BrokenJpeg : public testing::TestWithParam<TBrokenCase> {};

TEST_P(BrokenJpeg, FailsWithCauseAndKeepsThePicture) {
    const TBrokenCase& c = GetParam();
    QTemporaryDir folder;
    const QString path = folder.filePath(QString::fromLatin1(c.Name) + ".jpg");
    const QByteArray bytes = c.Bytes();
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QImage before = Corners(9, 7);
    using TLoader = std::function<void(TRasterImage&)>;
    const std::vector<std::pair<const char*, TLoader>> loaders{
        {"Load",
         [&](TRasterImage& image) {
             image.Load(path);
         }},
        {"LoadScaled",
         [&](TRasterImage& image) {
             image.LoadScaled(path, QSize(10, 10));
         }},
        {"LoadFromData",
         [&](TRasterImage& image) {
             image.LoadFromData(bytes, path);
         }},
    };
    for (const auto& [operation, load] : loaders) {
        TRasterImage image(before);
        try {
            load(image);
            ADD_FAILURE() << operation << " accepted the file";
        } catch (const TImagingError& error) {
            EXPECT_EQ(error.Operation(), operation);
            EXPECT_EQ(error.File(), path);
            EXPECT_TRUE(error.Cause().contains(QString::fromUtf8(c.Cause))) << error.what();
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(path));
        }
        EXPECT_EQ(image.Bitmap(), before) << operation;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenJpeg,
    testing::Values(
        TBrokenCase{"Empty", [] { return QByteArray(); }, "not a JPEG file"},
        TBrokenCase{"RandomBytes", [] { return RandomBytes(5000); }, "not a JPEG file"},
        TBrokenCase{"PngRenamed", PngBytes, "not a JPEG file"},
        TBrokenCase{"StartMarkerOnly", [] { return Photo().left(2); }, "truncated"},
        TBrokenCase{"TablesWithoutScan", [] { return CutBeforeScan(Photo(), false); }, "truncated"},
        TBrokenCase{"HeaderWithoutScanData", [] { return CutBeforeScan(Photo(), true); },
                    "truncated"},
        TBrokenCase{"CutInTheScan", [] { return Photo().left(Photo().size() / 2); }, "truncated"},
        TBrokenCase{"CutBeforeEnd", [] { return Photo().left(Photo().size() - 40); }, "truncated"},
        TBrokenCase{"HugeFrame", [] { return WithFrameSize(Photo(), 60000, 60000); },
                    "too large: 60000 × 60000"},
        TBrokenCase{"BeyondJpegLimit", [] { return WithFrameSize(Photo(), 65535, 65535); },
                    "too large: 65535 × 65535"},
        TBrokenCase{"ZeroWidth", [] { return WithFrameSize(Photo(), 0, 120); }, "damaged"}),
    [](const testing::TestParamInfo<TBrokenCase>& info) { return std::string(info.param.Name); });

TEST_F(RasterFiles, MissingAndUnreadableFiles) {
    TRasterImage image(Corners(5, 5));
    const QString missing = Path(QStringLiteral("nothing.jpg"));
    for (const auto& call : std::vector<std::function<void()>>{
             [&] { image.Load(missing); }, [&] { image.LoadScaled(missing, QSize(9, 9)); },
             [&] {
                 TRasterImage::ReadSize(missing);
             }}) {
        try {
            call();
            ADD_FAILURE() << "a missing file was read";
        } catch (const TImagingError& error) {
            EXPECT_EQ(error.Cause(), "file not found");
            EXPECT_EQ(error.File(), missing);
        }
    }
    EXPECT_EQ(image.Bitmap(), Corners(5, 5));

    const QString folder = Path(QStringLiteral("folder.jpg"));
    ASSERT_TRUE(QDir().mkdir(folder));
    try {
        image.Load(folder);
        ADD_FAILURE() << "a folder was read";
    } catch (const TImagingError& error) {
        EXPECT_TRUE(error.Cause().startsWith("cannot read: ")) << error.what();
    }
}

TEST(RasterImage, DamagedBytesNeverCrash) {
    // Bytes flipped all over a valid picture: each load fails cleanly or gives a whole picture.
    const QByteArray photo = Photo();
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes = photo;
        const int flips = 1 + int(random() % 8);
        for (int i = 0; i < flips; ++i)
            bytes[int(random() % bytes.size())] = char(random());
        TRasterImage image;
        try {
            image.LoadFromData(bytes, QStringLiteral("damaged.jpg"));
            EXPECT_FALSE(image.IsNull());
            EXPECT_EQ(image.Bitmap().format(), QImage::Format_BGR888);
        } catch (const TImagingError& error) {
            EXPECT_FALSE(error.Cause().isEmpty());
            EXPECT_TRUE(image.IsNull());
        }
    }
}

// ---- resampling ---------------------------------------------------------------------------

class SizeKinds : public testing::TestWithParam<TResize> {};

TEST_P(SizeKinds, GivesExactSizes) {
    const std::vector<std::pair<QSize, QSize>> table{
        {{1400, 700}, {140, 70}}, {{700, 1400}, {35, 70}}, {{500, 375}, {93, 70}},
        {{93, 70}, {500, 375}},   {{1, 1}, {7, 3}},        {{300, 2}, {1, 1}}};
    for (const auto& [from, to] : table) {
        TRasterImage image(Gradient(from.width(), from.height()));
        image.Size(to.width(), to.height(), GetParam());
        EXPECT_EQ(image.SizeOf(), to);
        EXPECT_EQ(image.Bitmap().format(), QImage::Format_BGR888);
    }
}

TEST_P(SizeKinds, ConstantColourStaysConstant) {
    const TRgb colour{200, 13, 77};
    for (const QSize to : {QSize(93, 70), QSize(611, 407), QSize(250, 37)}) {
        TRasterImage image(Solid(250, 190, colour));
        image.Size(to.width(), to.height(), GetParam());
        for (int y = 0; y < to.height(); y += 3)
            for (int x = 0; x < to.width(); x += 3)
                ASSERT_EQ(At(image, x, y), colour) << x << "," << y << " at " << to.width();
    }
}

TEST_P(SizeKinds, RefusesEmptyAndHugeSizes) {
    const QImage before = Corners(6, 4);
    TRasterImage image(before);
    for (const QSize to : {QSize(0, 5), QSize(5, 0), QSize(-3, 4), QSize(100000, 100000)})
        EXPECT_THROW(image.Size(to.width(), to.height(), GetParam()), TImagingError);
    EXPECT_EQ(image.Bitmap(), before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SizeKinds,
                         testing::Values(TResize::Nearest, TResize::Resample, TResize::Bicubic),
                         [](const testing::TestParamInfo<TResize>& info) {
                             return std::string(info.param == TResize::Nearest    ? "Nearest"
                                                : info.param == TResize::Resample ? "Resample"
                                                                                  : "Bicubic");
                         });

TEST(RasterImageSize, ShrinkingAveragesTheArea) {
    // A one-pixel checkerboard must become even grey, not moiré, for both smooth kinds.
    QImage board(400, 300, QImage::Format_BGR888);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            Set(board, x, y, (x + y) % 2 ? TRgb{255, 255, 255} : TRgb{0, 0, 0});
    for (const TResize kind : {TResize::Resample, TResize::Bicubic}) {
        TRasterImage image(board);
        image.Size(93, 70, kind);
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 93; ++x)
                ASSERT_TRUE(Near(At(image, x, y), {128, 128, 128}, 8))
                    << x << "," << y << " " << testing::PrintToString(At(image, x, y));
    }
}

TEST(RasterImageSize, ShrinkingKeepsPixelCentresInPlace) {
    // Ten source columns per output column: each output is the mean of its own ten.
    QImage ramp(1000, 4, QImage::Format_BGR888);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 1000; ++x)
            Set(ramp, x, y, {x / 4, x / 4, x / 4});
    for (const TResize kind : {TResize::Resample, TResize::Bicubic}) {
        TRasterImage image(ramp);
        image.Size(100, 2, kind);
        for (int x = 5; x < 95; ++x) // away from the edges, where the kernel is cut off
            EXPECT_NEAR(At(image, x, 1).R, (10 * x + 4.5) / 4.0, 1.0) << x;
    }
}

TEST(RasterImageSize, BicubicEnlargingStaysSmoothAndMonotone) {
    TRasterImage image(Gradient(20, 20));
    image.Size(200, 200, TResize::Bicubic);
    for (int x = 1; x < 200; ++x)
        EXPECT_GE(At(image, x, 100).R, At(image, x - 1, 100).R) << x;
    EXPECT_LT(At(image, 5, 100).R, 20);
    EXPECT_GT(At(image, 195, 100).R, 235);
}

// ---- turning and mirroring ----------------------------------------------------------------

TEST(RasterImageTurns, CompositionsThatAreIdentity) {
    const QImage original = Corners(7, 4);
    const std::vector<std::pair<const char*, std::function<void(TRasterImage&)>>> table{
        {"four quarter turns",
         [](TRasterImage& i) {
             for (int k = 0; k < 4; ++k)
                 i.Rotate(9000);
         }},
        {"two reverses",
         [](TRasterImage& i) {
             i.Reverse();
             i.Reverse();
         }},
        {"two flips",
         [](TRasterImage& i) {
             i.Flip();
             i.Flip();
         }},
        {"90 then 270",
         [](TRasterImage& i) {
             i.Rotate(9000);
             i.Rotate(27000);
         }},
        {"minus 90 then 90",
         [](TRasterImage& i) {
             i.Rotate(-9000);
             i.Rotate(9000);
         }},
        {"half turn, reverse, flip",
         [](TRasterImage& i) {
             i.Rotate(18000);
             i.Reverse();
             i.Flip();
         }},
        {"full turn",
         [](TRasterImage& i) {
             i.Rotate(36000);
         }},
        {"zero",
         [](TRasterImage& i) {
             i.Rotate(0);
         }},
    };
    for (const auto& [name, steps] : table) {
        TRasterImage image(original);
        steps(image);
        EXPECT_EQ(image.Bitmap(), original) << name;
    }
}

TEST(RasterImageTurns, QuarterTurnMovesCornersClockwise) {
    for (const int angle : {9000, -27000, 45000}) {
        TRasterImage image(Corners(7, 4));
        image.Rotate(angle);
        ASSERT_EQ(image.SizeOf(), QSize(4, 7)) << angle;
        EXPECT_EQ(At(image, 3, 0), TopLeft) << angle;
        EXPECT_EQ(At(image, 3, 6), TopRight) << angle;
        EXPECT_EQ(At(image, 0, 6), BottomRight) << angle;
        EXPECT_EQ(At(image, 0, 0), BottomLeft) << angle;
    }
    TRasterImage image(Corners(7, 4));
    image.Rotate(27000);
    EXPECT_EQ(At(image, 0, 6), TopLeft);
    EXPECT_EQ(At(image, 0, 0), TopRight);
    image.Reverse();
    EXPECT_EQ(At(image, 3, 6), TopLeft);
}

TEST(RasterImageTurns, MirrorsMoveCorners) {
    TRasterImage image(Corners(7, 4));
    image.Reverse();
    EXPECT_EQ(At(image, 0, 0), TopRight);
    EXPECT_EQ(At(image, 6, 3), BottomLeft);
    image.Flip();
    EXPECT_EQ(At(image, 0, 0), BottomRight);
    EXPECT_EQ(At(image, 6, 0), BottomLeft);
}

TEST(RasterImageTurns, FreeAnglesResampleAndFill) {
    TRasterImage image(Solid(100, 50, {10, 20, 30}));
    image.Rotate(4500, true, QColor(255, 255, 255));
    EXPECT_EQ(image.SizeOf(), QSize(107, 107)); // (100 + 50) / √2, rounded up
    EXPECT_EQ(At(image, 0, 0), (TRgb{255, 255, 255}));
    EXPECT_EQ(At(image, 53, 53), (TRgb{10, 20, 30}));

    TRasterImage kept(Solid(100, 50, {10, 20, 30}));
    kept.Rotate(3000, false, QColor(0, 0, 255));
    EXPECT_EQ(kept.SizeOf(), QSize(100, 50));
    EXPECT_EQ(At(kept, 0, 0), (TRgb{0, 0, 255}));
    EXPECT_EQ(At(kept, 50, 25), (TRgb{10, 20, 30}));

    // Nearly a quarter turn looks like the exact one: the direction is clockwise too.
    TRasterImage exact(Gradient(64, 64));
    TRasterImage almost(Gradient(64, 64));
    exact.Rotate(9000);
    almost.Rotate(8990, false);
    for (int y = 16; y < 48; y += 4)
        for (int x = 16; x < 48; x += 4)
            EXPECT_TRUE(Near(At(exact, x, y), At(almost, x, y), 6)) << x << "," << y;
}

// ---- regions, fill, combine, colours ------------------------------------------------------

TEST(RasterImageRegion, FillWithAndWithoutRegion) {
    TRasterImage image(Solid(10, 8, Grey));
    image.SetRgnRect(QRect(2, 3, 4, 2));
    EXPECT_TRUE(image.HasRegion());
    image.Fill(QColor(255, 0, 0));
    int inside = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool in = x >= 2 && x < 6 && y >= 3 && y < 5;
            EXPECT_EQ(At(image, x, y), in ? TopLeft : Grey) << x << "," << y;
            inside += in;
        }
    EXPECT_EQ(inside, 8);

    // A region entirely outside the bitmap is empty: nothing is filled.
    image.SetRgnRect(QRect(50, 50, 5, 5));
    EXPECT_TRUE(image.HasRegion());
    EXPECT_TRUE(image.RegionRect().isEmpty());
    image.Fill(QColor(0, 0, 255));
    EXPECT_EQ(At(image, 0, 0), Grey);

    // Clipped to the bitmap.
    image.SetRgnRect(QRect(-5, -5, 7, 7));
    EXPECT_EQ(image.RegionRect(), QRect(0, 0, 2, 2));

    image.FreeRgn();
    EXPECT_FALSE(image.HasRegion());
    image.Fill(QColor(0, 255, 0));
    EXPECT_EQ(At(image, 0, 0), TopRight);
    EXPECT_EQ(At(image, 9, 7), TopRight);
}

TEST(RasterImageRegion, CombineCopiesOnlyInsideTheRegion) {
    const TRasterImage source(Solid(20, 20, BottomRight));
    TRasterImage image(Solid(10, 10, Grey));
    image.SetRgnRect(QRect(3, 3, 2, 2));
    image.Combine(QRect(0, 0, 10, 10), source, QPoint(0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(At(image, x, y), (x >= 3 && x < 5 && y >= 3 && y < 5) ? BottomRight : Grey);

    // Without a region: the source offset is honoured and everything is clipped.
    TRasterImage target(Solid(6, 6, Grey));
    target.Combine(QRect(4, 4, 10, 10), TRasterImage(Corners(3, 3)), QPoint(1, 1));
    EXPECT_EQ(At(target, 3, 3), Grey);
    EXPECT_EQ(At(target, 4, 4), Grey);        // source (1, 1), the grey middle
    EXPECT_EQ(At(target, 5, 5), BottomRight); // source (2, 2)
    EXPECT_EQ(At(target, 5, 4), Grey);        // source (2, 1)

    // Combining a picture with itself reads the pixels as they were.
    QImage row = Solid(4, 1, Grey);
    Set(row, 0, 0, TopLeft);
    TRasterImage self(row);
    self.Combine(QRect(1, 0, 3, 1), self, QPoint(0, 0));
    EXPECT_EQ(At(self, 1, 0), TopLeft);
    EXPECT_EQ(At(self, 2, 0), Grey);
}

TEST(RasterImageColours, BalanceColorsScalesAndClamps) {
    TRasterImage image(Solid(3, 3, {100, 150, 200}));
    image.BalanceColors(0.5, 1.0, 2.0);
    EXPECT_EQ(At(image, 1, 1), (TRgb{50, 150, 255}));
    image.BalanceColors(-1.0, 1.2, 1.0);
    EXPECT_EQ(At(image, 2, 2), (TRgb{0, 180, 255}));
}

TEST(RasterImageColours, SharpenAndBlur) {
    // A vertical step from 64 to 192 between columns 9 and 10.
    QImage step(20, 6, QImage::Format_BGR888);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 20; ++x)
            Set(step, x, y, x < 10 ? TRgb{64, 64, 64} : TRgb{192, 192, 192});

    TRasterImage same(step);
    same.Sharpen(0);
    EXPECT_EQ(same.Bitmap(), step);

    TRasterImage blurred(step);
    blurred.Sharpen(-1000);
    EXPECT_GT(At(blurred, 9, 3).R, 64);
    EXPECT_LT(At(blurred, 10, 3).R, 192);
    EXPECT_EQ(At(blurred, 2, 3).R, 64);
    EXPECT_EQ(At(blurred, 17, 3).R, 192);
    TRasterImage lightly(step);
    lightly.Sharpen(-200);
    EXPECT_LT(At(lightly, 9, 3).R, At(blurred, 9, 3).R);
    EXPECT_GT(At(lightly, 9, 3).R, 64);

    TRasterImage sharpened(step);
    sharpened.Sharpen(1000);
    EXPECT_LT(At(sharpened, 9, 3).R, 64);
    EXPECT_GT(At(sharpened, 10, 3).R, 192);
    EXPECT_EQ(At(sharpened, 2, 3).R, 64);

    TRasterImage flat(Solid(8, 8, {30, 90, 250}));
    flat.Sharpen(1000);
    EXPECT_EQ(At(flat, 4, 4), (TRgb{30, 90, 250}));
}

// ---- framed shape -------------------------------------------------------------------------

int Brightness(TRgb c) {
    return c.R + c.G + c.B;
}

TEST(RasterImageShape, DrawsFrameShadowAndPicture) {
    struct TCase {
        QSize Size;
        TShapeStyle Style;
    };
    TShapeStyle deep;
    deep.ShadowXDepth = 6;
    deep.ShadowYDepth = 4;
    deep.BorderThickness = 2;
    deep.BorderColor = QColor(10, 20, 30);
    deep.ShadowColor = QColor(100, 100, 100);
    for (const auto& [size, style] : std::vector<TCase>{
             {{93, 70}, TShapeStyle{}}, {{400, 300}, TShapeStyle{}}, {{93, 70}, deep}}) {
        const int w = size.width();
        const int h = size.height();
        const int sx = style.ShadowXDepth;
        const int sy = style.ShadowYDepth;
        const TRgb paper{240, 200, 20};
        QImage picture = Solid(w, h, paper);
        // Earlier pixels in the corners the shadow leaves bare.
        Set(picture, w - 1, 0, TopRight);
        Set(picture, w - sx, sy - 1, TopLeft);
        Set(picture, 0, h - 1, BottomLeft);
        Set(picture, sx - 1, h - sy, BottomRight);
        TRasterImage image(picture);
        image.DrawShape(style);
        ASSERT_EQ(image.SizeOf(), size);

        EXPECT_EQ(At(image, w - 1, 0), TopRight);
        EXPECT_EQ(At(image, w - sx, sy - 1), TopLeft);
        EXPECT_EQ(At(image, 0, h - 1), BottomLeft);
        EXPECT_EQ(At(image, sx - 1, h - sy), BottomRight);

        const QColor shadow = style.ShadowColor;
        const TRgb shadowRgb{shadow.red(), shadow.green(), shadow.blue()};
        EXPECT_EQ(At(image, w - 1, h - 1), shadowRgb);
        EXPECT_EQ(At(image, w - 1, sy), shadowRgb);
        EXPECT_EQ(At(image, sx, h - 1), shadowRgb);
        EXPECT_EQ(At(image, w - 1, h / 2), shadowRgb);

        const QColor line = style.BorderColor;
        const TRgb border{line.red(), line.green(), line.blue()};
        EXPECT_EQ(At(image, 0, 0), border);
        EXPECT_EQ(At(image, w - sx - 1, h / 2), border);
        EXPECT_EQ(At(image, w / 2, h - sy - 1), border);
        EXPECT_EQ(At(image, style.BorderThickness - 1, h / 2), border);

        // The moulding is lit on the top and shaded at the bottom.
        const int band = style.BorderThickness + style.OuterBandThickness / 2;
        EXPECT_GT(Brightness(At(image, w / 2, band)),
                  Brightness(At(image, w / 2, h - sy - 1 - band)));
        EXPECT_NE(At(image, w / 2, band), paper);

        EXPECT_TRUE(Near(At(image, w / 2, h / 2), paper, 3));
    }
}

TEST(RasterImageShape, BandsUseTheirColours) {
    TShapeStyle style;
    style.OuterBandShadowColor = QColor(0, 0, 255);
    style.InnerBandShadowColor = QColor(255, 255, 255);
    TRasterImage image(Solid(93, 70, {0, 0, 0}));
    image.DrawShape(style);
    // Bottom of the moulding: blue; bottom of the mat: white; top of the mat at least as light.
    const TRgb moulding = At(image, 46, 70 - 2 - 1 - 1 - 2);
    EXPECT_GT(moulding.B, moulding.R + 100);
    EXPECT_EQ(At(image, 46, 70 - 2 - 1 - 5 - 2), (TRgb{255, 255, 255}));
    EXPECT_EQ(At(image, 46, 1 + 5 + 2), (TRgb{255, 255, 255}));
}

TEST(RasterImageShape, TinyBitmapsDrawWhatFits) {
    for (const QSize size :
         {QSize(1, 1), QSize(2, 2), QSize(3, 9), QSize(12, 12), QSize(25, 23), QSize(200, 4)}) {
        TRasterImage image(Gradient(size.width(), size.height()));
        image.DrawShape(TShapeStyle{});
        EXPECT_EQ(image.SizeOf(), size);
    }
    TShapeStyle odd;
    odd.ShadowXDepth = 500;
    odd.BorderThickness = -3;
    odd.OuterBandThickness = 0;
    TRasterImage image(Gradient(30, 30));
    image.DrawShape(odd);
    EXPECT_EQ(image.SizeOf(), QSize(30, 30));
}

// ---- no picture ---------------------------------------------------------------------------

TEST(RasterImage, OperationsWithoutPictureFail) {
    const TRasterImage source(Solid(2, 2, Grey));
    const std::vector<std::pair<const char*, std::function<void(TRasterImage&)>>> table{
        {"Size",
         [](TRasterImage& i) {
             i.Size(5, 5);
         }},
        {"Rotate",
         [](TRasterImage& i) {
             i.Rotate(9000);
         }},
        {"Reverse",
         [](TRasterImage& i) {
             i.Reverse();
         }},
        {"Flip",
         [](TRasterImage& i) {
             i.Flip();
         }},
        {"SetRgnRect",
         [](TRasterImage& i) {
             i.SetRgnRect(QRect(0, 0, 1, 1));
         }},
        {"Fill",
         [](TRasterImage& i) {
             i.Fill(Qt::red);
         }},
        {"Combine",
         [&](TRasterImage& i) {
             i.Combine(QRect(0, 0, 1, 1), source, QPoint());
         }},
        {"Sharpen",
         [](TRasterImage& i) {
             i.Sharpen(10);
         }},
        {"BalanceColors",
         [](TRasterImage& i) {
             i.BalanceColors(1, 1, 1);
         }},
        {"DrawShape",
         [](TRasterImage& i) {
             i.DrawShape(TShapeStyle{});
         }},
        {"EncodeJpeg",
         [](TRasterImage& i) {
             i.EncodeJpeg();
         }},
    };
    for (const auto& [operation, call] : table) {
        TRasterImage image;
        try {
            call(image);
            ADD_FAILURE() << operation << " worked without a picture";
        } catch (const TImagingError& error) {
            EXPECT_EQ(error.Operation(), operation);
            EXPECT_EQ(error.Cause(), "no picture");
            EXPECT_EQ(error.Text(), QString::fromLatin1(operation) + ": no picture");
        }
    }
    TRasterImage image(Solid(2, 2, Grey));
    EXPECT_THROW(image.Combine(QRect(0, 0, 1, 1), TRasterImage(), QPoint()), TImagingError);
}

TEST(RasterImage, AdoptsAnyFormatAsBgr) {
    QImage argb(3, 2, QImage::Format_ARGB32);
    argb.fill(QColor(10, 20, 30));
    const TRasterImage image(argb);
    EXPECT_EQ(image.Bitmap().format(), QImage::Format_BGR888);
    EXPECT_EQ(At(image, 2, 1), (TRgb{10, 20, 30}));
    TRasterImage empty;
    empty.SetBitmap(QImage());
    EXPECT_TRUE(empty.IsNull());
}

} // namespace
