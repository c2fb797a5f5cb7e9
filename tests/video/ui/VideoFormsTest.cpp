#include "video/ui/TDVDForm.h"
#include "video/ui/TDVDWizardForm.h"

#include "audio/TAudioFixture.h"
#include "audio/ui/TWaveForm.h"
#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "package/ui/TAnweisungForm.h"
#include "shell/TProgress.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"
#include "video/TVideoShowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

class VideoForms : public VideoTesting::TVideoShowFixture {
protected:
    // Closes the next modal window (the instructions) as soon as it shows, keeping its title.
    void AnswerNextModal() {
        QTimer::singleShot(0, [this] {
            if (auto* modal = QApplication::activeModalWidget()) {
                if (auto* label = modal->findChild<QLabel*>("MakeLabel"))
                    Told = label->text();
                modal->close();
            } else {
                AnswerNextModal();
            }
        });
    }

    QString Told;
};

TEST_F(VideoForms, WizardShowsTheEstimateOfTheChosenKind) {
    State->SecondsPerPicture = QStringLiteral("3");
    TDVDWizardForm wizard(*State, Prompter);
    // Choose() runs the window modally: answer from inside it.
    QTimer::singleShot(0, [&] {
        auto* size = Find<QLineEdit>(wizard, "DiashowSizeEdit");
        EXPECT_EQ(size->text(), "31 MB");
        EXPECT_TRUE(Find<QLineEdit>(wizard, "FreeDiskEdit")->text().endsWith(" MB"));
        Find<QRadioButton>(wizard, "SVCDRadioButton")->click();
        EXPECT_EQ(size->text(), "54 MB");
        Find<QRadioButton>(wizard, "NanoSVCDRadioButton")->click();
        EXPECT_EQ(size->text(), "57 MB");
        Find<QRadioButton>(wizard, "NTSCRadioButton")->click();
        EXPECT_EQ(size->text(), "57 MB"); // the standard does not change the estimate
        Find<QPushButton>(wizard, "WeiterBitBtn")->click();
    });
    const TDVDWizardForm::TChoice choice = wizard.Choose(10);
    EXPECT_EQ(choice.Answer, TDVDWizardForm::TAnswer::Build);
    EXPECT_EQ(choice.Kind, TVideoKind::SvcdTransitions);
    EXPECT_EQ(choice.Standard, TTvStandard::Ntsc);
    EXPECT_EQ(wizard.windowTitle(), State->Text(5207));

    QTimer::singleShot(0, [&] { Find<QPushButton>(wizard, "ZurueckBitBtn")->click(); });
    EXPECT_EQ(wizard.Choose(0).Answer, TDVDWizardForm::TAnswer::Back);
    QTimer::singleShot(0, [&] { Find<QPushButton>(wizard, "AbortBitBtn")->click(); });
    EXPECT_EQ(wizard.Choose(0).Answer, TDVDWizardForm::TAnswer::Cancel);
}

