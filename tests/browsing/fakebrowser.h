#pragma once

// A browser without an engine for tests of the code above it: navigations
// are recorded, and state and events are set by the test.

#include "platform/win/ibrowser.h"

#include <QStringList>

#include <functional>

namespace platform::browser {

class FakeBrowser : public IBrowser {
public:
    // Records the address; the location follows it at once and the state is
    // complete, unless holdNavigation is set (the test completes it).
    void navigate2(const QString& url) override;
    void stop() override { ++stops; }
    void refresh() override { ++refreshes; }
    void goBack() override { ++backs; }
    void goForward() override { ++forwards; }
    bool canGoBack() const override { return back; }
    bool canGoForward() const override { return forward; }
    QString locationURL() const override { return location; }
    QString locationName() const override { return title; }
    bool busy() const override { return state != ReadyComplete; }
    ReadyState readyState() const override { return state; }
    bool silent() const override { return silentFlag; }
    void setSilent(bool s) override { silentFlag = s; }
    void runScript(const QString& script) override { scripts << script; }
    // Records the script and answers at once with scriptAnswer's text.
    void evaluateScript(const QString& script, std::function<void(const QString&)> done) override
    {
        scripts << script;
        if (done)
            done(scriptAnswer ? scriptAnswer(script) : QString());
    }
    // The page's documents: none readable with unreadableFrame, else
    // documents when set, else the location alone.
    void documentAddresses(std::function<void(const std::optional<QStringList>&)> done) override
    {
        if (!done)
            return;
        if (unreadableFrame || (!documents && location.isEmpty()))
            done(std::nullopt);
        else
            done(documents ? *documents : QStringList{location});
    }
    void bindDocumentEvents(int maxFrames) override { binds << maxFrames; }
    void releaseDocumentEvents() override { ++releases; }
    void execWB(BrowserCommand command) override { executed << int(command); }
    int queryStatusWB(BrowserCommand command) const override;
    bool isVisible() const override { return visibleFlag; }
    void setVisible(bool v) override { visibleFlag = v; }
    QString tag() const override { return tagText; }
    void setTag(const QString& t) override { tagText = t; }
    void bringToFront() override { ++frontCount; }
    void place(double l, double t, double w, double h) override { left = l; top = t; width = w; height = h; }

    // Runs the gate as the engine would for a navigation; true when it passed.
    bool gate(const QString& url, bool topLevel = true, const QString& pageUrl = QString(),
              NavigationKind kind = NavigationKind::Link);
    // Raises NewWindow2 as the engine would; the request as the handler left it.
    NewWindowRequest requestWindow(const QString& url, bool userInitiated = false);

    QStringList navigated;
    QString location;
    QString title;
    ReadyState state = ReadyUninitialized;
    bool holdNavigation = false;
    bool back = false;
    bool forward = false;
    bool silentFlag = false;
    bool visibleFlag = false;
    QString tagText;
    int stops = 0, refreshes = 0, backs = 0, forwards = 0, frontCount = 0;
    QList<int> executed;
    QList<int> binds;
    int releases = 0;
    QStringList scripts;
    std::function<QString(const QString& script)> scriptAnswer;
    std::optional<QStringList> documents;
    bool unreadableFrame = false;
    int commandStatus = CmdSupported | CmdEnabled;
    double left = 0, top = 0, width = 0, height = 0;
};

} // namespace platform::browser
