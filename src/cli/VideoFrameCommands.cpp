#include "VideoFrameCommands.h"

#include "CliSupport.h"
#include "TTerminalPrompter.h"
#include "document/TSlideshowStore.h"
#include "imaging/TRasterImage.h"
#include "shell/TRunState.h"
#include "video/TFramePreparation.h"
#include "video/TVideoFormat.h"

#include <QDir>
#include <QGuiApplication>

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
    if (!TSlideshowStore::IsShowFolderName(parsed.Show) ||
        !TSlideshowStore(context.State).ReadDescription(parsed.Show).Exists)
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
    const TSlideshowStore store(context.State);
    const int seconds = store.ReadDescription(arguments.Show).Seconds.toInt();
    const int count = int(store.ReadPictureLines(arguments.Show).size());
    const VideoFormat::TEstimate estimate =
        VideoFormat::Estimate(arguments.Kind, count, seconds, context.State.WorkspaceDir);
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

} // namespace

QList<TCommandLine::TCommand> VideoFrameCommands() {
    return {
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
