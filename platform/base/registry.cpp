#include "platform/base/registry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::registry {

QByteArray Value::data() const
{
    switch (type) {
    case ValueType::String:
    case ValueType::ExpandString: {
        QByteArray b = text.toLocal8Bit();
        b.append('\0');
        return b;
    }
    case ValueType::Binary:
        return bytes;
    case ValueType::Dword: {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
        return b;
    }
    case ValueType::None:
        break;
    }
    return {};
}

bool Value::operator==(const Value& o) const
{
    if (type != o.type)
        return false;
    switch (type) {
    case ValueType::String:
    case ValueType::ExpandString:
        return text == o.text;
    case ValueType::Binary:
        return bytes == o.bytes;
    case ValueType::Dword:
        return number == o.number;
    case ValueType::None:
        break;
    }
    return true;
}

std::optional<Hive> hiveFromName(const QString& name)
{
    const QString n = name.toUpper();
    if (n == QLatin1String("HKCU") || n == QLatin1String("HKEY_CURRENT_USER"))
        return Hive::CurrentUser;
    if (n == QLatin1String("HKLM") || n == QLatin1String("HKEY_LOCAL_MACHINE"))
        return Hive::LocalMachine;
    if (n == QLatin1String("HKCR") || n == QLatin1String("HKEY_CLASSES_ROOT"))
        return Hive::ClassesRoot;
    return std::nullopt;
}

QString hiveShortName(Hive hive)
{
    switch (hive) {
    case Hive::ClassesRoot: return QStringLiteral("HKCR");
    case Hive::CurrentUser: return QStringLiteral("HKCU");
    case Hive::LocalMachine: return QStringLiteral("HKLM");
    }
    return {};
}

QString hiveLongName(Hive hive)
{
    switch (hive) {
    case Hive::ClassesRoot: return QStringLiteral("HKEY_CLASSES_ROOT");
    case Hive::CurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case Hive::LocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    }
    return {};
}

QString storeFolder()
{
    QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/registry");
}

namespace {

constexpr char kHeader[] = "REGISTRY HIVE 1";
constexpr char kTrailer[] = "END";

thread_local QString t_lastError;

void setError(const QString& why)
{
    t_lastError = why;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(::strerror(error));
}

struct CaseLess {
    bool operator()(const QString& a, const QString& b) const { return a.compare(b, Qt::CaseInsensitive) < 0; }
};

// One key: its sub-keys sorted without regard to case, its values in
// creation order with an index by name, so that every lookup and insert
// takes logarithmic time.
class KeyNode {
public:
    using Children = std::map<QString, std::unique_ptr<KeyNode>, CaseLess>;

    KeyNode* child(const QString& name) const
    {
        const auto it = children_.find(name);
        return it == children_.end() ? nullptr : it->second.get();
    }
    // The sub-key of that name, created with this spelling when missing.
    KeyNode* addChild(const QString& name)
    {
        auto& slot = children_[name];
        if (!slot)
            slot = std::make_unique<KeyNode>();
        return slot.get();
    }
    bool removeChild(const QString& name) { return children_.erase(name) > 0; }
    const Children& children() const { return children_; }

