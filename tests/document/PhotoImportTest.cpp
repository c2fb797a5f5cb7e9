#include "document/TDocumentFixture.h"
#include "document/TThumbnailMaker.h"
#include "imaging/JpegMarkers.h"
#include "imaging/TRasterImage.h"
#include "printing/TAlbumReport.h"
#include "shell/TProgress.h"
#include "support/PhotoFixtures.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

// Phone and camera pictures taken through the real command-line tool, as a user would.
class PhotoImport : public testing::Test {
protected:
    void SetUp() override {
        Pictures = Kit.Root() + "pictures/";
        ProgramDir = Kit.Root() + "home/.local/share/lumerix/";
        Workspace = Kit.Root() + "home/Diashow/";
        ASSERT_TRUE(PhotoFixtures::Make(Pictures));
    }

    TTestKit::TCliRun Run(const QStringList& arguments) { return Kit.RunCli(arguments); }
    QString Picture(const QString& name) const { return Pictures + name; }
    QString ShowDir() const { return Workspace + Show + u'/'; }

    QStringList Names() {
        const TTestKit::TCliRun run = Run({"show", Show});
        QStringList names;
        for (const QString& line : run.Out.split(u'\n', Qt::SkipEmptyParts).mid(2))
            names.append(line.section(u'\t', 1, 1));
        return names;
    }

    static QImage Load(const QString& path) {
        TRasterImage image;
        image.Load(path);
        return image.Bitmap();
    }

    // The part of a video frame that is not its background (the colour of its corner).
    static QRect PictureArea(const QImage& frame) {
        const QRgb background = frame.pixel(0, 0);
        QRect area;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                if (frame.pixel(x, y) != background)
                    area |= QRect(x, y, 1, 1);
        return area;
    }

    TTestKit Kit;
    QString Pictures;
    QString ProgramDir;
    QString Workspace;
    QString Show;
};

TEST_F(PhotoImport, EveryPictureArrivesUprightEverywhere) {
    const TTestKit::TCliRun created =
        Run({"create", "Handy", Picture("orientation-6.jpg"), Picture("orientation-7.jpg"),
             Picture("photo.heic"), Picture("photo.webp"), Picture("photo.tif"),
             Picture("photo.bmp"), Picture("damaged.jpg")});
    ASSERT_EQ(created.ExitCode, 0) << created.Err.toStdString();
    Show = created.Out.trimmed().section(u'\n', -1);
    // The damaged bytes are named, and the picture is in.
    EXPECT_TRUE((created.Out + created.Err).contains("damaged.jpg: Corrupt JPEG data"))
        << created.Err.toStdString();
    const QStringList names = Names();
    EXPECT_EQ(names, QStringList({"orientation-6.jpg", "orientation-7.jpg", "photo.jpg",
                                  "photo_1.jpg", "photo_2.jpg", "photo_3.jpg", "damaged.jpg"}));
    const int upright = 6; // all but the damaged picture show the scene

    for (int i = 0; i < upright; ++i) {
        SCOPED_TRACE(names[i].toStdString());
        QString why;
        // The framed thumbnail: frame, band and mat take 11 pixels each side, the shadow 2;
        // the picture is fitted into that opening with its proportions kept.
        const QImage thumbnail = Load(ShowDir() + "_THUMB_" + names[i]);
        EXPECT_EQ(thumbnail.size(), QSize(93, 70));
        const QRect opening = thumbnail.rect().adjusted(11, 11, -13, -13);
        const QSize fitted = QSize(64, 48).scaled(opening.size(), Qt::KeepAspectRatio);
        const QRect inside(opening.center() - QPoint(fitted.width() / 2, fitted.height() / 2),
                           fitted);
        EXPECT_TRUE(PhotoFixtures::ShowsScene(thumbnail, inside, TOrientation::Upright, &why))
            << why.toStdString();
        // The slideshow holds JPEG only.
        EXPECT_EQ(TTestKit::ReadFile(ShowDir() + names[i]).left(2), QByteArray("\xFF\xD8"));
    }

    const QString frames = Kit.Root() + "frames";
    const TTestKit::TCliRun video = Run({"video-frames", Show, "--kind", "vcd", frames});
    ASSERT_EQ(video.ExitCode, 0) << video.Err.toStdString();
    for (int i = 0; i < upright; ++i) {
        const QImage frame(frames + QStringLiteral("/inp%1.bmp").arg(i + 1, 4, 10, QChar(u'0')));
        QString why;
        EXPECT_TRUE(
            PhotoFixtures::ShowsScene(frame, PictureArea(frame), TOrientation::Upright, &why))
            << "video frame " << i + 1 << ": " << why.toStdString();
    }

    const TTestKit::TCliRun gallery = Run({"gallery", Show, "--set", "ShapeVisible=FALSE"});
    ASSERT_EQ(gallery.ExitCode, 0) << gallery.Err.toStdString();
    for (const char* base : {"orientation_6", "orientation_7", "photo"}) {
        const QImage large = Load(ProgramDir + "gallery/" + base + ".jpg");
        EXPECT_GT(large.height(), large.width() / 2) << base;
        QString why;
        EXPECT_TRUE(PhotoFixtures::ShowsScene(large, {}, TOrientation::Upright, &why))
            << base << ": " << why.toStdString();
    }

    TSilentProgress progress;
    const std::optional<TAlbumReport> album =
        TAlbumReport::Prepare(ShowDir(), "Handy", names, names, TAlbumOptions{}, progress);
    ASSERT_TRUE(album.has_value());
    for (int i = 0; i < upright; ++i) {
        QString why;
        EXPECT_TRUE(PhotoFixtures::ShowsScene(Load(album->Entries()[i].CopyPath), {},
                                              TOrientation::Upright, &why))
            << "album " << names[i].toStdString() << ": " << why.toStdString();
    }
}

