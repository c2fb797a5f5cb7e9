#include "TPrintMenu.h"

#include "TAlbumPreview.h"
#include "TPrintSelectForm.h"
#include "TPrintSizeForm.h"
#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "printing/PrintList.h"
#include "printing/TAlbumReport.h"
#include "shell/Jobs.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/ui/TJobProgress.h"

#include <QEventLoop>
#include <QFile>
#include <QFutureWatcher>
#include <QMenu>
#include <QPrinter>
#include <QProgressDialog>
#include <QtConcurrent>

#include <memory>

namespace Lumerix {

namespace {

// What making the print copies gave: the report, or the imaging error, or neither (cancelled).
struct TPrepared {
    std::optional<TAlbumReport> Report;
    QString Error;
};

// One wizard per window, so its choices last from one print to the next.
TPrintSizeForm& SizeWizard(const TRunState& state, TPrompter& prompter, QWidget* parent) {
    QWidget* owner = parent ? parent->window() : nullptr;
    if (owner) {
        if (auto* wizard = owner->findChild<TPrintSizeForm*>(QString(), Qt::FindDirectChildrenOnly))
            return *wizard;
    }
    static TPrintSizeForm* ownerless = nullptr;
    if (!owner && ownerless)
        return *ownerless;
    auto* wizard = new TPrintSizeForm(state, prompter, owner);
    if (!owner)
        ownerless = wizard;
    return *wizard;
}

// Makes the print copies off the window thread behind a progress box with a cancel button.
TPrepared PrepareReport(const TRunState& state, const QString& showDir, const QStringList& lines,
                        const QStringList& pictures, const TAlbumOptions& options,
                        QWidget* parent) {
    TJobProgress progress;
    QProgressDialog box(state.Language().Pick(QStringLiteral("Die Bilder werden für den Ausdruck "
                                                             "vorbereitet …"),
                                              QStringLiteral("Preparing the pictures for "
                                                             "printing …")),
                        state.Text(6609), 0, 100, parent);
    box.setObjectName(QStringLiteral("PrintProgress"));
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(400);
    box.setAutoClose(false);
    box.setAutoReset(false);
    QObject::connect(&progress, &TJobProgress::PercentChanged, &box, &QProgressDialog::setValue);
    QObject::connect(&box, &QProgressDialog::canceled, &progress, &TJobProgress::Cancel);

    const QString title = state.ShowTitle;
    QFutureWatcher<TPrepared> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<TPrepared>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(
        QtConcurrent::run(Jobs::Pool(), [showDir, title, lines, pictures, options, &progress] {
            TPrepared prepared;
            try {
                prepared.Report =
                    TAlbumReport::Prepare(showDir, title, lines, pictures, options, progress);
            } catch (const TImagingError& error) {
                prepared.Error = error.Text();
            }
            return prepared;
        }));
    loop.exec();
    return watcher.result();
}

QStringList PictureNames(const TSlideshow& slideshow) {
    QStringList names;
    for (int row = 0; row < slideshow.Pictures().Count(); ++row)
        names.append(slideshow.Pictures().Parsed(row).FileName);
    return names;
}

} // namespace

void ShowPrintMenu(TRunState& state, TSlideshow& slideshow, TPrompter& prompter, QWidget* parent,
                   QPoint globalPos) {
    QMenu menu(parent);
    menu.setObjectName(QStringLiteral("PrintMenu"));
    QAction* all = menu.addAction(state.Text(612));
    all->setObjectName(QStringLiteral("PrintAllAction"));
    QAction* selected = menu.addAction(state.Text(613));
    selected->setObjectName(QStringLiteral("PrintSelectedAction"));
    QAction* chosen = menu.exec(globalPos);
    if (chosen == all || chosen == selected)
        PrintAlbum(state, slideshow, prompter, parent, chosen == selected);
}

void PrintAlbum(TRunState& state, TSlideshow& slideshow, TPrompter& prompter, QWidget* parent,
                bool selectedOnly) {
    if (slideshow.Pictures().IsEmpty()) {
        prompter.Information(state.Text(10010));
        return;
    }
    const bool printerAvailable = TAlbumPreview::PrinterAvailable();
    if (!printerAvailable) {
        // Without a printer the album can still be looked at and saved as a PDF file.
        const TLanguage& language = state.Language();
        prompter.Information(language.Pick(QStringLiteral("Es ist kein Drucker eingerichtet."),
                                           QStringLiteral("No printer is set up.")));
        prompter.Information(language.Pick(
            QStringLiteral("Die Vorschau zeigt das Album trotzdem. „Drucken“ speichert es als "
                           "PDF-Datei, die Sie auswählen."),
            QStringLiteral("The preview shows the album all the same. \"Print\" saves it as a "
                           "PDF file of your choice.")));
    }
    const std::optional<TAlbumOptions> options = SizeWizard(state, prompter, parent).Ask();
    if (!options)
        return;

    const QString printList = PrintList::Path(state);
    QStringList lines;
    if (selectedOnly) {
        TPrintSelectForm selection(state, prompter, slideshow.Pictures().Entries(), parent);
        if (selection.exec() != QDialog::Accepted)
            return;
        lines = PrintList::Read(printList);
    } else {
        lines = slideshow.Pictures().Entries();
    }

    const QString showDir = slideshow.ShowDir();
    const QStringList pictures = PictureNames(slideshow);
    const auto cleanUp = [&] {
        TAlbumReport::DeletePrintCopies(showDir, pictures);
        QFile::remove(printList);
    };
    TPrepared prepared = PrepareReport(state, showDir, lines, pictures, *options, parent);
    if (!prepared.Report) {
        cleanUp();
        if (!prepared.Error.isEmpty())
            prompter.PlainError(prepared.Error);
        return;
    }
    {
        QPrinter printer(QPrinter::HighResolution);
        TAlbumPreview preview(state, prompter, *prepared.Report, &printer, printerAvailable,
                              parent);
        preview.exec();
    }
    cleanUp();
}

} // namespace Lumerix
