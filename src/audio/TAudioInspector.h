#pragma once

#include <QList>
#include <QString>

namespace Lumerix {

/// What the "Audio Info" window shows for one file and the four result strings it leaves for
/// its callers. MP3 files are analysed by `TMPEGaudio`; other files are read as a canonical
/// 44-byte WAV header.
struct TAudioInfo {
    enum class TKind { None, Mp3, Wav };

    struct TField {
        QString Caption; ///< "Valid MPEG:", "Bit rate:" …
        QString Value;   ///< "Yes", "CBR 128 kbit/s" …
    };

    TKind Kind = TKind::None;
    /// The window's heading: "MP3 File" or "WAV File"; empty when no panel is shown.
    QString Heading;
    /// The fields of the panel shown, in the window's order; for an MP3 that is not valid
    /// only "Valid MPEG:" = "No".
    QList<TField> Fields;
    /// A message box text ("The file does not exist: …", "Can not read data from the file: …");
    /// empty when there is none.
    QString Message;

    QString InfoVersion;    ///< "MPEG 1", or the WAV format tag "1"
    QString InfoDetail;     ///< "Layer III", or "16 Bit"
    QString InfoSampleRate; ///< "44100"
    QString InfoStereo;     ///< "STEREO" or empty
};

/// The audio information of the window, computed without showing it.
class TAudioInspector {
public:
    /// Analyses `path`. The result strings of a file that is not a valid MPEG file or cannot
    /// be read are empty, so no caller mistakes them for an earlier file's.
    static TAudioInfo Inspect(const QString& path);

    /// The check a slideshow applies to its music: 44100 Hz and stereo.
    static bool AcceptedForSlideshow(const TAudioInfo& info) {
        return info.InfoSampleRate == u"44100" && info.InfoStereo == u"STEREO";
    }
};

} // namespace Lumerix
