#include "document/TSlideshow.h"
#include "document/ui/TNewForm.h"
#include "document/ui/TOpenForm.h"
#include "document/ui/TPictureListView.h"
#include "document/ui/TPicturePage.h"
#include "imaging/TRasterImage.h"
#include "shell/TRunState.h"
#include "shell/ui/TMainForm.h"
#include "support/TMainFormTest.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

void WritePicture(const QString& path, int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(color);
    // A marked corner shows which way the picture is turned.
    for (int y = 0; y < height / 4; ++y)
        for (int x = 0; x < width / 4; ++x)
            image.setPixelColor(x, y, Qt::black);
    TRasterImage(image).Save(path);
}

class PicturePage : public TMainFormTest {
protected:
    void SetUp() override {
        TMainFormTest::SetUp();
        if (HasFatalFailure())
            return;
        Page = Form->PicturePage();
        Photos = QDir::cleanPath(Kit.Root() + "/photos") + "/";
        QDir().mkpath(Photos);
        WritePicture(Photos + "Anna.jpg", 160, 80, Qt::red);
        WritePicture(Photos + "Bert.jpg", 80, 160, Qt::green);
        WritePicture(Photos + "Clara.jpg", 120, 90, Qt::blue);
        WritePicture(Photos + "Dora.JPG", 90, 90, Qt::yellow);
    }

    void WaitForJob() {
        QSignalSpy finished(Page, &TPicturePage::JobFinished);
        if (Page->Busy()) {
            ASSERT_TRUE(finished.wait(10000));
        }
    }

    // Answers the modal title dialog with `title`.
    void NewShow(const QString& title) {
        QTimer::singleShot(0, [this, title] {
            auto* form = Find<TNewForm>(*Form, "NewForm");
            Find<QLineEdit>(*form, "TitleEdit")->setText(title);
            Find<QPushButton>(*form, "OKBitBtn")->click();
        });
        Find<QPushButton>(*Form, "NewBitBtn")->click();
    }

    void ChooseSourceFolder() {
        Prompter.Files.enqueue({Photos + "Anna.jpg"});
        Find<QPushButton>(*Page, "OpenBitBtn")->click();
        WaitForJob();
    }

    void SelectRows(QListView* view, const QList<int>& rows) {
        view->clearSelection();
        for (const int row : rows)
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::Select);
        if (!rows.isEmpty())
            view->selectionModel()->setCurrentIndex(view->model()->index(rows.first(), 0),
                                                    QItemSelectionModel::NoUpdate);
    }

    QStringList FileNames() const {
        QStringList names;
        const TPictureList& list = Form->Slideshow().Pictures();
        for (int i = 0; i < list.Count(); ++i)
            names.append(list.Parsed(i).FileName);
        return names;
    }

    QString PicturesIni() const {
        return QString::fromLatin1(
            TTestKit::ReadFile(State->WorkspaceDir + State->CurrentShow + "/Pictures.ini"));
    }

    TPicturePage* Page = nullptr;
    QString Photos;
};

