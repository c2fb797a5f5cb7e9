#include "TScanner.h"

#include "shell/TProgress.h"

#include <QtEndian>

#include <sane/sane.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace Lumerix {

namespace {

static_assert(ScanCancelledCode == -int(SANE_STATUS_CANCELLED));
static_assert(ScanIoErrorCode == -int(SANE_STATUS_IO_ERROR));

SANE_Handle AsHandle(void* handle) {
    return static_cast<SANE_Handle>(handle);
}

QString UnitText(SANE_Unit unit) {
    switch (unit) {
    case SANE_UNIT_PIXEL:
        return QStringLiteral("px");
    case SANE_UNIT_BIT:
        return QStringLiteral("bit");
    case SANE_UNIT_MM:
        return QStringLiteral("mm");
    case SANE_UNIT_DPI:
        return QStringLiteral("dpi");
    case SANE_UNIT_PERCENT:
        return QStringLiteral("%");
    case SANE_UNIT_MICROSECOND:
        return QStringLiteral("µs");
    default:
        return QString();
    }
}

double WordToNumber(SANE_Word word, SANE_Value_Type type) {
    return type == SANE_TYPE_FIXED ? SANE_UNFIX(word) : double(word);
}

QVariant WordToVariant(SANE_Word word, SANE_Value_Type type) {
    if (type == SANE_TYPE_FIXED)
        return SANE_UNFIX(word);
    if (type == SANE_TYPE_BOOL)
        return word != SANE_FALSE;
    return int(word);
}

SANE_Word VariantToWord(const QVariant& value, SANE_Value_Type type) {
    if (type == SANE_TYPE_FIXED)
        return SANE_FIX(value.toDouble());
    if (type == SANE_TYPE_BOOL)
        return value.toBool() ? SANE_TRUE : SANE_FALSE;
    return SANE_Word(qRound(value.toDouble()));
}

TScanOption::TType TypeOf(SANE_Value_Type type) {
    switch (type) {
    case SANE_TYPE_BOOL:
        return TScanOption::TType::Bool;
    case SANE_TYPE_FIXED:
        return TScanOption::TType::Fixed;
    case SANE_TYPE_STRING:
        return TScanOption::TType::String;
    case SANE_TYPE_BUTTON:
        return TScanOption::TType::Button;
    case SANE_TYPE_GROUP:
        return TScanOption::TType::Group;
    default:
        return TScanOption::TType::Int;
    }
}

bool SameValue(const QVariant& a, const QVariant& b, TScanOption::TType type) {
    if (type == TScanOption::TType::Fixed && a.typeId() != QMetaType::QVariantList)
        return qAbs(a.toDouble() - b.toDouble()) < 1e-4;
    return a == b;
}

// One sample of a scan line as 0..255. SANE packs 1-bit samples from the most significant
// bit; in grey line art a set bit means black, in colour full intensity. 16-bit samples are
// in the machine's byte order.
int Sample(const uchar* line, int index, int depth, bool grey) {
    switch (depth) {
    case 1:
        return ((line[index / 8] >> (7 - index % 8)) & 1) != grey ? 255 : 0;
    case 16: {
        quint16 value;
        std::memcpy(&value, line + 2 * index, 2);
        return value >> 8;
    }
    default:
        return line[index];
    }
}

// The lowest resolution from 25 dpi up that `option` allows, else its highest.
double PreviewResolution(const TScanOption& option) {
    constexpr double Wanted = 25;
    if (option.Constraint == TScanOption::TConstraint::Range) {
        double value = qMax(option.Minimum, Wanted);
        if (option.Quant > 0)
            value =
                option.Minimum + std::ceil((value - option.Minimum) / option.Quant) * option.Quant;
        return qMin(value, option.Maximum);
    }
    if (option.Constraint == TScanOption::TConstraint::List && !option.Choices.isEmpty()) {
        double best = -1;
        double highest = 0;
        for (const QVariant& choice : option.Choices) {
            const double value = choice.toDouble();
            highest = qMax(highest, value);
            if (value >= Wanted && (best < 0 || value < best))
                best = value;
        }
        return best < 0 ? highest : best;
    }
    return option.Value.toDouble();
}

} // namespace

