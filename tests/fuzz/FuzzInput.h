#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace Lumerix::Fuzz {

/// The readers under test open files by name, so every input is written to one scratch file
/// of this process first (truncated each time; a process-unique name lets fuzz jobs run side
/// by side).
inline QString InputFile(const char* extension, const uint8_t* data, size_t size) {
    // Memory-backed when the system has such a folder: the writers under test sync every file.
    static const QString folder = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                      ? QStringLiteral("/dev/shm")
                                      : QDir::tempPath();
    static const QString path = folder + QStringLiteral("/lumerix-fuzz-") +
                                QString::number(getpid()) + QLatin1String(extension);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

/// Reads integers from the front of the input and leaves the rest as payload.
class TByteReader {
public:
    TByteReader(const uint8_t* data, size_t size) : Data(data), Size(size) {}
    quint32 Take(int bytes) {
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | (Position < Size ? Data[Position++] : 0);
        return value;
    }
    /// A value in [low, high] taken from two bytes.
    int Range(int low, int high) {
        const quint32 span = quint32(qint64(high) - low + 1);
        return int(qint64(low) + Take(2) % span);
    }
    const uint8_t* Rest() const { return Data + Position; }
    size_t RestSize() const { return Position < Size ? Size - Position : 0; }

private:
    const uint8_t* Data;
    size_t Size;
    size_t Position = 0;
};

} // namespace Lumerix::Fuzz
