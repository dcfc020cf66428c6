#pragma once

// What the program asks of an embedded browser: navigation, its state and
// its events. The real control (platform/web/browser.h) shows pages through the
// web engine; the tests script a fake of their own.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace platform::browser {

// The document's progress, as the old control reported it.
enum ReadyState { ReadyUninitialized = 0, ReadyLoading = 1, ReadyLoaded = 2, ReadyInteractive = 3, ReadyComplete = 4 };

// Commands of ExecWB and QueryStatusWB (the old numbers).
enum BrowserCommand { CmdCut = 11, CmdCopy = 12, CmdPaste = 13, CmdSelectAll = 17 };
// QueryStatusWB bits.
enum CommandStatus { CmdSupported = 1, CmdEnabled = 2 };
// CommandStateChange's command numbers.
enum CommandStateKind { CmdStateUpdate = -1, CmdStateForward = 1, CmdStateBack = 2 };

class IBrowser;

// What started a navigation.
enum class NavigationKind {
    Link,        // a link followed (clicked or by script)
    Typed,       // the program's own navigate2
    Form,        // a form sent
    BackForward, // the history
    Reload,
    Redirect,    // the server's answer, or a page's script or refresh while it loads
    Other,       // a page's script
};

// One navigation the gate is asked about. Cancel it by setting cancel.
struct NavigationRequest {
    QString url;        // canonical text of the address (see canonicalUrl)
    bool topLevel = true; // the main frame, not a subframe
    QString pageUrl;    // the address of the page that is navigating (the main frame's document)
    bool userInitiated = false;
    NavigationKind kind = NavigationKind::Link;
    bool cancel = false;
};

// A page asks for a new window. Leave it to the engine (nothing set),
// cancel it, or hand it a browser whose page takes the new window (adopt).
struct NewWindowRequest {
    QString url;
    bool userInitiated = false;
    IBrowser* adopt = nullptr;
    bool cancel = false;
};

struct BrowserEvents {
    std::function<void(NavigationRequest&)> beforeNavigate2;
    std::function<void(NewWindowRequest&)> newWindow2;
    std::function<void(const QString& url, bool topLevel)> documentComplete;
    std::function<void()> downloadBegin;
    std::function<void()> downloadComplete;
    std::function<void(int progress, int progressMax)> progressChange;
    std::function<void(const QString& text)> statusTextChange;
    std::function<void(const QString& text)> titleChange;
    std::function<void(int command, bool enable)> commandStateChange;
    std::function<void(bool& cancel)> windowClosing;
    // The page asked to move or size its window (left, top, width or height).
    std::function<void()> windowSetRect;
    std::function<void()> gotFocus;
    // A mouse press inside the page: button 1 left, 2 right, 4 middle.
    std::function<void(int button)> mouseDown;
    // Document events, while bound (bindDocumentEvents): a real press in a
    // bound document with the outerHTML of the innermost element under it,
    // a drag start there (the page's own drag is cancelled), a scroll of
    // the page's window, and the frame numbers a bind reached.
    std::function<void(const QString& outerHtml)> documentMouseDown;
    std::function<void()> documentDragStart;
    std::function<void()> windowScroll;
    std::function<void(const QList<int>& frames)> documentEventsBound;
};

class IBrowser {
public:
    virtual ~IBrowser() = default;

    virtual void navigate2(const QString& url) = 0;
    virtual void stop() = 0;
    virtual void refresh() = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;

    virtual QString locationURL() const = 0;
    virtual QString locationName() const = 0;
    virtual bool busy() const = 0;
    virtual ReadyState readyState() const = 0;

    // Silent: the page's scripted dialogs are suppressed.
    virtual bool silent() const = 0;
    virtual void setSilent(bool silent) = 0;

    // Runs a script in the page's main frame; the answer is not waited for.
    virtual void runScript(const QString& script) = 0;
    // Runs a script in a world of the program's own, beside the page's
    // scripts, and hands its result as text to done (later, on the event
    // loop; "" when there is no page or the result is not text).
    virtual void evaluateScript(const QString& script, std::function<void(const QString& result)> done) = 0;
    // As evaluateScript, for a script whose result is text of any size:
    // done receives the whole text, or nullopt when it could not arrive
    // whole (the page went away part-way, the script failed or its answer
    // passed the largest size taken). Never a shortened text.
    virtual void evaluateWhole(const QString& script, std::function<void(const std::optional<QString>& result)> done)
    {
        evaluateScript(script, [done](const QString& result) {
            if (done)
                done(result);
        });
    }
    // The addresses of the page's document and of every frame in it, nested
    // ones included, handed to done later on the event loop; nullopt when a
    // frame cannot be read (a frame of another origin) or there is no page.
    virtual void documentAddresses(std::function<void(const std::optional<QStringList>& addresses)> done) = 0;
    // Listens to the document and its first maxFrames frames (same-origin
    // ones), replacing an earlier bind; release stops listening.
    virtual void bindDocumentEvents(int maxFrames) = 0;
    virtual void releaseDocumentEvents() = 0;

    virtual void execWB(BrowserCommand command) = 0;
    // CmdSupported | CmdEnabled bits; 0 for a command it does not know.
    virtual int queryStatusWB(BrowserCommand command) const = 0;

    // Print and save ask through the prompt seam ("print", "save"): a
    // print answer that names a file prints the page to that PDF file.
    virtual void printPage() {}
    virtual void savePage() {}
    // Finds text in the page (an empty text clears the highlight); done
    // receives the number of matches.
    virtual void findText(const QString&, bool, std::function<void(int matches)> done)
    {
        if (done)
            done(0);
    }
    // The keyboard focus goes into the page.
    virtual void focusPage() {}

    // The control's own properties.
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual QString tag() const = 0;
    virtual void setTag(const QString& tag) = 0;
    virtual void bringToFront() = 0;
    // Place in twips within the pane area.
    virtual void place(double left, double top, double width, double height) = 0;

    // Extender values kept beside Tag.
    int scrollFixMark = 0;
    QString loopbackMark;

    BrowserEvents& browserEvents() { return events_; }

private:
    BrowserEvents events_;
};

// The one canonical text of an address, used wherever addresses are compared
// or stored: the fully encoded form of the parsed address.
QString canonicalUrl(const QString& text);

} // namespace platform::browser
