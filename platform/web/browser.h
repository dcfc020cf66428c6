#pragma once

// The browser control: a control (so a control array of them has holes,
// twips geometry, Visible, ZOrder and Tag) showing pages through the web
// engine. Every control shares one named profile, attached to the WinINet
// stand-ins (offline state, proxy, page-display options, the address filter)
// and given a handler for the program's command scheme that fails every
// request. A window that a page opens and the program leaves to the engine
// shows its pages through a gate of its own: no command address loads there
// and the address filter refuses what it lists.
//
// Engine callbacks become the events of IBrowser. The navigation gate runs
// inside the engine's own call: handlers must not delete the browser or run
// a nested event loop there; they post such work with a queued call.

#include "platform/win/control.h"
#include "platform/win/ibrowser.h"

#include <QPointer>
#include <QUrl>

class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

namespace platform::browser {

// The scheme local program pages send commands through ("event:...").
inline constexpr const char* kCommandScheme = "event";

// Registers the command scheme with the web engine. Must run before the
// application object exists, or the engine never shows such navigations to
// the gate; later calls do nothing.
void prepareBeforeApplication();

// True when the address uses the command scheme (compared case-blind).
bool isCommandUrl(const QString& url);

// The profile every browser control uses, created and attached on first use.
QWebEngineProfile* sharedProfile();

class BrowserPage;
class PageBridge;

class Browser : public forms::Control, public IBrowser {
public:
    // profile: the profile of the control's pages (nullptr: the shared one).
    Browser(forms::Form& form, const QString& name, int index = -1, forms::Control* container = nullptr,
            QWebEngineProfile* profile = nullptr);
    ~Browser() override;

    void navigate2(const QString& url) override;
    void stop() override;
    void refresh() override;
    void goBack() override;
    void goForward() override;
    bool canGoBack() const override;
    bool canGoForward() const override;
    QString locationURL() const override;
    QString locationName() const override;
    bool busy() const override;
    ReadyState readyState() const override { return ready_; }
    bool silent() const override { return silent_; }
    void setSilent(bool silent) override { silent_ = silent; }
    void runScript(const QString& script) override;
    void evaluateScript(const QString& script, std::function<void(const QString&)> done) override;
    void evaluateWhole(const QString& script, std::function<void(const std::optional<QString>&)> done) override;
    void documentAddresses(std::function<void(const std::optional<QStringList>&)> done) override;
    void bindDocumentEvents(int maxFrames) override;
    void releaseDocumentEvents() override;
    void execWB(BrowserCommand command) override;
    int queryStatusWB(BrowserCommand command) const override;
    void printPage() override;
    void savePage() override;
    void findText(const QString& text, bool backward, std::function<void(int matches)> done) override;
    void focusPage() override;
    bool isVisible() const override { return visible(); }
    void setVisible(bool visible) override;
    QString tag() const override { return forms::Control::tag(); }
    void setTag(const QString& tag) override { forms::Control::setTag(tag); }
    void bringToFront() override;
    void place(double left, double top, double width, double height) override;

    QWebEngineView* view() const;
    QWebEnginePage* page() const;
    // The widget that receives the page's mouse and keys (once the page has
    // been shown), or the view.
    QWidget* inputWidget() const;

private:
    friend class BrowserPage;
    friend class BrowserInputFilter;
    void watchInput(QWidget* w);
    // A view that lies wholly under a visible browser stacked above it is
    // hidden (its Visible property stays as set), so neither the engine nor
    // the window draws a page nobody can see; the others show as their
    // Visible says. Run for every browser beside this one.
    void updateCoveredPages();

    BrowserPage* page_ = nullptr;
    PageBridge* bridge_ = nullptr;
    ReadyState ready_ = ReadyUninitialized;
    bool silent_ = false;
    bool loading_ = false;
    QString statusText_;
    QPointer<QWidget> inputWidget_;
    QObject* inputFilter_ = nullptr;
};

} // namespace platform::browser
