#include "TFrameComposer.h"

#include "TPlayerShow.h"
#include "imaging/TRasterImage.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Lumerix {

namespace {

double Luminance(const QColor& colour) {
    return 0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue();
}

QFont PixelFont(int pixels, bool bold = false) {
    QFont font;
    font.setPixelSize(std::max(pixels, 6));
    font.setBold(bold);
    return font;
}

} // namespace

TFrameComposer::TFrameComposer(const TPlayerSettings& settings, QSize frameSize)
    : Size(frameSize.expandedTo(QSize(1, 1))), BackColor(settings.Background()),
      ForeColor(settings.Foreground()), CaptionShown(settings.PictureTextVisible),
      FileNameShown(settings.FileNameVisible) {
    const int height = Size.height();
    // The offset counts from the bottom edge, as on a television; without one a small
    // margin keeps the text off the edge. A third of the screen at most keeps the picture.
    BottomMargin = settings.TextOffset > 0 ? std::min(settings.TextOffset, height / 3)
                                           : std::max(4, height / 50);
    int band = 0;
    if (CaptionShown)
        band += QFontMetrics(PixelFont(CaptionPixels())).height();
    if (FileNameShown)
        band += QFontMetrics(PixelFont(FileNamePixels())).height();
    if (band > 0) {
        const int gap = std::max(4, height / 100);
        const int areaHeight = std::max(1, height - BottomMargin - band - gap);
        Area = QRect(0, 0, Size.width(), areaHeight);
    } else {
        BottomMargin = 0;
        Area = QRect(QPoint(0, 0), Size);
    }
}

int TFrameComposer::CaptionPixels() const {
    return std::clamp(Size.height() / 30, 10, 96);
}

int TFrameComposer::FileNamePixels() const {
    return std::max(8, CaptionPixels() * 3 / 4);
}

