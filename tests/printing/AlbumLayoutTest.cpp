#include "printing/TAlbumLayout.h"

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

TEST(AlbumLayout, A4WithHalfInchMargins) {
    // 210 × 297 mm at 96 dpi less 12.7 mm (48 pixels) on each side.
    const QSize body = AlbumLayout::BodySize();
    EXPECT_NEAR(body.width(), 698, 1);
    EXPECT_NEAR(body.height(), 1027, 1);
    const QMarginsF margins = AlbumLayout::PageLayout().margins(QPageLayout::Millimeter);
    EXPECT_DOUBLE_EQ(margins.left(), 12.7);
    EXPECT_DOUBLE_EQ(margins.bottom(), 12.7);
}

TEST(AlbumLayout, BandReservesTheCaptionLineAboveThePicture) {
    const QSize body(698, 1027);
    const QList<TAlbumPage> pages = AlbumLayout::LayOut({{571, 428}, {495, 371}}, body);
    ASSERT_EQ(pages.size(), 1);
    const TAlbumPage& page = pages[0];
    EXPECT_EQ(page.Title, QRect(0, 0, 698, AlbumLayout::TitleBandHeight));
    ASSERT_EQ(page.Bands.size(), 2);
    const TAlbumBand& first = page.Bands[0];
    EXPECT_EQ(first.Band, QRect(0, 40, 698, 458)); // the picture's height + 30
    EXPECT_EQ(first.Caption.topLeft(), QPoint(8, 40));
    EXPECT_EQ(first.Picture, QRect(8, 58, 571, 428));
    EXPECT_EQ(page.Bands[1].Band.top(), 40 + 458);
    EXPECT_EQ(page.Bands[1].Picture, QRect(8, 40 + 458 + 18, 495, 371));
    EXPECT_EQ(page.Footer, QRect(0, 1027 - AlbumLayout::FooterBandHeight, 698, 24));
}

TEST(AlbumLayout, BandsNeverSplitAndEveryPageHasAFooter) {
    const QSize body(698, 1027);
    const int detailBottom = body.height() - AlbumLayout::FooterBandHeight;
    // Seven pictures of three heights: landscape, portrait and large portrait bands.
    const QList<QSize> pictures = {{495, 371}, {371, 495}, {495, 371}, {686, 514},
                                   {514, 686}, {495, 371}, {371, 495}};
    const QList<TAlbumPage> pages = AlbumLayout::LayOut(pictures, body);
    int next = 0;
    for (const TAlbumPage& page : pages) {
        EXPECT_EQ(page.Number, &page - pages.data() + 1);
        EXPECT_EQ(page.Title.isEmpty(), page.Number != 1);
        EXPECT_EQ(page.Footer.bottom(), body.height() - 1) << page.Number;
        EXPECT_FALSE(page.Bands.isEmpty()) << page.Number;
        int top = page.Number == 1 ? AlbumLayout::TitleBandHeight : 0;
        for (const TAlbumBand& band : page.Bands) {
            EXPECT_EQ(band.Record, next++);
            EXPECT_EQ(band.Band.top(), top);
            EXPECT_LE(band.Band.bottom(), detailBottom - 1) << "band " << band.Record;
            top = band.Band.bottom() + 1;
        }
        // Nothing moved on that would still have fitted.
        if (page.Number < pages.size()) {
            const int following = pictures[next].height() + AlbumLayout::BandExtra;
            EXPECT_GT(top + following, detailBottom) << page.Number;
        }
    }
    EXPECT_EQ(next, pictures.size());
    EXPECT_EQ(pages.size(), 4);
}

TEST(AlbumLayout, OversizedPicturesShrinkToFitUnderTheTitle) {
    const QSize body(698, 1027);
    const QSize most = AlbumLayout::MaxPicture(body);
    EXPECT_EQ(most, QSize(698 - 8, 1027 - 40 - 24 - 30));
    EXPECT_EQ(AlbumLayout::Limited({686, 514}, body), QSize(686, 514)); // 13 x 18 as it is
    EXPECT_EQ(AlbumLayout::Limited({762, 572}, body), QSize(690, 518)); // 20 cm wide
    EXPECT_EQ(AlbumLayout::Limited({571, 762}, body), QSize(571, 762)); // fits as it is
    EXPECT_EQ(AlbumLayout::Limited({1000, 3000}, body), QSize(311, most.height()));

    // The tallest picture there is still shares page 1 with the title.
    const QList<TAlbumPage> tallest = AlbumLayout::LayOut({most, most}, body);
    ASSERT_EQ(tallest.size(), 2);
    EXPECT_EQ(tallest[0].Bands.size(), 1);
    EXPECT_LE(tallest[0].Bands[0].Band.bottom(), tallest[0].Footer.top() - 1);

    // Even a band too tall for any page ends the layout, one page per band, none empty.
    const QList<TAlbumPage> pages = AlbumLayout::LayOut({{100, 5000}, {100, 5000}}, body);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].Bands.size(), 1);
    EXPECT_EQ(pages[1].Bands.size(), 1);
}

TEST(AlbumLayout, AnEmptyAlbumIsOneTitledPage) {
    const QList<TAlbumPage> pages = AlbumLayout::LayOut({}, QSize(698, 1027));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_FALSE(pages[0].Title.isEmpty());
    EXPECT_TRUE(pages[0].Bands.isEmpty());
}

} // namespace
