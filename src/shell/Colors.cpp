#include "Colors.h"

namespace Lumerix::Colors {

QString ColorToHtml(qint64 colour) {
    const QColor c = ToQColor(colour);
    return QStringLiteral("#%1%2%3")
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QColor ToQColor(qint64 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

qint64 FromQColor(const QColor& colour) {
    return qint64(colour.red()) | (qint64(colour.green()) << 8) | (qint64(colour.blue()) << 16);
}

} // namespace Lumerix::Colors