QSize TFrameComposer::Fit(QSize picture, QSize box) {
    if (picture.isEmpty() || box.isEmpty())
        return QSize(1, 1);
    return picture.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QSize TFrameComposer::FitSize(QSize picture) const {
    return Fit(picture, Area.size());
}

QColor TFrameComposer::TextColor() const {
    return ForeColor;
}

QColor TFrameComposer::OutlineColor() const {
    if (std::abs(Luminance(ForeColor) - Luminance(BackColor)) >= 64)
        return {};
    // The text colour mixed four to one with white on a dark background, with black on a
    // light one: the same family, and at least 64 steps of brightness off the background.
    const int towards = Luminance(BackColor) < 128 ? 255 : 0;
    const auto mix = [towards](int channel) {
        return (channel + 4 * towards) / 5;
    };
    return QColor(mix(ForeColor.red()), mix(ForeColor.green()), mix(ForeColor.blue()));
}

void TFrameComposer::DrawText(QPainter& painter, const QRect& box, int flags,
                              const QString& text) const {
    const QColor outline = OutlineColor();
    if (outline.isValid()) {
        const int width = std::max(1, painter.font().pixelSize() / 24);
        painter.setPen(outline);
        for (int dx = -width; dx <= width; dx += width) {
            for (int dy = -width; dy <= width; dy += width) {
                if (dx != 0 || dy != 0)
                    painter.drawText(box.translated(dx, dy), flags, text);
            }
        }
    }
    painter.setPen(ForeColor);
    painter.drawText(box, flags, text);
}

QImage TFrameComposer::Decode(const QString& path, QSize box) {
    const QSize stored = TRasterImage::ReadSize(path);
    const QSize fitted = Fit(stored, box);
    TRasterImage image;
    if (fitted.width() < stored.width())
        image.LoadScaled(path, fitted);
    else
        image.Load(path);
    if (image.SizeOf() != fitted)
        image.Size(fitted.width(), fitted.height(), TResize::Bicubic);
    return image.Bitmap();
}

QImage TFrameComposer::Canvas() const {
    QImage canvas(Size, QImage::Format_RGB32);
    canvas.fill(BackColor);
    return canvas;
}

QImage TFrameComposer::Blank() const {
    QImage frame(Size, QImage::Format_BGR888);
    frame.fill(BackColor);
    return frame;
}

TFrame TFrameComposer::ComposePicture(const TPlayerPicture& picture) const {
    QImage fitted;
    try {
        if (QFileInfo(picture.Path).size() > MaxPictureBytes)
            throw TImagingError(QStringLiteral("Load"), picture.Path, QStringLiteral("too large"));
        fitted = Decode(picture.Path, Area.size());
    } catch (const TImagingError& error) {
        TFrame failed;
        failed.Error = error.Text();
        return failed;
    } catch (const std::exception& error) {
        TFrame failed;
        failed.Error = QString::fromLocal8Bit(error.what());
        return failed;
    }
    return Compose(fitted, picture.Caption, picture.FileName);
}

TFrame TFrameComposer::Compose(const QImage& picture, const QString& caption,
                               const QString& fileName) const {
    TFrame frame;
    frame.Ok = true;
    QImage canvas = Canvas();
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (!picture.isNull()) {
        const QSize fitted = FitSize(picture.size());
        const QRect target(Area.x() + (Area.width() - fitted.width()) / 2,
                           Area.y() + (Area.height() - fitted.height()) / 2, fitted.width(),
                           fitted.height());
        if (fitted == picture.size())
            painter.drawImage(target.topLeft(), picture);
        else
            painter.drawImage(target, picture);
    }

    // Lines from the bottom up: the file name under the caption.
    const int margin = std::max(8, Size.width() / 40);
    const int width = std::max(1, Size.width() - 2 * margin);
    int bottom = TextBottom();
    painter.setPen(TextColor());
    auto drawLine = [&](const QString& text, int pixels) {
        const QFont font = PixelFont(pixels);
        const QFontMetrics metrics(font);
        const QString shown = metrics.elidedText(text, Qt::ElideRight, width);
        painter.setFont(font);
        DrawText(painter, QRect(margin, bottom - metrics.height(), width, metrics.height()),
                 Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        bottom -= metrics.height();
        return shown;
    };
    if (FileNameShown && !fileName.isEmpty())
        frame.FileName = drawLine(fileName, FileNamePixels());
    else if (FileNameShown)
        bottom -= QFontMetrics(PixelFont(FileNamePixels())).height();
    if (CaptionShown && !caption.isEmpty())
        frame.Caption = drawLine(caption, CaptionPixels());
    painter.end();
    frame.Image = canvas.convertToFormat(QImage::Format_BGR888);
    return frame;
}

QImage TFrameComposer::Message(const QString& heading, const QStringList& lines) const {
    QImage canvas = Canvas();
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(TextColor());
    const int margin = std::max(8, Size.width() / 20);
    const int width = std::max(1, Size.width() - 2 * margin);
    const QFont headingFont = PixelFont(std::clamp(Size.height() / 16, 12, 120), true);
    const QFont lineFont = PixelFont(CaptionPixels());
    const QFontMetrics headingMetrics(headingFont);
    const QFontMetrics lineMetrics(lineFont);
    const int gap = lines.isEmpty() ? 0 : lineMetrics.height();
    // As many lines as fit; the heading always.
    const int room = Size.height() - 2 * margin - headingMetrics.height() - gap;
    const int fitting = std::max(0, room / std::max(1, lineMetrics.height()));
    const int shown = std::min(int(lines.size()), fitting);
    const int total = headingMetrics.height() + gap + shown * lineMetrics.height();
    int top = (Size.height() - total) / 2;
    painter.setFont(headingFont);
    DrawText(painter, QRect(margin, top, width, headingMetrics.height()),
             Qt::AlignCenter | Qt::TextSingleLine,
             headingMetrics.elidedText(heading, Qt::ElideRight, width));
    top += headingMetrics.height() + gap;
    painter.setFont(lineFont);
    for (int i = 0; i < shown; ++i) {
        DrawText(painter, QRect(margin, top, width, lineMetrics.height()),
                 Qt::AlignCenter | Qt::TextSingleLine,
                 lineMetrics.elidedText(lines[i], Qt::ElideRight, width));
        top += lineMetrics.height();
    }
    painter.end();
    return canvas.convertToFormat(QImage::Format_BGR888);
}

QImage TFrameComposer::Poster(const QString& path) const {
    QImage picture;
    try {
        if (QFileInfo(path).size() > MaxPictureBytes)
            return {};
        picture = Decode(path, Size);
    } catch (const std::exception&) {
        return {};
    }
    QImage canvas = Canvas();
    QPainter painter(&canvas);
    painter.drawImage((Size.width() - picture.width()) / 2, (Size.height() - picture.height()) / 2,
                      picture);
    painter.end();
    return canvas.convertToFormat(QImage::Format_BGR888);
}

} // namespace Lumerix