    const NamedValue* value(const QString& name) const
    {
        const auto it = index_.find(name);
        return it == index_.end() ? nullptr : &values_[it->second];
    }
    // Stores the value under the name (keeping an existing value's spelling
    // and place); false when it held that value already.
    bool setValue(const QString& name, const Value& v)
    {
        const auto it = index_.find(name);
        if (it == index_.end()) {
            index_.emplace(name, values_.size());
            values_.append({name, v});
            return true;
        }
        Value& old = values_[it->second].value;
        if (old == v)
            return false;
        old = v;
        return true;
    }
    bool removeValue(const QString& name)
    {
        const auto it = index_.find(name);
        if (it == index_.end())
            return false;
        const qsizetype at = it->second;
        index_.erase(it);
        values_.removeAt(at);
        for (auto& entry : index_)
            if (entry.second > at)
                --entry.second;
        return true;
    }
    const QList<NamedValue>& values() const { return values_; }

private:
    Children children_;
    QList<NamedValue> values_;
    std::map<QString, qsizetype, CaseLess> index_;
};

QStringList splitPath(const QString& path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// Why a key path cannot be kept in a hive, or "".
QString pathProblem(const QStringList& parts)
{
    if (parts.size() > kMaxKeyDepth)
        return QStringLiteral("the key path has %1 levels; at most %2 are allowed").arg(parts.size()).arg(kMaxKeyDepth);
    for (const QString& p : parts)
        if (p.size() > kMaxKeyNameChars)
            return QStringLiteral("a key name has %1 characters; at most %2 are allowed")
                .arg(p.size())
                .arg(kMaxKeyNameChars);
    return {};
}

// Why a value cannot be kept in a hive, or "".
QString valueProblem(const QString& name, const Value& v)
{
    if (name.size() > kMaxValueNameChars)
        return QStringLiteral("the value name has %1 characters; at most %2 are allowed")
            .arg(name.size())
            .arg(kMaxValueNameChars);
    const qsizetype size = v.type == ValueType::Binary ? v.bytes.size() : v.text.size();
    if (size > kMaxValueDataSize)
        return QStringLiteral("the value's data has %1 %2; at most %3 are allowed")
            .arg(size)
            .arg(v.type == ValueType::Binary ? QStringLiteral("bytes") : QStringLiteral("characters"))
            .arg(kMaxValueDataSize);
    return {};
}

// Percent escapes keep every name and text on one line of the hive file.
QString escape(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '%': out += QLatin1String("%25"); break;
        case '\t': out += QLatin1String("%09"); break;
        case '\n': out += QLatin1String("%0A"); break;
        case '\r': out += QLatin1String("%0D"); break;
        case 0: out += QLatin1String("%00"); break;
        default: out += c;
        }
    }
    return out;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

std::optional<QString> unescape(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('%')) {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size())
            return std::nullopt;
        const int high = hexDigit(s[i + 1]), low = hexDigit(s[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += QChar(static_cast<char16_t>(high * 16 + low));
        i += 2;
    }
    return out;
}

void serializeKey(const KeyNode& key, const QString& path, QByteArray& out)
{
    if (!path.isEmpty()) {
        out += '[';
        out += escape(path).toUtf8();
        out += "]\n";
    } else if (!key.values().isEmpty()) {
        out += "[\\]\n"; // the hive's own values: a path of no names
    }
    for (const NamedValue& nv : key.values()) {
        const QByteArray name = escape(nv.name).toUtf8();
        switch (nv.value.type) {
        case ValueType::String:
            out += "sz\t" + name + '\t' + escape(nv.value.text).toUtf8() + '\n';
            break;
        case ValueType::ExpandString:
            out += "esz\t" + name + '\t' + escape(nv.value.text).toUtf8() + '\n';
            break;
        case ValueType::Binary:
            out += "bin\t" + name + '\t' + nv.value.bytes.toHex() + '\n';
            break;
        case ValueType::Dword:
            out += "dword\t" + name + '\t' + QByteArray::number(nv.value.number) + '\n';
            break;
        case ValueType::None:
            break;
        }
    }
    for (const auto& [name, child] : key.children())
        serializeKey(*child, path.isEmpty() ? name : path + QLatin1Char('\\') + name, out);
}

QByteArray serialize(const KeyNode& root)
{
    QByteArray out = QByteArray(kHeader) + '\n';
    serializeKey(root, QString(), out);
    out += kTrailer;
    out += '\n';
    return out;
}

KeyNode* findKey(KeyNode& root, const QStringList& parts)
{
    KeyNode* k = &root;
    for (const QString& p : parts) {
        k = k->child(p);
        if (!k)
            return nullptr;
    }
    return k;
}

KeyNode* makeKey(KeyNode& root, const QStringList& parts)
{
    KeyNode* k = &root;
    for (const QString& p : parts)
        k = k->addChild(p);
    return k;
}

// What a hive file's bytes hold: every key and value that could be read, and
// the lines that could not.
struct Parsed {
    KeyNode root;
    int damagedLines = 0;
    QString firstDamage; // "line N: what"
};

std::optional<Value> parseValue(QStringView type, QStringView data)
{
    if (type == QLatin1String("sz") || type == QLatin1String("esz")) {
        const auto text = unescape(data);
        if (!text)
            return std::nullopt;
        return type == QLatin1String("sz") ? Value::string(*text) : Value::expandString(*text);
    }
    if (type == QLatin1String("bin")) {
        if (data.size() % 2)
            return std::nullopt;
        QByteArray bytes(data.size() / 2, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const int high = hexDigit(data[2 * i]), low = hexDigit(data[2 * i + 1]);
            if (high < 0 || low < 0)
                return std::nullopt;
            bytes[i] = static_cast<char>(high * 16 + low);
        }
        return Value::binary(bytes);
    }
    if (type == QLatin1String("dword")) {
        if (data.isEmpty() || data.size() > 10)
            return std::nullopt;
        uint64_t n = 0;
        for (const QChar c : data) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            n = n * 10 + (c.unicode() - '0');
        }
        if (n > UINT32_MAX)
            return std::nullopt;
        return Value::dword(static_cast<uint32_t>(n));
    }
    return std::nullopt;
}

