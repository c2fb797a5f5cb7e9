#include "TThumbnailMaker.h"

#include "TPictureEntry.h"
#include "TSlideshowStore.h"
#include "imaging/JpegMarkers.h"
#include "imaging/PictureFile.h"
#include "imaging/TRasterImage.h"
#include "shell/Convert.h"
#include "shell/Jobs.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <tuple>

namespace Lumerix {

namespace Thumbnails {

TReduced Reduced(const QString& picturePath, int height) {
    TReduced reduced;
    const PictureFile::TFormat format = PictureFile::FormatOfFile(picturePath);
    if (format != PictureFile::TFormat::Jpeg && format != PictureFile::TFormat::Unknown) {
        reduced.Image = PictureFile::Decode(picturePath).Bitmap;
        reduced.Stored = reduced.Image.size();
    } else {
        // A reduced decode that keeps the height keeps the width too, give or take a rounding.
        TRasterImage image;
        image.LoadScaled(picturePath, QSize(1, height), &reduced.Stored);
        reduced.Image = image.Bitmap();
        reduced.Warning = image.LoadWarning();
    }
    return reduced;
}

QImage Framed(const TReduced& reduced, int height) {
    const QSize stored = reduced.Stored;
    const int width = std::max(
        1, int(std::nearbyint(double(height) * stored.width() / std::max(1, stored.height()))));
    TRasterImage image(reduced.Image);
    image.Size(width, height, TResize::Bicubic);
    image.DrawShape(TShapeStyle{});
    // The corners the drop shadow leaves bare are painted white, the colour of the list.
    image.SetRgnRect(QRect(0, height - 2, 2, 2));
    image.Fill(Qt::white);
    image.SetRgnRect(QRect(width - 2, 0, 2, 2));
    image.Fill(Qt::white);
    image.FreeRgn();
    return image.Bitmap();
}

QImage Framed(const QString& picturePath, int height, QString* warning) {
    const TReduced reduced = Reduced(picturePath, height);
    if (warning)
        *warning = reduced.Warning;
    return Framed(reduced, height);
}

bool Save(const QImage& framed, const QString& target, QString* writeError) {
    try {
        TRasterImage(framed).Save(target, 4);
        return true;
    } catch (const TImagingError& error) {
        if (writeError)
            *writeError = error.Text();
        return false;
    }
}

bool Make(const QString& picturePath, const QString& target, bool force, int height,
          QString* writeError) {
    if (!force && QFileInfo::exists(target))
        return true;
    QImage framed;
    try {
        framed = Framed(picturePath, height);
    } catch (const TImagingError&) {
        return false;
    }
    return Save(framed, target, writeError);
}

QString MakeChecked(const QString& picturePath, const QString& target) {
    QString warning;
    TRasterImage(Framed(picturePath, Height, &warning)).Save(target, 4);
    return warning;
}

QString ShowThumbnailPath(const QString& picturePath) {
    const QFileInfo info(picturePath);
    return info.path() + u'/' + TSlideshowStore::ThumbnailPrefix + info.fileName();
}

QString SourceThumbnailPath(const TRunState& state, const QString& picturePath) {
    QString name = Convert::SafeFileName(picturePath);
    // File names end at 255 bytes. A longer name keeps its end (the picture's own name) and
    // gains a digest of the whole path, so it stays the same from run to run and unique.
    constexpr qsizetype MostBytes = 200;
    if (name.toUtf8().size() > MostBytes) {
        const QString digest = QString::fromLatin1(
            QCryptographicHash::hash(picturePath.toUtf8(), QCryptographicHash::Sha1)
                .toHex()
                .left(16));
        QString tail = name.right(MostBytes - digest.size() - 1);
        while (tail.toUtf8().size() > MostBytes - digest.size() - 1 ||
               (!tail.isEmpty() && tail.front().isLowSurrogate()))
            tail.remove(0, 1);
        name = digest + u'_' + tail;
    }
    return state.ProgramDir + QStringLiteral("thumbs/") + name + QStringLiteral(".jpg");
}

int Percent(int done, int total) {
    if (total <= 0)
        return 0;
    return int(std::nearbyint(100.0 * done / total));
}

QString ProgressText(const TRunState& state, int percent) {
    return state.Text(14000) + u' ' + QString::number(percent) + u' ' + state.Text(14001);
}

} // namespace Thumbnails

namespace SourceFolder {

QStringList PictureNames(const QString& folder) {
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        if (PictureFile::IsPictureName(name))
            names.append(name);
    }
    return names;
}

QString DateTaken(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        // The EXIF block sits at the start of the file, within its first 64 KiB.
        const QString taken = JpegMarkers::DateTaken(file.read(64 * 1024));
        if (!taken.isEmpty())
            return taken;
    }
    return QFileInfo(path).lastModified().toString(QStringLiteral("yyyy:MM:dd HH:mm:ss"));
}

QStringList List(const TRunState& state, const QString& folder, TProgress& progress, TOrder order) {
    const QString dir = QDir(folder).absolutePath() + u'/';
    const QStringList names = PictureNames(dir);
    QDir().mkpath(state.ProgramDir + QStringLiteral("thumbs"));

    struct TItem {
        QString Path;
        QString Thumbnail;
        QString Name;
        QString Taken;
        bool Done = false;
    };
    QList<TItem> items;
    for (const QString& name : names) {
        const QString path = dir + name;
        items.append({path, Thumbnails::SourceThumbnailPath(state, path), name, {}});
    }

    std::atomic_int done = 0;
    QMutex reportLock;
    const int total = int(items.size());
    QtConcurrent::blockingMap(Jobs::Pool(), items, [&](TItem& item) {
        if (progress.Cancelled())
            return;
        Thumbnails::Make(item.Path, item.Thumbnail);
        if (order == TOrder::DateTaken)
            item.Taken = DateTaken(item.Path);
        item.Done = true;
        const int finished = ++done;
        const QMutexLocker locker(&reportLock);
        const int percent = Thumbnails::Percent(finished, total);
        progress.SetPercent(percent);
        progress.SetStatus(Thumbnails::ProgressText(state, percent));
    });

    if (order == TOrder::DateTaken) {
        std::stable_sort(items.begin(), items.end(), [](const TItem& a, const TItem& b) {
            return std::tie(a.Taken, a.Name) < std::tie(b.Taken, b.Name);
        });
    }
    QStringList entries;
    for (const TItem& item : std::as_const(items)) {
        if (item.Done)
            entries.append(TPictureEntry{item.Thumbnail, item.Name, {}, false}.Text());
    }
    if (order == TOrder::Name)
        entries.sort();
    return entries;
}

} // namespace SourceFolder

} // namespace Lumerix
