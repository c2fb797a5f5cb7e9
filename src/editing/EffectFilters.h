#pragma once

#include <QImage>
#include <QtGlobal>

#include <array>

/// The picture filters of the effects dialog. Every filter works on 24-bit bitmaps
/// (QImage::Format_BGR888: row 0 at the top, three bytes blue, green, red per pixel); a bitmap
/// in another format is converted to it first, a null bitmap is left alone. Filters run on the
/// caller's thread and may spread rows over the global thread pool; they share nothing but the
/// pseudo-random generator of the noise and ripple filters.
///
/// Arguments are used unscaled: most count pixels of the bitmap being processed. Arguments
/// outside the ranges the dialog offers are clamped so that no filter ever reads or writes
/// outside its bitmaps.
///
/// "source → destination" filters read the source and write the destination; the two may be
/// one bitmap or share data (the source is then read as it was before the call). A null
/// destination is first given the source's size, filled with white.
namespace Lumerix::EffectFilters {

/// Reseeds the process-wide generator behind `ColorNoise`, `MonoNoise` and `RippleRandom`.
void SeedRandom(quint32 seed);

/// Nearest(255 · sin(π/2 · i/255)): the brightening curve of `SplitLight`.
const std::array<quint8, 256>& LightTable();

/// The 16 colours of `Fractal` as 0xffRRGGBB.
QRgb PaletteColor(int index);

// --- Point filters (each pixel depends on itself only) -----------------------------------

/// Pushes channels away from 127 (positive amounts) or toward it (negative); −255..255.
void Contrast(QImage& bitmap, int amount);
/// 255 keeps the colours, 0 turns the picture grey, above 255 strengthens the colours; 0..500.
void Saturation(QImage& bitmap, int amount);
/// Moves every channel toward white (positive) or darkens (negative); −255..255.
void Lightness(QImage& bitmap, int amount);
/// Adds Random(spread) − spread div 2 to each channel, drawn blue, green, red per pixel.
void ColorNoise(QImage& bitmap, int spread);
/// Adds one draw of Random(spread) − spread div 2 to all three channels of a pixel.
void MonoNoise(QImage& bitmap, int spread);

/// Channel filters: a "kept" channel becomes 255 when low < v < high, else 0.
void ChannelRed(QImage& bitmap, int low, int high);    ///< red kept, green and blue 0
void ChannelGreen(QImage& bitmap, int low, int high);  ///< green kept, red and blue 0
void ChannelBlue(QImage& bitmap, int low, int high);   ///< blue kept, red and green 0
void ChannelXRed(QImage& bitmap, int low, int high);   ///< red kept, the others unchanged
void ChannelXGreen(QImage& bitmap, int low, int high); ///< green kept, the others unchanged
void ChannelXBlue(QImage& bitmap, int low, int high);  ///< blue kept, the others unchanged

/// Inverts every pixel whose (blue + green + red) div 3 exceeds `threshold`, copies the rest.
void Solarize(const QImage& source, QImage& destination, int threshold);
void Solarize(QImage& bitmap, int threshold);
/// step × Nearest(v / step) per channel, 255 where that exceeds 255; a step below 1 acts as 1.
void Posterize(const QImage& source, QImage& destination, int step);
void Posterize(QImage& bitmap, int step);
/// Nearest((1 − weight) · v1 + weight · v2); the destination takes source1's size. Where
/// source2 is smaller than source1 the destination keeps source1's pixel.
void Blend(const QImage& source1, const QImage& source2, QImage& destination, double weight);
/// Maps every channel through `LightTable` `passes` times.
void SplitLight(QImage& bitmap, int passes);
/// `amount` passes of a 3 × 3 mean (edge pixels repeated outward).
void Smooth(QImage& bitmap, int amount);

// --- Neighbourhood filters (in place) ----------------------------------------------------

/// Each channel becomes the mean of the four samples `distance` pixels away diagonally, in
/// place top to bottom (rows above are already blurred when read); 0 changes nothing.
void SplitBlur(QImage& bitmap, int distance);
/// `SplitBlur` (3) applied passes + 1 times; nothing for negative passes.
void GaussianBlur(QImage& bitmap, int passes);
/// Relief: v(x, y) = (v(x, y) + 255 − v(x + 3, y + 1)) div 2.
void Emboss(QImage& bitmap);
/// size × size blocks from the top-left corner, each in its top-left pixel's colour.
void Mosaic(QImage& bitmap, int size);
/// Triangular smearing along the rows; sizes below 5 act as 5, even sizes as the next odd.
void Triangles(QImage& bitmap, int size);
/// Blends the top into the bottom edge and the right into the left edge over 1/parts of the
/// picture, so that it tiles; parts below 1 change nothing.
void Seamless(QImage& bitmap, int parts);

// --- Geometric filters --------------------------------------------------------------------

/// Lens: magnifies toward the centre within radius amount × destination width (single
/// precision, wrap-around bilinear sampling).
void FishEye(const QImage& source, QImage& destination, double amount);
/// Swirl of r/amount radians plus a quarter turn about the centre (single precision,
/// wrap-around bilinear sampling); amounts below 1 act as 1.
void Twist(const QImage& source, QImage& destination, int amount);
/// Bilinear rotation by `angle` degrees about (centreX, centreY); destination pixels that
/// map outside the source keep their content.
void RotateBilinear(const QImage& source, QImage& destination, double centreX, double centreY,
                    double angle);

enum TWaveStyle { WaveNormal = 0, WaveExtra = 1, WaveInference = 2 };
/// Shifts the columns down by a sine of the column; amounts below 1 change nothing.
void Wave(QImage& bitmap, int amount, int inference, int style);

/// The wings family: the destination becomes the source, then every source pixel is written
/// once more at a target that depends on `period` and `scale`; later writes win. A period of
/// 0 leaves the copy.
void WingsDeep(const QImage& source, QImage& destination, int period, double scale);
void WingsDown(const QImage& source, QImage& destination, int period, double scale);
void WingsUp(const QImage& source, QImage& destination, int period, double scale);
void WingsFold(const QImage& source, QImage& destination, int period, double scale);
void WingsTouche(const QImage& source, QImage& destination, int period, double scale);
void WingsFlyer(const QImage& source, QImage& destination, int period, double scale);
void WingsFlipover(const QImage& source, QImage& destination, int period, double scale);
void WingsWavy(const QImage& source, QImage& destination, int period, double scale);

enum TSqueezeStyle {
    SqueezeHorizontal = 7,
    SqueezeTop = 8,
    SqueezeBottom = 9,
    SqueezeDiamond = 10,
    SqueezeWaste = 11,
    SqueezeRound = 12,
    SqueezeDoubleRound = 13,
};
/// Stretches every source row into a span of its destination row; pixels outside the span
/// keep their content. Other styles change nothing.
void Squeeze(const QImage& source, QImage& destination, int amount, int style);

enum TSplitStyle { SplitRound = 14, SplitWaste = 15 };
/// Stretches the left and right halves of every row toward the edges; amount 0 copies the
/// source. Other styles change nothing.
void Split(const QImage& source, QImage& destination, int amount, int style);

/// Slants the rows by amount percent of the height and scales the result back into the
/// width; what no pixel reaches becomes white.
void Shear(QImage& bitmap, int amount);
/// Displaces source1 by offsets that the blue channel of source2 selects.
void Plasma(const QImage& source1, const QImage& source2, QImage& destination, double turbulence,
            double scale);
/// Shifts each column down by the sawtooth 0, 1, …, A, 0, 1, … (A = amount, at most H div 2).
void RippleTooth(QImage& bitmap, int amount);
/// Like `RippleTooth` with random shifts below A; reseeds the generator from the clock.
void RippleRandom(QImage& bitmap, int amount);
/// Lifts every pixel by up to `amount` rows in proportion to its brightness.
void HeightMap(QImage& bitmap, int amount);
/// Tiles the bitmap with itself shrunk to c × c, c = the smallest of size, W div 2, H div 2.
void TexturizeTile(QImage& bitmap, int size);
/// As `TexturizeTile`, with the tiles placed Nearest(2c/3) apart so that they overlap.
void TexturizeOverlap(QImage& bitmap, int size);

// --- Generator ----------------------------------------------------------------------------

/// Paints the Mandelbrot set (or the Julia set of (0, 1)) over [xl, xr] × [yl, yr], row 0 at
/// yl, in the 16 palette colours; factor is the iteration limit (16..4096).
void Fractal(QImage& bitmap, int factor, double xl, double yl, double xr, double yr,
             bool mandelbrot);

} // namespace Lumerix::EffectFilters
