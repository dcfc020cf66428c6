#include "platform/web/browser.h"

#include "platform/web/pagebridge.h"
#include "platform/win/filedialogs.h"
#include "platform/win/prompt.h"
#include "platform/web/wininet.h"

#include <QAction>
#include <QApplication>
#include <QChildEvent>
#include <QFocusEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMouseEvent>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <vector>

namespace platform::browser {

namespace {

// The command scheme's backstop: a request that reaches the network side
// (the gate cancels every navigation to it) fails.
class FailingSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override { job->fail(QWebEngineUrlRequestJob::RequestDenied); }
};

NavigationKind kindOf(QWebEnginePage::NavigationType type)
{
    switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked: return NavigationKind::Link;
    case QWebEnginePage::NavigationTypeTyped: return NavigationKind::Typed;
    case QWebEnginePage::NavigationTypeFormSubmitted: return NavigationKind::Form;
    case QWebEnginePage::NavigationTypeBackForward: return NavigationKind::BackForward;
    case QWebEnginePage::NavigationTypeReload: return NavigationKind::Reload;
    case QWebEnginePage::NavigationTypeRedirect: return NavigationKind::Redirect;
    default: return NavigationKind::Other;
    }
}

// A page of a window the engine opens for a page (no control of the
// program holds it): its gate lets no command load and refuses what the
// address filter lists; the windows it would open in turn are refused.
class WindowPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
    {
        const QString text = url.toString(QUrl::FullyEncoded);
        return !isCommandUrl(text) && !wininet::refusesAddress(text);
    }
};

// The addresses of a document and of its frames, walked from the main frame
// in the program's own script world; null when a frame cannot be read.
const char kDocumentAddressesScript[] =
    "(function(){var out=[];"
    "function walk(w){var href;try{href=String(w.location.href);}catch(e){return false;}out.push(href);"
    "for(var i=0;i<w.frames.length;i++){if(!walk(w.frames[i]))return false;}return true;}"
    "return walk(window)?JSON.stringify(out):null;})()";

int buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

} // namespace

void prepareBeforeApplication()
{
    static bool done = false;
    if (done || QCoreApplication::instance())
        return;
    done = true;
    QWebEngineUrlScheme scheme(kCommandScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(scheme);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

bool isCommandUrl(const QString& url)
{
    return url.startsWith(QLatin1String(kCommandScheme) + QLatin1Char(':'), Qt::CaseInsensitive);
}

QWebEngineProfile* sharedProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        profile = new QWebEngineProfile(QStringLiteral("Z5"), qApp);
        if (QWebEngineUrlScheme::schemeByName(kCommandScheme).name() == kCommandScheme)
            profile->installUrlSchemeHandler(kCommandScheme, new FailingSchemeHandler(profile));
        wininet::attachProfile(profile);
    }
    return profile;
}

// The page of a browser control: the gate and the scripted dialogs.
class BrowserPage : public QWebEnginePage {
public:
    BrowserPage(Browser& owner, QWebEngineProfile* profile, QObject* parent)
        : QWebEnginePage(profile ? profile : sharedProfile(), parent), owner_(&owner)
    {
    }
    // The control is gone; the page waits for its view's deletion.
    void detach() { owner_ = nullptr; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        NavigationRequest request;
        request.url = url.toString(QUrl::FullyEncoded);
        request.topLevel = isMainFrame;
        request.pageUrl = this->url().toString(QUrl::FullyEncoded);
        request.userInitiated = type == NavigationTypeLinkClicked;
        request.kind = kindOf(type);
        if (!owner_)
            return false;
        if (auto& handler = owner_->browserEvents().beforeNavigate2) {
            // A gate that fails refuses.
            try {
                handler(request);
            } catch (...) {
                request.cancel = true;
            }
        }
        if (isCommandUrl(request.url))
            return false; // a command never loads
        return !request.cancel;
    }

    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

