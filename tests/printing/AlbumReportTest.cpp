#include "TPrintFixture.h"

#include "printing/TAlbumReport.h"

#include <QFileInfo>
#include <QTemporaryDir>

using namespace Lumerix;
using namespace Lumerix::PrintTesting;

namespace {

class AlbumReport : public TPrintTest {
protected:
    std::optional<TAlbumReport> Prepare(const TAlbumOptions& options,
                                        const QStringList& lines = {}) {
        TSilentProgress progress;
        return TAlbumReport::Prepare(Show->ShowDir(), State->ShowTitle,
                                     lines.isEmpty() ? Show->Pictures().Entries() : lines,
                                     FileNames(), options, progress);
    }
    QStringList CopiesOnDisk() const {
        return QDir(Show->ShowDir()).entryList({"_PRINT_*"}, QDir::Files);
    }
};

TEST_F(AlbumReport, CopiesAreResizedToThePrintSizeAndDeletedAgain) {
    ASSERT_TRUE(AddPictures({{{1600, 1200}, Qt::red}, {{1200, 1600}, Qt::blue}}));
    Show->SetCaption(0, "Strand am Abend");
    const std::optional<TAlbumReport> report = Prepare({571, true});
    ASSERT_TRUE(report);
    ASSERT_EQ(report->Entries().size(), 2);
    const TAlbumEntry& landscape = report->Entries()[0];
    EXPECT_EQ(landscape.Printed, QSize(571, 428));
    EXPECT_EQ(landscape.Caption, "Strand am Abend");
    EXPECT_EQ(QFileInfo(landscape.CopyPath).fileName(), "_PRINT_Bild1.jpg");
    EXPECT_EQ(TRasterImage::ReadSize(landscape.CopyPath), QSize(571, 428));
    EXPECT_EQ(report->Entries()[1].Printed, QSize(428, 571));
    EXPECT_EQ(report->Pages().size(), 2); // 458 + 601 pixels do not fit below the title
    EXPECT_EQ(CopiesOnDisk(), QStringList({"_PRINT_Bild1.jpg", "_PRINT_Bild2.jpg"}));

    EXPECT_EQ(TAlbumReport::DeletePrintCopies(Show->ShowDir(), FileNames()), 2);
    EXPECT_TRUE(CopiesOnDisk().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(Show->PicturePath(0)));

    // With the caption switch off no caption is printed, though the entry has one.
    const std::optional<TAlbumReport> plain = Prepare({495, false});
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->Entries()[0].Caption.isEmpty());
    EXPECT_EQ(plain->Entries()[1].Printed, QSize(371, 495));
}

TEST_F(AlbumReport, PicturesNamedLikeCopiesAreNeverOverwrittenOrDeleted) {
    ASSERT_TRUE(AddPictures({{{400, 300}, Qt::red}}));
    const QString source = Kit.Root() + "pictures/_PRINT_Bild1.jpg";
    SolidJpeg(source, {300, 400}, Qt::blue);
    TSilentProgress progress;
    ASSERT_TRUE(Show->AddPictures({source}, -1, progress));
    ASSERT_EQ(FileNames(), QStringList({"Bild1.jpg", "_PRINT_Bild1.jpg"}));
    // Leftovers of an earlier print, and a picture that merely contains the word.
    const QString folder = Show->ShowDir();
    SolidJpeg(folder + "_print_Alt.jpg", {10, 10}, Qt::gray);
    SolidJpeg(folder + "Mein_PRINT_Foto.jpg", {10, 10}, Qt::gray);

    const std::optional<TAlbumReport> report = Prepare({495, false});
    ASSERT_TRUE(report);
    EXPECT_EQ(QFileInfo(report->Entries()[0].CopyPath).fileName(), "_PRINT_1_Bild1.jpg");
    EXPECT_EQ(TRasterImage::ReadSize(folder + "_PRINT_Bild1.jpg"), QSize(300, 400));

    TAlbumReport::DeletePrintCopies(folder, FileNames());
    EXPECT_TRUE(QFileInfo::exists(folder + "_PRINT_Bild1.jpg"));
    EXPECT_TRUE(QFileInfo::exists(folder + "Mein_PRINT_Foto.jpg"));
    EXPECT_FALSE(QFileInfo::exists(folder + "_PRINT_1_Bild1.jpg"));
    EXPECT_FALSE(QFileInfo::exists(folder + "_PRINT_1__PRINT_Bild1.jpg"));
    EXPECT_FALSE(QFileInfo::exists(folder + "_print_Alt.jpg"));
}

