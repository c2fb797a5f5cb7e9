#pragma once

#include <QString>

/// File-name-safe text. Both routines are byte rules on the Windows-1252 form of the text, so
/// names made from the same caption or path match those of the Windows program.
namespace Lumerix::Convert {

/// Mends UTF-8 umlauts (and their forms damaged by a detour through another code page) into
/// the single Windows-1252 letters, and writes euro signs as "Euro".
QString RepairUmlauts(const QString& text);

/// Lower-case text of letters, digits and "_" (plus other letters of the code page) that is
/// always a valid file name: separators, punctuation and wildcards are replaced, umlauts
/// transliterated. For example "C:\\Fotos\\Übersicht 2.JPG" gives "cxxfotosxuebersicht_2_jpg".
QString SafeFileName(const QString& text);

} // namespace Lumerix::Convert
