#pragma once

#include <QObject>
#include <QStringList>

class QAudioOutput;
class QMediaPlayer;

namespace Lumerix {

/// The music of a running slideshow: its tracks one after another, from the first again after
/// the last. Without a sound device it stays silent (the media player is never made, since
/// the multimedia backend may fail without one); a track that cannot be played is skipped,
/// and when none can be played the music stops. Nothing is ever reported.
class TMusicPlayer final : public QObject {
    Q_OBJECT
public:
    explicit TMusicPlayer(QObject* parent = nullptr);
    ~TMusicPlayer() override;

    void Play(const QStringList& tracks);
    void Stop();

    /// The track playing (index into the tracks), -1 when silent.
    int CurrentTrack() const { return Index; }

private:
    bool EnsurePlayer();
    void PlayTrack(int index);
    void TrackFailed(int attempt);
    void TrackEnded(int attempt);

    QMediaPlayer* Player = nullptr;
    QAudioOutput* Output = nullptr;
    QStringList Tracks;
    int Index = -1;
    int Failures = 0; ///< tracks that failed one after another
    int Attempt = 0;  ///< counts the tracks started, so late reports of an old one are dropped
};

} // namespace Lumerix
