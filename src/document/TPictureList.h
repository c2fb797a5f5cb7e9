#pragma once

#include "TPictureEntry.h"

#include <QAbstractListModel>
#include <QStringList>

namespace Lumerix {

/// The pictures of the open slideshow in showing order, one picture entry text per row.
class TPictureList final : public QAbstractListModel {
    Q_OBJECT
public:
    enum TRole {
        EntryRole = Qt::UserRole + 1, ///< the entry's text
        FileNameRole,
        CaptionRole,
        ThumbnailRole, ///< the thumbnail's path
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                  const QModelIndex& destinationParent, int destinationChild) override;

    int Count() const { return int(Items.size()); }
    bool IsEmpty() const { return Items.isEmpty(); }
    const QStringList& Entries() const { return Items; }
    QString Entry(int index) const { return Items.value(index); }
    TPictureEntry Parsed(int index) const { return TPictureEntry::Parse(Items.value(index)); }
    /// The lines `Pictures.ini` gets for the list.
    QStringList PicturesLines() const;

    void SetEntries(const QStringList& entries);
    void Clear() { SetEntries({}); }
    /// Inserts before `index`; -1 (or any index past the end) appends. Returns the row.
    int Insert(int index, const QString& entry);
    void Replace(int index, const QString& entry);
    void Remove(int index);
    /// Moves the entry at `from` so that it ends up at `to`.
    void Move(int from, int to);

private:
    QStringList Items;
};

} // namespace Lumerix
