#include "VideoFrameCommands.h"

#include "CliSupport.h"
#include "TTerminalPrompter.h"
#include "document/TSlideshow.h"
#include "document/TSlideshowStore.h"
#include "imaging/TRasterImage.h"
#include "shell/TRunState.h"
#include "video/TFramePreparation.h"
#include "video/TVideoBuild.h"
#include "video/TVideoFormat.h"

#include <QDir>
#include <QGuiApplication>

#include <atomic>
#include <csignal>

namespace Lumerix {

namespace {

using namespace CliSupport;

// The slideshow, kind and standard of "SHOW --kind K [--standard S] [REST ...]"; the
// remaining positional arguments go to `rest`.
struct TVideoArguments {
    QString Show;
    TVideoKind Kind = TVideoKind::Vcd;
    TTvStandard Standard = TTvStandard::Pal;
    TMp4Options Mp4;
    QStringList Rest;
};

TVideoArguments ParseArguments(const TCliContext& context, const char* usage) {
    const auto fail = [usage]() {
        return TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
    };
    TVideoArguments parsed;
    std::optional<TVideoKind> kind;
    const QStringList& arguments = context.Arguments;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--kind" || argument == u"--standard") {
            if (i + 1 >= arguments.size())
                throw fail();
            const QString value = arguments[++i];
            if (argument == u"--kind") {
                kind = VideoFormat::KindFromName(value);
                if (!kind)
                    throw TCliError{QStringLiteral("not a video kind: \"%1\" (vcd, svcd, "
                                                   "vcd-transitions, svcd-transitions or mp4)")
                                        .arg(value)};
            } else {
                const auto standard = VideoFormat::StandardFromName(value);
                if (!standard)
                    throw TCliError{
                        QStringLiteral("not a television standard: \"%1\" (pal or ntsc)")
                            .arg(value)};
                parsed.Standard = *standard;
            }
        } else if (argument == u"--size" || argument == u"--shape" || argument == u"--fps" ||
                   argument == u"--quality" || argument == u"--motion") {
            if (i + 1 >= arguments.size())
                throw fail();
            const QString value = arguments[++i];
            const auto bad = [&](const char* choices) {
                return TCliError{QStringLiteral("%1: not \"%2\" (%3)")
                                     .arg(argument, value, QLatin1String(choices))};
            };
            if (argument == u"--size") {
                const auto height = VideoFormat::Mp4HeightFromName(value);
                if (!height)
                    throw bad("720p, 1080p or 2160p");
                parsed.Mp4.Height = *height;
            } else if (argument == u"--shape") {
                const auto wide = VideoFormat::Mp4ShapeFromName(value);
                if (!wide)
                    throw bad("16:9 or 4:3");
                parsed.Mp4.Wide = *wide;
            } else if (argument == u"--fps") {
                const auto rate = VideoFormat::Mp4RateFromName(value);
                if (!rate)
                    throw bad("25, 30, 50 or 60");
                parsed.Mp4.FramesPerSecond = *rate;
            } else if (argument == u"--quality") {
                if (value != u"standard" && value != u"high")
                    throw bad("standard or high");
                parsed.Mp4.HighQuality = value == u"high";
            } else {
                if (value != u"on" && value != u"off")
                    throw bad("on or off");
                parsed.Mp4.Motion = value == u"on";
            }
        } else if (argument == u"--fill") {
            parsed.Mp4.Fill = true;
        } else {
            positional.append(argument);
        }
    }
    if (!kind || positional.isEmpty())
        throw fail();
    parsed.Kind = *kind;
    parsed.Show = positional.takeFirst();
    parsed.Rest = positional;
    if (!TSlideshowStore(context.State).IsShow(parsed.Show))
        throw TCliError{QStringLiteral("no slideshow \"%1\" in %2")
                            .arg(parsed.Show, context.State.WorkspaceDir)};
    return parsed;
}

VideoFormat::TEstimate EstimateOf(const TRunState& state, const TVideoArguments& arguments,
                                  const TSlideshow& show) {
    if (arguments.Kind == TVideoKind::Mp4)
        return VideoFormat::Mp4Estimate(arguments.Mp4, show.Pictures().Count(),
                                        state.SecondsPerPicture.toInt(),
                                        state.EffectMode != TEffectMode::Off, state.WorkspaceDir);
    return VideoFormat::Estimate(arguments.Kind, show.Pictures().Count(),
                                 state.SecondsPerPicture.toInt(), state.WorkspaceDir);
}

void Estimate(TCliContext& context) {
    constexpr const char* usage =
        "video-estimate SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions "
        "[--standard pal|ntsc]";
    const TVideoArguments arguments = ParseArguments(context, usage);
    if (!arguments.Rest.isEmpty())
        throw TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
    TSlideshow show(context.State, context.Prompter);
    TTerminalProgress opening;
    show.OpenShow(arguments.Show, opening);
    const VideoFormat::TEstimate estimate = EstimateOf(context.State, arguments, show);
    PrintLine(QStringLiteral("needed=%1 MB").arg(estimate.NeededMegabytes));
    PrintLine(QStringLiteral("free=%1 MB").arg(estimate.FreeMegabytes));
    if (arguments.Kind == TVideoKind::Mp4) {
        PrintLine(QStringLiteral("length=%1 s").arg(estimate.VideoSeconds));
        PrintLine(QStringLiteral("time=%1 s").arg(estimate.BuildSeconds));
    }
}

