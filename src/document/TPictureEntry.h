#pragma once

#include <QString>

namespace Lumerix {

/// One line of a picture list: the thumbnail's image tag, the picture's file name and, in an
/// entry with caption, " | " and the caption. For example
/// `<IMG src="file:///home/anna/Diashow/Diashow_0001/_THUMB_Strand.jpg" align="top">Strand.jpg |
/// Abends`. The text is what lists store and compare, so it is built and parsed only here.
struct TPictureEntry {
    QString ThumbnailPath;
    QString FileName;
    QString Caption;
    bool HasCaption = false;

    /// The entry's text.
    QString Text() const;
    /// The entry's line in `Pictures.ini`: the file name, then " | " and the caption when the
    /// entry has one.
    QString PicturesLine() const;

    /// Parses an entry's text. Everything after the image tag is the `Pictures.ini` line, so
    /// a caption keeps any ">" it holds; the caption is everything after the first "|".
    static TPictureEntry Parse(const QString& text);
    /// Parses a `Pictures.ini` line: the file name, optionally "|" and the caption, each
    /// trimmed. A line always yields an entry with caption.
    static TPictureEntry FromPicturesLine(const QString& line, const QString& thumbnailPath);
};

/// The separator between the file name and the caption.
inline constexpr QLatin1String CaptionSeparator{" | "};

/// Captions are at most this many characters.
inline constexpr int MaxCaptionLength = 58;

} // namespace Lumerix
