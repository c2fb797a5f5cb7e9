#pragma once

#include "player/TPlayerSettings.h"
#include "player/TPlayerTexts.h"

#include <QStringList>
#include <QWidget>

namespace Lumerix {

/// The player's start screen: the titles of the slideshows, one of them chosen. Up and down
/// (also Page keys, Home, End, the mouse wheel) move the choice; Enter, Space or a double
/// click plays it; Esc ends the player.
class TStartScreen final : public QWidget {
    Q_OBJECT
public:
    TStartScreen(const TPlayerSettings& settings, const TPlayerTexts& texts,
                 QWidget* parent = nullptr);

    void SetTitles(const QStringList& titles);
    const QStringList& Titles() const { return TitleList; }
    int Selected() const { return Current; }
    void SetSelected(int index);

signals:
    void Chosen(int index);
    void QuitRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int RowHeight() const;
    QRect ListArea() const;
    int VisibleRows() const;
    int RowAt(QPoint position) const;
    void KeepSelectionVisible();

    QColor Back;
    QColor Fore;
    QString Hint;
    QStringList TitleList;
    int Current = 0;
    int FirstRow = 0;
};

} // namespace Lumerix
