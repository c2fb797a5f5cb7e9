#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace Lumerix {

/// A music track that cannot be read, or no usable music at all; the text names the file.
class TMp4SoundError : public std::runtime_error {
public:
    explicit TMp4SoundError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

/// Decodes and mixes the sound track of an MP4: 48 kHz stereo, interleaved float samples.
class TMp4Sound {
public:
    static constexpr int Rate = 48000;
    static constexpr double FadeOutSeconds = 3.0;

    /// Decodes an MP3 or WAV file (any rate, any channel count) to 48 kHz stereo; empty when
    /// `cancelled` answers true.
    static std::vector<float> Decode(const QString& path,
                                     const std::function<bool()>& cancelled = {});

    /// The whole mix of tracks already decoded (for the tests); see `TSoundMix`.
    static std::vector<float> MixDecoded(const std::vector<std::vector<float>>& tracks,
                                         qint64 frames, double crossfadeSeconds);
};

/// The show's music, made block by block as the encoder asks for it: the tracks in order,
/// repeated or cut to `frames` sample frames, each fading into the next over
/// `crossfadeSeconds` (0: end to end), the whole faded out over the last three seconds; no
/// tracks give silence. A track is decoded when the mix reaches it and let go once played,
/// so an hour-long show holds about two tracks in memory, not an hour of sound.
class TSoundMix {
public:
    using TTrack = std::shared_ptr<const std::vector<float>>;
    /// The decoded track `k` (0 … count - 1); may throw `TMp4SoundError`.
    using TSource = std::function<TTrack(int k)>;

    TSoundMix(int trackCount, TSource source, qint64 frames, double crossfadeSeconds);
    /// Decodes `tracks` from their files; `cancelled` stops a decode and the mix goes silent.
    TSoundMix(const QStringList& tracks, qint64 frames, double crossfadeSeconds,
              std::function<bool()> cancelled = {});

    /// The next `count` sample frames into `out` (2 × `count` floats), silence past the end.
    /// Throws `TMp4SoundError` for an unreadable track and when every track is empty.
    void Read(float* out, qint64 count);

private:
    struct TPlaced {
        TTrack Samples;
        qint64 Start = 0;   ///< first sample frame in the mix
        qint64 Overlap = 0; ///< sample frames fading in over the track before
        qint64 End() const { return Start + qint64(Samples->size() / 2); }
    };

    /// Places tracks until the one after the last placed could no longer reach `until`.
    void PlaceUntil(qint64 until);

    TSource Source;
    int TrackCount = 0;
    qint64 Total = 0;
    qint64 Fade = 0;
    qint64 Position = 0; ///< where the next track would start without overlap
    int Next = 0;        ///< the next track to place
    bool Finished = false;
    std::deque<TPlaced> Placed;
    qint64 Done = 0; ///< sample frames already read
};

} // namespace Lumerix
