#include "TScanDriver.h"

#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "shell/TIniFile.h"
#include "shell/TPreferences.h"
#include "shell/TProgress.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QFile>

namespace Lumerix {

namespace {

// A device that SANE no longer lists and cannot open has gone (unplugged, switched off, or
// reached under another name now): the user must choose again, which SANE's own status
// ("Invalid argument") does not say.
int OpenFailure(int code, const QString& name, const QList<TScanDeviceInfo>& devices) {
    for (const TScanDeviceInfo& device : devices) {
        if (device.Name == name)
            return code;
    }
    return ScanDeviceGone;
}

} // namespace

TScanDriver::TScanDriver(QString sourceName) : Source(sourceName.left(MaxSourceName)) {}

int TScanDriver::ListSources(QList<TScanDeviceInfo>& devices) {
    return Code = SaneSession::Devices(devices);
}

int TScanDriver::Select(const QString& name) {
    QList<TScanDeviceInfo> devices;
    if ((Code = SaneSession::Devices(devices)) != ScanSuccess)
        return Code;
    TScanner scanner;
    if ((Code = scanner.Open(name)) != ScanSuccess)
        return Code = OpenFailure(Code, name, devices);
    const QString chosen = name.left(MaxSourceName);
    if (chosen != Source) {
        Stored.clear();
        IsRealised = false;
    }
    Source = chosen;
    return Code;
}

int TScanDriver::Begin(TScanner& scanner) {
    QList<TScanDeviceInfo> devices;
    if ((Code = SaneSession::Devices(devices)) != ScanSuccess)
        return Code;
    if (Source.isEmpty())
        Source = devices.first().Name.left(MaxSourceName);
    if ((Code = scanner.Open(Source)) != ScanSuccess)
        return Code = OpenFailure(Code, Source, devices);
    scanner.Apply(Stored);
    if (!IsRealised) {
        Stored = scanner.Values();
        IsRealised = true;
        ++RealiseCount;
    }
    return Code = ScanSuccess;
}

int TScanDriver::Finish(TScanner& scanner, const QImage& picture, int code) {
    Acquired = QImage();
    if (scanner.IsOpen()) {
        Stored = scanner.Values();
        scanner.Close();
    }
    if (code == ScanSuccess && picture.isNull())
        code = ScanIoErrorCode;
    if (code == ScanSuccess)
        Acquired = picture;
    return Code = code;
}

int TScanDriver::Acquire(TProgress& progress, const QVariantMap& overrides) {
    TScanner scanner;
    if (Begin(scanner) != ScanSuccess)
        return Code;
    const QImage picture = scanner.Acquire(overrides, progress);
    return Finish(scanner, picture, scanner.LastCode());
}

namespace ScanImport {

QString StoredSource(const TRunState& state) {
    return state.GeneratorIni().ReadString(TPreferences::Section, SourceKey, QString());
}

bool StoreSource(const TRunState& state, const QString& name, QString* error) {
    TIniFile ini = state.GeneratorIni();
    if (ini.WriteString(TPreferences::Section, SourceKey, name))
        return true;
    if (error)
        *error = ini.LastError();
    return false;
}

int AddToSlideshow(const TRunState& state, TSlideshow& show, TPrompter& prompter,
                   const QImage& picture, TProgress& progress) {
    const QString transfer = state.ProgramFile(TransferName);
    try {
        TRasterImage(picture).Save(transfer, 4);
    } catch (const TImagingError& error) {
        prompter.PlainError(error.Text());
        return -1;
    }
    const int before = show.Pictures().Count();
    show.AddPictures({transfer}, -1, progress);
    QFile::remove(transfer);
    const int after = show.Pictures().Count();
    return after > before ? after - 1 : -1;
}

QString FailureText(int code) {
    return QStringLiteral("Meldung:\n ") + ScanCodeText(code);
}

} // namespace ScanImport

} // namespace Lumerix
