#include "VideoCommands.h"

#include "CliSupport.h"
#include "audio/TWaveStream.h"
#include "audio/WaveJoin.h"

namespace Lumerix {

namespace {

void WaveJoin(TCliContext& context) {
    CliSupport::NeedArguments(context, 3, -1, "wave-join TARGET-SECONDS OUT.wav IN.wav ...");
    bool ok = false;
    const int seconds = context.Arguments[0].toInt(&ok);
    if (!ok || seconds < 0)
        throw TCliError{QStringLiteral("wave-join: TARGET-SECONDS must be a whole number of "
                                       "seconds, not \"%1\"")
                            .arg(context.Arguments[0])};
    TWaveJoin join;
    join.TargetSeconds = seconds;
    join.OutputFile = context.Arguments[1];
    join.InputFiles = context.Arguments.mid(2);
    CliSupport::CheckFiles(join.InputFiles);
    join.OnMessage = [](const QString& line) {
        CliSupport::PrintLine(line);
    };
    qint64 samples = 0;
    try {
        samples = join.ConcatenateToLength();
    } catch (const TWaveError& error) {
        throw TCliError{error.Text()};
    }
    CliSupport::PrintLine(QStringLiteral("samples=%1").arg(samples));
}

} // namespace

QList<TCommandLine::TCommand> VideoCommands() {
    return {
        {QStringLiteral("wave-join"), QStringLiteral("TARGET-SECONDS OUT.wav IN.wav ..."),
         QStringLiteral("joins WAVE files end to end, repeating them, until TARGET-SECONDS × "
                        "44100 samples are written to OUT.wav in the first file's format"),
         WaveJoin},
    };
}

} // namespace Lumerix
