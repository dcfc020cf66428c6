#include "platform/media/mci.h"

#include "platform/win/widgethandles.h"
#include "platform/media/videosurface.h"

#include <QAudioOutput>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QVideoSink>

#include <cmath>
#include <utility>

namespace platform::media {

struct Mci::Alias {
    QString name;
    QString path;
    // Made at open, freed once (deleteLater) by whoever ends the alias.
    QObject* holder = nullptr;
    QMediaPlayer* player = nullptr;
    QAudioOutput* output = nullptr;
    QVideoSink* sink = nullptr;
    QPointer<VideoSurface> surface;
    bool pending = true;
    bool cancelled = false;
    // Stopped by the commands (after open, stop, seek): the player itself
    // only pauses, so the position stays where it was.
    bool stopped = true;
    bool cdAudio = false;
    bool msFormat = true;
    bool muted = false;
    int volume = 1000; // 0..1000
    QSize nativeSize;
    QRect destination;
    QEventLoop* wait = nullptr;
};

namespace {

QStringList words(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

bool isAddress(const QString& path)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(path).hasMatch();
}

// A whole number, or nothing.
std::optional<qint64> number(const QString& text)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

void release(Mci::Alias& a)
{
    if (a.player)
        a.player->stop();
    if (a.surface)
        a.surface->deleteLater();
    if (a.holder)
        a.holder->deleteLater();
    a.holder = nullptr;
    a.player = nullptr;
    a.output = nullptr;
    a.sink = nullptr;
}

bool loaded(QMediaPlayer::MediaStatus s)
{
    return s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia || s == QMediaPlayer::BufferingMedia;
}

bool failed(const QMediaPlayer& p)
{
    return p.error() != QMediaPlayer::NoError || p.mediaStatus() == QMediaPlayer::InvalidMedia;
}

// Runs events but no user input until done() holds, the deadline passes or
// the alias is cancelled; woken by the player's and the sink's news.
template <typename Done>
void waitUntil(Mci::Alias& a, const QDeadlineTimer& deadline, Done done)
{
    while (!a.cancelled && !done() && !deadline.hasExpired()) {
        QEventLoop loop;
        a.wait = &loop;
        QObject::connect(a.player, &QMediaPlayer::mediaStatusChanged, &loop, &QEventLoop::quit);
        QObject::connect(a.player, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
        if (a.sink)
            QObject::connect(a.sink, &QVideoSink::videoFrameChanged, &loop, &QEventLoop::quit);
        QTimer::singleShot(std::max<qint64>(1, deadline.remainingTime()), &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        a.wait = nullptr;
    }
}

} // namespace

Mci::Mci() : timers_(std::make_unique<QObject>()) {}

Mci::~Mci()
{
    close(QStringLiteral("all"));
    delete spare_.holder;
}

void Mci::prepare()
{
    if (spare_.holder)
        return;
    spare_.holder = new QObject;
    spare_.player = new QMediaPlayer(spare_.holder);
    spare_.output = new QAudioOutput(spare_.holder);
    spare_.player->setAudioOutput(spare_.output);
}

QStringList Mci::aliases() const
{
    return aliases_.keys();
}

void Mci::setOpenWait(int fileMs, int addressMs)
{
    fileWaitMs_ = std::max(1, fileMs);
    addressWaitMs_ = std::max(1, addressMs);
}

std::shared_ptr<Mci::Alias> Mci::find(const QString& name) const
{
    return aliases_.value(name.toLower());
}

void Mci::setAppVolume(double fraction)
{
    appVolume_ = std::clamp(fraction, 0.0, 1.0);
    for (const auto& a : std::as_const(aliases_))
        applyVolume(*a);
}

void Mci::applyVolume(Alias& a) const
{
    if (a.output)
        a.output->setVolume(a.muted ? 0.0f : static_cast<float>(a.volume / 1000.0 * appVolume_));
}

int Mci::sendString(const QString& command, QString* reply)
{
    if (reply)
        reply->clear();
    const QString text = command.trimmed();
    const QStringList w = words(text);
    if (w.isEmpty())
        return MciUnrecognizedCommand;
    const QString verb = w[0].toLower();
    if (verb == QLatin1String("open"))
        return open(text.mid(4));
    if (w.size() < 2)
        return MciMissingParameter;
    if (verb == QLatin1String("close"))
        return close(w[1]);

    const std::shared_ptr<Alias> a = find(w[1]);
    if (!a)
        return MciInvalidDeviceName;
    QStringList args;
    for (const QString& s : w.mid(2))
        if (s.compare(QLatin1String("wait"), Qt::CaseInsensitive) != 0
            && s.compare(QLatin1String("notify"), Qt::CaseInsensitive) != 0)
            args << s.toLower();

    if (verb == QLatin1String("stop")) {
        if (a->pending)
            return close(a->name);
        a->stopped = true;
        if (a->player->playbackState() == QMediaPlayer::PlayingState)
            a->player->pause();
        return MciOk;
    }
    if (verb == QLatin1String("status") && args.value(0) == QLatin1String("mode")) {
        if (!reply)
            return MciOk;
        if (a->pending)
            *reply = QStringLiteral("not ready");
        else if (failed(*a->player) || a->player->mediaStatus() == QMediaPlayer::EndOfMedia || a->stopped)
            *reply = QStringLiteral("stopped");
        else if (a->player->playbackState() == QMediaPlayer::PlayingState)
            *reply = QStringLiteral("playing");
        else if (a->player->playbackState() == QMediaPlayer::PausedState)
            *reply = QStringLiteral("paused");
        else
            *reply = QStringLiteral("stopped");
        return MciOk;
    }
    // Nothing else reaches an item that is still opening.
    if (a->pending)
        return MciNotReady;
    QMediaPlayer& p = *a->player;

    if (verb == QLatin1String("play") || verb == QLatin1String("resume")) {
        if (args.value(0) == QLatin1String("from")) {
            const auto from = number(args.value(1));
            if (!from || *from < 0)
                return MciOutOfRange;
            if (a->msFormat)
                p.setPosition(*from);
        }
        a->stopped = false;
        p.play();
        return MciOk;
    }
    if (verb == QLatin1String("pause")) {
        if (!a->stopped && p.playbackState() == QMediaPlayer::PlayingState)
            p.pause();
        return MciOk;
    }
    if (verb == QLatin1String("seek")) {
        if (args.value(0) != QLatin1String("to"))
            return MciMissingParameter;
        qint64 to = 0;
        if (args.value(1) == QLatin1String("end"))
            to = p.duration();
        else if (args.value(1) != QLatin1String("start")) {
            const auto n = number(args.value(1));
            if (!n || *n < 0)
                return MciOutOfRange;
            to = *n;
        }
        if (p.playbackState() == QMediaPlayer::PlayingState)
            p.pause();
        a->stopped = true;
        p.setPosition(to);
        return MciOk;
    }
    if (verb == QLatin1String("status")) {
        const QString what = args.join(QLatin1Char(' '));
        QString answer;
        if (what == QLatin1String("position") || what.startsWith(QLatin1String("position track")))
            answer = QString::number(what == QLatin1String("position") ? p.position() : 0);
        else if (what == QLatin1String("length") || what.startsWith(QLatin1String("length track")))
            answer = QString::number(std::max<qint64>(0, p.duration()));
        else if (what == QLatin1String("volume"))
            answer = QString::number(std::lround(a->volume * appVolume_));
        else if (what == QLatin1String("current track"))
            answer = QStringLiteral("1");
        else if (what == QLatin1String("ready") || what == QLatin1String("media present"))
            answer = QStringLiteral("true");
        else if (what == QLatin1String("time format"))
            answer = QStringLiteral("milliseconds");
        else
            return MciUnrecognizedCommand;
        if (reply)
            *reply = answer;
        return MciOk;
    }
    if (verb == QLatin1String("set")) {
        if (args.value(0) == QLatin1String("time") && args.value(1) == QLatin1String("format")) {
            const QString f = args.value(2);
            if (f == QLatin1String("milliseconds") || f == QLatin1String("ms")) {
                a->msFormat = true;
                return MciOk;
            }
            // Tracks, minutes, seconds and frames exist only on a disc.
            if (f == QLatin1String("tmsf") && a->cdAudio) {
                a->msFormat = false;
                return MciOk;
            }
            return MciBadTimeFormat;
        }
        if (args.value(0) == QLatin1String("audio") && args.value(1) == QLatin1String("all")) {
            a->muted = args.value(2) == QLatin1String("off");
            applyVolume(*a);
            return MciOk;
        }
        return MciUnrecognizedCommand;
    }
    if (verb == QLatin1String("setaudio")) {
        if (args.value(0) == QLatin1String("volume") && args.value(1) == QLatin1String("to")) {
            const auto n = number(args.value(2));
            if (!n)
                return MciOutOfRange;
            a->volume = static_cast<int>(std::clamp<qint64>(*n, 0, 1000));
            applyVolume(*a);
            return MciOk;
        }
        if (args.value(0) == QLatin1String("off") || args.value(0) == QLatin1String("on")) {
            a->muted = args.value(0) == QLatin1String("off");
            applyVolume(*a);
            return MciOk;
        }
        return MciUnrecognizedCommand;
    }
    if (verb == QLatin1String("where")) {
        if (!a->sink || !a->nativeSize.isValid())
            return MciUnrecognizedCommand;
        QRect r;
        if (args.value(0) == QLatin1String("destination"))
            r = a->destination.isValid() ? a->destination : QRect(QPoint(0, 0), a->nativeSize);
        else if (args.value(0) == QLatin1String("window") && a->surface)
            r = a->surface->geometry();
        else if (args.value(0) == QLatin1String("source"))
            r = QRect(QPoint(0, 0), a->nativeSize);
        else
            return MciUnrecognizedCommand;
        if (reply)
            *reply = QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        return MciOk;
    }
    if (verb == QLatin1String("put")) {
        if (args.size() < 6 || args.value(1) != QLatin1String("at"))
            return MciMissingParameter;
        const auto x = number(args[2]), y = number(args[3]), wd = number(args[4]), ht = number(args[5]);
        if (!x || !y || !wd || !ht || *wd < 0 || *ht < 0 || *wd > 32767 || *ht > 32767 || std::abs(*x) > 32767
            || std::abs(*y) > 32767)
            return MciOutOfRange;
        const QRect r(static_cast<int>(*x), static_cast<int>(*y), static_cast<int>(*wd), static_cast<int>(*ht));
        if (args[0] == QLatin1String("window")) {
            if (a->surface)
                a->surface->place(r);
            return MciOk;
        }
        if (args[0] == QLatin1String("destination")) {
            a->destination = r;
            return MciOk;
        }
        return MciUnrecognizedCommand;
    }
    if (verb == QLatin1String("window")) {
        if (a->surface && args.value(0) == QLatin1String("state"))
            a->surface->setVisible(args.value(1) != QLatin1String("hide"));
        return MciOk;
    }
    return MciUnrecognizedCommand;
}

int Mci::close(const QString& name)
{
    std::vector<std::shared_ptr<Alias>> going;
    if (name.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
        for (const auto& a : std::as_const(aliases_))
            going.push_back(a);
        aliases_.clear();
    } else {
        const auto a = find(name);
        if (!a)
            return MciInvalidDeviceName;
        aliases_.remove(a->name);
        going.push_back(a);
    }
    for (const auto& a : going) {
        if (a->pending) {
            // The open that waits frees what it made.
            a->cancelled = true;
            if (a->wait)
                a->wait->quit();
        } else {
            release(*a);
        }
    }
    return MciOk;
}

int Mci::open(const QString& rest)
{
    // The path lies between the first and the last double quote, whatever
    // it holds; the options follow.
    QString path;
    QString tail;
    const qsizetype q1 = rest.indexOf(QLatin1Char('"'));
    if (q1 >= 0) {
        const qsizetype q2 = rest.lastIndexOf(QLatin1Char('"'));
        if (q2 <= q1)
            return MciMissingParameter;
        path = rest.mid(q1 + 1, q2 - q1 - 1);
        tail = rest.mid(q2 + 1);
    } else {
        const QStringList w = words(rest);
        if (w.isEmpty())
            return MciMissingParameter;
        path = w[0];
        tail = QStringList(w.mid(1)).join(QLatin1Char(' '));
    }
    QString alias;
    std::optional<qint64> parent;
    const QStringList opts = words(tail);
    for (int i = 0; i < opts.size(); ++i) {
        const QString o = opts[i].toLower();
        if (o == QLatin1String("wait") || o == QLatin1String("shareable") || o == QLatin1String("notify"))
            continue;
        if (i + 1 >= opts.size())
            return MciMissingParameter;
        const QString value = opts[++i];
        if (o == QLatin1String("alias"))
            alias = value.toLower();
        else if (o == QLatin1String("parent"))
            parent = number(value);
        else if (o != QLatin1String("type") && o != QLatin1String("style"))
            return MciUnrecognizedCommand;
    }
    if (alias.isEmpty() || alias == QLatin1String("all"))
        return MciMissingParameter;
    if (aliases_.contains(alias))
        return MciDuplicateAlias;
    if (path.isEmpty())
        return MciCannotOpen;

    auto a = std::make_shared<Alias>();
    a->name = alias;
    a->path = path;
    QUrl source;
    const bool net = isAddress(path);
    static const QRegularExpression cdTrack(QStringLiteral("(\\d\\d)\\.cda$"), QRegularExpression::CaseInsensitiveOption);
    if (const auto m = cdTrack.match(path); m.hasMatch()) {
        a->cdAudio = true;
        source = QUrl(QStringLiteral("cdda://") + m.captured(1));
    } else if (net || path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        source = QUrl(path);
    } else {
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable())
            return MciCannotOpen;
        source = QUrl::fromLocalFile(info.absoluteFilePath());
    }

    prepare();
    a->holder = std::exchange(spare_.holder, nullptr);
    a->player = std::exchange(spare_.player, nullptr);
    a->output = std::exchange(spare_.output, nullptr);
    applyVolume(*a);
    if (parent) {
        a->sink = new QVideoSink(a->holder);
        a->player->setVideoOutput(a->sink);
    }
    aliases_.insert(alias, a);
    a->player->setSource(source);

    const QDeadlineTimer deadline(net ? addressWaitMs_ : fileWaitMs_);
    QMediaPlayer* p = a->player;
    waitUntil(*a, deadline, [p] { return loaded(p->mediaStatus()) || failed(*p); });
    if (!a->cancelled && loaded(p->mediaStatus()) && !failed(*p) && a->sink && !p->hasVideo()) {
        // An item without pictures (a sound in a Windows Media file) gets
        // no sink and no surface over the window it was given.
        p->setVideoOutput(static_cast<QObject*>(nullptr));
        delete std::exchange(a->sink, nullptr);
    }
    if (!a->cancelled && loaded(p->mediaStatus()) && !failed(*p) && a->sink && p->hasVideo()) {
        // Some files tell their frame size only with their first frame.
        QVideoSink* sink = a->sink;
        if (!sink->videoSize().isValid() || sink->videoSize().isEmpty()) {
            p->pause();
            waitUntil(*a, deadline, [sink, p] { return (sink->videoSize().isValid() && !sink->videoSize().isEmpty()) || failed(*p); });
        }
        a->nativeSize = sink->videoSize();
    }
    const bool ok = !a->cancelled && loaded(p->mediaStatus()) && !failed(*p)
                    && (!a->sink || !p->hasVideo() || (a->nativeSize.isValid() && !a->nativeSize.isEmpty()));
    if (!ok) {
        if (!a->cancelled) {
            a->cancelled = true;
            aliases_.remove(alias);
        }
        release(*a);
        return MciCannotOpen;
    }
    if (a->sink && parent) {
        if (QWidget* w = widgethandles::widgetOf(static_cast<quintptr>(*parent))) {
            a->surface = new VideoSurface(w);
            a->surface->attach(a->sink);
            a->surface->show();
        }
    }
    a->pending = false;
    a->stopped = true;
    // The next item's player is made while this one plays.
    QTimer::singleShot(0, timers_.get(), [this] { prepare(); });
    return MciOk;
}

} // namespace platform::media
