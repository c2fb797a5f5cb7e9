#pragma once

#include "video/TVideoFormat.h"

#include <QObject>

class QWidget;

namespace Lumerix {

class TAnweisungForm;
class TDVDForm;
class TDVDWizardForm;
class TExportForm;
class THTMLForm;
class TMakeWizzard;
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
    void MakeVideo(TVideoKind kind, TTvStandard standard);

    TRunState& State;
    TPrompter& Prompter;
    TSlideshow& Slideshow;
    TMakeWizzard* Wizard = nullptr;
    TAnweisungForm* Instructions = nullptr;
    TExportForm* Chooser = nullptr;
    THTMLForm* Gallery = nullptr;
    TDVDWizardForm* VideoWizard = nullptr;
    TDVDForm* VideoCreator = nullptr;
};

} // namespace Lumerix
