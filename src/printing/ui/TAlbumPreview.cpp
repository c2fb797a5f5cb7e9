#include "TAlbumPreview.h"

#include "printing/TAlbumLayout.h"
#include "printing/TAlbumReport.h"
#include "shell/Convert.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsView>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>

namespace Lumerix {

TAlbumPreview::TAlbumPreview(const TRunState& state, TPrompter& prompter,
                             const TAlbumReport& report, QPrinter* printer, bool printerAvailable,
                             QWidget* parent)
    : QPrintPreviewDialog(printer, parent), State(state), Prompter(prompter), Report(report),
      HasPrinter(printerAvailable) {
    setObjectName(QStringLiteral("AlbumPreview"));
    setWindowTitle(State.Caption());
    if (!HasPrinter)
        printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageLayout(AlbumLayout::PageLayout());
    printer->setDocName(State.Caption());
    if (auto* view = findChild<QGraphicsView*>())
        view->setBackgroundBrush(Qt::white);
    const auto text = [](const char* source) {
        return QCoreApplication::translate("QPrintPreviewDialog", source);
    };
    for (QAction* action : findChildren<QAction*>()) {
        const QString name = action->text();
        // The album is laid out for A4 portrait; other page setups would cut it off.
        if (name == text("Portrait") || name == text("Landscape") || name == text("Page setup"))
            action->setVisible(false);
        // Without a printer the dialog's own print button would offer nothing to print on.
        if (!HasPrinter && name == text("Print")) {
            disconnect(action, nullptr, this, nullptr);
            connect(action, &QAction::triggered, this, &TAlbumPreview::AskPdfFile);
        }
    }
    connect(this, &QPrintPreviewDialog::paintRequested, this, &TAlbumPreview::PaintPages);
    setWindowState(Qt::WindowMaximized);
}

bool TAlbumPreview::PrinterAvailable() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

int TAlbumPreview::PreviewPageCount() const {
    const auto* preview = findChild<QPrintPreviewWidget*>();
    return preview ? preview->pageCount() : 0;
}

bool TAlbumPreview::PrintToPdf(const QString& path) {
    QString error;
    if (!Report.WritePdf(path, &error)) {
        Prompter.Error(error);
        return false;
    }
    accept();
    return true;
}

void TAlbumPreview::PaintPages(QPrinter* printer) {
    // The print dialog may have put the chosen printer's default paper in.
    printer->setPageLayout(AlbumLayout::PageLayout());
    QString error;
    if (Report.Paint(*printer, &error) || PaintFailureShown)
        return;
    // Not from inside the preview's painting: the box would run an event loop there.
    PaintFailureShown = true;
    QTimer::singleShot(0, this, [this, error] { Prompter.PlainError(error); });
}

void TAlbumPreview::AskPdfFile() {
    const QString name = State.ShowTitle.trimmed().isEmpty() ? State.CurrentShow : State.ShowTitle;
    const QString start =
        QDir(State.HomeDir).filePath(Convert::SafeFileName(name) + QStringLiteral(".pdf"));
    QString path =
        QFileDialog::getSaveFileName(this, State.Text(601), start, QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    PrintToPdf(path);
}

} // namespace Lumerix
