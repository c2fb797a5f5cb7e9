// Every writer of an output, run into a small tmpfs that is full: the failure is reported with
// the file and the cause, nothing half-written is left under a final name, and what was there
// before stays. The tmpfs is mounted in a private mount namespace (unshare -m, as root); the
// writers run in a second run of this program inside it.
#include "document/TSlideshow.h"
#include "gallery/TGalleryGenerator.h"
#include "gallery/TGallerySettings.h"
#include "imaging/TRasterImage.h"
#include "package/TPackageWriter.h"
#include "printing/TAlbumReport.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/TWorkspace.h"
#include "support/TTestKit.h"
#include "video/TAviWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

using namespace Lumerix;

namespace {

// Set to the tmpfs's mount point in the run inside the namespace.
constexpr const char* DiskVariable = "LUMERIX_FULL_DISK";
// Room left on the full disk: every output below needs more, every file of it too.
constexpr qint64 Leave = 64 * 1024;

// A noisy picture, which JPEG cannot make small.
QString NoisyJpeg(const QString& path, int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    QRandomGenerator random(quint32(width * 7 + height));
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int i = 0; i < width * 3; ++i)
            row[i] = uchar(random.bounded(256));
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    TRasterImage(image).Save(path, 2);
    return path;
}

// Every file under `folder` with its bytes, by path relative to `folder`.
QMap<QString, QByteArray> Files(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), TTestKit::ReadFile(path));
    }
    return files;
}

// Fills the disk up to `leave` bytes with one file.
void Fill(const QString& disk, qint64 leave) {
    QFile filler(disk + "filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    for (const qint64 chunk : {qint64(1) << 20, qint64(4096)}) {
        const QByteArray bytes(chunk, 'x');
        while (filler.write(bytes) == chunk) {
        }
        filler.unsetError();
    }
    ASSERT_TRUE(filler.resize(std::max<qint64>(0, filler.size() - leave)));
}

struct TContext {
    TTestKit& Kit;
    TRunState& State;
    QString Disk; ///< the full tmpfs, ending in "/"
};

struct TWriter {
    const char* Name;
    /// The output folder on the disk: its earlier files must stay and no new file may appear.
    QString Output;
    /// Puts an earlier output in place and makes the inputs (off the disk).
    std::function<void(TContext&)> Prepare;
    /// Runs the writer; returns the failure it reported, empty for success.
    std::function<QString(TContext&)> Run;
    /// What the failure must name besides a file on the disk.
    QString Cause = QStringLiteral("No space left on device");
};

const QStringList AlbumPictures = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg"};

QString Sources(TContext& context) {
    return context.Kit.Root() + "sources/";
}

const TWriter Writers[] = {
    {"PackageFolder", "CDROM-Diashow/",
     [](TContext& c) {
         c.State.CdRomDir = c.Disk + "CDROM-Diashow/";
         TTestKit::WriteFile(c.State.CdRomDir + "Autorun.inf", "earlier package");
         TTestKit::WriteFile(c.State.CdRomDir + "Diashow_0001/Bild.jpg", "earlier picture");
         NoisyJpeg(c.State.WorkspaceDir + "Diashow_0001/Gross.jpg", 600, 400);
     },
     [](TContext& c) {
         QString error;
         return PackageWriter::WriteCdRom(c.State, {"Diashow_0001"}, &error) ? QString() : error;
     },
     // Checked before anything is copied: both sizes are named.
     QStringLiteral(" MB, auf dem Laufwerk sind nur ")},
    {"Video", "video/",
     [](TContext& c) {
         QDir().mkpath(c.Disk + "video/encoder");
         TTestKit::WriteFile(c.Disk + "video/Urlaub_VCD.avi", "earlier video");
     },
     [](TContext& c) {
         TAviWriter writer(c.Disk + "video/encoder/");
         writer.Width = 352;
         writer.Height = 288;
         writer.FileName = c.Disk + "video/Urlaub_VCD.avi";
         QImage frame(352, 288, QImage::Format_RGB888);
         frame.fill(Qt::darkCyan);
         for (int i = 0; i < 4; ++i)
             writer.Bitmaps.append(frame);
         try {
             writer.Write();
         } catch (const TAviError& error) {
             return error.Text();
         }
         return QString();
     }},
    {"Gallery", "program/gallery/",
     [](TContext& c) {
         TTestKit::WriteFile(c.Disk + "program/gallery/gallery.html", "earlier gallery");
         TTestKit::WriteFile(c.Disk + "program/gallery/Alt.jpg", "earlier picture");
         for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
             NoisyJpeg(Sources(c) + name, 800, 600);
     },
     [](TContext& c) {
         TGalleryRequest request;
         request.ProgramDir = c.Disk + "program/";
         request.KitDir = c.State.KitDir;
         request.LanguageCode = "GERMAN";
         request.Title = "Urlaub";
         request.SettingsFile = c.Kit.Root() + "Gallery_Diashow_0001.ini";
         for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
             request.Pictures.append({Sources(c) + name, "Bild"});
         TGallerySettings settings;
         settings.LargePicX = "600";
         TSilentProgress progress;
         const TGalleryResult result = TGalleryGenerator(request, settings).Generate(progress);
         return result.Ok ? QString() : result.Error;
     }},
    {"ImportedPictures", "Diashow_0005/",
     [](TContext& c) {
         TTestKit::WriteFile(c.Disk + "Diashow_0005/Alt.jpg", "earlier picture");
         for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
             NoisyJpeg(Sources(c) + name, 400, 300);
     },
     [](TContext& c) {
         TSilentProgress progress;
         const QList<TImportedPicture> imported = TSlideshow::Import(
             c.State, c.Disk + "Diashow_0005/",
             {Sources(c) + "a.jpg", Sources(c) + "b.jpg", Sources(c) + "c.jpg"}, progress);
         QStringList errors;
         for (const TImportedPicture& picture : imported) {
             if (picture.Copied)
                 return QStringLiteral("%1 arrived").arg(picture.FileName);
             errors.append(picture.Error);
         }
         return errors.join('\n');
     }},
    {"AlbumPdf", "album/",
     [](TContext& c) {
         TTestKit::WriteFile(c.Disk + "album/Album.pdf", "earlier album");
         for (const QString& name : AlbumPictures)
             NoisyJpeg(c.Kit.Root() + "show/" + name, 1200, 900);
     },
     [](TContext& c) {
         TSilentProgress progress;
         const QString show = c.Kit.Root() + "show/";
         const std::optional<TAlbumReport> report = TAlbumReport::Prepare(
             show, "Urlaub", AlbumPictures, AlbumPictures, {571, false}, progress);
         if (!report)
             return QStringLiteral("not prepared");
         QString error;
         return report->WritePdf(c.Disk + "album/Album.pdf", &error) ? QString() : error;
     }},
};

