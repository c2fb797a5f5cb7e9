#include "TStartScreen.h"

#include "player/TFrameComposer.h"
#include "shell/TLanguage.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>
#include <QWheelEvent>

#include <algorithm>

namespace Lumerix {

namespace {

QFont PixelFont(int pixels, bool bold = false) {
    QFont font;
    font.setPixelSize(std::max(pixels, 8));
    font.setBold(bold);
    return font;
}

} // namespace

TStartScreen::TStartScreen(const TPlayerSettings& settings, const TPlayerTexts& texts,
                           QWidget* parent)
    : QWidget(parent), Hint(texts.QuitHint) {
    setObjectName(QStringLiteral("StartScreen"));
    // The composer knows which text colour shows on the background.
    const TFrameComposer colours(settings, QSize(1, 1));
    Back = colours.Background();
    Fore = colours.TextColor();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TStartScreen::SetTitles(const QStringList& titles) {
    TitleList = titles;
    Current = 0;
    FirstRow = 0;
    update();
}

void TStartScreen::SetSelected(int index) {
    if (TitleList.isEmpty())
        return;
    Current = std::clamp(index, 0, int(TitleList.size()) - 1);
    KeepSelectionVisible();
    update();
}

int TStartScreen::RowHeight() const {
    return std::max(16, height() / 16);
}

QRect TStartScreen::ListArea() const {
    const int top = height() / 5;
    const int bottom = height() - height() / 8;
    const int margin = width() / 8;
    return QRect(margin, top, std::max(1, width() - 2 * margin), std::max(1, bottom - top));
}

int TStartScreen::VisibleRows() const {
    return std::max(1, ListArea().height() / RowHeight());
}

int TStartScreen::RowAt(QPoint position) const {
    const QRect area = ListArea();
    if (!area.contains(position))
        return -1;
    const int row = FirstRow + (position.y() - area.top()) / RowHeight();
    return row < TitleList.size() ? row : -1;
}

void TStartScreen::KeepSelectionVisible() {
    const int rows = VisibleRows();
    if (Current < FirstRow)
        FirstRow = Current;
    else if (Current >= FirstRow + rows)
        FirstRow = Current - rows + 1;
    FirstRow = std::clamp(FirstRow, 0, std::max(0, int(TitleList.size()) - rows));
}

void TStartScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Back);

    const QFont heading = PixelFont(height() / 12, true);
    painter.setFont(heading);
    painter.setPen(Fore);
    painter.drawText(QRect(0, height() / 20, width(), height() / 8), Qt::AlignCenter,
                     QString::fromUtf16(ProductName));

    const QRect area = ListArea();
    const int rowHeight = RowHeight();
    const QFont rowFont = PixelFont(rowHeight * 3 / 5);
    painter.setFont(rowFont);
    const QFontMetrics metrics(rowFont);
    const int last = std::min(int(TitleList.size()), FirstRow + VisibleRows());
    for (int row = FirstRow; row < last; ++row) {
        const QRect line(area.left(), area.top() + (row - FirstRow) * rowHeight, area.width(),
                         rowHeight);
        const QString text =
            metrics.elidedText(TitleList[row], Qt::ElideRight, line.width() - rowHeight);
        if (row == Current) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Fore);
            painter.drawRoundedRect(line.adjusted(0, 2, 0, -2), rowHeight / 4, rowHeight / 4);
            painter.setPen(Back);
        } else {
            painter.setPen(Fore);
        }
        painter.drawText(line, Qt::AlignCenter | Qt::TextSingleLine, text);
    }

    // Small arrows tell that the list goes on above or below.
    const int arrow = std::max(4, rowHeight / 5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Fore);
    const int middle = area.center().x();
    if (FirstRow > 0) {
        const int y = area.top() - arrow;
        painter.drawPolygon(QPolygon(
            {QPoint(middle - arrow, y), QPoint(middle + arrow, y), QPoint(middle, y - arrow)}));
    }
    if (last < TitleList.size()) {
        const int y = area.top() + (last - FirstRow) * rowHeight + arrow;
        painter.drawPolygon(QPolygon(
            {QPoint(middle - arrow, y), QPoint(middle + arrow, y), QPoint(middle, y + arrow)}));
    }

    painter.setPen(Fore);
    painter.setFont(PixelFont(height() / 36));
    painter.drawText(QRect(0, height() - height() / 10, width(), height() / 12), Qt::AlignCenter,
                     Hint);
}

void TStartScreen::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        emit QuitRequested();
        return;
    case Qt::Key_Up:
    case Qt::Key_Left:
        SetSelected(Current - 1);
        return;
    case Qt::Key_Down:
    case Qt::Key_Right:
        SetSelected(Current + 1);
        return;
    case Qt::Key_PageUp:
        SetSelected(Current - VisibleRows());
        return;
    case Qt::Key_PageDown:
        SetSelected(Current + VisibleRows());
        return;
    case Qt::Key_Home:
        SetSelected(0);
        return;
    case Qt::Key_End:
        SetSelected(int(TitleList.size()) - 1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!TitleList.isEmpty())
            emit Chosen(Current);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TStartScreen::mousePressEvent(QMouseEvent* event) {
    const int row = RowAt(event->position().toPoint());
    if (row >= 0)
        SetSelected(row);
}

void TStartScreen::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = RowAt(event->position().toPoint());
    if (row >= 0) {
        SetSelected(row);
        emit Chosen(row);
    }
}

void TStartScreen::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        SetSelected(Current - steps);
}

} // namespace Lumerix
