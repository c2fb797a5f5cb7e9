#include "TCommandLine.h"

#include "AudioCommands.h"
#include "CliSupport.h"
#include "DocumentCommands.h"
#include "EditCommands.h"
#include "GalleryCommands.h"
#include "PackageCommands.h"
#include "PrintCommands.h"
#include "ScanCommands.h"
#include "SettingsCommands.h"
#include "TTerminalPrompter.h"
#include "VideoCommands.h"
#include "VideoFrameCommands.h"
#include "document/TSettings.h"
#include "shell/TIniFile.h"
#include "shell/TPreferences.h"
#include "shell/TRunState.h"
#include "shell/TStartup.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace Lumerix {

namespace {

using CliSupport::PrintLine;

void Paths(TCliContext& context) {
    if (!context.Arguments.isEmpty())
        throw TCliError{QStringLiteral("paths takes no arguments")};
    const TRunState& state = context.State;
    const std::pair<const char*, QString> paths[] = {
        {"ProgramDir", state.ProgramDir},     {"KitDir", state.KitDir},
        {"WorkspaceDir", state.WorkspaceDir}, {"VideoDir", state.VideoDir},
        {"EncoderDir", state.EncoderDir},     {"CdRomDir", state.CdRomDir},
        {"PersonalDir", state.PersonalDir},   {"ScreensaverDir", state.ScreensaverDir},
    };
    for (const auto& [name, path] : paths)
        PrintLine(QString::fromLatin1(name) + u'=' + path);
}

void Prefs(TCliContext& context) {
    TRunState& state = context.State;
    if (context.Arguments.isEmpty()) {
        for (const auto& [key, value] : TPreferences::Values(state))
            PrintLine(key + u'=' + value);
        PrintLine(QStringLiteral("Language=") +
                  state.GeneratorIni().ReadString(TPreferences::Section, QStringLiteral("Language"),
                                                  QStringLiteral("GERMAN")));
        return;
    }
    TIniFile ini = state.GeneratorIni();
    QStringList known = {QStringLiteral("Language")};
    for (const auto& [name, value] : TPreferences::Values(state))
        known.append(name);
    QList<std::pair<QString, QString>> writes;
    for (const QString& argument : context.Arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        const QString typed = (equals < 0 ? argument : argument.left(equals)).trimmed();
        const auto match = std::find_if(known.cbegin(), known.cend(), [&](const QString& name) {
            return name.compare(typed, Qt::CaseInsensitive) == 0;
        });
        if (match == known.cend())
            throw TCliError{QStringLiteral("not a preference key: \"%1\" (one of %2)")
                                .arg(typed, known.join(QStringLiteral(", "))),
                            2};
        const QString key = *match;
        if (equals < 0) {
            PrintLine(key + u'=' + ini.ReadString(TPreferences::Section, key, QString()));
            continue;
        }
        QString value = argument.mid(equals + 1);
        if (value.contains(u'\n'))
            throw TCliError{QStringLiteral("a preference value is one line: \"%1\"").arg(key)};
        if (key == u"Language") {
            value = value.toUpper();
            if (!TLanguage::IsKnownCode(value))
                throw TCliError{QStringLiteral("unknown language \"%1\" (one of %2)")
                                    .arg(value, TLanguage::Codes().join(QStringLiteral(", ")))};
        } else if (key != u"Drive" && key != u"SourcePicturesPath") {
            // The playback settings are checked as the settings command checks them.
            QString error;
            if (!Settings::Apply(state, key, value, &error))
                throw TCliError{error};
        }
        writes.append({key, value});
    }
    if (!writes.isEmpty() && !ini.WriteStrings(TPreferences::Section, writes))
        throw TCliError{ini.LastError()};
}

} // namespace

