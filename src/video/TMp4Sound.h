#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace Lumerix {

/// A music track that cannot be read, or no usable music at all; the text names the file.
class TMp4SoundError : public std::runtime_error {
public:
    explicit TMp4SoundError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

/// The sound track of an MP4: 48 kHz stereo, interleaved float samples.
class TMp4Sound {
public:
    static constexpr int Rate = 48000;
    static constexpr double FadeOutSeconds = 3.0;

    /// Decodes an MP3 or WAV file (any rate, any channel count) to 48 kHz stereo.
    static std::vector<float> Decode(const QString& path, const std::atomic_bool* cancel = nullptr);

    /// The tracks in order, repeated or cut to `frames` sample frames, each track fading into
    /// the next over `crossfadeSeconds` (0: end to end), and faded out over the last three
    /// seconds. No tracks give silence. Throws `TMp4SoundError` for an unreadable track and
    /// when every track is empty.
    static std::vector<float> Mix(const QStringList& tracks, qint64 frames, double crossfadeSeconds,
                                  const std::atomic_bool* cancel = nullptr);

    /// The mixing itself, on tracks already decoded (for the tests).
    static std::vector<float> MixDecoded(const std::vector<std::vector<float>>& tracks,
                                         qint64 frames, double crossfadeSeconds);
};

} // namespace Lumerix
