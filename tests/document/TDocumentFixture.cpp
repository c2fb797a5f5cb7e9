#include "TDocumentFixture.h"

#include "imaging/TRasterImage.h"
#include "shell/TStartup.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace Lumerix::DocumentTesting {

QImage Gradient(int width, int height, int blue) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(
                x, y,
                qRgb(x * 255 / std::max(width - 1, 1), y * 255 / std::max(height - 1, 1), blue));
    }
    return image;
}

QString WriteJpeg(const QString& path, int width, int height, int blue) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    TRasterImage(Gradient(width, height, blue)).Save(path);
    return path;
}

QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

double MeanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

void TDocumentTest::SetUp() {
    State = Kit.State();
    ASSERT_TRUE(TStartup::PrepareWorkspace(*State, Prompter));
    Prompter.Messages.clear();
    Workspace = State->WorkspaceDir;
    SourceDir = Kit.Root() + "pictures/";
    QDir().mkpath(SourceDir);
    Show = std::make_unique<TSlideshow>(*State, Prompter);
}

QString TDocumentTest::Source(const QString& name, int width, int height, int blue) {
    return WriteJpeg(SourceDir + name, width, height, blue);
}

QStringList TDocumentTest::EntryNames() const {
    QStringList names;
    for (int i = 0; i < Show->Pictures().Count(); ++i)
        names.append(Show->Pictures().Parsed(i).FileName);
    return names;
}

QStringList TDocumentTest::Captions() const {
    QStringList captions;
    for (int i = 0; i < Show->Pictures().Count(); ++i)
        captions.append(Show->Pictures().Parsed(i).Caption);
    return captions;
}

QStringList TDocumentTest::Texts(TScriptedPrompter::TKind kind) const {
    QStringList texts;
    for (const auto& message : Prompter.OfKind(kind))
        texts.append(message.Text);
    return texts;
}

QString TDocumentTest::MakeShowFolder(const QString& name, const QStringList& pictures,
                                      const QByteArray& picturesIni, const QString& title) {
    const QString folder = Workspace + name + "/";
    TTestKit::WriteFile(folder + "Diashow.ini",
                        "[DIASHOW]\r\nTitel=" + title.toUtf8() + "\r\nTime=5\r\n");
    int blue = 10;
    for (const QString& picture : pictures)
        WriteJpeg(folder + picture, 64, 32, blue += 40);
    TTestKit::WriteFile(folder + "Pictures.ini", picturesIni);
    return folder;
}

} // namespace Lumerix::DocumentTesting