TEST_F(VideoForms, WizardOffersTheMp4WithItsOwnChoicesAndEstimate) {
    State->SecondsPerPicture = QStringLiteral("5");
    State->EffectMode = TEffectMode::On;
    TDVDWizardForm wizard(*State, Prompter);
    QString sizeAt1080;
    QTimer::singleShot(0, [&] {
        auto* box = Find<QGroupBox>(wizard, "Mp4Box");
        EXPECT_TRUE(box->isHidden());
        Find<QRadioButton>(wizard, "Mp4RadioButton")->click();
        EXPECT_FALSE(box->isHidden());
        EXPECT_EQ(Find<QLineEdit>(wizard, "Mp4LengthEdit")->text(), "1:59"); // 20 × 5 + 19 × 1
        EXPECT_FALSE(Find<QLineEdit>(wizard, "Mp4TimeEdit")->text().isEmpty());
        sizeAt1080 = Find<QLineEdit>(wizard, "DiashowSizeEdit")->text();
        Find<QComboBox>(wizard, "Mp4SizeComboBox")->setCurrentIndex(0);
        EXPECT_NE(Find<QLineEdit>(wizard, "DiashowSizeEdit")->text(), sizeAt1080);
        Find<QComboBox>(wizard, "Mp4ShapeComboBox")->setCurrentIndex(1);
        Find<QComboBox>(wizard, "Mp4RateComboBox")->setCurrentIndex(3);
        Find<QComboBox>(wizard, "Mp4QualityComboBox")->setCurrentIndex(1);
        Find<QCheckBox>(wizard, "Mp4MotionCheckBox")->setChecked(false);
        Find<QRadioButton>(wizard, "Mp4FillRadioButton")->click();
        Find<QPushButton>(wizard, "WeiterBitBtn")->click();
    });
    const TDVDWizardForm::TChoice choice = wizard.Choose(20);
    EXPECT_EQ(choice.Kind, TVideoKind::Mp4);
    EXPECT_EQ(choice.Mp4.FrameSize(), QSize(960, 720));
    EXPECT_EQ(choice.Mp4.FramesPerSecond, 60);
    EXPECT_TRUE(choice.Mp4.HighQuality);
    EXPECT_FALSE(choice.Mp4.Motion);
    EXPECT_TRUE(choice.Mp4.Fill);
    EXPECT_EQ(Find<QRadioButton>(wizard, "Mp4RadioButton")->text(), State->Text(5210));
}

TEST_F(VideoForms, CreatorBuildsTheMp4OfTheWizardsChoices) {
    MakeShow(2, 1, {800, 600});
    TDVDForm form(*State, Prompter);
    QSignalSpy ended(&form, &TDVDForm::BuildEnded);
    TMp4Options options;
    options.Height = 720;
    options.Wide = false;
    form.StartBuild(TVideoKind::Mp4, TTvStandard::Pal, options);
    ASSERT_TRUE(ended.wait(60000));
    ASSERT_EQ(form.Result().Outcome, TVideoBuildResult::TOutcome::Finished);
    EXPECT_TRUE(form.Result().ResultPath.endsWith("_HD.mp4"));
    EXPECT_TRUE(Find<QPushButton>(form, "VideoBitBtn")->isEnabled());
    AnswerNextModal();
    Find<QPushButton>(form, "CloseBitBtn")->click();
    EXPECT_EQ(Told, State->Text(5222));
}

TEST_F(VideoForms, CreatorRunsTheBuildOffTheWindowThreadAndOffersThePreview) {
    MakeShow(2, 3, {800, 600});
    TDVDForm form(*State, Prompter);
    QSignalSpy ended(&form, &TDVDForm::BuildEnded);
    form.StartBuild(TVideoKind::Vcd, TTvStandard::Pal);
    auto* close = Find<QPushButton>(form, "CloseBitBtn");
    auto* abort = Find<QPushButton>(form, "AbortBitBtn");
    auto* video = Find<QPushButton>(form, "VideoBitBtn");
    EXPECT_FALSE(close->isEnabled());
    EXPECT_TRUE(abort->isEnabled());
    EXPECT_FALSE(video->isEnabled());
    // Neither the window frame nor Escape closes the window while the build runs.
    form.show();
    EXPECT_FALSE(form.close());
    static_cast<QDialog&>(form).reject(); // Escape
    EXPECT_TRUE(form.isVisible());
    ASSERT_TRUE(ended.wait(60000));

    EXPECT_EQ(form.Result().Outcome, TVideoBuildResult::TOutcome::Finished);
    EXPECT_TRUE(QFileInfo::exists(form.Result().ResultPath));
    EXPECT_TRUE(close->isEnabled());
    EXPECT_TRUE(video->isEnabled());
    EXPECT_FALSE(abort->isEnabled());
    EXPECT_EQ(Find<QProgressBar>(form, "ProgressBar1")->value(), 100);
    EXPECT_TRUE(Find<QPlainTextEdit>(form, "Memo1")->toPlainText().endsWith(State->Text(12007)));
    EXPECT_EQ(Find<QLabel>(form, "StatusLabel")->text(), State->Text(12007));

    AnswerNextModal();
    close->click();
    EXPECT_EQ(Told, State->Text(4607));
}

