#include "TPlayerFixture.h"

#include "imaging/TRasterImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace Lumerix::PlayerTesting {

TPlayerFolder::TPlayerFolder() : RootPath(Temporary.path()) {}

void TPlayerFolder::Write(const QString& relative, const QByteArray& bytes) const {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QString TPlayerFolder::AddShow(const QString& name, const QString& title, int seconds,
                               const QList<QColor>& colours) {
    QByteArray lines;
    for (qsizetype i = 0; i < colours.size(); ++i) {
        const QString file = QStringLiteral("p%1.jpg").arg(i);
        WriteJpeg(Path(name + u'/' + file), colours[i]);
        lines += (file + QStringLiteral(" | Caption %1\r\n").arg(i)).toUtf8();
    }
    Write(name + QStringLiteral("/Pictures.ini"), lines);
    Write(name + QStringLiteral("/Diashow.ini"),
          QStringLiteral("[DIASHOW]\r\nTitel=%1\r\nTime=%2\r\n").arg(title).arg(seconds).toUtf8());
    return Path(name);
}

void TPlayerFolder::WriteSettings(const QList<std::pair<QString, QString>>& values) {
    QByteArray text = "[SETTINGS]\r\n";
    for (const auto& [key, value] : values)
        text += (key + u'=' + value + QStringLiteral("\r\n")).toUtf8();
    Write(QStringLiteral("Settings.ini"), text);
}

TPlayerSetup TPlayerFolder::Setup(double timeScale) const {
    TPlayerSetup setup = TPlayerSetup::Load(RootPath);
    setup.TimeScale = timeScale;
    setup.Music = false;
    return setup;
}

void WriteJpeg(const QString& path, QColor colour, QSize size) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_BGR888);
    image.fill(colour);
    TRasterImage(image).Save(path, 2);
}

bool Near(QColor actual, QColor expected, int tolerance) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    return QTest::qWaitFor(condition, milliseconds);
}

} // namespace Lumerix::PlayerTesting
