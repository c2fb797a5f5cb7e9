#include "EffectCatalogue.h"

#include "EffectFilters.h"
#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace Lumerix {

namespace EffectCatalogue {

namespace {

namespace F = EffectFilters;

TEffectRow Heading(const char* name) {
    return {QString::fromUtf8(name), QString(), -1, false, 0, 0, 0, QStringLiteral("nothing")};
}

TEffectRow Node(const char* parent, const char* name, int number, int minimum, int maximum,
                int position, const char* arguments) {
    return {QString::fromUtf8(name),
            QString::fromUtf8(parent),
            number,
            true,
            minimum,
            maximum,
            position,
            QString::fromUtf8(arguments)};
}

// A node whose click leaves the amount bar alone.
TEffectRow Keeping(const char* parent, const char* name, int number, const char* arguments) {
    TEffectRow row = Node(parent, name, number, 0, 0, 0, arguments);
    row.SetsBar = false;
    return row;
}

QList<TEffectRow> MakeRows() {
    QList<TEffectRow> rows{
        Node("", "Posterize", 54, 1, 255, 1, "Posterize (step E)"),
        Node("", "Gaussian Blur", 3, 0, 20, 0, "GaussianBlur (E)"),
        Node("", "Split Blur", 4, 0, 30, 0, "SplitBlur (E)"),
        Heading("Noise"),
        Node("Noise", "Color", 5, 0, 200, 0, "ColorNoise (E)"),
        Node("Noise", "Mono", 6, 0, 200, 0, "MonoNoise (E)"),
        Node("", "Smooth", 7, 0, 20, 0, "Smooth (E)"),
        Node("", "Seamless", 8, 3, 15, 5, "Seamless (E)"),
        Node("", "Mosaic", 9, 2, 30, 15, "Mosaic (E)"),
        Node("", "Twist", 10, 1, 50, 10, "Twist (E)"),
        Keeping("", "Fisheye", 11, "FishEye (E/100)"),
        Heading("Wave"),
        Node("Wave", "Normal", 12, 1, 200, 15, "Wave (E, inference 0, style 0)"),
        Node("Wave", "Extra", 13, 1, 200, 15, "Wave (E, inference 0, style 1)"),
        Node("Wave", "Inference", 14, 1, 10, 1, "Wave (amount R, inference E, style 2)"),
        Node("", "Rotate", 15, 0, 360, 0, "RotateBilinear (centre X, Y, angle E degrees)"),
        Node("", "Split Light", 16, 1, 10, 1, "SplitLight (E passes)"),
        Heading("Wings"),
    };
    const char* wings[] = {"Deep", "Down", "Up", "Fold", "Touche", "Flyer", "Flipover", "Wavy"};
    for (int i = 0; i < 8; ++i)
        rows.append(Node("Wings", wings[i], 17 + i, 1, 400, 1, "Wings (period E, scale R)"));
    rows.append(Node("", "Emboss", 25, 0, 100, 0, "Emboss"));
    rows.append(Heading("Colors"));
    const char* colors[] = {"Red", "Green", "Blue", "XRed", "XGreen", "XBlue"};
    for (int i = 0; i < 6; ++i)
        rows.append(Node("Colors", colors[i], 26 + i, 0, 255, 128, "Channel (low R, high E)"));
    rows.append(Heading("Squeeze"));
    const char* squeezes[] = {"Horizontal", "Top",   "Bottom",      "Diamond",
                              "Waste",      "Round", "Double Round"};
    for (int i = 0; i < 7; ++i)
        rows.append(Node("Squeeze", squeezes[i], 32 + i, 0, 255, 0, "Squeeze (E, style 7..13)"));
    rows.append(Heading("Split"));
    rows.append(Node("Split", "Round", 39, 0, 255, 0, "Split (E, style 14)"));
    rows.append(Node("Split", "Waste", 40, 0, 255, 0, "Split (E, style 15)"));
    rows.append(Node("", "Shear", 41, 0, 100, 0, "Shear (E percent)"));
    rows.append(Node("", "Plasma", 42, 1, 100, 1, "Plasma (turbulence E, scale R from 10)"));
    rows.append(Node("", "MandelBrot", 43, 0, 100, 0,
                     "Fractal (16, E*0.028-2.25, R*0.009-1.5, 0.75, 1.5, Mandelbrot)"));
    rows.append(Node("", "Julia", 44, 0, 100, 0,
                     "Fractal (16, E*0.028-2.25, R*0.009-1.5, 0.75, 1.5, Julia)"));
    rows.append(Node("", "Triangles", 45, 5, 127, 19, "Triangles (E)"));
    rows.append(Keeping("", "Ripple", 0, "Contrast (E)"));
    rows.append(Node("Ripple", "Tooth", 46, 3, 100, 3, "RippleTooth (E)"));
    rows.append(Node("Ripple", "Triangle", 47, 3, 100, 3, "RippleTooth (E)"));
    rows.append(Node("Ripple", "Random", 48, 3, 100, 3, "RippleRandom (E)"));
    rows.append(Keeping("", "Texturize", 0, "Contrast (E)"));
    rows.append(Node("Texturize", "Tile", 49, 3, 100, 3, "TexturizeTile (E)"));
    rows.append(Node("Texturize", "Overlap", 50, 3, 100, 3, "TexturizeOverlap (E)"));
    rows.append(Node("", "Map", 51, 1, 100, 1, "HeightMap (E)"));
    rows.append(Node("", "Blend", 52, 0, 100, 0, "Blend (clipboard picture, E/100)"));
    rows.append(Node("", "Solarize", 53, 0, 255, 1, "Solarize (threshold E)"));
    return rows;
}

using TWings = void (*)(const QImage&, QImage&, int, double);
constexpr TWings Wings[] = {F::WingsDeep,   F::WingsDown,  F::WingsUp,       F::WingsFold,
                            F::WingsTouche, F::WingsFlyer, F::WingsFlipover, F::WingsWavy};
using TChannel = void (*)(QImage&, int, int);
constexpr TChannel Channels[] = {F::ChannelRed,  F::ChannelGreen,  F::ChannelBlue,
                                 F::ChannelXRed, F::ChannelXGreen, F::ChannelXBlue};

} // namespace

const QList<TEffectRow>& Rows() {
    static const QList<TEffectRow> rows = MakeRows();
    return rows;
}

int Find(const QString& numberOrPath) {
    const QList<TEffectRow>& rows = Rows();
    bool isNumber = false;
    const int number = numberOrPath.toInt(&isNumber);
    for (int i = 0; i < rows.size(); ++i) {
        if (isNumber ? rows[i].Number == number
                     : rows[i].Path().compare(numberOrPath.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QImage ClipboardBitmap() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return QImage();
    return QGuiApplication::clipboard()->image();
}

bool ApplyEffect(const TEffectRow& row, QImage& bitmap, int amount, int x, int y, int extra) {
    return ApplyEffect(row, bitmap, amount, x, y, extra,
                       row.Number == 52 ? ClipboardBitmap() : QImage());
}

bool ApplyEffect(const TEffectRow& row, QImage& bitmap, int amount, int x, int y, int extra,
                 const QImage& overlay) {
    if (row.Number < 0 || bitmap.isNull())
        return false;
    if (bitmap.format() != QImage::Format_BGR888)
        bitmap = bitmap.convertToFormat(QImage::Format_BGR888);
    const int e = amount;
    const int n = row.Number;
    // What the bitmap held before the operation, for the operations that read one picture
    // while writing another. Only those take it: a shared copy makes the in-place filters
    // duplicate the whole bitmap on their first write.
    const auto copy = [&bitmap] {
        return QImage(bitmap);
    };
    if (n >= 17 && n <= 24) {
        Wings[n - 17](copy(), bitmap, e, extra);
        return true;
    }
    if (n >= 26 && n <= 31) {
        Channels[n - 26](bitmap, extra, e);
        return true;
    }
    if (n >= 32 && n <= 38) {
        F::Squeeze(copy(), bitmap, e, F::SqueezeHorizontal + (n - 32));
        return true;
    }
    switch (n) {
    case 0:
        F::Contrast(bitmap, e);
        return true;
    case 3:
        F::GaussianBlur(bitmap, e);
        return true;
    case 4:
        F::SplitBlur(bitmap, e);
        return true;
    case 5:
        F::ColorNoise(bitmap, e);
        return true;
    case 6:
        F::MonoNoise(bitmap, e);
        return true;
    case 7:
        F::Smooth(bitmap, e);
        return true;
    case 8:
        F::Seamless(bitmap, e);
        return true;
    case 9:
        F::Mosaic(bitmap, e);
        return true;
    case 10:
        F::Twist(copy(), bitmap, e);
        return true;
    case 11:
        F::FishEye(copy(), bitmap, e / 100.0);
        return true;
    case 12:
        F::Wave(bitmap, e, 0, F::WaveNormal);
        return true;
    case 13:
        F::Wave(bitmap, e, 0, F::WaveExtra);
        return true;
    case 14:
        F::Wave(bitmap, extra, e, F::WaveInference);
        return true;
    case 15:
        F::RotateBilinear(copy(), bitmap, x, y, e);
        return true;
    case 16:
        F::SplitLight(bitmap, e);
        return true;
    case 25:
        F::Emboss(bitmap);
        return true;
    case 39:
        F::Split(copy(), bitmap, e, F::SplitRound);
        return true;
    case 40:
        F::Split(copy(), bitmap, e, F::SplitWaste);
        return true;
    case 41:
        F::Shear(bitmap, e);
        return true;
    case 42:
        F::Plasma(copy(), copy(), bitmap, e, std::max(extra, PlasmaMinimumScale));
        return true;
    case 43:
    case 44:
        F::Fractal(bitmap, 16, e * 0.028 - 2.25, extra * 0.009 - 1.5, 0.75, 1.5, n == 43);
        return true;
    case 45:
        F::Triangles(bitmap, e);
        return true;
    case 46:
    case 47: // "Triangle" runs the same operation as "Tooth"
        F::RippleTooth(bitmap, e);
        return true;
    case 48:
        F::RippleRandom(bitmap, e);
        return true;
    case 49:
        F::TexturizeTile(bitmap, e);
        return true;
    case 50:
        F::TexturizeOverlap(bitmap, e);
        return true;
    case 51:
        F::HeightMap(bitmap, e);
        return true;
    case 52: {
        if (overlay.isNull() || overlay.size() != bitmap.size())
            return false;
        F::Blend(copy(), overlay.convertToFormat(QImage::Format_BGR888), bitmap, e / 100.0);
        return true;
    }
    case 53:
        F::Solarize(bitmap, e);
        return true;
    case 54:
        F::Posterize(bitmap, e);
        return true;
    default:
        return false;
    }
}

} // namespace EffectCatalogue

namespace PictureEdits {

void ApplyAdjustments(QImage& bitmap, int brightness, int colour, int contrast) {
    if (bitmap.isNull())
        return;
    if (bitmap.format() != QImage::Format_BGR888)
        bitmap = bitmap.convertToFormat(QImage::Format_BGR888);
    EffectFilters::Lightness(bitmap, brightness);
    // The colour bar rests at 250 and shows 0 there; Saturation keeps the colours at 255.
    // Handing on the raw position would pale every saved picture by 5/255.
    EffectFilters::Saturation(bitmap, colour + SaturationOffset);
    EffectFilters::Contrast(bitmap, contrast);
}

void ApplyColourBalance(QImage& bitmap, int red, int green, int blue) {
    TRasterImage image(bitmap);
    image.BalanceColors(red / 100.0, green / 100.0, blue / 100.0);
    bitmap = image.Bitmap();
}

void ApplySharpen(QImage& bitmap, int amount) {
    TRasterImage image(bitmap);
    image.Sharpen(amount);
    bitmap = image.Bitmap();
}

int PreviewHeight(int width, int height) {
    if (width < 1 || height < 1)
        return 1;
    const double exact = double(qint64(PreviewWidth) * height) / width;
    return std::max(1, int(std::nearbyint(exact)));
}

QImage LoadPreviewCopy(const QString& path) {
    TRasterImage image;
    image.Load(path);
    image.Size(PreviewWidth, PreviewHeight(image.Width(), image.Height()), TResize::Resample);
    return image.Bitmap();
}

QImage LoadFullPicture(const QString& path) {
    TRasterImage image;
    image.Load(path);
    return image.Bitmap();
}

int EffectsQualityFactor() {
    static const int factor = [] {
        int best = 4;
        for (int f = 2; f <= 255; ++f) {
            if (std::abs(JpegQuality(f) - 80) < std::abs(JpegQuality(best) - 80))
                best = f;
        }
        return best;
    }();
    return factor;
}

bool StoreEditedPicture(TSlideshow& show, int index, const QImage& bitmap, int qualityFactor) {
    const TEditTarget target = show.EditTarget(index);
    if (target.Path.isEmpty() || bitmap.isNull())
        return false;
    return show.FinishEdit(index, TSlideshow::EditFile(target, [&] {
                               TRasterImage(bitmap).Replace(target.Path, qualityFactor);
                           }));
}

} // namespace PictureEdits

} // namespace Lumerix
