#pragma once

#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace Lumerix::VideoTesting {

/// A picture whose upper half is red and lower half blue, so upright frames can be told.
inline QString TwoColourJpeg(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(Qt::blue);
    for (int y = 0; y < size.height() / 2; ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, Qt::red);
    QDir().mkpath(QFileInfo(path).path());
    TRasterImage(image).Save(path);
    return path;
}

/// A test user with an open slideshow made of generated pictures.
class TVideoShowFixture : public testing::Test {
protected:
    void SetUp() override {
        State = Kit.State();
        Show = std::make_unique<TSlideshow>(*State, Prompter);
    }

    /// A slideshow titled `title` of `count` pictures of `size` shown `seconds` each.
    void MakeShow(int count, int seconds = 3, QSize size = {1600, 1200},
                  const QString& title = QStringLiteral("Ferien am Meer")) {
        Show->NewShow(title);
        QStringList sources;
        for (int i = 0; i < count; ++i)
            sources.append(
                TwoColourJpeg(Kit.Root() + QStringLiteral("photos/Bild%1.jpg").arg(i), size));
        TSilentProgress progress;
        ASSERT_TRUE(Show->AddPictures(sources, -1, progress));
        State->SecondsPerPicture = QString::number(seconds);
        Show->SaveShow(false);
    }

    QString ShowDir() const { return State->WorkspaceDir + State->CurrentShow + u'/'; }

    TTestKit Kit;
    std::unique_ptr<TRunState> State;
    TScriptedPrompter Prompter;
    std::unique_ptr<TSlideshow> Show;
};

} // namespace Lumerix::VideoTesting
