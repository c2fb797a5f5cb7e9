#pragma once

#include <QString>

class QFile;

namespace Lumerix {

/// The ID3v2 tag at the start of an audio file: its size, which is where the audio data
/// begins, and for version 2.3 the common text frames.
class TID3v2 {
public:
    TID3v2() { Reset(); }

    void Reset();
    /// Reads the tag header of `path` and, for an ID3v2.3 tag, its text frames; true when the
    /// first 10 bytes could be read, whether or not they begin a tag.
    bool ReadTag(const QString& path);

    bool Exists;
    int TagVersion; ///< the major version byte
    /// Bytes from the start of the file to the first byte after the tag; 0 without a tag and
    /// for a tag that claims to be longer than the file.
    qint64 TagSize;
    QString Title;
    QString Artist;
    QString Album;
    QString Year;
    QString Genre; ///< as written, e.g. "(17)" or "Rock"
    QString Comment;
    int Track; ///< the number before any "/total"

private:
    void ReadFrames(QFile& file, quint8 flags);
};

} // namespace Lumerix
