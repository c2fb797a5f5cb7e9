#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace Lumerix {

class TProgress;

/// Joins WAVE files end to end, starting again with the first as often as needed, until
/// `TargetSeconds` × 44100 samples are written, and writes them as one PCM WAVE file in the
/// first file's PCM format. Files of another PCM format are converted to it first.
class TWaveJoin {
public:
    QStringList InputFiles;
    QString OutputFile;
    int TargetSeconds = 0;

    /// Status ("Aktuelle Datei: …") and percentage; may be null. Cancelling stops the join
    /// with an error after the output is closed.
    TProgress* Progress = nullptr;
    /// A line for the build log ("     read audio …").
    std::function<void(const QString&)> OnLog;
    /// A line for the message list ("read audio …").
    std::function<void(const QString&)> OnMessage;
    /// The position text ("Position: 12 Sekunden").
    std::function<void(const QString&)> OnPosition;

    /// Returns the number of samples written. Errors are raised as TWaveError after the
    /// output has been closed.
    qint64 ConcatenateToLength();

private:
    void Log(const QString& logLine, const QString& message) const;
};

} // namespace Lumerix
