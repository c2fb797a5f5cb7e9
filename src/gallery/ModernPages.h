#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

/// The text of the modern gallery: responsive HTML5 pages in UTF-8, their style sheet and the
/// lightbox script. Texts passed in (title, captions, names) are raw; these functions escape.
namespace Lumerix::ModernPages {

/// The long sides a picture is made in: two for the overview (its cells are at most about 300
/// CSS pixels wide, so 240 and 480 serve plain and double-density screens) and, with 960 and
/// 1920, the picture pages from a phone up to a full-HD screen.
inline constexpr int Tiers[] = {240, 480, 960, 1920};
/// The largest tier the overview offers: a one-column phone at three device pixels per CSS
/// pixel needs about 1100.
inline constexpr int OverviewTier = 960;

struct TVariant {
    int Tier = 0;
    QSize Size; ///< upright pixel size
};

/// The sizes of a picture of `upright` size, smallest first: one per tier, never enlarged;
/// the first tier that reaches the picture's long side is its own size and the last one.
QList<TVariant> Variants(QSize upright);
/// base + "-" + tier + ".jpg".
QString VariantName(const QString& base, int tier);

struct TPicture {
    QString Base; ///< base + ".html" is its page
    QString Caption;
    QString FileName; ///< the picture's own file name
    QString Taken;    ///< EXIF date "YYYY:MM:DD HH:MM:SS"; empty when unknown
    QString Camera;
    QList<TVariant> Variants;
};

struct TTexts {
    QString Title;
    QString Product;
    QString FooterUrl;
    QString FooterText;
    bool German = true;
    bool CaptionsVisible = false; ///< captions in the overview (picture pages always show them)
    bool FileNamesVisible = false;
    bool DetailsVisible = false; ///< date taken and camera on the picture pages
};

/// The alt text: the caption, else the file name.
QString AltText(const TPicture& picture);
/// `srcset` of the variants up to `mostTier`.
QString SourceSet(const TPicture& picture, int mostTier);

QStringList Overview(const TTexts& texts, const QList<TPicture>& pictures);
/// The page of picture `index`; its neighbours wrap around.
QStringList PicturePage(const TTexts& texts, const QList<TPicture>& pictures, qsizetype index);

/// "modern.css" for the text and background colours (Windows colour values).
QStringList StyleSheet(qint64 textColour, qint64 backgroundColour);
/// "lightbox.js".
QStringList Script();

} // namespace Lumerix::ModernPages
