#include "TMusicPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace Lumerix {

TMusicPlayer::TMusicPlayer(QObject* parent) : QObject(parent) {}

TMusicPlayer::~TMusicPlayer() {
    if (Player)
        Player->stop();
}

bool TMusicPlayer::EnsurePlayer() {
    if (Player)
        return true;
    if (QMediaDevices::audioOutputs().isEmpty())
        return false;
    Player = new QMediaPlayer(this);
    Output = new QAudioOutput(this);
    Player->setAudioOutput(Output);
    // Handled out of the player's own signals, so a new source is never set while it reports.
    // A failure may be reported twice (error and status); the attempt number counts it once.
    auto later = [this](void (TMusicPlayer::*handler)(int)) {
        const int attempt = Attempt;
        QTimer::singleShot(0, this, [this, handler, attempt] { (this->*handler)(attempt); });
    };
    connect(Player, &QMediaPlayer::errorOccurred, this,
            [later] { later(&TMusicPlayer::TrackFailed); });
    connect(Player, &QMediaPlayer::mediaStatusChanged, this,
            [this, later](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia)
                    later(&TMusicPlayer::TrackEnded);
                else if (status == QMediaPlayer::InvalidMedia)
                    later(&TMusicPlayer::TrackFailed);
                else if (status == QMediaPlayer::BufferedMedia)
                    Failures = 0;
            });
    return true;
}

void TMusicPlayer::Play(const QStringList& tracks) {
    Stop();
    Tracks = tracks;
    Failures = 0;
    if (Tracks.isEmpty() || !EnsurePlayer())
        return;
    PlayTrack(0);
}

void TMusicPlayer::Stop() {
    ++Attempt;
    Index = -1;
    Tracks.clear();
    if (Player)
        Player->stop();
}

void TMusicPlayer::PlayTrack(int index) {
    if (!Player || Tracks.isEmpty())
        return;
    ++Attempt;
    Index = index % int(Tracks.size());
    // One track repeats by itself; several are chained at the end of each.
    Player->setLoops(Tracks.size() == 1 ? QMediaPlayer::Infinite : 1);
    Player->setSource(QUrl::fromLocalFile(Tracks[Index]));
    Player->play();
}

void TMusicPlayer::TrackFailed(int attempt) {
    if (Index < 0 || attempt != Attempt)
        return;
    if (++Failures >= Tracks.size()) {
        Stop();
        return;
    }
    PlayTrack(Index + 1);
}

void TMusicPlayer::TrackEnded(int attempt) {
    if (Index < 0 || attempt != Attempt)
        return;
    Failures = 0;
    PlayTrack(Index + 1);
}

} // namespace Lumerix
