#include "AudioCommands.h"

#include "audio/TAudioInspector.h"

#include <QTextStream>

namespace Lumerix {

namespace {

void AudioInfo(TCliContext& context) {
    if (context.Arguments.size() != 1)
        throw TCliError{QStringLiteral("usage: lumerix-cli audio-info FILE")};
    const TAudioInfo info = TAudioInspector::Inspect(context.Arguments[0]);
    if (!info.Message.isEmpty())
        throw TCliError{info.Message};
    QTextStream out(stdout);
    for (const TAudioInfo::TField& field : info.Fields)
        out << field.Caption << ' ' << field.Value << '\n';
    out << "InfoVersion=" << info.InfoVersion << '\n'
        << "InfoDetail=" << info.InfoDetail << '\n'
        << "InfoSampleRate=" << info.InfoSampleRate << '\n'
        << "InfoStereo=" << info.InfoStereo << '\n';
}

} // namespace

QList<TCommandLine::TCommand> AudioCommands() {
    return {
        {QStringLiteral("audio-info"), QStringLiteral("FILE"),
         QStringLiteral("what the audio information window shows for an MP3 or WAV file, one "
                        "field per line, then the four result strings"),
         AudioInfo},
    };
}

} // namespace Lumerix
