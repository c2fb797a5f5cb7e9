#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <atomic>

namespace Lumerix {

class TProgress;

/// Result codes of the acquisition operations: `ScanSuccess`, one of the codes below, or the
/// negated SANE status of the failing call.
constexpr int ScanSuccess = 1;
/// SANE cannot start.
constexpr int ScanNoSane = -82;
/// SANE runs but reaches no scanner or camera.
constexpr int ScanNoDevice = -83;
/// The chosen device is not among those SANE reaches any more.
constexpr int ScanDeviceGone = -84;
/// The codes of a cancelled scan and of a device read that failed (SANE's own numbers).
constexpr int ScanCancelledCode = -2;
constexpr int ScanIoErrorCode = -9;
/// The code of a SANE status (`ScanSuccess` for SANE_STATUS_GOOD).
int ScanCodeOfStatus(int saneStatus);
/// The text a code is shown with: "SANE is not available", the texts of `ScanNoDevice` and
/// `ScanDeviceGone`, SANE's own status text, or "Undefined Error: " and the number.
QString ScanCodeText(int code);
/// True for the code of a scan the user (or the device) cancelled.
bool ScanCancelled(int code);

/// One device as SANE lists it.
struct TScanDeviceInfo {
    QString Name; ///< what `TScanner::Open` takes, e.g. "test:0"
    QString Vendor;
    QString Model;
    QString Type;
};

/// One option of an open device, copied out of SANE so that windows and tests can read it.
struct TScanOption {
    enum class TType { Bool, Int, Fixed, String, Button, Group };
    enum class TConstraint { None, Range, List };

    int Index = 0; ///< SANE option number
    QString Name;  ///< e.g. "resolution", "mode", "tl-x"
    QString Title;
    QString Description;
    QString Group; ///< title of the group the option belongs to
    TType Type = TType::Int;
    QString Unit;  ///< "dpi", "mm", "%", "px", "bit", "µs" or empty
    int Count = 1; ///< number of values (more than one for tables such as gamma curves)
    TConstraint Constraint = TConstraint::None;
    double Minimum = 0;
    double Maximum = 0;
    double Quant = 0;       ///< step of a range, 0 when any value goes
    QVariantList Choices;   ///< numbers or strings of a list constraint
    QVariant Value;         ///< bool, int, double, QString, or a QVariantList when Count > 1
    bool Active = false;    ///< usable in the device's present state
    bool Settable = false;  ///< software may change it
    bool Advanced = false;  ///< best left to experts
    bool Automatic = false; ///< the device can choose the value itself

    /// True for an option a user may set now: active, settable, and a value rather than a
    /// button or group heading.
    bool Editable() const {
        return Active && Settable && Type != TType::Button && Type != TType::Group;
    }
};

/// SANE for the whole process: initialised on first use, so that a test can point
/// `SANE_CONFIG_DIR` at its own configuration first, and ended by `End()` before `main`
/// returns. Never from an exit handler: backends loaded later have lost their static objects
/// by the time such a handler runs.
namespace SaneSession {

/// Initialises SANE when not done yet; false when it cannot be initialised.
bool Available();
/// The devices SANE reaches: `ScanNoSane` when SANE cannot start, `ScanNoDevice` when it
/// reaches none.
int Devices(QList<TScanDeviceInfo>& devices);
/// Ends SANE when it was started; every device must be closed by then. A later use starts
/// it again.
void End();

/// Ends SANE when it goes out of scope: each program holds one in `main`, made before any
/// scanner and gone after the last.
class TScope {
public:
    TScope() = default;
    ~TScope() { End(); }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;
};

} // namespace SaneSession

/// One open SANE device: its options as data, and acquisition into a 24-bit picture. Each
/// call either succeeds or leaves its code in `LastCode()`. A scanner is used by one thread
/// at a time; `Cancel()` may be called from any thread.
class TScanner {
public:
    TScanner() = default;
    ~TScanner();
    TScanner(const TScanner&) = delete;
    TScanner& operator=(const TScanner&) = delete;

    /// Opens device `name`, closing any other; reads its options.
    int Open(const QString& name);
    void Close();
    bool IsOpen() const { return Handle != nullptr; }
    const QString& Name() const { return DeviceName; }
    int LastCode() const { return Code; }

    const QList<TScanOption>& Options() const { return OptionList; }
    /// The option called `name`; null when the device has none.
    const TScanOption* Option(const QString& name) const;
    /// Sets one option (the device may round it) and reads every option again.
    int SetOption(const QString& name, const QVariant& value);
    /// The values of every editable option, by name.
    QVariantMap Values() const;
    /// Sets every value of `values` the device offers and accepts, in the device's order,
    /// twice over so that options depending on each other settle. Refused values are skipped.
    void Apply(const QVariantMap& values);
    /// True when the device offers a preview scan.
    bool HasPreview() const;

    /// Applies `options`, then reads one picture (every frame of a three-pass scan) as
    /// Format_BGR888. A null image on failure or cancel (see `LastCode()`).
    QImage Acquire(const QVariantMap& options, TProgress& progress);
    /// A fast scan of the whole area in preview mode; the options stay as they were.
    QImage Preview(TProgress& progress);
    /// Asks a running acquisition to stop.
    void Cancel();

private:
    void ReadOptions();
    int Fail(int status);

    void* Handle = nullptr; // SANE_Handle
    QString DeviceName;
    QList<TScanOption> OptionList;
    int Code = ScanSuccess;
    std::atomic_bool Scanning = false;
};

} // namespace Lumerix
