#include "TAudioInspector.h"

#include "TMPEGaudio.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>

namespace Lumerix {

namespace {

constexpr qint64 WaveHeaderLength = 44;

QString YesNo(bool value) {
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString StereoResult(const QString& channelMode) {
    return channelMode.toUpper().contains(u"STEREO") ? QStringLiteral("STEREO") : QString();
}

// One decimal without a forced leading zero: 0.52 gives ".5", 12.34 gives "12.3".
QString OneDecimal(double value) {
    QString text = QString::number(value, 'f', 1);
    if (text.startsWith(u"0."))
        text.remove(0, 1);
    else if (text.startsWith(u"-0."))
        text.remove(1, 1);
    return text;
}

// Seconds as a time of day, "h:nn:ss"; whole days wrap round.
QString TimeOfDay(double seconds) {
    constexpr qint64 msPerDay = 24LL * 3600 * 1000;
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    const qint64 ms = static_cast<qint64>(std::fmod(std::round(seconds * 1000), msPerDay));
    const qint64 totalSeconds = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(totalSeconds / 3600)
        .arg(totalSeconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(totalSeconds % 60, 2, 10, QChar(u'0'));
}

QString CannotRead(const QString& path) {
    return QStringLiteral("Can not read data from the file: ") + path;
}

void InspectMp3(const QString& path, TAudioInfo& info) {
    if (!QFileInfo::exists(path)) {
        info.Message = QStringLiteral("The file does not exist: ") + path;
        return;
    }
    TMPEGaudio mpeg;
    if (!mpeg.AnalyseFile(path)) {
        info.Message = CannotRead(path);
        return;
    }
    if (!mpeg.IsValid()) {
        info.Fields = {{QStringLiteral("Valid MPEG:"), QStringLiteral("No")}};
        return;
    }

    const auto& frame = mpeg.FirstFrame();
    const QString bytes = QStringLiteral(" bytes");
    info.Heading = QStringLiteral("MP3 File");
    info.Fields = {
        {QStringLiteral("Valid MPEG:"), QStringLiteral("Yes")},
        {QStringLiteral("File size:"), QString::number(mpeg.FileSize()) + bytes},
        {QStringLiteral("First frame at:"), QString::number(frame.Position) + bytes},
        {QStringLiteral("Bit rate:"),
         (mpeg.VbrHeader().Found ? QStringLiteral("VBR ") : QStringLiteral("CBR ")) +
             QString::number(mpeg.BitRateKbps()) + QStringLiteral(" kbit/s")},
        {QStringLiteral("MPEG type:"), mpeg.VersionName() + u' ' + mpeg.LayerName()},
        {QStringLiteral("Duration:"), OneDecimal(mpeg.Duration()) + QStringLiteral(" sec.")},
        {QStringLiteral("Sample rate:"),
         QString::number(mpeg.SampleRateHz()) + QStringLiteral(" Hz")},
        {QStringLiteral("Channel mode:"), mpeg.ChannelModeName()},
        {QStringLiteral("Emphasis:"), mpeg.EmphasisName()},
        {QStringLiteral("Encoder:"), mpeg.EncoderName()},
        {QStringLiteral("CRC protection:"), YesNo(frame.Protected)},
        {QStringLiteral("Total frames:"), QString::number(mpeg.FrameCount())},
        {QStringLiteral("Copyright:"), YesNo(frame.Copyright)},
        {QStringLiteral("Original:"), YesNo(frame.Original)},
    };
    info.InfoVersion = mpeg.VersionName();
    info.InfoDetail = mpeg.LayerName();
    info.InfoSampleRate = QString::number(mpeg.SampleRateHz());
    info.InfoStereo = StereoResult(mpeg.ChannelModeName());
}

// The canonical 44-byte header is taken as it stands: no chunk is searched, no id checked.
void InspectWav(const QString& path, TAudioInfo& info) {
    QFile file(path);
    QByteArray header;
    if (file.open(QIODevice::ReadOnly))
        header = file.read(WaveHeaderLength);
    if (header.size() != WaveHeaderLength) {
        info.Message = CannotRead(path);
        return;
    }
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 riffSize = qFromLittleEndian<quint32>(bytes + 4);
    const quint16 formatTag = qFromLittleEndian<quint16>(bytes + 20);
    const quint16 channels = qFromLittleEndian<quint16>(bytes + 22);
    const quint32 sampleRate = qFromLittleEndian<quint32>(bytes + 24);
    const quint16 bitsPerSample = qFromLittleEndian<quint16>(bytes + 34);
    const quint32 dataSize = qFromLittleEndian<quint32>(bytes + 40);

    // Four bytes per sample frame, whatever the header says.
    const double seconds = sampleRate == 0 ? 0.0 : double(dataSize) / sampleRate / 4;
    const QString channelMode =
        channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Joint Stereo");
    info.Heading = QStringLiteral("WAV File");
    info.Fields = {
        {QStringLiteral("Valid WAV:"), QStringLiteral("Yes")},
        {QStringLiteral("File size:"), QString::number(riffSize) + QStringLiteral(" bytes")},
        {QStringLiteral("WAV Format:"), QString::number(formatTag)},
        {QStringLiteral("Bits per sample:"), QString::number(bitsPerSample)},
        {QStringLiteral("Sample rate:"), QString::number(sampleRate) + QStringLiteral(" Hz")},
        {QStringLiteral("Channel mode:"), channelMode},
        {QStringLiteral("Duration:"), TimeOfDay(seconds)},
    };
    info.InfoVersion = QString::number(formatTag);
    info.InfoDetail = QString::number(bitsPerSample) + QStringLiteral(" Bit");
    info.InfoSampleRate = QString::number(sampleRate);
    info.InfoStereo = StereoResult(channelMode);
}

} // namespace

TAudioInfo TAudioInspector::Inspect(const QString& path) {
    TAudioInfo info;
    if (path.isEmpty())
        return info;
    if (path.toUpper().contains(u".MP3")) {
        info.Kind = TAudioInfo::TKind::Mp3;
        InspectMp3(path, info);
    } else {
        info.Kind = TAudioInfo::TKind::Wav;
        InspectWav(path, info);
    }
    return info;
}

} // namespace Lumerix