int ScanCodeOfStatus(int saneStatus) {
    return saneStatus == SANE_STATUS_GOOD ? ScanSuccess : -saneStatus;
}

QString ScanCodeText(int code) {
    if (code == ScanSuccess)
        return QString();
    if (code == ScanNoSane)
        return QStringLiteral("SANE is not available");
    if (code == ScanNoDevice)
        return QStringLiteral("SANE finds no scanner or camera");
    if (code == ScanDeviceGone)
        return QStringLiteral("The chosen scanner or camera is not connected");
    if (code < 0 && -code <= int(SANE_STATUS_ACCESS_DENIED))
        return QString::fromUtf8(sane_strstatus(SANE_Status(-code)));
    return QStringLiteral("Undefined Error: %1").arg(code);
}

bool ScanCancelled(int code) {
    return code == ScanCancelledCode;
}

namespace SaneSession {

namespace {

std::mutex SessionLock;
bool Initialised = false; // sane_init succeeded and was not yet ended
bool Usable = false;      // and speaks the interface this program was built for

} // namespace

bool Available() {
    const std::lock_guard lock(SessionLock);
    if (!Initialised) {
        SANE_Int version = 0;
        const SANE_Status status = sane_init(&version, nullptr);
        Initialised = status == SANE_STATUS_GOOD;
        Usable = Initialised && SANE_VERSION_MAJOR(version) == SANE_CURRENT_MAJOR;
    }
    return Usable;
}

void End() {
    const std::lock_guard lock(SessionLock);
    if (Initialised)
        sane_exit();
    Initialised = false;
    Usable = false;
}

int Devices(QList<TScanDeviceInfo>& devices) {
    devices.clear();
    if (!Available())
        return ScanNoSane;
    const SANE_Device** list = nullptr;
    const SANE_Status status = sane_get_devices(&list, SANE_FALSE);
    if (status != SANE_STATUS_GOOD)
        return ScanCodeOfStatus(status);
    for (; list && *list; ++list) {
        const SANE_Device& device = **list;
        devices.append({QString::fromUtf8(device.name), QString::fromUtf8(device.vendor),
                        QString::fromUtf8(device.model), QString::fromUtf8(device.type)});
    }
    return devices.isEmpty() ? ScanNoDevice : ScanSuccess;
}

} // namespace SaneSession

TScanner::~TScanner() {
    Close();
}

int TScanner::Fail(int status) {
    Code = ScanCodeOfStatus(status);
    return Code;
}

int TScanner::Open(const QString& name) {
    Close();
    if (!SaneSession::Available())
        return Code = ScanNoSane;
    SANE_Handle handle = nullptr;
    const SANE_Status status = sane_open(name.toUtf8().constData(), &handle);
    if (status != SANE_STATUS_GOOD)
        return Fail(status);
    Handle = handle;
    DeviceName = name;
    ReadOptions();
    return Code = ScanSuccess;
}

void TScanner::Close() {
    if (Handle)
        sane_close(AsHandle(Handle));
    Handle = nullptr;
    DeviceName.clear();
    OptionList.clear();
}

