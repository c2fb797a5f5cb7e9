#include "shell/Convert.h"
#include "shell/Colors.h"
#include "shell/TextCodec.h"

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

// Texts as the Windows program held them: bytes of the Windows-1252 code page.
QString Cp1252(const char* bytes) {
    return TextCodec::FromWindows1252(QByteArray(bytes));
}

struct TRepairCase {
    const char* Name;
    const char* Found;
    const char* Expected;
};

void PrintTo(const TRepairCase& c, std::ostream* out) {
    *out << c.Name;
}

class RepairUmlauts : public testing::TestWithParam<TRepairCase> {};

TEST_P(RepairUmlauts, MendsUtf8AndDamagedUmlauts) {
    EXPECT_EQ(Convert::RepairUmlauts(Cp1252(GetParam().Found)), Cp1252(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RepairUmlauts,
    testing::Values(TRepairCase{"CapitalUe", "\xC3\x9C", "\xDC"},
                    TRepairCase{"SmallUe", "\xC3\xBC", "\xFC"},
                    TRepairCase{"CapitalAe", "\xC3\x84", "\xC4"},
                    TRepairCase{"DamagedCapitalAe", "\xC3\x22", "\xC4"},
                    TRepairCase{"SmallAe", "\xC3\xA4", "\xE4"},
                    TRepairCase{"DamagedCapitalOe", "\xC3\xFB", "\xD6"},
                    TRepairCase{"DamagedCapitalOeDash", "\xC3-", "\xD6"},
                    TRepairCase{"SmallOe", "\xC3\xB6", "\xF6"},
                    TRepairCase{"SharpS", "\xC3\x9F", "\xDF"},
                    TRepairCase{"EuroByte", "5\x80", "5Euro"},
                    TRepairCase{"Utf8EuroKeepsThirdByte", "\xE2\x82\xAC", "Euro\xAC"},
                    TRepairCase{"CapitalOeIsNotInTheTable", "\xC3\x96", "\xC3\x96"},
                    TRepairCase{"PlainTextUntouched", "Foto 1", "Foto 1"}),
    [](const testing::TestParamInfo<TRepairCase>& info) { return std::string(info.param.Name); });

TEST(Convert, RepairKeepsCharactersOutsideTheCodePage) {
    EXPECT_EQ(Convert::RepairUmlauts(QStringLiteral("Ω \u00C3\u00A4")), QStringLiteral("Ω ä"));
}

TEST(Convert, SafeFileNameExamples) {
    EXPECT_EQ(Convert::SafeFileName(QStringLiteral("C:\\Fotos\\Übersicht 2.JPG")),
              "cxxfotosxuebersicht_2_jpg");
    EXPECT_EQ(Convert::SafeFileName(QStringLiteral("Müller & Söhne (2).jpg")),
              "mueller_a_soehne_x2x_jpg");
    EXPECT_EQ(Convert::SafeFileName(QStringLiteral("/home/anna/Urlaub/Strand.jpg")),
              "xhomexannaxurlaubxstrand_jpg");
    EXPECT_EQ(Convert::SafeFileName(QStringLiteral("Café à l'été")), "caf__à_l__t_");
}

TEST(Convert, SafeFileNameIsAlwaysAUsableName) {
    // Wildcards, separators, control characters and characters outside the code page.
    const QString name = Convert::SafeFileName(QStringLiteral("a/b\\c*?<>|\"\t\n日本 €.jpg"));
    EXPECT_FALSE(name.contains(u'/'));
    EXPECT_FALSE(name.contains(u'\\'));
    EXPECT_FALSE(name.contains(u'\n'));
    EXPECT_FALSE(name.contains(u'\t'));
    EXPECT_EQ(name, "axbxcx_xx|______euro_jpg");
}

TEST(Colors, HtmlCodeFromWindowsColour) {
    EXPECT_EQ(Colors::ColorToHtml(255), "#FF0000");
    EXPECT_EQ(Colors::ColorToHtml(0x112233), "#332211");
    EXPECT_EQ(Colors::ColorToHtml(0x7F000000 | 0x00FF00), "#00FF00");
    EXPECT_EQ(Colors::FromQColor(Colors::ToQColor(0x123456)), 0x123456);
}

TEST(TextCodec, DecodesUtf8AndFallsBackToWindows1252) {
    EXPECT_EQ(TextCodec::Decode(QByteArray("Gr\xC3\xBC\xC3\x9F"
                                           "e")),
              QStringLiteral("Grüße"));
    EXPECT_EQ(TextCodec::Decode(QByteArray("Gr\xFC\xDF"
                                           "e \x80")),
              QStringLiteral("Grüße €"));
    EXPECT_EQ(TextCodec::Decode(QByteArray("\xEF\xBB\xBFok")), QStringLiteral("ok"));
    EXPECT_EQ(TextCodec::ToWindows1252(QStringLiteral("Grüße € Ω")), QByteArray("Gr\xFC\xDF"
                                                                                "e \x80 ?"));
}

TEST(TextCodec, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(char(byte));
    EXPECT_EQ(TextCodec::ToWindows1252(TextCodec::FromWindows1252(all)), all);
}

} // namespace
