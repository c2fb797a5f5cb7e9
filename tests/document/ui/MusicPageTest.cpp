#include "document/TSlideshow.h"
#include "document/ui/TMusicPage.h"
#include "document/ui/TOpenForm.h"
#include "document/ui/TPicturePage.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/ui/TMainForm.h"
#include "support/TMainFormTest.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

using namespace Lumerix;

namespace {

// A short canonical 44.1 kHz stereo WAV; `tone` tells files apart.
QByteArray StereoWav(int tone) {
    QByteArray data(4 * 4410, 0);
    for (int i = 0; i < 4410; ++i)
        data[4 * i] = char((i * tone) & 0x7f);
    QByteArray header(44, 0);
    auto put32 = [&](int at, quint32 v) {
        qToLittleEndian(v, header.data() + at);
    };
    auto put16 = [&](int at, quint16 v) {
        qToLittleEndian(v, header.data() + at);
    };
    header.replace(0, 4, "RIFF");
    put32(4, 36 + data.size());
    header.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, 2);
    put32(24, 44100);
    put32(28, 44100 * 4);
    put16(32, 4);
    put16(34, 16);
    header.replace(36, 4, "data");
    put32(40, data.size());
    return header + data;
}

class MusicPage : public TMainFormTest {
protected:
    void SetUp() override {
        TMainFormTest::SetUp();
        if (HasFatalFailure())
            return;
        Music = Kit.Root() + "music/";
        for (const auto& [name, tone] : {std::pair{"a.wav", 1}, {"b.wav", 2}, {"c.wav", 3}})
            TTestKit::WriteFile(Music + name, StereoWav(tone));
        Form->Slideshow().NewShow("Mit Musik");
        // The later steps open only for a slideshow with pictures.
        QImage picture(32, 24, QImage::Format_RGB888);
        picture.fill(Qt::darkGreen);
        TRasterImage(picture).Save(Kit.Root() + "Bild.jpg");
        TSilentProgress quiet;
        ASSERT_TRUE(Form->Slideshow().AddPictures({Kit.Root() + "Bild.jpg"}, -1, quiet));
        Form->Pages()->setCurrentIndex(1);
        List = Find<QListWidget>(*Form, "AudioListBox");
    }

    void Add(const QString& name) {
        Prompter.Files.enqueue({Music + name});
        Find<QPushButton>(*Form, "OpenAudioBitBtn")->click();
    }
    QStringList Shown() const {
        QStringList names;
        for (int row = 0; row < List->count(); ++row)
            names.append(List->item(row)->text());
        return names;
    }
    QString Folder() const { return State->WorkspaceDir + State->CurrentShow + "/"; }

    QListWidget* List = nullptr;
    QString Music;
};

TEST_F(MusicPage, AddReorderLeaveAndRemove) {
    Add("a.wav");
    Add("b.wav");
    Add("c.wav");
    EXPECT_EQ(Shown(), (QStringList{"a.wav", "b.wav", "c.wav"}));
    EXPECT_TRUE(QFileInfo::exists(Folder() + "a.wav")) << "music makes the slideshow's folder";

    // Drag c to the top, then a below it: c, a, b.
    ASSERT_TRUE(List->model()->moveRow({}, 2, {}, 0));
    EXPECT_EQ(Shown(), (QStringList{"c.wav", "a.wav", "b.wav"}));

    // Leaving the page fixes the order on disk.
    Form->Pages()->setCurrentIndex(2);
    EXPECT_EQ(TTestKit::ReadFile(Folder() + "Audio001.wav"), StereoWav(3));
    EXPECT_EQ(TTestKit::ReadFile(Folder() + "Audio002.wav"), StereoWav(1));
    EXPECT_EQ(TTestKit::ReadFile(Folder() + "Audio003.wav"), StereoWav(2));

    Form->Pages()->setCurrentIndex(1);
    EXPECT_EQ(Shown(), (QStringList{"Audio001.wav", "Audio002.wav", "Audio003.wav"}));

    // With three selected, remove takes the last one selected.
    List->clearSelection();
    List->item(2)->setSelected(true);
    List->item(0)->setSelected(true);
    List->setCurrentRow(1, QItemSelectionModel::Select);
    Prompter.Answers.enqueue(true);
    Find<QPushButton>(*Form, "DeleteAudioBitBtn")->click();
    EXPECT_EQ(Shown(), (QStringList{"Audio001.wav", "Audio003.wav"}));
    EXPECT_FALSE(QFileInfo::exists(Folder() + "Audio002.wav"));
    EXPECT_TRUE(Prompter.OfKind(TScriptedPrompter::TKind::Error).isEmpty());
}

