#include "EditJob.h"

#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/JobBox.h"

namespace Lumerix::PictureEdits {

QString SavingText(const TRunState& state) {
    return state.Language().Pick(QStringLiteral("Das Bild wird bearbeitet und gespeichert …"),
                                 QStringLiteral("Editing and saving the picture …"));
}

QString CancelledText(const TRunState& state) {
    return state.Language().Pick(QStringLiteral("Abgebrochen: Das Bild bleibt, wie es war."),
                                 QStringLiteral("Cancelled: the picture is left as it was."));
}

bool StoreInJob(QWidget* parent, const QString& boxName, const TRunState& state, TSlideshow& show,
                TPrompter& prompter, int index, const QImage& bitmap, int qualityFactor,
                const QString& errorPrefix) {
    const TEditTarget target = show.EditTarget(index);
    if (target.Path.isEmpty() || bitmap.isNull())
        return false;
    const auto store = [target, bitmap, qualityFactor](TProgress& progress) {
        TPictureEdit edit;
        edit.Path = target.Path;
        // Encoding is the long part: a cancel meanwhile leaves the files untouched.
        QByteArray bytes;
        try {
            bytes = TRasterImage(bitmap).Replacement(target.Path, qualityFactor);
        } catch (const TImagingError& error) {
            edit.PlainError = error.Text();
            return edit;
        }
        if (progress.Cancelled()) {
            edit.Cancelled = true;
            return edit;
        }
        progress.SetPercent(80);
        return TSlideshow::EditFile(
            target, [&] { TRasterImage::WriteFile(target.Path, bytes, QStringLiteral("Save")); });
    };
    TPictureEdit edit = JobBox::Run(parent, boxName, SavingText(state), state.Text(2006), store);
    if (edit.Cancelled) {
        prompter.Information(CancelledText(state));
        return false;
    }
    if (!edit.PlainError.isEmpty())
        edit.PlainError.prepend(errorPrefix);
    return show.FinishEdit(index, edit);
}

} // namespace Lumerix::PictureEdits
