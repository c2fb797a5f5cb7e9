#include "document/ui/TSettingsPage.h"
#include "shell/TRunState.h"
#include "shell/TWorkspace.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

class SettingsPage : public testing::Test {
protected:
    void SetUp() override {
        State = Kit.State();
        ASSERT_TRUE(TWorkspace::Prepare(*State).Ok);
        Page = std::make_unique<TSettingsPage>(*State, Prompter);
        Page->SetCaptions();
        Page->LoadFromState();
        Page->show();
    }

    TTestKit Kit;
    TScriptedPrompter Prompter;
    std::unique_ptr<TRunState> State;
    std::unique_ptr<TSettingsPage> Page;
};

TEST_F(SettingsPage, FieldsEditTheRunState) {
    auto* title = Find<QLineEdit>(*Page, "TitleEdit");
    QTest::keyClicks(title, "Urlaub ");
    EXPECT_EQ(State->ShowTitle, "Urlaub ") << "the title is kept as typed";

    auto* seconds = Find<QLineEdit>(*Page, "SecEdit");
    seconds->clear();
    QTest::keyClicks(seconds, "7.9");
    EXPECT_EQ(State->SecondsPerPicture, "7") << "what the state holds is always valid";
    emit seconds->editingFinished();
    EXPECT_EQ(State->SecondsPerPicture, "7");
    EXPECT_EQ(seconds->text(), "7");

    auto* fullscreen = Find<QCheckBox>(*Page, "FullscreenCheckBox");
    auto* arrows = Find<QCheckBox>(*Page, "ManuellCheckBox");
    fullscreen->setChecked(true);
    EXPECT_TRUE(arrows->isVisible());
    fullscreen->setChecked(false);
    EXPECT_FALSE(arrows->isVisible());
    EXPECT_FALSE(State->Fullscreen);

    Find<QSpinBox>(*Page, "SpinEdit2")->setValue(120);
    EXPECT_EQ(State->TextOffset, 120);
    Find<QCheckBox>(*Page, "TipsCheckBox")->setChecked(false);
    EXPECT_FALSE(State->TipsWanted());
}

TEST_F(SettingsPage, ModeButtonsShowTheEffectPanelOnlyForOn) {
    auto* panel = Find<QWidget>(*Page, "EffectPanel");
    Find<QRadioButton>(*Page, "ONRadioButton")->click();
    EXPECT_EQ(State->EffectMode, TEffectMode::On);
    EXPECT_TRUE(panel->isVisible());
    Find<QRadioButton>(*Page, "RNDRadioButton")->click();
    EXPECT_EQ(State->EffectMode, TEffectMode::Random);
    EXPECT_FALSE(panel->isVisible());
    Find<QRadioButton>(*Page, "OFFRadioButton")->click();
    EXPECT_EQ(State->EffectMode, TEffectMode::Off);
}

TEST_F(SettingsPage, ChangingTheEffectPlaysItOnThePreview) {
    Find<QRadioButton>(*Page, "ONRadioButton")->click();
    QSignalSpy finished(Page.get(), &TSettingsPage::PreviewFinished);
    Find<QSpinBox>(*Page, "SpinEdit1")->setValue(4);
    EXPECT_EQ(State->Effect, 4);
    EXPECT_TRUE(Page->Previewing());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(Find<QLabel>(*Page, "LEADImage1")->pixmap().isNull());
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(SettingsPage, ABadEffectsLineIsReportedAndNothingStored) {
    TTestKit::WriteFile(Kit.Root() + "kit-copy/Effects.ini", "702;10;1;0;0\n101;10\n");
    State->KitDir = Kit.Root() + "kit-copy/";
    State->EffectCount = 2;
    Page->LoadFromState();
    Find<QSpinBox>(*Page, "SpinEdit1")->setValue(2);
    EXPECT_EQ(State->Effect, 1);
    ASSERT_EQ(Prompter.OfKind(TScriptedPrompter::TKind::Error).size(), 1);
    EXPECT_TRUE(Prompter.Messages[0].Text.contains("Effects.ini"));
    EXPECT_TRUE(Prompter.Messages[0].Text.contains("line 2"));
}

} // namespace
