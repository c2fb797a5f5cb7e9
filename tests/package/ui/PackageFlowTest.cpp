#include "document/TSlideshow.h"
#include "package/TPackageWriter.h"
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
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
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

    // Runs `action` once the window `name` shows.
    void WhenShown(const char* name, std::function<void(QWidget*)> action) {
        auto* poll = new QTimer(Form.get());
        QObject::connect(poll, &QTimer::timeout, [this, poll, name, action] {
            auto* window = Form->findChild<QWidget*>(QString::fromLatin1(name));
            if (window == nullptr || !window->isVisible())
                return;
            poll->deleteLater();
            poll->stop();
            action(window);
        });
        poll->start(5);
    }

    // Ticks the slideshows `rows` in the chooser, confirms, then confirms the instructions
    // once the package is written.
    std::function<void()> TickAndConfirm(QList<int> rows, bool instructions = true) {
        return [this, rows, instructions] {
            auto* chooser = Find<QDialog>(*Form, "PackageChooser");
            auto* list = Find<QListWidget>(*chooser, "CheckListBox1");
            for (const int row : rows)
                list->item(row)->setCheckState(Qt::Checked);
            if (instructions) {
                WhenShown("AnweisungForm",
                          [](QWidget* form) { Find<QPushButton>(*form, "OKBitBtn")->click(); });
            }
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
    Prompter.Answers.enqueue(true);    // a disc image as well
    AnswerWizard("CDROMRadioButton", TickAndConfirm({1}));
    Form->Pages()->setCurrentIndex(3);
    EXPECT_EQ(Form->Pages()->currentIndex(), 0);
    EXPECT_EQ(QDir(State->CdRomDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"Diashow_0002"});
    EXPECT_TRUE(QFileInfo::exists(State->CdRomDir + "index.html"));
    EXPECT_TRUE(QFileInfo::exists(State->CdRomDir + "lumerix-shows.js"));
    EXPECT_GT(QFileInfo(QDir::cleanPath(State->CdRomDir) + ".iso").size(), 0);
    EXPECT_TRUE(QFileInfo::exists(State->CdRomDir + "Settings.ini"));
    EXPECT_TRUE(QString::fromUtf8(TTestKit::ReadFile(State->CdRomDir + "Settings.ini"))
                    .contains("TextOffset=33"))
        << "the slideshow and its settings were saved first";
    EXPECT_TRUE(QFileInfo::exists(State->WorkspaceDir + "Diashow_0002/Audio001.mp3"))
        << "the music listed on step 2 was put in order";
    EXPECT_TRUE(Prompter.OfKind(TScriptedPrompter::TKind::Error).isEmpty());
}

// A large package is written while the window goes on painting, behind a box with progress
// and Cancel; a cancel keeps the earlier package and says so.
TEST_F(Step4, CancellingALargePackageKeepsTheEarlierOne) {
    OpenExample();
    const QString extra = State->WorkspaceDir + "Diashow_0002/extra/";
    QDir().mkpath(extra);
    const QByteArray block(256 * 1024, 'x');
    for (int i = 0; i < 600; ++i)
        TTestKit::WriteFile(extra + QString("part%1.bin").arg(i), block);
    TTestKit::WriteFile(State->CdRomDir + "earlier.txt", "earlier");

    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    int ticksWhileShown = 0;
    QList<int> values;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ASSERT_FALSE(Form->grab().isNull());
        longestGap = std::max(longestGap, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
        auto* box = Form->findChild<QWidget*>("PackageProgress");
        if (box == nullptr || !box->isVisible())
            return;
        ++ticksWhileShown;
        values.append(Find<QProgressBar>(*box, "JobProgressBar")->value());
        // Cancel once the bar has moved.
        if (values.last() > 0 && values.size() >= 3)
            Find<QPushButton>(*box, "JobCancelButton")->click();
    });
    AnswerWizard("CDROMRadioButton", TickAndConfirm({1}, false));
    clock.start();
    timer.start();
    Form->Pages()->setCurrentIndex(3);
    timer.stop();

    EXPECT_GE(ticksWhileShown, 3) << "the box showed while the window kept ticking";
    EXPECT_LT(longestGap, 500) << "the window stood still";
    EXPECT_TRUE(std::any_of(values.begin(), values.end(), [](int v) { return v > 0; }));
    EXPECT_EQ(TTestKit::ReadFile(State->CdRomDir + "earlier.txt"), "earlier");
    EXPECT_FALSE(QFileInfo::exists(State->CdRomDir + "Settings.ini"));
    EXPECT_EQ(QDir(State->CdRomDir + "..")
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                  .filter(".new"),
              QStringList())
        << "nothing half-built is left beside";
    EXPECT_TRUE(Prompter.OfKind(TScriptedPrompter::TKind::Error).isEmpty());
    ASSERT_EQ(Prompter.OfKind(TScriptedPrompter::TKind::Information).size(), 1);
    EXPECT_EQ(Prompter.OfKind(TScriptedPrompter::TKind::Information)[0].Text,
              PackageWriter::CancelledText(*State));
    EXPECT_FALSE(Find<QDialog>(*Form, "AnweisungForm")->isVisible());
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
