#include "GalleryPages.h"

#include "shell/Colors.h"

#include <QUrl>

namespace Lumerix::GalleryPages {

namespace {

const QString AltText = QStringLiteral("Klicken Sie auf das Bild, um es zu vergr&ouml;&szlig;ern");

QString Quoted(const QString& text) {
    return u'"' + text + u'"';
}

// Lines 1 to 3 of both head templates; `otherStart` opens the description in English.
QStringList HeadStart(const TPageTexts& texts, const char* otherStart) {
    const QString product = Escape(texts.Product);
    const QString description =
        (texts.German ? QStringLiteral("<META NAME=\"description\" CONTENT=\"Seite erstellt mit ")
                      : QString::fromLatin1(otherStart)) +
        product + u' ' + Escape(texts.MakerAddress) + QStringLiteral("\">");
    return {QStringLiteral("<HTML><HEAD><TITLE>") + product + QStringLiteral("</TITLE>"),
            QStringLiteral("<META NAME=\"author\" CONTENT=\"") + product + QStringLiteral("\">"),
            description};
}

} // namespace

TTableLayout TableLayout(int pictureCount, int perRow) {
    TTableLayout layout;
    const int n = std::max(pictureCount, 0);
    layout.Rows = n / std::max(perRow, 1) + 1;
    layout.Columns = n / layout.Rows + 1;
    layout.CellWidth = 100 / layout.Columns;
    return layout;
}

QString Escape(const QString& text) {
    return text.toHtmlEscaped();
}

QString AsciiReferences(const QString& text) {
    QString ascii;
    ascii.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80)
            ascii.append(QChar(char16_t(c)));
        else
            ascii += QStringLiteral("&#") + QString::number(quint32(c)) + u';';
    }
    return ascii;
}

QString Address(const QString& fileName) {
    // Percent-encoding leaves only letters, digits and "-._~", so "#" or "?" in a name cannot
    // cut the address short; non-ASCII letters go as UTF-8, the file system's spelling.
    return QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}

QStringList OverviewHead(const TPageTexts& texts) {
    QStringList lines = HeadStart(texts, "<META NAME=\"description\" CONTENT=\"Created with ");
    lines << QStringLiteral("<LINK href=\"layout.css\" rel=\"stylesheet\" type=\"text/css\">")
          << QStringLiteral("</HEAD>") << QStringLiteral("<BODY>")
          << QStringLiteral("<CENTER><div class=\"header\">")
          << Escape(texts.Title) + QStringLiteral("</div><br><br>")
          << (texts.German ? QStringLiteral("Klicken Sie auf die Bilder, um diese in "
                                            "Originalgr&ouml;&szlig;e zu sehen.</CENTER><BR>")
                           : QStringLiteral("Click the pictures to enlarge.</CENTER><BR>"))
          << QStringLiteral(
                 "<table width=\"100%\" border=\"0\" cellspacing=\"15\" cellpadding=\"0\">");
    return lines;
}

QStringList OverviewTail(const TPageTexts& texts) {
    return QStringList{QStringLiteral("</table>")} + PictureTail(texts);
}

QStringList PictureHead(const TPageTexts& texts) {
    QStringList lines = HeadStart(texts, "<META NAME=\"description\" CONTENT=\"Page created with ");
    lines << QStringLiteral("<LINK href=\"layout.css\" rel=\"stylesheet\" type=\"text/css\">")
          << QStringLiteral("</HEAD>") << QStringLiteral("<BODY>");
    return lines;
}

QStringList PictureTail(const TPageTexts& texts) {
    return {QStringLiteral("<HR>"),       QStringLiteral(" <CENTER>"), FooterLine(texts),
            QStringLiteral(" </CENTER>"), QStringLiteral("</BODY>"),   QStringLiteral("</HTML>")};
}

QString FooterLine(const TPageTexts& texts) {
    return (texts.German ? QStringLiteral("Erstellt mit ") : QStringLiteral("Created with ")) +
           Escape(texts.Product) + QStringLiteral(" --- ") +
           (texts.German ? QStringLiteral("Infos und Download: ")
                         : QStringLiteral("Information and download: ")) +
           QStringLiteral("<A HREF=") + Quoted(Escape(texts.FooterUrl)) +
           QStringLiteral(" TARGET=\"_blank\">") + Escape(texts.FooterText) +
           QStringLiteral("</A>");
}

QString EmptyCell() {
    return QStringLiteral("<td align=\"center\">&nbsp;</td>");
}

QStringList PictureCell(int cellWidth, const QString& base, int thumbWidth, int thumbHeight,
                        const QString& caption, bool fileNameVisible) {
    return {QStringLiteral("<td align=\"center\" width=\"") + QString::number(cellWidth) +
                QStringLiteral("%\">"),
            LinkLine(base, thumbWidth, thumbHeight, caption, fileNameVisible),
            QStringLiteral("</td>")};
}

