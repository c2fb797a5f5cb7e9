#include "acquire/TSaneTestConfig.h"
#include "acquire/TScanDriver.h"
#include "acquire/TScanner.h"
#include "acquire/ui/TScanOptionsForm.h"
#include "acquire/ui/TScanSourceForm.h"
#include "document/TSlideshow.h"
#include "document/ui/TPicturePage.h"
#include "shell/TLanguage.h"
#include "shell/TRunState.h"
#include "shell/ui/TMainForm.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::AcquireTesting;

namespace {

void Choose(QComboBox* combo, const QString& text) {
    ASSERT_NE(combo, nullptr);
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    QApplication::processEvents(); // the form rebuilds its editors queued
}

void Type(QDoubleSpinBox* spin, double value) {
    ASSERT_NE(spin, nullptr);
    spin->setValue(value);
    emit spin->editingFinished();
    QApplication::processEvents();
}

class ScanForms : public testing::Test {
protected:
    void SetUp() override {
        ResetTestDevices();
        ASSERT_EQ(Scanner.Open("test:0"), ScanSuccess);
    }

    TScanner Scanner;
    const TLanguage English{"ENGLISH", QString()};
};

TEST_F(ScanForms, EditorsFollowTheDeviceOptions) {
    TScanOptionsForm form("Einlesen starten", English, Scanner);
    EXPECT_NE(form.findChild<QComboBox*>("Option_mode"), nullptr);
    EXPECT_NE(form.findChild<QComboBox*>("Option_depth"), nullptr);
    EXPECT_NE(form.findChild<QDoubleSpinBox*>("Option_resolution"), nullptr);
    for (const char* corner : {"Option_tl-x", "Option_tl-y", "Option_br-x", "Option_br-y"})
        EXPECT_NE(form.findChild<QDoubleSpinBox*>(corner), nullptr) << corner;
    EXPECT_NE(form.findChild<QCheckBox*>("Option_hand-scanner"), nullptr);
    // Buttons are left out, as are options inactive in the present mode.
    EXPECT_EQ(form.findChild<QWidget*>("Option_print-options"), nullptr);
    EXPECT_EQ(form.findChild<QWidget*>("Option_three-pass"), nullptr);

    Choose(form.findChild<QComboBox*>("Option_mode"), "Color");
    EXPECT_EQ(Scanner.Option("mode")->Value.toString(), "Color");
    EXPECT_NE(form.findChild<QCheckBox*>("Option_three-pass"), nullptr);
    Type(form.findChild<QDoubleSpinBox*>("Option_br-x"), 30);
    EXPECT_DOUBLE_EQ(Scanner.Option("br-x")->Value.toDouble(), 30);
    // The preview mode is the preview button's, not an editor's.
    EXPECT_EQ(form.findChild<QWidget*>("Option_preview"), nullptr);
}

TEST_F(ScanForms, FocusStaysOnTheOptionAfterTheEditorsAreRebuilt) {
    TScanOptionsForm form("Einlesen starten", English, Scanner);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* top = form.findChild<QDoubleSpinBox*>("Option_tl-y");
    ASSERT_NE(top, nullptr);
    top->setFocus();
    ASSERT_EQ(form.focusWidget(), top);
    Type(form.findChild<QDoubleSpinBox*>("Option_tl-x"), 1);
    QTest::qWait(20);
    QWidget* focused = form.focusWidget();
    ASSERT_NE(focused, nullptr);
    // The spin box's line edit has the focus; its owner is the new editor of "tl-y".
    while (focused && !focused->objectName().startsWith("Option_"))
        focused = focused->parentWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->objectName(), "Option_tl-y");
    EXPECT_NE(focused, top);
}

TEST_F(ScanForms, ScanPreviewAndCancel) {
    TScanOptionsForm form("Einlesen starten", English, Scanner);
    form.show();
    Type(form.findChild<QDoubleSpinBox*>("Option_resolution"), 25);
    Type(form.findChild<QDoubleSpinBox*>("Option_br-x"), 20);
    Type(form.findChild<QDoubleSpinBox*>("Option_br-y"), 20);
    ASSERT_TRUE(Find<QPushButton>(form, "PreviewButton")->isVisible());
    form.StartPreview();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Scanning(); }, 10000));
    EXPECT_TRUE(form.isVisible());
    EXPECT_DOUBLE_EQ(Scanner.Option("br-x")->Value.toDouble(), 20);

    // A large scan, cancelled at once: the device stops and the form stays open.
    Scanner.Apply({{"resolution", 300}, {"br-x", 200.0}, {"br-y", 200.0}});
    form.StartScan();
    EXPECT_TRUE(form.Scanning());
    form.reject();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Scanning(); }, 10000));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Find<QLabel>(form, "StatusLabel")->text(), "Cancelled");
    EXPECT_TRUE(form.Picture().isNull());

    Scanner.Apply({{"resolution", 25}, {"br-x", 20.0}, {"br-y", 20.0}});
    form.StartScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 10000));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Code(), ScanSuccess);
    EXPECT_NEAR(form.Picture().width(), 20, 1);
}