// Reads a hive file line by line. A line that cannot be read is skipped and
// counted; the values below a key line that cannot be read are lost with it,
// never given to another key. Only lines that end in a line break are
// trusted: a last line cut off in the middle may have lost part of its data.
Parsed parse(const QByteArray& bytes, bool cut)
{
    Parsed r;
    auto damage = [&r](qsizetype line, const QString& what) {
        if (r.damagedLines++ == 0)
            r.firstDamage = QStringLiteral("line %1: %2").arg(line).arg(what);
    };
    QStringDecoder utf8(QStringDecoder::Utf8);
    KeyNode* current = nullptr;
    bool keyLost = false;
    bool ended = false;
    qsizetype lineNumber = 0;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        ++lineNumber;
        const qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0) {
            damage(lineNumber, QStringLiteral("the line is cut off"));
            break;
        }
        const QByteArrayView raw(bytes.constData() + pos, end - pos);
        pos = end + 1;
        if (lineNumber == 1) {
            if (raw == QByteArrayView(kHeader))
                continue;
            damage(lineNumber, QStringLiteral("the file does not begin with a hive header"));
        }
        if (raw.isEmpty())
            continue;
        if (raw == QByteArrayView(kTrailer)) {
            ended = true;
            continue;
        }
        if (ended) {
            damage(lineNumber, QStringLiteral("text after the end line"));
            ended = false;
        }
        // A line without a tab is no value line: when it cannot be read, it
        // is taken for a damaged key line, so that the values below it are
        // not given to the key above it.
        const bool keyLine = raw.startsWith('[') || !raw.contains('\t');
        if (keyLine)
            current = nullptr;
        if (raw.contains('\0') || raw.contains('\r')) {
            damage(lineNumber, QStringLiteral("a control character that is never written"));
            keyLost = keyLost || keyLine;
            continue;
        }
        const QString line = utf8.decode(raw);
        if (utf8.hasError()) {
            utf8.resetState();
            damage(lineNumber, QStringLiteral("text that is not UTF-8"));
            keyLost = keyLost || keyLine;
            continue;
        }
        if (keyLine) {
            keyLost = true;
            if (!line.startsWith(QLatin1Char('[')) || !line.endsWith(QLatin1Char(']'))) {
                damage(lineNumber, QStringLiteral("a line that is neither a key nor a value"));
                continue;
            }
            const auto path = unescape(QStringView(line).mid(1, line.size() - 2));
            if (!path || path->isEmpty()) {
                damage(lineNumber, QStringLiteral("a key path that cannot be read"));
                continue;
            }
            const QStringList parts = splitPath(*path);
            const QString problem = pathProblem(parts);
            if (!problem.isEmpty()) {
                damage(lineNumber, problem);
                continue;
            }
            current = makeKey(r.root, parts);
            keyLost = false;
            continue;
        }
        if (!current) {
            damage(lineNumber, keyLost ? QStringLiteral("a value of a key line that could not be read")
                                       : QStringLiteral("a value before any key line"));
            continue;
        }
        const QStringView view(line);
        const qsizetype tab1 = view.indexOf(QLatin1Char('\t'));
        const qsizetype tab2 = tab1 < 0 ? -1 : view.indexOf(QLatin1Char('\t'), tab1 + 1);
        if (tab2 < 0 || view.indexOf(QLatin1Char('\t'), tab2 + 1) >= 0) {
            damage(lineNumber, QStringLiteral("a value line without its three fields"));
            continue;
        }
        const auto name = unescape(view.mid(tab1 + 1, tab2 - tab1 - 1));
        const auto value = parseValue(view.left(tab1), view.mid(tab2 + 1));
        if (!name || !value) {
            damage(lineNumber, QStringLiteral("a value that cannot be read"));
            continue;
        }
        const QString problem = valueProblem(*name, *value);
        if (!problem.isEmpty()) {
            damage(lineNumber, problem);
            continue;
        }
        current->setValue(*name, *value);
    }
    if (bytes.isEmpty())
        damage(1, QStringLiteral("the file is empty"));
    else if (cut)
        damage(lineNumber, QStringLiteral("the file is larger than %1 bytes").arg(kMaxHiveBytes));
    else if (!ended)
        damage(lineNumber, QStringLiteral("the end line is missing"));
    return r;
}

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = -1;
    timespec mtime{};
    mode_t mode = 0; // not part of the identity
    bool operator==(const FileId& o) const
    {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec
               && mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

FileId idOf(const struct stat& st)
{
    return FileId{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_mode};
}

// The identity of the file at path; nullopt with errno set when it cannot
// be had.
std::optional<FileId> statFile(const QByteArray& path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return std::nullopt;
    return idOf(st);
}

long msSince(const timespec& start)
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
}