TEST_F(MusicPage, ButtonsWithoutASelectionExplainThemselves) {
    Add("a.wav");
    List->clearSelection();
    List->setCurrentRow(-1);
    for (const char* button :
         {"DeleteAudioBitBtn", "InfoBitBtn", "PlayBitBtn", "PauseBitBtn", "StopBitBtn"})
        Find<QPushButton>(*Form, button)->click();
    const QList<TScriptedPrompter::TMessage> messages =
        Prompter.OfKind(TScriptedPrompter::TKind::Information);
    ASSERT_EQ(messages.size(), 5);
    EXPECT_EQ(messages[0].Text, State->Text(10018));
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(messages[i].Text, State->Text(10023));

    // A click below the last track selects nothing.
    Prompter.Messages.clear();
    List->resize(200, 200);
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, QPoint(20, 180));
    ASSERT_EQ(Prompter.Messages.size(), 1);
    EXPECT_EQ(Prompter.Messages[0].Text, State->Text(10020));
    const QRect first = List->visualItemRect(List->item(0));
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(Prompter.Messages.size(), 1) << "a click on a track is quiet";
}

TEST_F(MusicPage, PlayingWithoutASoundDeviceStaysQuiet) {
    Add("a.wav");
    List->setCurrentRow(0);
    Find<QPushButton>(*Form, "PlayBitBtn")->click();
    Find<QPushButton>(*Form, "PauseBitBtn")->click();
    Find<QPushButton>(*Form, "StopBitBtn")->click();
    EXPECT_TRUE(Prompter.Messages.size() == 1) << "only the file chooser";
}

// The music belongs to its slideshow: opening another one and going on to the packages must
// not carry the first one's tracks over.
class MusicOfTwoShows : public TMainFormTest {
protected:
    void Open(const std::function<void()>& start) {
        QSignalSpy opened(Form->PicturePage(), &TPicturePage::ShowOpened);
        start();
        ASSERT_TRUE(opened.count() > 0 || opened.wait(10000));
    }
    QStringList Tracks(const char* show) const {
        return QDir(State->WorkspaceDir + show).entryList({"*.mp3", "*.wav"}, QDir::Files);
    }
};

TEST_F(MusicOfTwoShows, TracksStayInTheirFolderAcrossPageChanges) {
    const QStringList example = Tracks("Diashow_0001");
    const QStringList second = Tracks("Diashow_0002");
    ASSERT_EQ(example.size(), 1);
    Open([this] { Find<QPushButton>(*Form, "BeispielBitBtn")->click(); });
    Form->Pages()->setCurrentIndex(1);
    Form->Pages()->setCurrentIndex(0);
    EXPECT_EQ(Tracks("Diashow_0001"), QStringList{"Audio001.mp3"});

    Open([this] {
        QTimer::singleShot(0, [this] {
            auto* chooser = Find<TOpenForm>(*Form, "OpenForm");
            Find<QListWidget>(*chooser, "DiashowListBox")->setCurrentRow(1);
            Find<QPushButton>(*chooser, "OpenBitBtn")->click();
        });
        Find<QPushButton>(*Form, "Open1BitBtn")->click();
    });
    ASSERT_EQ(State->CurrentShow, "Diashow_0002");
    // Step 4 saves the music order first, then opens the output wizard: leave that at once.
    QTimer::singleShot(0, [] {
        if (QWidget* wizard = QApplication::activeModalWidget())
            wizard->close();
    });
    Form->Pages()->setCurrentIndex(3);
    EXPECT_EQ(Tracks("Diashow_0001"), QStringList{"Audio001.mp3"});
    EXPECT_EQ(Tracks("Diashow_0002"), QStringList{"Audio001.mp3"});
    EXPECT_EQ(TTestKit::ReadFile(State->WorkspaceDir + "Diashow_0002/Audio001.mp3"),
              TTestKit::ReadFile(State->KitFile("Bumble Bee - KAVORA.mp3")));
    EXPECT_EQ(second.size(), 1);
}

} // namespace
