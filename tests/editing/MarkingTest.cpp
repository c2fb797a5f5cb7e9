#include "editing/TEditingFixture.h"
#include "editing/TMarking.h"

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::EditingTesting;

namespace {

class Marking : public testing::Test {
protected:
    void SetUp() override {
        Original = Ramp(640, 480);
        Mark.SetPicture(Original);
    }

    void Drag(QPointF from, QPointF to) {
        ASSERT_TRUE(Mark.Press(from));
        Mark.Move((from + to) / 2);
        Mark.Move(to);
        ASSERT_TRUE(Mark.Release(to));
    }

    QImage Original;
    TMarking Mark;
};

TEST_F(Marking, ADragMarksTheRectangleBetweenItsEnds) {
    struct TCase {
        const char* Name;
        QPointF From, To;
        QRect Expected; ///< empty: no marking
    };
    const TCase cases[] = {
        {"down and right", {100, 50}, {300, 200}, QRect(100, 50, 200, 150)},
        {"up and left", {300.4, 200.2}, {99.6, 49.7}, QRect(100, 50, 200, 150)},
        {"clamped to the picture", {-40, -10}, {700, 900}, QRect(0, 0, 640, 480)},
        {"a click marks nothing", {20, 20}, {20.2, 20.3}, QRect()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Mark.SetPicture(Original);
        Drag(c.From, c.To);
        EXPECT_FALSE(Mark.Drawing());
        EXPECT_EQ(Mark.HasMarking(), !c.Expected.isEmpty());
        EXPECT_EQ(Mark.MarkingRect(), c.Expected);
    }
    // A new drag replaces the marking.
    Drag({10, 10}, {30, 40});
    EXPECT_EQ(Mark.MarkingRect(), QRect(10, 10, 20, 30));
}

TEST_F(Marking, PickUpMoveAndDropCopiesThePixelsToTheNewPlace) {
    Drag({10, 10}, {60, 40});
    EXPECT_EQ(Mark.CursorAt({20, 20}), Qt::PointingHandCursor);
    EXPECT_EQ(Mark.CursorAt({80, 80}), Qt::CrossCursor);

    ASSERT_TRUE(Mark.Press({20, 20}));
    ASSERT_TRUE(Mark.HasFloater());
    EXPECT_TRUE(Mark.Following());
    EXPECT_EQ(Mark.Frame(), TRegionFrame::None);
    EXPECT_FALSE(Mark.MarkingTool());
    EXPECT_EQ(Mark.CursorAt({20, 20}), std::nullopt);
    // The copy follows the pointer with no button held, and the picture is untouched.
    EXPECT_TRUE(Mark.Move({120, 130}));
    EXPECT_EQ(Mark.Floater().Rect(), QRect(110, 120, 50, 30));
    EXPECT_EQ(Mark.Picture().Bitmap(), Original);

    // A second press inside the marking picks the copy up again where it is.
    ASSERT_TRUE(Mark.Press({30, 30}));
    Mark.Move({35, 30});
    EXPECT_EQ(Mark.Floater().Rect(), QRect(115, 120, 50, 30));

    ASSERT_TRUE(Mark.Press({400, 400}));
    EXPECT_FALSE(Mark.HasFloater());
    EXPECT_FALSE(Mark.HasMarking());
    // The outline and the tool come back even after the second press.
    EXPECT_EQ(Mark.Frame(), TRegionFrame::Animated);
    EXPECT_TRUE(Mark.MarkingTool());
    QImage expected = Original.copy();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x)
            expected.setPixel(115 + x, 120 + y, Original.pixel(10 + x, 10 + y));
    EXPECT_EQ(Mark.Picture().Bitmap(), expected);

    // Afterwards moving the mouse changes nothing; a new marking and pick-up work as before.
    const QImage dropped = Mark.Picture().Bitmap();
    EXPECT_FALSE(Mark.Move({300, 300}));
    EXPECT_FALSE(Mark.Move({20, 20}));
    EXPECT_EQ(Mark.Picture().Bitmap(), dropped);
    EXPECT_FALSE(Mark.HasFloater());
    Drag({200, 200}, {250, 260});
    EXPECT_EQ(Mark.MarkingRect(), QRect(200, 200, 50, 60));
    ASSERT_TRUE(Mark.Press({210, 210}));
    EXPECT_TRUE(Mark.HasFloater());
}

TEST_F(Marking, CropGivesTheMarkedContent) {
    EXPECT_FALSE(Mark.Crop().has_value()) << "nothing marked";
    Drag({100, 50}, {300, 200});
    std::optional<TRasterImage> cropped = Mark.Crop();
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->Bitmap(), Original.copy(100, 50, 200, 150));

    // A copy moved before the crop still gives the pixels it lifted.
    Mark.SetPicture(Original);
    Drag({100, 50}, {300, 200});
    Mark.Press({150, 100});
    Mark.Move({10, 10});
    cropped = Mark.Crop();
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->Bitmap(), Original.copy(100, 50, 200, 150));

    // Showing the result ends the copy and the marking, the tool coming back.
    Mark.SetPicture(cropped->Bitmap());
    EXPECT_FALSE(Mark.HasFloater());
    EXPECT_FALSE(Mark.HasMarking());
    EXPECT_TRUE(Mark.MarkingTool());
    EXPECT_EQ(Mark.Picture().Bitmap(), Original.copy(100, 50, 200, 150));
}

TEST_F(Marking, ResetEndsFollowingAndWithoutAPicturePressesDoNothing) {
    Drag({10, 10}, {60, 40});
    Mark.Press({20, 20});
    Mark.Reset();
    EXPECT_FALSE(Mark.Following());
    EXPECT_FALSE(Mark.HasFloater());
    EXPECT_FALSE(Mark.HasMarking());
    EXPECT_EQ(Mark.Frame(), TRegionFrame::Animated);
    EXPECT_TRUE(Mark.MarkingTool());
    EXPECT_EQ(Mark.Picture().Bitmap(), Original) << "nothing was dropped";

    Mark.SetPicture(QImage());
    EXPECT_FALSE(Mark.Press({5, 5}));
    EXPECT_FALSE(Mark.Release({50, 50}));
    EXPECT_FALSE(Mark.HasMarking());
}

} // namespace
