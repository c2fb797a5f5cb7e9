#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <stdexcept>

namespace Lumerix {

class TProgress;

/// An error of writing an AVI video; the text is shown to the user.
class TAviError : public std::runtime_error {
public:
    explicit TAviError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

/// Writing stopped because the user cancelled.
class TAviCancelled : public TAviError {
public:
    TAviCancelled() : TAviError(QStringLiteral("Abgebrochen")) {}
};

/// Writes a list of bitmaps as the frames of an uncompressed AVI (24-bit bottom-up DIB
/// frames, every frame lasting FrameTime milliseconds), optionally with the PCM sound of a
/// WAV file copied unchanged. The video is muxed into the work file "AWTemp.avi" in the
/// encoder folder, which is moved to FileName at the end and deleted whatever happens.
class TAviWriter {
public:
    /// `encoderDir` holds the work file; it ends in "/".
    explicit TAviWriter(const QString& encoderDir);

    int Height;
    int Width;
    int FrameTime = 1000; ///< milliseconds per frame
    bool Stretch = true;  ///< stretch each bitmap to the frame instead of drawing it top-left
    QString FileName;
    /// The frames in order; a null image stands for a missing bitmap.
    QList<QImage> Bitmaps;
    /// Status texts, percentage and cancel; may be null.
    TProgress* Progress = nullptr;

    const QString& WavFileName() const { return WavFile; }
    /// Empty clears; anything else must end in ".wav" (any letter case).
    void SetWavFileName(const QString& name);
    /// Appends the picture file `path`; a file that cannot be read counts as missing.
    void AddBitmapFile(const QString& path);
    const QString& WorkFile() const { return WorkPath; }
    /// The last status text reported.
    const QString& Message() const { return MessageText; }

    void Write();

private:
    void Report(const QString& text, int percent = -1);
    QByteArray FramePixels(const QImage& bitmap) const;

    QString WavFile;
    QString WorkPath;
    QString MessageText;
};

} // namespace Lumerix
