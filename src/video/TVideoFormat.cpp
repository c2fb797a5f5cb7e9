#include "TVideoFormat.h"

#include <QStorageInfo>

#include <cmath>

namespace Lumerix::VideoFormat {

namespace {

// Rounds halves to even, as the estimate's figures are defined.
qint64 RoundEven(double value) {
    return qint64(std::nearbyint(value));
}

} // namespace

QString ModeName(TVideoKind kind) {
    if (kind == TVideoKind::Mp4)
        return QStringLiteral("HD");
    return IsSvcd(kind) ? QStringLiteral("SVCD") : QStringLiteral("VCD");
}

bool IsSvcd(TVideoKind kind) {
    return kind == TVideoKind::Svcd || kind == TVideoKind::SvcdTransitions;
}

bool WithTransitions(TVideoKind kind) {
    return kind == TVideoKind::VcdTransitions || kind == TVideoKind::SvcdTransitions;
}

QSize FrameSize(TVideoKind kind, TTvStandard standard) {
    if (kind == TVideoKind::Mp4)
        return TMp4Options().FrameSize();
    const bool pal = standard == TTvStandard::Pal;
    if (IsSvcd(kind))
        return pal ? QSize(576, 480) : QSize(480, 480);
    return pal ? QSize(352, 288) : QSize(352, 240);
}

int CaptionPoints(TVideoKind kind) {
    return IsSvcd(kind) ? 18 : 12;
}

std::optional<TVideoKind> KindFromName(const QString& name) {
    const QString key = name.trimmed().toLower();
    if (key == u"vcd")
        return TVideoKind::Vcd;
    if (key == u"svcd")
        return TVideoKind::Svcd;
    if (key == u"vcd-transitions")
        return TVideoKind::VcdTransitions;
    if (key == u"svcd-transitions")
        return TVideoKind::SvcdTransitions;
    if (key == u"mp4")
        return TVideoKind::Mp4;
    return std::nullopt;
}

std::optional<TTvStandard> StandardFromName(const QString& name) {
    const QString key = name.trimmed().toLower();
    if (key == u"pal")
        return TTvStandard::Pal;
    if (key == u"ntsc")
        return TTvStandard::Ntsc;
    return std::nullopt;
}

qint64 Megabytes(qint64 bytes) {
    return RoundEven(double(bytes) / 1000000.0 / 1.024 / 1.024);
}

qint64 NeededMegabytes(TVideoKind kind, int pictureCount, int seconds) {
    // Frames per second and nominal frames per transition of the encoder.
    constexpr double FramesPerSecond = 25;
    constexpr double FramesPerTransition = 12;
    const double n = double(qMax(0, pictureCount)) + 1; // the closing picture
    const double s = seconds;
    switch (kind) {
    case TVideoKind::Vcd:
        return RoundEven((s * 0.18 * n + n * 0.406) * 3);
    case TVideoKind::Svcd:
        return RoundEven((s * 0.18 * n + n * 1.106) * 3);
    case TVideoKind::VcdTransitions:
        return RoundEven((s + 1) * 0.18 * n + n * FramesPerSecond * 0.05 +
                         n * FramesPerTransition * 0.05);
    case TVideoKind::SvcdTransitions:
        return RoundEven((s + 1) * 0.18 * n + n * FramesPerSecond * 0.12 +
                         n * FramesPerTransition * 0.12);
    case TVideoKind::Mp4:
        return Mp4Megabytes(TMp4Options(), pictureCount, seconds, true);
    }
    return 0;
}

TDiskSpace DiskSpace(const QString& path) {
    const QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady())
        return {};
    return {Megabytes(storage.bytesAvailable()), Megabytes(storage.bytesTotal())};
}

TEstimate Estimate(TVideoKind kind, int pictureCount, int seconds, const QString& workspaceDir) {
    return {NeededMegabytes(kind, pictureCount, seconds), DiskSpace(workspaceDir).FreeMegabytes};
}

