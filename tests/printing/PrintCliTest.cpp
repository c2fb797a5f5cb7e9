#include "TPrintFixture.h"

#include <QFileInfo>

using namespace Lumerix;
using namespace Lumerix::PrintTesting;

namespace {

// The real command-line tool on a slideshow of three pictures, the first with a caption.
class PrintCli : public testing::Test {
protected:
    void SetUp() override {
        QStringList arguments{"create", "Küste"};
        const std::pair<QSize, QColor> pictures[] = {
            {{1600, 1200}, Qt::red}, {{1200, 1600}, Qt::blue}, {{800, 600}, Qt::green}};
        int n = 0;
        for (const auto& [size, colour] : pictures)
            arguments.append(
                SolidJpeg(Kit.Root() + QStringLiteral("pictures/P%1.jpg").arg(++n), size, colour));
        const TTestKit::TCliRun created = Kit.RunCli(arguments);
        ASSERT_EQ(created.ExitCode, 0) << created.Err.toStdString();
        Show = created.Out.trimmed();
        ASSERT_EQ(Kit.RunCli({"caption", Show, "1", "Abendrot"}).ExitCode, 0);
        ShowDir = Kit.Root() + "home/Diashow/" + Show + "/";
    }

    TTestKit Kit;
    QString Show;
    QString ShowDir;
};

TEST_F(PrintCli, WritesTheChosenPicturesAsPdfAndLeavesNoCopies) {
    ASSERT_TRUE(QFileInfo(ShowDir).isDir()) << ShowDir.toStdString();
    const QString pdf = Kit.Root() + "album.pdf";
    TTestKit::TCliRun run = Kit.RunCli({"print", Show, "--pdf", pdf});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, pdf + "\npages=2\n");
    EXPECT_EQ(PdfPageCount(pdf), 2);
    EXPECT_TRUE(QDir(ShowDir).entryList({"_PRINT_*"}, QDir::Files).isEmpty());

    // Pictures 3 and 1 at 13 x 18 with captions: list order, one band per page.
    run = Kit.RunCli(
        {"print", Show, "--pdf", pdf, "--pictures", "3,1", "--size", "13x18", "--captions"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(PdfPageCount(pdf), 2);
    QTemporaryDir scratch;
    const QImage first = PdfPage(pdf, 1, scratch.path());
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(Near(first.pixelColor(60, 110), Qt::red)); // picture 1 comes first
    EXPECT_TRUE(HasInk(first, QRect(56, 88, 200, 18)));    // with its caption
    const QImage second = PdfPage(pdf, 2, scratch.path());
    EXPECT_TRUE(Near(second.pixelColor(60, 70), Qt::green));
    EXPECT_FALSE(HasInk(second, QRect(56, 48, 200, 18))); // picture 3 has no caption

    run = Kit.RunCli({"print", Show, "--pdf", pdf, "--size", "20"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, pdf + "\npages=3\n"); // shrunk to the column, one band per page
}

TEST_F(PrintCli, RefusesWrongUse) {
    const QString pdf = Kit.Root() + "album.pdf";
    const QList<QStringList> wrong = {
        {"print", Show},                                      // no --pdf
        {"print", Show, "--pdf", pdf, "--size", "Postkarte"}, // unknown size
        {"print", Show, "--pdf", pdf, "--pictures", "4"},     // beyond the list
        {"print", Show, "--pdf", pdf, "--pictures", ","},     // no numbers
        {"print", "Diashow_9999", "--pdf", pdf},              // no such slideshow
        {"print", Show, "--pdf", Kit.Root() + "gibtsnicht/album.pdf"},
    };
    for (const QStringList& arguments : wrong) {
        const TTestKit::TCliRun run = Kit.RunCli(arguments);
        EXPECT_NE(run.ExitCode, 0) << arguments.join(' ').toStdString();
        EXPECT_FALSE(run.Err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_TRUE(QDir(ShowDir).entryList({"_PRINT_*"}, QDir::Files).isEmpty());
}

} // namespace
