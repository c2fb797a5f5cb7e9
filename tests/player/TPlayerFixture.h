#pragma once

#include "player/TPlayerSetup.h"
#include "support/QtPrinters.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <utility>

namespace Lumerix::PlayerTesting {

/// A player folder under a temporary root: `Settings.ini`, `Effects.ini`, `Language.ini`,
/// `play.ply` and slideshow folders written by the test.
class TPlayerFolder {
public:
    TPlayerFolder();

    const QString& Root() const { return RootPath; }
    QString Path(const QString& relative) const { return RootPath + u'/' + relative; }

    /// A slideshow folder with one plain JPEG per colour ("p0.jpg", "p1.jpg" …), captioned
    /// "Caption 0", "Caption 1" … ; returns its path.
    QString AddShow(const QString& name, const QString& title, int seconds,
                    const QList<QColor>& colours);
    /// `Settings.ini` with these keys (the rest left to the defaults).
    void WriteSettings(const QList<std::pair<QString, QString>>& values);

    void Write(const QString& relative, const QByteArray& bytes) const;

    /// The setup the player reads from this folder, with short waits and no music.
    TPlayerSetup Setup(double timeScale = 0.02) const;

private:
    QTemporaryDir Temporary;
    QString RootPath;
};

/// Writes a JPEG of one colour (folders created).
void WriteJpeg(const QString& path, QColor colour, QSize size = QSize(160, 120));

/// True when `actual` is within `tolerance` of `expected` in every channel (JPEG is lossy).
bool Near(QColor actual, QColor expected, int tolerance = 24);

/// Waits up to `milliseconds` for `condition`, running the event loop.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 5000);

} // namespace Lumerix::PlayerTesting
