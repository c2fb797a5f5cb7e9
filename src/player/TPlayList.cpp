#include "TPlayList.h"

#include "PlayerFiles.h"
#include "shell/Strings.h"

#include <algorithm>

namespace Lumerix {

namespace {

const QString All = QStringLiteral("*");

// The number of a "Diashow_0012" folder; names without one sort last, by name.
qint64 FolderNumber(const QString& name) {
    bool ok = false;
    const qint64 number = name.mid(name.indexOf(u'_') + 1).toLongLong(&ok);
    return ok ? number : -1;
}

} // namespace

TPlayList TPlayList::Load(const QString& path) {
    const TIniFile ini = PlayerFiles::ReadIni(path);
    return FromText(ini.ReadString(QStringLiteral("PLAY"), QStringLiteral("Shows"), All));
}

TPlayList TPlayList::FromText(const QString& shows) {
    TPlayList list;
    list.Entries.clear();
    const QString delimiters = QStringLiteral(";");
    const int count = Strings::WordCount(shows, delimiters);
    for (int i = 1; i <= count; ++i) {
        const QString word = Strings::ExtractWord(i, shows, delimiters).trimmed();
        if (!word.isEmpty())
            list.Entries.append(word);
    }
    if (list.Entries.isEmpty())
        list.Entries.append(All);
    return list;
}

QStringList TPlayList::NumberOrder(QStringList available) {
    std::stable_sort(available.begin(), available.end(), [](const QString& a, const QString& b) {
        const qint64 na = FolderNumber(a);
        const qint64 nb = FolderNumber(b);
        if ((na < 0) != (nb < 0))
            return nb < 0;
        if (na != nb)
            return na < nb;
        return a < b;
    });
    return available;
}

QStringList TPlayList::Order(const QStringList& available) const {
    const QStringList sorted = NumberOrder(available);
    auto find = [&sorted](const QString& name) {
        for (const QString& folder : sorted) {
            if (folder.compare(name, Qt::CaseInsensitive) == 0)
                return folder;
        }
        return QString();
    };
    QStringList named;
    for (const QString& entry : Entries) {
        if (entry != All)
            named.append(find(entry));
    }
    QStringList order;
    for (const QString& entry : Entries) {
        if (entry == All) {
            for (const QString& folder : sorted) {
                if (!named.contains(folder) && !order.contains(folder))
                    order.append(folder);
            }
            continue;
        }
        const QString folder = find(entry);
        if (!folder.isEmpty() && !order.contains(folder))
            order.append(folder);
    }
    return order;
}

} // namespace Lumerix
