#pragma once

#include <QStyledItemDelegate>

namespace Lumerix {

/// Draws a picture or source entry as its thumbnail, 70 pixels high, with the file name and
/// the caption beside it, top-aligned.
class TPictureDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// The thumbnail file as a pixmap, cached while the file is unchanged; null when missing.
    static QPixmap Thumbnail(const QString& path);
};

} // namespace Lumerix
