#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace Lumerix {

class TPrompter;
class TRunState;
class TSlideshow;

namespace PictureEdits {

/// The text of the box while an edited picture is written.
QString SavingText(const TRunState& state);
/// The message after the user cancelled the writing of an edited picture.
QString CancelledText(const TRunState& state);

/// Writes `bitmap` over the picture of entry `index` (undo copy, JPEG at `qualityFactor`,
/// renewed thumbnail) on the job pool, behind a box named `boxName` with Cancel, and takes the
/// outcome over on the window thread. True when the picture changed; after a cancel nothing
/// is written and the user is told so. An imaging failure is shown after `errorPrefix`.
bool StoreInJob(QWidget* parent, const QString& boxName, const TRunState& state, TSlideshow& show,
                TPrompter& prompter, int index, const QImage& bitmap, int qualityFactor,
                const QString& errorPrefix = {});

} // namespace PictureEdits

} // namespace Lumerix
