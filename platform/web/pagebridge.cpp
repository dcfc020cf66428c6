#include "platform/web/pagebridge.h"

#include <QFile>
#include <QPointer>
#include <QVariantList>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace platform::browser {

namespace {

const char* const kScriptName = "z5-page-bridge";

// Runs in the program's world of the main frame once the document has
// loaded; a bind asked before it came waits in that world (__z5bind).
const char* const kBridgeScript = R"JS(
(function () {
  if (window.__z5bridge) return;
  var cap = %CAP%;
  var state = { channel: null, queue: [], sinks: [] };
  window.__z5bridge = state;
  function send(kind, payload) {
    payload = typeof payload === 'string' ? payload : '';
    if (payload.length > cap) payload = payload.substring(0, cap);
    if (state.channel) state.channel.report(kind, payload);
    else state.queue.push([kind, payload]);
  }
  new QWebChannel(qt.webChannelTransport, function (ch) {
    state.channel = ch.objects.z5bridge;
    var q = state.queue; state.queue = [];
    q.forEach(function (m) { state.channel.report(m[0], m[1]); });
  });
  function onDown(e) {
    if (!e.isTrusted) return;
    var t = e.target;
    if (t && t.nodeType !== 1) t = t.parentElement;
    if (t && typeof t.outerHTML === 'string') send('mousedown', t.outerHTML);
  }
  function onDrag(e) {
    e.preventDefault();
    if (e.isTrusted) send('dragstart', '');
  }
  function onScroll(e) {
    if (e.isTrusted) send('scroll', '');
  }
  state.release = function () {
    state.sinks.forEach(function (d) {
      try {
        d.removeEventListener('mousedown', onDown, true);
        d.removeEventListener('dragstart', onDrag, true);
      } catch (x) {}
    });
    state.sinks = [];
    window.removeEventListener('scroll', onScroll, false);
  };
  state.bind = function (maxFrames) {
    state.release();
    function add(d) {
      d.addEventListener('mousedown', onDown, true);
      d.addEventListener('dragstart', onDrag, true);
      state.sinks.push(d);
    }
    add(document);
    window.addEventListener('scroll', onScroll, false);
    var bound = [];
    var all = document.getElementsByTagName('*');
    var k = 0;
    for (var i = 0; i < all.length; i++) {
      var tag = all[i].tagName;
      if (tag !== 'FRAME' && tag !== 'IFRAME') continue;
      if (++k > maxFrames) break;
      var d = null;
      try { d = all[i].contentDocument; } catch (x) { d = null; }
      if (!d) continue;
      try { add(d); bound.push(k); } catch (x) {}
    }
    send('bound', bound.join(','));
  };
  if (typeof window.__z5bind === 'number') state.bind(window.__z5bind);
  delete window.__z5bind;
})();
)JS";

QString bridgeSource()
{
    QFile channelLibrary(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QString source;
    if (channelLibrary.open(QIODevice::ReadOnly))
        source = QString::fromUtf8(channelLibrary.readAll());
    return source + QString::fromLatin1(kBridgeScript).replace(QStringLiteral("%CAP%"),
                                                               QString::number(PageBridge::kMaxMessage));
}

} // namespace

PageBridge::PageBridge(QWebEnginePage* page) : QObject(page), page_(page), channel_(new QWebChannel(this))
{
    channel_->registerObject(QStringLiteral("z5bridge"), this);
    page_->setWebChannel(channel_, QWebEngineScript::ApplicationWorld);
    QWebEngineScript script;
    script.setName(QString::fromLatin1(kScriptName));
    script.setSourceCode(bridgeSource());
    // After the load: the page's first load does not wait for the world.
    script.setInjectionPoint(QWebEngineScript::Deferred);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    page_->scripts().insert(script);
}

PageBridge::~PageBridge() = default;

void PageBridge::bind(int maxFrames)
{
    page_->runJavaScript(QStringLiteral("if (window.__z5bridge) window.__z5bridge.bind(%1); else window.__z5bind = %1;")
                             .arg(qMax(0, maxFrames)),
                         QWebEngineScript::ApplicationWorld);
}

void PageBridge::release()
{
    page_->runJavaScript(QStringLiteral("if (window.__z5bridge) window.__z5bridge.release(); else delete window.__z5bind;"),
                         QWebEngineScript::ApplicationWorld);
}

