#include "downloads/pagepictures.h"

#include "core/imagetype.h"
#include "downloads/hiddenpage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEngineScript>

#include <unistd.h>

using platform::net::ImageFetch;

namespace {

bool isWebOrData(const QString& source)
{
    const QString scheme = QUrl(source).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("data");
}

// The bytes of the open file fd, from its start; nullopt when they cannot be read.
std::optional<QByteArray> readAll(int fd, qint64 cap)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return std::nullopt;
    QByteArray bytes;
    char buffer[64 * 1024];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return bytes;
        bytes.append(buffer, n);
        if (bytes.size() > cap)
            return std::nullopt;
    }
}

// Writes bytes under path whole: beside it first, then renamed over it.
bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

PagePictures::PagePictures(QObject* parent) : QObject(parent)
{
    fetch_.setSizeCap(kMaxPictureBytes);
    fetch_.setTimeLimit(kPictureTimeLimitMs);
}

PagePictures::~PagePictures()
{
    abort();
}

QString PagePictures::NameFromSource(const QString& source)
{
    QString s = source;
    s.replace(QLatin1String("%20"), QLatin1String(" "));
    QString name = s.mid(s.lastIndexOf(QLatin1Char('/')) + 1);
    return name.mid(name.lastIndexOf(QLatin1Char('=')) + 1);
}

bool PagePictures::IsPlainFileName(const QString& name)
{
    if (name.isEmpty() || name.size() > 200 || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

void PagePictures::abort()
{
    ++*generation_;
    done_ = nullptr;
    fetch_.abort();
    sources_.clear();
}

void PagePictures::start(HiddenPage& page, const PagePicturesJob& job, std::function<void(Result)> done)
{
    abort();
    job_ = job;
    done_ = std::move(done);
    index_ = 0;
    anomalies_ = 0;
    pageIsLocal_ = QUrl(job.pageUrl).isLocalFile();
    fetch_.setReferer(job.pageUrl);
    fetch_.setProxy(job.proxy.enabled ? job.proxy.host : QString(), job.proxy.port, job.proxy.bypass);
    fetch_.setOffline(job.proxy.offline);
    const int generation = *generation_;
    // Run where the page's own scripts cannot reach or replace what it calls.
    const QString script = QStringLiteral(
                               "(function(){var r=[];var l=document.getElementsByTagName('IMG');"
                               "for(var i=0;i<l.length&&r.length<%1;i++){var s=String(l[i].src||'');"
                               "r.push(s.length<=%2?s:'');}return r;})()")
                               .arg(kMaxPictures)
                               .arg(kMaxSourceLength);
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld,
                       [this, generation, token = std::weak_ptr<int>(generation_)](const QVariant& result) {
                           if (token.expired() || *generation_ != generation || !done_)
                               return;
                           if (result.typeId() != QMetaType::QVariantList) {
                               finish(Result::Failed);
                               return;
                           }
                           for (const QVariant& v : result.toList())
                               sources_ << v.toString().left(kMaxSourceLength);
                           if (sources_.isEmpty()) {
                               finish(Result::NoPicture);
                               return;
                           }
                           next();
                       });
}

void PagePictures::next()
{
    while (index_ < sources_.size()) {
        const QString source = sources_.at(index_++);
        if (source.isEmpty())
            continue;
        const QString name = NameFromSource(source);
        const QUrl url(source);
        if (url.isLocalFile()) {
            // Only a local page may show local pictures.
            if (!pageIsLocal_)
                continue;
            const QString path = url.toLocalFile();
            const QFileInfo info(path);
            QFile file(path);
            ImageFetch::Result r;
            if (info.isFile() && info.size() <= kMaxPictureBytes && file.open(QIODevice::ReadOnly)) {
                // Handed on as a fetched file is: an open descriptor of its own.
                r.fd = ::dup(file.handle());
                r.ok = r.fd >= 0;
            }
            fetched(name, r);
            return;
        }
        if (!isWebOrData(source))
            continue;
        fetch_.setCookieHeader(FetchCookieHeader(source));
        const QString folder = QFileInfo(job_.prefix).absolutePath();
        fetch_.start(source, folder, [this, name](ImageFetch::Result r) { fetched(name, std::move(r)); });
        return;
    }
    finish(Result::NoMatch);
}

void PagePictures::fetched(const QString& sourceName, ImageFetch::Result result)
{
    std::optional<QByteArray> bytes;
    std::optional<ImageType> type;
    if (result.ok && result.fd >= 0) {
        type = ReadImageType(result.fd);
        if (type)
            bytes = readAll(result.fd, kMaxPictureBytes);
    }
    if (result.fd >= 0)
        ::close(result.fd);
    if (!result.tempPath.isEmpty())
        QFile::remove(result.tempPath);
    if (!done_)
        return;
    if (!bytes || !type) {
        // Nothing of it stays: a failed download or no picture at all.
        next();
        return;
    }
    QString name = sourceName;
    const QString ext = name.contains(QLatin1Char('.')) ? name.mid(name.lastIndexOf(QLatin1Char('.')) + 1).toLower()
                                                        : QString();
    const bool knownExt = ext == QLatin1String("gif") || ext == QLatin1String("jpg") || ext == QLatin1String("jpeg");
    if (!IsPlainFileName(name) ||
        (!knownExt && (type->extension == QLatin1String("jpg") || type->extension == QLatin1String("gif"))))
        name = QStringLiteral("anomaly%1.%2").arg(anomalies_++).arg(type->extension);
    if (!writeWhole(job_.prefix + name, *bytes)) {
        next();
        return;
    }
    if (name == job_.itemName) {
        finish(Result::Matched);
        return;
    }
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : QString();
    if (!stem.isEmpty() && job_.itemAddress.contains(stem, Qt::CaseInsensitive)) {
        finish(Result::Matched);
        return;
    }
    next();
}

void PagePictures::finish(Result result)
{
    if (!done_)
        return;
    auto done = std::move(done_);
    done_ = nullptr;
    const int generation = ++*generation_;
    // Always from the event loop, never inside the caller's own call.
    QTimer::singleShot(0, this, [this, generation, result, done = std::move(done),
                                 token = std::weak_ptr<int>(generation_)] {
        if (!token.expired() && *generation_ == generation)
            done(result);
    });
}

void ClickPageLink(HiddenPage& page, const QString& text, std::function<void(int result)> done)
{
    // The text goes into the script as a JSON string: nothing in it is code.
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QChar(0x2028), QLatin1String("\\u2028"))
        .replace(QChar(0x2029), QLatin1String("\\u2029"))
        .replace(QLatin1Char('<'), QLatin1String("\\u003c"));
    const QString script = QStringLiteral(
                               "(function(t){var l=document.links;function tr(s){return String(s||'').replace(/^ +| +$/g,'');}"
                               "for(var i=0;i<l.length;i++){var a=l[i];"
                               "if(tr(a.getAttribute('href'))===t||tr(a.href)===t||tr(a.innerText)===t){a.click();return 0;}}"
                               "return 1;})(\"%1\")")
                               .arg(quoted);
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, [done = std::move(done)](const QVariant& result) {
        done(result.toInt() == 0 && result.isValid() ? 0 : 1);
    });
}
