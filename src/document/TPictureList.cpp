#include "TPictureList.h"

namespace Lumerix {

int TPictureList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant TPictureList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count())
        return {};
    const TPictureEntry entry = Parsed(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return entry.Caption.isEmpty() ? entry.FileName
                                       : entry.FileName + CaptionSeparator + entry.Caption;
    case Qt::ToolTipRole:
    case FileNameRole:
        return entry.FileName;
    case EntryRole:
        return Items[index.row()];
    case CaptionRole:
        return entry.Caption;
    case ThumbnailRole:
        return entry.ThumbnailPath;
    default:
        return {};
    }
}

Qt::ItemFlags TPictureList::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractListModel::flags(index);
    return index.isValid() ? base | Qt::ItemIsDragEnabled : base | Qt::ItemIsDropEnabled;
}

bool TPictureList::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                            const QModelIndex& destinationParent, int destinationChild) {
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 0 ||
        sourceRow >= Count() || destinationChild < 0 || destinationChild > Count())
        return false;
    // Qt names the row before which the entry goes; Move names where it ends up.
    const int to = destinationChild > sourceRow ? destinationChild - 1 : destinationChild;
    Move(sourceRow, to);
    return true;
}

QStringList TPictureList::PicturesLines() const {
    QStringList lines;
    lines.reserve(Items.size());
    for (const QString& item : Items)
        lines.append(TPictureEntry::Parse(item).PicturesLine());
    return lines;
}

void TPictureList::SetEntries(const QStringList& entries) {
    beginResetModel();
    Items = entries;
    endResetModel();
}

int TPictureList::Insert(int index, const QString& entry) {
    const int row = index < 0 || index > Count() ? Count() : index;
    beginInsertRows({}, row, row);
    Items.insert(row, entry);
    endInsertRows();
    return row;
}

void TPictureList::Replace(int index, const QString& entry) {
    if (index < 0 || index >= Count() || Items[index] == entry)
        return;
    Items[index] = entry;
    emit dataChanged(this->index(index), this->index(index));
}

void TPictureList::Remove(int index) {
    if (index < 0 || index >= Count())
        return;
    beginRemoveRows({}, index, index);
    Items.removeAt(index);
    endRemoveRows();
}

void TPictureList::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to)
        return;
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    Items.move(from, to);
    endMoveRows();
}

} // namespace Lumerix
