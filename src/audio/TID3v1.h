#pragma once

#include <QString>

namespace Lumerix {

/// The ID3v1 tag in the last 128 bytes of an audio file.
class TID3v1 {
public:
    TID3v1() { Reset(); }

    void Reset();
    /// Reads the last 128 bytes of `path`; true when they could be read, whether or not they
    /// hold a tag. A file shorter than 128 bytes cannot be read.
    bool ReadTag(const QString& path);

    bool Exists;
    int TagVersion; ///< 1 for ID3v1.0, 2 for ID3v1.1
    QString Title;
    QString Artist;
    QString Album;
    QString Year;
    QString Comment;
    quint8 Track; ///< ID3v1.1 only
    quint8 Genre; ///< the genre number; 255 when unset
};

} // namespace Lumerix