// An exclusive lock on the hive's lock file for a read-modify-write; other
// processes wait for it, but never longer than kLockWaitMs for one holder: a
// holder that is stopped or hung makes the change fail instead of hanging
// its caller. Each holder counts itself in the lock file, so a waiter sees
// the lock go from hand to hand and waits on however many come before it.
constexpr int kLockWaitMs = 10000;

uint64_t lockHolders(int fd)
{
    uint64_t count = 0;
    return ::pread(fd, &count, sizeof count, 0) == static_cast<ssize_t>(sizeof count) ? count : 0;
}

class HiveLock {
public:
    explicit HiveLock(const QByteArray& path)
    {
        fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0600);
        if (fd_ < 0) {
            error_ = QStringLiteral("the lock file %1 cannot be opened: %2")
                         .arg(QFile::decodeName(path), errnoText(errno));
            return;
        }
        timespec start{};
        ::clock_gettime(CLOCK_MONOTONIC, &start);
        long pauseUs = 100;
        uint64_t holders = lockHolders(fd_);
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error != EINTR && error != EWOULDBLOCK) {
                error_ = QStringLiteral("the lock file %1 cannot be locked: %2")
                             .arg(QFile::decodeName(path), errnoText(error));
                release();
                return;
            }
            if (const uint64_t now = lockHolders(fd_); now != holders) {
                // Another holder came and went: the lock moves, the wait starts again.
                holders = now;
                ::clock_gettime(CLOCK_MONOTONIC, &start);
            }
            if (msSince(start) >= kLockWaitMs) {
                error_ = QStringLiteral("another process has held the lock %1 for more than %2 seconds")
                             .arg(QFile::decodeName(path))
                             .arg(kLockWaitMs / 1000);
                release();
                return;
            }
            ::usleep(static_cast<useconds_t>(pauseUs));
            pauseUs = std::min(pauseUs * 2, 5000L);
        }
        const uint64_t next = lockHolders(fd_) + 1;
        const ssize_t counted = ::pwrite(fd_, &next, sizeof next, 0);
        (void)counted; // a count that could not be written only makes waiters wait less long
    }
    ~HiveLock() { release(); }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool held() const { return fd_ >= 0; }
    const QString& error() const { return error_; }

private:
    void release()
    {
        if (fd_ >= 0)
            ::close(fd_); // closing releases the lock
        fd_ = -1;
    }

    int fd_ = -1;
    QString error_;
};

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

class HiveFile {
public:
    explicit HiveFile(const QString& fileName) : fileName_(fileName) {}

