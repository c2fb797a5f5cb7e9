#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Lumerix {

class TRunState;
class TSlideshow;

/// The product's own web presence, named in every gallery page: the host in the description
/// meta tag and the link in the footer. Kept here only.
namespace GalleryLinks {
inline constexpr QLatin1String MakerAddress{"lumerix.example.org"};
inline constexpr QLatin1String FooterUrl{"https://lumerix.example.org/"};
inline constexpr QLatin1String FooterText{"lumerix.example.org"};
} // namespace GalleryLinks

/// One picture of a gallery: the picture file and its caption.
struct TGalleryPicture {
    QString Path;
    QString Caption;
};

/// What the gallery window is given when it opens: the output wizard's hand-over.
struct TGalleryRequest {
    QString ProgramDir; ///< ends in "/"; the templates live here, the output in "gallery/"
    QString KitDir;     ///< ends in "/"; holds the defaults "Gallery.ini" and "recom/"
    QString LanguageCode;
    QString Title;
    /// The pictures in show order, as the picture list holds them.
    QList<TGalleryPicture> Pictures;
    QString ProductName = QStringLiteral("Lumerix");
    QString MakerAddress = GalleryLinks::MakerAddress;
    QString FooterUrl = GalleryLinks::FooterUrl;
    QString FooterText = GalleryLinks::FooterText;
    QString SidePicture;  ///< shown at the window's left edge
    QString SettingsFile; ///< ProgramDir + "Gallery_" + slideshow folder + ".ini"

    bool German() const { return LanguageCode == QLatin1String("GERMAN"); }
    QString OutputDir() const { return ProgramDir + QStringLiteral("gallery/"); }
    QString DefaultsFile() const { return KitDir + QStringLiteral("Gallery.ini"); }
    /// The navigation images "next.gif", "home.gif" and "previous.gif" are copied from here.
    QString ImageDir() const { return KitDir + QStringLiteral("recom/"); }

    /// The request for the open slideshow: the run state's folders, language, title and
    /// slideshow name, and the picture list's paths and captions.
    static TGalleryRequest ForSlideshow(const TRunState& state, const TSlideshow& show);
    /// "Gallery_" + `showName` + ".ini" in the program folder.
    static QString SettingsFileOf(const TRunState& state, const QString& showName);
};

} // namespace Lumerix
