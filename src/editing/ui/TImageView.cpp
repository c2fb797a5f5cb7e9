#include "TImageView.h"

#include "editing/TMarking.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace Lumerix {

namespace {

constexpr int DashLength = 4;

// One outline: white underneath, black dashes on top, so it shows on any picture.
void DrawOutline(QPainter& painter, const QRect& rect, int phase, Qt::PenStyle style) {
    if (rect.width() < 1 || rect.height() < 1)
        return;
    const QRect line = rect.adjusted(0, 0, -1, -1);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(line);
    QPen dashes(Qt::black, 1, style);
    if (style == Qt::CustomDashLine) {
        dashes.setDashPattern({double(DashLength), double(DashLength)});
        dashes.setDashOffset(phase);
    }
    painter.setPen(dashes);
    painter.drawRect(line);
}

} // namespace

TImageView::TImageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::CrossCursor);
    viewport()->setAutoFillBackground(false);
    FrameTimer = new QTimer(this);
    FrameTimer->setInterval(1000);
    connect(FrameTimer, &QTimer::timeout, this, &TImageView::Animate);
    FrameTimer->start();
}

void TImageView::SetMarking(const TMarking* marking) {
    Marking = marking;
    PictureChanged();
}

QSize TImageView::PictureSize() const {
    return Marking != nullptr && Marking->HasPicture() ? Marking->Picture().SizeOf() : QSize();
}

void TImageView::PictureChanged() {
    Cached = QPixmap();
    CachedScale = 0;
    const QSize size = PictureSize();
    if (!size.isEmpty()) {
        // Five steps cross the picture; the steps are set only when they change.
        const int horizontal = size.width() / 5 + 1;
        const int vertical = size.height() / 5 + 1;
        if (horizontalScrollBar()->singleStep() != horizontal)
            horizontalScrollBar()->setSingleStep(horizontal);
        if (verticalScrollBar()->singleStep() != vertical)
            verticalScrollBar()->setSingleStep(vertical);
    }
    UpdateScrollBars();
    viewport()->update();
}

void TImageView::SetSizeMode(TSizeMode mode) {
    Mode = mode;
    UpdateScrollBars();
    viewport()->update();
}

double TImageView::Scale() const {
    const QSize size = PictureSize();
    if (Mode == TSizeMode::Normal || size.isEmpty())
        return 1.0;
    const QSize area = viewport()->size();
    if (area.isEmpty())
        return 1.0;
    return std::min(double(area.width()) / size.width(), double(area.height()) / size.height());
}

QPoint TImageView::Offset() const {
    if (Mode == TSizeMode::Fit)
        return QPoint(0, 0);
    return QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

QPointF TImageView::ToPicture(QPoint viewportPoint) const {
    const double scale = Scale();
    const QPointF shifted = QPointF(viewportPoint - Offset());
    return QPointF(shifted.x() / scale, shifted.y() / scale);
}

QRect TImageView::ToScreen(const QRect& pictureRect) const {
    const double scale = Scale();
    const QPoint offset = Offset();
    const int left = offset.x() + int(std::lround(pictureRect.left() * scale));
    const int top = offset.y() + int(std::lround(pictureRect.top() * scale));
    const int right =
        offset.x() + int(std::lround((pictureRect.left() + pictureRect.width()) * scale));
    const int bottom =
        offset.y() + int(std::lround((pictureRect.top() + pictureRect.height()) * scale));
    return QRect(left, top, right - left, bottom - top);
}

void TImageView::UpdateScrollBars() {
    const QSize size = PictureSize();
    const QSize area = viewport()->size();
    if (Mode == TSizeMode::Fit || size.isEmpty()) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
        return;
    }
    horizontalScrollBar()->setRange(0, std::max(0, size.width() - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setRange(0, std::max(0, size.height() - area.height()));
    verticalScrollBar()->setPageStep(area.height());
}

void TImageView::Animate() {
    Phase = (Phase + DashLength / 2) % (2 * DashLength);
    if (Marking != nullptr && Marking->HasMarking() && Marking->Frame() == TRegionFrame::Animated)
        viewport()->update();
}

void TImageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::black);
    if (Marking == nullptr || !Marking->HasPicture())
        return;
    const double scale = Scale();
    const QImage& bitmap = Marking->Picture().Bitmap();
    if (Cached.isNull() || CachedScale != scale) {
        const QRect whole = ToScreen(bitmap.rect());
        Cached = QPixmap::fromImage(
            scale == 1.0 ? bitmap
                         : bitmap.scaled(std::max(1, whole.width()), std::max(1, whole.height()),
                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        CachedScale = scale;
        CachedCopy = QPixmap();
    }
    painter.drawPixmap(Offset(), Cached);

    if (Marking->HasFloater()) {
        const TFloater& copy = Marking->Floater();
        const QRect place = ToScreen(copy.Rect());
        if (CachedCopy.isNull() || CachedCopyKey != copy.Picture().Bitmap().cacheKey() ||
            CachedCopy.size() != place.size()) {
            const QImage& pixels = copy.Picture().Bitmap();
            CachedCopy = QPixmap::fromImage(
                place.size() == pixels.size()
                    ? pixels
                    : pixels.scaled(std::max(1, place.width()), std::max(1, place.height()),
                                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            CachedCopyKey = pixels.cacheKey();
        }
        painter.drawPixmap(place.topLeft(), CachedCopy);
        DrawOutline(painter, place, 0, Qt::DotLine);
    }
    if (Marking->HasMarking() && Marking->Frame() != TRegionFrame::None) {
        const bool animated = Marking->Frame() == TRegionFrame::Animated;
        DrawOutline(painter, ToScreen(Marking->MarkingRect()), animated ? Phase : 0,
                    Qt::CustomDashLine);
    }
    if (Marking->Drawing())
        DrawOutline(painter, ToScreen(Marking->RubberBand()), 0, Qt::DotLine);
}

void TImageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TImageView::scrollContentsBy(int, int) {
    viewport()->update();
}

void TImageView::mousePressEvent(QMouseEvent* event) {
    emit Pressed(event->position().toPoint(), event->button());
}

void TImageView::mouseMoveEvent(QMouseEvent* event) {
    emit Moved(event->position().toPoint());
}

void TImageView::mouseReleaseEvent(QMouseEvent* event) {
    emit Released(event->position().toPoint(), event->button());
}

} // namespace Lumerix
