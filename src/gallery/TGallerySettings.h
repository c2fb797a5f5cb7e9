#pragma once

#include <QString>

namespace Lumerix {

/// The look of a gallery: section "SETTINGS" of a slideshow's gallery settings file.
struct TGallerySettings {
    static constexpr const char* Section = "SETTINGS";

    QString SmallPicX = QStringLiteral("80");  ///< thumbnail size, the text of its field
    QString LargePicX = QStringLiteral("250"); ///< large picture size, the text of its field
    int Compression = 80;                      ///< kept and written back; affects nothing
    int PicProRow = 4;                         ///< overview layout divisor, at least 1
    qint64 BKGColor = 16777215;                ///< Windows colour value, white
    qint64 TextColor = 0;
    bool TextVisible = false;
    bool FilenameVisible = false;
    bool ShapeVisible = true;
    /// "Style": the classic table pages, or responsive HTML5 pages with several picture sizes
    /// and a lightbox. Classic unless the file says "Modern".
    enum class TStyle { Classic, Modern } Style = TStyle::Classic;
    /// "DetailsVisible": date taken and camera under a picture of the modern pages.
    bool DetailsVisible = false;

    /// Reads `settingsFile`, or `defaultsFile` while the former does not exist. A missing key
    /// keeps its default; a switch is on only for "TRUE" in any letter case.
    static TGallerySettings Read(const QString& settingsFile, const QString& defaultsFile);
    /// Writes every key to `settingsFile` (created readable by its owner only). False with
    /// the cause in `error`.
    bool Write(const QString& settingsFile, const QString& defaultsFile,
               QString* error = nullptr) const;

    /// Sets one key (letter case ignored) from text as the window's fields would: sizes up to
    /// four digits, pictures per row up to two (0 becomes 1), colours 0..16777215, switches
    /// "TRUE"/"FALSE". False with the cause in `error`; nothing changes then.
    bool Set(const QString& key, const QString& value, QString* error = nullptr);
};

/// Creates `path` when missing (seeded with `seedPath`'s contents when that exists) with
/// permissions for its owner only, and takes group and other permissions away from an
/// existing one: the gallery settings file holds the FTP password. False with the cause.
bool PrepareSettingsFile(const QString& path, const QString& seedPath, QString* error = nullptr);

} // namespace Lumerix