    // Brings the cached tree up to date with the file. A missing file is an
    // empty hive; a damaged one is salvaged. False, with the reason in
    // lastError(), when the file cannot be read now: the tree is then empty
    // and the file is left as it is.
    bool refresh(bool locked)
    {
        ensurePaths();
        const auto id = statFile(path_);
        if (!id) {
            const int error = errno;
            if (error == ENOENT)
                return useEmpty();
            return unreadable(QStringLiteral("the hive file %1 cannot be read: %2").arg(shownPath(), errnoText(error)));
        }
        if (id_ && *id_ == *id)
            return true;
        if (!S_ISREG(id->mode))
            return unreadable(notRegular());
        QByteArray bytes;
        FileId readId;
        bool cut = false;
        switch (readFile(bytes, readId, cut)) {
        case Read::Missing:
            return useEmpty();
        case Read::Failed:
            return unreadable(t_lastError);
        case Read::Done:
            break;
        }
        Parsed parsed = parse(bytes, cut);
        if (parsed.damagedLines == 0) {
            root_ = std::move(parsed.root);
            id_ = readId;
            reported_.clear();
            return true;
        }
        if (!locked) {
            // Mended under the lock, after a second look: another process may
            // have replaced the file in between.
            HiveLock lock(lockPath_);
            if (lock.held())
                return refresh(true);
            report(QStringLiteral("the hive file %1 has damaged lines (%2); it is read without them and will be "
                                  "repaired when its lock is free")
                       .arg(shownPath(), parsed.firstDamage));
            root_ = std::move(parsed.root);
            id_.reset();
            return true;
        }
        salvage(parsed);
        return true;
    }

    KeyNode& root() { return root_; }

    // Forgets the cached tree; the next access reads the file again.
    void forget() { dir_.clear(); }

    // A locked read-modify-write: change() edits the tree and tells whether
    // it changed anything worth writing. Returns false when change() refused
    // or the file could not be read or written; the tree is then read again
    // at the next access.
    template <class Change> bool modify(Change change)
    {
        ensurePaths();
        if (!QDir().mkpath(QFile::decodeName(dir_))) {
            setError(QStringLiteral("the folder %1 cannot be created").arg(QFile::decodeName(dir_)));
            return false;
        }
        HiveLock lock(lockPath_);
        if (!lock.held()) {
            setError(lock.error());
            return false;
        }
        if (!refresh(true))
            return false;
        removeStaleTemporaries();
        bool dirty = false;
        const bool done = change(root_, dirty);
        if (!done || !dirty) {
            if (dirty)
                invalidate();
            return done;
        }
        const QByteArray bytes = serialize(root_);
        if (bytes.size() > kMaxHiveBytes) {
            invalidate();
            setError(QStringLiteral("the hive would grow beyond %1 bytes").arg(kMaxHiveBytes));
            return false;
        }
        if (!writeFile(bytes)) {
            invalidate();
            return false;
        }
        id_ = statFile(path_);
        return true;
    }

private:
    enum class Read { Done, Missing, Failed };

    QString shownPath() const { return QFile::decodeName(path_); }
    QString notRegular() const
    {
        return QStringLiteral("the hive file %1 is not a regular file; it is not read").arg(shownPath());
    }

    void ensurePaths()
    {
        const QString dir = storeFolder();
        const QByteArray d = QFile::encodeName(dir);
        if (d == dir_)
            return;
        dir_ = d;
        path_ = QFile::encodeName(dir + QLatin1Char('/') + fileName_);
        lockPath_ = path_ + ".lock";
        invalidate();
        reported_.clear();
    }

    void invalidate()
    {
        root_ = KeyNode{};
        id_.reset();
    }

    bool useEmpty()
    {
        invalidate();
        reported_.clear();
        return true;
    }

    bool unreadable(const QString& why)
    {
        invalidate();
        setError(why);
        report(why);
        return false;
    }

    // Standard error hears of each trouble once, not at every access.
    void report(const QString& what)
    {
        if (what == reported_)
            return;
        reported_ = what;
        fprintf(stderr, "registry: %s\n", what.toLocal8Bit().constData());
        fflush(stderr);
    }

