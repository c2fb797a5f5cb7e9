#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include <stdexcept>

namespace Lumerix {

class TProgress;

/// An error of reading the encoder folder or writing the MPEG file; the text names the file
/// and the cause and is shown to the user.
class TMpegError : public std::runtime_error {
public:
    explicit TMpegError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

/// Encoding stopped because the user cancelled.
class TMpegCancelled : public TMpegError {
public:
    TMpegCancelled() : TMpegError(QStringLiteral("MPEG encoding cancelled")) {}
};

/// Encodes the frame sequence of an encoder folder ("Test_0000.jpg" …, the hold counts of
/// "Test_quantity.nno" and the sound of "Input.wav") into a VCD or SVCD MPEG program stream.
/// The disc format comes from the result name ("_VCD.mpg" / "_SVCD.mpg"), the television
/// standard from the frame size. Works in two steps: `OpenMPDX` reads and checks the folder,
/// `EncodeMPDX` writes the file.
class TMpegEncoder {
public:
    enum class TDisc { Vcd, Svcd };
    enum class TStandard { Pal, Ntsc };

    /// One picture of the sequence and how many 25-fps frames it is shown.
    struct TFrame {
        QString File;
        int Count = 1;
    };

    /// Name of the quantity list and the sound file in the folder.
    static const QString QuantityFile;
    static const QString SoundFile;

    /// Reads and checks the folder; throws `TMpegError` naming the file and the cause.
    static TMpegEncoder OpenMPDX(const QString& encoderDir, const QString& resultPath);

    /// Copies `silentWav` to the folder's sound file when the folder has none (a show without
    /// music); throws `TMpegError` when the copy fails.
    static void ProvideSilence(const QString& encoderDir, const QString& silentWav);

    /// Encodes into a work file beside the result, checks the written stream and renames it to
    /// the result. Nothing half-written is left behind: throws `TMpegCancelled` when
    /// `progress` is cancelled and `TMpegError` on any failure. `progress` may be null.
    void EncodeMPDX(TProgress* progress);

    TDisc Disc() const { return DiscValue; }
    TStandard Standard() const { return StandardValue; }
    QSize FrameSize() const { return Size; }
    const QList<TFrame>& Frames() const { return Sequence; }
    const QString& ResultPath() const { return Result; }
    /// The work file the stream is written to before it is renamed.
    QString WorkPath() const { return Result + QStringLiteral(".part"); }

    /// Frames of the show counted at 25 fps, and its length in seconds.
    qint64 PlannedFrames25() const { return Frames25; }
    double PlannedSeconds() const { return double(Frames25) / 25.0; }
    /// Frames of the written video at its own rate (25 or 30000/1001 fps).
    qint64 PlannedFrames() const;
    /// The output frame on which sequence entry `index` starts (`index` == size: the end).
    qint64 StartFrame(int index) const;

private:
    TMpegEncoder() = default;

    void Encode(TProgress* progress, const QString& workPath);
    void Verify(const QString& workPath) const;

    QString Folder;
    QString Result;
    TDisc DiscValue = TDisc::Vcd;
    TStandard StandardValue = TStandard::Pal;
    QSize Size;
    QList<TFrame> Sequence;
    QList<qint64> Start25; ///< the 25-fps frame each entry starts on, one more at the end
    qint64 Frames25 = 0;
};

} // namespace Lumerix
