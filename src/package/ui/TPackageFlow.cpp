#include "TPackageFlow.h"

#include "TAnweisungForm.h"
#include "TMakeWizzard.h"
#include "document/TSlideshow.h"
#include "document/TSlideshowStore.h"
#include "document/ui/TExportForm.h"
#include "gallery/TGalleryRequest.h"
#include "gallery/ui/THTMLForm.h"
#include "package/TPackageWriter.h"
#include "shell/TPreferences.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/JobBox.h"
#include "video/ui/TDVDForm.h"
#include "video/ui/TDVDWizardForm.h"

#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QWidget>

namespace Lumerix {

TPackageFlow::TPackageFlow(TRunState& state, TPrompter& prompter, TSlideshow& slideshow,
                           QWidget* window)
    : QObject(window), State(state), Prompter(prompter), Slideshow(slideshow), Window(window) {
    setObjectName(QStringLiteral("PackageFlow"));
    Wizard = new TMakeWizzard(State, Prompter, window);
    Instructions = new TAnweisungForm(State, window);
    Chooser = new TExportForm(State, Prompter, window);
    Chooser->setObjectName(QStringLiteral("PackageChooser"));
    Gallery = new THTMLForm(State, Prompter, window);
    VideoWizard = new TDVDWizardForm(State, Prompter, window);
    VideoCreator = new TDVDForm(State, Prompter, window);
}

QString TPackageFlow::XScreenSaverFile() const {
    return State.HomeDir + QStringLiteral(".xscreensaver");
}

void TPackageFlow::Run() {
    // The player of the PC output runs while the windows stay usable: no second flow meanwhile.
    if (Running)
        return;
    Running = true;
    const auto done = qScopeGuard([this] { Running = false; });
    TMakeWizzard::TOutput output = TMakeWizzard::TOutput::None;
    TDVDWizardForm::TChoice video;
    // The video wizard's "back" returns to the choice of output.
    for (;;) {
        output = Wizard->Choose();
        if (output == TMakeWizzard::TOutput::None)
            return;
        if (output != TMakeWizzard::TOutput::Video)
            break;
        video = VideoWizard->Choose(Slideshow.Pictures().Count());
        if (video.Answer == TDVDWizardForm::TAnswer::Cancel)
            return;
        if (video.Answer == TDVDWizardForm::TAnswer::Build)
            break;
    }
    QString error;
    if (!TPreferences::Save(State, &error))
        Prompter.Error(error);
    Slideshow.SaveShow(false);
    switch (output) {
    case TMakeWizzard::TOutput::Pc:
        MakePc();
        break;
    case TMakeWizzard::TOutput::CdRom:
        MakeCdRom();
        break;
    case TMakeWizzard::TOutput::Screensaver:
        MakeScreensaver();
        break;
    case TMakeWizzard::TOutput::WebPage:
        MakeWebPage();
        break;
    case TMakeWizzard::TOutput::Video:
        MakeVideo(video.Kind, video.Standard, video.Mp4);
        break;
    default:
        break;
    }
}

void TPackageFlow::MakePc() {
    // The browser player beside the native one, with the slideshows as they are now.
    QString error;
    if (!PackageWriter::WriteWebPlayer(State, State.WorkspaceDir, &error))
        Prompter.Error(error);
    // Saving again starts the player in the workspace and waits until the user ends it.
    Slideshow.SaveShow(true);
    Instructions->Tell(
        State.Text(4602),
        State.Text(4611) + QStringLiteral("\n\n") +
            State.Language()
                .Pick(QStringLiteral("Ohne den Diashow-Player, etwa auf einem anderen Rechner, "
                                     "spielt jeder Webbrowser die Diashows ab: Öffnen Sie "
                                     "„index.html“ im Ordner %1."),
                      QStringLiteral("Without the slideshow player, on another computer for "
                                     "instance, any web browser plays the slideshows: open "
                                     "“index.html” in the folder %1."))
                .arg(State.WorkspaceDir),
        true, false);
}

void TPackageFlow::MakeVideo(TVideoKind kind, TTvStandard standard, const TMp4Options& mp4) {
    Slideshow.SavePictureList();
    const VideoFormat::TEstimate estimate =
        kind == TVideoKind::Mp4
            ? VideoFormat::Mp4Estimate(mp4, Slideshow.Pictures().Count(),
                                       State.SecondsPerPicture.toInt(),
                                       State.EffectMode != TEffectMode::Off, State.WorkspaceDir)
            : VideoFormat::Estimate(kind, Slideshow.Pictures().Count(),
                                    State.SecondsPerPicture.toInt(), State.WorkspaceDir);
    if (!estimate.Enough()) {
        Instructions->Tell(State.Text(4609), State.Text(4618), false, false);
        return;
    }
    VideoCreator->BuildVideo(kind, standard, mp4);
}

void TPackageFlow::MakeWebPage() {
    Slideshow.SavePictureList();
    Gallery->Start(TGalleryRequest::ForSlideshow(State, Slideshow));
    Instructions->Tell(State.Text(4604), State.Text(4613), false, false);
}

QString TPackageFlow::WritePackage(std::function<QString(TProgress&)> write) {
    // The run state is only read meanwhile: the box keeps every window from changing it.
    const QString error =
        JobBox::Run(Window, QStringLiteral("PackageProgress"),
                    State.Language().Pick(QStringLiteral("Das Paket wird geschrieben …"),
                                          QStringLiteral("Writing the package …")),
                    State.Text(1802), std::move(write));
    if (error == PackageWriter::CancelledText(State))
        Prompter.Information(error);
    else if (!error.isEmpty())
        Prompter.Error(error);
    return error;
}

void TPackageFlow::MakeCdRom() {
    const QStringList shows = Chooser->Choose(State.Text(2602));
    const TRunState& state = State;
    const QString error = WritePackage([&state, shows](TProgress& progress) {
        QString error;
        return PackageWriter::WriteCdRom(state, shows, &error, &progress) ? QString() : error;
    });
    if (!error.isEmpty())
        return;
    QString explanation =
        State.Text(4620) + u' ' + State.CdRomDir + u' ' + State.Text(4621) +
        QStringLiteral("\n\n") +
        State.Language().Pick(
            QStringLiteral("Auf Rechnern ohne den Diashow-Player (Windows, macOS, andere "
                           "Linux-Systeme) öffnet die CD die Diashow im Webbrowser; startet sie "
                           "nicht von selbst, öffnen Sie „index.html“ auf der CD mit einem "
                           "Webbrowser."),
            QStringLiteral("On computers without the slideshow player (Windows, macOS, other "
                           "Linux systems) the disc opens the slideshow in the web browser; if it "
                           "does not start by itself, open “index.html” on the disc in a web "
                           "browser."));
    // A disc image can be burnt by any burning program or copied to a USB stick.
    QString folder = State.CdRomDir;
    while (folder.endsWith(u'/'))
        folder.chop(1);
    const QString iso = folder + QStringLiteral(".iso");
    if (Prompter.Confirm(State.Language()
                             .Pick(QStringLiteral("Zusätzlich ein Abbild der CD schreiben (%1)?"),
                                   QStringLiteral("Write a disc image as well (%1)?"))
                             .arg(iso))) {
        // The disc is named after the first slideshow on it.
        const QString title = shows.isEmpty()
                                  ? State.ShowTitle
                                  : TSlideshowStore(State).ReadDescription(shows.first()).Title;
        const QString imageError = WritePackage([&state, iso, title](TProgress& progress) {
            QString error;
            return PackageWriter::WriteDiscImage(state, state.CdRomDir, iso, title, &error,
                                                 &progress)
                       ? QString()
                       : error;
        });
        if (imageError.isEmpty())
            explanation += QStringLiteral("\n\n") + State.Language()
                                                        .Pick(QStringLiteral("Abbild der CD: %1"),
                                                              QStringLiteral("Disc image: %1"))
                                                        .arg(iso);
    }
    Instructions->Tell(State.Text(4603), explanation, false, false);
}

void TPackageFlow::MakeScreensaver() {
    const QStringList shows = Chooser->Choose(State.Text(2603));
    const TRunState& state = State;
    const QString error =
        WritePackage([&state, shows, file = XScreenSaverFile()](TProgress& progress) {
            QString error;
            return PackageWriter::WriteScreensaver(state, shows, file, &error, &progress)
                       ? QString()
                       : error;
        });
    if (!error.isEmpty())
        return;
    // The display settings of XScreenSaver are where the user switches the new screensaver on.
    QString settings;
    for (const char* program : {"xscreensaver-settings", "xscreensaver-demo"}) {
        settings = QStandardPaths::findExecutable(QString::fromLatin1(program));
        if (!settings.isEmpty())
            break;
    }
    QString explanation = State.Text(4610);
    if (settings.isEmpty()) {
        explanation += QStringLiteral("\n\n") +
                       State.Language().Pick(
                           QStringLiteral("Der Bildschirmschoner ist für XScreenSaver eingetragen. "
                                          "Installieren Sie XScreenSaver (Paket „xscreensaver“) "
                                          "und wählen Sie dort „Lumerix Diashow“ aus."),
                           QStringLiteral("The screensaver is registered with XScreenSaver. "
                                          "Install XScreenSaver (package “xscreensaver”) and "
                                          "choose “Lumerix Slideshow” there."));
    }
    Instructions->Tell(State.Text(4601), explanation, false, false);
    if (!settings.isEmpty())
        QProcess::startDetached(settings, {});
}

} // namespace Lumerix
