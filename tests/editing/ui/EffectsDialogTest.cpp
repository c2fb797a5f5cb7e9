#include "document/TSlideshow.h"
#include "document/ui/TPictureListView.h"
#include "document/ui/TPicturePage.h"
#include "editing/EffectCatalogue.h"
#include "editing/TEditingFixture.h"
#include "editing/ui/TLeadEffectsForm.h"
#include "editing/ui/TPainterEffectsF.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/ui/TMainForm.h"
#include "support/TMainFormTest.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::EditingTesting;

namespace {

class EffectsDialog : public TMainFormTest {
protected:
    void SetUp() override {
        TMainFormTest::SetUp();
        if (HasFatalFailure())
            return;
        Page = Form->PicturePage();
        const QString photos = Kit.Root() + "photos/";
        TSlideshow& show = Form->Slideshow();
        show.NewShow("Bearbeiten");
        TSilentProgress progress;
        ASSERT_TRUE(show.AddPictures(
            {WriteRamp(photos + "Anna.jpg", 400, 200), WriteRamp(photos + "Bert.jpg", 300, 300)},
            -1, progress));
        Page->ShowChanged();
        Picture = show.PicturePath(0);
        Before = Decode(Picture);
        Select(0);
    }

    void Select(int row) {
        auto* list = Find<TPictureListView>(*Page, "PictureListView");
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect);
        ASSERT_EQ(Page->SelectedRow(), row);
    }

    TPainterEffectsF* OpenBrightness() {
        auto* button = Find<QPushButton>(*Page, "FarbeBitBtn");
        EXPECT_TRUE(button->isEnabled());
        button->click();
        auto* dialog = Page->findChild<TPainterEffectsF*>();
        EXPECT_NE(dialog, nullptr);
        if (dialog != nullptr) {
            EXPECT_TRUE(dialog->isVisible());
        }
        return dialog;
    }

    QString EntryThumbnail() const { return Form->Slideshow().Pictures().Parsed(0).ThumbnailPath; }

    TPicturePage* Page = nullptr;
    QString Picture;
    QImage Before;
};

