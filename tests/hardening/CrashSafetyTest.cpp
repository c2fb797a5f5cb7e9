// Kills lumerix-cli at random moments while it writes the files that hold the user's work and
// checks that every file is afterwards either what it was or what a finished run writes.
#include "support/TTestKit.h"

#include "document/TDocumentFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <limits>
#include <optional>

using namespace Lumerix;

namespace {

// A file's state: absent, or its bytes.
using TContent = std::optional<QByteArray>;

TContent Content(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

void Restore(const QString& path, const TContent& content) {
    if (!content) {
        QFile::remove(path);
        return;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(*content);
}

std::string Show(const TContent& content) {
    if (!content)
        return "(absent)";
    return content->isEmpty() ? std::string("(empty)") : content->left(300).toStdString();
}

// The file names of a picture list's lines.
QStringList PictureNames(const QByteArray& list) {
    QStringList names;
    for (const QByteArray& line : list.split('\n')) {
        if (!line.trimmed().isEmpty())
            names.append(QString::fromLatin1(line.split('|').first().trimmed()));
    }
    return names;
}

// How the content after a killed run may relate to the content before it.
enum class TChange {
    Replaces, ///< the file becomes what a finished run writes (rewrites are idempotent)
    Appends,  ///< the finished run adds one line to the file
};

struct TWatched {
    QString Path; ///< relative to the test root
    TChange Change;
    /// A whole file that a run may leave between the old and the new content: every start
    /// puts the shipped player settings in place until the first save of the run.
    QString AlsoWhole = {};
};

struct TScenario {
    const char* Name;
    std::function<QStringList(int round)> Arguments;
    QList<TWatched> Files;
    /// Deleted before some rounds, so that the files are created as well as replaced.
    QString RemovedEveryFourthRound;
};

class CrashSafety : public testing::TestWithParam<TScenario> {
protected:
    void SetUp() override {
        Home = Kit.Root() + "home/";
        const QString picture =
            DocumentTesting::WriteJpeg(Kit.Root() + "pictures/Strand.jpg", 48, 32);
        const TTestKit::TCliRun created = Kit.RunCli({"create", "Absturz", picture});
        ASSERT_EQ(created.ExitCode, 0) << created.Err.toStdString();
        ASSERT_EQ(created.Out.trimmed(), "Diashow_0003");
        // Every file exists once before the rounds begin.
        const TTestKit::TCliRun gallery = Kit.RunCli({"gallery", "Diashow_0003"});
        ASSERT_EQ(gallery.ExitCode, 0) << gallery.Err.toStdString();
        const TTestKit::TCliRun settings = Kit.RunCli({"settings", "DefaultTime=4"});
        ASSERT_EQ(settings.ExitCode, 0) << settings.Err.toStdString();
    }

    // Starts the tool as TTestKit::RunCli does and kills it (SIGKILL) after `killAfterMs`, or
    // lets it finish when that is negative. Returns the exit code of a finished run, -1 when
    // it was killed.
    int Run(const QStringList& arguments, int killAfterMs) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", Kit.Root() + "home");
        environment.insert("XDG_DATA_HOME", Kit.Root() + "home/.local/share");
        environment.insert("XDG_CONFIG_HOME", Kit.Root() + "home/.config");
        environment.insert("XDG_RUNTIME_DIR", Kit.Root() + "runtime");
        environment.remove("LUMERIX_PROGRAM_DIR");
        environment.remove("LUMERIX_KIT_DIR");
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        // A finished run that fails says why.
        if (killAfterMs >= 0)
            process.setStandardErrorFile(QProcess::nullDevice());
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QStringLiteral(LUMERIX_CLI), arguments);
        EXPECT_TRUE(process.waitForStarted());
        if (killAfterMs >= 0 && !process.waitForFinished(killAfterMs)) {
            process.kill();
            process.waitForFinished(30000);
            return -1;
        }
        EXPECT_TRUE(process.waitForFinished(60000) || process.state() == QProcess::NotRunning)
            << arguments.join(' ').toStdString() << ": " << process.errorString().toStdString();
        LastError = QString::fromLocal8Bit(process.readAllStandardError()).toStdString();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    TTestKit Kit;
    QString Home;
    std::string LastError; ///< what the last finished run printed on stderr
};

int Rounds() {
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("LUMERIX_CRASH_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : 24;
}

TEST_P(CrashSafety, KilledWriterLeavesOldOrNewContent) {
    const TScenario& scenario = GetParam();
    QDir().mkpath(Kit.Root() + "runtime");
    QFile::setPermissions(Kit.Root() + "runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // One finished run tells how long a run takes; the kills fall anywhere in its later part,
    // and a little beyond it.
    // The quicker of two runs: the first may be slowed by a cold cache.
    QStringList first = scenario.Arguments(0);
    first.replaceInStrings(QStringLiteral("%ROOT%"), Kit.Root());
    int duration = std::numeric_limits<int>::max();
    for (int i = 0; i < 2; ++i) {
        QElapsedTimer timer;
        timer.start();
        ASSERT_EQ(Run(first, -1), 0);
        duration = std::min(duration, std::max(5, int(timer.elapsed())));
    }

    QRandomGenerator random(quint32(qHash(QByteArray(scenario.Name))));
    int killed = 0;
    int unchanged = 0; // rounds whose files all kept their old content
    int written = 0;   // rounds whose files all got the finished run's content
    for (int round = 1; round <= Rounds(); ++round) {
        QStringList arguments = scenario.Arguments(round);
        arguments.replaceInStrings(QStringLiteral("%ROOT%"), Kit.Root());
        if (!scenario.RemovedEveryFourthRound.isEmpty() && round % 4 == 0)
            QFile::remove(Kit.Root() + scenario.RemovedEveryFourthRound);
        QList<TContent> before;
        for (const TWatched& file : scenario.Files)
            before.append(Content(Kit.Root() + file.Path));

        // Start-up takes the first part of a run; the writes come later.
        const int killAfter = duration / 3 + int(random.bounded(duration - duration / 6 + 1));
        if (Run(arguments, killAfter) < 0)
            ++killed;
        QList<TContent> afterKill;
        for (const TWatched& file : scenario.Files)
            afterKill.append(Content(Kit.Root() + file.Path));

        // What a finished run makes of the old files.
        for (int i = 0; i < scenario.Files.size(); ++i)
            Restore(Kit.Root() + scenario.Files[i].Path, before[i]);
        ASSERT_EQ(Run(arguments, -1), 0) << "round " << round << ": " << LastError;

        bool allOld = true;
        bool allNew = true;
        for (int i = 0; i < scenario.Files.size(); ++i) {
            const TWatched& file = scenario.Files[i];
            const TContent finished = Content(Kit.Root() + file.Path);
            allOld = allOld && afterKill[i] == before[i];
            allNew = allNew && afterKill[i] == finished && finished != before[i];
            ASSERT_TRUE(finished && !finished->isEmpty()) << file.Path.toStdString();
            const TContent& got = afterKill[i];
            bool acceptable = got == before[i] || got == finished ||
                              (!file.AlsoWhole.isEmpty() && got == Content(file.AlsoWhole));
            if (!acceptable && file.Change == TChange::Appends && got && before[i]) {
                // The killed run may have picked another name for the added picture, and a
                // saved list writes every opened line with its caption separator.
                const QStringList old = PictureNames(*before[i]);
                const QStringList now = PictureNames(*got);
                acceptable = got->endsWith("\r\n") && now.size() == old.size() + 1 &&
                             now.mid(0, old.size()) == old;
            }
            EXPECT_TRUE(acceptable)
                << file.Path.toStdString() << " after a kill at " << killAfter << " ms of round "
                << round << "\nbefore:   " << Show(before[i]) << "\nafter:    " << Show(got)
                << "\nfinished: " << Show(finished);
            if (!acceptable)
                return;
        }
        unchanged += allOld;
        written += allNew;
    }
    // Rounds must really have been cut short (how many depends on the machine's load).
    EXPECT_GE(killed, Rounds() / 4);
    std::cout << "  " << killed << " of " << Rounds() << " runs killed, " << unchanged
              << " before any write, " << written << " after the last one\n";
}

void PrintTo(const TScenario& scenario, std::ostream* out) {
    *out << scenario.Name;
}

const QString Show3 = QStringLiteral("home/Diashow/Diashow_0003/");
const QString Program = QStringLiteral("home/.local/share/lumerix/");

INSTANTIATE_TEST_SUITE_P(
    Writers, CrashSafety,
    testing::Values(
        TScenario{"CaptionRewritesPictureList",
                  [](int round) {
                      return QStringList{"caption", "Diashow_0003", "1",
                                         "Abends am Strand " + QString::number(round)};
                  },
                  {{Show3 + "Pictures.ini", TChange::Replaces}},
                  {}},
        TScenario{
            "AddedPictureRewritesDescriptionAndAppendsToList",
            [](int) {
                return QStringList{"add-pictures", "Diashow_0003", "%ROOT%pictures/Strand.jpg"};
            },
            {{Show3 + "Diashow.ini", TChange::Replaces},
             {Show3 + "Pictures.ini", TChange::Appends}},
            {}},
        TScenario{"SettingsRewriteGeneratorAndPlayerSettings",
                  [](int round) {
                      return QStringList{"settings",
                                         "DefaultTime=" + QString::number(round % 30 + 1),
                                         "BKGColor=" + QString::number(round * 4099),
                                         round % 2 ? "Fullscreen=TRUE" : "Fullscreen=FALSE"};
                  },
                  {{Program + "Generator.ini", TChange::Replaces},
                   {"home/Diashow/Settings.ini", TChange::Replaces,
                    LUMERIX_STAGED_KIT "/diashow/Settings.ini"}},
                  {}},
        TScenario{
            "PreferenceRewritesGenerator",
            [](int round) {
                return QStringList{"prefs", "SourcePicturesPath=/bilder/" + QString::number(round)};
            },
            {{Program + "Generator.ini", TChange::Replaces}},
            {}},
        TScenario{"GallerySettingsCreatedAndRewritten",
                  [](int round) {
                      return QStringList{"gallery", "Diashow_0003", "--set",
                                         "SmallPicX=" + QString::number(100 + round)};
                  },
                  {{Program + "Gallery_Diashow_0003.ini", TChange::Replaces}},
                  Program + "Gallery_Diashow_0003.ini"}),
    [](const testing::TestParamInfo<TScenario>& info) { return std::string(info.param.Name); });

} // namespace
