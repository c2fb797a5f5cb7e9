#pragma once

#include <QListView>

namespace Lumerix {

/// A list of picture entries that takes drops: from another view (the source list) it asks to
/// insert at the entry under the mouse, or at the end below the last entry; from itself it asks
/// to move the dragged entry onto the entry under the mouse. Near the top and bottom edges a
/// drag scrolls the list.
class TPictureListView final : public QListView {
    Q_OBJECT
public:
    explicit TPictureListView(QWidget* parent = nullptr);

signals:
    void DroppedFrom(QWidget* source, int insertRow);
    void MoveRequested(int from, int to);
    void DeletePressed();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int DragRow = -1;
};

} // namespace Lumerix
