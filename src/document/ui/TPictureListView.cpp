#include "TPictureListView.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QScrollBar>

namespace Lumerix {

TPictureListView::TPictureListView(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setAutoScroll(true);
    setAutoScrollMargin(50);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void TPictureListView::startDrag(Qt::DropActions supportedActions) {
    DragRow = currentIndex().row();
    const int scroll = verticalScrollBar()->value();
    QListView::startDrag(supportedActions);
    DragRow = -1;
    // The drag may have scrolled the list; the user's place in it comes back.
    verticalScrollBar()->setValue(scroll);
}

void TPictureListView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source()) {
        event->setDropAction(event->source() == this ? Qt::MoveAction : Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TPictureListView::dragMoveEvent(QDragMoveEvent* event) {
    QListView::dragMoveEvent(event);
    if (event->source()) {
        event->setDropAction(event->source() == this ? Qt::MoveAction : Qt::CopyAction);
        event->accept();
    }
}

void TPictureListView::dropEvent(QDropEvent* event) {
    const QModelIndex target = indexAt(event->position().toPoint());
    QWidget* source = qobject_cast<QWidget*>(event->source());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (source == this) {
        // Only a drop onto an entry moves; the model itself is never touched by the drag.
        if (target.isValid() && DragRow >= 0 && DragRow != target.row())
            emit MoveRequested(DragRow, target.row());
        return;
    }
    if (source)
        emit DroppedFrom(source, target.isValid() ? target.row() : model()->rowCount());
}

void TPictureListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        emit DeletePressed();
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace Lumerix
