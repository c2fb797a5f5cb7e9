#include "TGalleryGenerator.h"

#include "GalleryPages.h"
#include "TMake.h"
#include "imaging/JpegMarkers.h"
#include "imaging/TRasterImage.h"
#include "shell/Colors.h"
#include "shell/Convert.h"
#include "shell/Execute.h"
#include "shell/Jobs.h"
#include "shell/TProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

#include <atomic>
#include <cmath>

namespace Lumerix {

namespace {

// Every rounding of the gallery goes half to even, as the default floating-point mode does.
int RoundEven(double value) {
    return int(std::nearbyint(value));
}

int Percent(int done, int total) {
    return total > 0 ? RoundEven(100.0 * done / total) : 0;
}

// A size field's text as a number; an empty or broken field fails the generation.
bool FieldNumber(const QString& text, const char* name, int& number, QString& error) {
    bool ok = false;
    number = text.trimmed().toInt(&ok);
    if (!ok)
        error =
            QStringLiteral("'%1' is not a valid integer value (%2)").arg(text, QLatin1String(name));
    return ok;
}

const QStringList NavigationImages = {QStringLiteral("next.gif"), QStringLiteral("home.gif"),
                                      QStringLiteral("previous.gif")};

// The files the gallery itself writes besides the pictures'.
QStringList OwnFiles() {
    return QStringList{QStringLiteral("gallery.html"), QStringLiteral("layout.css")} +
           NavigationImages;
}

// The framed picture: the shape over the whole bitmap, then the two corners the offset
// shadow leaves bare filled with the page's background.
void Frame(TRasterImage& image, qint64 background) {
    const QColor page = Colors::ToQColor(background);
    TShapeStyle style;
    style.BorderColor = QColor(192, 192, 192);
    style.BorderThickness = 1;
    style.InnerBandThickness = 5;
    style.InnerBandShadowColor = Qt::white;
    style.OuterBandThickness = 5;
    style.OuterBandShadowColor = Qt::blue;
    style.ShadowColor = QColor(RoundEven(page.red() * 0.9), RoundEven(page.green() * 0.9),
                               RoundEven(page.blue() * 0.9));
    style.ShadowXDepth = 4;
    style.ShadowYDepth = 4;
    image.DrawShape(style);
    const int w = image.Width();
    const int h = image.Height();
    for (const QRect& corner : {QRect(0, h - 4, 4, 4), QRect(w - 4, 0, 4, 4)}) {
        image.SetRgnRect(corner);
        image.Fill(page);
    }
    image.FreeRgn();
}

} // namespace

TGalleryGenerator::TGalleryGenerator(TGalleryRequest request, TGallerySettings settings)
    : Request(std::move(request)), Settings(std::move(settings)) {}

QString TGalleryGenerator::SuccessMessage(bool german) {
    return german ? QStringLiteral("Erstellen der Galerie wurde erfolgreich abgeschlossen!")
                  : QStringLiteral("Gallery generated successful!");
}

QSize TGalleryGenerator::TargetSize(QSize stored, int setting) {
    const int w = std::max(stored.width(), 1);
    const int h = std::max(stored.height(), 1);
    const int width = w >= h ? RoundEven(double(w) / h * setting) : setting;
    const int height = RoundEven(double(width) * h / w);
    return QSize(std::max(width, 1), std::max(height, 1));
}

QStringList TGalleryGenerator::UniqueBases(const QStringList& paths) {
    auto filesOf = [](const QString& base) {
        return QStringList{base + QStringLiteral(".html"), base + QStringLiteral(".jpg"),
                           base + QStringLiteral("_thumb.jpg")};
    };
    const QStringList own = OwnFiles();
    QSet<QString> taken(own.begin(), own.end());
    auto free = [&](const QString& base) {
        for (const QString& file : filesOf(base)) {
            if (taken.contains(file))
                return false;
        }
        return true;
    };
    QStringList bases;
    for (const QString& path : paths) {
        QString natural = Convert::SafeFileName(QFileInfo(path).completeBaseName());
        if (natural.isEmpty())
            natural = QStringLiteral("picture");
        // Equal bases would share one set of files; later pictures get a number instead.
        QString base = natural;
        for (int suffix = 1; !free(base); ++suffix)
            base = natural + u'_' + QString::number(suffix);
        for (const QString& file : filesOf(base))
            taken.insert(file);
        bases.append(base);
    }
    return bases;
}

TGalleryResult TGalleryGenerator::Generate(TProgress& progress) {
    TGalleryResult result;
    const QString output = Request.OutputDir();
    result.OverviewPage = output + QStringLiteral("gallery.html");
    const GalleryPages::TPageTexts texts{Request.ProductName, Request.MakerAddress,
                                         Request.FooterUrl,   Request.FooterText,
                                         Request.Title,       Request.German()};

    // 1. Settings.
    if (!Settings.Write(Request.SettingsFile, Request.DefaultsFile(), &result.Error))
        return result;

    // 2. Templates, written afresh so nothing carries over from an earlier generation.
    const std::pair<const char*, QStringList> templates[] = {
        {"gallery.ht1", GalleryPages::OverviewHead(texts)},
        {"gallery.ht2", GalleryPages::OverviewTail(texts)},
        {"einzel.ht1", GalleryPages::PictureHead(texts)},
        {"einzel.ht2", GalleryPages::PictureTail(texts)},
    };
    for (const auto& [name, lines] : templates) {
        if (!TMake::WriteLines(Request.ProgramDir + QLatin1String(name), lines, &result.Error))
            return result;
    }

    // 3. The pictures. The gallery is made in a work folder and moved into the output only
    //    when complete, so a full disk or a cancel leaves the earlier gallery as it was.
    if (!QDir().mkpath(output)) {
        result.Error = QStringLiteral("%1: cannot create the folder").arg(output);
        return result;
    }
    // Inside the output folder it is on the same disk; the upload leaves out dot names.
    Building = output + QStringLiteral(".new/");
    QDir(Building).removeRecursively();
    if (!QDir().mkpath(Building)) {
        result.Error = QStringLiteral("%1: cannot create the folder").arg(Building);
        return result;
    }
    struct TCleanUp {
        QString Folder;
        ~TCleanUp() { QDir(Folder).removeRecursively(); }
    } cleanUp{Building};
    // Errors name the files as they will be called.
    const auto finalNames = [&] {
        result.Error.replace(Building, output);
        return result;
    };

    Items.clear();
    QStringList paths;
    for (const TGalleryPicture& picture : Request.Pictures) {
        Items.append({picture.Path, picture.Caption, {}, {}, {}, {}, {}, {}});
        paths.append(picture.Path);
    }
    const QStringList bases = UniqueBases(paths);
    for (qsizetype i = 0; i < Items.size(); ++i)
        Items[i].Base = bases[i];
    if (!MakePictures(progress, result))
        return finalNames();

    // 4. Pages, in list order.
    progress.SetPercent(0);
    const bool modern = Settings.Style == TGallerySettings::TStyle::Modern;
    if (!(modern ? WriteModernPages(result) : WritePages(result)))
        return finalNames();

    // 5. Style sheet (and the modern pages' script).
    if (modern) {
        if (!TMake::WriteLines(Building + QStringLiteral("modern.css"),
                               ModernPages::StyleSheet(Settings.TextColor, Settings.BKGColor),
                               &result.Error, true) ||
            !TMake::WriteLines(Building + QStringLiteral("lightbox.js"), ModernPages::Script(),
                               &result.Error, true))
            return finalNames();
    } else if (!TMake::WriteLines(Building + QStringLiteral("layout.css"),
                                  GalleryPages::StyleSheet(Settings.TextColor, Settings.BKGColor),
                                  &result.Error)) {
        return finalNames();
    }

    // 6. Templates away.
    for (const auto& entry : templates)
        QFile::remove(Request.ProgramDir + QLatin1String(entry.first));

    // 7. Navigation images; a missing one leaves a broken image, not a failed gallery.
    for (const QString& name : modern ? QStringList() : NavigationImages) {
        if (QFileInfo::exists(Request.ImageDir() + name) &&
            !Execute::CopyFileAtomic(Request.ImageDir() + name, Building + name, &result.Error))
            return finalNames();
    }

    // 8. The old gallery's files make way for the new ones (what cannot be deleted stays).
    const QDir outputDir(output);
    for (const QString& name : outputDir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(outputDir.filePath(name));
    for (const QString& name : QDir(Building).entryList(QDir::Files | QDir::Hidden)) {
        if (!QFile::rename(Building + name, output + name)) {
            result.Error = QStringLiteral("%1: cannot be put in place").arg(output + name);
            return result;
        }
    }

    result.Ok = true;
    return result;
}

bool TGalleryGenerator::MakePictures(TProgress& progress, TGalleryResult& result) {
    int small = 0;
    int large = 0;
    if (!FieldNumber(Settings.SmallPicX, "SmallPicX", small, result.Error) ||
        !FieldNumber(Settings.LargePicX, "LargePicX", large, result.Error))
        return false;

    struct TJob {
        qsizetype Index;
        QString Error;
        bool Done = false;
    };
    QList<TJob> jobs;
    for (qsizetype i = 0; i < Items.size(); ++i)
        jobs.append({i, {}, false});

    const QString output = Building;
    const bool modern = Settings.Style == TGallerySettings::TStyle::Modern;
    const bool frame = Settings.ShapeVisible;
    const qint64 background = Settings.BKGColor;
    std::atomic_bool stop = false;
    std::atomic_int done = 0;
    QMutex reportLock;
    const int total = int(jobs.size());
    // Each job touches only its own item; taken before the threads start, so nothing detaches.
    TPicture* items = Items.data();

    // One decode per picture, at the smallest DCT scale that still covers the large size;
    // both sizes are resampled from it.
    QtConcurrent::blockingMap(Jobs::Pool(), jobs, [&](TJob& job) {
        if (stop || progress.Cancelled())
            return;
        TPicture& item = items[job.Index];
        try {
            if (modern) {
                MakeModernPicture(item);
                job.Done = true;
                const int finished = ++done;
                const QMutexLocker locker(&reportLock);
                progress.SetPercent(Percent(finished, total));
                return;
            }
            const QSize stored = TRasterImage::ReadSize(item.Path);
            item.Thumbnail = TargetSize(stored, small);
            item.Large = TargetSize(stored, large);
            TRasterImage decoded;
            decoded.LoadScaled(item.Path, item.Large.expandedTo(item.Thumbnail));
            for (const auto& [size, suffix] :
                 {std::pair{item.Thumbnail, "_thumb.jpg"}, std::pair{item.Large, ".jpg"}}) {
                TRasterImage image = decoded;
                image.Size(size.width(), size.height(), TResize::Bicubic);
                if (frame)
                    Frame(image, background);
                image.Save(output + item.Base + QLatin1String(suffix), 4);
            }
            job.Done = true;
        } catch (const TImagingError& error) {
            job.Error = error.Text();
            stop = true;
            return;
        }
        const int finished = ++done;
        const QMutexLocker locker(&reportLock);
        progress.SetPercent(Percent(finished, total));
    });

    for (const TJob& job : jobs) {
        if (!job.Error.isEmpty()) {
            result.ImagingFailed = true;
            result.Error = job.Error;
            return false;
        }
    }
    for (const TJob& job : jobs) {
        if (!job.Done) {
            result.Cancelled = true;
            result.Error =
                Request.German() ? QStringLiteral("Abgebrochen.") : QStringLiteral("Cancelled.");
            return false;
        }
    }
    return true;
}

void TGalleryGenerator::MakeModernPicture(TPicture& item) const {
    item.Variants = ModernPages::Variants(TRasterImage::ReadSize(item.Path));
    item.Thumbnail = item.Variants.first().Size;
    item.Large = item.Variants.last().Size;
    // One decode at the smallest DCT scale that covers the largest size; each smaller size is
    // resampled from the one above it, which is cheaper than from the decode. Fresh encodings
    // carry no EXIF, so the camera's GPS position stays at home; the loader turns upright.
    TRasterImage image;
    image.LoadScaled(item.Path, item.Large);
    for (qsizetype k = item.Variants.size() - 1; k >= 0; --k) {
        const ModernPages::TVariant& variant = item.Variants[k];
        if (image.SizeOf() != variant.Size)
            image.Size(variant.Size.width(), variant.Size.height(), TResize::Bicubic);
        image.Save(Building + ModernPages::VariantName(item.Base, variant.Tier), 4);
    }
    if (Settings.DetailsVisible) {
        // EXIF sits at the front of the file, in one segment of at most 64 KiB.
        QFile file(item.Path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray front = file.read(128 * 1024);
            item.Taken = JpegMarkers::DateTaken(front);
            item.Camera = JpegMarkers::Camera(front);
        }
    }
}

bool TGalleryGenerator::WriteModernPages(TGalleryResult& result) {
    const ModernPages::TTexts texts{
        Request.Title,    Request.ProductName,  Request.FooterUrl,        Request.FooterText,
        Request.German(), Settings.TextVisible, Settings.FilenameVisible, Settings.DetailsVisible};
    QList<ModernPages::TPicture> pictures;
    for (const TPicture& item : Items)
        pictures.append({item.Base, item.Caption, QFileInfo(item.Path).fileName(), item.Taken,
                         item.Camera, item.Variants});
    if (!TMake::WriteLines(Building + QStringLiteral("gallery.html"),
                           ModernPages::Overview(texts, pictures), &result.Error, true))
        return false;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        if (!TMake::WriteLines(Building + pictures[i].Base + QStringLiteral(".html"),
                               ModernPages::PicturePage(texts, pictures, i), &result.Error, true))
            return false;
    }
    return true;
}

bool TGalleryGenerator::WritePages(TGalleryResult& result) {
    const QString output = Building;
    const int count = int(Items.size());
    const GalleryPages::TTableLayout layout = GalleryPages::TableLayout(count, Settings.PicProRow);
    TMake overview(Request.ProgramDir + QStringLiteral("Gallery"),
                   output + QStringLiteral("gallery.html"));
    if (!overview.Ok()) {
        result.Error = overview.Error();
        return false;
    }
    for (int row = 1; row <= layout.Rows; ++row) {
        overview.Add(QStringLiteral("<tr>"));
        for (int column = 1; column <= layout.Columns; ++column) {
            const int i = (row - 1) * layout.Columns + column - 1;
            if (i >= count) {
                overview.Add(GalleryPages::EmptyCell());
                continue;
            }
            const TPicture& item = Items[i];
            const QString caption = Settings.TextVisible ? item.Caption : QString();
            overview.Add(GalleryPages::PictureCell(layout.CellWidth, item.Base,
                                                   item.Thumbnail.width(), item.Thumbnail.height(),
                                                   caption, Settings.FilenameVisible));
            // Neighbours wrap around: the first page leads back to the last and on from it.
            const QString& previous = Items[(i + count - 1) % count].Base;
            const QString& next = Items[(i + 1) % count].Base;
            TMake page(Request.ProgramDir + QStringLiteral("einzel"),
                       output + item.Base + QStringLiteral(".html"));
            page.Add(GalleryPages::PicturePageBody(Request.Title, item.Base, caption,
                                                   Settings.FilenameVisible, previous, next,
                                                   Request.German()));
            if (!page.Write()) {
                result.Error = page.Error();
                return false;
            }
        }
        overview.Add(QStringLiteral("</tr>"));
    }
    if (!overview.Write()) {
        result.Error = overview.Error();
        return false;
    }
    return true;
}

} // namespace Lumerix
