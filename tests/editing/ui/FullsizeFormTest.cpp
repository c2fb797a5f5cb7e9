#include "document/TSlideshow.h"
#include "document/ui/TPictureListView.h"
#include "document/ui/TPicturePage.h"
#include "editing/TEditingFixture.h"
#include "editing/ui/TFullsizeForm.h"
#include "editing/ui/TImageView.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/ui/TMainForm.h"
#include "support/TMainFormTest.h"
#include "support/TScriptedPrompter.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace Lumerix;
using namespace Lumerix::EditingTesting;

namespace {

class FullsizeForm : public TMainFormTest {
protected:
    void SetUp() override {
        TMainFormTest::SetUp();
        if (HasFatalFailure())
            return;
        Page = Form->PicturePage();
        TSlideshow& show = Form->Slideshow();
        show.NewShow("Zuschneiden");
        TSilentProgress progress;
        ASSERT_TRUE(
            show.AddPictures({WriteRamp(Kit.Root() + "photos/Anna.jpg", 640, 480)}, -1, progress));
        Page->ShowChanged();
        auto* list = Find<TPictureListView>(*Page, "PictureListView");
        list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                                QItemSelectionModel::ClearAndSelect);
        ASSERT_EQ(Page->SelectedRow(), 0);
        Picture = show.PicturePath(0);
        Before = Decode(Picture);

        Editor = std::make_unique<TFullsizeForm>(*State, show, Prompter, Form.get());
        Editor->resize(1100, 760);
        Editor->Prepare(0);
        Editor->show();
        View = Editor->View();
        View->SetSizeMode(TImageView::TSizeMode::Normal);
    }

    // Sends a mouse event at picture point `at` straight to the view.
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPoint screen = View->ToScreen(QRect(at, QSize(0, 0))).topLeft();
        QWidget* target = View->viewport();
        QMouseEvent event(type, QPointF(screen), target->mapToGlobal(QPointF(screen)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    void Press(QPoint at) { Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }
    void Release(QPoint at) { Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, {}); }
    void Hover(QPoint at) { Mouse(QEvent::MouseMove, at, Qt::NoButton, {}); }
    void Drag(QPoint from, QPoint to) {
        Press(from);
        Mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Release(to);
    }
    void Click(const char* name) { Find<QAbstractButton>(*Editor, name)->click(); }
    QPushButton* UndoButton() { return Find<QPushButton>(*Editor, "UndoBitBtn"); }

    TPicturePage* Page = nullptr;
    QString Picture;
    QImage Before;
    std::unique_ptr<TFullsizeForm> Editor;
    TImageView* View = nullptr;
};

TEST_F(FullsizeForm, OpensFromThePageButtonAndPreviewOnItsPicture) {
    Editor.reset();
    QSignalSpy previewed(Page, &TPicturePage::PreviewLoaded);
    ASSERT_TRUE(previewed.wait(3000));
    auto* preview = Find<QLabel>(*Page, "LEADImage2");
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"button",
         [&] {
             Find<QPushButton>(*Page, "BildbearbeitungBitBtn")->click();
         }},
        {"preview",
         [&] {
             QTest::mouseClick(preview, Qt::LeftButton);
         }},
    };
    for (const auto& [way, open] : ways) {
        SCOPED_TRACE(way);
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* editor = qobject_cast<TFullsizeForm*>(QApplication::activeModalWidget());
            if (editor == nullptr)
                return;
            poll.stop();
            seen = true;
            EXPECT_EQ(editor->windowTitle(), State->Caption());
            EXPECT_TRUE(editor->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            EXPECT_EQ(editor->Marking().Picture().SizeOf(), QSize(640, 480));
            EXPECT_EQ(Find<QPushButton>(*editor, "ZuschneidenBitBtn")->text(), State->Text(3004));
            EXPECT_EQ(Find<QToolButton>(*editor, "LinksSpeedButton")->toolTip(), State->Text(603));
            EXPECT_FALSE(Find<QPushButton>(*editor, "UndoBitBtn")->isEnabled());
            Find<QPushButton>(*editor, "CloseBitBtn")->click();
        });
        poll.start();
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        guard.start(5000);
        open();
        EXPECT_TRUE(seen);
    }
    EXPECT_EQ(Page->findChildren<TFullsizeForm*>().size(), 1) << "one editor for the run";
}

