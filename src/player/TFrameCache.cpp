#include "TFrameCache.h"

#include "shell/Jobs.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace Lumerix {

TFrameCache::TFrameCache(QObject* parent) : QObject(parent) {}

// Running jobs hold copies of everything they use; their watchers go with the cache and
// their results are dropped.
TFrameCache::~TFrameCache() = default;

void TFrameCache::SetComposer(const TFrameComposer& composer) {
    Layout = composer;
    Clear();
}

void TFrameCache::Clear() {
    ++Generation;
    Frames.clear();
    Pending.clear();
}

const TFrame* TFrameCache::Find(TFrameKey key) const {
    const auto found = Frames.constFind(key);
    return found == Frames.constEnd() ? nullptr : &found.value();
}

void TFrameCache::Request(TFrameKey key, const TPlayerPicture& picture) {
    if (Frames.contains(key) || Pending.contains(key))
        return;
    const int generation = Generation;
    Pending.insert(key, generation);
    auto* watcher = new QFutureWatcher<TFrame>(this);
    connect(watcher, &QFutureWatcher<TFrame>::finished, this, [this, watcher, key, generation] {
        watcher->deleteLater();
        if (generation != Generation || !Pending.contains(key))
            return;
        Pending.remove(key);
        Frames.insert(key, watcher->result());
        emit Ready(key);
    });
    const TFrameComposer composer = Layout;
    const auto compose = [composer, picture] {
        return composer.ComposePicture(picture);
    };
    watcher->setFuture(QtConcurrent::run(Jobs::Pool(), compose));
}

void TFrameCache::KeepOnly(const QList<TFrameKey>& keep) {
    for (auto it = Frames.begin(); it != Frames.end();) {
        if (keep.contains(it.key()))
            ++it;
        else
            it = Frames.erase(it);
    }
}

} // namespace Lumerix
