#include "platform/registry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>
#include <vector>

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
constexpr qint64 kMaxHiveBytes = 256ll * 1024 * 1024;

struct KeyNode {
    QString name;
    std::vector<KeyNode> children; // sorted without regard to case
    QList<NamedValue> values;      // in creation order

    KeyNode* child(const QString& n)
    {
        for (KeyNode& c : children)
            if (c.name.compare(n, Qt::CaseInsensitive) == 0)
                return &c;
        return nullptr;
    }
    KeyNode* addChild(const QString& n)
    {
        auto it = children.begin();
        while (it != children.end() && it->name.compare(n, Qt::CaseInsensitive) < 0)
            ++it;
        it = children.insert(it, KeyNode{n, {}, {}});
        return &*it;
    }
    NamedValue* value(const QString& n)
    {
        for (NamedValue& v : values)
            if (v.name.compare(n, Qt::CaseInsensitive) == 0)
                return &v;
        return nullptr;
    }
};

QStringList splitPath(const QString& path)
{
    QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts;
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
        bool ok = false;
        const uint code = s.mid(i + 1, 2).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        out += QChar(static_cast<char16_t>(code));
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
    } else if (!key.values.isEmpty()) {
        out += "[\\]\n"; // the hive's own values: a path of no names
    }
    for (const NamedValue& nv : key.values) {
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
    for (const KeyNode& c : key.children)
        serializeKey(c, path.isEmpty() ? c.name : path + QLatin1Char('\\') + c.name, out);
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
    for (const QString& p : parts) {
        KeyNode* c = k->child(p);
        k = c ? c : k->addChild(p);
    }
    return k;
}

