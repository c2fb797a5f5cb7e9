#include "ScanCommands.h"

#include "CliSupport.h"
#include "TTerminalPrompter.h"
#include "acquire/TScanDriver.h"
#include "document/TSlideshow.h"
#include "document/TSlideshowStore.h"
#include "shell/TRunState.h"

#include <QTextStream>

#include <optional>

namespace Lumerix {

namespace {

using namespace CliSupport;

void Scanners(TCliContext& context) {
    if (!context.Arguments.isEmpty())
        throw TCliError{QStringLiteral("scanners takes no arguments")};
    TScanDriver driver;
    QList<TScanDeviceInfo> devices;
    if (driver.ListSources(devices) != ScanSuccess)
        throw TCliError{driver.LastText()};
    for (const TScanDeviceInfo& device : devices)
        PrintLine(QStringList{device.Name, device.Vendor, device.Model, device.Type}.join(u'\t'));
}

void Scan(TCliContext& context) {
    QStringList arguments = context.Arguments;
    QString device = ScanImport::StoredSource(context.State);
    QVariantMap overrides;
    auto take = [&arguments](const QString& option) -> std::optional<QString> {
        const qsizetype at = arguments.indexOf(option);
        if (at < 0)
            return std::nullopt;
        if (at + 1 >= arguments.size())
            throw TCliError{QStringLiteral("%1 needs a value").arg(option)};
        const QString value = arguments[at + 1];
        arguments.remove(at, 2);
        return value;
    };
    if (const auto name = take(QStringLiteral("--device")))
        device = *name;
    if (const auto resolution = take(QStringLiteral("--resolution"))) {
        bool ok = false;
        const int dpi = resolution->toInt(&ok);
        if (!ok || dpi < 1)
            throw TCliError{QStringLiteral("--resolution needs a whole number of dpi from 1")};
        overrides.insert(QStringLiteral("resolution"), dpi);
    }
    if (const auto mode = take(QStringLiteral("--mode"))) {
        if (*mode != u"Color" && *mode != u"Gray")
            throw TCliError{QStringLiteral("--mode is Color or Gray")};
        overrides.insert(QStringLiteral("mode"), *mode);
    }
    if (arguments.size() != 1)
        throw TCliError{QStringLiteral(
            "usage: lumerix-cli scan SHOW [--device NAME] [--resolution DPI] [--mode Color|Gray]")};
    context.Arguments = arguments;

    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    TScanDriver driver(device);
    TTerminalProgress progress;
    if (driver.Acquire(progress, overrides) != ScanSuccess) {
        if (driver.LastCode() == ScanDeviceGone)
            throw TCliError{QStringLiteral("%1: \"%2\" (lumerix-cli scanners lists those "
                                           "connected; --device NAME chooses one)")
                                .arg(ScanCodeText(ScanDeviceGone), driver.SourceName())};
        throw TCliError{ScanImport::FailureText(driver.LastCode())};
    }
    const int row = ScanImport::AddToSlideshow(context.State, show, context.Prompter,
                                               driver.Picture(), progress);
    if (row < 0)
        throw TCliError{QStringLiteral("the picture did not arrive in %1").arg(show.ShowDir())};
    PrintLine(show.Pictures().Parsed(row).FileName);
}

} // namespace

QList<TCommandLine::TCommand> ScanCommands() {
    return {
        {QStringLiteral("scanners"), QString(),
         QStringLiteral("the scanners and cameras SANE reaches: name, vendor, model, type "
                        "(tab-separated)"),
         Scanners},
        {QStringLiteral("scan"),
         QStringLiteral("SHOW [--device NAME] [--resolution DPI] [--mode Color|Gray]"),
         QStringLiteral("acquire one picture into a slideshow, at its end; prints its file "
                        "name (the device defaults to the chosen one, else the first)"),
         Scan},
    };
}

} // namespace Lumerix
