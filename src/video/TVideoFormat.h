#pragma once

#include <QSize>
#include <QString>

#include <optional>

namespace Lumerix {

/// The kinds of video a slideshow can be built as: the four disc kinds and an HD MP4.
enum class TVideoKind { Vcd, Svcd, VcdTransitions, SvcdTransitions, Mp4 };

/// The television standard; it fixes the frame size only.
enum class TTvStandard { Pal, Ntsc };

/// The choices of an MP4 video.
struct TMp4Options {
    int Height = 1080;        ///< 720, 1080 or 2160 lines
    bool Wide = true;         ///< 16:9, else 4:3
    int FramesPerSecond = 30; ///< 25, 30, 50 or 60
    bool HighQuality = false; ///< a slower encoder preset and a lower CRF
    bool Motion = true;       ///< slow zoom and pan on every picture
    bool Fill = false;        ///< pictures cropped to fill the frame, else fitted
    double TransitionSeconds = 1.0;
    double CrossfadeSeconds = 2.0; ///< between music tracks; 0 joins them end to end
    QString VideoEncoder = QStringLiteral("libx264");

    /// Width × height in square pixels, width even.
    QSize FrameSize() const;
    /// "standard": veryfast / CRF 21, "high": medium / CRF 18.
    QString Preset() const;
    int Crf() const;
};

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
/// "720p", "1080p", "2160p" (or "720", "4k" …): the MP4 height.
std::optional<int> Mp4HeightFromName(const QString& name);
/// "16:9" or "4:3": true for wide.
std::optional<bool> Mp4ShapeFromName(const QString& name);
/// 25, 30, 50 or 60.
std::optional<int> Mp4RateFromName(const QString& name);

/// The MP4's playing time in frames: every picture held `seconds`, and a transition between
/// two pictures when `transitions` is set.
qint64 Mp4Frames(const TMp4Options& options, int pictureCount, int seconds, bool transitions);
/// The MP4's expected size in MB and the time its build takes on this machine, in seconds.
qint64 Mp4Megabytes(const TMp4Options& options, int pictureCount, int seconds, bool transitions);
qint64 Mp4BuildSeconds(const TMp4Options& options, int pictureCount, int seconds, bool transitions);

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
    qint64 BuildSeconds = 0; ///< MP4 only
    qint64 VideoSeconds = 0; ///< MP4 only
    bool Enough() const { return NeededMegabytes <= FreeMegabytes; }
};
TEstimate Estimate(TVideoKind kind, int pictureCount, int seconds, const QString& workspaceDir);
TEstimate Mp4Estimate(const TMp4Options& options, int pictureCount, int seconds, bool transitions,
                      const QString& workspaceDir);

} // namespace VideoFormat

} // namespace Lumerix
