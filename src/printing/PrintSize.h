#pragma once

#include <QLocale>
#include <QSize>
#include <QString>

#include <optional>

namespace Lumerix {

/// The photo sizes of the print-size wizard; `Custom` takes a typed width in centimetres.
enum class TPrintFormat { Format9x13, Format10x15, Format13x18, Custom };

/// Print size values: the length of a printed picture's longer side in report pixels of
/// 1/96 inch.
namespace PrintSize {

/// The value the wizard starts with and falls back to ("Format 9 x 13").
inline constexpr int DefaultValue = 495;

/// 495, 571 or 686 for the photo sizes; `DefaultValue` for `Custom`.
int ValueOf(TPrintFormat format);

/// A width in centimetres as a value: cm × 495 / 13, rounded half to even.
int ValueOfCentimetres(double centimetres);

/// The typed width field parsed as a decimal number in `locale`; nothing unless it is a
/// positive number small enough to give a value.
std::optional<int> ValueOfWidthText(const QString& text, const QLocale& locale);

/// "9x13", "10x15", "13x18", or centimetres in C notation ("12.5"), as the command line takes
/// them; nothing when the text is none of these.
std::optional<int> ValueOfArgument(const QString& text);

/// The printed size of a `picture` at `value`: the longer side (width when the picture is
/// square) becomes `value`, the other keeps the proportions, rounded half to even. Each side
/// is at least 1. An empty picture gives an empty size.
QSize Fitted(QSize picture, int value);

} // namespace PrintSize

} // namespace Lumerix
