#pragma once

#include "TScanner.h"

#include <QImage>
#include <QString>
#include <QVariantMap>

namespace Lumerix {

class TProgress;
class TPrompter;
class TRunState;
class TSlideshow;

/// The chosen scanner or camera and what the program keeps about it: the code of the last
/// operation, the acquired picture, the source's name and the properties realised for it.
/// The properties are what the source returned when they were last handed to it; they go to
/// the source again before each acquisition. Choosing another source drops them, so the next
/// acquisition realises that source's own properties anew.
class TScanDriver {
public:
    /// Longest source name kept.
    static constexpr int MaxSourceName = 255;

    explicit TScanDriver(QString sourceName = {});

    int LastCode() const { return Code; }
    QString LastText() const { return ScanCodeText(Code); }
    const QString& SourceName() const { return Source; }
    const QVariantMap& Properties() const { return Stored; }
    bool Realised() const { return IsRealised; }
    /// How often properties were realised: a test's view of "realised anew".
    int Realisations() const { return RealiseCount; }
    const QImage& Picture() const { return Acquired; }

    /// The devices to choose from; `ScanNoSane` when SANE reaches none.
    int ListSources(QList<TScanDeviceInfo>& devices);
    /// Opens source `name` to read its properties and takes over its name. Another name than
    /// the present one drops the realised properties.
    int Select(const QString& name);

    /// The first step of an acquisition: opens the chosen source (the first device when none
    /// is chosen yet, which then becomes the chosen one) and hands it the kept properties;
    /// when not yet realised, keeps what the source returned. `scanner` stays open for the
    /// options dialog and the scan.
    int Begin(TScanner& scanner);
    /// The last step: keeps the picture of a successful scan and the properties the user
    /// left on the source, and closes it. `code` is the scan's result.
    int Finish(TScanner& scanner, const QImage& picture, int code);
    /// Begin, the scan with `overrides` set on top of the kept properties, and Finish, without
    /// any dialog.
    int Acquire(TProgress& progress, const QVariantMap& overrides = {});

private:
    int Code = ScanSuccess;
    QString Source;
    QVariantMap Stored;
    bool IsRealised = false;
    int RealiseCount = 0;
    QImage Acquired;
};

/// Storing the chosen source and handing acquired pictures to the slideshow.
namespace ScanImport {

/// Key of the chosen source in section "SETTINGS" of `Generator.ini`.
inline const QString SourceKey = QStringLiteral("ScanDevice");
/// The file an acquired picture passes through in the program folder.
inline const QString TransferName = QStringLiteral("DScan.jpg");

QString StoredSource(const TRunState& state);
/// False when `Generator.ini` cannot be written; `error` says why.
bool StoreSource(const TRunState& state, const QString& name, QString* error = nullptr);

/// Saves `picture` as "DScan.jpg" in the program folder (JPEG, quality factor 4), adds that
/// file at the end of the open slideshow (copied under a unique name with its thumbnail) and
/// deletes it again. Returns the new entry's row, or -1 when it did not arrive; an imaging
/// failure is reported in the plain error box, a failed copy by the slideshow.
int AddToSlideshow(const TRunState& state, TSlideshow& show, TPrompter& prompter,
                   const QImage& picture, TProgress& progress);

/// The message box text for a failed operation's code.
QString FailureText(int code);

} // namespace ScanImport

} // namespace Lumerix