TEST_F(PicturePage, AddReorderCaptionRotateUndoAndRemoveThroughTheWindow) {
    NewShow("Urlaub 2005");
    EXPECT_TRUE(Form->Pages()->isVisible());
    EXPECT_EQ(Form->windowTitle(), "Lumerix : Urlaub 2005");
    EXPECT_FALSE(QFileInfo::exists(State->WorkspaceDir + State->CurrentShow))
        << "nothing is written before the first picture";

    ChooseSourceFolder();
    EXPECT_EQ(State->SourceDir, Photos);
    auto* sources = Find<QListView>(*Page, "SourceListView");
    ASSERT_EQ(sources->model()->rowCount(), 4);
    EXPECT_EQ(Page->SourceEntries().Parsed(3).FileName, "Dora.JPG");

    // Add selected: the first and the third source picture.
    SelectRows(sources, {0, 2});
    Find<QToolButton>(*Page, "SpeedButton1")->click();
    WaitForJob();
    EXPECT_EQ(FileNames(), QStringList({"Anna.jpg", "Clara.jpg"}));
    EXPECT_EQ(PicturesIni(), "Anna.jpg\r\nClara.jpg\r\n");
    EXPECT_EQ(Find<QLabel>(*Page, "CountLabel")->text(), "Die Diashow enthält 2 Bild(er)");

    // Dropping two source pictures onto entry 1 puts them there in source order.
    auto* pictures = Find<TPictureListView>(*Page, "PictureListView");
    SelectRows(sources, {1, 3});
    emit pictures->DroppedFrom(sources, 1);
    WaitForJob();
    EXPECT_EQ(FileNames(), QStringList({"Anna.jpg", "Bert.jpg", "Dora.JPG", "Clara.jpg"}));

    // Reordering by drag: the first entry dropped onto the last one.
    emit pictures->MoveRequested(0, 3);
    EXPECT_EQ(FileNames(), QStringList({"Bert.jpg", "Dora.JPG", "Clara.jpg", "Anna.jpg"}));
    EXPECT_EQ(Page->SelectedRow(), 3);

    // Caption of the selected picture, limited to 58 characters.
    auto* caption = Find<QLineEdit>(*Page, "TextEdit");
    EXPECT_TRUE(caption->isEnabled());
    QTest::keyClicks(caption, "Am Strand > Abends");
    EXPECT_EQ(Form->Slideshow().Pictures().Parsed(3).Caption, "Am Strand > Abends");
    caption->clear();
    QTest::keyClicks(caption, QString(70, u'x'));
    EXPECT_EQ(Form->Slideshow().Pictures().Parsed(3).Caption.size(), 58);
    QTest::keyClicks(caption, QString());
    caption->selectAll();
    QTest::keyClicks(caption, "Abends");

    // Rotate right twice, then undo twice: the file is as it was.
    const QString anna = State->WorkspaceDir + State->CurrentShow + "/Anna.jpg";
    const QByteArray original = TTestKit::ReadFile(anna);
    auto* undo = Find<QPushButton>(*Page, "UndoBitBtn");
    EXPECT_FALSE(undo->isEnabled());
    // The turn runs as a job: the click returns at once, and the edits wait until it ends.
    auto* turnRight = Find<QToolButton>(*Page, "SpeedButton5");
    turnRight->click();
    EXPECT_TRUE(Page->Busy());
    EXPECT_FALSE(turnRight->isEnabled());
    EXPECT_FALSE(Find<QListView>(*Page, "PictureListView")->isEnabled());
    WaitForJob();
    EXPECT_TRUE(turnRight->isEnabled());
    EXPECT_EQ(TRasterImage::ReadSize(anna), QSize(80, 160));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(Form->Slideshow().Pictures().Parsed(3).ThumbnailPath,
              State->WorkspaceDir + State->CurrentShow + "/_THUMB_1Anna.jpg");
    turnRight->click();
    WaitForJob();
    EXPECT_EQ(TRasterImage::ReadSize(anna), QSize(160, 80));
    undo->click();
    EXPECT_EQ(TRasterImage::ReadSize(anna), QSize(80, 160));
    undo->click();
    EXPECT_EQ(TTestKit::ReadFile(anna), original);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(Page->SelectedRow(), 3);
    EXPECT_EQ(Form->Slideshow().Pictures().Parsed(3).Caption, "Abends");

    // Remove the selected picture: its copy goes, the list is saved in its new order.
    SelectRows(pictures, {1});
    Find<QToolButton>(*Page, "SpeedButton3")->click();
    EXPECT_EQ(FileNames(), QStringList({"Bert.jpg", "Clara.jpg", "Anna.jpg"}));
    EXPECT_FALSE(QFileInfo::exists(State->WorkspaceDir + State->CurrentShow + "/Dora.JPG"));
    EXPECT_EQ(PicturesIni(), "Bert.jpg\r\nClara.jpg\r\nAnna.jpg | Abends\r\n");
    EXPECT_EQ(Find<QLabel>(*Page, "CountLabel")->text(), "Die Diashow enthält 3 Bild(er)");
    EXPECT_TRUE(Prompter.OfKind(TScriptedPrompter::TKind::Error).isEmpty());
}

TEST_F(PicturePage, SourceFoldersOfTheProgramAreRefused) {
    NewShow("Test");
    Prompter.Files.enqueue({State->WorkspaceDir + "Diashow_0001/Bergsee.jpg"});
    Prompter.Files.enqueue({Photos + "Anna.jpg"});
    Find<QPushButton>(*Page, "OpenBitBtn")->click();
    WaitForJob();
    const QList<TScriptedPrompter::TMessage> messages =
        Prompter.OfKind(TScriptedPrompter::TKind::Information);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].Text, State->Text(10003));
    EXPECT_EQ(Page->SourceEntries().Count(), 4);
}

TEST_F(PicturePage, ButtonsWithoutASelectionExplainThemselves) {
    NewShow("Test");
    Find<QToolButton>(*Page, "SpeedButton2")->click(); // add all, nothing listed
    ChooseSourceFolder();
    Find<QToolButton>(*Page, "SpeedButton1")->click(); // add selected, none selected
    Find<QToolButton>(*Page, "SpeedButton2")->click(); // add all
    WaitForJob();
    Find<QListView>(*Page, "PictureListView")->clearSelection();
    Find<QToolButton>(*Page, "SpeedButton3")->click(); // remove selected, none selected
    QTest::keyClick(Find<QListView>(*Page, "SourceListView"), Qt::Key_Delete); // the same
    const QList<TScriptedPrompter::TMessage> messages =
        Prompter.OfKind(TScriptedPrompter::TKind::Information);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_EQ(messages[0].Text, State->Text(10005));
    EXPECT_EQ(messages[1].Text, State->Text(10004));
    EXPECT_EQ(messages[2].Text, State->Text(10006));
    EXPECT_EQ(messages[3].Text, State->Text(10006));
    EXPECT_EQ(Form->Slideshow().Pictures().Count(), 4);
    EXPECT_EQ(Find<QPushButton>(*Page, "HelpBitBtn")->text(), State->Text(602));

    // The Delete key in the picture list removes the selected picture, as "<" does.
    auto* pictures = Find<QListView>(*Page, "PictureListView");
    SelectRows(pictures, {0});
    QTest::keyClick(pictures, Qt::Key_Delete);
    EXPECT_EQ(Form->Slideshow().Pictures().Count(), 3);

    Prompter.Answers.enqueue(true);
    Find<QToolButton>(*Page, "SpeedButton4")->click(); // remove all
    EXPECT_EQ(Form->Slideshow().Pictures().Count(), 0);
    EXPECT_TRUE(
        QDir(State->WorkspaceDir + State->CurrentShow).entryList({"*.jpg"}, QDir::Files).isEmpty());
}