TEST_F(PhotoImport, UnreadablePicturesAreRefusedAndNothingIsAdded) {
    const TTestKit::TCliRun created = Run({"create", "Handy", Picture("orientation-1.jpg")});
    ASSERT_EQ(created.ExitCode, 0) << created.Err.toStdString();
    Show = created.Out.trimmed().section(u'\n', -1);
    const QStringList before = QDir(ShowDir()).entryList(QDir::Files);

    for (const QString& bad : {Picture("not-a-picture.png"), Kit.Root() + "cut.jpg"}) {
        if (bad.endsWith("cut.jpg"))
            TTestKit::WriteFile(bad, TTestKit::ReadFile(Picture("damaged.jpg")).left(2000));
        const TTestKit::TCliRun added = Run({"add-pictures", Show, bad});
        EXPECT_NE(added.ExitCode, 0);
        const QString said = added.Out + added.Err;
        EXPECT_TRUE(
            said.contains(bad + ": " + (bad.endsWith(".png") ? "not a picture file" : "truncated")))
            << said.toStdString();
        EXPECT_EQ(Names(), QStringList{"orientation-1.jpg"});
        EXPECT_EQ(QDir(ShowDir()).entryList(QDir::Files), before);
    }
}

TEST_F(PhotoImport, DateTakenAndPositionSurviveTurnsAndEffects) {
    const TTestKit::TCliRun created = Run({"create", "Handy", Picture("orientation-6.jpg"),
                                           Picture("orientation-8.jpg"), Picture("photo.heic")});
    ASSERT_EQ(created.ExitCode, 0) << created.Err.toStdString();
    Show = created.Out.trimmed().section(u'\n', -1);
    const QStringList names = Names();
    const QByteArray exif =
        JpegMarkers::MetadataSegments(TTestKit::ReadFile(Picture("orientation-6.jpg")));

    const struct {
        QStringList Arguments;
        int Index;
        TOrientation Turn; // how the scene looks afterwards
    } steps[] = {
        {{"rotate", "1", "90"}, 0, TOrientation::TurnRight},
        {{"effect", "1", "Mosaic", "--amount", "2"}, 0, TOrientation::TurnRight},
        {{"rotate", "2", "FlipV"}, 1, TOrientation::MirrorLeftRight},
        {{"adjust", "3", "--brightness", "10"}, 2, TOrientation::Upright},
        {{"rotate", "3", "-90"}, 2, TOrientation::TurnLeft},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Arguments.join(u' ').toStdString());
        QStringList arguments = step.Arguments;
        arguments.insert(1, Show);
        const TTestKit::TCliRun run = Run(arguments);
        ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        const QByteArray bytes = TTestKit::ReadFile(ShowDir() + names[step.Index]);
        EXPECT_EQ(JpegMarkers::Orientation(bytes), TOrientation::Upright);
        EXPECT_EQ(JpegMarkers::DateTaken(bytes), "2023:07:14 18:30:05");
        if (step.Index < 2) {
            EXPECT_EQ(JpegMarkers::MetadataSegments(bytes), exif);
        } else { // the position: latitude 48° 8' N, as the HEIC had it
            EXPECT_TRUE(bytes.contains(QByteArray::fromHex("300000000100000008000000")));
        }
        QString why;
        EXPECT_TRUE(
            PhotoFixtures::ShowsScene(Load(ShowDir() + names[step.Index]), {}, step.Turn, &why))
            << why.toStdString();
        // A turn makes the thumbnail from the picture as it was, turned alike: it must be the
        // thumbnail of the picture as it is now.
        const QImage thumbnail = Load(Thumbnails::ShowThumbnailPath(ShowDir() + names[step.Index]));
        const QImage expected = Thumbnails::Framed(ShowDir() + names[step.Index]);
        ASSERT_EQ(thumbnail.size(), expected.size());
        // On average a right one differs by 3.7 to 5 levels a channel, one left unturned by 9.5
        // to 15.
        EXPECT_LT(DocumentTesting::MeanDifference(thumbnail, expected), 7.0);
    }
}