void Frames(TCliContext& context) {
    constexpr const char* usage =
        "video-frames SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions "
        "[--standard pal|ntsc] OUTDIR";
    const TVideoArguments arguments = ParseArguments(context, usage);
    if (arguments.Rest.size() != 1)
        throw TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
    const QString folder = arguments.Rest.first();
    if (!QDir().mkpath(folder))
        throw TCliError{QStringLiteral("%1: the folder cannot be made").arg(folder)};

    const TFrameLook look = TFrameLook::FromState(context.State, arguments.Kind);
    if (look.CaptionsVisible && qGuiApp == nullptr)
        throw TCliError{QStringLiteral("captions cannot be drawn without a GUI application")};
    const QList<TFramePicture> pictures =
        FramePreparation::PicturesOfShow(context.State, arguments.Show);
    TTerminalProgress progress;
    try {
        const QStringList files = FramePreparation::PictureStage(
            pictures, FramePreparation::ClosingPicture(context.State),
            VideoFormat::FrameSize(arguments.Kind, arguments.Standard), look, folder, progress);
        for (const QString& file : files)
            PrintLine(file);
    } catch (const TImagingError& error) {
        throw TCliError{error.Text()};
    }
}

// Ctrl+C asks a running build to stop at its next step, as the window's abort button does.
std::atomic_bool Interrupted = false;

extern "C" void Interrupt(int) {
    Interrupted = true;
}

// Shows a build on the terminal: its messages as lines, status and percentage on the
// progress line.
class TTerminalBuildObserver final : public TVideoBuildObserver {
public:
    void SetStatus(const QString& text) override { Progress.SetStatus(text); }
    void AddMessage(const QString& text) override {
        if (!text.trimmed().isEmpty())
            PrintLine(text.trimmed());
    }
    void ClearMessages() override {}
    void SetProgress(int bar, const QString&) override { Progress.SetPercent(bar); }
    bool AbortRequested() const override { return Interrupted.load(); }

private:
    TTerminalProgress Progress;
};

void Video(TCliContext& context) {
    constexpr const char* usage =
        "video SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions|mp4 [--standard pal|ntsc] "
        "[--size 720p|1080p|2160p] [--shape 16:9|4:3] [--fps 25|30|50|60] "
        "[--quality standard|high] [--motion on|off] [--fill]";
    const TVideoArguments arguments = ParseArguments(context, usage);
    if (!arguments.Rest.isEmpty())
        throw TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
    TSlideshow show(context.State, context.Prompter);
    TTerminalProgress opening;
    show.OpenShow(arguments.Show, opening);
    // As the window does before a video: the list file is written from the list as it opened,
    // so lines naming missing pictures are gone for good.
    if (!show.SavePictureList())
        throw TCliError{QStringLiteral("the picture list could not be saved")};

    const VideoFormat::TEstimate estimate = EstimateOf(context.State, arguments, show);
    if (!estimate.Enough())
        throw TCliError{QStringLiteral("%1: %2 MB needed, %3 MB free")
                            .arg(context.State.Text(4609))
                            .arg(estimate.NeededMegabytes)
                            .arg(estimate.FreeMegabytes)};

    Interrupted = false;
    const auto previous = std::signal(SIGINT, Interrupt);
    TVideoBuildResult result;
    {
        TTerminalBuildObserver observer;
        TVideoBuild build(context.State, arguments.Kind, arguments.Standard, observer,
                          context.Prompter);
        build.SetMp4Options(arguments.Mp4);
        result = build.Run();
    }
    std::signal(SIGINT, previous);
    switch (result.Outcome) {
    case TVideoBuildResult::TOutcome::Finished:
        PrintLine(result.ResultPath);
        return;
    case TVideoBuildResult::TOutcome::Aborted:
        throw TCliError{context.State.Text(12001)};
    case TVideoBuildResult::TOutcome::Failed:
        throw TCliError{result.Error.isEmpty() ? context.State.Text(12008)
                                               : context.State.Text(12008) + u' ' + result.Error};
    }
}

} // namespace

QList<TCommandLine::TCommand> VideoFrameCommands() {
    return {
        {QStringLiteral("video"),
         QStringLiteral("SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions|mp4 "
                        "[--standard pal|ntsc] [--size 720p|1080p|2160p] [--shape 16:9|4:3] "
                        "[--fps 25|30|50|60] [--quality standard|high] [--motion on|off] [--fill]"),
         QStringLiteral("build the slideshow as a video for DVD players, or as an HD MP4; prints "
                        "the video's path"),
         Video},
        {QStringLiteral("video-estimate"),
         QStringLiteral("SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions|mp4 "
                        "[--standard pal|ntsc] [MP4 choices as for video]"),
         QStringLiteral("print the disk space a video of the slideshow needs and the free space"),
         Estimate},
        {QStringLiteral("video-frames"),
         QStringLiteral("SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions "
                        "[--standard pal|ntsc] OUTDIR"),
         QStringLiteral("write the slideshow's video frames inp0001.bmp ... into OUTDIR"), Frames},
    };
}

} // namespace Lumerix
