#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace Lumerix {

class TSlideshow;

/// One node of the effects dialog's tree. The effect number, not the name or position,
/// selects what runs: -1 marks a group heading that runs nothing.
struct TEffectRow {
    QString Name;   ///< shown in the tree, the same in every language
    QString Parent; ///< the heading above it; empty at the top level
    int Number;     ///< 0..54, or -1 for a heading that runs nothing
    bool SetsBar;   ///< a click gives the amount bar the range below
    int Minimum;
    int Maximum;
    int Position;
    QString Arguments; ///< the operation and its arguments, for help texts

    /// "Parent/Child" for a child, the name for a top-level node.
    QString Path() const { return Parent.isEmpty() ? Name : Parent + u'/' + Name; }
    bool Runs() const { return Number >= 0; }
};

namespace EffectCatalogue {

/// The tree nodes in the order the tree shows them.
const QList<TEffectRow>& Rows();
/// The row index of a catalogue number (the first row carrying it) or a tree path
/// ("Wings/Deep", "Posterize"; case does not matter); -1 when none matches.
int Find(const QString& numberOrPath);

/// Positions of the extra bar.
constexpr int ExtraMinimum = 1;
constexpr int ExtraMaximum = 300;
/// "Plasma" needs a scale of at least this; the dialog moves the extra bar up to it first.
constexpr int PlasmaMinimumScale = 10;

/// Runs the operation of `row` on `bitmap` (converted to 24 bits) with the amount bar `amount`,
/// centre `x`, `y` and extra bar `extra`. False when nothing ran: a heading, or "Blend" without
/// a clipboard picture of exactly the bitmap's size.
bool ApplyEffect(const TEffectRow& row, QImage& bitmap, int amount, int x, int y, int extra);
/// The same with the clipboard picture "Blend" uses taken beforehand (`ClipboardBitmap()`):
/// the clipboard belongs to the window thread, this runs on any thread.
bool ApplyEffect(const TEffectRow& row, QImage& bitmap, int amount, int x, int y, int extra,
                 const QImage& overlay);

/// The picture on the clipboard, or a null image when it holds none.
QImage ClipboardBitmap();

} // namespace EffectCatalogue

/// The brightness, contrast and colour bars and the colour correction and sharpening of the
/// picture editing windows, and the loading and storing they share.
namespace PictureEdits {

/// Range and resting position of the colour bar; the bar's label shows position minus rest.
constexpr int ColourMaximum = 500;
constexpr int ColourRest = 250;
/// `Saturation` keeps the colours at 255. The colour bar rests at 250 and reads 0 there, so
/// its position is handed on 5 higher: at rest the colours stay as they are.
constexpr int SaturationOffset = 5;

/// `Lightness` (brightness), `Saturation` (colour bar position + 5), `Contrast` (contrast).
void ApplyAdjustments(QImage& bitmap, int brightness, int colour, int contrast);
/// Keeps red, green and blue percent (10..100) of each channel.
void ApplyColourBalance(QImage& bitmap, int red, int green, int blue);
/// Sharpens (1..1000) or blurs (-1000..-1); 0 leaves the picture as it is.
void ApplySharpen(QImage& bitmap, int amount);

/// Width of the preview copy the effects dialog computes on.
constexpr int PreviewWidth = 199;
/// The height of the preview copy of a W × H picture: 199 · H / W rounded, halves to even.
int PreviewHeight(int width, int height);
/// The picture file scaled to 199 pixels wide. Throws `TImagingError`.
QImage LoadPreviewCopy(const QString& path);
/// The picture file at full size. Throws `TImagingError`.
QImage LoadFullPicture(const QString& path);

/// The quality factor whose JPEG quality is 80: what the effects dialog saves with.
int EffectsQualityFactor();
/// The colour correction dialog saves with quality factor 4 (JPEG quality 90).
constexpr int CorrectionQualityFactor = 4;

/// Makes the undo copy of entry `index`, writes `bitmap` over its picture file as JPEG with
/// `qualityFactor` and renews the entry. False when nothing was written: the prompter has told
/// why, and a write that failed after the undo copy took the copy back.
bool StoreEditedPicture(TSlideshow& show, int index, const QImage& bitmap, int qualityFactor);

} // namespace PictureEdits

} // namespace Lumerix
