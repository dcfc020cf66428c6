#pragma once

// Document events of a page reported to the program: a script of the
// program's own runs in a world apart from the page's scripts and talks to
// the program over a web channel only that world can reach. Bound, it
// listens to the page's document and to the documents of its first frames
// (same-origin frames only: the others cannot be read), and reports real
// mouse presses (with the pressed element's markup), drag starts (which it
// cancels) and scrolls of the page's window. Events a page script
// synthesises are not reported, and every message is size-capped.
//
// The script comes into a document once it has loaded (or half a second
// after it was made, when it loads longer): making the program's world and
// its channel is work the page's first load would otherwise wait for. A bind
// asked before then is kept in that world and done when the script comes.

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWebChannel;
class QWebEnginePage;

namespace platform::browser {

struct PageBridgeEvents {
    // The outerHTML of the innermost element under a press (capped).
    std::function<void(const QString& outerHtml)> mouseDown;
    // A drag started in a bound document; the page's own drag was cancelled.
    std::function<void()> dragStart;
    std::function<void()> scroll;
    // The frame numbers (1-based, document order) a bind reached.
    std::function<void(const QList<int>& frames)> bound;
};

class PageBridge : public QObject {
    Q_OBJECT
public:
    // The longest message taken, in characters; longer ones are dropped.
    static constexpr int kMaxMessage = 256 * 1024;

    explicit PageBridge(QWebEnginePage* page);
    ~PageBridge() override;

    // Listens to the document and its first maxFrames frame elements,
    // replacing what an earlier bind listened to.
    void bind(int maxFrames);
    void release();

    // Answers larger than one message come in pieces of this many characters;
    // no answer is taken above kMaxWhole characters.
    static constexpr int kWholePiece = 1 << 20;
    static constexpr int kMaxWhole = 64 << 20;

    // Runs the script expression in the program's world; its text answer
    // comes to done whole, however large, in pieces when it must, or as
    // nullopt when it cannot arrive whole (never shortened). done runs later
    // on the event loop, or never when the page is destroyed first.
    void evaluateWhole(const QString& expression, std::function<void(const std::optional<QString>&)> done);

    PageBridgeEvents& events() { return events_; }

    // Called by the bridge script only.
    Q_INVOKABLE void report(const QString& kind, const QString& payload);

private:
    QWebEnginePage* page_;
    QWebChannel* channel_;
    PageBridgeEvents events_;
};

} // namespace platform::browser