TCommandLine::TCommandLine() {
    Commands = {
        {QStringLiteral("paths"), QString(),
         QStringLiteral("print every path of the run, one Name=value per line"), Paths},
        {QStringLiteral("prefs"), QStringLiteral("[KEY[=VALUE] ...]"),
         QStringLiteral(
             "print the preferences, print one (KEY) or store one (KEY=VALUE) in Generator.ini"),
         Prefs},
    };
    // The scanner, gallery and video commands need SANE, libcurl or FFmpeg; lumerix-cli goes
    // without them and hands them on (see Elsewhere).
    Commands.append(DocumentCommands());
    Commands.append(SettingsCommands());
    Commands.append(PackageCommands());
    Commands.append(AudioCommands());
#ifdef LUMERIX_CLI_FULL
    Commands.append(ScanCommands());
#endif
    Commands.append(EditCommands());
#ifdef LUMERIX_CLI_FULL
    Commands.append(GalleryCommands());
    Commands.append(VideoCommands());
    Commands.append(VideoFrameCommands());
#endif
    Commands.append(PrintCommands());
}

QString TCommandLine::HelpText() const {
    QString text = QStringLiteral(
        "Usage: lumerix-cli [--language CODE] [--base DIR] [--yes] COMMAND [ARGUMENTS]\n"
        "\n"
        "Options:\n"
        "  --language CODE  language of this run: GERMAN, ENGLISH, FRANCE, ITALIAN or SPAIN\n"
        "  --base DIR       workspace base folder of this run (default: the stored one, else "
        "home)\n"
        "  --yes            answer every confirmation with yes\n"
        "  --help           show this text\n"
        "\n"
        "Commands:\n");
    for (const TCommand& command : Commands) {
        const QString call =
            command.Usage.isEmpty() ? command.Name : command.Name + u' ' + command.Usage;
        text += QStringLiteral("  %1\n      %2\n").arg(call, command.Description);
    }
    return text;
}

int TCommandLine::Run(const QStringList& arguments) {
    QString language;
    QString base;
    bool assumeYes = false;
    qsizetype i = 0;
    for (; i < arguments.size() && arguments[i].startsWith(QStringLiteral("--")); ++i) {
        const QString& option = arguments[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        if (option == u"--help") {
            if (Elsewhere)
                return Elsewhere();
            QTextStream(stdout) << HelpText();
            return 0;
        }
        if (option == u"--yes") {
            assumeYes = true;
        } else if (option == u"--language") {
            const auto code = value();
            if (!code || !TLanguage::IsKnownCode(code->toUpper())) {
                QTextStream(stderr) << "lumerix-cli: --language needs one of "
                                    << TLanguage::Codes().join(QStringLiteral(", ")) << '\n';
                return 2;
            }
            language = code->toUpper();
        } else if (option == u"--base") {
            const auto folder = value();
            if (!folder || folder->isEmpty()) {
                QTextStream(stderr) << "lumerix-cli: --base needs a folder\n";
                return 2;
            }
            base = QFileInfo(*folder).absoluteFilePath();
        } else {
            QTextStream(stderr) << "lumerix-cli: unknown option " << option << " (see --help)\n";
            return 2;
        }
    }
    if (i >= arguments.size()) {
        if (Elsewhere)
            return Elsewhere();
        QTextStream(stderr) << HelpText();
        return 2;
    }
    const QString name = arguments[i];
    const auto command =
        std::find_if(Commands.begin(), Commands.end(),
                     [&](const TCommand& candidate) { return candidate.Name == name; });
    if (command == Commands.end()) {
        if (Elsewhere)
            return Elsewhere();
        QTextStream(stderr) << "lumerix-cli: unknown command " << name << " (see --help)\n";
        return 2;
    }

    TTerminalPrompter prompter(assumeYes);
    const TFolderLocations locations = TFolderLocations::ForThisUser();
    const std::unique_ptr<TRunState> state = TStartup::CreateRunState(
        locations, prompter, QStringLiteral("lumerix-cli"), language, base);
    if (!TStartup::PrepareWorkspace(*state, prompter))
        return 1;
    TCliContext context{*state, prompter, arguments.mid(i + 1)};
    try {
        command->Run(context);
    } catch (const TCliError& error) {
        prompter.Error(error.Message);
        return error.ExitCode;
    }
    return 0;
}

} // namespace Lumerix
