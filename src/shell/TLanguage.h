#pragma once

#include "TIniFile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace Lumerix {

/// The product name that replaces "$PRG_NAME$" in every message text.
inline constexpr char16_t ProductName[] = u"Lumerix";

/// The language of a run and the lookup of its numbered message texts in `Language.ini`.
class TLanguage {
public:
    static const QStringList& Codes(); ///< "GERMAN", "ENGLISH", "FRANCE", "ITALIAN", "SPAIN"
    static bool IsKnownCode(const QString& code);

    /// A language for `code` (an unknown code is taken as "GERMAN") reading `languageIni`.
    TLanguage(QString code, const QString& languageIni);

    const QString& Code() const { return LanguageCode; }
    /// German folder names, file names and literal texts; the other four share one English set.
    bool IsGerman() const { return LanguageCode == u"GERMAN"; }

    /// Message text n: empty when absent; the first "$PRG_NAME$" (any case) becomes the
    /// product name and "\n" a line break.
    QString Text(int number) const;

    /// Tip folder ("tips_GR/" …) and help folder ("help_GR/" or "help_EN/") names.
    QString TipFolder() const;
    QString HelpFolder() const;

    /// One of two literals chosen by the language: German, or English for the other codes.
    QString Pick(const QString& german, const QString& english) const {
        return IsGerman() ? german : english;
    }

    static QString SubstituteProductName(const QString& text);

private:
    QString LanguageCode;
    TIniFile Texts;
};

/// The tips of one folder, numbered 0001.tpp onwards without gaps.
class TTipSequence {
public:
    explicit TTipSequence(QString tipFolder);

    /// Starts again before the first tip.
    void Restart() { Counter = 0; }
    /// The next tip's lines, or nothing when there is no further tip (the previous one stays).
    std::optional<QStringList> Next();

private:
    QString Folder;
    int Counter = 0;
};

} // namespace Lumerix