TEST_F(ScanForms, SourceChooserListsTheDevices) {
    QList<TScanDeviceInfo> devices;
    ASSERT_EQ(SaneSession::Devices(devices), ScanSuccess);
    TScanSourceForm chooser("Treiber auswählen", English, devices);
    QTimer::singleShot(0, [&] {
        auto* list = chooser.findChild<QTreeWidget*>("DeviceList");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->currentItem()->text(3), "test:1");
        list->setCurrentItem(list->topLevelItem(0));
        chooser.accept();
    });
    EXPECT_EQ(chooser.Choose("test:1"), std::optional<QString>("test:0"));
}

class MainFormScan : public testing::Test {
protected:
    void SetUp() override {
        ResetTestDevices();
        State = Kit.State();
        ASSERT_TRUE(State->GeneratorIni().WriteString("SETTINGS", "ScanDevice", "test:1"));
        Form = std::make_unique<TMainForm>(*State, Prompter);
        ASSERT_TRUE(Form->Prepare());
        Form->show();
        State->SetTipsWanted(false);
        Form->OpenExample();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->PicturePage()->Busy(); }, 10000));
        Prompter.Messages.clear();
    }

    // Triggers "Einlesen starten" and scans a small area in the options form.
    void ScanOnce() {
        QTimer::singleShot(0, [this] {
            auto* form = qobject_cast<TScanOptionsForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            EXPECT_TRUE(form->windowTitle().endsWith("test:1"));
            Type(form->findChild<QDoubleSpinBox*>("Option_resolution"), 25);
            Type(form->findChild<QDoubleSpinBox*>("Option_br-x"), 20);
            Type(form->findChild<QDoubleSpinBox*>("Option_br-y"), 20);
            form->StartScan();
        });
        Find<QAction>(*Form, "Einlesenstarten1")->trigger();
    }

    TTestKit Kit;
    TScriptedPrompter Prompter;
    std::unique_ptr<TRunState> State;
    std::unique_ptr<TMainForm> Form;
};

TEST_F(MainFormScan, EinlesenStartenAppendsAndSelectsThePicture) {
    ASSERT_TRUE(Find<QAction>(*Form, "Einlesenstarten1")->isEnabled());
    ASSERT_TRUE(Find<QAction>(*Form, "Treiberauswhlen1")->isEnabled());
    const int before = Form->Slideshow().Pictures().Count();
    ScanOnce();
    ScanOnce();
    TPictureList& pictures = Form->Slideshow().Pictures();
    ASSERT_EQ(pictures.Count(), before + 2);
    EXPECT_EQ(pictures.Parsed(before).FileName, "DScan.jpg");
    EXPECT_EQ(pictures.Parsed(before + 1).FileName, "DScan_1.jpg");
    EXPECT_EQ(Form->PicturePage()->SelectedRow(), before + 1);
    EXPECT_FALSE(QFileInfo::exists(State->ProgramDir + "DScan.jpg"));
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(MainFormScan, CancellingTheOptionsAddsNothing) {
    const int before = Form->Slideshow().Pictures().Count();
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<TScanOptionsForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        form->reject();
    });
    Find<QAction>(*Form, "Einlesenstarten1")->trigger();
    EXPECT_EQ(Form->Slideshow().Pictures().Count(), before);
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(MainFormScan, AGoneSourceOffersTheChooserInsteadOfSanesText) {
    // The window reads the stored source at its first scan.
    ASSERT_TRUE(State->GeneratorIni().WriteString("SETTINGS", "ScanDevice", "test:9"));
    const int before = Form->Slideshow().Pictures().Count();
    bool offered = false;
    QTimer::singleShot(0, [&offered] {
        auto* chooser = qobject_cast<TScanSourceForm*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        offered = true;
        chooser->reject();
    });
    Find<QAction>(*Form, "Einlesenstarten1")->trigger();
    EXPECT_TRUE(offered);
    EXPECT_TRUE(Prompter.Messages.isEmpty());
    EXPECT_EQ(Form->Slideshow().Pictures().Count(), before);
}

TEST_F(ScanForms, SanesTextsShowInTheInterfaceLanguage) {
    const TLanguage german{"GERMAN", QString()};
    TScanOptionsForm form("Einlesen", german, Scanner);
    QStringList labels;
    for (const QLabel* label : form.findChildren<QLabel*>())
        labels.append(label->text());
    EXPECT_TRUE(labels.contains(QString::fromUtf8("Scanauflösung:")))
        << labels.join('|').toStdString();
    auto* mode = form.findChild<QComboBox*>("Option_mode");
    ASSERT_NE(mode, nullptr);
    const int colour = mode->findData("Color");
    ASSERT_GE(colour, 0);
    EXPECT_EQ(mode->itemText(colour), "Farbe");
}

TEST_F(MainFormScan, ChoosingASourceStoresIt) {
    QTimer::singleShot(0, [] {
        auto* chooser = qobject_cast<TScanSourceForm*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        auto* list = chooser->findChild<QTreeWidget*>("DeviceList");
        list->setCurrentItem(list->topLevelItem(0));
        chooser->accept();
    });
    Find<QAction>(*Form, "Treiberauswhlen1")->trigger();
    EXPECT_EQ(ScanImport::StoredSource(*State), "test:0");
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

} // namespace
