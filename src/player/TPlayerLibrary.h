#pragma once

#include "TPlayerShow.h"

#include <QList>
#include <QString>

namespace Lumerix {

/// The slideshows of a player folder: every "Diashow_" + digits folder beside the player that
/// has a picture to show, in the order of `play.ply`.
class TPlayerLibrary {
public:
    static TPlayerLibrary Load(const QString& folder);

    const QList<TPlayerShow>& Shows() const { return ShowList; }
    bool IsEmpty() const { return ShowList.isEmpty(); }
    /// The index of the show in folder `name` (letter case ignored), or -1.
    int IndexOf(const QString& name) const;

private:
    QList<TPlayerShow> ShowList;
};

} // namespace Lumerix