void TScanner::ReadOptions() {
    OptionList.clear();
    SANE_Handle handle = AsHandle(Handle);
    SANE_Int count = 0;
    if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return;
    QString group;
    for (int index = 1; index < count; ++index) {
        const SANE_Option_Descriptor* descriptor = sane_get_option_descriptor(handle, index);
        if (!descriptor)
            continue;
        TScanOption option;
        option.Index = index;
        option.Name = QString::fromUtf8(descriptor->name ? descriptor->name : "");
        option.Title = QString::fromUtf8(descriptor->title ? descriptor->title : "");
        option.Description = QString::fromUtf8(descriptor->desc ? descriptor->desc : "");
        option.Type = TypeOf(descriptor->type);
        option.Unit = UnitText(descriptor->unit);
        option.Active = SANE_OPTION_IS_ACTIVE(descriptor->cap);
        option.Settable = SANE_OPTION_IS_SETTABLE(descriptor->cap);
        option.Advanced = descriptor->cap & SANE_CAP_ADVANCED;
        option.Automatic = descriptor->cap & SANE_CAP_AUTOMATIC;
        if (descriptor->type == SANE_TYPE_GROUP)
            group = option.Title;
        option.Group = group;
        const bool numeric = descriptor->type == SANE_TYPE_INT ||
                             descriptor->type == SANE_TYPE_FIXED ||
                             descriptor->type == SANE_TYPE_BOOL;
        option.Count = numeric ? qMax(1, int(descriptor->size / sizeof(SANE_Word))) : 1;

        switch (descriptor->constraint_type) {
        case SANE_CONSTRAINT_RANGE: {
            const SANE_Range* range = descriptor->constraint.range;
            option.Constraint = TScanOption::TConstraint::Range;
            option.Minimum = WordToNumber(range->min, descriptor->type);
            option.Maximum = WordToNumber(range->max, descriptor->type);
            option.Quant = WordToNumber(range->quant, descriptor->type);
            break;
        }
        case SANE_CONSTRAINT_WORD_LIST: {
            const SANE_Word* words = descriptor->constraint.word_list;
            option.Constraint = TScanOption::TConstraint::List;
            for (int i = 1; i <= words[0]; ++i)
                option.Choices.append(WordToVariant(words[i], descriptor->type));
            break;
        }
        case SANE_CONSTRAINT_STRING_LIST:
            option.Constraint = TScanOption::TConstraint::List;
            for (const SANE_String_Const* text = descriptor->constraint.string_list; *text; ++text)
                option.Choices.append(QString::fromUtf8(*text));
            break;
        default:
            break;
        }

        if (option.Active && descriptor->type != SANE_TYPE_BUTTON &&
            descriptor->type != SANE_TYPE_GROUP && descriptor->size > 0) {
            std::vector<char> buffer(std::size_t(descriptor->size) + sizeof(SANE_Word), 0);
            if (sane_control_option(handle, index, SANE_ACTION_GET_VALUE, buffer.data(), nullptr) ==
                SANE_STATUS_GOOD) {
                if (descriptor->type == SANE_TYPE_STRING) {
                    option.Value = QString::fromUtf8(buffer.data());
                } else {
                    const auto* words = reinterpret_cast<const SANE_Word*>(buffer.data());
                    if (option.Count == 1) {
                        option.Value = WordToVariant(words[0], descriptor->type);
                    } else {
                        QVariantList values;
                        for (int i = 0; i < option.Count; ++i)
                            values.append(WordToVariant(words[i], descriptor->type));
                        option.Value = values;
                    }
                }
            }
        }
        OptionList.append(option);
    }
}

const TScanOption* TScanner::Option(const QString& name) const {
    for (const TScanOption& option : OptionList) {
        if (option.Name == name)
            return &option;
    }
    return nullptr;
}