    // Reads the whole file, up to the size limit, through one open handle:
    // never blocking (a FIFO is refused before any read), and identified by
    // that handle so that a file replaced in between is not mistaken.
    Read readFile(QByteArray& bytes, FileId& id, bool& cut)
    {
        const int fd = ::open(path_.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (error == ENOENT)
                return Read::Missing;
            setError(QStringLiteral("the hive file %1 cannot be opened: %2").arg(shownPath(), errnoText(error)));
            return Read::Failed;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            setError(QStringLiteral("the hive file %1 cannot be read: %2").arg(shownPath(), errnoText(errno)));
            ::close(fd);
            return Read::Failed;
        }
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            setError(notRegular());
            return Read::Failed;
        }
        id = idOf(st);
        bytes.resize(static_cast<qsizetype>(std::min<qint64>(st.st_size, kMaxHiveBytes) + 1));
        qsizetype got = 0;
        for (;;) {
            if (got == bytes.size()) {
                if (bytes.size() > kMaxHiveBytes) {
                    cut = true;
                    got = kMaxHiveBytes;
                    break;
                }
                bytes.resize(std::min<qsizetype>(bytes.size() * 2, kMaxHiveBytes + 1));
            }
            const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                setError(QStringLiteral("the hive file %1 cannot be read: %2").arg(shownPath(), errnoText(errno)));
                ::close(fd);
                return Read::Failed;
            }
            if (n == 0)
                break;
            got += n;
        }
        ::close(fd);
        bytes.truncate(got);
        return Read::Done;
    }

    // Keeps the damaged file aside under its own name and writes back what
    // could be read. Called with the lock held.
    void salvage(Parsed& parsed)
    {
        const QByteArray stem = path_ + ".broken-"
                                + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")).toLatin1()
                                + '-' + QByteArray::number(::getpid());
        const QString damage = QStringLiteral("%1 damaged line%2, the first at %3")
                                   .arg(parsed.damagedLines)
                                   .arg(parsed.damagedLines == 1 ? QString() : QStringLiteral("s"))
                                   .arg(parsed.firstDamage);
        root_ = std::move(parsed.root);
        id_.reset();
        QByteArray aside = stem;
        int linked = ::link(path_.constData(), aside.constData());
        for (int n = 2; linked != 0 && errno == EEXIST && n < 100; ++n) {
            aside = stem + '-' + QByteArray::number(n);
            linked = ::link(path_.constData(), aside.constData());
        }
        if (linked != 0) {
            report(QStringLiteral("the hive file %1 has %2; it is read without them, but it is left as it is: a copy "
                                  "cannot be kept aside (%3)")
                       .arg(shownPath(), damage, errnoText(errno)));
            return;
        }
        if (!writeFile(serialize(root_))) {
            report(QStringLiteral("the hive file %1 has %2; it is read without them, but the repaired hive cannot be "
                                  "written (%3); the damaged file is kept as %4")
                       .arg(shownPath(), damage, t_lastError, QFile::decodeName(aside)));
            return;
        }
        id_ = statFile(path_);
        reported_.clear();
        fprintf(stderr,
                "registry: the hive file %s had %s; every key and value that could be read was kept and written "
                "back, and the damaged file was kept as %s\n",
                path_.constData(), damage.toLocal8Bit().constData(), aside.constData());
        fflush(stderr);
    }

    // Removes the temporary copies that writers killed in the middle of a
    // write left behind. Called with the lock held, so no live writer of
    // this hive is using one, but a process that still exists is left alone.
    void removeStaleTemporaries()
    {
        DIR* dir = ::opendir(dir_.constData());
        if (!dir)
            return;
        const QByteArray prefix = QFile::encodeName(fileName_) + ".tmp-";
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArrayView name(entry->d_name);
            if (!name.startsWith(prefix))
                continue;
            const QByteArrayView digits = name.sliced(prefix.size());
            bool ok = !digits.isEmpty() && digits.size() <= 9;
            for (const char c : digits)
                ok = ok && c >= '0' && c <= '9';
            const long pid = ok ? digits.toLong(&ok) : 0;
            if (!ok || pid <= 0 || pid == ::getpid())
                continue;
            if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
        ::closedir(dir);
    }

    // Writes the new hive beside the old one and renames it into place. Its
    // modification time is made later than the previous file's, so that the
    // (inode, size, time) identity that readers compare never repeats even
    // when inode numbers are reused within one clock tick.
    bool writeFile(const QByteArray& bytes)
    {
        const QByteArray tmp = path_ + ".tmp-" + QByteArray::number(::getpid());
        ::unlink(tmp.constData());
        const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            setError(QStringLiteral("the hive file %1 cannot be written: %2").arg(shownPath(), errnoText(errno)));
            return false;
        }
        bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
        if (ok) {
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            if (const auto prev = statFile(path_)) {
                const timespec& p = prev->mtime;
                if (now.tv_sec < p.tv_sec || (now.tv_sec == p.tv_sec && now.tv_nsec <= p.tv_nsec)) {
                    now = p;
                    if (++now.tv_nsec >= 1000000000L) {
                        now.tv_nsec = 0;
                        ++now.tv_sec;
                    }
                }
            }
            const timespec times[2] = {now, now};
            ok = ::futimens(fd, times) == 0;
        }
        const int writeError = errno;
        ::close(fd);
        if (!ok || ::rename(tmp.constData(), path_.constData()) != 0) {
            setError(QStringLiteral("the hive file %1 cannot be written: %2")
                         .arg(shownPath(), errnoText(ok ? errno : writeError)));
            ::unlink(tmp.constData());
            return false;
        }
        const int dfd = ::open(dir_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
        return true;
    }

    QString fileName_;
    QByteArray dir_, path_, lockPath_;
    KeyNode root_;
    std::optional<FileId> id_;
    QString reported_;
};