QString LinkLine(const QString& base, int thumbWidth, int thumbHeight, const QString& caption,
                 bool fileNameVisible) {
    const QString page = base + QStringLiteral(".html");
    const QString image = QStringLiteral("<a href=\"") + Address(page) + QStringLiteral("\">") +
                          QStringLiteral("<img src=\"") +
                          Address(base + QStringLiteral("_thumb.jpg")) +
                          QStringLiteral("\" width=\"") + QString::number(thumbWidth) +
                          QStringLiteral("\" height=\"") + QString::number(thumbHeight) +
                          QStringLiteral("\" border=\"0\" alt=\"") + AltText + u'"' + u'>';
    if (fileNameVisible)
        return image + QStringLiteral("<br>") + Escape(page) + QStringLiteral("<br></a>") +
               Escape(caption);
    return image + QStringLiteral("</a><br>") + Escape(caption);
}

QStringList PicturePageBody(const QString& title, const QString& base, const QString& caption,
                            bool fileNameVisible, const QString& previousBase,
                            const QString& nextBase, bool german) {
    const QString large = base + QStringLiteral(".jpg");
    QStringList lines{
        QStringLiteral("<CENTER><div class=\"header\">"),
        Escape(title),
        QStringLiteral("</div><br>"),
        QStringLiteral("</CENTER>"),
        QStringLiteral("<table height=\"75%\" width=\"100%\"><tr><td valign=\"top\">"),
        QStringLiteral("<div align=\"center\"><a href=\"gallery.html\"><img src=\"") +
            Address(large) + QStringLiteral("\" border=\"0\"></a>"),
        fileNameVisible ? QStringLiteral("<br>") + Escape(large) + QStringLiteral("<br>") +
                              Escape(caption) + QStringLiteral("<br>")
                        : QStringLiteral("<br>") + Escape(caption) + QStringLiteral("<br>"),
    };
    lines << NavigationLines(previousBase, nextBase, german);
    lines << QStringLiteral("</div>") << QStringLiteral("<tr><td></table>");
    return lines;
}

QStringList NavigationLines(const QString& previousBase, const QString& nextBase, bool german) {
    const QString previousAlt =
        german ? QStringLiteral("Vorheriges Bild") : QStringLiteral("Previous Picture");
    const QString homeAlt = german ? QStringLiteral("Alle Bilder") : QStringLiteral("All Pictures");
    const QString nextAlt =
        german ? QStringLiteral("Nächstes Bild") : QStringLiteral("Next Picture");
    const QString spacing = QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;");
    return {QStringLiteral("<A HREF=\"") + Address(previousBase + QStringLiteral(".html")) +
                QStringLiteral("\"><IMG SRC=\"previous.gif\" BORDER=\"0\" ALT=\"") + previousAlt +
                QStringLiteral("\"></A>") + spacing,
            QStringLiteral("<A HREF=\"gallery.html\"><IMG SRC=\"home.gif\" BORDER=\"0\" ALT=\"") +
                homeAlt + QStringLiteral("\"></A>") + spacing,
            QStringLiteral("<A HREF=\"") + Address(nextBase + QStringLiteral(".html")) +
                QStringLiteral("\"><IMG SRC=\"next.gif\" BORDER=\"0\" ALT=\"") + nextAlt +
                QStringLiteral("\"></A> ")};
}

QStringList StyleSheet(qint64 textColour, qint64 backgroundColour) {
    const QString colour = QStringLiteral(" color:") + Colors::ColorToHtml(textColour) + u';';
    QStringList lines{QString(),
                      QStringLiteral("BODY {"),
                      QStringLiteral(" FONT-FAMILY: verdana, arial, helvetica;"),
                      QStringLiteral(" FONT-SIZE: 10pt;"),
                      QStringLiteral(" FONT-WEIGHT: normal;"),
                      QStringLiteral(" margin-top:20px;"),
                      QStringLiteral(" margin-left:0px;"),
                      colour,
                      QStringLiteral(" background-color :") +
                          Colors::ColorToHtml(backgroundColour) + u';',
                      QStringLiteral("}")};
    auto links = [&](const QString& prefix) {
        for (const char* state : {"link", "visited", "active", "hover"})
            lines << prefix + QString::fromLatin1(state) + QStringLiteral(" {") << colour
                  << QStringLiteral(" text-decoration: none") << QStringLiteral("}");
    };
    links(QStringLiteral("a:"));
    lines << QStringLiteral("td {") << QStringLiteral(" FONT-FAMILY: verdana, arial, helvetica;")
          << QStringLiteral(" FONT-SIZE: 10pt;") << colour << QStringLiteral("}");
    lines << QStringLiteral(".footer {")
          << QStringLiteral(" FONT-FAMILY: verdana, arial,  helvetica;")
          << QStringLiteral(" FONT-SIZE: 10pt;") << colour << QStringLiteral("}");
    lines << QStringLiteral(".header {") << QStringLiteral(" FONT-SIZE: 14pt;") << colour
          << QStringLiteral("}");
    lines << QStringLiteral(".partner {")
          << QStringLiteral(" FONT-FAMILY: arial, verdana, helvetica;")
          << QStringLiteral(" FONT-SIZE: 6pt;") << colour << QStringLiteral("}");
    links(QStringLiteral("a.partner:"));
    return lines;
}

} // namespace Lumerix::GalleryPages
