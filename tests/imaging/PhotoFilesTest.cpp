#include "imaging/JpegMarkers.h"
#include "imaging/PictureFile.h"
#include "imaging/TRasterImage.h"
#include "shell/Execute.h"
#include "support/PhotoFixtures.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace Lumerix;

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fixture pictures, made once for all the tests here.
class PhotoFiles : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Folder = std::make_unique<QTemporaryDir>();
        Made = PhotoFixtures::Make(Folder->path());
    }
    static void TearDownTestSuite() { Folder.reset(); }
    void SetUp() override { ASSERT_TRUE(Made); }

    static QString Path(const QString& name) { return Folder->path() + u'/' + name; }
    static QString Oriented(int n) { return Path(QStringLiteral("orientation-%1.jpg").arg(n)); }

    static inline std::unique_ptr<QTemporaryDir> Folder;
    static inline bool Made = false;
    QTemporaryDir Work;
};

TEST_F(PhotoFiles, EveryOrientationLoadsUpright) {
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(JpegMarkers::Orientation(Read(Oriented(n))), TOrientation(n));
        EXPECT_EQ(TRasterImage::ReadSize(Oriented(n)), QSize(64, 48));
        QString why;
        TRasterImage full;
        full.Load(Oriented(n));
        EXPECT_EQ(full.SizeOf(), QSize(64, 48));
        EXPECT_TRUE(PhotoFixtures::ShowsScene(full.Bitmap(), {}, TOrientation::Upright, &why))
            << why.toStdString();
        // The check itself tells a mirror from the scene.
        EXPECT_FALSE(PhotoFixtures::ShowsScene(full.Bitmap(), {}, TOrientation::MirrorLeftRight));
        EXPECT_FALSE(PhotoFixtures::ShowsScene(full.Bitmap(), {}, TOrientation::Turn180));
        // The reduced decode takes and reports upright sizes too.
        TRasterImage reduced;
        QSize stored;
        reduced.LoadScaled(Oriented(n), QSize(30, 10), &stored);
        EXPECT_EQ(stored, QSize(64, 48));
        EXPECT_EQ(reduced.SizeOf(), QSize(32, 24));
        EXPECT_TRUE(PhotoFixtures::ShowsScene(reduced.Bitmap(), {}, TOrientation::Upright, &why))
            << why.toStdString();
    }
}

TEST_F(PhotoFiles, TurnsMoveBlocksAndKeepMetadata) {
    const TOrientation turns[] = {TOrientation::TurnRight, TOrientation::TurnLeft,
                                  TOrientation::Turn180, TOrientation::MirrorLeftRight,
                                  TOrientation::MirrorTopBottom};
    for (int n = 1; n <= 8; ++n) {
        const QByteArray source = Read(Oriented(n));
        for (const TOrientation turn : turns) {
            SCOPED_TRACE(testing::Message() << "orientation " << n << ", turn " << int(turn));
            const QByteArray turned = TRasterImage::TurnLossless(source, turn, Oriented(n));
            ASSERT_FALSE(turned.isEmpty());
            EXPECT_EQ(JpegMarkers::Orientation(turned), TOrientation::Upright);
            EXPECT_EQ(JpegMarkers::MetadataSegments(turned), JpegMarkers::MetadataSegments(source));
            TRasterImage image;
            image.LoadFromData(turned, Oriented(n));
            QString why;
            EXPECT_TRUE(PhotoFixtures::ShowsScene(image.Bitmap(), {}, turn, &why))
                << why.toStdString();
        }
    }
}

TEST_F(PhotoFiles, TurnIsWhatJpegtranGives) {
    // A plain quarter turn, and one that folds the stored orientation in (6 then right is a
    // half turn of the stored blocks); the reference gets its orientation reset by hand.
    const struct {
        int Stored;
        TOrientation Turn;
        const char* Jpegtran;
    } cases[] = {{1, TOrientation::TurnRight, "90"},
                 {6, TOrientation::TurnRight, "180"},
                 {8, TOrientation::MirrorLeftRight, "transverse"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stored);
        const QString reference = Work.filePath(QStringLiteral("reference.jpg"));
        QStringList arguments{QStringLiteral("-copy"), QStringLiteral("all")};
        if (QLatin1String(c.Jpegtran) == QLatin1String("transverse"))
            arguments << QStringLiteral("-transverse");
        else
            arguments << QStringLiteral("-rotate") << QString::fromLatin1(c.Jpegtran);
        arguments << QStringLiteral("-outfile") << reference << Oriented(c.Stored);
        ASSERT_EQ(QProcess::execute(QStringLiteral("jpegtran"), arguments), 0);
        QByteArray expected = Read(reference);
        JpegMarkers::SetOrientation(expected, TOrientation::Upright);
        EXPECT_EQ(TRasterImage::TurnLossless(Read(Oriented(c.Stored)), c.Turn, Oriented(c.Stored)),
                  expected);
    }
}

