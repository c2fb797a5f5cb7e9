#include "audio/TAudioFixture.h"

#include "audio/ui/TCheckAudioForm.h"
#include "shell/TRunState.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::AudioTesting;

namespace {

class CheckAudioForm : public testing::Test {
protected:
    void SetUp() override {
        State = Kit.State();
        Form = std::make_unique<TCheckAudioForm>(*State, Prompter, nullptr);
    }

    QString Text(const char* name) { return Find<QLabel>(*Form, name)->text(); }
    QString Edit(const char* name) { return Find<QLineEdit>(*Form, name)->text(); }
    bool Visible(const char* name) { return Find<QWidget>(*Form, name)->isVisible(); }

    TTestKit Kit;
    TScriptedPrompter Prompter;
    std::unique_ptr<TRunState> State;
    std::unique_ptr<TCheckAudioForm> Form;
};

TEST_F(CheckAudioForm, ShowingInspectsAnMp3) {
    EXPECT_EQ(Form->size(), QSize(546, 321));
    EXPECT_EQ(Form->windowTitle(), "Audio Info");
    EXPECT_EQ(Find<QPushButton>(*Form, "CloseButton")->text(), State->Text(6400));
    EXPECT_FALSE(Find<QLabel>(*Form, "Image1")->pixmap().isNull()) << "the kit's side picture";

    QByteArray bytes = FrameTrain(Bytes({0xFF, 0xFA, 0x90, 0xC5}), 417, 40);
    Form->SetAudioFileName(Write("window.mp3", bytes));
    Form->show();
    EXPECT_TRUE(Visible("MP3Panel"));
    EXPECT_FALSE(Visible("WavePanel"));
    EXPECT_EQ(Text("Label1"), "MP3 File");
    const std::pair<const char*, const char*> expected[] = {
        {"ValidMPEGText", "Yes"},
        {"FileSizeText", "16680 bytes"},
        {"MPEGTypeText", "MPEG 1 Layer III"},
        {"BitRateText", "CBR 128 kbit/s"},
        {"SampleRateText", "44100 Hz"},
        {"ChannelModeText", "Mono"},
        {"DurationText", "1.0 sec."},
        {"FirstFrameAtText", "0 bytes"},
        {"TotalFramesText", "40"},
        {"CRCProtectionText", "Yes"},
        {"CopyrightText", "No"},
        {"OriginalText", "Yes"},
        {"EmphasisText", "50/15 ms"},
        {"EncoderText", "Xing"},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(Text(name), value) << name;
    EXPECT_EQ(Form->Info().InfoStereo, "");
    EXPECT_TRUE(Prompter.Messages.isEmpty());

    Find<QPushButton>(*Form, "CloseButton")->click();
    EXPECT_FALSE(Form->isVisible());
}

TEST_F(CheckAudioForm, WavPanelAndSwitchingFiles) {
    Form->SetAudioFileName(Write("stereo.mp3", FrameTrain(Mpeg1Header, 417, 20)));
    Form->show();
    ASSERT_TRUE(Visible("MP3Panel"));
    EXPECT_TRUE(TAudioInspector::AcceptedForSlideshow(Form->Info()));

    // An open window inspects a newly set file at once.
    Form->SetAudioFileName(Write("voice.wav", WavHeader(1, 1, 22050, 16, 22050 * 4 * 65)));
    EXPECT_FALSE(Visible("MP3Panel"));
    EXPECT_TRUE(Visible("WavePanel"));
    EXPECT_EQ(Text("Label1"), "WAV File");
    EXPECT_EQ(Edit("ValidWAVEdit"), "Yes");
    EXPECT_EQ(Edit("FileSizeEdit"), "5733036 bytes");
    EXPECT_EQ(Edit("WavFormatEdit"), "1");
    EXPECT_EQ(Edit("BitsPerSampleEdit"), "16");
    EXPECT_EQ(Edit("SampleRateEdit"), "22050 Hz");
    EXPECT_EQ(Edit("ChannelModeEdit"), "Mono");
    EXPECT_EQ(Edit("DurationWAVEdit"), "0:01:05");
    EXPECT_EQ(Text("ValidMPEGText"), "") << "the MP3 fields are cleared";
    EXPECT_EQ(Form->Info().InfoSampleRate, "22050");
    EXPECT_EQ(Form->Info().InfoStereo, "");

    // A non-MPEG file right after an accepted one leaves no result strings behind.
    Form->SetAudioFileName(Write("stereo2.mp3", FrameTrain(Mpeg1Header, 417, 20)));
    ASSERT_TRUE(TAudioInspector::AcceptedForSlideshow(Form->Inspect()));
    Form->SetAudioFileName(Write("fake.mp3", QByteArray(4000, '\x20')));
    EXPECT_FALSE(Visible("MP3Panel"));
    EXPECT_FALSE(Visible("WavePanel"));
    EXPECT_EQ(Text("ValidMPEGText"), "No");
    EXPECT_EQ(Form->Info().InfoSampleRate, "");
    EXPECT_FALSE(TAudioInspector::AcceptedForSlideshow(Form->Info()));
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(CheckAudioForm, MessagesGoToThePrompter) {
    const QString missing = Folder() + "absent.mp3";
    Form->SetAudioFileName(missing);
    Form->Inspect();
    ASSERT_EQ(Prompter.Messages.size(), 1);
    EXPECT_EQ(Prompter.Messages[0].Kind, TScriptedPrompter::TKind::Information);
    EXPECT_EQ(Prompter.Messages[0].Text, "The file does not exist: " + missing);
    EXPECT_FALSE(Find<QWidget>(*Form, "MP3Panel")->isVisibleTo(Form.get()));

    const QString truncated = Write("cut.wav", QByteArray(20, 'R'));
    Form->SetAudioFileName(truncated);
    Form->show();
    ASSERT_EQ(Prompter.Messages.size(), 2);
    EXPECT_EQ(Prompter.Messages[1].Text, "Can not read data from the file: " + truncated);
    EXPECT_FALSE(Visible("WavePanel"));
}

} // namespace
