#include "TFramePreparation.h"

#include "document/TSlideshowStore.h"
#include "imaging/TRasterImage.h"
#include "shell/Colors.h"
#include "shell/Jobs.h"
#include "shell/Strings.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/TextCodec.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QFuture>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QThreadPool>
#include <QtConcurrent>

#include <cmath>
#include <deque>
#include <optional>

namespace Lumerix {

TFrameLook TFrameLook::FromState(const TRunState& state, TVideoKind kind) {
    TFrameLook look;
    look.BackgroundColor = state.BackgroundColor;
    look.TextColor = state.TextColor;
    look.TextOffset = state.TextOffset;
    look.CaptionsVisible = state.PictureTextVisible;
    look.CaptionPoints = VideoFormat::CaptionPoints(kind);
    return look;
}

TFrameLook TFrameLook::ScaledFromState(const TRunState& state, int frameHeight) {
    TFrameLook look = FromState(state, TVideoKind::Vcd);
    const double scale = double(frameHeight) / 288.0;
    look.CaptionPoints = qMax(1, int(std::lround(look.CaptionPoints * scale)));
    look.TextOffset = int(std::lround(look.TextOffset * scale));
    return look;
}

namespace FramePreparation {

namespace {

// Point sizes are meant at 96 dots per inch, so a 12-point caption is 16 pixels high.
constexpr int DotsPerMeter = 3780;

// Key frames are JPEG quality 85.
constexpr int KeyFrameQualityFactor = 18;

struct TConverted {
    QImage Frame;
    std::optional<TImagingError> Error;
    QString Warning;
};

// Waits for every conversion still running, whichever way the stage ends.
class TPendingConversions {
public:
    ~TPendingConversions() {
        for (QFuture<TConverted>& future : Futures)
            future.waitForFinished();
    }
    std::deque<QFuture<TConverted>> Futures;
};

} // namespace

QRect Place(QSize picture, QSize frame) {
    const int w = qMax(1, picture.width());
    const int h = qMax(1, picture.height());
    const int frameWidth = frame.width();
    const int frameHeight = frame.height();
    if (frameWidth < w || frameHeight < h) {
        const double aspect = double(w) / double(h);
        if (aspect >= 1) {
            const int height = qMax(1, int(std::nearbyint(frameWidth / aspect)));
            return {0, (frameHeight - height) / 2, frameWidth, height};
        }
        const int width = qMax(1, int(std::nearbyint(frameHeight * aspect)));
        return {(frameWidth - width) / 2, 0, width, frameHeight};
    }
    // Never enlarged: centred at its own size.
    return {(frameWidth - w) / 2, (frameHeight - h) / 2, w, h};
}

QImage Compose(const QImage& fitted, QPoint topLeft, const QString& caption, QSize frame,
               const TFrameLook& look) {
    QImage result(frame, QImage::Format_RGB888);
    result.setDotsPerMeterX(DotsPerMeter);
    result.setDotsPerMeterY(DotsPerMeter);
    const QColor background = Colors::ToQColor(look.BackgroundColor);
    result.fill(background);

    QPainter painter(&result);
    painter.drawImage(topLeft, fitted);
    painter.end();
    DrawCaption(result, caption, look);
    return result;
}

void DrawCaption(QImage& frame, const QString& caption, const TFrameLook& look) {
    // Text needs the fonts of a GUI application; an empty caption leaves the picture whole.
    if (!look.CaptionsVisible || caption.isEmpty() || qGuiApp == nullptr)
        return;
    frame.setDotsPerMeterX(DotsPerMeter);
    frame.setDotsPerMeterY(DotsPerMeter);
    QPainter painter(&frame);
    QFont font;
    font.setPointSize(look.CaptionPoints);
    font.setStyleStrategy(QFont::PreferAntialias);
    painter.setFont(font);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFontMetrics metrics(font, &frame);
    const int textHeight = metrics.height();
    const int textWidth = metrics.horizontalAdvance(caption);
    const int top = frame.height() - textHeight - look.TextOffset;
    painter.fillRect(QRect(0, top, frame.width(), textHeight),
                     Colors::ToQColor(look.BackgroundColor));
    painter.setPen(Colors::ToQColor(look.TextColor));
    // A caption wider than the frame is cut at both sides.
    painter.drawText(QPoint((frame.width() - textWidth) / 2, top + metrics.ascent()), caption);
}

QImage ConvertPicture(const QString& source, const QString& caption, QSize frame,
                      const TFrameLook& look, QString* warning) {
    const QSize stored = TRasterImage::ReadSize(source);
    const QRect place = Place(stored, frame);
    TRasterImage picture;
    if (place.size() == stored) {
        picture.Load(source);
    } else {
        picture.LoadScaled(source, place.size());
        if (picture.SizeOf() != place.size())
            picture.Size(place.width(), place.height(), TResize::Resample);
    }
    if (warning)
        *warning = picture.LoadWarning();
    return Compose(picture.Bitmap(), place.topLeft(), caption, frame, look);
}

void WriteBitmap(const QImage& frame, const QString& path) {
    // Format_RGB888 makes Qt's writer store 24 bits per pixel, rows bottom-up.
    const QImage pixels = frame.convertToFormat(QImage::Format_RGB888);
    // Made in memory: the image writer does not check for short writes.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QImageWriter writer(&bytes, "BMP");
    if (!writer.write(pixels))
        throw TImagingError(QStringLiteral("Save"), path, writer.errorString());
    QString cause;
    if (!TextCodec::WriteFileAtomic(path, bytes.data(), &cause))
        throw TImagingError(QStringLiteral("Save"), path, cause);
}

QString BitmapName(int number) {
    return FrameName(number, TFrameFile::Bitmap);
}

QString FrameName(int number, TFrameFile file) {
    const QString digits = Strings::PadLeft(QString::number(number), u'0', 4);
    return file == TFrameFile::Bitmap ? QStringLiteral("inp") + digits + QStringLiteral(".bmp")
                                      : QStringLiteral("inp") + digits + QStringLiteral("_Key.jpg");
}

QList<TFramePicture> PicturesOfShow(const TRunState& state, const QString& showName) {
    const TSlideshowStore store(state);
    const QString folder = store.ShowDir(showName);
    QList<TFramePicture> pictures;
    for (const TPictureEntry& entry : store.ReadPictures(showName))
        pictures.append({folder + entry.FileName, entry.Caption});
    return pictures;
}

QString ClosingPicture(const TRunState& state) {
    return state.KitFile(state.Language().IsGerman() ? QStringLiteral("video/Ende.jpg")
                                                     : QStringLiteral("video/End.jpg"));
}

QStringList PictureStage(const QList<TFramePicture>& pictures, const QString& closingPicture,
                         QSize frame, const TFrameLook& look, const QString& folder,
                         TProgress& progress, TFrameFile file, const TFrameWritten& written) {
    QList<TFramePicture> all = pictures;
    all.append({closingPicture, QString()});
    const qsizetype count = pictures.size();
    const QString target = folder.endsWith(u'/') ? folder : folder + u'/';

    // A few conversions run ahead of the writer; more would only hold frames in memory.
    const int ahead = 2 * qMax(2, Jobs::Pool()->maxThreadCount());
    TPendingConversions pending;
    qsizetype launched = 0;
    auto convert = [frame, look, &progress](const TFramePicture& picture) -> TConverted {
        if (progress.Cancelled())
            return {};
        try {
            QString warning;
            QImage converted =
                ConvertPicture(picture.Source, picture.Caption, frame, look, &warning);
            return {converted, std::nullopt, warning};
        } catch (const TImagingError& error) {
            return {QImage(), error, {}};
        }
    };

    QStringList files;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (progress.Cancelled())
            return {};
        while (launched < all.size() && qsizetype(pending.Futures.size()) < ahead)
            pending.Futures.push_back(QtConcurrent::run(Jobs::Pool(), convert, all[launched++]));
        if (i < count)
            progress.SetStatus(
                QStringLiteral("Convert pictures: Picture %1 of %2").arg(i + 1).arg(count));
        const TConverted converted = pending.Futures.front().result();
        pending.Futures.pop_front();
        if (converted.Error)
            throw *converted.Error;
        if (converted.Frame.isNull()) // cancelled while converting
            return {};
        const QString path = target + FrameName(int(i) + 1, file);
        if (file == TFrameFile::Bitmap)
            WriteBitmap(converted.Frame, path);
        else
            TRasterImage(converted.Frame).Save(path, KeyFrameQualityFactor);
        files.append(path);
        if (written) {
            TFramePicture done = all[i];
            done.Warning = converted.Warning;
            written(int(i) + 1, done, path);
        }
        progress.SetPercent(int((i + 1) * 100 / all.size()));
    }
    return files;
}

} // namespace FramePreparation

} // namespace Lumerix
