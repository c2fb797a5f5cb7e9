#pragma once

#include "video/TVideoFormat.h"

#include <QObject>

#include <functional>

class QWidget;

namespace Lumerix {

class TAnweisungForm;
class TDVDForm;
class TDVDWizardForm;
class TExportForm;
class THTMLForm;
class TMakeWizzard;
class TProgress;
class TPrompter;
class TRunState;
class TSlideshow;

/// Step 4: asks for the kind of output, saves the slideshow and makes the output, then tells
/// the user what was made.
class TPackageFlow final : public QObject {
    Q_OBJECT
public:
    TPackageFlow(TRunState& state, TPrompter& prompter, TSlideshow& slideshow, QWidget* window);

    /// Runs the wizard and the chosen output; returns when the user has read the instructions
    /// or cancelled.
    void Run();

    /// The user's XScreenSaver preferences file.
    QString XScreenSaverFile() const;

private:
    void MakePc();
    void MakeCdRom();
    void MakeScreensaver();
    void MakeWebPage();
    void MakeVideo(TVideoKind kind, TTvStandard standard, const TMp4Options& mp4 = {});
    /// Runs `write` (which returns its failure, empty when fine) off the window thread with
    /// progress and Cancel, and reports a failure or the cancel. Returns what `write` returned.
    QString WritePackage(std::function<QString(TProgress&)> write);

    TRunState& State;
    TPrompter& Prompter;
    TSlideshow& Slideshow;
    QWidget* Window = nullptr;
    bool Running = false;
    TMakeWizzard* Wizard = nullptr;
    TAnweisungForm* Instructions = nullptr;
    TExportForm* Chooser = nullptr;
    THTMLForm* Gallery = nullptr;
    TDVDWizardForm* VideoWizard = nullptr;
    TDVDForm* VideoCreator = nullptr;
};

} // namespace Lumerix
