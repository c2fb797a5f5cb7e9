#include "Convert.h"

#include "TextCodec.h"

#include <QList>

#include <string_view>

namespace Lumerix::Convert {

namespace {

// A text as Windows-1252 units: a byte value (0..255) where the code page has the character,
// otherwise the Unicode character tagged with Outside, so that it survives the byte rules.
using Units = QList<char32_t>;
constexpr char32_t Outside = 0x10000000;

Units ToUnits(const QString& text) {
    Units units;
    units.reserve(text.size());
    for (const QChar c : text) {
        const int byte = TextCodec::Windows1252Byte(c);
        units.append(byte >= 0 ? char32_t(byte) : (Outside | c.unicode()));
    }
    return units;
}

QString FromUnits(const Units& units) {
    QByteArray byte(1, '\0');
    QString text;
    text.reserve(units.size());
    for (const char32_t unit : units) {
        if (unit & Outside) {
            text.append(QChar(char16_t(unit & 0xFFFF)));
        } else {
            byte[0] = char(unit);
            text.append(TextCodec::FromWindows1252(byte));
        }
    }
    return text;
}

void ReplaceAll(Units& units, std::u32string_view found, std::u32string_view replacement) {
    Units result;
    result.reserve(units.size());
    for (qsizetype i = 0; i < units.size();) {
        const bool match = i + qsizetype(found.size()) <= units.size() &&
                           std::equal(found.begin(), found.end(), units.begin() + i);
        if (match) {
            result.append(Units(replacement.begin(), replacement.end()));
            i += found.size();
        } else {
            result.append(units[i++]);
        }
    }
    units = std::move(result);
}

Units RepairUnits(Units units) {
    struct Rule {
        std::u32string_view Found;
        std::u32string_view Replacement;
    };
    static constexpr Rule Rules[] = {
        {U"\xC3\x9C", U"\xDC"}, {U"\xC3\xBC", U"\xFC"}, {U"\xC3\x84", U"\xC4"},
        {U"\xC3\x22", U"\xC4"}, {U"\xC3\xA4", U"\xE4"}, {U"\xC3\xFB", U"\xD6"},
        {U"\xC3\x2D", U"\xD6"}, {U"\xC3\xB6", U"\xF6"}, {U"\xC3\x9F", U"\xDF"},
        {U"\x80", U"Euro"},     {U"\xE2\x82", U"Euro"},
    };
    for (const Rule& rule : Rules)
        ReplaceAll(units, rule.Found, rule.Replacement);
    return units;
}

char32_t SafeUnit(char32_t unit) {
    if (unit & Outside)
        return U'_';
    switch (unit) {
    case U' ':
    case U'\'':
    case U'.':
    case U'-':
    case U'!':
    case U'$':
    case U'%':
    case U'=':
    case U'"':
    case 0xA7:
    case U'?':
    case U',':
    case 0xB4:
    case U'`':
    case 0x80:
    case 0xE9:
    case 0xE1:
    case 0xFA:
    case 0xF3:
    case 0xEA:
    case 0xE2:
    case 0xFB:
    case 0xF4:
        return U'_';
    case U'*':
    case U':':
    case U'(':
    case U')':
    case U'\\':
    case U'/':
    case U'>':
    case U'<':
        return U'x';
    case U'&':
        return U'a';
    default:
        // Control characters are never part of a usable file name.
        return unit < 0x20 || unit == 0x7F ? U'_' : unit;
    }
}

std::u32string_view Transliteration(char32_t unit) {
    switch (unit) {
    case 0xC4:
        return U"Ae";
    case 0xD6:
        return U"Oe";
    case 0xDC:
        return U"Ue";
    case 0xDF:
        return U"ss";
    case 0xE4:
        return U"ae";
    case 0xF6:
        return U"oe";
    case 0xFC:
        return U"ue";
    default:
        return {};
    }
}

} // namespace

QString RepairUmlauts(const QString& text) {
    return FromUnits(RepairUnits(ToUnits(text)));
}

QString SafeFileName(const QString& text) {
    const Units repaired = RepairUnits(ToUnits(text));
    Units safe;
    safe.reserve(repaired.size());
    for (const char32_t unit : repaired) {
        const char32_t replaced = SafeUnit(unit);
        const std::u32string_view spelled = Transliteration(replaced);
        if (spelled.empty())
            safe.append(replaced);
        else
            safe.append(Units(spelled.begin(), spelled.end()));
    }
    for (char32_t& unit : safe) {
        if (unit >= U'A' && unit <= U'Z')
            unit += U'a' - U'A';
    }
    return FromUnits(safe);
}

} // namespace Lumerix::Convert
