#pragma once

#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/TStartup.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace Lumerix::PrintTesting {

/// Saves a JPEG of one colour at `path` (folders created).
inline QString SolidJpeg(const QString& path, QSize size, QColor colour) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    TRasterImage(image).Save(path);
    return path;
}

inline bool Near(QColor a, QColor b, int tolerance = 40) {
    return qAbs(a.red() - b.red()) < tolerance && qAbs(a.green() - b.green()) < tolerance &&
           qAbs(a.blue() - b.blue()) < tolerance;
}

/// The pages of a PDF file as `pdfinfo` counts them; -1 when it cannot.
inline int PdfPageCount(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(30000) || info.exitCode() != 0)
        return -1;
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(u"Pages:"))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

/// Page `page` (from 1) of a PDF rendered by `pdftoppm` at 96 dpi, so one pixel is one report
/// pixel; null when it cannot.
inline QImage PdfPage(const QString& pdf, int page, const QString& scratch) {
    const QString stem = QDir(scratch).filePath(QStringLiteral("page"));
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-f"),
                  QString::number(page), QStringLiteral("-l"), QString::number(page),
                  QStringLiteral("-singlefile"), pdf, stem});
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        return {};
    return QImage(stem + QStringLiteral(".ppm"));
}

/// Whether any pixel of `area` of `page` is dark: text or picture drawn there.
inline bool HasInk(const QImage& page, const QRect& area) {
    const QRect clipped = area.intersected(page.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                return true;
    return false;
}

/// A test user with a prepared workspace and an open, new slideshow.
class TPrintTest : public testing::Test {
protected:
    void SetUp() override {
        State = Kit.State();
        ASSERT_TRUE(TStartup::PrepareWorkspace(*State, Prompter));
        Prompter.Messages.clear();
        Show = std::make_unique<TSlideshow>(*State, Prompter);
        Show->NewShow(QStringLiteral("Urlaub am Meer"));
    }

    /// Adds solid pictures of these sizes and colours to the slideshow; false on failure.
    bool AddPictures(const QList<std::pair<QSize, QColor>>& pictures) {
        QStringList sources;
        for (qsizetype i = 0; i < pictures.size(); ++i)
            sources.append(SolidJpeg(Kit.Root() + QStringLiteral("pictures/Bild%1.jpg").arg(i + 1),
                                     pictures[i].first, pictures[i].second));
        TSilentProgress progress;
        return Show->AddPictures(sources, -1, progress);
    }

    QStringList Texts(TScriptedPrompter::TKind kind) const {
        QStringList texts;
        for (const auto& message : Prompter.OfKind(kind))
            texts.append(message.Text);
        return texts;
    }

    QStringList FileNames() const {
        QStringList names;
        for (int row = 0; row < Show->Pictures().Count(); ++row)
            names.append(Show->Pictures().Parsed(row).FileName);
        return names;
    }

    TTestKit Kit;
    std::unique_ptr<TRunState> State;
    TScriptedPrompter Prompter;
    std::unique_ptr<TSlideshow> Show;
};

} // namespace Lumerix::PrintTesting
