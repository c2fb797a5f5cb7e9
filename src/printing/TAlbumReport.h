#pragma once

#include "TAlbumLayout.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class QPagedPaintDevice;

namespace Lumerix {

class TProgress;

/// What the print-size wizard chose.
struct TAlbumOptions {
    int SizeValue = 495;   ///< print size value (see PrintSize)
    bool Captions = false; ///< print each picture's caption above it
};

/// One printed picture: its file in the slideshow folder, its caption (empty unless captions
/// are printed), its print copy and the size it is printed at.
struct TAlbumEntry {
    QString FileName;
    QString Caption;
    QString CopyPath;
    QSize Printed;
};

/// The album of a slideshow: the print copies of its pictures ("_PRINT_" + file name, beside
/// them) and the laid-out pages, which it paints onto a printer or a PDF file.
class TAlbumReport {
public:
    /// The prefix of the print copies.
    static constexpr QLatin1String CopyPrefix{"_PRINT_"};

    /// Makes the print copies of the pictures of `lines` (picture-list entries or
    /// `Pictures.ini` lines, in print order) in `showDir` and lays the album out. `pictures`
    /// are the slideshow's own file names, which no print copy may overwrite. Touches only
    /// files, so it can run off the window thread. Throws `TImagingError` when a picture cannot
    /// be read or its copy written; nothing when cancelled (the copies made so far stay for
    /// `DeletePrintCopies`).
    static std::optional<TAlbumReport> Prepare(const QString& showDir, const QString& title,
                                               const QStringList& lines,
                                               const QStringList& pictures,
                                               const TAlbumOptions& options, TProgress& progress);

    const QString& Title() const { return TitleText; }
    const QList<TAlbumEntry>& Entries() const { return Items; }
    const QList<TAlbumPage>& Pages() const { return PageList; }
    int PageCount() const { return int(PageList.size()); }

    /// The footer text of page `number`: "Seite " and the number.
    static QString FooterText(int number);

    /// Paints every page onto `device`, whose page layout must be `AlbumLayout::PageLayout()`.
    /// Report pixels are scaled to the device's resolution. A print copy that cannot be read
    /// leaves its band empty; false then, with `error` naming it.
    bool Paint(QPagedPaintDevice& device, QString* error = nullptr) const;
    /// Writes the album as a PDF file, replacing `path` only when complete. False with
    /// `error` set when it cannot.
    bool WritePdf(const QString& path, QString* error = nullptr) const;

    /// Deletes the print copies in `showDir`: files whose name begins with "_PRINT_" (any
    /// case) that are not among the slideshow's `pictures`. Returns how many were deleted.
    static int DeletePrintCopies(const QString& showDir, const QStringList& pictures);

private:
    QString TitleText;
    QList<TAlbumEntry> Items;
    QList<TAlbumPage> PageList;
};

} // namespace Lumerix
