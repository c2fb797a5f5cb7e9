#include "document/TSlideshow.h"
#include "package/ui/TMakeWizzard.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/ui/TMainForm.h"
#include "support/TMainFormTest.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"
#include "video/ui/TDVDWizardForm.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

class Step4 : public TMainFormTest {
protected:
    void OpenExample() {
        TSilentProgress quiet;
        Form->Slideshow().OpenShow("Diashow_0002", quiet);
    }

    // Answers the wizard with `choice` (or cancels when null), then whatever follows.
    void AnswerWizard(const char* choice, std::function<void()> next = {}) {
        QTimer::singleShot(0, [this, choice, next] {
            auto* wizard = Find<TMakeWizzard>(*Form, "MakeWizzard");
            if (!choice) {
                Find<QPushButton>(*wizard, "AbortBitBtn")->click();
                return;
            }
            Find<QRadioButton>(*wizard, choice)->setChecked(true);
            if (next)
                QTimer::singleShot(0, next);
            Find<QPushButton>(*wizard, "WeiterBitBtn")->click();
        });
    }

    // Ticks the slideshows `rows` in the chooser, confirms, then confirms the instructions.
    std::function<void()> TickAndConfirm(QList<int> rows) {
        return [this, rows] {
            auto* chooser = Find<QDialog>(*Form, "PackageChooser");
            auto* list = Find<QListWidget>(*chooser, "CheckListBox1");
            for (const int row : rows)
                list->item(row)->setCheckState(Qt::Checked);
            QTimer::singleShot(0, [this] {
                Find<QPushButton>(*Find<QDialog>(*Form, "AnweisungForm"), "OKBitBtn")->click();
            });
            Find<QPushButton>(*chooser, "OpenBitBtn")->click();
        };
    }
};

TEST_F(Step4, LaterStepsNeedPictures) {
    Form->Slideshow().NewShow("Leer");
    Form->Pages()->setCurrentIndex(2);
    EXPECT_EQ(Form->Pages()->currentIndex(), 0);
    ASSERT_EQ(Prompter.Messages.size(), 1);
    EXPECT_EQ(Prompter.Messages[0].Text, State->Text(10031)) << "no source pictures listed";
}

TEST_F(Step4, CancellingTheWizardWithoutMusicSaysNothing) {
    OpenExample();
    for (const QString& track : QDir(State->WorkspaceDir + "Diashow_0002").entryList({"*.mp3"}))
        QFile::remove(State->WorkspaceDir + "Diashow_0002/" + track);
    AnswerWizard(nullptr);
    Form->Pages()->setCurrentIndex(3);
    EXPECT_EQ(Form->Pages()->currentIndex(), 0);
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(Step4, AChoiceIsNeededAndTheVideoWizardLeadsBack) {
    OpenExample();
    bool videoWizardShown = false;
    QTimer::singleShot(0, [this, &videoWizardShown] {
        auto* wizard = Find<TMakeWizzard>(*Form, "MakeWizzard");
        Find<QPushButton>(*wizard, "WeiterBitBtn")->click();
        Find<QRadioButton>(*wizard, "DVDRadioButton")->setChecked(true);
        // The video wizard comes next; its "back" returns to the choice of output.
        QTimer::singleShot(0, [this, &videoWizardShown] {
            auto* video = Find<TDVDWizardForm>(*Form, "DVDWizardForm");
            videoWizardShown = video->isVisible();
            QTimer::singleShot(0, [this] {
                Find<QPushButton>(*Find<TMakeWizzard>(*Form, "MakeWizzard"), "AbortBitBtn")
                    ->click();
            });
            Find<QPushButton>(*video, "ZurueckBitBtn")->click();
        });
        Find<QPushButton>(*wizard, "WeiterBitBtn")->click();
    });
    Form->Pages()->setCurrentIndex(3);
    EXPECT_TRUE(videoWizardShown);
    ASSERT_EQ(Prompter.Messages.size(), 1);
    EXPECT_EQ(Prompter.Messages[0].Text, State->Text(10027));
}

TEST_F(Step4, CdRomOutputSavesAndWritesTheChosenShows) {
    OpenExample();
    State->TextOffset = 33;
    Form->Pages()->setCurrentIndex(1); // the music page lists the track
    AnswerWizard("CDROMRadioButton", TickAndConfirm({1}));
    Form->Pages()->setCurrentIndex(3);
    EXPECT_EQ(Form->Pages()->currentIndex(), 0);
    EXPECT_EQ(QDir(State->CdRomDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"Diashow_0002"});
    EXPECT_TRUE(QFileInfo::exists(State->CdRomDir + "Settings.ini"));
    EXPECT_TRUE(QString::fromUtf8(TTestKit::ReadFile(State->CdRomDir + "Settings.ini"))
                    .contains("TextOffset=33"))
        << "the slideshow and its settings were saved first";
    EXPECT_TRUE(QFileInfo::exists(State->WorkspaceDir + "Diashow_0002/Audio001.mp3"))
        << "the music listed on step 2 was put in order";
    EXPECT_TRUE(Prompter.OfKind(TScriptedPrompter::TKind::Error).isEmpty());
}

TEST_F(Step4, WebPageOutputOpensTheGalleryWindow) {
    OpenExample();
    bool galleryShown = false;
    AnswerWizard("HTMLRadioButton", [this, &galleryShown] {
        auto* gallery = Find<QDialog>(*Form, "HTMLForm");
        galleryShown = gallery->isVisible();
        QTimer::singleShot(0, [this] {
            Find<QPushButton>(*Find<QDialog>(*Form, "AnweisungForm"), "OKBitBtn")->click();
        });
        Find<QPushButton>(*gallery, "CloseButton")->click();
    });
    Form->Pages()->setCurrentIndex(3);
    EXPECT_TRUE(galleryShown);
    EXPECT_EQ(Form->Pages()->currentIndex(), 0);
    EXPECT_TRUE(Prompter.OfKind(TScriptedPrompter::TKind::Error).isEmpty());
}

TEST_F(Step4, PcOutputRunsTheWorkspacePlayer) {
    OpenExample();
    const QString player = State->WorkspaceDir + State->PlayerName();
    const QString marker = Kit.Root() + "played";
    QFile::remove(player);
    TTestKit::WriteFile(player, ("#!/bin/sh\npwd > '" + marker + "'\n").toUtf8());
    QFile::setPermissions(player, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    AnswerWizard("PCRadioButton", [this] {
        QTimer::singleShot(200, [this] {
            Find<QPushButton>(*Find<QDialog>(*Form, "AnweisungForm"), "OKBitBtn")->click();
        });
    });
    Form->Pages()->setCurrentIndex(3);
    EXPECT_EQ(QDir::cleanPath(QString::fromUtf8(TTestKit::ReadFile(marker)).trimmed()),
              QDir::cleanPath(State->WorkspaceDir));
}

} // namespace