    void javaScriptAlert(const QUrl& origin, const QString& msg) override
    {
        if (owner_ && !owner_->silent())
            QWebEnginePage::javaScriptAlert(origin, msg);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override
    {
        return !owner_ || owner_->silent() ? false : QWebEnginePage::javaScriptConfirm(origin, msg);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& def, QString* result) override
    {
        return !owner_ || owner_->silent() ? false : QWebEnginePage::javaScriptPrompt(origin, msg, def, result);
    }

private:
    Browser* owner_;
};

// Mouse presses and focus of the widget that takes the page's input: the
// engine gives it to a child of the view, never to the view itself.
class BrowserInputFilter : public QObject {
public:
    explicit BrowserInputFilter(Browser& owner) : owner_(&owner) {}
    void detach() { owner_ = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!owner_)
            return false;
        switch (event->type()) {
        case QEvent::ChildAdded:
            if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                owner_->watchInput(w);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (watched != owner_->view()) {
                const int code = buttonCode(static_cast<QMouseEvent*>(event)->button());
                if (code && owner_->browserEvents().mouseDown)
                    owner_->browserEvents().mouseDown(code);
            }
            break;
        case QEvent::FocusIn:
            if (owner_->browserEvents().gotFocus)
                owner_->browserEvents().gotFocus();
            break;
        default:
            break;
        }
        return false;
    }

private:
    Browser* owner_;
};

