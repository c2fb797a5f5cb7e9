#pragma once

#include "TFrameComposer.h"
#include "TPlayerShow.h"

#include <QHash>
#include <QList>
#include <QObject>

namespace Lumerix {

/// A picture of the play sequence: slideshow `Show`, picture `Picture` (both from 0).
struct TFrameKey {
    int Show = 0;
    int Picture = 0;
    friend bool operator==(const TFrameKey&, const TFrameKey&) = default;
};

inline size_t qHash(const TFrameKey& key, size_t seed = 0) {
    return ::qHash((quint64(quint32(key.Show)) << 32) | quint32(key.Picture), seed);
}

/// Composed screens of pictures, made ahead of time: each request decodes and composes on
/// the thread pool, and `Ready` tells when it is done, so the window never waits on a decoder.
class TFrameCache final : public QObject {
    Q_OBJECT
public:
    explicit TFrameCache(QObject* parent = nullptr);
    ~TFrameCache() override;

    /// Sets the screen layout; every frame made for the old one is dropped.
    void SetComposer(const TFrameComposer& composer);
    const TFrameComposer& Composer() const { return Layout; }

    /// The finished frame, or nullptr while it is missing or under way.
    const TFrame* Find(TFrameKey key) const;
    bool IsPending(TFrameKey key) const { return Pending.contains(key); }
    /// Starts composing `picture` as `key`, unless it is done or under way.
    void Request(TFrameKey key, const TPlayerPicture& picture);
    /// Forgets finished frames other than `keep`, to bound the memory.
    void KeepOnly(const QList<TFrameKey>& keep);
    /// Forgets every frame.
    void Clear();

signals:
    /// The frame of `key` is done (it may have failed: see `TFrame::Ok`).
    void Ready(TFrameKey key);

private:
    TFrameComposer Layout;
    QHash<TFrameKey, TFrame> Frames;
    QHash<TFrameKey, int> Pending; ///< key → generation of its job
    int Generation = 0;
};

} // namespace Lumerix
