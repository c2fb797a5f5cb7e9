#include "EditCommands.h"

#include "CliSupport.h"
#include "TTerminalPrompter.h"
#include "document/TSlideshow.h"
#include "document/TSlideshowStore.h"
#include "editing/EffectCatalogue.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"

#include <QTextStream>

#include <optional>

namespace Lumerix {

namespace {

using namespace CliSupport;

int WholeNumber(const QString& text, const QString& what, int minimum, int maximum) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        throw TCliError{QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
                            .arg(what)
                            .arg(minimum)
                            .arg(maximum)
                            .arg(text)};
    return value;
}

// Removes "--name VALUE" from `arguments`; the value, when given.
std::optional<QString> TakeOption(QStringList& arguments, const char* name) {
    const qsizetype at = arguments.indexOf(QLatin1String(name));
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= arguments.size())
        throw TCliError{QStringLiteral("%1 needs a value").arg(QLatin1String(name))};
    const QString value = arguments[at + 1];
    arguments.remove(at, 2);
    return value;
}

int Option(QStringList& arguments, const char* name, int fallback, int minimum, int maximum) {
    const std::optional<QString> value = TakeOption(arguments, name);
    return value ? WholeNumber(*value, QLatin1String(name), minimum, maximum) : fallback;
}

void NeedArguments(const QStringList& arguments, qsizetype count, const char* usage) {
    if (arguments.size() != count)
        throw TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
}

// Opens the slideshow, edits the full picture of INDEX with `edit` and stores it as the
// editing windows do: undo copy, JPEG over the picture file, renewed thumbnail and entry.
void EditPicture(TCliContext& context, int qualityFactor,
                 const std::function<void(QImage&)>& edit) {
    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    const int index = PictureIndex(show, context.Arguments[1]);
    const QString path = show.PicturePath(index);
    try {
        QImage bitmap = PictureEdits::LoadFullPicture(path);
        edit(bitmap);
        if (!PictureEdits::StoreEditedPicture(show, index, bitmap, qualityFactor))
            throw TCliError{QStringLiteral("%1 was not changed").arg(path)};
    } catch (const TImagingError& error) {
        throw TCliError{error.Text()};
    }
    if (!show.SavePictureList())
        throw TCliError{QStringLiteral("the picture list could not be saved")};
    PrintLine(path);
}

void Effect(TCliContext& context) {
    const char* usage = "effect SHOW INDEX EFFECT [--amount E] [--x X] [--y Y] [--extra R]";
    QStringList arguments = context.Arguments;
    const std::optional<QString> amountText = TakeOption(arguments, "--amount");
    const std::optional<QString> xText = TakeOption(arguments, "--x");
    const std::optional<QString> yText = TakeOption(arguments, "--y");
    int extra = Option(arguments, "--extra", EffectCatalogue::ExtraMinimum,
                       EffectCatalogue::ExtraMinimum, EffectCatalogue::ExtraMaximum);
    NeedArguments(arguments, 3, usage);
    const int rowIndex = EffectCatalogue::Find(arguments[2]);
    if (rowIndex < 0)
        throw TCliError{QStringLiteral("no effect \"%1\" (a number or a name such as "
                                       "\"Mosaic\" or \"Wings/Deep\")")
                            .arg(arguments[2])};
    const TEffectRow row = EffectCatalogue::Rows()[rowIndex];
    if (!row.Runs())
        throw TCliError{QStringLiteral("\"%1\" is a heading and runs nothing").arg(row.Path())};
    // The amount bar: the range a click on the node gives it, 0..100 for nodes that keep it.
    const int minimum = row.SetsBar ? row.Minimum : 0;
    const int maximum = row.SetsBar ? row.Maximum : 100;
    const int amount = amountText
                           ? WholeNumber(*amountText, QStringLiteral("--amount"), minimum, maximum)
                           : (row.SetsBar ? row.Position : 0);
    if (row.Number == 42)
        extra = std::max(extra, EffectCatalogue::PlasmaMinimumScale);
    context.Arguments = arguments;
    EditPicture(context, PictureEdits::EffectsQualityFactor(), [&](QImage& bitmap) {
        // The centre defaults to the middle of the picture.
        const int x = xText ? WholeNumber(*xText, QStringLiteral("--x"), 0, bitmap.width())
                            : bitmap.width() / 2;
        const int y = yText ? WholeNumber(*yText, QStringLiteral("--y"), 0, bitmap.height())
                            : bitmap.height() / 2;
        if (!EffectCatalogue::ApplyEffect(row, bitmap, amount, x, y, extra) && row.Number == 52)
            throw TCliError{QStringLiteral("Blend needs a picture of the same size on the "
                                           "clipboard")};
    });
}

