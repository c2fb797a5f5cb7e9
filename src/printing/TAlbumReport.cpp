#include "TAlbumReport.h"

#include "PrintSize.h"
#include "document/TPictureEntry.h"
#include "document/TSlideshowStore.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "shell/TextCodec.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace Lumerix {

namespace {

// The copy's name: "_PRINT_" + the picture's name, unless that is itself a picture of the
// slideshow, which a copy must never overwrite.
QString CopyName(const QString& fileName, const QStringList& pictures) {
    QString name = TAlbumReport::CopyPrefix + fileName;
    for (int n = 1; pictures.contains(name); ++n)
        name = TAlbumReport::CopyPrefix + QString::number(n) + u'_' + fileName;
    return name;
}

// Font sizes are given in points of a 96 dpi report; the painter's scale does the rest.
QFont ReportFont(int pointSize) {
    QFont font;
    font.setPixelSize(qRound(pointSize * AlbumLayout::ReportDpi / 72.0));
    return font;
}

} // namespace

std::optional<TAlbumReport> TAlbumReport::Prepare(const QString& showDir, const QString& title,
                                                  const QStringList& lines,
                                                  const QStringList& pictures,
                                                  const TAlbumOptions& options,
                                                  TProgress& progress) {
    TAlbumReport report;
    report.TitleText = title;
    const QDir folder(showDir);
    const QSize body = AlbumLayout::BodySize();
    const qsizetype count = lines.size();
    QList<QSize> sizes;
    for (qsizetype counter = 0; counter < count; ++counter) {
        if (progress.Cancelled())
            return std::nullopt;
        progress.SetPercent(int(counter * 100 / count));
        const TPictureEntry parsed = TPictureEntry::Parse(lines[counter]);
        // The lines may come from a text file anyone can edit: only names inside the folder.
        if (!TSlideshowStore::IsBareFileName(parsed.FileName))
            throw TImagingError(QStringLiteral("Load"), parsed.FileName,
                                QStringLiteral("not a picture of the slideshow"));
        progress.SetStatus(parsed.FileName);

        TAlbumEntry entry;
        entry.FileName = parsed.FileName;
        if (options.Captions)
            entry.Caption = parsed.Caption;
        const QString path = folder.filePath(parsed.FileName);
        const QSize stored = TRasterImage::ReadSize(path);
        entry.Printed = AlbumLayout::Limited(PrintSize::Fitted(stored, options.SizeValue), body);
        if (entry.Printed.isEmpty())
            throw TImagingError(QStringLiteral("Load"), path, QStringLiteral("empty picture"));
        TRasterImage image;
        image.LoadScaled(path, entry.Printed);
        image.Size(entry.Printed.width(), entry.Printed.height(), TResize::Bicubic);
        entry.CopyPath = folder.filePath(CopyName(parsed.FileName, pictures));
        image.Save(entry.CopyPath, 2);
        sizes.append(entry.Printed);
        report.Items.append(entry);
    }
    progress.SetPercent(100);
    report.PageList = AlbumLayout::LayOut(sizes, body);
    return report;
}

QString TAlbumReport::FooterText(int number) {
    return QStringLiteral("Seite ") + QString::number(number);
}

bool TAlbumReport::Paint(QPagedPaintDevice& device, QString* error) const {
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("the pages cannot be drawn");
        return false;
    }
    bool complete = true;
    painter.scale(device.logicalDpiX() / double(AlbumLayout::ReportDpi),
                  device.logicalDpiY() / double(AlbumLayout::ReportDpi));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setPen(Qt::black);
    const QFont titleFont = ReportFont(AlbumLayout::TitlePointSize);
    const QFont textFont = ReportFont(AlbumLayout::TextPointSize);
    for (const TAlbumPage& page : PageList) {
        if (page.Number > 1)
            device.newPage();
        if (!page.Title.isEmpty()) {
            painter.setFont(titleFont);
            const QRect text = page.Title.adjusted(AlbumLayout::Indent, AlbumLayout::TitleTop,
                                                   -AlbumLayout::Indent, 0);
            painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, TitleText);
        }
        for (const TAlbumBand& band : page.Bands) {
            const TAlbumEntry& entry = Items[band.Record];
            if (!entry.Caption.isEmpty()) {
                painter.save();
                painter.setFont(textFont);
                painter.setClipRect(band.Caption);
                painter.drawText(band.Caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                 entry.Caption);
                painter.restore();
            }
            try {
                TRasterImage copy;
                copy.Load(entry.CopyPath);
                painter.drawImage(band.Picture, copy.Bitmap());
            } catch (const TImagingError& failure) {
                // The preview paints from a signal handler: report instead of throwing.
                if (complete && error)
                    *error = failure.Text();
                complete = false;
            }
        }
        painter.setFont(textFont);
        painter.drawText(page.Footer.adjusted(AlbumLayout::Indent, 0, -AlbumLayout::Indent, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         FooterText(page.Number));
    }
    painter.end();
    return complete;
}

bool TAlbumReport::WritePdf(const QString& path, QString* error) const {
    const auto fail = [&](const QString& cause) {
        if (error)
            *error = path + QStringLiteral(": ") + cause;
        return false;
    };
    // The PDF engine ignores short writes, and a write cut short by a full disk does not fail
    // a QSaveFile's commit; so the album is made in memory and written in one checked piece.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(AlbumLayout::PageLayout());
        writer.setTitle(TitleText);
        writer.setCreator(QStringLiteral("Lumerix"));
        QString cause;
        if (!Paint(writer, &cause))
            return fail(cause);
    }
    QString cause;
    if (!TextCodec::WriteFileAtomic(path, buffer.data(), &cause))
        return fail(cause);
    return true;
}

int TAlbumReport::DeletePrintCopies(const QString& showDir, const QStringList& pictures) {
    QDir folder(showDir);
    int deleted = 0;
    const QStringList names = folder.entryList({CopyPrefix + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        if (!name.startsWith(CopyPrefix, Qt::CaseInsensitive) || pictures.contains(name))
            continue;
        if (folder.remove(name))
            ++deleted;
    }
    return deleted;
}

} // namespace Lumerix
