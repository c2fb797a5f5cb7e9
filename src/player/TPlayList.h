#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {

/// `play.ply`: which slideshows the player offers and in what order. Section "PLAY", key
/// "Shows": slideshow folder names separated by ";", where "*" stands for every slideshow
/// folder not named elsewhere in the list, in the order of their numbers. "*" alone (also a
/// missing file, section or key, or an empty value) plays every slideshow.
class TPlayList {
public:
    /// Every slideshow, in number order.
    TPlayList() = default;
    static TPlayList Load(const QString& path);
    static TPlayList FromText(const QString& shows);

    const QStringList& Items() const { return Entries; }

    /// The folders of `available` in playing order. Names are matched without regard to
    /// letter case; unknown names and repeats are skipped.
    QStringList Order(const QStringList& available) const;

    /// `available` sorted by the number after "Diashow_".
    static QStringList NumberOrder(QStringList available);

private:
    QStringList Entries{QStringLiteral("*")};
};

} // namespace Lumerix
