#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// Test files are made, and results checked, with the ffmpeg command-line tools.
namespace Lumerix::FfmpegTools {

/// Runs ffmpeg quietly with `arguments`; true on success.
inline bool Ffmpeg(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("ffmpeg"),
                  QStringList{"-v", "error", "-nostdin", "-y"} + arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "ffmpeg " << arguments.join(u' ').toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

/// A sine tone of `seconds` from the lavfi source, encoded with `codec`.
inline bool MakeTone(const QString& path, const QString& codec, int rate, int channels,
                     double seconds, int frequency = 440) {
    return Ffmpeg({"-f", "lavfi", "-i",
                   QStringLiteral("sine=frequency=%1:duration=%2:sample_rate=%3")
                       .arg(frequency)
                       .arg(seconds)
                       .arg(rate),
                   "-ac", QString::number(channels), "-c:a", codec, path});
}

/// ffprobe's view of a file: {"streams": [...], "format": {...}}.
inline QJsonObject Probe(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("ffprobe"),
                  {"-v", "error", "-print_format", "json", "-show_streams", "-show_format", path});
    process.waitForFinished(30000);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

inline QJsonObject Stream(const QJsonObject& probe, const QString& type) {
    for (const QJsonValue& stream : probe.value("streams").toArray()) {
        if (stream.toObject().value("codec_type").toString() == type)
            return stream.toObject();
    }
    return {};
}

} // namespace Lumerix::FfmpegTools
