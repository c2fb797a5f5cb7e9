#pragma once

#include <QList>
#include <QPageLayout>
#include <QRect>
#include <QSize>

namespace Lumerix {

/// One detail band placed on a page. Rectangles are in report pixels (1/96 inch) relative to
/// the top left corner of the page's printable area.
struct TAlbumBand {
    int Record = 0; ///< index of the picture in the album's source list
    QRect Band;     ///< the whole band: picture height + 30
    QRect Caption;  ///< the caption line above the picture, reserved even when empty
    QRect Picture;  ///< the picture at its printed size
};

/// One page: the title band on the first page only, the detail bands, the footer band.
struct TAlbumPage {
    int Number = 1;
    QRect Title; ///< empty except on page 1
    QList<TAlbumBand> Bands;
    QRect Footer;
};

/// The banded layout of an album: A4 portrait, 12.7 mm margins, one column; a title band on
/// the first page, one detail band per picture that never splits across pages, and a page
/// footer band on every page.
namespace AlbumLayout {

inline constexpr int ReportDpi = 96;
inline constexpr int TitleBandHeight = 40;
inline constexpr int FooterBandHeight = 24;
/// Left offset of the title, the caption and the picture inside their bands.
inline constexpr int Indent = 8;
inline constexpr int TitleTop = 8;
inline constexpr int CaptionHeight = 18;
/// The picture starts below the caption line; the band is the picture plus this much.
inline constexpr int PictureTop = 18;
inline constexpr int BandExtra = 30;
/// Font sizes in points.
inline constexpr int TitlePointSize = 12;
inline constexpr int TextPointSize = 10;

/// A4 portrait with 12.7 mm margins on all four sides.
QPageLayout PageLayout();
/// The printable area of `PageLayout()` in report pixels.
QSize BodySize();

/// The largest picture a detail band can hold on a page of printable area `body`: the width
/// right of the indent, the height under page 1's title minus footer and band extra.
QSize MaxPicture(QSize body);
/// `printed` shrunk, keeping its proportions, until it fits `MaxPicture(body)`; unchanged
/// when it fits. Large typed widths would otherwise run off the page, or never fit on one.
QSize Limited(QSize printed, QSize body);

/// Places one band per entry of `pictures` (their printed sizes, in order) onto pages of
/// printable area `body`. A band that does not fit the rest of a page starts the next one.
/// There is always at least one page.
QList<TAlbumPage> LayOut(const QList<QSize>& pictures, QSize body);

} // namespace AlbumLayout

} // namespace Lumerix
