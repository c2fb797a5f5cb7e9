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
                                                   "vcd-transitions or svcd-transitions)")
                                        .arg(value)};
            } else {
                const auto standard = VideoFormat::StandardFromName(value);
                if (!standard)
                    throw TCliError{
                        QStringLiteral("not a television standard: \"%1\" (pal or ntsc)")
                            .arg(value)};
                parsed.Standard = *standard;
            }
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
    const VideoFormat::TEstimate estimate =
        VideoFormat::Estimate(arguments.Kind, show.Pictures().Count(),
                              context.State.SecondsPerPicture.toInt(), context.State.WorkspaceDir);
    PrintLine(QStringLiteral("needed=%1 MB").arg(estimate.NeededMegabytes));
    PrintLine(QStringLiteral("free=%1 MB").arg(estimate.FreeMegabytes));
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
        "video SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions [--standard pal|ntsc]";
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

    const VideoFormat::TEstimate estimate =
        VideoFormat::Estimate(arguments.Kind, show.Pictures().Count(),
                              context.State.SecondsPerPicture.toInt(), context.State.WorkspaceDir);
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
         QStringLiteral("SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions "
                        "[--standard pal|ntsc]"),
         QStringLiteral("build the slideshow as a video for DVD players; prints the video's path"),
         Video},
        {QStringLiteral("video-estimate"),
         QStringLiteral("SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions "
                        "[--standard pal|ntsc]"),
         QStringLiteral("print the disk space a video of the slideshow needs and the free space"),
         Estimate},
        {QStringLiteral("video-frames"),
         QStringLiteral("SHOW --kind vcd|svcd|vcd-transitions|svcd-transitions "
                        "[--standard pal|ntsc] OUTDIR"),
         QStringLiteral("write the slideshow's video frames inp0001.bmp ... into OUTDIR"), Frames},
    };
}

} // namespace Lumerix
