#pragma once

#include <QPrintPreviewDialog>

class QPrinter;

namespace Lumerix {

class TAlbumReport;
class TPrompter;
class TRunState;

/// The print preview of an album: A4 pages fitted into a maximised window on white. With a
/// printer, printing goes through the print dialog to the printer; without one the print
/// button writes the album to a PDF file the user chooses.
class TAlbumPreview final : public QPrintPreviewDialog {
    Q_OBJECT
public:
    /// `printer` (set up here for the album) and `report` must outlive the window.
    TAlbumPreview(const TRunState& state, TPrompter& prompter, const TAlbumReport& report,
                  QPrinter* printer, bool printerAvailable, QWidget* parent = nullptr);

    /// True when a printer is set up on this machine.
    static bool PrinterAvailable();

    /// True when printing writes a PDF file.
    bool PrintsToPdf() const { return !HasPrinter; }
    /// The pages the preview shows.
    int PreviewPageCount() const;

    /// Writes the album to `path` and closes the preview; false, with a message, when the
    /// file cannot be written.
    bool PrintToPdf(const QString& path);

private:
    void PaintPages(QPrinter* printer);
    /// The print button without a printer: asks for the PDF file.
    void AskPdfFile();

    const TRunState& State;
    TPrompter& Prompter;
    const TAlbumReport& Report;
    bool HasPrinter;
    bool PaintFailureShown = false;
};

} // namespace Lumerix
