#pragma once

#include <QColor>
#include <QString>

/// Colours are stored as Windows colour values 0x00BBGGRR written in decimal.
namespace Lumerix::Colors {

/// "#RRGGBB" with upper-case digits; the high byte is ignored.
QString ColorToHtml(qint64 colour);

QColor ToQColor(qint64 colour);
qint64 FromQColor(const QColor& colour);

} // namespace Lumerix::Colors