int TScanner::SetOption(const QString& name, const QVariant& value) {
    const TScanOption* option = Option(name);
    if (!Handle || !option)
        return Fail(SANE_STATUS_INVAL);
    SANE_Handle handle = AsHandle(Handle);
    const SANE_Option_Descriptor* descriptor = sane_get_option_descriptor(handle, option->Index);
    if (!descriptor)
        return Fail(SANE_STATUS_INVAL);
    std::vector<char> buffer(std::size_t(qMax(descriptor->size, SANE_Int(sizeof(SANE_Word)))) + 1,
                             0);
    if (descriptor->type == SANE_TYPE_STRING) {
        const QByteArray text = value.toString().toUtf8();
        std::memcpy(buffer.data(), text.constData(),
                    std::min<std::size_t>(text.size(), std::size_t(descriptor->size) - 1));
    } else if (descriptor->type != SANE_TYPE_BUTTON) {
        auto* words = reinterpret_cast<SANE_Word*>(buffer.data());
        if (value.typeId() == QMetaType::QVariantList) {
            const QVariantList values = value.toList();
            for (int i = 0; i < option->Count && i < values.size(); ++i)
                words[i] = VariantToWord(values[i], descriptor->type);
        } else {
            for (int i = 0; i < option->Count; ++i)
                words[i] = VariantToWord(value, descriptor->type);
        }
    }
    SANE_Int info = 0;
    const SANE_Status status =
        sane_control_option(handle, option->Index, SANE_ACTION_SET_VALUE,
                            descriptor->type == SANE_TYPE_BUTTON ? nullptr : buffer.data(), &info);
    // Other options may have changed with this one, and the value may have been rounded.
    ReadOptions();
    return status == SANE_STATUS_GOOD ? (Code = ScanSuccess) : Fail(status);
}

QVariantMap TScanner::Values() const {
    QVariantMap values;
    for (const TScanOption& option : OptionList) {
        if (option.Editable() && option.Value.isValid())
            values.insert(option.Name, option.Value);
    }
    return values;
}

void TScanner::Apply(const QVariantMap& values) {
    for (int pass = 0; pass < 2; ++pass) {
        bool changed = false;
        for (int i = 0; i < OptionList.size(); ++i) {
            const TScanOption option = OptionList[i];
            const auto value = values.constFind(option.Name);
            if (value == values.constEnd() || !option.Editable() ||
                SameValue(option.Value, *value, option.Type))
                continue;
            SetOption(option.Name, *value);
            changed = true;
        }
        if (!changed)
            break;
    }
    Code = ScanSuccess;
}

bool TScanner::HasPreview() const {
    const TScanOption* preview = Option(QStringLiteral("preview"));
    if (preview && preview->Editable() && preview->Type == TScanOption::TType::Bool)
        return true;
    // Without a preview mode, a device with a settable scan area still gets an overview.
    for (const char* corner : {"tl-x", "tl-y", "br-x", "br-y"}) {
        const TScanOption* option = Option(QLatin1String(corner));
        if (!option || !option->Editable() || option->Constraint != TScanOption::TConstraint::Range)
            return false;
    }
    return true;
}

void TScanner::Cancel() {
    if (Handle && Scanning)
        sane_cancel(AsHandle(Handle));
}

QImage TScanner::Preview(TProgress& progress) {
    const QVariantMap before = Values();
    QVariantMap preview;
    const TScanOption* mode = Option(QStringLiteral("preview"));
    if (mode && mode->Editable()) {
        preview.insert(mode->Name, true);
    } else if (const TScanOption* resolution = Option(QStringLiteral("resolution"));
               resolution && resolution->Editable()) {
        // The device has no preview mode of its own: a coarse resolution keeps it quick.
        preview.insert(resolution->Name, PreviewResolution(*resolution));
    }
    // The preview shows the whole area the device can scan.
    for (const char* corner : {"tl-x", "tl-y", "br-x", "br-y"}) {
        const TScanOption* option = Option(QLatin1String(corner));
        if (option && option->Constraint == TScanOption::TConstraint::Range)
            preview.insert(option->Name, corner[0] == 't' ? option->Minimum : option->Maximum);
    }
    const QImage image = Acquire(preview, progress);
    const int code = Code;
    Apply(before);
    Code = code;
    return image;
}

