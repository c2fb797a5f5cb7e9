#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {

class TPrompter;
class TRunState;

/// The music of the open slideshow: the "*.mp3" and "*.wav" files of its folder, played in
/// file-name order. The list holds their full paths in the order the user arranged; saving
/// the order renames them "Audio001.mp3", "Audio002.wav" … to fix it on disk.
///
/// The list belongs to the folder it was loaded from. Once another slideshow is open, every
/// change first reloads it from that slideshow's folder, and a rename only ever touches a
/// track inside the open slideshow's folder: a track can never move to another slideshow.
class TAudioTrackList {
public:
    TAudioTrackList(TRunState& state, TPrompter& prompter);

    const QStringList& Tracks() const { return List; }
    int Count() const { return int(List.size()); }

    /// The music files of a folder: "*.mp3" then "*.wav", sorted by name, letter case
    /// ignored.
    static QStringList TrackPaths(const QString& folder);

    /// Rebuilds the list from the slideshow folder; tracks that fail the audio check are
    /// listed and, with `report`, reported.
    void LoadAudioList(bool report = true);

    enum class TCollision {
        Ask,       ///< ask whether to overwrite
        Overwrite, ///< replace the track of the same name
        KeepBoth,  ///< add the new file under a numbered name
    };
    /// Adds a music file: refuses it with the rejection message unless it is 44.1 kHz stereo,
    /// creates the slideshow folder when needed and copies the file in (a name collision is
    /// settled by `collision`). False when nothing was added.
    bool AddTrack(const QString& source, TCollision collision = TCollision::Ask);

    /// Moves track `from` so that it ends up at `to`.
    void Move(int from, int to);
    /// Puts the tracks into the given order (`names` are file names of listed tracks; the
    /// rest follow in their order). False when a name is not a listed track.
    bool Arrange(const QStringList& names, QString* error = nullptr);

    /// Asks, then deletes track `index`. False when nothing was removed.
    bool Remove(int index);

    /// Renames the tracks to "Audio" + position + their extension, in list order, then
    /// reloads the list. A rename never replaces a file that is not one of the tracks.
    void SaveAudioOrder();

    /// The rejection message for a file that is not 44.1 kHz stereo.
    QString RejectionMessage(const QString& path) const;

private:
    QString ShowDir() const;
    /// Reloads the list, without reports, when it was loaded for another slideshow.
    void FollowOpenShow();

    TRunState& State;
    TPrompter& Prompter;
    QStringList List;
    QString LoadedFolder; ///< the folder the list was read from; empty before any load
};

} // namespace Lumerix