TEST_F(EffectsDialog, BrightnessModeFromThePageSavesTheChange) {
    TPainterEffectsF* dialog = OpenBrightness();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->BrightnessMode());
    EXPECT_TRUE(Find<QWidget>(*dialog, "HelligkeitPanel")->isVisible());
    EXPECT_FALSE(Find<QWidget>(*dialog, "EffectPanel")->isVisible());
    EXPECT_EQ(dialog->PreviewCopy().size(), QSize(199, 100));
    EXPECT_EQ(Find<QLabel>(*dialog, "HelligkeitLabel")->text(), "Helligkeit: 0");
    EXPECT_EQ(Find<QLabel>(*dialog, "FarbeLabel")->text(), "Farbe: 0");
    EXPECT_EQ(Find<QLabel>(*dialog, "Label7")->text(), State->Text(2004));
    // At rest the preview shows the picture as it is.
    EXPECT_EQ(dialog->WorkBitmap(), dialog->PreviewCopy());

    auto* colour = Find<QSlider>(*dialog, "FarbeTrackBar");
    colour->setValue(0);
    EXPECT_EQ(Find<QLabel>(*dialog, "FarbeLabel")->text(), "Farbe: -250");
    colour->setValue(500);
    EXPECT_EQ(Find<QLabel>(*dialog, "FarbeLabel")->text(), "Farbe: 250");
    Find<QPushButton>(*dialog, "ZuruecksetzenButton")->click();
    EXPECT_EQ(colour->value(), 250);
    EXPECT_EQ(dialog->WorkBitmap(), dialog->PreviewCopy());

    // While the bar is held nothing is computed; letting go computes the preview.
    auto* brightness = Find<QSlider>(*dialog, "HelligkeitTrackBar");
    brightness->setSliderDown(true);
    brightness->setValue(120);
    EXPECT_EQ(dialog->WorkBitmap(), dialog->PreviewCopy());
    brightness->setSliderDown(false);
    EXPECT_EQ(Find<QLabel>(*dialog, "HelligkeitLabel")->text(), "Helligkeit: 120");
    EXPECT_GT(MeanChannel(dialog->WorkBitmap(), 1), MeanChannel(dialog->PreviewCopy(), 1) + 20);

    QSignalSpy saved(dialog, &TPainterEffectsF::Saved);
    const QString thumbnailBefore = EntryThumbnail();
    Find<QPushButton>(*dialog, "SaveBitBtn")->click();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_FALSE(dialog->isVisible());
    const QImage after = Decode(Picture);
    EXPECT_EQ(after.size(), Before.size()) << "the full picture, not the preview copy";
    EXPECT_GT(MeanChannel(after, 1), MeanChannel(Before, 1) + 20);
    ASSERT_TRUE(QFileInfo::exists(State->ProgramDir + "UNDO_1.jpg"));
    EXPECT_EQ(Decode(State->ProgramDir + "UNDO_1.jpg"), Before);
    EXPECT_EQ(State->UndoCount, 1);
    EXPECT_NE(EntryThumbnail(), thumbnailBefore);
    EXPECT_TRUE(EntryThumbnail().endsWith("_THUMB_1Anna.jpg"));
    EXPECT_EQ(Page->SelectedRow(), 0);
    auto* undo = Find<QPushButton>(*Page, "UndoBitBtn");
    ASSERT_TRUE(undo->isEnabled());
    EXPECT_TRUE(Prompter.OfKind(TScriptedPrompter::TKind::Error).isEmpty());

    // The page's undo puts the picture back as it was before the save.
    undo->click();
    EXPECT_EQ(Decode(Picture), Before);
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(EffectsDialog, ReturningToTheWindowResetsTheBars) {
    TPainterEffectsF* dialog = OpenBrightness();
    ASSERT_NE(dialog, nullptr);
    Find<QSlider>(*dialog, "HelligkeitTrackBar")->setValue(-90);
    Find<QSlider>(*dialog, "KontrastTrackBar")->setValue(40);
    Find<QSlider>(*dialog, "FarbeTrackBar")->setValue(100);
    ASSERT_NE(dialog->WorkBitmap(), dialog->PreviewCopy());
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(dialog, &activate);
    EXPECT_EQ(Find<QSlider>(*dialog, "HelligkeitTrackBar")->value(), 0);
    EXPECT_EQ(Find<QSlider>(*dialog, "KontrastTrackBar")->value(), 0);
    EXPECT_EQ(Find<QSlider>(*dialog, "FarbeTrackBar")->value(), 250);
    EXPECT_EQ(Find<QLabel>(*dialog, "KontrastLabel")->text(), "Kontrast: 0");
    EXPECT_EQ(dialog->WorkBitmap(), dialog->PreviewCopy());
}

TEST_F(EffectsDialog, SavingUntouchedKeepsTheColours) {
    TPainterEffectsF* dialog = OpenBrightness();
    ASSERT_NE(dialog, nullptr);
    Find<QPushButton>(*dialog, "SaveBitBtn")->click();
    const QImage after = Decode(Picture);
    EXPECT_LT(MeanDifference(after, Before), 1.5);
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_NEAR(MeanChannel(after, channel), MeanChannel(Before, channel), 1.0) << channel;
}

TEST_F(EffectsDialog, AbortWritesNothing) {
    TPainterEffectsF* dialog = OpenBrightness();
    ASSERT_NE(dialog, nullptr);
    const QByteArray original = TTestKit::ReadFile(Picture);
    Find<QSlider>(*dialog, "KontrastTrackBar")->setValue(200);
    Find<QPushButton>(*dialog, "AbortBitBtn")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(TTestKit::ReadFile(Picture), original);
    EXPECT_FALSE(QFileInfo::exists(State->ProgramDir + "UNDO_1.jpg"));
}

