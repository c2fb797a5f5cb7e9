#pragma once

#include <QString>

/// Word splitting and path text routines on which every list entry and INI value is parsed.
/// A word is a maximal run of characters outside the delimiter set: runs of delimiters count
/// as one, so leading, trailing and repeated delimiters never produce empty words.
namespace Lumerix::Strings {

int WordCount(const QString& text, const QString& delimiters);

/// The n-th word (n from 1), or an empty text when there are fewer than n words.
QString ExtractWord(int n, const QString& text, const QString& delimiters);

/// Prefixes `text` with `fill` up to `width` characters; longer texts stay unchanged.
QString PadLeft(const QString& text, QChar fill, int width);

/// Empty stays empty; "X:" gets the separator; other one- or two-character texts stay;
/// a longer path gets "/" appended unless it already ends in one.
QString AddBackslash(const QString& path);

/// Directory part of a path: everything before the last "/", the root "/" kept whole,
/// empty when there is no separator.
QString ExtractFileDir(const QString& path);

/// A folder path in the run state's form: cleaned, absolute as given, ending in "/".
QString FolderPath(const QString& path);

} // namespace Lumerix::Strings
