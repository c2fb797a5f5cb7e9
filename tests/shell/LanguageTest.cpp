#include "shell/QtTranslations.h"
#include "shell/TIniFile.h"
#include "shell/TLanguage.h"
#include "support/TTestKit.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDirIterator>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

TEST(Language, LookupReplacesTheFirstPlaceholderInAnyCase) {
    TTestKit kit;
    const QString ini = kit.Root() + QStringLiteral("Language.ini");
    TTestKit::WriteFile(
        ini, "[ENGLISH]\n1=Welcome to $prg_name$!\n2=$PRG_NAME$ and $PRG_NAME$\n3=Two\\nlines\n"
             "[GERMAN]\n1=Willkommen\n");
    const TLanguage english(QStringLiteral("ENGLISH"), ini);
    EXPECT_EQ(english.Text(1), "Welcome to Lumerix!");
    EXPECT_EQ(english.Text(2), "Lumerix and $PRG_NAME$");
    EXPECT_EQ(english.Text(3), "Two\nlines");
    EXPECT_EQ(english.Text(99), "");
    EXPECT_EQ(TLanguage(QStringLiteral("KLINGON"), ini).Text(1), "Willkommen");
}

TEST(Language, FoldersFollowTheCode) {
    const QString none;
    EXPECT_EQ(TLanguage("GERMAN", none).TipFolder(), "tips_GR/");
    EXPECT_EQ(TLanguage("SPAIN", none).TipFolder(), "tips_SP/");
    EXPECT_EQ(TLanguage("GERMAN", none).HelpFolder(), "help_GR/");
    EXPECT_EQ(TLanguage("FRANCE", none).HelpFolder(), "help_EN/");
    EXPECT_TRUE(TLanguage("GERMAN", none).IsGerman());
    EXPECT_FALSE(TLanguage("ITALIAN", none).IsGerman());
}

// Every message number the program looks up, and every number the shipped file promises,
// has a text in every language.
TEST(Language, ShippedTextsCoverEveryNumberInEveryLanguage) {
    QSet<int> numbers;
    const QRegularExpression lookup(QStringLiteral(R"(\bText\((\d+)(\s*\+\s*\w+)?\))"));
    QDirIterator sources(QStringLiteral(LUMERIX_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                         QDirIterator::Subdirectories);
    while (sources.hasNext()) {
        QFile file(sources.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const auto& match : lookup.globalMatch(QString::fromUtf8(file.readAll())))
            numbers.insert(match.captured(1).toInt());
    }
    EXPECT_GT(numbers.size(), 10);
    const std::pair<int, int> ranges[] = {
        {518, 613},   {1001, 1122},   {1500, 1511},   {1800, 1803},   {2000, 2011},
        {2400, 2404}, {2600, 2603},   {2800, 2807},   {3000, 3011},   {3500, 3514},
        {3700, 3705}, {4200, 4206},   {4600, 4626},   {4800, 4803},   {5000, 5000},
        {5200, 5207}, {6000, 6003},   {6200, 6206},   {6400, 6400},   {6600, 6611},
        {6700, 6701}, {10000, 10031}, {12001, 12008}, {14000, 14001}, {100001, 100004}};
    for (const auto& [first, last] : ranges) {
        for (int number = first; number <= last; ++number)
            numbers.insert(number);
    }
    const TIniFile ini(QStringLiteral(LUMERIX_STAGED_KIT "/Language.ini"));
    EXPECT_EQ(ini.Sections(), TLanguage::Codes());
    for (const QString& code : TLanguage::Codes()) {
        for (const int number : numbers)
            EXPECT_FALSE(ini.ReadString(code, QString::number(number), {}).isEmpty())
                << code.toStdString() << " " << number;
    }
}

TEST(TipSequence, StopsAtTheFirstMissingTip) {
    TTestKit kit;
    const QString folder = kit.Root() + QStringLiteral("tips_GR/");
    for (const char* name : {"0001.tpp", "0002.tpp", "0003.tpp"})
        TTestKit::WriteFile(folder + QString::fromLatin1(name),
                            QByteArray("Tipp ") + name + "\nZeile 2\n");
    TTipSequence tips(folder);
    for (const char* name : {"0001.tpp", "0002.tpp", "0003.tpp"})
        EXPECT_EQ(tips.Next(),
                  (QStringList{QStringLiteral("Tipp ") + QString::fromLatin1(name), "Zeile 2"}));
    EXPECT_FALSE(tips.Next().has_value());
    tips.Restart();
    EXPECT_EQ(tips.Next()->first(), "Tipp 0001.tpp");
}

TEST(TipSequence, ShippedTipsAreNumberedWithoutGapsInEveryLanguage) {
    qsizetype germanCount = -1;
    for (const QString& code : TLanguage::Codes()) {
        TTipSequence tips(QStringLiteral(LUMERIX_STAGED_KIT "/") + TLanguage(code, {}).TipFolder());
        qsizetype count = 0;
        while (tips.Next())
            ++count;
        EXPECT_GE(count, 10) << code.toStdString();
        if (germanCount < 0)
            germanCount = count;
        EXPECT_EQ(count, germanCount) << code.toStdString();
    }
}

} // namespace

namespace {

TEST(QtTranslations, QtsOwnTextsSpeakTheInterfaceLanguage) {
    EXPECT_FALSE(Lumerix::QtTranslations::Install("ENGLISH"));
    ASSERT_TRUE(Lumerix::QtTranslations::Install("GERMAN")) << "qt6-translations-l10n missing";
    QMessageBox box(QMessageBox::Question, "Lumerix", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "&Ja");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Abbrechen");
    // The other tests of this program expect Qt's English.
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace
