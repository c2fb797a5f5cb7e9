#include "document/TSlideshow.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/TWorkspace.h"
#include "shell/ui/ApplicationLook.h"
#include "shell/ui/TLanguageForm.h"
#include "shell/ui/TMainForm.h"
#include "shell/ui/TTipForm.h"
#include "support/TMainFormTest.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

using MainForm = TMainFormTest;

TEST_F(MainForm, StartPanelShowsTheCaptionsOfTheLanguage) {
    EXPECT_EQ(Find<QPushButton>(*Form, "BeispielBitBtn")->text(), "Beispiel Diashow öffnen");
    EXPECT_EQ(Find<QPushButton>(*Form, "NewBitBtn")->text(), "Neue Diashow anlegen");
    EXPECT_EQ(Find<QPushButton>(*Form, "Open1BitBtn")->text(), State->Text(520));
    EXPECT_EQ(Find<QPushButton>(*Form, "Delete1BitBtn")->text(), State->Text(521));
    EXPECT_FALSE(Form->Pages()->isVisible());
    EXPECT_EQ(Form->Pages()->tabText(0), "1. Schritt: Bilder auswählen");
    EXPECT_EQ(Form->Pages()->count(), 4);
    EXPECT_FALSE(Find<QMenu>(*Form, "Diashow1")->isEnabled());
    EXPECT_FALSE(Find<QMenu>(*Form, "ScannenDigitalkamera1")->isEnabled());
    EXPECT_EQ(Form->windowTitle(), "Lumerix");
    EXPECT_TRUE(Find<QAction>(*Form, "Deutsch1")->isChecked());
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(MainForm, LanguageMenuStoresTheCodeAndEndsWithoutCloseSteps) {
    TTestKit::WriteFile(State->ProgramDir + "Temp.jpg", "work file");
    Find<QAction>(*Form, "English1")->trigger();
    EXPECT_EQ(State->GeneratorIni().ReadString("SETTINGS", "Language", ""), "ENGLISH");
    ASSERT_EQ(Prompter.Messages.size(), 1);
    EXPECT_EQ(Prompter.Messages[0].Text, "Please restart the software!");
    EXPECT_FALSE(Form->isVisible());
    EXPECT_TRUE(QFileInfo::exists(State->ProgramDir + "Temp.jpg")) << "close steps skipped";
}

TEST_F(MainForm, ClosingCleansUpAndSavesPreferences) {
    TTestKit::WriteFile(State->ProgramDir + "UNDO_3.jpg", "undo");
    State->SecondsPerPicture = "8";
    Form->close();
    EXPECT_FALSE(QFileInfo::exists(State->ProgramDir + "UNDO_3.jpg"));
    EXPECT_EQ(State->GeneratorIni().ReadString("SETTINGS", "DefaultTime", ""), "8");
}

TEST_F(MainForm, WorkspaceChangeAnsweredNoChangesNothing) {
    auto* chooser = Find<QComboBox>(*Form, "DriveComboBox1");
    auto* apply = Find<QPushButton>(*Form, "PathButton");
    const QString base = State->WorkspaceBase();
    chooser->addItem(Kit.Root() + "other/", Kit.Root() + "other/");
    // The settings page opens only for a slideshow with pictures.
    TSilentProgress quiet;
    Form->Slideshow().OpenShow("Diashow_0001", quiet);
    Form->Pages()->show();
    Form->Pages()->setCurrentIndex(2);
    chooser->setCurrentIndex(chooser->count() - 1);
    emit chooser->activated(chooser->count() - 1);
    EXPECT_TRUE(apply->isVisible());

    Prompter.Answers.enqueue(false);
    apply->click();
    EXPECT_EQ(chooser->currentData().toString(), base);
    EXPECT_EQ(State->WorkspaceBase(), base);
    EXPECT_FALSE(apply->isVisible());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_FALSE(QFileInfo::exists(Kit.Root() + "other"));
}

TEST_F(MainForm, WorkspaceChangeAnsweredYesIsStoredAndEndsTheRun) {
    auto* chooser = Find<QComboBox>(*Form, "DriveComboBox1");
    chooser->addItem(Kit.Root() + "other/", Kit.Root() + "other/");
    chooser->setCurrentIndex(chooser->count() - 1);
    emit chooser->activated(chooser->count() - 1);
    Prompter.Answers.enqueue(true);
    Find<QPushButton>(*Form, "PathButton")->click();
    EXPECT_EQ(Prompter.Messages.last().Text, State->Text(10022));
    EXPECT_EQ(State->GeneratorIni().ReadString("SETTINGS", "Drive", ""), Kit.Root() + "other/");
    EXPECT_FALSE(Form->isVisible());
}

TEST(TipForm, NextDisablesAfterTheLastTipAndTickSwitchesTipsOff) {
    TTestKit kit;
    auto state = kit.State();
    TTipForm tips(*state);
    tips.show();
    auto* memo = Find<QPlainTextEdit>(tips, "Memo1");
    auto* next = Find<QPushButton>(tips, "NextTipBitBtn");
    EXPECT_FALSE(memo->toPlainText().isEmpty());
    QString last;
    while (next->isEnabled()) {
        last = memo->toPlainText();
        next->click();
    }
    EXPECT_EQ(memo->toPlainText(), last) << "the last tip stays shown";
    tips.hide();
    tips.show();
    EXPECT_TRUE(next->isEnabled()) << "every showing starts again";
    Find<QCheckBox>(tips, "CheckBox1")->setChecked(true);
    Find<QPushButton>(tips, "CloseBitBtn")->click();
    EXPECT_FALSE(state->TipsWanted());
}

TEST_F(MainForm, TickingTipsBackOnShowsTheTipWindowAtOnce) {
    auto* tick = Find<QCheckBox>(*Form, "TipsCheckBox");
    auto* tips = Find<TTipForm>(*Form, "TipForm");
    tick->setChecked(false);
    EXPECT_FALSE(tips->isVisible());
    tick->setChecked(true);
    EXPECT_TRUE(State->TipsWanted());
    EXPECT_TRUE(tips->isVisible());
}

TEST(ApplicationLook, HintsAtOnceForTenSecondsAndNoNameAppendedToCaptions) {
    const TApplicationStyle style;
    EXPECT_EQ(style.styleHint(QStyle::SH_ToolTip_WakeUpDelay), 0);
    EXPECT_EQ(style.styleHint(QStyle::SH_ToolTip_FallAsleepDelay), 10000);
    ApplicationLook::SetUp();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "lumerix")
        << "a display name set apart from the program name ends up in every caption";
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 0);
}

TEST(LanguageForm, CannotBeClosedWithoutAChoice) {
    TScriptedPrompter prompter;
    TLanguageForm chooser(prompter, QStringLiteral(LUMERIX_STAGED_KIT "/recom"));
    chooser.show();
    chooser.reject();
    EXPECT_TRUE(chooser.isVisible());
    ASSERT_EQ(prompter.Messages.size(), 1);
    EXPECT_EQ(prompter.Messages[0].Text, "Please select your language!");
    Find<QToolButton>(chooser, "FRANCEImage")->click();
    EXPECT_EQ(chooser.ChosenCode(), "FRANCE");
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
}

} // namespace