std::recursive_mutex& storeMutex()
{
    static std::recursive_mutex m;
    return m;
}

HiveFile& machineHive()
{
    static HiveFile h(QStringLiteral("HKEY_LOCAL_MACHINE.hive"));
    return h;
}

HiveFile& userHive()
{
    static HiveFile h(QStringLiteral("HKEY_CURRENT_USER.hive"));
    return h;
}

// The file and the path inside it that a hive and key path address.
struct Location {
    HiveFile& file;
    QStringList parts;
};

Location locate(Hive hive, const QString& path)
{
    QStringList parts = splitPath(path);
    switch (hive) {
    case Hive::CurrentUser:
        return {userHive(), parts};
    case Hive::ClassesRoot:
        parts.prepend(QStringLiteral("Classes"));
        parts.prepend(QStringLiteral("SOFTWARE"));
        return {machineHive(), parts};
    case Hive::LocalMachine:
        break;
    }
    return {machineHive(), parts};
}

bool isValidHive(Hive hive)
{
    return hive == Hive::CurrentUser || hive == Hive::LocalMachine || hive == Hive::ClassesRoot;
}

// Runs a read against the up-to-date tree; a hive that cannot be read has no
// keys.
template <class Read> auto withKey(Hive hive, const QString& path, Read read)
    -> decltype(read(static_cast<const KeyNode*>(nullptr)))
{
    t_lastError.clear();
    if (!isValidHive(hive)) {
        setError(QStringLiteral("no such hive"));
        return read(nullptr);
    }
    std::lock_guard guard(storeMutex());
    Location loc = locate(hive, path);
    if (!loc.file.refresh(false))
        return read(nullptr);
    return read(findKey(loc.file.root(), loc.parts));
}

template <class Change> bool modifyKey(Hive hive, const QString& path, Change change)
{
    t_lastError.clear();
    if (!isValidHive(hive)) {
        setError(QStringLiteral("no such hive"));
        return false;
    }
    std::lock_guard guard(storeMutex());
    Location loc = locate(hive, path);
    const QString problem = pathProblem(loc.parts);
    if (!problem.isEmpty()) {
        setError(problem);
        return false;
    }
    return loc.file.modify([&](KeyNode& root, bool& dirty) { return change(root, loc.parts, dirty); });
}

} // namespace

bool keyExists(Hive hive, const QString& path)
{
    return withKey(hive, path, [](const KeyNode* k) { return k != nullptr; });
}

bool createKey(Hive hive, const QString& path)
{
    return modifyKey(hive, path, [](KeyNode& root, const QStringList& parts, bool& dirty) {
        if (!findKey(root, parts)) {
            makeKey(root, parts);
            dirty = true;
        }
        return true;
    });
}