TEST_F(PhotoImport, PartialBlocksAreReencodedWithTheirMetadata) {
    // 60 × 45 stored, Orientation 6: no turn can move whole blocks, so it is re-encoded.
    const QByteArray phone = TTestKit::ReadFile(Picture("orientation-6.jpg"));
    QByteArray odd =
        JpegMarkers::WithMetadata(TRasterImage(PhotoFixtures::Scene().scaled(60, 45)).EncodeJpeg(),
                                  JpegMarkers::MetadataSegments(phone));
    ASSERT_TRUE(JpegMarkers::SetOrientation(odd, TOrientation::TurnRight));
    TTestKit::WriteFile(Picture("odd.jpg"), odd);
    const TTestKit::TCliRun created = Run({"create", "Handy", Picture("odd.jpg")});
    ASSERT_EQ(created.ExitCode, 0) << created.Err.toStdString();
    Show = created.Out.trimmed().section(u'\n', -1);

    const TTestKit::TCliRun run = Run({"rotate", Show, "1", "90"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QByteArray bytes = TTestKit::ReadFile(ShowDir() + "odd.jpg");
    EXPECT_EQ(JpegMarkers::Orientation(bytes), TOrientation::Upright);
    EXPECT_EQ(JpegMarkers::MetadataSegments(bytes), JpegMarkers::MetadataSegments(phone));
    // Seen upright it was 45 × 60 with its top on the right; turned right it lies on its top.
    EXPECT_EQ(Load(ShowDir() + "odd.jpg").size(), QSize(60, 45));
    EXPECT_TRUE(PhotoFixtures::ShowsScene(Load(ShowDir() + "odd.jpg"), {}, TOrientation::Turn180));
}

TEST_F(PhotoImport, SourceListShowsEveryFormatAndSortsByDateTaken) {
    // Three pictures taken in the opposite order of their names.
    const QString folder = Kit.Root() + "card/";
    QDir().mkpath(folder);
    const char* const dates[] = {"2023:07:14 18:30:07", "2023:07:14 18:30:06",
                                 "2023:07:14 18:30:05"};
    for (int i = 0; i < 3; ++i) {
        QByteArray bytes = TTestKit::ReadFile(Picture("orientation-1.jpg"));
        bytes.replace("2023:07:14 18:30:05", dates[i]);
        TTestKit::WriteFile(folder + QStringLiteral("IMG_%1.jpg").arg(i + 1), bytes);
    }
    QFile::copy(Picture("photo.heic"), folder + "IMG_4.HEIC");
    QFile::copy(Picture("photo.webp"), folder + "IMG_5.webp");
    TTestKit::WriteFile(folder + "notes.txt", "x");

    auto listed = [&](const QStringList& extra) {
        const TTestKit::TCliRun run = Run(QStringList{"thumbnails", folder} + extra);
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        QStringList names;
        for (const QString& line : run.Out.split(u'\n', Qt::SkipEmptyParts))
            names.append(line.section(u'>', -1).trimmed());
        return names;
    };
    EXPECT_EQ(listed({}),
              QStringList({"IMG_1.jpg", "IMG_2.jpg", "IMG_3.jpg", "IMG_4.HEIC", "IMG_5.webp"}));
    const QStringList byDate = listed({"--by-date"});
    ASSERT_EQ(byDate.size(), 5);
    EXPECT_EQ(byDate.mid(0, 3), QStringList({"IMG_3.jpg", "IMG_2.jpg", "IMG_1.jpg"}));
}

// FFmpeg, libcurl, SANE and libheif bring over a hundred libraries, and loading them was most
// of a start. The plain commands load none of them and a HEIF picture only its decoder; the
// help text comes from the program that holds every command. The dynamic loader names each
// library it loads.
TEST_F(PhotoImport, PlainCommandsLoadNoneOfTheLargeLibraries) {
    const QRegularExpression large(
        QStringLiteral(R"(file=(?:\S*/)?(libav\w+|libsw\w+|libcurl[-\w]*|libsane|libheif)\.so)"));
    auto loads = [&](const QStringList& arguments, TTestKit::TCliRun* run = nullptr) {
        const TTestKit::TCliRun done = Kit.RunCli(arguments, {"LD_DEBUG=files"});
        EXPECT_EQ(done.ExitCode, 0) << arguments.join(u' ').toStdString();
        QStringList names;
        for (const QRegularExpressionMatch& match : large.globalMatch(done.Err))
            names.append(match.captured(1));
        names.removeDuplicates();
        if (run)
            *run = done;
        return names;
    };
    const TTestKit::TCliRun created = Run({"create", "Handy", Picture("orientation-6.jpg")});
    ASSERT_EQ(created.ExitCode, 0) << created.Err.toStdString();
    Show = created.Out.trimmed().section(u'\n', -1);
    const struct {
        QStringList Arguments;
        QStringList Loaded;
    } cases[] = {
        {{"paths"}, {}},
        {{"create", "Plain", Picture("orientation-7.jpg")}, {}},
        {{"rotate", Show, "1", "90"}, {}},
        {{"caption", Show, "1", "Am Meer"}, {}},
        {{"show", Show}, {}},
        {{"settings"}, {}},
        {{"prefs"}, {}},
        {{"add-pictures", Show, Picture("photo.heic")}, {"libheif"}},
    };
    for (const auto& [arguments, loaded] : cases)
        EXPECT_EQ(loads(arguments), loaded) << arguments.first().toStdString();
    EXPECT_EQ(Names(), QStringList({"orientation-6.jpg", "photo.jpg"}));

    TTestKit::TCliRun help;
    EXPECT_TRUE(loads({"--help"}, &help).contains("libavcodec"));
    for (const char* command : {"paths", "rotate", "scan", "upload", "video", "print"})
        EXPECT_TRUE(help.Out.contains(QRegularExpression(QStringLiteral("\n  %1\\s").arg(command))))
            << command;
}

} // namespace
