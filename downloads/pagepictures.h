#pragma once

// The pictures of the page a hidden browser loaded: each IMG of the page is
// downloaded, one after the other, into a temporary file of the slot named
// after its address, until one is the picture the item names (by its whole
// name, or its stem found in the item's address).
//
// Hostile pages: at most kMaxPictures IMGs are looked at, addresses longer
// than kMaxSourceLength are skipped, a picture may have at most
// kMaxPictureBytes and must arrive within the time limit. Only http, https
// and data addresses are fetched, file: ones only from a local page. A name
// that is not one plain path component (a "/", "..", control characters)
// becomes an "anomaly" name; so does any picture whose bytes are a JPG or
// GIF under another extension. Bytes that are no picture, and failed
// downloads, leave no file. A file appears under its name whole or not at
// all (written beside it, then renamed over it).

#include "core/proxysetting.h"
#include "platform/net/imagefetch.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class HiddenPage;

struct PagePicturesJob {
    QString prefix;      // the slot's stem: TempPagePrefix, slot, "~~~"
    QString itemName;    // the slot record's field 0
    QString itemAddress; // the slot record's field 1
    QString pageUrl;     // the page that holds the pictures (sent as Referer)
    ProxySetting proxy;  // the pictures go as the browser's pages go: this proxy, its exceptions, offline
};

class PagePictures : public QObject {
public:
    static constexpr int kMaxPictures = 100;
    static constexpr int kMaxSourceLength = 8192;
    static constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;
    static constexpr int kPictureTimeLimitMs = 30000;

    enum class Result {
        Matched,   // the item's picture is in
        NoPicture, // the page has no IMG
        NoMatch,   // the page's pictures are in, none is the item's
        Failed,    // the page could not be read
    };

    explicit PagePictures(QObject* parent = nullptr);
    ~PagePictures() override;

    // Lists the page's pictures and downloads them; done runs once, later,
    // unless abort() comes first.
    void start(HiddenPage& page, const PagePicturesJob& job, std::function<void(Result)> done);
    void abort();
    bool running() const { return static_cast<bool>(done_); }
    void setTimeLimit(int ms) { fetch_.setTimeLimit(ms); }

    // The file name an IMG's address gives (after the last "/", then after
    // the last "="), with "%20" read as a blank.
    static QString NameFromSource(const QString& source);
    // True when name can be one file name inside a folder: not empty, not "."
    // or "..", no "/", "\", NUL or control character, at most 200 characters.
    static bool IsPlainFileName(const QString& name);

private:
    void next();
    void fetched(const QString& name, platform::net::ImageFetch::Result result);
    void finish(Result result);

    platform::net::ImageFetch fetch_;
    PagePicturesJob job_;
    QStringList sources_;
    qsizetype index_ = 0;
    int anomalies_ = 0;
    bool pageIsLocal_ = false;
    std::function<void(Result)> done_;
    std::shared_ptr<int> generation_ = std::make_shared<int>(0);
};

// Clicks the first link of the page whose href or text, trimmed of blanks,
// equals text exactly; done gets 0 when a link was clicked, 1 when none
// matched or the page could not answer.
void ClickPageLink(HiddenPage& page, const QString& text, std::function<void(int result)> done);
