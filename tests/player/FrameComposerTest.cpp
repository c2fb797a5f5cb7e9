#include "TPlayerFixture.h"
#include "player/TFrameComposer.h"
#include "player/TPlayerShow.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::PlayerTesting;

namespace {

TPlayerSettings Look(bool caption, bool fileName, int offset = 0) {
    TPlayerSettings settings;
    settings.BackgroundColor = 0x000080; // dark red
    settings.TextColor = 0xFFFFFF;
    settings.PictureTextVisible = caption;
    settings.FileNameVisible = fileName;
    settings.TextOffset = offset;
    return settings;
}

// Rows of `image` from `top` to `bottom` (exclusive) that hold a pixel other than `colour`.
int RowsDiffering(const QImage& image, int top, int bottom, QColor colour) {
    int rows = 0;
    for (int y = std::max(0, top); y < std::min(image.height(), bottom); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!Near(image.pixelColor(x, y), colour, 8)) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

TEST(FrameComposer, FitsPicturesKeepingTheirProportions) {
    const TFrameComposer composer(Look(false, false), QSize(1280, 720));
    EXPECT_EQ(composer.PictureArea(), QRect(0, 0, 1280, 720)) << "no texts: the whole screen";
    EXPECT_EQ(composer.FitSize(QSize(1024, 768)), QSize(960, 720));
    EXPECT_EQ(composer.FitSize(QSize(4000, 1000)), QSize(1280, 320));
    EXPECT_EQ(composer.FitSize(QSize(64, 48)), QSize(960, 720)) << "small pictures grow";
    EXPECT_EQ(composer.FitSize(QSize()), QSize(1, 1));

    const TFrameComposer withText(Look(true, true), QSize(1280, 720));
    EXPECT_LT(withText.PictureArea().height(), 720);
    EXPECT_EQ(withText.PictureArea().width(), 1280);
}

TEST(FrameComposer, PictureOnTheBackgroundWithCaptionAndFileNameBelow) {
    const TFrameComposer composer(Look(true, true), QSize(400, 300));
    QImage picture(QSize(40, 30), QImage::Format_BGR888);
    picture.fill(Qt::green);
    const TFrame frame =
        composer.Compose(picture, QStringLiteral("Am Strand"), QStringLiteral("Strand.jpg"));
    ASSERT_TRUE(frame.Ok);
    EXPECT_EQ(frame.Image.size(), QSize(400, 300));
    EXPECT_EQ(frame.Caption, "Am Strand");
    EXPECT_EQ(frame.FileName, "Strand.jpg");
    const QRect area = composer.PictureArea();
    EXPECT_TRUE(Near(frame.Image.pixelColor(area.center()), Qt::green, 4));
    EXPECT_TRUE(Near(frame.Image.pixelColor(0, 0), QColor(128, 0, 0), 4)) << "bars at the sides";
    EXPECT_GT(RowsDiffering(frame.Image, area.bottom() + 1, 300, QColor(128, 0, 0)), 5)
        << "text drawn below the picture";
}

TEST(FrameComposer, TextsOnlyWhenSwitchedOnAndNeverOverThePicture) {
    QImage picture(QSize(400, 300), QImage::Format_BGR888);
    picture.fill(Qt::green);
    const struct {
        bool Caption;
        bool FileName;
    } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& row : cases) {
        const TFrameComposer composer(Look(row.Caption, row.FileName), QSize(400, 300));
        const TFrame frame =
            composer.Compose(picture, QStringLiteral("Caption"), QStringLiteral("file.jpg"));
        EXPECT_EQ(frame.Caption.isEmpty(), !row.Caption);
        EXPECT_EQ(frame.FileName.isEmpty(), !row.FileName);
        const QRect area = composer.PictureArea();
        const int textRows = RowsDiffering(frame.Image, area.bottom() + 1, 300, QColor(128, 0, 0));
        EXPECT_EQ(textRows > 0, row.Caption || row.FileName) << row.Caption << row.FileName;
        const QRect fitted(QPoint(area.center().x() - 10, area.top()), QSize(20, area.height()));
        EXPECT_EQ(RowsDiffering(frame.Image.copy(fitted), 0, fitted.height(), Qt::green), 0)
            << "the picture stays whole";
    }
}

TEST(FrameComposer, TextOffsetLiftsTheText) {
    QImage picture(QSize(40, 30), QImage::Format_BGR888);
    picture.fill(Qt::green);
    const QColor background(128, 0, 0);
    for (const int offset : {0, 60}) {
        const TFrameComposer composer(Look(true, false, offset), QSize(400, 300));
        const TFrame frame = composer.Compose(picture, QStringLiteral("Hoch"), QString());
        const int margin = offset > 0 ? offset : 300 - composer.TextBottom();
        EXPECT_EQ(RowsDiffering(frame.Image, 300 - margin, 300, background), 0) << offset;
        EXPECT_GT(RowsDiffering(frame.Image, 300 - margin - 20, 300 - margin, background), 0)
            << offset;
    }
}

TEST(FrameComposer, TextKeepsTheUsersColourAndGainsAnOutlineOnlyWhenClose) {
    const struct {
        const char* Trap;
        quint32 Background, Text;
        bool Outlined;
    } cases[] = {
        {"white on dark red", 0x000080, 0xFFFFFF, false},
        {"the background's own colour", 0x000080, 0x000080, true},
        {"light grey on white", 0xFFFFFF, 0xE0E0E0, true},
        {"black on near black", 0x101010, 0x000000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Trap);
        TPlayerSettings settings = Look(true, false);
        settings.BackgroundColor = c.Background;
        settings.TextColor = c.Text;
        const TFrameComposer composer(settings, QSize(800, 600));
        EXPECT_EQ(composer.TextColor(), settings.Foreground()) << "the user's colour";
        const QColor outline = composer.OutlineColor();
        EXPECT_EQ(outline.isValid(), c.Outlined);
        if (!outline.isValid())
            continue;
        const QColor back = settings.Background();
        EXPECT_GE(std::abs(qGray(outline.rgb()) - qGray(back.rgb())), 60);
        // The caption shows: the outline's colour is in the text band.
        const QImage frame = composer.Compose(QImage(), QStringLiteral("Strand"), QString()).Image;
        int outlined = 0;
        for (int y = composer.PictureArea().bottom(); y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                outlined += Near(frame.pixelColor(x, y), outline, 8);
        EXPECT_GT(outlined, 20);
    }
}

TEST(FrameComposer, LongCaptionsAreCutToTheScreen) {
    const TFrameComposer composer(Look(true, false), QSize(200, 150));
    const TFrame frame = composer.Compose(QImage(), QString(300, u'W'), QString());
    EXPECT_LT(frame.Caption.size(), 300);
    EXPECT_TRUE(frame.Caption.endsWith(QChar(0x2026)));
}

TEST(FrameComposer, DecodesLargePicturesReducedToTheScreen) {
    TPlayerFolder folder;
    const QString path = folder.Path(QStringLiteral("big.jpg"));
    WriteJpeg(path, Qt::blue, QSize(1600, 1200));
    const TFrameComposer composer(Look(false, false), QSize(400, 300));
    EXPECT_EQ(TFrameComposer::Decode(path, QSize(400, 300)).size(), QSize(400, 300));
    const TFrame frame = composer.ComposePicture({path, QStringLiteral("big.jpg"), QString()});
    ASSERT_TRUE(frame.Ok);
    EXPECT_TRUE(Near(frame.Image.pixelColor(200, 150), Qt::blue));
    EXPECT_TRUE(Near(frame.Image.pixelColor(1, 1), Qt::blue)) << "same proportions: no bars";
}

TEST(FrameComposer, UnreadablePicturesFailWithoutThrowing) {
    TPlayerFolder folder;
    const QString good = folder.Path(QStringLiteral("good.jpg"));
    WriteJpeg(good, Qt::blue);
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    folder.Write(QStringLiteral("truncated_after_header.jpg"), bytes.left(200));
    folder.Write(QStringLiteral("not_a_jpeg.jpg"), "GIF89a this is something else");
    folder.Write(QStringLiteral("empty.jpg"), QByteArray());
    const TFrameComposer composer(Look(true, true), QSize(320, 240));
    for (const char* name :
         {"truncated_after_header.jpg", "not_a_jpeg.jpg", "empty.jpg", "missing.jpg"}) {
        const QString path = folder.Path(QString::fromLatin1(name));
        const TFrame frame = composer.ComposePicture({path, QString::fromLatin1(name), QString()});
        if (!frame.Ok) {
            EXPECT_TRUE(frame.Image.isNull()) << name;
            EXPECT_FALSE(frame.Error.isEmpty()) << name;
        } else {
            EXPECT_EQ(frame.Image.size(), QSize(320, 240)) << name;
        }
        EXPECT_TRUE(composer.Poster(path).isNull() ||
                    composer.Poster(path).size() == QSize(320, 240));
    }
    EXPECT_FALSE(composer.ComposePicture({folder.Path(QStringLiteral("missing.jpg")), {}, {}}).Ok);
}

} // namespace