// Saving a large picture runs as a job behind a box; its Cancel writes nothing.
TEST_F(EffectsDialog, CancellingTheSaveOfALargePictureWritesNothing) {
    WriteRamp(Picture, 6000, 4000);
    const QByteArray original = TTestKit::ReadFile(Picture);
    TPainterEffectsF* dialog = OpenBrightness();
    ASSERT_NE(dialog, nullptr);
    Find<QSlider>(*dialog, "KontrastTrackBar")->setValue(200);
    bool boxShown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = dialog->findChild<QWidget*>("EffectsSaveProgress");
        if (box == nullptr || !box->isVisible() || boxShown)
            return;
        boxShown = true;
        Find<QPushButton>(*box, "JobCancelButton")->click();
    });
    poll.start(5);
    QSignalSpy saved(dialog, &TPainterEffectsF::Saved);
    Find<QPushButton>(*dialog, "SaveBitBtn")->click();
    poll.stop();

    ASSERT_TRUE(boxShown);
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(TTestKit::ReadFile(Picture), original);
    EXPECT_FALSE(QFileInfo::exists(State->ProgramDir + "UNDO_1.jpg"));
    EXPECT_EQ(State->UndoCount, 0);
    ASSERT_EQ(Prompter.OfKind(TScriptedPrompter::TKind::Information).size(), 1);
    EXPECT_TRUE(
        Prompter.OfKind(TScriptedPrompter::TKind::Information)[0].Text.startsWith("Abgebrochen"));
}

TEST_F(EffectsDialog, EffectModeRunsTheSelectedNode) {
    TPainterEffectsF dialog(*State, Form->Slideshow(), Prompter);
    ASSERT_TRUE(dialog.Open(0, false));
    EXPECT_FALSE(dialog.BrightnessMode());
    auto* tree = Find<QTreeWidget>(dialog, "ETree");
    auto* amount = Find<QScrollBar>(dialog, "EBar");
    auto* save = Find<QPushButton>(dialog, "SaveBitBtn");
    const QByteArray original = TTestKit::ReadFile(Picture);
    auto node = [&](const char* top, const char* child = nullptr) {
        QTreeWidgetItem* item = tree->findItems(QString::fromLatin1(top), Qt::MatchExactly)[0];
        if (child != nullptr) {
            for (int i = 0; i < item->childCount(); ++i)
                if (item->child(i)->text(0) == QLatin1String(child))
                    return item->child(i);
        }
        return item;
    };
    auto click = [&](QTreeWidgetItem* item) {
        tree->setCurrentItem(item);
        emit tree->itemClicked(item, 0);
    };

    // Without a node, or on a heading that runs nothing, saving cannot replace the picture.
    EXPECT_FALSE(save->isEnabled());
    save->click();
    // A node that is current but not selected (the tree makes its first node current when it
    // gets the focus) is no choice either.
    tree->setCurrentItem(node("Mosaic"), 0, QItemSelectionModel::NoUpdate);
    EXPECT_FALSE(save->isEnabled());
    const int position = amount->value();
    amount->setValue(position + 1);
    EXPECT_EQ(dialog.WorkBitmap(), dialog.PreviewCopy()) << "nothing ran";
    amount->setValue(position);
    click(node("Noise"));
    EXPECT_FALSE(save->isEnabled());
    save->click();
    EXPECT_EQ(TTestKit::ReadFile(Picture), original);
    EXPECT_FALSE(QFileInfo::exists(State->ProgramDir + "UNDO_1.jpg"));

    // "Fisheye" first keeps the bar's range.
    click(node("Fisheye"));
    EXPECT_EQ(std::tuple(amount->minimum(), amount->maximum(), amount->value()),
              std::tuple(0, 100, 0));
    click(node("Mosaic"));
    EXPECT_EQ(std::tuple(amount->minimum(), amount->maximum(), amount->value()),
              std::tuple(2, 30, 15));
    QImage mosaic = dialog.PreviewCopy();
    ASSERT_TRUE(EffectCatalogue::ApplyEffect(
        EffectCatalogue::Rows()[EffectCatalogue::Find("Mosaic")], mosaic, 15, 0, 0, 1));
    EXPECT_EQ(dialog.WorkBitmap(), mosaic);

    // The heading "Ripple" runs Contrast with the bar's position.
    click(node("Ripple"));
    EXPECT_TRUE(save->isEnabled());
    amount->setValue(20);
    QImage contrast = dialog.PreviewCopy();
    ASSERT_TRUE(EffectCatalogue::ApplyEffect(
        EffectCatalogue::Rows()[EffectCatalogue::Find("Ripple")], contrast, 20, 0, 0, 1));
    EXPECT_EQ(dialog.WorkBitmap(), contrast);

    // Plasma moves the extra bar up to 10 first.
    click(node("Plasma"));
    EXPECT_EQ(Find<QScrollBar>(dialog, "extrabar")->value(), 10);

    click(node("Colors", "Red"));
    EXPECT_EQ(amount->value(), 128);
    save->click();
    EXPECT_FALSE(dialog.isVisible());
    const QImage after = Decode(Picture);
    EXPECT_EQ(after.size(), Before.size());
    EXPECT_LT(MeanChannel(after, 1), 5.0) << "green is cleared";
    EXPECT_TRUE(QFileInfo::exists(State->ProgramDir + "UNDO_1.jpg"));
}

