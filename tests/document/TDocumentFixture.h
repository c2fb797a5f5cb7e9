#pragma once

#include "document/TSlideshow.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace Lumerix::DocumentTesting {

/// A picture whose red rises to the right and green downwards; `blue` tells pictures apart.
QImage Gradient(int width, int height, int blue = 90);
/// Saves a gradient JPEG at `path` (folders created) and returns the path.
QString WriteJpeg(const QString& path, int width, int height, int blue = 90);
/// The file names of a folder, sorted; hidden files included.
QStringList Files(const QString& folder);
/// Mean absolute difference of two pictures of one size over all channels; -1 on a size
/// mismatch.
double MeanDifference(const QImage& a, const QImage& b);

/// A test user with a prepared workspace (the samples Diashow_0001 and Diashow_0002 and the
/// "del" template), an open-nothing slideshow and a folder for source pictures.
class TDocumentTest : public testing::Test {
protected:
    void SetUp() override;

    /// A JPEG in the source folder.
    QString Source(const QString& name, int width = 64, int height = 32, int blue = 90);
    /// The file names of the open slideshow's entries, in list order.
    QStringList EntryNames() const;
    QStringList Captions() const;
    /// Messages of one kind, texts only.
    QStringList Texts(TScriptedPrompter::TKind kind) const;
    /// A slideshow folder made by hand: `Diashow.ini` with title and seconds, the given
    /// pictures and the raw `Pictures.ini` bytes.
    QString MakeShowFolder(const QString& name, const QStringList& pictures,
                           const QByteArray& picturesIni, const QString& title = "Handmade");

    TTestKit Kit;
    std::unique_ptr<TRunState> State;
    TScriptedPrompter Prompter;
    TSilentProgress Progress;
    std::unique_ptr<TSlideshow> Show;
    QString Workspace;
    QString SourceDir;
};

} // namespace Lumerix::DocumentTesting