std::optional<int> Mp4HeightFromName(const QString& name) {
    QString key = name.trimmed().toLower();
    if (key == u"4k" || key == u"uhd")
        return 2160;
    if (key == u"hd")
        return 1080;
    if (key.endsWith(u'p'))
        key.chop(1);
    const int height = key.toInt();
    if (height == 720 || height == 1080 || height == 2160)
        return height;
    return std::nullopt;
}

std::optional<bool> Mp4ShapeFromName(const QString& name) {
    const QString key = name.trimmed();
    if (key == u"16:9")
        return true;
    if (key == u"4:3")
        return false;
    return std::nullopt;
}

std::optional<int> Mp4RateFromName(const QString& name) {
    bool ok = false;
    const int rate = name.trimmed().toInt(&ok);
    if (ok && (rate == 25 || rate == 30 || rate == 50 || rate == 60))
        return rate;
    return std::nullopt;
}

qint64 Mp4Frames(const TMp4Options& options, int pictureCount, int seconds, bool transitions) {
    const qint64 pictures = qMax(0, pictureCount);
    const qint64 held =
        qMax<qint64>(1, RoundEven(double(qMax(0, seconds)) * options.FramesPerSecond));
    const qint64 between =
        transitions ? RoundEven(options.TransitionSeconds * options.FramesPerSecond) : 0;
    return pictures * held + qMax<qint64>(0, pictures - 1) * between;
}

qint64 Mp4Megabytes(const TMp4Options& options, int pictureCount, int seconds, bool transitions) {
    // Bits per pixel and frame that CRF 21 / 18 gives a slideshow with motion; still pictures
    // need far less. Sound: 192 kbit/s.
    const QSize frame = options.FrameSize();
    const double bitsPerPixel = (options.HighQuality ? 0.09 : 0.06) * (options.Motion ? 1.0 : 0.35);
    const double showSeconds =
        double(Mp4Frames(options, pictureCount, seconds, transitions)) / options.FramesPerSecond;
    const double bytes =
        showSeconds *
        (double(frame.width()) * frame.height() * options.FramesPerSecond * bitsPerPixel +
         192000.0) /
        8.0;
    // The work file and the finished video exist side by side for a moment.
    return qMax<qint64>(1, Megabytes(qint64(bytes) * 2));
}

qint64 Mp4BuildSeconds(const TMp4Options& options, int pictureCount, int seconds,
                       bool transitions) {
    // Frames this machine composes and encodes per second at 1080p; other sizes by pixels.
    const double perSecond1080 = options.HighQuality ? 14.0 : 28.0;
    const QSize frame = options.FrameSize();
    const double scale = double(frame.width()) * frame.height() / (1920.0 * 1080.0);
    return RoundEven(double(Mp4Frames(options, pictureCount, seconds, transitions)) /
                         perSecond1080 * scale +
                     pictureCount * 0.15);
}

TEstimate Mp4Estimate(const TMp4Options& options, int pictureCount, int seconds, bool transitions,
                      const QString& workspaceDir) {
    TEstimate estimate;
    estimate.NeededMegabytes = Mp4Megabytes(options, pictureCount, seconds, transitions);
    estimate.FreeMegabytes = DiskSpace(workspaceDir).FreeMegabytes;
    estimate.BuildSeconds = Mp4BuildSeconds(options, pictureCount, seconds, transitions);
    estimate.VideoSeconds = RoundEven(
        double(Mp4Frames(options, pictureCount, seconds, transitions)) / options.FramesPerSecond);
    return estimate;
}

} // namespace Lumerix::VideoFormat

namespace Lumerix {

QSize TMp4Options::FrameSize() const {
    const int height = Height == 720 || Height == 2160 ? Height : 1080;
    const int width = Wide ? height * 16 / 9 : height * 4 / 3;
    return {width & ~1, height};
}

QString TMp4Options::Preset() const {
    return HighQuality ? QStringLiteral("medium") : QStringLiteral("veryfast");
}

int TMp4Options::Crf() const {
    return HighQuality ? 18 : 21;
}

} // namespace Lumerix