namespace {

// The first piece of an answer, its length and, when more follows, the
// number under which the rest waits in the program's world.
const char* const kWholeFirst = R"JS(
(function () {
  var store = window.__z5whole || (window.__z5whole = { n: 0, m: {} });
  var s;
  try { s = (%EXPR%); } catch (e) { return null; }
  if (typeof s !== 'string') return null;
  if (s.length > %MAX%) return [s.length];
  if (s.length <= %PIECE%) return [s.length, s];
  var id = ++store.n;
  store.m[id] = s;
  return [s.length, s.substring(0, %PIECE%), id];
})()
)JS";

const char* const kWholeNext = R"JS(
(function () {
  var store = window.__z5whole;
  var s = store && store.m[%ID%];
  if (typeof s !== 'string') return null;
  var end = %AT% + %PIECE%;
  if (end >= s.length) delete store.m[%ID%];
  return s.substring(%AT%, end);
})()
)JS";

QString withPieceSizes(const char* script)
{
    return QString::fromLatin1(script)
        .replace(QStringLiteral("%PIECE%"), QString::number(PageBridge::kWholePiece))
        .replace(QStringLiteral("%MAX%"), QString::number(PageBridge::kMaxWhole));
}

} // namespace

void PageBridge::evaluateWhole(const QString& expression, std::function<void(const std::optional<QString>&)> done)
{
    struct Transfer {
        QString text;
        qsizetype length = 0;
        QString id;
        std::function<void(const std::optional<QString>&)> done;
    };
    auto t = std::make_shared<Transfer>();
    t->done = std::move(done);
    QPointer<QWebEnginePage> page(page_);
    auto finish = [t](const std::optional<QString>& result) {
        if (t->done)
            t->done(result);
        t->done = nullptr;
    };
    auto next = std::make_shared<std::function<void()>>();
    *next = [t, page, finish, next] {
        if (!page) {
            finish(std::nullopt);
            return;
        }
        const QString script = withPieceSizes(kWholeNext)
                                   .replace(QStringLiteral("%ID%"), t->id)
                                   .replace(QStringLiteral("%AT%"), QString::number(t->text.size()));
        page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [t, finish, next](const QVariant& v) {
            if (v.typeId() != QMetaType::QString || v.toString().isEmpty()) {
                finish(std::nullopt);
            } else {
                t->text += v.toString();
                if (t->text.size() > t->length)
                    finish(std::nullopt);
                else if (t->text.size() == t->length)
                    finish(t->text);
                else
                    (*next)();
            }
            if (!t->done)
                *next = nullptr; // the chain lets go of itself
        });
    };
    const QString first = withPieceSizes(kWholeFirst).replace(QStringLiteral("%EXPR%"), expression);
    page_->runJavaScript(first, QWebEngineScript::ApplicationWorld, [t, finish, next](const QVariant& v) {
        const QVariantList parts = v.toList();
        bool ok = false;
        t->length = parts.isEmpty() ? -1 : parts.at(0).toLongLong(&ok);
        if (!ok || t->length < 0 || t->length > kMaxWhole || parts.size() < 2) {
            finish(std::nullopt);
        } else {
            t->text = parts.at(1).toString();
            if (parts.size() == 2)
                finish(t->text.size() == t->length ? std::optional<QString>(t->text) : std::nullopt);
            else {
                t->id = QString::number(parts.at(2).toLongLong());
                (*next)();
            }
        }
        if (!t->done)
            *next = nullptr;
    });
}

void PageBridge::report(const QString& kind, const QString& payload)
{
    if (payload.size() > kMaxMessage)
        return;
    if (kind == QLatin1String("mousedown")) {
        if (events_.mouseDown)
            events_.mouseDown(payload);
    } else if (kind == QLatin1String("dragstart")) {
        if (events_.dragStart)
            events_.dragStart();
    } else if (kind == QLatin1String("scroll")) {
        if (events_.scroll)
            events_.scroll();
    } else if (kind == QLatin1String("bound")) {
        QList<int> frames;
        for (const QString& part : payload.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const int n = part.toInt(&ok);
            if (ok && frames.size() < 64)
                frames << n;
        }
        if (events_.bound)
            events_.bound(frames);
    }
}

} // namespace platform::browser