Browser::Browser(forms::Form& form, const QString& name, int index, forms::Control* container, QWebEngineProfile* profile)
    : forms::Control(form, new QWebEngineView(parentWidgetFor(form, container)), name, index, container)
{
    QWebEngineView* v = view();
    page_ = new BrowserPage(*this, profile, v);
    v->setPage(page_);
    bridge_ = new PageBridge(page_);
    bridge_->events().mouseDown = [this](const QString& html) {
        if (browserEvents().documentMouseDown)
            browserEvents().documentMouseDown(html);
    };
    bridge_->events().dragStart = [this] {
        if (browserEvents().documentDragStart)
            browserEvents().documentDragStart();
    };
    bridge_->events().scroll = [this] {
        if (browserEvents().windowScroll)
            browserEvents().windowScroll();
    };
    bridge_->events().bound = [this](const QList<int>& frames) {
        if (browserEvents().documentEventsBound)
            browserEvents().documentEventsBound(frames);
    };
    inputFilter_ = new BrowserInputFilter(*this);
    inputFilter_->setParent(v);
    v->installEventFilter(inputFilter_);
    for (QObject* child : v->children())
        if (auto* w = qobject_cast<QWidget*>(child))
            watchInput(w);

    QObject::connect(page_, &QWebEnginePage::loadStarted, v, [this] {
        ready_ = ReadyLoading;
        loading_ = true;
        if (browserEvents().downloadBegin)
            browserEvents().downloadBegin();
    });
    QObject::connect(page_, &QWebEnginePage::loadProgress, v, [this](int progress) {
        if (loading_ && progress > 0)
            ready_ = ReadyInteractive;
        if (browserEvents().progressChange)
            browserEvents().progressChange(progress, 100);
    });
    QObject::connect(page_, &QWebEnginePage::loadFinished, v, [this](bool) {
        ready_ = ReadyComplete;
        loading_ = false;
        if (browserEvents().downloadComplete)
            browserEvents().downloadComplete();
        if (browserEvents().documentComplete)
            browserEvents().documentComplete(locationURL(), true);
    });
    auto history = std::make_shared<std::pair<bool, bool>>(false, false);
    auto commandStates = [this, history] {
        const bool back = canGoBack();
        const bool forward = canGoForward();
        if (!browserEvents().commandStateChange)
            return;
        if (forward != history->second)
            browserEvents().commandStateChange(CmdStateForward, forward);
        if (back != history->first)
            browserEvents().commandStateChange(CmdStateBack, back);
        *history = {back, forward};
    };
    QObject::connect(page_, &QWebEnginePage::urlChanged, v, commandStates);
    QObject::connect(page_, &QWebEnginePage::loadFinished, v, commandStates);
    QObject::connect(page_, &QWebEnginePage::selectionChanged, v, [this] {
        if (browserEvents().commandStateChange)
            browserEvents().commandStateChange(CmdStateUpdate, true);
    });
    QObject::connect(page_, &QWebEnginePage::titleChanged, v, [this](const QString& title) {
        if (browserEvents().titleChange)
            browserEvents().titleChange(title);
    });
    QObject::connect(page_, &QWebEnginePage::linkHovered, v, [this](const QString& url) {
        if (url == statusText_)
            return;
        statusText_ = url;
        if (browserEvents().statusTextChange)
            browserEvents().statusTextChange(url);
    });
    QObject::connect(page_, &QWebEnginePage::windowCloseRequested, v, [this] {
        bool cancel = true;
        if (browserEvents().windowClosing)
            browserEvents().windowClosing(cancel);
    });
    QObject::connect(page_, &QWebEnginePage::geometryChangeRequested, v, [this](const QRect&) {
        if (browserEvents().windowSetRect)
            browserEvents().windowSetRect();
    });
    QObject::connect(page_, &QWebEnginePage::newWindowRequested, v, [this](QWebEngineNewWindowRequest& request) {
        NewWindowRequest r;
        r.url = request.requestedUrl().toString(QUrl::FullyEncoded);
        r.userInitiated = request.isUserInitiated();
        if (browserEvents().newWindow2) {
            try {
                browserEvents().newWindow2(r);
            } catch (...) {
                r.cancel = true;
            }
        }
        if (r.cancel)
            return;
        if (r.adopt) {
            if (auto* target = dynamic_cast<Browser*>(r.adopt))
                request.openIn(target->page());
            return;
        }
        // Left to the engine: a window of its own, which goes with the
        // browser's window.
        auto* window = new QWebEngineView(widget()->window());
        window->setWindowFlag(Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto* page = new WindowPage(page_->profile(), window);
        window->setPage(page);
        QObject::connect(page, &QWebEnginePage::windowCloseRequested, window, &QWidget::close);
        request.openIn(page);
        window->resize(800, 600);
        window->show();
    });
}

Browser::~Browser()
{
    // The events go with the control; the page may still report while its
    // view waits for deletion.
    browserEvents() = BrowserEvents{};
    if (bridge_)
        bridge_->events() = {};
    static_cast<BrowserInputFilter*>(inputFilter_)->detach();
    page_->detach();
    page_->disconnect(view());
    // Nothing keeps playing or loading while the view waits for deletion.
    page_->setAudioMuted(true);
    page_->triggerAction(QWebEnginePage::Stop);
}

QWebEngineView* Browser::view() const
{
    return static_cast<QWebEngineView*>(widget());
}

QWebEnginePage* Browser::page() const
{
    return page_;
}

QWidget* Browser::inputWidget() const
{
    if (QWidget* proxy = view()->focusProxy())
        return proxy;
    return inputWidget_ ? inputWidget_.data() : view();
}

void Browser::watchInput(QWidget* w)
{
    if (!w || w == inputWidget_)
        return;
    inputWidget_ = w;
    w->installEventFilter(inputFilter_);
}

void Browser::setVisible(bool visible)
{
    forms::Control::setVisible(visible);
    updateCoveredPages();
}

void Browser::bringToFront()
{
    zOrder(0);
    updateCoveredPages();
}

void Browser::place(double left, double top, double width, double height)
{
    move(left, top, width, height);
    updateCoveredPages();
}

void Browser::updateCoveredPages()
{
    QWidget* parent = widget()->parentWidget();
    if (!parent)
        return;
    // Children are listed bottom to top.
    std::vector<Browser*> stack;
    for (QObject* child : parent->children()) {
        if (auto* w = qobject_cast<QWidget*>(child))
            if (auto* b = dynamic_cast<Browser*>(forms::Control::fromWidget(w)))
                stack.push_back(b);
    }
    for (size_t i = 0; i < stack.size(); ++i) {
        QWidget* w = stack[i]->widget();
        bool covered = false;
        for (size_t j = i + 1; j < stack.size() && !covered; ++j)
            covered = stack[j]->visible() && stack[j]->widget()->geometry().contains(w->geometry());
        const bool shown = stack[i]->visible() && !covered;
        if (w->isVisibleTo(parent) != shown)
            w->setVisible(shown);
    }
}

void Browser::navigate2(const QString& url)
{
    const QString canonical = canonicalUrl(url);
    if (canonical.isEmpty())
        return;
    page_->load(QUrl(canonical));
}

void Browser::stop()
{
    page_->triggerAction(QWebEnginePage::Stop);
}

void Browser::refresh()
{
    page_->triggerAction(QWebEnginePage::Reload);
}

void Browser::goBack()
{
    page_->triggerAction(QWebEnginePage::Back);
}

void Browser::goForward()
{
    page_->triggerAction(QWebEnginePage::Forward);
}

bool Browser::canGoBack() const
{
    return page_->history()->canGoBack();
}

bool Browser::canGoForward() const
{
    return page_->history()->canGoForward();
}

QString Browser::locationURL() const
{
    return page_->url().toString(QUrl::FullyEncoded);
}

QString Browser::locationName() const
{
    return page_->title();
}

bool Browser::busy() const
{
    return loading_;
}

void Browser::runScript(const QString& script)
{
    page_->runJavaScript(script);
}

void Browser::evaluateScript(const QString& script, std::function<void(const QString&)> done)
{
    if (!page_) {
        if (done)
            QMetaObject::invokeMethod(view(), [done] { done(QString()); }, Qt::QueuedConnection);
        return;
    }
    page_->runJavaScript(script, QWebEngineScript::ApplicationWorld, [done](const QVariant& result) {
        if (done)
            done(result.typeId() == QMetaType::QString ? result.toString() : QString());
    });
}

void Browser::evaluateWhole(const QString& script, std::function<void(const std::optional<QString>&)> done)
{
    bridge_->evaluateWhole(script, std::move(done));
}

void Browser::documentAddresses(std::function<void(const std::optional<QStringList>&)> done)
{
    evaluateScript(QString::fromLatin1(kDocumentAddressesScript), [done](const QString& json) {
        if (!done)
            return;
        const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8());
        if (!doc.isArray() || doc.array().isEmpty()) {
            done(std::nullopt);
            return;
        }
        QStringList addresses;
        for (const QJsonValue& v : doc.array())
            addresses << QUrl(v.toString()).toString(QUrl::FullyEncoded);
        done(addresses);
    });
}