QImage TScanner::Acquire(const QVariantMap& options, TProgress& progress) {
    if (!Handle) {
        Code = ScanNoSane;
        return {};
    }
    if (!options.isEmpty())
        Apply(options);
    SANE_Handle handle = AsHandle(Handle);
    QImage picture;
    Scanning = true;
    // Ends the acquisition and returns a failure's null picture.
    auto fail = [&](SANE_Status status) {
        // A cancel from another thread may surface as any failure of the device.
        if (progress.Cancelled())
            status = SANE_STATUS_CANCELLED;
        sane_cancel(handle);
        Scanning = false;
        Fail(status);
        return QImage();
    };
    int pass = 0;
    for (;;) {
        if (progress.Cancelled())
            return fail(SANE_STATUS_CANCELLED);
        SANE_Status status = sane_start(handle);
        if (status != SANE_STATUS_GOOD)
            return fail(status);
        SANE_Parameters parameters;
        status = sane_get_parameters(handle, &parameters);
        if (status != SANE_STATUS_GOOD)
            return fail(status);
        const int width = parameters.pixels_per_line;
        const int bytesPerLine = parameters.bytes_per_line;
        const bool separate = parameters.format == SANE_FRAME_RED ||
                              parameters.format == SANE_FRAME_GREEN ||
                              parameters.format == SANE_FRAME_BLUE;
        if (width <= 0 || bytesPerLine <= 0 ||
            (parameters.format != SANE_FRAME_GRAY && parameters.format != SANE_FRAME_RGB &&
             !separate) ||
            (parameters.depth != 1 && parameters.depth != 8 && parameters.depth != 16))
            return fail(SANE_STATUS_UNSUPPORTED);
        const int passes = separate ? 3 : 1;
        const qint64 expected = parameters.lines > 0 ? qint64(bytesPerLine) * parameters.lines : 0;

        QByteArray data;
        if (expected > 0)
            data.reserve(expected);
        std::vector<SANE_Byte> chunk(64 * 1024);
        bool cancelSent = false;
        for (;;) {
            if (!cancelSent && progress.Cancelled()) {
                // The device stops; the reads that follow report the cancel.
                sane_cancel(handle);
                cancelSent = true;
            }
            SANE_Int length = 0;
            status = sane_read(handle, chunk.data(), SANE_Int(chunk.size()), &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return fail(status);
            data.append(reinterpret_cast<const char*>(chunk.data()), length);
            if (expected > 0)
                progress.SetPercent(
                    int((pass * 100 + qMin<qint64>(100, data.size() * 100 / expected)) / passes));
        }
        if (cancelSent || progress.Cancelled())
            return fail(SANE_STATUS_CANCELLED);
        const int lines = int(data.size() / bytesPerLine);
        if (lines <= 0)
            return fail(SANE_STATUS_IO_ERROR);
        if (picture.isNull()) {
            picture = QImage(width, lines, QImage::Format_BGR888);
            picture.fill(Qt::black);
        }
        const int height = qMin(lines, picture.height());
        const int width3 = qMin(width, picture.width());
        // Byte offsets of red, green and blue in a BGR888 pixel.
        const int channel = parameters.format == SANE_FRAME_RED     ? 2
                            : parameters.format == SANE_FRAME_GREEN ? 1
                                                                    : 0;
        for (int y = 0; y < height; ++y) {
            const auto* line =
                reinterpret_cast<const uchar*>(data.constData()) + qint64(y) * bytesPerLine;
            uchar* out = picture.scanLine(y);
            for (int x = 0; x < width3; ++x) {
                uchar* pixel = out + 3 * x;
                if (parameters.format == SANE_FRAME_GRAY) {
                    pixel[0] = pixel[1] = pixel[2] = uchar(Sample(line, x, parameters.depth, true));
                } else if (parameters.format == SANE_FRAME_RGB) {
                    pixel[2] = uchar(Sample(line, 3 * x, parameters.depth, false));
                    pixel[1] = uchar(Sample(line, 3 * x + 1, parameters.depth, false));
                    pixel[0] = uchar(Sample(line, 3 * x + 2, parameters.depth, false));
                } else {
                    pixel[channel] = uchar(Sample(line, x, parameters.depth, false));
                }
            }
        }
        ++pass;
        if (parameters.last_frame || pass >= 3)
            break;
    }
    sane_cancel(handle);
    Scanning = false;
    progress.SetPercent(100);
    Code = ScanSuccess;
    return picture;
}

} // namespace Lumerix
