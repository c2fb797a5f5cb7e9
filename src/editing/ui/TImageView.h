#pragma once

#include <QAbstractScrollArea>
#include <QPixmap>

class QTimer;

namespace Lumerix {

class TMarking;

/// The full-size editor's picture view: the marking's picture on black, at the top left, fitted
/// or one picture pixel per screen pixel with scroll bars; the marking's outline (its dashes
/// march once a second when animated), the rectangle being drawn and the floating copy on top.
/// Mouse events on the picture are passed on as signals in viewport coordinates.
class TImageView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class TSizeMode { Fit, Normal };

    explicit TImageView(QWidget* parent = nullptr);

    /// What the view shows; it is not owned.
    void SetMarking(const TMarking* marking);
    /// Call after the marking's picture or its pixels changed.
    void PictureChanged();

    void SetSizeMode(TSizeMode mode);
    TSizeMode SizeMode() const { return Mode; }

    /// Screen pixels per picture pixel.
    double Scale() const;
    /// Where the picture's top-left corner lies in the viewport (negative when scrolled).
    QPoint Offset() const;
    QPointF ToPicture(QPoint viewportPoint) const;
    QRect ToScreen(const QRect& pictureRect) const;
    /// The marching dashes' phase; advances once a second while an outline is animated.
    int DashPhase() const { return Phase; }

signals:
    void Pressed(QPoint viewportPoint, Qt::MouseButton button);
    void Moved(QPoint viewportPoint);
    void Released(QPoint viewportPoint, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void UpdateScrollBars();
    void Animate();
    QSize PictureSize() const;

    const TMarking* Marking = nullptr;
    TSizeMode Mode = TSizeMode::Fit;
    QPixmap Cached;     ///< the picture at the current scale
    QPixmap CachedCopy; ///< the floating copy at the current scale
    double CachedScale = 0;
    qint64 CachedCopyKey = 0;
    int Phase = 0;
    QTimer* FrameTimer = nullptr;
};

} // namespace Lumerix