void Browser::bindDocumentEvents(int maxFrames)
{
    bridge_->bind(maxFrames);
}

void Browser::releaseDocumentEvents()
{
    bridge_->release();
}

void Browser::execWB(BrowserCommand command)
{
    switch (command) {
    case CmdCut: page_->triggerAction(QWebEnginePage::Cut); break;
    case CmdCopy: page_->triggerAction(QWebEnginePage::Copy); break;
    case CmdPaste: page_->triggerAction(QWebEnginePage::Paste); break;
    case CmdSelectAll: page_->triggerAction(QWebEnginePage::SelectAll); break;
    }
}

void Browser::printPage()
{
    namespace prompt = platform::prompt;
    QPointer<QWebEngineView> view = this->view();
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    const prompt::Answer answer = prompt::ask({QStringLiteral("print"), page_->title(), page_->url().toString(), {}, {}},
                                              [view, printer] {
                                                  prompt::Answer a;
                                                  QPrintDialog dialog(printer.get(), view);
                                                  a.accepted = dialog.exec() == QDialog::Accepted;
                                                  return a;
                                              });
    if (!answer.accepted || !view)
        return;
    if (!answer.text.isEmpty()) {
        page_->printToPdf(answer.text);
        return;
    }
    // The printer lives until the engine has finished with it.
    QObject::connect(view, &QWebEngineView::printFinished, view, [printer](bool) {}, Qt::SingleShotConnection);
    view->print(printer.get());
}

void Browser::savePage()
{
    namespace filedialogs = platform::filedialogs;
    QString name = page_->title().trimmed();
    if (name.isEmpty())
        name = QStringLiteral("page");
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    // The dialog is modal: the page is held by a guard across it.
    const QPointer<QWebEnginePage> page(page_);
    QWidget* parent = view();
    filedialogs::FileRequest request;
    request.fileName = name + QStringLiteral(".html");
    request.filter = QStringLiteral("Web page|*.htm;*.html");
    request.flags = filedialogs::OverwritePrompt | filedialogs::PathMustExist;
    const QString path = filedialogs::saveFile(parent, request);
    if (!path.isEmpty() && page)
        page->save(path, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
}

void Browser::findText(const QString& text, bool backward, std::function<void(int matches)> done)
{
    const QWebEnginePage::FindFlags flags = backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
    page_->findText(text, flags, [done](const QWebEngineFindTextResult& result) {
        if (done)
            done(result.numberOfMatches());
    });
}

void Browser::focusPage()
{
    view()->setFocus();
}

int Browser::queryStatusWB(BrowserCommand command) const
{
    QWebEnginePage::WebAction action = QWebEnginePage::NoWebAction;
    switch (command) {
    case CmdCut: action = QWebEnginePage::Cut; break;
    case CmdCopy: action = QWebEnginePage::Copy; break;
    case CmdPaste: action = QWebEnginePage::Paste; break;
    case CmdSelectAll: action = QWebEnginePage::SelectAll; break;
    }
    if (action == QWebEnginePage::NoWebAction)
        return 0;
    const bool enabled = command == CmdCut || command == CmdCopy ? page_->hasSelection()
                                                                 : page_->action(action)->isEnabled();
    return CmdSupported | (enabled ? CmdEnabled : 0);
}

} // namespace platform::browser
