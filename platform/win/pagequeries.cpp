#include "platform/win/pagequeries.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace platform::browser {

namespace {

const char* const kSelectionHtml = R"JS((function () {
  function rangesOf(w) {
    var s = null;
    try { s = w.getSelection(); } catch (e) { return null; }
    if (!s || s.rangeCount === 0 || s.isCollapsed) return null;
    var box = w.document.createElement('div');
    for (var i = 0; i < s.rangeCount; i++) box.appendChild(s.getRangeAt(i).cloneContents());
    return box.innerHTML;
  }
  var html = rangesOf(window);
  if (html === null) {
    var frames = document.querySelectorAll('frame, iframe');
    for (var i = 0; i < frames.length && html === null; i++) {
      var w = null;
      try { w = frames[i].contentWindow; if (w) void w.document.body; } catch (e) { w = null; }
      if (w) html = rangesOf(w);
    }
  }
  if (html === null || html === '') return '';
  return '<HTML><BODY>' + html.replace(/\u0000/g, '') + '</BODY></HTML>';
})())JS";

const char* const kDocumentMarkup = R"JS((function () {
  var e = document.documentElement;
  return e ? e.innerHTML : '';
})())JS";

// Answers [[documentAddress, [[tagIndex, address, text], ...]], ...].
const char* const kPageLinks = R"JS((function () {
  var tags = %TAGS%;
  function skipped(a) { return !a || /^(data|blob):/i.test(a); }
  function linksOf(d) {
    var out = [];
    for (var t = 0; t < tags.length; t++) {
      var c = d.getElementsByTagName(tags[t]);
      for (var i = 0; i < c.length; i++) {
        var e = c[i];
        var a = tags[t] === 'IMG' ? e.src : e.href;
        if (a && typeof a === 'object' && 'baseVal' in a) a = a.baseVal;
        if (typeof a !== 'string' || skipped(a)) continue;
        var text = tags[t] === 'A' ? (e.innerText || '') : '';
        out.push([tags[t] === 'A' ? 0 : tags[t] === 'AREA' ? 1 : 2, a, text]);
      }
    }
    return [String(d.location.href), out];
  }
  function framesOf(d) {
    var docs = [];
    var f = d.querySelectorAll('frame, iframe');
    for (var i = 0; i < f.length; i++) {
      var fd = null;
      try { fd = f[i].contentDocument; } catch (e) { fd = null; }
      if (fd && fd.documentElement) docs.push(fd);
    }
    return docs;
  }
  var all = [linksOf(document)];
  framesOf(document).forEach(function (fd) {
    all.push(linksOf(fd));
    framesOf(fd).forEach(function (gd) { all.push(linksOf(gd)); });
  });
  return JSON.stringify(all);
})())JS";

} // namespace

QString selectionHtmlScript() { return QString::fromLatin1(kSelectionHtml); }

QString documentMarkupScript() { return QString::fromLatin1(kDocumentMarkup); }

QString pageLinksScript(int mode)
{
    const char* tags = mode == 1 ? "['A', 'AREA', 'IMG']" : mode == 2 ? "['A', 'AREA']" : mode == 3 ? "['IMG']" : "[]";
    return QString::fromLatin1(kPageLinks).replace(QStringLiteral("%TAGS%"), QString::fromLatin1(tags));
}

std::optional<QList<DocumentLinks>> readPageLinks(const QString& answer)
{
    static const QString kTags[] = {QStringLiteral("A"), QStringLiteral("AREA"), QStringLiteral("IMG")};
    const QJsonDocument json = QJsonDocument::fromJson(answer.toUtf8());
    if (!json.isArray())
        return std::nullopt;
    QList<DocumentLinks> out;
    for (const QJsonValue& d : json.array()) {
        const QJsonArray doc = d.toArray();
        if (doc.size() != 2 || !doc.at(0).isString() || !doc.at(1).isArray())
            return std::nullopt;
        DocumentLinks links{doc.at(0).toString(), {}};
        const QJsonArray items = doc.at(1).toArray();
        links.links.reserve(items.size());
        for (const QJsonValue& v : items) {
            const QJsonArray item = v.toArray();
            const int tag = item.at(0).toInt(-1);
            if (item.size() != 3 || tag < 0 || tag > 2)
                return std::nullopt;
            links.links.push_back({kTags[tag], item.at(1).toString(), item.at(2).toString()});
        }
        out.push_back(std::move(links));
    }
    return out;
}

} // namespace platform::browser
