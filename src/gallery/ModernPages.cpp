#include "ModernPages.h"

#include "GalleryPages.h"
#include "shell/Colors.h"

#include <QRegularExpression>

#include <cmath>

namespace Lumerix::ModernPages {

namespace {

using GalleryPages::Address;
using GalleryPages::Escape;

QString Attribute(const char* name, const QString& value) {
    return u' ' + QLatin1String(name) + QStringLiteral("=\"") + value + u'"';
}

QString Number(int value) {
    return QString::number(value);
}

QString PageName(const QString& base) {
    return Address(base + QStringLiteral(".html"));
}

const TVariant& Largest(const TPicture& picture, int mostTier) {
    const TVariant* chosen = &picture.Variants.first();
    for (const TVariant& variant : picture.Variants) {
        if (variant.Tier <= mostTier)
            chosen = &variant;
    }
    return *chosen;
}

// The img element, `src` at the tier below `mostTier` for browsers without srcset; `sizes`
// tells the browser how wide it is drawn, so it picks from srcset.
QString Image(const TPicture& picture, int srcTier, int mostTier, const QString& sizes, bool lazy) {
    const TVariant& shown = Largest(picture, srcTier);
    return QStringLiteral("<img") +
           Attribute("src", Address(VariantName(picture.Base, shown.Tier))) +
           Attribute("srcset", SourceSet(picture, mostTier)) + Attribute("sizes", sizes) +
           Attribute("width", Number(shown.Size.width())) +
           Attribute("height", Number(shown.Size.height())) +
           Attribute("alt", Escape(AltText(picture))) +
           (lazy ? QStringLiteral(" loading=\"lazy\"") : QString()) + u'>';
}

QStringList Head(const TTexts& texts, const QString& title) {
    const QString shown = title.trimmed().isEmpty() ? texts.Product : title;
    return {
        QStringLiteral("<!DOCTYPE html>"),
        QStringLiteral("<html lang=\"") +
            (texts.German ? QStringLiteral("de") : QStringLiteral("en")) + QStringLiteral("\">"),
        QStringLiteral("<head>"),
        QStringLiteral("<meta charset=\"utf-8\">"),
        QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"),
        QStringLiteral("<title>") + Escape(shown) + QStringLiteral("</title>"),
        QStringLiteral("<meta name=\"generator\" content=\"") + Escape(texts.Product) +
            QStringLiteral("\">"),
        QStringLiteral("<link rel=\"stylesheet\" href=\"modern.css\">"),
        QStringLiteral("<script src=\"lightbox.js\" defer></script>"),
        QStringLiteral("</head>"),
        QStringLiteral("<body>")};
}

QStringList Tail(const TTexts& texts) {
    return {QStringLiteral("<footer>") +
                (texts.German ? QStringLiteral("Erstellt mit ") : QStringLiteral("Created with ")) +
                Escape(texts.Product) + QStringLiteral(" &middot; <a href=\"") +
                Escape(texts.FooterUrl) + QStringLiteral("\">") + Escape(texts.FooterText) +
                QStringLiteral("</a></footer>"),
            QStringLiteral("</body>"), QStringLiteral("</html>")};
}

// "2024:06:01 14:03:22" as a time element; empty for anything else.
QString TakenElement(const QString& taken) {
    static const QRegularExpression Pattern(
        QStringLiteral("^(\\d{4}):(\\d{2}):(\\d{2}) (\\d{2}):(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch match = Pattern.match(taken.trimmed());
    if (!match.hasMatch() || match.captured(1) == u"0000")
        return {};
    const QString date = match.captured(1) + u'-' + match.captured(2) + u'-' + match.captured(3);
    const QString time = match.captured(4) + u':' + match.captured(5);
    return QStringLiteral("<time datetime=\"") + date + u'T' + time + u':' + match.captured(6) +
           QStringLiteral("\">") + date + u' ' + time + QStringLiteral("</time>");
}

} // namespace

QList<TVariant> Variants(QSize upright) {
    const int w = std::max(upright.width(), 1);
    const int h = std::max(upright.height(), 1);
    const int longSide = std::max(w, h);
    QList<TVariant> variants;
    for (const int tier : Tiers) {
        if (tier >= longSide) {
            variants.append({tier, QSize(w, h)});
            break;
        }
        const double scale = double(tier) / longSide;
        const QSize size = w >= h ? QSize(tier, std::max(1, int(std::nearbyint(h * scale))))
                                  : QSize(std::max(1, int(std::nearbyint(w * scale))), tier);
        variants.append({tier, size});
    }
    return variants;
}

QString VariantName(const QString& base, int tier) {
    return base + u'-' + QString::number(tier) + QStringLiteral(".jpg");
}

QString AltText(const TPicture& picture) {
    const QString caption = picture.Caption.simplified();
    return caption.isEmpty() ? picture.FileName : caption;
}

QString SourceSet(const TPicture& picture, int mostTier) {
    QStringList entries;
    for (const TVariant& variant : picture.Variants) {
        if (variant.Tier <= mostTier || entries.isEmpty())
            entries.append(Address(VariantName(picture.Base, variant.Tier)) + u' ' +
                           Number(variant.Size.width()) + u'w');
    }
    return entries.join(QStringLiteral(", "));
}

QStringList Overview(const TTexts& texts, const QList<TPicture>& pictures) {
    QStringList lines = Head(texts, texts.Title);
    lines << QStringLiteral("<header><h1>") + Escape(texts.Title) + QStringLiteral("</h1></header>")
          << QStringLiteral("<main>");
    // The lightbox's button labels travel with the list, in the page's language.
    lines << QStringLiteral("<ul class=\"grid\"") +
                 Attribute("data-previous", texts.German ? QStringLiteral("Vorheriges Bild")
                                                         : QStringLiteral("Previous picture")) +
                 Attribute("data-next", texts.German ? QStringLiteral("N\u00e4chstes Bild")
                                                     : QStringLiteral("Next picture")) +
                 Attribute("data-close", texts.German ? QStringLiteral("Schlie\u00dfen")
                                                      : QStringLiteral("Close")) +
                 u'>';
    for (const TPicture& picture : pictures) {
        const TVariant& full = picture.Variants.last();
        QString item = QStringLiteral("<li><a") + Attribute("href", PageName(picture.Base)) +
                       Attribute("data-srcset", SourceSet(picture, Tiers[std::size(Tiers) - 1])) +
                       Attribute("data-width", Number(full.Size.width())) +
                       Attribute("data-height", Number(full.Size.height())) +
                       Attribute("data-caption", Escape(picture.Caption.simplified())) + u'>' +
                       Image(picture, 480, OverviewTier,
                             QStringLiteral("(max-width: 540px) calc(100vw - 2rem), 300px"), true);
        QStringList below;
        if (texts.FileNamesVisible)
            below << Escape(picture.Base + QStringLiteral(".html"));
        if (texts.CaptionsVisible && !picture.Caption.trimmed().isEmpty())
            below << Escape(picture.Caption);
        if (!below.isEmpty())
            item += QStringLiteral("<span class=\"label\">") + below.join(QStringLiteral("<br>")) +
                    QStringLiteral("</span>");
        lines << item + QStringLiteral("</a></li>");
    }
    lines << QStringLiteral("</ul>") << QStringLiteral("</main>");
    return lines + Tail(texts);
}

QStringList PicturePage(const TTexts& texts, const QList<TPicture>& pictures, qsizetype index) {
    const qsizetype count = pictures.size();
    const TPicture& picture = pictures[index];
    const TPicture& previous = pictures[(index + count - 1) % count];
    const TPicture& next = pictures[(index + 1) % count];
    const QString caption = picture.Caption.trimmed();
    QStringList lines = Head(
        texts, caption.isEmpty() ? texts.Title : texts.Title + QStringLiteral(" – ") + caption);
    lines << QStringLiteral("<header><h1><a class=\"up\" href=\"gallery.html\">") +
                 Escape(texts.Title) + QStringLiteral("</a></h1></header>")
          << QStringLiteral("<main>") << QStringLiteral("<figure>")
          << Image(picture, 960, Tiers[std::size(Tiers) - 1], QStringLiteral("100vw"), false);
    QStringList below;
    if (!caption.isEmpty())
        below << QStringLiteral("<span class=\"caption\">") + Escape(caption) +
                     QStringLiteral("</span>");
    if (texts.FileNamesVisible)
        below << QStringLiteral("<span class=\"details\">") + Escape(picture.FileName) +
                     QStringLiteral("</span>");
    if (texts.DetailsVisible) {
        QStringList details;
        if (const QString taken = TakenElement(picture.Taken); !taken.isEmpty())
            details << taken;
        if (!picture.Camera.trimmed().isEmpty())
            details << Escape(picture.Camera.trimmed());
        if (!details.isEmpty())
            below << QStringLiteral("<span class=\"details\">") +
                         details.join(QStringLiteral(" &middot; ")) + QStringLiteral("</span>");
    }
    if (!below.isEmpty())
        lines << QStringLiteral("<figcaption>") + below.join(QStringLiteral("<br>")) +
                     QStringLiteral("</figcaption>");
    lines << QStringLiteral("</figure>");
    // The next picture's sizes ride on its link, so the script can load it ahead.
    lines << QStringLiteral("<nav class=\"steps\">")
          << QStringLiteral("<a rel=\"prev\"") + Attribute("href", PageName(previous.Base)) +
                 QStringLiteral(">&larr; ") +
                 (texts.German ? QStringLiteral("Vorheriges") : QStringLiteral("Previous")) +
                 QStringLiteral("</a>")
          << QStringLiteral("<a href=\"gallery.html\">") +
                 (texts.German ? QStringLiteral("Alle Bilder") : QStringLiteral("All pictures")) +
                 QStringLiteral("</a>")
          << QStringLiteral("<a rel=\"next\"") + Attribute("href", PageName(next.Base)) +
                 Attribute("data-srcset", SourceSet(next, Tiers[std::size(Tiers) - 1])) + u'>' +
                 (texts.German ? QStringLiteral("N\u00e4chstes") : QStringLiteral("Next")) +
                 QStringLiteral(" &rarr;</a>")
          << QStringLiteral("</nav>") << QStringLiteral("</main>");
    return lines + Tail(texts);
}

QStringList StyleSheet(qint64 textColour, qint64 backgroundColour) {
    const QString text = Colors::ColorToHtml(textColour);
    const QString background = Colors::ColorToHtml(backgroundColour);
    return {
        QStringLiteral("*, *::before, *::after { box-sizing: border-box; }"),
        QStringLiteral("html { -webkit-text-size-adjust: 100%; text-size-adjust: 100%; }"),
        QStringLiteral("body { margin: 0; font-family: system-ui, -apple-system, \"Segoe UI\", "
                       "Roboto, sans-serif; line-height: 1.4; color: ") +
            text + QStringLiteral("; background-color: ") + background + QStringLiteral("; }"),
        QStringLiteral("header, main, footer { padding: 1rem; }"),
        QStringLiteral("h1 { font-size: 1.5rem; margin: 0; overflow-wrap: anywhere; }"),
        QStringLiteral("a { color: inherit; }"),
        QStringLiteral("h1 a { text-decoration: none; }"),
        // One column on a phone, as many as fit on a wide screen; no script needed.
        QStringLiteral(".grid { list-style: none; margin: 0; padding: 0; display: grid; gap: "
                       "1rem; grid-template-columns: repeat(auto-fill, minmax(min(100%, 220px), "
                       "1fr)); align-items: start; }"),
        QStringLiteral(".grid a { display: block; text-decoration: none; }"),
        QStringLiteral(".grid img { display: block; width: 100%; height: auto; border-radius: "
                       "4px; }"),
        QStringLiteral(".label { display: block; margin-top: 0.4rem; overflow-wrap: anywhere; }"),
        QStringLiteral("figure { margin: 0; text-align: center; }"),
        QStringLiteral("figure img { display: block; width: 100%; height: auto; max-height: 85vh; "
                       "object-fit: contain; }"),
        QStringLiteral("figcaption { margin-top: 0.5rem; overflow-wrap: anywhere; }"),
        QStringLiteral(".details { opacity: 0.75; font-size: 0.9em; }"),
        QStringLiteral(".steps { display: flex; flex-wrap: wrap; justify-content: space-between; "
                       "gap: 1rem; margin-top: 1rem; }"),
        QStringLiteral("footer { font-size: 0.8rem; opacity: 0.8; text-align: center; "
                       "overflow-wrap: anywhere; }"),
        QStringLiteral(".lightbox { position: fixed; inset: 0; z-index: 10; display: flex; "
                       "flex-direction: column; align-items: center; justify-content: center; "
                       "padding: 1rem; background: rgba(0, 0, 0, 0.92); color: #fff; }"),
        QStringLiteral(".lightbox[hidden] { display: none; }"),
        QStringLiteral(".lightbox img { max-width: 100%; max-height: calc(100vh - 6rem); width: "
                       "auto; height: auto; object-fit: contain; }"),
        QStringLiteral(".lightbox p { margin: 0.5rem 0 0; text-align: center; }"),
        QStringLiteral(".lightbox button { position: absolute; border: 0; padding: 0.5rem "
                       "0.8rem; font-size: 2rem; line-height: 1; color: #fff; background: "
                       "rgba(0, 0, 0, 0.4); cursor: pointer; }"),
        QStringLiteral(".lightbox .previous { left: 0.5rem; top: 50%; }"),
        QStringLiteral(".lightbox .next { right: 0.5rem; top: 50%; }"),
        QStringLiteral(".lightbox .close { right: 0.5rem; top: 0.5rem; }"),
        QStringLiteral("body.lightbox-open { overflow: hidden; }"),
    };
}

QStringList Script() {
    return QString::fromLatin1(R"JS((function () {
  'use strict';
  var doc = document;

  function swipe(target, onLeft, onRight) {
    var x0 = null, y0 = 0;
    target.addEventListener('touchstart', function (e) {
      if (e.touches.length === 1) { x0 = e.touches[0].clientX; y0 = e.touches[0].clientY; }
    }, { passive: true });
    target.addEventListener('touchend', function (e) {
      if (x0 === null) return;
      var t = e.changedTouches[0], dx = t.clientX - x0, dy = t.clientY - y0;
      x0 = null;
      if (Math.abs(dx) > 50 && Math.abs(dx) > 2 * Math.abs(dy)) { if (dx < 0) onLeft(); else onRight(); }
    }, { passive: true });
  }
  function preload(srcset) {
    if (!srcset) return;
    var img = new Image();
    img.sizes = '100vw';
    img.srcset = srcset;
  }
  function plain(e) { return !(e.altKey || e.ctrlKey || e.metaKey || e.shiftKey); }

  var grid = doc.querySelector('ul.grid');
  if (!grid) {
    // A picture page: keys and swipes follow its links.
    var follow = function (selector) {
      var link = doc.querySelector(selector);
      if (link) location.href = link.href;
    };
    var next = doc.querySelector('a[rel="next"]');
    if (next) preload(next.getAttribute('data-srcset'));
    doc.addEventListener('keydown', function (e) {
      if (!plain(e)) return;
      if (e.key === 'ArrowLeft') follow('a[rel="prev"]');
      else if (e.key === 'ArrowRight') follow('a[rel="next"]');
      else if (e.key === 'Escape') follow('a.up');
    });
    swipe(doc, function () { follow('a[rel="next"]'); }, function () { follow('a[rel="prev"]'); });
    return;
  }

  var items = Array.prototype.slice.call(grid.querySelectorAll('a[data-srcset]'));
  if (!items.length) return;
  var box = doc.createElement('div');
  box.id = 'lightbox';
  box.className = 'lightbox';
  box.hidden = true;
  box.setAttribute('role', 'dialog');
  box.setAttribute('aria-modal', 'true');
  var img = doc.createElement('img');
  img.sizes = '100vw';
  img.decoding = 'async';
  var caption = doc.createElement('p');
  box.appendChild(img);
  box.appendChild(caption);
  var index = -1, opener = null;

  function button(kind, text, action) {
    var b = doc.createElement('button');
    b.type = 'button';
    b.className = kind;
    b.setAttribute('aria-label', grid.getAttribute('data-' + kind) || kind);
    b.textContent = text;
    b.addEventListener('click', action);
    box.appendChild(b);
    return b;
  }
  function show(i) {
    index = (i + items.length) % items.length;
    var a = items[index];
    img.removeAttribute('src');
    img.srcset = a.getAttribute('data-srcset');
    img.width = Number(a.getAttribute('data-width'));
    img.height = Number(a.getAttribute('data-height'));
    var thumb = a.querySelector('img');
    img.alt = thumb ? thumb.alt : '';
    caption.textContent = a.getAttribute('data-caption') || '';
    box.setAttribute('data-index', String(index));
    preload(items[(index + 1) % items.length].getAttribute('data-srcset'));
  }
  function close() {
    box.hidden = true;
    doc.body.classList.remove('lightbox-open');
    if (opener && opener.focus) opener.focus();
  }
  button('previous', '\u2039', function () { show(index - 1); });
  button('next', '\u203a', function () { show(index + 1); });
  var closer = button('close', '\u00d7', close);
  function open(i) {
    opener = doc.activeElement;
    show(i);
    box.hidden = false;
    doc.body.classList.add('lightbox-open');
    closer.focus();
  }
  items.forEach(function (a, i) {
    a.addEventListener('click', function (e) {
      if (e.button !== 0 || !plain(e)) return;
      e.preventDefault();
      open(i);
    });
  });
  doc.addEventListener('keydown', function (e) {
    if (box.hidden || !plain(e)) return;
    if (e.key === 'ArrowLeft') show(index - 1);
    else if (e.key === 'ArrowRight') show(index + 1);
    else if (e.key === 'Escape') close();
    else return;
    e.preventDefault();
  });
  box.addEventListener('click', function (e) { if (e.target === box) close(); });
  swipe(box, function () { show(index + 1); }, function () { show(index - 1); });
  doc.body.appendChild(box);
})();)JS")
        .split(u'\n');
}

} // namespace Lumerix::ModernPages