bool deleteKey(Hive hive, const QString& path, bool recursive)
{
    return modifyKey(hive, path, [recursive](KeyNode& root, const QStringList& parts, bool& dirty) {
        if (parts.isEmpty())
            return false;
        KeyNode* parent = findKey(root, parts.mid(0, parts.size() - 1));
        const KeyNode* key = parent ? parent->child(parts.last()) : nullptr;
        if (!key || (!recursive && !key->children().empty()))
            return false;
        parent->removeChild(parts.last());
        dirty = true;
        return true;
    });
}

std::optional<Value> readValue(Hive hive, const QString& path, const QString& name)
{
    return withKey(hive, path, [&name](const KeyNode* k) -> std::optional<Value> {
        const NamedValue* nv = k ? k->value(name) : nullptr;
        if (!nv)
            return std::nullopt;
        return nv->value;
    });
}

bool writeValue(Hive hive, const QString& path, const QString& name, const Value& value, bool createKeyIfMissing)
{
    t_lastError.clear();
    if (value.type == ValueType::None) {
        setError(QStringLiteral("a value needs a type"));
        return false;
    }
    const QString problem = valueProblem(name, value);
    if (!problem.isEmpty()) {
        setError(problem);
        return false;
    }
    return modifyKey(hive, path, [&](KeyNode& root, const QStringList& parts, bool& dirty) {
        KeyNode* key = findKey(root, parts);
        if (!key) {
            if (!createKeyIfMissing)
                return false;
            key = makeKey(root, parts);
            dirty = true;
        }
        if (key->setValue(name, value))
            dirty = true;
        return true;
    });
}

bool writeValues(Hive hive, const QList<ValueWrite>& writes)
{
    t_lastError.clear();
    if (!isValidHive(hive)) {
        setError(QStringLiteral("no such hive"));
        return false;
    }
    for (const ValueWrite& w : writes) {
        const QString problem = w.value.type == ValueType::None ? QStringLiteral("a value needs a type")
                                                                : valueProblem(w.name, w.value);
        if (!problem.isEmpty()) {
            setError(problem);
            return false;
        }
    }
    if (writes.isEmpty())
        return true;
    std::lock_guard guard(storeMutex());
    // Every path of one hive lies in the same file.
    QList<QStringList> keys;
    for (const ValueWrite& w : writes) {
        QStringList parts = locate(hive, w.path).parts;
        const QString problem = pathProblem(parts);
        if (!problem.isEmpty()) {
            setError(problem);
            return false;
        }
        keys.append(std::move(parts));
    }
    return locate(hive, writes.front().path).file.modify([&](KeyNode& root, bool& dirty) {
        for (qsizetype i = 0; i < writes.size(); ++i) {
            KeyNode* key = findKey(root, keys[i]);
            if (!key) {
                key = makeKey(root, keys[i]);
                dirty = true;
            }
            if (key->setValue(writes[i].name, writes[i].value))
                dirty = true;
        }
        return true;
    });
}

bool deleteValue(Hive hive, const QString& path, const QString& name)
{
    return modifyKey(hive, path, [&name](KeyNode& root, const QStringList& parts, bool& dirty) {
        KeyNode* key = findKey(root, parts);
        if (!key || !key->removeValue(name))
            return false;
        dirty = true;
        return true;
    });
}

std::optional<QStringList> subKeys(Hive hive, const QString& path)
{
    return withKey(hive, path, [](const KeyNode* k) -> std::optional<QStringList> {
        if (!k)
            return std::nullopt;
        QStringList names;
        names.reserve(static_cast<qsizetype>(k->children().size()));
        for (const auto& entry : k->children())
            names << entry.first;
        return names;
    });
}

std::optional<QList<NamedValue>> values(Hive hive, const QString& path)
{
    return withKey(hive, path, [](const KeyNode* k) -> std::optional<QList<NamedValue>> {
        if (!k)
            return std::nullopt;
        return k->values();
    });
}

QString lastError()
{
    return t_lastError;
}

void resetCache()
{
    std::lock_guard guard(storeMutex());
    machineHive().forget();
    userHive().forget();
}

} // namespace platform::registry
