#pragma once

// The download manager's hidden form and its browser control WBMain, on an
// off-the-record profile of its own (several lists run side by side, none
// keeps anything on disk). Built as a module of its own: loading it loads
// the web engine, and the engine starts with the first page.

#include "dlmanager/pagebrowser.h"
#include "platform/win/form.h"

#include <QPointer>

#include <memory>
#include <vector>

class QWebEngineProfile;
class QWebEngineDownloadRequest;

namespace platform::browser {
class Browser;
}

class frmDownload : public PageBrowser {
public:
    explicit frmDownload(const Settings& settings);
    ~frmDownload() override;

    void navigate2(const QString& url, Events events) override;
    void close() override;
    void imageSources(int max, std::function<void(std::optional<QStringList>)> done) override;

private:
    void createProfile();
    void dropControl();
    void downloadRequested(QWebEngineDownloadRequest* download);

    Settings settings_;
    platform::forms::Form form_;
    QWebEngineProfile* profile_ = nullptr;
    platform::browser::Browser* WBMain = nullptr;
    // Controls whose page may still be inside an engine call; deleted from
    // the event loop.
    std::vector<platform::browser::Browser*> dropped_;
    Events events_;
    std::shared_ptr<int> serial_ = std::make_shared<int>(0);
};