std::optional<KeyNode> parse(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    // A complete file ends with the trailer line and a final newline.
    if (lines.size() < 3 || lines.first() != kHeader || !lines.last().isEmpty()
        || lines[lines.size() - 2] != kTrailer)
        return std::nullopt;
    KeyNode root;
    KeyNode* current = nullptr;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return std::nullopt;
            const auto path = unescape(QStringView(line).mid(1, line.size() - 2));
            if (!path || path->isEmpty())
                return std::nullopt;
            current = makeKey(root, splitPath(*path));
            continue;
        }
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() != 3 || !current)
            return std::nullopt;
        const auto name = unescape(f[1]);
        if (!name)
            return std::nullopt;
        Value v;
        if (f[0] == QLatin1String("sz") || f[0] == QLatin1String("esz")) {
            const auto text = unescape(f[2]);
            if (!text)
                return std::nullopt;
            v = f[0] == QLatin1String("sz") ? Value::string(*text) : Value::expandString(*text);
        } else if (f[0] == QLatin1String("bin")) {
            const QByteArray hex = f[2].toLatin1();
            if (hex.size() % 2)
                return std::nullopt;
            v = Value::binary(QByteArray::fromHex(hex));
        } else if (f[0] == QLatin1String("dword")) {
            bool ok = false;
            const uint n = f[2].toUInt(&ok);
            if (!ok)
                return std::nullopt;
            v = Value::dword(n);
        } else {
            return std::nullopt;
        }
        if (NamedValue* existing = current->value(*name))
            existing->value = v;
        else
            current->values.append({*name, v});
    }
    return root;
}

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = -1;
    timespec mtime{};
    bool operator==(const FileId& o) const
    {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec
               && mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

std::optional<FileId> statFile(const QByteArray& path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return std::nullopt;
    return FileId{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

// An exclusive lock on the hive's lock file for a read-modify-write; other
// processes wait for it, but never longer than kLockWaitMs: a holder that
// is stopped or hung makes the change fail instead of hanging its caller.
constexpr int kLockWaitMs = 10000;

class HiveLock {
public:
    explicit HiveLock(const QByteArray& path)
    {
        fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return;
        timespec start{};
        ::clock_gettime(CLOCK_MONOTONIC, &start);
        long pauseUs = 200;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            const long waitedMs = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
            if ((error != EINTR && error != EWOULDBLOCK) || waitedMs >= kLockWaitMs) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
            ::usleep(static_cast<useconds_t>(pauseUs));
            pauseUs = std::min(pauseUs * 2, 20000L);
        }
    }
    ~HiveLock()
    {
        if (fd_ >= 0)
            ::close(fd_); // closing releases the lock
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
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

    // Brings the cached tree up to date with the file. Never fails: a
    // missing file is an empty hive, a broken one is moved aside.
    void refresh(bool locked)
    {
        ensurePaths();
        const auto id = statFile(path_);
        if (!id) {
            root_ = KeyNode{};
            id_.reset();
            return;
        }
        if (id_ && *id_ == *id)
            return;
        QFile f(QFile::decodeName(path_));
        QByteArray bytes;
        if (f.open(QIODevice::ReadOnly) && f.size() <= kMaxHiveBytes)
            bytes = f.read(kMaxHiveBytes);
        // Identify the content actually read (the file may have been replaced
        // in between); fstat of the open handle names it exactly.
        struct stat st {};
        FileId readId = *id;
        if (f.isOpen() && ::fstat(f.handle(), &st) == 0)
            readId = FileId{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
        if (auto tree = parse(bytes)) {
            root_ = std::move(*tree);
            id_ = readId;
            return;
        }
        if (!locked) {
            HiveLock lock(lockPath_);
            id_.reset();
            if (lock.held()) {
                refresh(true);
            } else {
                root_ = KeyNode{}; // cannot look again safely: empty for now
            }
            return;
        }
        quarantine();
        root_ = KeyNode{};
        id_.reset();
    }

    const KeyNode& root() const { return root_; }
    KeyNode& root() { return root_; }

    // Forgets the cached tree; the next access reads the file again.
    void forget() { dir_.clear(); }

    // A locked read-modify-write: change() edits the tree and tells whether
    // it changed anything worth writing. Returns false when change() refused
    // or the file could not be written.
    template <class Change> bool modify(Change change)
    {
        ensurePaths();
        if (!QDir().mkpath(QFile::decodeName(dir_)))
            return false;
        HiveLock lock(lockPath_);
        if (!lock.held())
            return false;
        refresh(true);
        KeyNode copy = root_;
        bool dirty = false;
        if (!change(copy, dirty))
            return false;
        if (!dirty)
            return true;
        if (!writeFile(serialize(copy)))
            return false;
        root_ = std::move(copy);
        id_ = statFile(path_);
        return true;
    }

private:
    void ensurePaths()
    {
        const QString dir = storeFolder();
        const QByteArray d = QFile::encodeName(dir);
        if (d == dir_)
            return;
        dir_ = d;
        path_ = QFile::encodeName(dir + QLatin1Char('/') + fileName_);
        lockPath_ = path_ + ".lock";
        id_.reset();
        root_ = KeyNode{};
    }

    // Writes the new hive beside the old one and renames it into place. Its
    // modification time is made later than the previous file's, so that the
    // (inode, size, time) identity that readers compare never repeats even
    // when inode numbers are reused within one clock tick.
    bool writeFile(const QByteArray& bytes)
    {
        const QByteArray tmp = path_ + ".tmp-" + QByteArray::number(::getpid());
        const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
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
        ::close(fd);
        if (!ok || ::rename(tmp.constData(), path_.constData()) != 0) {
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

    void quarantine()
    {
        const QByteArray aside = path_ + ".broken-"
                                 + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")).toLatin1()
                                 + '-' + QByteArray::number(::getpid());
        if (::rename(path_.constData(), aside.constData()) == 0)
            fprintf(stderr, "registry: the hive file %s could not be read; it was kept as %s\n",
                    path_.constData(), aside.constData());
        else
            fprintf(stderr, "registry: the hive file %s could not be read\n", path_.constData());
    }

    QString fileName_;
    QByteArray dir_, path_, lockPath_;
    KeyNode root_;
    std::optional<FileId> id_;
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

// Runs a read against the up-to-date tree.
template <class Read> auto withKey(Hive hive, const QString& path, Read read)
    -> decltype(read(static_cast<const KeyNode*>(nullptr)))
{
    if (!isValidHive(hive))
        return read(nullptr);
    std::lock_guard guard(storeMutex());
    Location loc = locate(hive, path);
    loc.file.refresh(false);
    const KeyNode* key = findKey(loc.file.root(), loc.parts);
    return read(key);
}

template <class Change> bool modifyKey(Hive hive, const QString& path, Change change)
{
    if (!isValidHive(hive))
        return false;
    std::lock_guard guard(storeMutex());
    Location loc = locate(hive, path);
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
        KeyNode* key = parent ? parent->child(parts.last()) : nullptr;
        if (!key || (!recursive && !key->children.empty()))
            return false;
        parent->children.erase(parent->children.begin() + (key - parent->children.data()));
        dirty = true;
        return true;
    });
}

std::optional<Value> readValue(Hive hive, const QString& path, const QString& name)
{
    return withKey(hive, path, [&name](const KeyNode* k) -> std::optional<Value> {
        if (!k)
            return std::nullopt;
        for (const NamedValue& nv : k->values)
            if (nv.name.compare(name, Qt::CaseInsensitive) == 0)
                return nv.value;
        return std::nullopt;
    });
}

bool writeValue(Hive hive, const QString& path, const QString& name, const Value& value, bool createKeyIfMissing)
{
    if (value.type == ValueType::None)
        return false;
    return modifyKey(hive, path, [&](KeyNode& root, const QStringList& parts, bool& dirty) {
        KeyNode* key = findKey(root, parts);
        if (!key) {
            if (!createKeyIfMissing)
                return false;
            key = makeKey(root, parts);
        }
        if (NamedValue* nv = key->value(name)) {
            if (!(nv->value == value)) {
                nv->value = value;
                dirty = true;
            }
        } else {
            key->values.append({name, value});
            dirty = true;
        }
        return true;
    });
}

bool deleteValue(Hive hive, const QString& path, const QString& name)
{
    return modifyKey(hive, path, [&name](KeyNode& root, const QStringList& parts, bool& dirty) {
        KeyNode* key = findKey(root, parts);
        if (!key)
            return false;
        for (qsizetype i = 0; i < key->values.size(); ++i) {
            if (key->values[i].name.compare(name, Qt::CaseInsensitive) == 0) {
                key->values.removeAt(i);
                dirty = true;
                return true;
            }
        }
        return false;
    });
}

std::optional<QStringList> subKeys(Hive hive, const QString& path)
{
    return withKey(hive, path, [](const KeyNode* k) -> std::optional<QStringList> {
        if (!k)
            return std::nullopt;
        QStringList names;
        for (const KeyNode& c : k->children)
            names << c.name;
        return names;
    });
}

std::optional<QList<NamedValue>> values(Hive hive, const QString& path)
{
    return withKey(hive, path, [](const KeyNode* k) -> std::optional<QList<NamedValue>> {
        if (!k)
            return std::nullopt;
        return k->values;
    });
}

void resetCache()
{
    std::lock_guard guard(storeMutex());
    machineHive().forget();
    userHive().forget();
}

} // namespace platform::registry