TEST_F(FullsizeForm, CropKeepsTheMarkedRectangleAndUndoBringsThePictureBack) {
    Drag({100, 50}, {300, 200});
    ASSERT_TRUE(Editor->Marking().HasMarking());
    EXPECT_EQ(Editor->Marking().MarkingRect(), QRect(100, 50, 200, 150));
    View->SetSizeMode(TImageView::TSizeMode::Fit);

    Click("ZuschneidenBitBtn");
    const QImage cropped = Decode(Picture);
    ASSERT_EQ(cropped.size(), QSize(200, 150));
    EXPECT_LT(MeanDifference(cropped, Before.copy(100, 50, 200, 150)), 2.0);
    EXPECT_EQ(Editor->Marking().Picture().Bitmap(), cropped) << "the view shows the file";
    EXPECT_FALSE(Editor->Marking().HasMarking());
    EXPECT_FALSE(Editor->Marking().HasFloater());
    EXPECT_EQ(View->SizeMode(), TImageView::TSizeMode::Normal);
    EXPECT_EQ(State->UndoCount, 1);
    EXPECT_TRUE(UndoButton()->isEnabled());
    EXPECT_TRUE(Form->Slideshow().Pictures().Parsed(0).ThumbnailPath.endsWith("_THUMB_1Anna.jpg"));

    Click("UndoBitBtn");
    EXPECT_EQ(Decode(Picture), Before);
    EXPECT_EQ(Editor->Marking().Picture().Bitmap(), Before);
    EXPECT_EQ(State->UndoCount, 0);
    EXPECT_FALSE(UndoButton()->isEnabled());
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(FullsizeForm, CropWithoutAMarkingOnlySaysSo) {
    Drag({20, 20}, {20, 20});
    Click("ZuschneidenBitBtn");
    const auto shown = Prompter.OfKind(TScriptedPrompter::TKind::Information);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().Text, State->Text(3011));
    EXPECT_EQ(Decode(Picture), Before);
    EXPECT_EQ(State->UndoCount, 0);
}

TEST_F(FullsizeForm, AMovedCopyDropsIntoTheViewOnlyAndThenStaysPut) {
    Drag({10, 10}, {60, 40});
    Hover({20, 20});
    EXPECT_EQ(View->viewport()->cursor().shape(), Qt::PointingHandCursor);
    Hover({200, 200});
    EXPECT_EQ(View->viewport()->cursor().shape(), Qt::CrossCursor);

    Press({20, 20});
    Release({20, 20});
    Hover({120, 130});
    ASSERT_TRUE(Editor->Marking().HasFloater());
    EXPECT_EQ(Editor->Marking().Floater().Rect(), QRect(110, 120, 50, 30));
    Press({400, 400});
    Release({400, 400});
    ASSERT_FALSE(Editor->Marking().HasFloater());
    const QImage dropped = Editor->Marking().Picture().Bitmap();
    EXPECT_EQ(dropped.copy(110, 120, 50, 30), Before.copy(10, 10, 50, 30));
    EXPECT_EQ(Decode(Picture), Before) << "the file waits for a crop";

    for (const QPoint at : {QPoint(300, 300), QPoint(20, 20), QPoint(130, 140)})
        Hover(at);
    EXPECT_EQ(Editor->Marking().Picture().Bitmap(), dropped);
    EXPECT_FALSE(Editor->Marking().HasFloater());

    Drag({300, 300}, {350, 340});
    EXPECT_EQ(Editor->Marking().MarkingRect(), QRect(300, 300, 50, 40));
    Press({310, 310});
    EXPECT_TRUE(Editor->Marking().HasFloater());
    // Presses with another button do nothing.
    Mouse(QEvent::MouseButtonPress, {500, 500}, Qt::RightButton, Qt::RightButton);
    EXPECT_TRUE(Editor->Marking().HasFloater());
}

// The rotate buttons turn as their hints say, like the page's buttons with the same hints.
TEST_F(FullsizeForm, RotateButtonsDoWhatTheirHintsSay) {
    struct TCase {
        const char* Button;
        bool OnPage;
        int Hint;
        bool Clockwise;
    };
    const TCase cases[] = {
        {"LinksSpeedButton", false, 603, false},
        {"RechtsSpeedButton", false, 604, true},
        {"SpeedButton6", true, 603, false},
        {"SpeedButton5", true, 604, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Button);
        QWidget& owner = c.OnPage ? static_cast<QWidget&>(*Page) : *Editor;
        auto* button = Find<QToolButton>(owner, c.Button);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), State->Text(c.Hint));
        QSignalSpy finished(Page, &TPicturePage::JobFinished);
        button->click();
        if (c.OnPage) {
            ASSERT_TRUE(finished.wait(10000)) << "the page turns as a job";
        }
        const QImage turned = Decode(Picture);
        ASSERT_EQ(turned.size(), QSize(480, 640));
        // The ramp's red rises to the right and green downwards: a clockwise turn brings the
        // bottom-left corner (little red, much green) to the top left.
        const QRgb corner = turned.pixel(2, 2);
        EXPECT_NEAR(qRed(corner), c.Clockwise ? 60 : 180, 6);
        EXPECT_NEAR(qGreen(corner), c.Clockwise ? 170 : 70, 6);
        if (!c.OnPage) {
            EXPECT_EQ(Editor->Marking().Picture().SizeOf(), QSize(480, 640));
            EXPECT_TRUE(UndoButton()->isEnabled());
        }
        auto* undo = Find<QPushButton>(owner, "UndoBitBtn");
        undo->click();
        ASSERT_EQ(Decode(Picture), Before);
        EXPECT_FALSE(undo->isEnabled());
    }
}

} // namespace
