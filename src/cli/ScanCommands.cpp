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

// The device's own limits: a resolution outside its range, or a mode it does not offer, is
// refused here rather than rounded or dropped by the device.
void CheckAgainstDevice(const QString& device, const QVariantMap& overrides) {
    QString name = device;
    if (name.isEmpty()) {
        QList<TScanDeviceInfo> devices;
        if (SaneSession::Devices(devices) != ScanSuccess || devices.isEmpty())
            return; // the scan itself reports it
        name = devices.first().Name;
    }
    TScanner scanner;
    if (scanner.Open(name) != ScanSuccess)
        return;
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it) {
        const TScanOption* option = scanner.Option(it.key());
        if (!option || !option->Editable())
            throw TCliError{QStringLiteral("%1 has no setting \"%2\"").arg(name, it.key())};
        if (option->Constraint == TScanOption::TConstraint::Range) {
            const double value = it.value().toDouble();
            if (value < option->Minimum || value > option->Maximum)
                throw TCliError{QStringLiteral("%1 takes a %2 from %3 to %4, not %5")
                                    .arg(name, it.key())
                                    .arg(option->Minimum)
                                    .arg(option->Maximum)
                                    .arg(it.value().toString())};
        } else if (option->Constraint == TScanOption::TConstraint::List) {
            QStringList offered;
            for (const QVariant& choice : option->Choices)
                offered.append(choice.toString());
            if (!offered.contains(it.value().toString()))
                throw TCliError{QStringLiteral("%1 takes a %2 of %3, not %4")
                                    .arg(name, it.key(), offered.join(QStringLiteral(", ")),
                                         it.value().toString())};
        }
    }
}

// The picture with the resolution it was scanned at, which the JPEG then records.
QImage WithResolution(QImage picture, const QVariantMap& properties) {
    const double dpi = properties.value(QStringLiteral("resolution")).toDouble();
    if (dpi > 0) {
        picture.setDotsPerMeterX(qRound(dpi / 0.0254));
        picture.setDotsPerMeterY(qRound(dpi / 0.0254));
    }
    return picture;
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
        if (*mode != u"Color" && *mode != u"Gray" && *mode != u"Lineart")
            throw TCliError{QStringLiteral("--mode is Color, Gray or Lineart")};
        overrides.insert(QStringLiteral("mode"), *mode);
    }
    if (arguments.size() != 1)
        throw TCliError{QStringLiteral("usage: lumerix-cli scan SHOW [--device NAME] "
                                       "[--resolution DPI] [--mode Color|Gray|Lineart]")};
    context.Arguments = arguments;

    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    CheckAgainstDevice(device, overrides);
    TScanDriver driver(device);
    TTerminalProgress progress;
    if (driver.Acquire(progress, overrides) != ScanSuccess) {
        if (driver.LastCode() == ScanDeviceGone)
            throw TCliError{QStringLiteral("%1: \"%2\" (lumerix-cli scanners lists those "
                                           "connected; --device NAME chooses one)")
                                .arg(ScanCodeText(ScanDeviceGone), driver.SourceName())};
        throw TCliError{ScanImport::FailureText(driver.LastCode())};
    }
    const int row =
        ScanImport::AddToSlideshow(context.State, show, context.Prompter,
                                   WithResolution(driver.Picture(), driver.Properties()), progress);
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
         QStringLiteral("SHOW [--device NAME] [--resolution DPI] [--mode Color|Gray|Lineart]"),
         QStringLiteral("acquire one picture into a slideshow, at its end; prints its file "
                        "name (the device defaults to the chosen one, else the first)"),
         Scan},
    };
}

} // namespace Lumerix
