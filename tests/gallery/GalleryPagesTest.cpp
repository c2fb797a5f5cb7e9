#include "gallery/GalleryPages.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::GalleryPages;

namespace {

struct TLayoutCase {
    const char* Name;
    int Pictures;
    int PerRow;
    int Rows;
    int Columns;
    int CellWidth;
};

class TableLayoutCase : public testing::TestWithParam<TLayoutCase> {};

TEST_P(TableLayoutCase, RowsColumnsAndCellWidth) {
    const TLayoutCase& c = GetParam();
    const TTableLayout layout = TableLayout(c.Pictures, c.PerRow);
    EXPECT_EQ(layout.Rows, c.Rows);
    EXPECT_EQ(layout.Columns, c.Columns);
    EXPECT_EQ(layout.CellWidth, c.CellWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Gallery, TableLayoutCase,
    testing::Values(TLayoutCase{"TenByFour", 10, 4, 3, 4, 25},
                    TLayoutCase{"EightByFourGivesThreeColumns", 8, 4, 3, 3, 33},
                    TLayoutCase{"TwelveByFourLeavesLastRowEmpty", 12, 4, 4, 4, 25},
                    TLayoutCase{"EmptyListIsOneEmptyCell", 0, 4, 1, 1, 100},
                    TLayoutCase{"OnePictureTwoColumns", 1, 4, 1, 2, 50},
                    TLayoutCase{"OnePerRowIsOneColumn", 5, 1, 6, 1, 100},
                    TLayoutCase{"FewerThanARow", 3, 10, 1, 4, 25},
                    TLayoutCase{"ZeroPerRowCountsAsOne", 3, 0, 4, 1, 100},
                    TLayoutCase{"SevenColumnsRoundDown", 13, 2, 7, 2, 50},
                    TLayoutCase{"ThirtyByFive", 30, 5, 7, 5, 20}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GalleryText, EscapesMarkupAndWritesNonAsciiAsReferences) {
    EXPECT_EQ(Escape(QStringLiteral("<b>\"Tom & Jerry\"</b>")),
              QStringLiteral("&lt;b&gt;&quot;Tom &amp; Jerry&quot;&lt;/b&gt;"));
    // A character beyond the basic plane is one reference, not two halves.
    EXPECT_EQ(AsciiReferences(QStringLiteral("Grüße ß € 😀")),
              QStringLiteral("Gr&#252;&#223;e &#223; &#8364; &#128512;"));
    EXPECT_EQ(AsciiReferences(QStringLiteral("&lt;plain&gt;")), QStringLiteral("&lt;plain&gt;"));
}

TEST(GalleryText, AddressesCannotBeCutShort) {
    EXPECT_EQ(Address(QStringLiteral("foto_#1.html")), QStringLiteral("foto_%231.html"));
    EXPECT_EQ(Address(QStringLiteral("caf\u00e9.jpg")), QStringLiteral("caf%C3%A9.jpg"));
    EXPECT_EQ(Address(QStringLiteral("a\"b.jpg")), QStringLiteral("a%22b.jpg"));
}

TEST(GalleryText, LinkLineWithAndWithoutFileName) {
    const QString image =
        "<a href=\"strand.html\"><img src=\"strand_thumb.jpg\" width=\"107\" height=\"80\" "
        "border=\"0\" alt=\"Klicken Sie auf das Bild, um es zu vergr&ouml;&szlig;ern\">";
    EXPECT_EQ(LinkLine("strand", 107, 80, "Abends", true), image + "<br>strand.html<br></a>Abends");
    EXPECT_EQ(LinkLine("strand", 107, 80, "Abends", false), image + "</a><br>Abends");
    // A caption cannot open markup of its own.
    EXPECT_TRUE(LinkLine("s", 1, 1, "<script>x</script>", false)
                    .endsWith("&lt;script&gt;x&lt;/script&gt;"));
}

TEST(GalleryText, PicturePageBody) {
    const QStringList body =
        PicturePageBody("Urlaub & Meer", "strand", "Abends", true, "ende", "anfang", false);
    const QStringList expected = {
        "<CENTER><div class=\"header\">",
        "Urlaub &amp; Meer",
        "</div><br>",
        "</CENTER>",
        "<table height=\"75%\" width=\"100%\"><tr><td valign=\"top\">",
        "<div align=\"center\"><a href=\"gallery.html\"><img src=\"strand.jpg\" "
        "border=\"0\"></a>",
        "<br>strand.jpg<br>Abends<br>",
        "<A HREF=\"ende.html\"><IMG SRC=\"previous.gif\" BORDER=\"0\" ALT=\"Previous "
        "Picture\"></A>&nbsp;&nbsp;&nbsp;&nbsp;",
        "<A HREF=\"gallery.html\"><IMG SRC=\"home.gif\" BORDER=\"0\" ALT=\"All "
        "Pictures\"></A>&nbsp;&nbsp;&nbsp;&nbsp;",
        "<A HREF=\"anfang.html\"><IMG SRC=\"next.gif\" BORDER=\"0\" ALT=\"Next Picture\"></A> ",
        "</div>",
        "<tr><td></table>",
    };
    EXPECT_EQ(body, expected);
    EXPECT_EQ(PicturePageBody("T", "s", "c", false, "s", "s", true)[6], "<br>c<br>");
    EXPECT_EQ(NavigationLines("a", "b", true)[2],
              "<A HREF=\"b.html\"><IMG SRC=\"next.gif\" BORDER=\"0\" ALT=\"Nächstes "
              "Bild\"></A> ");
}

TEST(GalleryText, TemplatesByLanguage) {
    TPageTexts texts{"Lumerix",
                     "lumerix.example.org",
                     "https://lumerix.example.org/",
                     "lumerix.example.org",
                     "Ferien <2024>",
                     true};
    QStringList head = OverviewHead(texts);
    ASSERT_EQ(head.size(), 10);
    EXPECT_EQ(head[0], "<HTML><HEAD><TITLE>Lumerix</TITLE>");
    EXPECT_EQ(head[2], "<META NAME=\"description\" CONTENT=\"Seite erstellt mit Lumerix "
                       "lumerix.example.org\">");
    EXPECT_EQ(head[7], "Ferien &lt;2024&gt;</div><br><br>");
    EXPECT_EQ(PictureHead(texts)[2], head[2]);
    EXPECT_EQ(OverviewTail(texts), (QStringList{"</table>", "<HR>", " <CENTER>", FooterLine(texts),
                                                " </CENTER>", "</BODY>", "</HTML>"}));
    EXPECT_TRUE(FooterLine(texts).startsWith("Erstellt mit Lumerix --- "));
    EXPECT_TRUE(FooterLine(texts).contains(
        "<A HREF=\"https://lumerix.example.org/\" TARGET=\"_blank\">lumerix.example.org</A>"));

    texts.German = false;
    head = OverviewHead(texts);
    EXPECT_EQ(head[2], "<META NAME=\"description\" CONTENT=\"Created with Lumerix "
                       "lumerix.example.org\">");
    EXPECT_EQ(head[8], "Click the pictures to enlarge.</CENTER><BR>");
    EXPECT_EQ(PictureHead(texts)[2], "<META NAME=\"description\" CONTENT=\"Page created with "
                                     "Lumerix lumerix.example.org\">");
    EXPECT_EQ(PictureHead(texts).size(), 6);
    EXPECT_TRUE(FooterLine(texts).startsWith("Created with Lumerix --- "));
}

TEST(GalleryText, StyleSheetLineByLine) {
    // Text red (0x0000FF as a Windows colour value), background a light grey.
    const QStringList css = StyleSheet(0x0000FF, 0xE0E0E0);
    QStringList expected = {"",
                            "BODY {",
                            " FONT-FAMILY: verdana, arial, helvetica;",
                            " FONT-SIZE: 10pt;",
                            " FONT-WEIGHT: normal;",
                            " margin-top:20px;",
                            " margin-left:0px;",
                            " color:#FF0000;",
                            " background-color :#E0E0E0;",
                            "}"};
    for (const char* state : {"a:link {", "a:visited {", "a:active {", "a:hover {"})
        expected << state << " color:#FF0000;"
                 << " text-decoration: none"
                 << "}";
    expected << "td {"
             << " FONT-FAMILY: verdana, arial, helvetica;"
             << " FONT-SIZE: 10pt;"
             << " color:#FF0000;"
             << "}";
    expected << ".footer {"
             << " FONT-FAMILY: verdana, arial,  helvetica;"
             << " FONT-SIZE: 10pt;"
             << " color:#FF0000;"
             << "}";
    expected << ".header {"
             << " FONT-SIZE: 14pt;"
             << " color:#FF0000;"
             << "}";
    expected << ".partner {"
             << " FONT-FAMILY: arial, verdana, helvetica;"
             << " FONT-SIZE: 6pt;"
             << " color:#FF0000;"
             << "}";
    for (const char* state :
         {"a.partner:link {", "a.partner:visited {", "a.partner:active {", "a.partner:hover {"})
        expected << state << " color:#FF0000;"
                 << " text-decoration: none"
                 << "}";
    EXPECT_EQ(css, expected);
}

} // namespace
