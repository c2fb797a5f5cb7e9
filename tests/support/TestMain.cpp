#include "shell/Jobs.h"

#include <QApplication>

#include <gtest/gtest.h>

// Every test executable runs with an application object, so windows and event loops work;
// the windows go to the offscreen platform.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    const Lumerix::Jobs::TDrainOnExit drainJobs;
    return RUN_ALL_TESTS();
}