TEST_F(PicturePage, ExampleOpensAndDeleteResetsTheWindow) {
    Find<QPushButton>(*Form, "BeispielBitBtn")->click();
    WaitForJob();
    EXPECT_EQ(State->CurrentShow, "Diashow_0001");
    EXPECT_EQ(Form->windowTitle(), "Lumerix : Beispiel Diashow");
    EXPECT_EQ(Form->Slideshow().Pictures().Count(), 7);

    // Delete Diashow_0002 through the chooser.
    Prompter.Answers.enqueue(true);
    QTimer::singleShot(0, [this] {
        auto* chooser = Find<TOpenForm>(*Form, "OpenForm");
        auto* list = Find<QListWidget>(*chooser, "DiashowListBox");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(1)->text(), "Diashow_0002 Farben und Formen");
        list->setCurrentRow(1);
        Find<QPushButton>(*chooser, "OpenBitBtn")->click();
    });
    Find<QPushButton>(*Form, "Delete1BitBtn")->click();
    EXPECT_FALSE(QFileInfo::exists(State->WorkspaceDir + "Diashow_0002"));
    EXPECT_TRUE(QFileInfo::exists(State->WorkspaceDir + "Diashow_0001/Diashow.ini"));
    EXPECT_EQ(Form->Slideshow().Pictures().Count(), 0);
    EXPECT_EQ(State->ShowTitle, "");
    EXPECT_EQ(State->CurrentShow, "Diashow_0003") << "the template opens under a fresh name";
    EXPECT_EQ(Form->windowTitle(), "Lumerix : ");
}

// Adding many large pictures with ">>" keeps the window painting, with progress and Cancel
// shown: the jobs leave Qt's global pool, which the raster painter waits for, to the painter.
TEST_F(PicturePage, WindowKeepsPaintingWhileLargePicturesAreAdded) {
    NewShow("Groß");
    // One large, detailed picture (slow to decode), copied under many names.
    QImage large(1600, 1200, QImage::Format_RGB888);
    QRandomGenerator random(19);
    for (int y = 0; y < large.height(); ++y) {
        uchar* row = large.scanLine(y);
        for (int i = 0; i < large.width() * 3; ++i)
            row[i] = uchar((i / 3 + y) / 8 + random.bounded(48));
    }
    const QString big = Kit.Root() + "big.jpg";
    TRasterImage(large).Save(big);
    QDir(Photos).removeRecursively();
    QDir().mkpath(Photos);
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(QFile::copy(big, Photos + QString("Gross_%1.jpg").arg(i, 2, 10, QChar('0'))));
    ChooseSourceFolder();
    ASSERT_EQ(Page->SourceEntries().Count(), 40);

    auto* bar = Find<QProgressBar>(*Page, "ProgressBar");
    auto* cancel = Find<QPushButton>(*Page, "CancelButton");
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    int ticks = 0;
    bool barShown = false;
    bool cancelShown = false;
    QList<int> values;
    // Each tick paints the whole window, as an exposed window would.
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const QImage shot = Form->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        ++ticks;
        barShown = barShown || bar->isVisible();
        cancelShown = cancelShown || cancel->isVisible();
        if (values.isEmpty() || values.last() != bar->value())
            values.append(bar->value());
    });

    QSignalSpy finished(Page, &TPicturePage::JobFinished);
    clock.start();
    timer.start();
    Find<QToolButton>(*Page, "SpeedButton2")->click();
    ASSERT_TRUE(Page->Busy());
    ASSERT_TRUE(finished.wait(60000));
    timer.stop();
    const qint64 took = clock.elapsed();
    longestGap = std::max(longestGap, took - lastTick);

    EXPECT_EQ(Form->Slideshow().Pictures().Count(), 40);
    EXPECT_TRUE(barShown);
    EXPECT_TRUE(cancelShown);
    EXPECT_GE(values.size(), 3) << "the bar moves while the pictures are added";
    // Frozen, the window paints once before the import and once after it.
    EXPECT_GE(ticks, 3) << "the import took " << took << " ms";
    EXPECT_LT(longestGap, std::max<qint64>(250, took / 2))
        << "the window stood still; the import took " << took << " ms";
    EXPECT_FALSE(bar->isVisible());
}

} // namespace
