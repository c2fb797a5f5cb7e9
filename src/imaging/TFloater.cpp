#include "TFloater.h"

namespace Lumerix {

TFloater TFloater::Lift(const TRasterImage& image) {
    const QString operation = QStringLiteral("Floater");
    if (image.IsNull())
        throw TImagingError(operation, QString(), QStringLiteral("no picture"));
    if (!image.HasRegion())
        throw TImagingError(operation, QString(), QStringLiteral("no region set"));
    const QRect region = image.RegionRect();
    if (region.isEmpty())
        throw TImagingError(operation, QString(), QStringLiteral("the region is empty"));
    TFloater floater;
    floater.Pixels.SetBitmap(image.Bitmap().copy(region));
    floater.Place = region.topLeft();
    floater.ShapeRect = QRect(QPoint(0, 0), region.size());
    return floater;
}

void TFloater::CombineInto(TRasterImage& target) const {
    if (IsNull())
        return;
    target.Combine(ShapeRect.translated(Place), Pixels, ShapeRect.topLeft());
}

TRasterImage TFloater::Cropped() const {
    if (IsNull())
        throw TImagingError(QStringLiteral("Floater"), QString(), QStringLiteral("no picture"));
    TRasterImage result(QImage(Pixels.SizeOf(), QImage::Format_BGR888));
    result.Fill(Qt::white);
    result.SetRgnRect(ShapeRect);
    result.Combine(QRect(QPoint(0, 0), Pixels.SizeOf()), Pixels, QPoint(0, 0));
    result.FreeRgn();
    return result;
}

} // namespace Lumerix
