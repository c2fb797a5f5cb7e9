#include "TLanguage.h"

#include "Strings.h"
#include "TextCodec.h"

#include <QDir>
#include <QFileInfo>

namespace Lumerix {

const QStringList& TLanguage::Codes() {
    static const QStringList codes = {QStringLiteral("GERMAN"), QStringLiteral("ENGLISH"),
                                      QStringLiteral("FRANCE"), QStringLiteral("ITALIAN"),
                                      QStringLiteral("SPAIN")};
    return codes;
}

bool TLanguage::IsKnownCode(const QString& code) {
    return Codes().contains(code);
}

TLanguage::TLanguage(QString code, const QString& languageIni)
    : LanguageCode(IsKnownCode(code) ? std::move(code) : QStringLiteral("GERMAN")),
      Texts(languageIni) {}

QString TLanguage::SubstituteProductName(const QString& text) {
    static const QString placeholder = QStringLiteral("$PRG_NAME$");
    const qsizetype at = text.indexOf(placeholder, 0, Qt::CaseInsensitive);
    if (at < 0)
        return text;
    return text.left(at) + QString::fromUtf16(ProductName) + text.mid(at + placeholder.size());
}

QString TLanguage::Text(int number) const {
    QString text =
        SubstituteProductName(Texts.ReadString(LanguageCode, QString::number(number), QString()));
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return text;
}

QString TLanguage::TipFolder() const {
    static const QHash<QString, QString> folders = {
        {QStringLiteral("GERMAN"), QStringLiteral("tips_GR/")},
        {QStringLiteral("ENGLISH"), QStringLiteral("tips_EN/")},
        {QStringLiteral("FRANCE"), QStringLiteral("tips_FR/")},
        {QStringLiteral("ITALIAN"), QStringLiteral("tips_IT/")},
        {QStringLiteral("SPAIN"), QStringLiteral("tips_SP/")}};
    return folders.value(LanguageCode);
}

QString TLanguage::HelpFolder() const {
    return Pick(QStringLiteral("help_GR/"), QStringLiteral("help_EN/"));
}

TTipSequence::TTipSequence(QString tipFolder) : Folder(std::move(tipFolder)) {}

std::optional<QStringList> TTipSequence::Next() {
    const QString file = QDir(Folder).filePath(
        Strings::PadLeft(QString::number(Counter + 1), u'0', 4) + QStringLiteral(".tpp"));
    if (!QFileInfo::exists(file))
        return std::nullopt;
    ++Counter;
    return TextCodec::ReadLines(file);
}

} // namespace Lumerix
