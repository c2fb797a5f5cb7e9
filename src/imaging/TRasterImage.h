#pragma once

#include "imaging/JpegMarkers.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <stdexcept>

namespace Lumerix {

/// A failed imaging operation. `Text()` reads like "Load: /path/a.jpg: not a JPEG file".
class TImagingError : public std::runtime_error {
public:
    TImagingError(QString operation, QString file, QString cause);

    const QString& Operation() const { return OperationName; }
    const QString& File() const { return FileName; }
    const QString& Cause() const { return CauseText; }
    QString Text() const;

private:
    QString OperationName;
    QString FileName;
    QString CauseText;
};

/// Resampling kinds of `TRasterImage::Size`, numbered as the callers pass them.
enum class TResize {
    Nearest = 0,  ///< nearest neighbour
    Resample = 2, ///< bilinear, area-averaged when shrinking
    Bicubic = 4,  ///< bicubic, area-averaged when shrinking
};

/// The JPEG quality (1..100) for a quality factor on the scale 2 = best .. 255 = smallest.
/// Factor 2 gives 95, factor 4 gives 90; from there the quality falls steadily to 1 at 255.
/// Factors outside 2..255 are clamped.
int JpegQuality(int qualityFactor);

/// The look of `TRasterImage::DrawShape`: a framed picture with a drop shadow.
struct TShapeStyle {
    QColor BorderColor = QColor(192, 192, 192); ///< solid line around the frame
    int BorderThickness = 1;
    int OuterBandThickness = 5;
    QColor OuterBandShadowColor = Qt::blue;
    int InnerBandThickness = 5;
    QColor InnerBandShadowColor = Qt::white; ///< raised band
    QColor ShadowColor = QColor(234, 234, 234);
    int ShadowXDepth = 2;
    int ShadowYDepth = 2;
};

/// One 24-bit picture (QImage::Format_BGR888: each pixel blue, green, red; row 0 at the top)
/// and the operations the program performs on it. JPEG files are read and written with
/// TurboJPEG. Every failing operation throws `TImagingError`; after a failure the bitmap is
/// unchanged. Pictures load upright: the EXIF orientation is applied, and every size the
/// loaders take or report is the upright size.
class TRasterImage {
public:
    /// Pictures with more pixels than this are refused, by `LoadScaled` too.
    static constexpr qint64 MaxPixels = 200'000'000;

    TRasterImage() = default;
    /// Adopts `bitmap`, converted to the 24-bit layout.
    explicit TRasterImage(const QImage& bitmap);

    bool IsNull() const { return Image.isNull(); }
    int Width() const { return Image.width(); }
    int Height() const { return Image.height(); }
    QSize SizeOf() const { return Image.size(); }

    /// The bitmap (always Format_BGR888 unless null). Assigning copies.
    const QImage& Bitmap() const { return Image; }
    void SetBitmap(const QImage& bitmap);

    /// The stored size of a JPEG file, read from its header only.
    static QSize ReadSize(const QString& path);

    /// Replaces the bitmap with the JPEG file's pixels.
    void Load(const QString& path);
    /// Like `Load`, but decodes with the largest DCT reduction (1/2, 1/4, 1/8) whose result is
    /// still at least `minimum` in both directions, for cheap thumbnails. The result is not
    /// yet exactly `minimum`; follow with `Size`. `storedSize` gets the file's own size.
    void LoadScaled(const QString& path, QSize minimum, QSize* storedSize = nullptr);
    /// Decodes JPEG bytes; `name` is used in error texts.
    void LoadFromData(const QByteArray& bytes, const QString& name);
    /// What the decoder warned about in the last load (a few damaged bytes, stray data), or
    /// an empty text when the picture was whole.
    const QString& LoadWarning() const { return Warning; }

    /// Writes the bitmap as JPEG, baseline, 4:2:0 chroma, with `JpegQuality(qualityFactor)`.
    /// The file is replaced atomically: a failure leaves any earlier file as it was.
    void Save(const QString& path, int qualityFactor = 4) const;
    QByteArray EncodeJpeg(int qualityFactor = 4) const;
    /// Like `Save`, for a picture written back over its own file: the metadata of the file
    /// there (EXIF, XMP, colour profile, comments) is kept, with the EXIF orientation set to
    /// upright since the bitmap is.
    void Replace(const QString& path, int qualityFactor = 4) const;
    /// The bytes `Replace` writes, made without writing them.
    QByteArray Replacement(const QString& path, int qualityFactor = 4) const;
    /// JPEG bytes turned or mirrored by `turn` as the picture is seen, by moving the coded
    /// blocks without decoding them; markers are kept and the orientation is set to upright.
    /// Empty when a partial block at an edge prevents it.
    static QByteArray TurnLossless(const QByteArray& jpeg, TOrientation turn, const QString& name);
    /// Writes `bytes` to `path` beside and renames; a failure leaves any earlier file.
    static void WriteFile(const QString& path, const QByteArray& bytes, const QString& operation);

    /// Resamples to exactly `width` × `height` (each at least 1).
    void Size(int width, int height, TResize kind = TResize::Bicubic);

    /// Turns clockwise by `hundredths` of a degree. Multiples of 9000 are exact pixel moves;
    /// other angles resample bilinearly. With `enlarge` the bitmap grows to hold the whole
    /// turned picture and uncovered pixels get `fill`; without it the size stays.
    void Rotate(int hundredths, bool enlarge = true, QColor fill = Qt::white);
    /// Left-right mirror.
    void Reverse();
    /// Top-bottom mirror.
    void Flip();

    /// Sets the region (clipped to the bitmap) that `Fill` and `Combine` work inside.
    void SetRgnRect(const QRect& rectangle);
    void FreeRgn();
    bool HasRegion() const { return RegionSet; }
    /// The region as clipped when it was set; empty when it lay outside the bitmap.
    QRect RegionRect() const { return Region; }

    /// Fills the region if one is set, else the whole bitmap.
    void Fill(QColor color);
    /// Copies `source`'s pixels from `sourceTopLeft` onto `destination` of this bitmap, only
    /// where the destination lies inside the region (everywhere when none is set).
    void Combine(const QRect& destination, const TRasterImage& source, QPoint sourceTopLeft);

    /// Sharpens (1..1000) or blurs (-1000..-1); 0 leaves the picture as it is.
    void Sharpen(int amount);
    /// Scales blue, green and red by their factors (0..1 darkens a channel; results clamp).
    void BalanceColors(double red, double green, double blue);

    /// Draws the framed-picture shape over the whole bitmap with the bitmap itself as the
    /// picture inside the frame: the picture is fitted into the frame's opening, the shadow
    /// falls `ShadowXDepth` right and `ShadowYDepth` down, and the two corners the shadow
    /// leaves bare (top right, bottom left) keep their earlier pixels.
    void DrawShape(const TShapeStyle& style);

private:
    QImage Image;
    QString Warning;
    QRect Region;
    bool RegionSet = false; ///< a region set outside the bitmap is empty, not absent
};

} // namespace Lumerix
