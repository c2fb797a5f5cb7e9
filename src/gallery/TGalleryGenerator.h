#pragma once

#include "ModernPages.h"
#include "TGalleryRequest.h"
#include "TGallerySettings.h"

#include <QSize>
#include <QString>
#include <QStringList>

namespace Lumerix {

class TProgress;

/// How a generation ended.
struct TGalleryResult {
    bool Ok = false;
    bool Cancelled = false;
    bool ImagingFailed = false; ///< a picture could not be loaded or saved
    QString Error;              ///< the failure's text; empty when `Ok`
    QString OverviewPage;       ///< the output folder's "gallery.html"
};

/// Writes a web gallery: resized, optionally framed copies of every picture with their
/// thumbnails, one page per picture, the overview page, the style sheet and the navigation
/// images, all in the request's output folder.
class TGalleryGenerator {
public:
    /// What was made of one picture.
    struct TPicture {
        QString Path;
        QString Caption;
        QString Base;    ///< output names: base + ".html", ".jpg", "_thumb.jpg"
        QSize Thumbnail; ///< pixel size of base + "_thumb.jpg"
        QSize Large;     ///< pixel size of base + ".jpg"
        /// Modern style: the sizes made (base + "-" + tier + ".jpg"), and from EXIF the date
        /// taken and the camera when the settings show them.
        QList<ModernPages::TVariant> Variants;
        QString Taken;
        QString Camera;
    };

    TGalleryGenerator(TGalleryRequest request, TGallerySettings settings);

    /// The whole generation: settings written, templates written, output folder emptied,
    /// pictures made (in parallel, reporting (done / n) × 100), pages written in list order
    /// (percent 0 meanwhile), style sheet, templates deleted, navigation images copied.
    /// The gallery is made in a work folder and replaces the earlier one only when
    /// complete: a failure (a full disk among them, naming the file and the cause) or a cancel
    /// stops at that point and leaves the earlier gallery as it was.
    TGalleryResult Generate(TProgress& progress);

    /// The pictures of the last `Generate` (with sizes once made).
    const QList<TPicture>& Pictures() const { return Items; }

    /// Output bases of `paths` in order: the file name without extension through
    /// `SafeFileName`. A base whose files would overwrite an earlier picture's, or the
    /// overview page, gets "_1", "_2", ... appended.
    static QStringList UniqueBases(const QStringList& paths);

    /// Target sizes for a picture of `stored` size: a landscape (or square) picture gets the
    /// setting as its height, a portrait picture as its width; the other side follows the
    /// proportions, rounded half to even.
    static QSize TargetSize(QSize stored, int setting);

    /// The success message of the language.
    static QString SuccessMessage(bool german);

private:
    bool MakePictures(TProgress& progress, TGalleryResult& result);
    bool WritePages(TGalleryResult& result);
    bool WriteModernPages(TGalleryResult& result);
    void MakeModernPicture(TPicture& item) const;

    TGalleryRequest Request;
    TGallerySettings Settings;
    QList<TPicture> Items;
    QString Building; ///< the work folder the gallery is made in before it moves to the output
};

} // namespace Lumerix
