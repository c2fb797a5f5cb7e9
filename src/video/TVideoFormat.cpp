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
    return IsSvcd(kind) ? QStringLiteral("SVCD") : QStringLiteral("VCD");
}

bool IsSvcd(TVideoKind kind) {
    return kind == TVideoKind::Svcd || kind == TVideoKind::SvcdTransitions;
}

bool WithTransitions(TVideoKind kind) {
    return kind == TVideoKind::VcdTransitions || kind == TVideoKind::SvcdTransitions;
}

QSize FrameSize(TVideoKind kind, TTvStandard standard) {
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

} // namespace Lumerix::VideoFormat
