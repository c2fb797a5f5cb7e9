#include "TAlbumLayout.h"

#include <QPageSize>

#include <algorithm>
#include <cmath>

namespace Lumerix::AlbumLayout {

QPageLayout PageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
}

QSize BodySize() {
    return PageLayout().paintRectPixels(ReportDpi).size();
}

QSize MaxPicture(QSize body) {
    // The room under the title of page 1, so that no picture leaves page 1 with the title
    // alone; pictures are indented on the left only.
    return {std::max(1, body.width() - Indent),
            std::max(1, body.height() - TitleBandHeight - FooterBandHeight - BandExtra)};
}

QSize Limited(QSize printed, QSize body) {
    const QSize most = MaxPicture(body);
    if (printed.isEmpty() || (printed.width() <= most.width() && printed.height() <= most.height()))
        return printed;
    const double scale =
        std::min(double(most.width()) / printed.width(), double(most.height()) / printed.height());
    return {std::clamp(int(std::lround(printed.width() * scale)), 1, most.width()),
            std::clamp(int(std::lround(printed.height() * scale)), 1, most.height())};
}

QList<TAlbumPage> LayOut(const QList<QSize>& pictures, QSize body) {
    const int detailBottom = body.height() - FooterBandHeight;
    QList<TAlbumPage> pages;
    int top = 0;
    const auto startPage = [&]() {
        TAlbumPage page;
        page.Number = int(pages.size()) + 1;
        page.Footer = QRect(0, detailBottom, body.width(), FooterBandHeight);
        top = 0;
        if (page.Number == 1) {
            page.Title = QRect(0, 0, body.width(), TitleBandHeight);
            top = TitleBandHeight;
        }
        pages.append(page);
    };
    startPage();
    for (int record = 0; record < pictures.size(); ++record) {
        const QSize picture = pictures[record];
        const int height = picture.height() + BandExtra;
        // A band taller than the room left stays where it is on a page without bands (the
        // first page's title included) rather than looping or leaving a page empty.
        if (top + height > detailBottom && !pages.last().Bands.isEmpty())
            startPage();
        TAlbumBand band;
        band.Record = record;
        band.Band = QRect(0, top, body.width(), height);
        band.Caption = QRect(Indent, top, std::max(1, body.width() - 2 * Indent), CaptionHeight);
        band.Picture = QRect(QPoint(Indent, top + PictureTop), picture);
        pages.last().Bands.append(band);
        top += height;
    }
    return pages;
}

} // namespace Lumerix::AlbumLayout