TEST_F(VideoForms, JoinWindowShowsTheSoundTrackBeingMade) {
    MakeShow(2, 3, {800, 600});
    TTestKit::WriteFile(ShowDir() + "Audio001.wav", AudioTesting::SineWav(44100, 2, 1.0));
    TDVDForm form(*State, Prompter);
    auto* join = Find<TWaveForm>(form, "WaveForm");
    EXPECT_EQ(join->size(), QSize(372, 147));
    EXPECT_EQ(Find<QLabel>(*join, "Label2")->text(), State->Text(5000));
    // Shown and hidden again may fall into one turn of the event loop: count the show events.
    struct TShowSpy : QObject {
        bool Shown = false;
        bool eventFilter(QObject*, QEvent* event) override {
            Shown = Shown || event->type() == QEvent::Show;
            return false;
        }
    } showSpy;
    join->installEventFilter(&showSpy);
    QSignalSpy ended(&form, &TDVDForm::BuildEnded);
    form.StartBuild(TVideoKind::Vcd, TTvStandard::Pal);
    ASSERT_TRUE(ended.wait(60000));
    ASSERT_EQ(form.Result().Outcome, TVideoBuildResult::TOutcome::Finished);
    EXPECT_TRUE(showSpy.Shown);
    EXPECT_FALSE(join->isVisible()) << "closed when the join ends";
    EXPECT_EQ(Find<QLabel>(*join, "Label3")->text(),
              "Aktuelle Datei: " + State->EncoderDir + "Inp001.wav");
    EXPECT_EQ(Find<QLabel>(*join, "Label4")->text(), "Position: 10 Sekunden");
    EXPECT_EQ(Find<QLabel>(*join, "Label1")->text(), "100%");
    EXPECT_EQ(Find<QProgressBar>(*join, "ProgressBar1")->value(), 100);
}

TEST_F(VideoForms, AbortStopsTheBuildAndTellsTheUser) {
    MakeShow(8, 3, {800, 600});
    TDVDForm form(*State, Prompter);
    QSignalSpy ended(&form, &TDVDForm::BuildEnded);
    form.StartBuild(TVideoKind::Svcd, TTvStandard::Pal);
    AnswerNextModal();
    Find<QPushButton>(form, "AbortBitBtn")->click();
    ASSERT_TRUE(ended.wait(60000));
    QApplication::processEvents();
    EXPECT_EQ(form.Result().Outcome, TVideoBuildResult::TOutcome::Aborted);
    EXPECT_FALSE(QFileInfo::exists(TVideoBuild::ResultPath(*State, TVideoKind::Svcd)));
}

TEST_F(VideoForms, FailedBuildShowsTheErrorAndOnlyClose) {
    MakeShow(1, 3, {800, 600});
    TTestKit::WriteFile(State->WorkspaceDir + State->CurrentShow + "/Audio001.wav", "RIFF");
    TDVDForm form(*State, Prompter);
    QSignalSpy ended(&form, &TDVDForm::BuildEnded);
    form.StartBuild(TVideoKind::Vcd, TTvStandard::Pal);
    ASSERT_TRUE(ended.wait(60000));
    EXPECT_EQ(form.Result().Outcome, TVideoBuildResult::TOutcome::Failed);
    // The broken track was refused through the cross-thread prompter.
    EXPECT_EQ(Prompter.OfKind(TScriptedPrompter::TKind::Information).size(), 1);
    EXPECT_TRUE(Find<QPushButton>(form, "CloseBitBtn")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(form, "VideoBitBtn")->isEnabled());
    AnswerNextModal();
    Find<QPushButton>(form, "CloseBitBtn")->click();
    EXPECT_EQ(Told, State->Text(4606));
}

} // namespace