TEST_F(EffectsDialog, ColourCorrectionFromThePage) {
    const QString thumbnailBefore = EntryThumbnail();
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TLeadEffectsForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        auto* red = Find<QSlider>(*form, "RotTrackBar");
        EXPECT_EQ(red->value(), 100);
        EXPECT_EQ(Find<QLabel>(*form, "RotLabel")->text(), "Rot: 100%");
        EXPECT_TRUE(Find<QWidget>(*form, "ColorPanel")->isVisible());
        EXPECT_FALSE(Find<QWidget>(*form, "SharpenPanel")->isVisible());
        EXPECT_EQ(form->PreviewBitmap(), Before);
        // Keyboard changes recompute the preview every time, not only the first.
        red->setFocus();
        QTest::keyClick(red, Qt::Key_Left);
        EXPECT_EQ(Find<QLabel>(*form, "RotLabel")->text(), "Rot: 95%");
        QTest::keyClick(red, Qt::Key_Left);
        EXPECT_EQ(red->value(), 90);
        EXPECT_EQ(Find<QLabel>(*form, "RotLabel")->text(), "Rot: 90%");
        EXPECT_NEAR(MeanChannel(form->PreviewBitmap(), 0), MeanChannel(Before, 0) * 0.9, 1.0);
        auto* blue = Find<QSlider>(*form, "BlauTrackBar");
        blue->setValue(10);
        EXPECT_EQ(Find<QLabel>(*form, "BlauLabel")->text(), "Blau: 10%");
        checked = true;
        Find<QPushButton>(*form, "SaveBitBtn")->click();
    });
    Find<QPushButton>(*Page, "RGBBitBtn")->click();
    ASSERT_TRUE(checked);
    const QImage after = Decode(Picture);
    EXPECT_NEAR(MeanChannel(after, 0), MeanChannel(Before, 0) * 0.9, 1.5);
    EXPECT_NEAR(MeanChannel(after, 1), MeanChannel(Before, 1), 1.5);
    EXPECT_NEAR(MeanChannel(after, 2), MeanChannel(Before, 2) * 0.1, 1.5);
    EXPECT_TRUE(QFileInfo::exists(State->ProgramDir + "UNDO_1.jpg"));
    EXPECT_NE(EntryThumbnail(), thumbnailBefore);
    EXPECT_EQ(Page->SelectedRow(), 0);
}

TEST_F(EffectsDialog, SharpenModeAtZeroAndCancel) {
    TLeadEffectsForm form(*State, Form->Slideshow(), Prompter);
    ASSERT_TRUE(form.Prepare(TLeadEffectsForm::TMode::Sharpen, 1));
    form.show();
    EXPECT_TRUE(Find<QWidget>(form, "SharpenPanel")->isVisible());
    auto* sharpness = Find<QSlider>(form, "SchaerfeTrackBar");
    EXPECT_EQ(Find<QLabel>(form, "SchaerfeLabel")->text(), State->Text(1506) + " 0%");
    const QImage original = form.PreviewBitmap();
    sharpness->setValue(500);
    EXPECT_NE(form.PreviewBitmap(), original);
    EXPECT_EQ(Find<QLabel>(form, "SchaerfeLabel")->text(), State->Text(1506) + " 500%");
    Find<QPushButton>(form, "SharpenResetButton")->click();
    EXPECT_EQ(sharpness->value(), 0);
    EXPECT_EQ(form.PreviewBitmap(), original);
    const QByteArray file = TTestKit::ReadFile(Form->Slideshow().PicturePath(1));
    Find<QPushButton>(form, "AbortBitBtn")->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(TTestKit::ReadFile(Form->Slideshow().PicturePath(1)), file);
}

} // namespace
