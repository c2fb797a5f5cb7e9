#include "TPictureDelegate.h"

#include "document/TPictureList.h"
#include "document/TThumbnailMaker.h"
#include "imaging/TRasterImage.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPixmapCache>

namespace Lumerix {

namespace {

constexpr int Gap = 6;

} // namespace

QPixmap TPictureDelegate::Thumbnail(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return {};
    const QString key = path + u'@' + QString::number(info.lastModified().toMSecsSinceEpoch()) +
                        u'@' + QString::number(info.size());
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    try {
        TRasterImage image;
        image.Load(path);
        pixmap = QPixmap::fromImage(image.Bitmap());
    } catch (const TImagingError&) {
        return {};
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

void TPictureDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.clear();
    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    QString thumbnail = index.data(TPictureList::ThumbnailRole).toString();
    const QString fileName = index.data(TPictureList::FileNameRole).toString();
    QPixmap pixmap = Thumbnail(thumbnail);
    if (pixmap.isNull() && !thumbnail.isEmpty()) {
        // A renewed thumbnail may already have been cleaned up; its base copy is as fresh.
        pixmap = Thumbnail(QFileInfo(thumbnail).path() + QStringLiteral("/_THUMB_") + fileName);
    }
    const QRect area = option.rect;
    int textLeft = area.left() + Gap;
    if (!pixmap.isNull()) {
        const QSize size =
            pixmap.size().scaled(pixmap.width(), Thumbnails::Height, Qt::KeepAspectRatio);
        painter->drawPixmap(QRect(area.topLeft(), size), pixmap);
        textLeft = area.left() + size.width() + Gap;
    } else {
        textLeft = area.left() + Thumbnails::Height + Gap;
    }

    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textArea(textLeft, area.top() + 2, area.right() - textLeft, area.height() - 4);
    const QString caption = index.data(TPictureList::CaptionRole).toString();
    const QString text = caption.isEmpty() ? fileName : fileName + u'\n' + caption;
    painter->drawText(
        textArea, Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap,
        painter->fontMetrics().elidedText(text, Qt::ElideMiddle, textArea.width() * 3));
    painter->restore();
}

QSize TPictureDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    Q_UNUSED(option);
    Q_UNUSED(index);
    // As wide as the view lets it be: the text is elided, never scrolled.
    return QSize(1, Thumbnails::Height);
}

} // namespace Lumerix
