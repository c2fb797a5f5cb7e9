#pragma once

#include <QSize>
#include <QString>

#include <optional>

namespace Lumerix {

/// The four kinds of video a slideshow can be built as.
enum class TVideoKind { Vcd, Svcd, VcdTransitions, SvcdTransitions };

/// The television standard; it fixes the frame size only.
enum class TTvStandard { Pal, Ntsc };

namespace VideoFormat {

/// "VCD" or "SVCD": the mode named in logs and result file names.
QString ModeName(TVideoKind kind);
bool IsSvcd(TVideoKind kind);
bool WithTransitions(TVideoKind kind);

/// The size frames are composed at: 352 × 288 / 352 × 240 for VCD, 576 × 480 / 480 × 480 for
/// SVCD (PAL / NTSC).
QSize FrameSize(TVideoKind kind, TTvStandard standard);

/// The caption font size in points: 12 for VCD, 18 for SVCD.
int CaptionPoints(TVideoKind kind);

/// "vcd", "svcd", "vcd-transitions", "svcd-transitions" (letter case ignored).
std::optional<TVideoKind> KindFromName(const QString& name);
/// "pal" or "ntsc" (letter case ignored).
std::optional<TTvStandard> StandardFromName(const QString& name);

/// Bytes as whole megabytes of 2^20 bytes, rounded.
qint64 Megabytes(qint64 bytes);

/// The disk space a build needs, in MB, for `pictureCount` pictures shown `seconds` each.
/// The closing picture counts as one more picture, so an empty list still needs space.
qint64 NeededMegabytes(TVideoKind kind, int pictureCount, int seconds);

/// Free and total space of the drive holding `path`, in MB; zero when it cannot be read.
struct TDiskSpace {
    qint64 FreeMegabytes = 0;
    qint64 TotalMegabytes = 0;
};
TDiskSpace DiskSpace(const QString& path);

/// The estimate shown before a build: needed and free space and whether the build may start.
struct TEstimate {
    qint64 NeededMegabytes = 0;
    qint64 FreeMegabytes = 0;
    bool Enough() const { return NeededMegabytes <= FreeMegabytes; }
};
TEstimate Estimate(TVideoKind kind, int pictureCount, int seconds, const QString& workspaceDir);

} // namespace VideoFormat

} // namespace Lumerix
