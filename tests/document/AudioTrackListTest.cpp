#include "TDocumentFixture.h"

#include "document/TAudioTrackList.h"
#include "ripper/TCdRipper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtEndian>

#include <cmath>

using namespace Lumerix;
using namespace Lumerix::DocumentTesting;

namespace {

// A canonical PCM WAV of a short tone; `marker` makes files of one format tell apart.
QByteArray Wav(int rate, int channels, int marker = 0, double seconds = 0.2) {
    const int frames = int(rate * seconds);
    QByteArray data;
    for (int i = 0; i < frames; ++i) {
        const qint16 sample = qint16(8000 * std::sin(2 * M_PI * (440 + marker) * i / rate));
        for (int c = 0; c < channels; ++c)
            data.append(reinterpret_cast<const char*>(&sample), 2);
    }
    auto le32 = [](quint32 v) {
        QByteArray b(4, 0);
        qToLittleEndian(v, b.data());
        return b;
    };
    auto le16 = [](quint16 v) {
        QByteArray b(2, 0);
        qToLittleEndian(v, b.data());
        return b;
    };
    return "RIFF" + le32(36 + data.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(channels) +
           le32(rate) + le32(rate * channels * 2) + le16(channels * 2) + le16(16) + "data" +
           le32(data.size()) + data;
}

// An MP3 made by the real encoder from a tone.
QString Mp3(const QString& path, int rate, const char* mode) {
    const QString wav = path + ".wav";
    TTestKit::WriteFile(wav, Wav(rate, 2, 0, 0.5));
    QProcess lame;
    lame.start("lame", {"--quiet", "-m", QString::fromLatin1(mode), wav, path});
    EXPECT_TRUE(lame.waitForFinished(30000));
    EXPECT_EQ(lame.exitCode(), 0) << lame.readAllStandardError().toStdString();
    QFile::remove(wav);
    return path;
}

class AudioTracks : public TDocumentTest {
protected:
    void SetUp() override {
        TDocumentTest::SetUp();
        Show->OpenShow("Diashow_0002", Progress);
        Music = std::make_unique<TAudioTrackList>(*State, Prompter);
        Music->LoadAudioList();
        Folder = Workspace + "Diashow_0002/";
    }

    QString SourceWav(const QString& name, int rate = 44100, int channels = 2, int marker = 0) {
        const QString path = SourceDir + name;
        TTestKit::WriteFile(path, Wav(rate, channels, marker));
        return path;
    }
    QStringList Names() const {
        QStringList names;
        for (const QString& track : Music->Tracks())
            names.append(QFileInfo(track).fileName());
        return names;
    }

    std::unique_ptr<TAudioTrackList> Music;
    QString Folder;
};

TEST_F(AudioTracks, OnlyFortyFourKilohertzStereoComesIn) {
    const QStringList before = Files(Folder);
    EXPECT_FALSE(Music->AddTrack(SourceWav("mono.wav", 44100, 1)));
    EXPECT_FALSE(Music->AddTrack(Mp3(SourceDir + "fast.mp3", 48000, "s")));
    EXPECT_FALSE(Music->AddTrack(Mp3(SourceDir + "dual.mp3", 44100, "d")));
    EXPECT_EQ(Files(Folder), before) << "nothing rejected is copied";
    const QStringList messages = Texts(TScriptedPrompter::TKind::Information);
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[0], State->Text(10012) + " mono.wav " + State->Text(10013) + "\r\r" +
                               State->Text(10014) + "\r\r" + State->Text(10015));

    EXPECT_TRUE(Music->AddTrack(Mp3(SourceDir + "joint.mp3", 44100, "j")));
    EXPECT_TRUE(Music->AddTrack(SourceWav("stereo.wav")));
    EXPECT_TRUE(Names().contains("joint.mp3"));
    EXPECT_TRUE(Names().contains("stereo.wav"));
}

TEST_F(AudioTracks, ASecondCopyGetsANumberUnlessOverwritten) {
    const QString source = SourceWav("Lied.wav");
    ASSERT_TRUE(Music->AddTrack(source));
    Prompter.Answers.enqueue(false); // keep both
    ASSERT_TRUE(Music->AddTrack(source));
    const QStringList copies = QDir(Folder).entryList({"*Lied.wav"}, QDir::Files);
    ASSERT_EQ(copies.size(), 2);
    const QString numbered = copies.filter(QRegularExpression("^\\d+_Lied\\.wav$")).value(0);
    EXPECT_FALSE(numbered.isEmpty()) << copies.join(", ").toStdString();
    EXPECT_EQ(Prompter.OfKind(TScriptedPrompter::TKind::Confirm).size(), 1);

    TTestKit::WriteFile(source, Wav(44100, 2, 7));
    ASSERT_TRUE(Music->AddTrack(source, TAudioTrackList::TCollision::Overwrite));
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Lied.wav"), TTestKit::ReadFile(source));
    EXPECT_EQ(Names().count("Lied.wav"), 1) << "an overwritten track is not listed twice";
}

TEST_F(AudioTracks, TheOrderIsFixedByRenamingInTwoPasses) {
    // Remove the sample's music so that the three tracks are alone.
    for (const QString& track : Music->Tracks())
        QFile::remove(track);
    Music->LoadAudioList();
    ASSERT_TRUE(Music->AddTrack(SourceWav("a.wav", 44100, 2, 1)));
    ASSERT_TRUE(Music->AddTrack(Mp3(SourceDir + "b.mp3", 44100, "j")));
    ASSERT_TRUE(Music->AddTrack(SourceWav("c.wav", 44100, 2, 3)));
    const QByteArray a = TTestKit::ReadFile(Folder + "a.wav");
    const QByteArray b = TTestKit::ReadFile(Folder + "b.mp3");
    const QByteArray c = TTestKit::ReadFile(Folder + "c.wav");

    ASSERT_TRUE(Music->Arrange({"c.wav", "a.wav", "b.mp3"}));
    Music->SaveAudioOrder();
    EXPECT_EQ(Names(), (QStringList{"Audio001.wav", "Audio002.wav", "Audio003.mp3"}));
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Audio001.wav"), c);
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Audio002.wav"), a);
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Audio003.mp3"), b);

    // Swapping two tracks that already carry order names.
    ASSERT_TRUE(Music->Arrange({"Audio002.wav", "Audio001.wav"}));
    Music->SaveAudioOrder();
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Audio001.wav"), a);
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Audio002.wav"), c);
    EXPECT_TRUE(QDir(Folder).entryList({"_F_*"}).isEmpty());
}

TEST_F(AudioTracks, ARenameNeverReplacesAFileThatIsNoTrack) {
    for (const QString& track : Music->Tracks())
        QFile::remove(track);
    Music->LoadAudioList();
    ASSERT_TRUE(Music->AddTrack(SourceWav("x.wav")));
    // A file appears after the list was read, right where the track is to go.
    TTestKit::WriteFile(Folder + "Audio001.wav", "not a listed track");
    Music->SaveAudioOrder();
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Audio001.wav"), "not a listed track");
    EXPECT_TRUE(QFileInfo::exists(Folder + "x.wav")) << "the track keeps its name";
}

TEST_F(AudioTracks, MusicMakesTheFolderOfANewSlideshow) {
    Show->NewShow("Nur Musik");
    const QString folder = Workspace + State->CurrentShow + "/";
    ASSERT_FALSE(QFileInfo::exists(folder));
    TAudioTrackList music(*State, Prompter);
    ASSERT_TRUE(music.AddTrack(SourceWav("Intro.wav")));
    EXPECT_TRUE(QFileInfo::exists(folder + "Intro.wav"));
}

TEST_F(AudioTracks, RemovingAsksFirst) {
    ASSERT_TRUE(Music->AddTrack(SourceWav("weg.wav")));
    const int index = int(Names().indexOf("weg.wav"));
    EXPECT_FALSE(Music->Remove(index)) << "answered No";
    EXPECT_TRUE(QFileInfo::exists(Folder + "weg.wav"));
    Prompter.Answers.enqueue(true);
    EXPECT_TRUE(Music->Remove(index));
    EXPECT_FALSE(QFileInfo::exists(Folder + "weg.wav"));
    EXPECT_FALSE(Music->Remove(-1));
    EXPECT_EQ(Texts(TScriptedPrompter::TKind::Information).last(), State->Text(10018));
}

// ---------------------------------------------------------------------------------------------
// CD import, with a stand-in for cdparanoia on the PATH.

class CdImport : public TDocumentTest {
protected:
    void SetUp() override {
        TDocumentTest::SetUp();
        Bin = Kit.Root() + "bin/";
        TTestKit::WriteFile(Bin + "cdparanoia", R"(#!/bin/sh
if [ "$1" = "-Q" ]; then
  cat >&2 <<'TOC'
cdparanoia III release 10.2 (September 11, 2008)

Table of contents (audio tracks only):
track        length               begin        copy pre ch
===========================================================
  1.    16503 [03:40.03]        0 [00:00.00]    no   no  2
  2.     9000 [02:00.00]    16503 [03:40.03]    no   no  2
 10.      750 [00:10.00]    25503 [05:40.03]    no   no  2
TOTAL   26253 [05:50.03]    (audio only)
TOC
  exit 0
fi
if [ "$1" = "-w" ]; then
  [ "$2" = "2" ] && { echo "scratched" >&2; exit 1; }
  printf 'RIFF track %s' "$2" > "$3"
  exit 0
fi
exit 2
)");
        QFile::setPermissions(Bin + "cdparanoia",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        OldPath = qgetenv("PATH");
        qputenv("PATH", (Bin.chopped(1)).toUtf8() + ":" + OldPath);
    }
    void TearDown() override { qputenv("PATH", OldPath); }

    // Runs the ripper program alone with "--all" on Diashow_0001, with `path` as its PATH
    // (empty: this test's), and waits for it.
    void RunRipper(QProcess& ripper, const QString& path = {}) {
        ASSERT_TRUE(
            CdRipper::WriteHandOver(State->ProgramDir, State->WorkspaceDir, "Diashow_0001"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LUMERIX_PROGRAM_DIR", State->ProgramDir);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", Kit.Root() + "runtime");
        if (!path.isEmpty())
            environment.insert("PATH", path);
        ripper.setProcessEnvironment(environment);
        ripper.start(QStringLiteral(LUMERIX_RIPPER), {"--all"});
        ASSERT_TRUE(ripper.waitForFinished(30000));
    }

    QString Bin;
    QByteArray OldPath;
};

TEST_F(CdImport, TracksAreReadFromTheTableOfContents) {
    QString error;
    const QList<CdRipper::TTrack> tracks = CdRipper::ReadTracks(&error);
    ASSERT_EQ(tracks.size(), 3) << error.toStdString();
    EXPECT_EQ(tracks[0].Number, 1);
    EXPECT_EQ(tracks[0].Length, "03:40.03");
    EXPECT_EQ(tracks[2].Number, 10);
    EXPECT_EQ(tracks[2].Sectors, 750);
}

TEST_F(CdImport, RippingWritesNumberedTracksAndStopsAtAFailure) {
    const QString folder = Workspace + "Diashow_0002/";
    QString error;
    QStringList written = CdRipper::Rip({1, 10}, folder, Progress, &error);
    EXPECT_EQ(written, (QStringList{folder + "CD-Track01.wav", folder + "CD-Track10.wav"}));
    EXPECT_EQ(TTestKit::ReadFile(folder + "CD-Track10.wav"), "RIFF track 10");
    written = CdRipper::Rip({1, 2, 10}, folder, Progress, &error);
    EXPECT_EQ(written, QStringList{folder + "CD-Track01_2.wav"}) << "a taken name numbers on";
    EXPECT_TRUE(error.contains("track 2")) << error.toStdString();
    EXPECT_TRUE(error.contains("scratched")) << error.toStdString();
    EXPECT_TRUE(QDir(folder).entryList({"*.part"}).isEmpty());
}

TEST_F(CdImport, TheHandOverNamesAFolderInsideTheWorkspace) {
    QString error;
    ASSERT_TRUE(
        CdRipper::WriteHandOver(State->ProgramDir, State->WorkspaceDir, "Diashow_0002", &error));
    EXPECT_EQ(CdRipper::TargetFolder(State->ProgramDir), State->WorkspaceDir + "Diashow_0002/");
    ASSERT_TRUE(CdRipper::WriteHandOver(State->ProgramDir, State->WorkspaceDir, "../etc"));
    EXPECT_EQ(CdRipper::TargetFolder(State->ProgramDir), "");
}

TEST_F(CdImport, TheCheckNamesTheMissingPart) {
    const QString devices = Kit.Root() + "dev/";
    QDir().mkpath(devices);
    EXPECT_EQ(CdRipper::Check(devices), CdRipper::TMissing::Drive);
    TTestKit::WriteFile(devices + "sr0", "");
    EXPECT_EQ(CdRipper::Check(devices), CdRipper::TMissing::Nothing);
    qputenv("PATH", "/nonexistent");
    EXPECT_EQ(CdRipper::Check(devices), CdRipper::TMissing::Program);
}

TEST_F(CdImport, TheRipperProgramRipsEveryTrackIntoTheHandedOverFolder) {
    QProcess ripper;
    ASSERT_NO_FATAL_FAILURE(RunRipper(ripper));
    // Track 2 fails: the ripper reports it and keeps what it read before.
    const QStringList tracks =
        QDir(State->WorkspaceDir + "Diashow_0001").entryList({"CD-Track*"}, QDir::Files);
    EXPECT_EQ(tracks, QStringList{"CD-Track01.wav"});
}

TEST_F(CdImport, TheRipperAloneNamesTheMissingProgram) {
    QProcess ripper;
    ASSERT_NO_FATAL_FAILURE(RunRipper(ripper, Kit.Root() + "nothing"));
    EXPECT_EQ(ripper.exitCode(), 1);
    const QString error = QString::fromUtf8(ripper.readAllStandardError());
    EXPECT_TRUE(error.contains("cdparanoia") &&
                (error.contains("nicht installiert") || error.contains("not installed")))
        << error.toStdString();
}

} // namespace

namespace {

TEST(MusicCli, AddListOrderAndRemoveTracks) {
    TTestKit kit;
    const QString music = kit.Root() + "music/";
    TTestKit::WriteFile(music + "x.wav", Wav(44100, 2, 1));
    TTestKit::WriteFile(music + "y.wav", Wav(44100, 2, 2));
    TTestKit::WriteFile(music + "mono.wav", Wav(44100, 1));
    ASSERT_EQ(kit.RunCli({"music", "Diashow_0001"}).ExitCode, 0);
    const QString sample = kit.RunCli({"music", "Diashow_0001"}).Out.trimmed();

    EXPECT_EQ(kit.RunCli({"add-music", "Diashow_0001", music + "x.wav", music + "y.wav"}).ExitCode,
              0);
    const TTestKit::TCliRun rejected =
        kit.RunCli({"add-music", "Diashow_0001", music + "mono.wav"});
    EXPECT_EQ(rejected.ExitCode, 1);
    EXPECT_TRUE(rejected.Out.contains("mono.wav")) << "the rejection message names the file";
    EXPECT_FALSE(rejected.Out.contains('\r')) << "a terminal would show only the last part";
    EXPECT_EQ(kit.RunCli({"add-music", "Diashow_0001", music + "x.wav", "--no"}).ExitCode, 0);
    const QStringList tracks =
        kit.RunCli({"music", "Diashow_0001"}).Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(tracks.size(), 4) << tracks.join(", ").toStdString();
    EXPECT_EQ(tracks.filter(QRegularExpression("^\\d+_x\\.wav$")).size(), 1);

    const TTestKit::TCliRun ordered =
        kit.RunCli({"order-music", "Diashow_0001", "y.wav", "x.wav", sample});
    ASSERT_EQ(ordered.ExitCode, 0) << ordered.Err.toStdString();
    const QString folder = kit.Root() + "home/Diashow/Diashow_0001/";
    EXPECT_EQ(TTestKit::ReadFile(folder + "Audio001.wav"), Wav(44100, 2, 2));
    EXPECT_EQ(TTestKit::ReadFile(folder + "Audio002.wav"), Wav(44100, 2, 1));
    EXPECT_TRUE(QFileInfo::exists(folder + "Audio003.mp3"));
    EXPECT_EQ(kit.RunCli({"order-music", "Diashow_0001", "nothere.wav"}).ExitCode, 1);

    EXPECT_EQ(kit.RunCli({"remove-music", "Diashow_0001", "Audio001.wav"}).ExitCode, 1)
        << "refused without --yes";
    EXPECT_EQ(kit.RunCli({"--yes", "remove-music", "Diashow_0001", "Audio001.wav"}).ExitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(folder + "Audio001.wav"));
}

} // namespace
