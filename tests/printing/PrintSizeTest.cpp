#include "printing/PrintSize.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

TEST(PrintSize, PhotoSizesAndTypedWidths) {
    EXPECT_EQ(PrintSize::ValueOf(TPrintFormat::Format9x13), 495);
    EXPECT_EQ(PrintSize::ValueOf(TPrintFormat::Format10x15), 571);
    EXPECT_EQ(PrintSize::ValueOf(TPrintFormat::Format13x18), 686);
    EXPECT_EQ(PrintSize::ValueOf(TPrintFormat::Custom), PrintSize::DefaultValue);

    const QLocale german(QLocale::German, QLocale::Germany);
    const struct {
        const char* Text;
        std::optional<int> Value;
    } cases[] = {
        {"20", 762},     // 20 × 495 / 13 = 761.54
        {"13", 495},     // the 9 x 13 width itself
        {" 12,5 ", 476}, // decimal comma of the user's locale, blanks ignored
        {"0,026", 1},    // 0.99 rounds up to one pixel
        {"abc", {}},     // letters
        {"12cm", {}},    // trailing unit
        {"", {}},        // nothing typed
        {"0", {}},       // no picture at all
        {"-5", {}},      // negative widths would give negative sizes
        {"0,01", {}},    // rounds to zero pixels
        {"1e9", {}},     // absurd width
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintSize::ValueOfWidthText(QString::fromUtf8(c.Text), german), c.Value)
            << c.Text;
    // Halves go to the even neighbour: 13 / 495 × 2.5 pixels lies at 2.5 exactly.
    EXPECT_EQ(PrintSize::ValueOfCentimetres(2.5 * 13.0 / 495.0), 2);
    EXPECT_EQ(PrintSize::ValueOfCentimetres(3.5 * 13.0 / 495.0), 4);
}

TEST(PrintSize, CommandLineSizes) {
    EXPECT_EQ(PrintSize::ValueOfArgument("9x13"), 495);
    EXPECT_EQ(PrintSize::ValueOfArgument("10X15"), 571);
    EXPECT_EQ(PrintSize::ValueOfArgument("13x18"), 686);
    EXPECT_EQ(PrintSize::ValueOfArgument("20"), 762);
    EXPECT_EQ(PrintSize::ValueOfArgument("12.5"), 476);
    EXPECT_EQ(PrintSize::ValueOfArgument("9x12"), std::nullopt);
    EXPECT_EQ(PrintSize::ValueOfArgument("zehn"), std::nullopt);
}

TEST(PrintSize, FittedKeepsProportionsOnTheLongerSide) {
    const struct {
        QSize Picture;
        int Value;
        QSize Expected;
    } cases[] = {
        {{1600, 1200}, 571, {571, 428}}, // landscape: 571 / 1.333 = 428.25
        {{1200, 1600}, 495, {371, 495}}, // portrait: 0.75 × 495 = 371.25
        {{800, 800}, 686, {686, 686}},   // square counts as landscape
        {{1000, 3}, 495, {495, 1}},      // a sliver keeps at least one pixel
        {{0, 100}, 495, {}},             // no picture, no size
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintSize::Fitted(c.Picture, c.Value), c.Expected) << c.Picture.width();
}

} // namespace
