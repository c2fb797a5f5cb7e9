#include "VideoCommands.h"

#include "CliSupport.h"
#include "audio/TWaveStream.h"
#include "audio/WaveJoin.h"
#include "shell/TProgress.h"
#include "video/TMpegEncoder.h"

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

/// Progress as plain lines on standard output: each new status, and every tenth percent.
class TLineProgress final : public TProgress {
public:
    void SetStatus(const QString& text) override {
        if (text != Status)
            CliSupport::PrintLine(text);
        Status = text;
    }
    void SetPercent(int percent) override {
        if (percent / 10 == Tenth)
            return;
        Tenth = percent / 10;
        CliSupport::PrintLine(QStringLiteral("%1%").arg(Tenth * 10));
    }
    bool Cancelled() const override { return false; }

private:
    QString Status;
    int Tenth = -1;
};

void MpegEncode(TCliContext& context) {
    CliSupport::NeedArguments(context, 2, 2, "mpeg-encode FOLDER RESULT.mpg");
    try {
        TMpegEncoder encoder = TMpegEncoder::OpenMPDX(context.Arguments[0], context.Arguments[1]);
        TLineProgress progress;
        encoder.EncodeMPDX(&progress);
        CliSupport::PrintLine(encoder.ResultPath());
    } catch (const TMpegError& error) {
        throw TCliError{error.Text()};
    }
}

} // namespace

QList<TCommandLine::TCommand> VideoCommands() {
    return {
        {QStringLiteral("wave-join"), QStringLiteral("TARGET-SECONDS OUT.wav IN.wav ..."),
         QStringLiteral("joins WAVE files end to end, repeating them, until TARGET-SECONDS × "
                        "44100 samples are written to OUT.wav in the first file's format"),
         WaveJoin},
        {QStringLiteral("mpeg-encode"), QStringLiteral("FOLDER RESULT.mpg"),
         QStringLiteral("encodes the frames, hold counts and sound of an encoder FOLDER into a "
                        "VCD or SVCD MPEG file (RESULT ends in _VCD.mpg or _SVCD.mpg)"),
         MpegEncode},
    };
}

} // namespace Lumerix