void Adjust(TCliContext& context) {
    QStringList arguments = context.Arguments;
    const int brightness = Option(arguments, "--brightness", 0, -255, 255);
    const int contrast = Option(arguments, "--contrast", 0, -255, 255);
    // The colour as the window's label shows it: 0 keeps the colours.
    const int colour = Option(arguments, "--colour", 0, -PictureEdits::ColourRest,
                              PictureEdits::ColourMaximum - PictureEdits::ColourRest);
    NeedArguments(arguments, 2, "adjust SHOW INDEX [--brightness B] [--contrast C] [--colour F]");
    context.Arguments = arguments;
    EditPicture(context, PictureEdits::EffectsQualityFactor(), [&](QImage& bitmap) {
        PictureEdits::ApplyAdjustments(bitmap, brightness, colour + PictureEdits::ColourRest,
                                       contrast);
    });
}

void Rgb(TCliContext& context) {
    NeedArguments(context.Arguments, 5, "rgb SHOW INDEX R G B");
    const int red = WholeNumber(context.Arguments[2], QStringLiteral("R"), 10, 100);
    const int green = WholeNumber(context.Arguments[3], QStringLiteral("G"), 10, 100);
    const int blue = WholeNumber(context.Arguments[4], QStringLiteral("B"), 10, 100);
    EditPicture(context, PictureEdits::CorrectionQualityFactor, [&](QImage& bitmap) {
        PictureEdits::ApplyColourBalance(bitmap, red, green, blue);
    });
}

void Sharpen(TCliContext& context) {
    NeedArguments(context.Arguments, 3, "sharpen SHOW INDEX VALUE");
    const int amount = WholeNumber(context.Arguments[2], QStringLiteral("VALUE"), -1000, 1000);
    EditPicture(context, PictureEdits::CorrectionQualityFactor,
                [&](QImage& bitmap) { PictureEdits::ApplySharpen(bitmap, amount); });
}

} // namespace

QList<TCommandLine::TCommand> EditCommands() {
    return {
        {QStringLiteral("effect"),
         QStringLiteral("SHOW INDEX EFFECT [--amount E] [--x X] [--y Y] [--extra R]"),
         QStringLiteral("apply an effect of the effects window (its number or name, a child as "
                        "\"Wings/Deep\") to picture INDEX; the centre defaults to the middle"),
         Effect},
        {QStringLiteral("adjust"),
         QStringLiteral("SHOW INDEX [--brightness B] [--contrast C] [--colour F]"),
         QStringLiteral("change brightness and contrast (-255..255) and colour (-250..250, 0 "
                        "keeps it) of picture INDEX"),
         Adjust},
        {QStringLiteral("rgb"), QStringLiteral("SHOW INDEX R G B"),
         QStringLiteral("keep R, G and B percent (10..100) of the red, green and blue of "
                        "picture INDEX"),
         Rgb},
        {QStringLiteral("sharpen"), QStringLiteral("SHOW INDEX VALUE"),
         QStringLiteral("sharpen (1..1000) or blur (-1000..-1) picture INDEX"), Sharpen},
    };
}

} // namespace Lumerix
