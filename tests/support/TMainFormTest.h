#pragma once

#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"

#include "shell/TRunState.h"
#include "shell/ui/TMainForm.h"

#include <gtest/gtest.h>

#include <memory>

namespace Lumerix {

/// A test user's main window, prepared and shown, answering through a scripted prompter.
class TMainFormTest : public testing::Test {
protected:
    void SetUp() override {
        State = Kit.State();
        Form = std::make_unique<TMainForm>(*State, Prompter);
        ASSERT_TRUE(Form->Prepare());
        Form->show();
    }

    TTestKit Kit;
    TScriptedPrompter Prompter;
    std::unique_ptr<TRunState> State;
    std::unique_ptr<TMainForm> Form;
};

} // namespace Lumerix
