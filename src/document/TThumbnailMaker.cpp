#include "TThumbnailMaker.h"

#include "TPictureEntry.h"
#include "TSlideshowStore.h"
#include "imaging/TRasterImage.h"
#include "shell/Convert.h"
#include "shell/Jobs.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QtConcurrent/QtConcurrentMap>

#include <atomic>
#include <cmath>

namespace Lumerix {

namespace Thumbnails {

QImage Framed(const QString& picturePath, int height) {
    // A reduced decode that keeps the height keeps the width too, give or take a rounding.
    TRasterImage image;
    QSize stored;
    image.LoadScaled(picturePath, QSize(1, height), &stored);
    const int width = std::max(
        1, int(std::nearbyint(double(height) * stored.width() / std::max(1, stored.height()))));
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
    try {
        TRasterImage(framed).Save(target, 4);
        return true;
    } catch (const TImagingError& error) {
        if (writeError)
            *writeError = error.Text();
        return false;
    }
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
        if (name.toUpper().contains(QLatin1String(".JPG")))
            names.append(name);
    }
    return names;
}

QStringList List(const TRunState& state, const QString& folder, TProgress& progress) {
    const QString dir = QDir(folder).absolutePath() + u'/';
    const QStringList names = PictureNames(dir);
    QDir().mkpath(state.ProgramDir + QStringLiteral("thumbs"));

    struct TItem {
        QString Path;
        QString Thumbnail;
        bool Done = false;
    };
    QList<TItem> items;
    for (const QString& name : names) {
        const QString path = dir + name;
        items.append({path, Thumbnails::SourceThumbnailPath(state, path)});
    }

    std::atomic_int done = 0;
    QMutex reportLock;
    const int total = int(items.size());
    QtConcurrent::blockingMap(Jobs::Pool(), items, [&](TItem& item) {
        if (progress.Cancelled())
            return;
        Thumbnails::Make(item.Path, item.Thumbnail);
        item.Done = true;
        const int finished = ++done;
        const QMutexLocker locker(&reportLock);
        const int percent = Thumbnails::Percent(finished, total);
        progress.SetPercent(percent);
        progress.SetStatus(Thumbnails::ProgressText(state, percent));
    });

    QStringList entries;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].Done)
            entries.append(TPictureEntry{items[i].Thumbnail, names[i], {}, false}.Text());
    }
    entries.sort();
    return entries;
}

} // namespace SourceFolder

} // namespace Lumerix
