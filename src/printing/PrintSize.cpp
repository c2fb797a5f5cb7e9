#include "PrintSize.h"

#include <algorithm>
#include <cmath>

namespace Lumerix::PrintSize {

namespace {

// The default floating-point rounding mode rounds halves to the even neighbour.
int RoundEven(double value) {
    return int(std::nearbyint(value));
}

// Widths beyond this are certainly typing errors; they would overflow the arithmetic.
constexpr double MaxCentimetres = 10'000;

} // namespace

int ValueOf(TPrintFormat format) {
    switch (format) {
    case TPrintFormat::Format9x13:
        return 495;
    case TPrintFormat::Format10x15:
        return 571;
    case TPrintFormat::Format13x18:
        return 686;
    case TPrintFormat::Custom:
        break;
    }
    return DefaultValue;
}

int ValueOfCentimetres(double centimetres) {
    return RoundEven(centimetres * 495.0 / 13.0);
}

std::optional<int> ValueOfWidthText(const QString& text, const QLocale& locale) {
    bool ok = false;
    const double centimetres = locale.toDouble(text.trimmed(), &ok);
    // Zero, negative and absurd widths would give pictures of no or impossible size.
    if (!ok || !std::isfinite(centimetres) || centimetres > MaxCentimetres)
        return std::nullopt;
    const int value = ValueOfCentimetres(centimetres);
    if (value < 1)
        return std::nullopt;
    return value;
}

std::optional<int> ValueOfArgument(const QString& text) {
    const QString name = text.trimmed().toLower();
    if (name == u"9x13")
        return ValueOf(TPrintFormat::Format9x13);
    if (name == u"10x15")
        return ValueOf(TPrintFormat::Format10x15);
    if (name == u"13x18")
        return ValueOf(TPrintFormat::Format13x18);
    return ValueOfWidthText(name, QLocale::c());
}

QSize Fitted(QSize picture, int value) {
    if (picture.isEmpty() || value < 1)
        return {};
    const double ratio = double(picture.width()) / picture.height();
    if (ratio >= 1)
        return {value, std::max(1, RoundEven(value / ratio))};
    return {std::max(1, RoundEven(ratio * value)), value};
}

} // namespace Lumerix::PrintSize
