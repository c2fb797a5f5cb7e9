#pragma once

#include <QString>
#include <QStringList>

/// The text of the gallery pages: templates, table cells, picture pages and the style sheet,
/// line by line. Texts passed in (title, captions, names) are raw; these functions escape them.
namespace Lumerix::GalleryPages {

/// The overview table for n pictures and p pictures per row: rows = n div p + 1,
/// columns = n div rows + 1, cell width = 100 div columns (in percent).
struct TTableLayout {
    int Rows = 1;
    int Columns = 1;
    int CellWidth = 100;
};
TTableLayout TableLayout(int pictureCount, int perRow);

/// Markup-safe text: "&", "<", ">" and '"' as entities.
QString Escape(const QString& text);
/// `text` with every character outside ASCII as a numeric character reference ("&#228;"), so
/// a page reads the same whatever encoding a browser assumes.
QString AsciiReferences(const QString& text);
/// A file name as it goes into an address: percent-encoded and safe inside an attribute.
QString Address(const QString& fileName);

/// The fixed parts every page shares.
struct TPageTexts {
    QString Product;
    QString MakerAddress;
    QString FooterUrl;
    QString FooterText;
    QString Title;
    bool German = true;
};

QStringList OverviewHead(const TPageTexts& texts); ///< "gallery.ht1"
QStringList OverviewTail(const TPageTexts& texts); ///< "gallery.ht2"
QStringList PictureHead(const TPageTexts& texts);  ///< "einzel.ht1"
QStringList PictureTail(const TPageTexts& texts);  ///< "einzel.ht2"
QString FooterLine(const TPageTexts& texts);

/// The overview cell of a missing picture.
QString EmptyCell();
/// The three lines of a picture cell: opening, link line, closing.
QStringList PictureCell(int cellWidth, const QString& base, int thumbWidth, int thumbHeight,
                        const QString& caption, bool fileNameVisible);
/// The thumbnail's link line; `caption` empty when captions are hidden.
QString LinkLine(const QString& base, int thumbWidth, int thumbHeight, const QString& caption,
                 bool fileNameVisible);

/// The body of a picture page; `previousBase` and `nextBase` are the neighbours' bases.
QStringList PicturePageBody(const QString& title, const QString& base, const QString& caption,
                            bool fileNameVisible, const QString& previousBase,
                            const QString& nextBase, bool german);
/// Previous, overview and next links of a picture page.
QStringList NavigationLines(const QString& previousBase, const QString& nextBase, bool german);

/// "layout.css" for the text and background colours (Windows colour values).
QStringList StyleSheet(qint64 textColour, qint64 backgroundColour);

} // namespace Lumerix::GalleryPages
