#include "imaging/TFloater.h"

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

// Every pixel different: red and green count the column, blue the row.
QImage Numbered(int w, int h) {
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x % 256, (x / 256) * 40, y % 256));
    return image;
}

} // namespace

TEST(Floater, LiftNeedsAPictureAndANonEmptyRegion) {
    EXPECT_THROW(TFloater::Lift(TRasterImage()), TImagingError);
    TRasterImage picture(Numbered(40, 30));
    EXPECT_THROW(TFloater::Lift(picture), TImagingError) << "no region";
    picture.SetRgnRect(QRect(100, 100, 5, 5));
    EXPECT_THROW(TFloater::Lift(picture), TImagingError) << "region outside the picture";
    EXPECT_TRUE(TFloater().IsNull());
}

TEST(Floater, LiftCopiesTheRegionAndLeavesThePicture) {
    TRasterImage picture(Numbered(40, 30));
    const QImage before = picture.Bitmap().copy();
    // Clipped to the picture: only 30..39 × 20..29 remain.
    picture.SetRgnRect(QRect(30, 20, 50, 50));
    const TFloater floater = TFloater::Lift(picture);
    EXPECT_EQ(floater.Rect(), QRect(30, 20, 10, 10));
    EXPECT_EQ(floater.Shape(), QRect(0, 0, 10, 10));
    EXPECT_EQ(floater.Picture().Bitmap(), before.copy(30, 20, 10, 10));
    EXPECT_EQ(picture.Bitmap(), before);
}

TEST(Floater, CombineIntoCopiesAtThePlaceInsideEdgesAndRegion) {
    TRasterImage source(Numbered(300, 200));
    source.SetRgnRect(QRect(10, 20, 8, 6));
    TFloater floater = TFloater::Lift(source);
    const QImage lifted = floater.Picture().Bitmap();

    struct TCase {
        const char* Name;
        QPoint Place;
        QRect TargetRegion; ///< empty: none
        QRect Expected;     ///< the target pixels that get the copy
    };
    const TCase cases[] = {
        {"inside", QPoint(50, 40), QRect(), QRect(50, 40, 8, 6)},
        {"over the left and top edges", QPoint(-3, -2), QRect(), QRect(0, 0, 5, 4)},
        {"over the right and bottom edges", QPoint(96, 77), QRect(), QRect(96, 77, 4, 3)},
        {"clipped by the target's region", QPoint(50, 40), QRect(54, 0, 100, 42),
         QRect(54, 40, 4, 2)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QImage white(100, 80, QImage::Format_BGR888);
        white.fill(Qt::white);
        TRasterImage target(white);
        if (!c.TargetRegion.isEmpty())
            target.SetRgnRect(c.TargetRegion);
        floater.MoveTo(c.Place);
        floater.CombineInto(target);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) {
                const QRgb expected = c.Expected.contains(x, y)
                                          ? lifted.pixel(x - c.Place.x(), y - c.Place.y())
                                          : qRgb(255, 255, 255);
                ASSERT_EQ(target.Bitmap().pixel(x, y), expected) << x << ", " << y;
            }
    }
}

TEST(Floater, CroppedIsTheLiftedRectangleWhereverTheCopyWasMoved) {
    TRasterImage picture(Numbered(640, 480));
    picture.SetRgnRect(QRect(QPoint(100, 50), QPoint(299, 199)));
    TFloater floater = TFloater::Lift(picture);
    const QImage expected = picture.Bitmap().copy(100, 50, 200, 150);
    EXPECT_EQ(floater.Cropped().Bitmap(), expected);
    floater.MoveTo(QPoint(500, 400));
    const TRasterImage cropped = floater.Cropped();
    EXPECT_EQ(cropped.Bitmap(), expected);
    EXPECT_FALSE(cropped.HasRegion());
    EXPECT_THROW(TFloater().Cropped(), TImagingError);
}