TEST_F(AlbumReport, UnreadableOrForeignPicturesFailAndCancelStops) {
    ASSERT_TRUE(AddPictures({{{400, 300}, Qt::red}}));
    // Lines from "Print.txt" may name anything; only pictures inside the folder are read.
    EXPECT_THROW(Prepare({495, false}, {"../../Generator.ini"}), TImagingError);
    EXPECT_THROW(Prepare({495, false}, {"Fehlt.jpg | weg"}), TImagingError);
    TAlbumReport::DeletePrintCopies(Show->ShowDir(), FileNames());

    TSilentProgress cancelled;
    cancelled.Cancel();
    EXPECT_FALSE(TAlbumReport::Prepare(Show->ShowDir(), "T", Show->Pictures().Entries(),
                                       FileNames(), {495, false}, cancelled));
}

TEST_F(AlbumReport, PdfPagesShowEachBandWhereTheLayoutPutsIt) {
    ASSERT_TRUE(AddPictures(
        {{{1600, 1200}, Qt::red}, {{1200, 1600}, Qt::blue}, {{1600, 1200}, Qt::green}}));
    Show->SetCaption(0, "Rot");
    const std::optional<TAlbumReport> report = Prepare({495, true});
    ASSERT_TRUE(report);
    QTemporaryDir scratch;
    const QString pdf = scratch.filePath("album.pdf");
    QString error;
    ASSERT_TRUE(report->WritePdf(pdf, &error)) << error.toStdString();
    ASSERT_EQ(PdfPageCount(pdf), 2);
    ASSERT_EQ(report->PageCount(), 2);

    const QPoint origin = AlbumLayout::PageLayout().paintRectPixels(96).topLeft();
    EXPECT_EQ(origin, QPoint(48, 48));
    const QColor colours[] = {Qt::red, Qt::blue, Qt::green};
    for (const TAlbumPage& page : report->Pages()) {
        const QImage image = PdfPage(pdf, page.Number, scratch.path());
        ASSERT_FALSE(image.isNull());
        EXPECT_NEAR(image.width(), 794, 1);
        EXPECT_TRUE(HasInk(image, page.Footer.translated(origin))) << "footer " << page.Number;
        EXPECT_EQ(HasInk(image, page.Title.translated(origin)), page.Number == 1);
        for (const TAlbumBand& band : page.Bands) {
            const QRect picture = band.Picture.translated(origin);
            const QColor colour = colours[band.Record];
            for (const QPoint inside : {picture.center(), picture.topLeft() + QPoint(2, 2),
                                        picture.bottomRight() - QPoint(2, 2)})
                EXPECT_TRUE(Near(image.pixelColor(inside), colour)) << band.Record;
            const QPoint right = picture.topRight() + QPoint(4, picture.height() / 2);
            EXPECT_TRUE(Near(image.pixelColor(right), Qt::white)) << band.Record;
            // The caption line is drawn only where there is a caption.
            EXPECT_EQ(HasInk(image, band.Caption.translated(origin)), band.Record == 0);
        }
    }
    // The first picture sits 8 pixels in from the margin, below the title and caption line.
    const QImage first = PdfPage(pdf, 1, scratch.path());
    EXPECT_TRUE(Near(first.pixelColor(57, 107), Qt::red));
    EXPECT_TRUE(Near(first.pixelColor(54, 104), Qt::white));
    EXPECT_TRUE(Near(first.pixelColor(56 + 493, 106 + 369), Qt::red));
    EXPECT_TRUE(Near(first.pixelColor(56 + 498, 106 + 369), Qt::white));
}

TEST_F(AlbumReport, PdfFailureLeavesAnEarlierFileAlone) {
    ASSERT_TRUE(AddPictures({{{400, 300}, Qt::red}}));
    const std::optional<TAlbumReport> report = Prepare({495, false});
    ASSERT_TRUE(report);
    QTemporaryDir scratch;
    const QString pdf = scratch.filePath("album.pdf");
    TTestKit::WriteFile(pdf, "earlier");
    QFile::remove(report->Entries()[0].CopyPath);
    QString error;
    EXPECT_FALSE(report->WritePdf(pdf, &error));
    EXPECT_TRUE(error.contains("_PRINT_Bild1.jpg")) << error.toStdString();
    EXPECT_EQ(TTestKit::ReadFile(pdf), "earlier");
    EXPECT_FALSE(report->WritePdf(scratch.filePath("missing/album.pdf"), &error));
}

} // namespace