TEST_F(PhotoFiles, PartialBlocksAreNotTurnedLossless) {
    // 50 × 30 with 16 × 16 blocks: every turn would have to drop an edge.
    const QByteArray odd = TRasterImage(PhotoFixtures::Scene().scaled(50, 30)).EncodeJpeg();
    for (const TOrientation turn : {TOrientation::TurnRight, TOrientation::Turn180,
                                    TOrientation::MirrorLeftRight, TOrientation::MirrorTopBottom})
        EXPECT_TRUE(TRasterImage::TurnLossless(odd, turn, QStringLiteral("odd.jpg")).isEmpty());
}

TEST_F(PhotoFiles, WrittenBackPicturesAreUprightWithTheirMetadata) {
    const QString copy = Work.filePath(QStringLiteral("copy.jpg"));
    ASSERT_TRUE(QFile::copy(Oriented(6), copy));
    TRasterImage image;
    image.Load(copy);
    image.Sharpen(200);
    image.Replace(copy, 4);
    const QByteArray written = Read(copy);
    EXPECT_EQ(JpegMarkers::Orientation(written), TOrientation::Upright);
    EXPECT_EQ(JpegMarkers::MetadataSegments(written),
              JpegMarkers::MetadataSegments(Read(Oriented(6))));
    EXPECT_TRUE(written.contains("2023:07:14 18:30:05"));
    image.Load(copy);
    EXPECT_TRUE(PhotoFixtures::ShowsScene(image.Bitmap()));
}

TEST_F(PhotoFiles, OtherFormatsDecodeUpright) {
    for (const char* name :
         {"photo.heic", "transparent.png", "photo.webp", "photo.tif", "photo.bmp"}) {
        SCOPED_TRACE(name);
        const QString source = Path(QString::fromLatin1(name));
        const PictureFile::TDecoded decoded = PictureFile::Decode(source);
        ASSERT_EQ(decoded.Bitmap.size(), QSize(64, 48));
        QString why;
        // The transparent half comes out white: only the opaque left half shows the scene.
        const bool transparent = QLatin1String(name) == QLatin1String("transparent.png");
        if (transparent) {
            EXPECT_EQ(decoded.Bitmap.pixelColor(60, 40), QColor(Qt::white));
            EXPECT_EQ(decoded.Bitmap.pixelColor(20, 5), QColor(220, 30, 30));
        } else {
            EXPECT_TRUE(PhotoFixtures::ShowsScene(decoded.Bitmap, {}, TOrientation::Upright, &why))
                << why.toStdString();
        }

        // The slideshow's copy: JPEG, upright, with the EXIF the source had.
        const QString target = Work.filePath(QStringLiteral("copy.jpg"));
        PictureFile::Bring(source, target);
        const QByteArray copy = Read(target);
        EXPECT_EQ(PictureFile::FormatOf(copy), PictureFile::TFormat::Jpeg);
        TRasterImage image;
        image.Load(target);
        EXPECT_EQ(image.SizeOf(), QSize(64, 48));
        if (!transparent) {
            EXPECT_TRUE(PhotoFixtures::ShowsScene(image.Bitmap()));
        }
        EXPECT_EQ(copy.contains("2023:07:14 18:30:05"),
                  QLatin1String(name) == QLatin1String("photo.heic"));
    }
}

TEST_F(PhotoFiles, UnreadableFilesAreRefusedWithTheirCause) {
    const struct {
        const char* Name;
        const char* Cause;
    } cases[] = {{"not-a-picture.png", "not a picture file"}, {"missing.heic", "file not found"}};
    for (const auto& c : cases) {
        const QString target = Work.filePath(QStringLiteral("copy.jpg"));
        try {
            PictureFile::Bring(Path(QString::fromLatin1(c.Name)), target);
            ADD_FAILURE() << c.Name << " was brought in";
        } catch (const TImagingError& error) {
            EXPECT_EQ(error.Cause(), QString::fromLatin1(c.Cause));
            EXPECT_EQ(error.File(), Path(QString::fromLatin1(c.Name)));
        }
        EXPECT_FALSE(QFileInfo::exists(target)) << c.Name;
    }
    // A picture cut short inside its container is refused by the decoder, not taken as empty.
    const QString cut = Work.filePath(QStringLiteral("cut.heic"));
    QFile file(cut);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Read(Path(QStringLiteral("photo.heic"))).left(300));
    file.close();
    EXPECT_THROW(PictureFile::Decode(cut), TImagingError);
}

TEST_F(PhotoFiles, DamagedJpegLoadsWithItsWarning) {
    TRasterImage image;
    image.Load(Path(QStringLiteral("damaged.jpg")));
    EXPECT_EQ(image.SizeOf(), QSize(256, 192));
    EXPECT_TRUE(image.LoadWarning().contains(QLatin1String("Corrupt JPEG data")))
        << image.LoadWarning().toStdString();
    image.Load(Oriented(1));
    EXPECT_TRUE(image.LoadWarning().isEmpty());
}

} // namespace