class FullDiskWriters : public testing::TestWithParam<TWriter> {};

TEST_P(FullDiskWriters, FailureNamesFileAndCauseAndTheEarlierOutputStays) {
    const QString disk = qEnvironmentVariable(DiskVariable);
    if (disk.isEmpty())
        GTEST_SKIP() << "runs inside FullDisk.EveryWriterInAPrivateTmpfs";
    TTestKit kit;
    const std::unique_ptr<TRunState> state = kit.State();
    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    TContext context{kit, *state, QDir(disk).absolutePath() + '/'};
    for (const QString& entry :
         QDir(context.Disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        ASSERT_TRUE(QFileInfo(context.Disk + entry).isDir()
                        ? QDir(context.Disk + entry).removeRecursively()
                        : QFile::remove(context.Disk + entry));

    const TWriter& writer = GetParam();
    writer.Prepare(context);
    const QString output = context.Disk + writer.Output;
    const QMap<QString, QByteArray> before = Files(output);
    ASSERT_FALSE(before.isEmpty());
    Fill(context.Disk, Leave);

    const QString error = writer.Run(context);
    QFile::remove(context.Disk + "filler");

    EXPECT_FALSE(error.isEmpty()) << "a full disk was reported as success";
    EXPECT_TRUE(error.contains(writer.Cause)) << error.toStdString();
    EXPECT_TRUE(error.contains(context.Disk)) << "the file is named: " << error.toStdString();
    EXPECT_EQ(Files(output), before) << "what was there before stays, and nothing is added";
    // No work folder or file beside the output either.
    EXPECT_EQ(QDir(context.Disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QDir(writer.Output).path().section('/', 0, 0)});
}

INSTANTIATE_TEST_SUITE_P(Tmpfs, FullDiskWriters, testing::ValuesIn(Writers),
                         [](const testing::TestParamInfo<TWriter>& info) {
                             return std::string(info.param.Name);
                         });

// Runs the rows above in a private mount namespace with a small tmpfs of their own.
TEST(FullDisk, EveryWriterInAPrivateTmpfs) {
    if (!qEnvironmentVariableIsEmpty(DiskVariable))
        GTEST_SKIP() << "already inside the namespace";
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a tmpfs in a private mount namespace needs root";
    const QString unshare = QStandardPaths::findExecutable("unshare");
    if (unshare.isEmpty())
        GTEST_SKIP() << "unshare (util-linux) is not installed";
    const QStringList isolate = {"--mount", "--propagation", "private"};
    QProcess probe;
    probe.start(unshare, isolate + QStringList{"true"});
    if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0)
        GTEST_SKIP() << "no private mount namespace here: "
                     << probe.readAllStandardError().toStdString();

    QTemporaryDir mountPoint;
    QProcess inside;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(DiskVariable, mountPoint.path());
    inside.setProcessEnvironment(environment);
    inside.setProcessChannelMode(QProcess::MergedChannels);
    inside.start(unshare,
                 isolate + QStringList{"sh", "-c",
                                       "mount -t tmpfs -o size=8m lumerix-full \"$1\" && "
                                       "exec \"$0\" --gtest_filter='Tmpfs/*'",
                                       QCoreApplication::applicationFilePath(), mountPoint.path()});
    ASSERT_TRUE(inside.waitForFinished(120000));
    const QString log = QString::fromLocal8Bit(inside.readAll());
    EXPECT_EQ(inside.exitCode(), 0) << log.toStdString();
    EXPECT_TRUE(log.contains(QString("[  PASSED  ] %1 tests").arg(std::size(Writers))))
        << log.toStdString();
}

} // namespace
