#include "regcommand.h"

#include "platform/base/registry.h"
#include "platform/base/textfile.h"

#include <optional>

namespace reg = platform::registry;

namespace {

struct KeyName {
    reg::Hive hive;
    QString path;   // below the hive, without leading "\"
    QString shown;  // as printed: long hive name and path
};

std::optional<KeyName> parseKey(const QString& text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('\\'));
    const QString hiveName = slash < 0 ? text : text.left(slash);
    const auto hive = reg::hiveFromName(hiveName);
    if (!hive)
        return std::nullopt;
    QString path = slash < 0 ? QString() : text.mid(slash + 1);
    while (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    const QString shown = reg::hiveLongName(*hive) + (path.isEmpty() ? QString() : QLatin1Char('\\') + path);
    return KeyName{*hive, path, shown};
}

QString typeName(reg::ValueType t)
{
    switch (t) {
    case reg::ValueType::String: return QStringLiteral("REG_SZ");
    case reg::ValueType::ExpandString: return QStringLiteral("REG_EXPAND_SZ");
    case reg::ValueType::Binary: return QStringLiteral("REG_BINARY");
    case reg::ValueType::Dword: return QStringLiteral("REG_DWORD");
    case reg::ValueType::None: break;
    }
    return QStringLiteral("REG_NONE");
}

QString dataText(const reg::Value& v)
{
    switch (v.type) {
    case reg::ValueType::String:
    case reg::ValueType::ExpandString:
        return v.text;
    case reg::ValueType::Binary:
        return QString::fromLatin1(v.bytes.toHex().toUpper());
    case reg::ValueType::Dword:
        return QStringLiteral("0x") + QString::number(v.number, 16);
    case reg::ValueType::None:
        break;
    }
    return {};
}

QString displayName(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("(Default)") : name;
}

struct Options {
    QString key;
    QStringList positional;
    std::optional<QString> valueName; // /v NAME, or "" for /ve
    bool allValues = false;           // /va
    bool recursive = false;           // /s
    bool force = false;               // /f
    QString type = QStringLiteral("REG_SZ");
    std::optional<QString> data;
};

std::optional<Options> parseOptions(const QStringList& args, QString& error)
{
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        const QString lower = a.toLower();
        auto next = [&](QString& into) {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("%1 needs a value").arg(a);
                return false;
            }
            into = args[++i];
            return true;
        };
        if (lower == QLatin1String("/v") || lower == QLatin1String("-v")) {
            QString n;
            if (!next(n))
                return std::nullopt;
            o.valueName = n;
        } else if (lower == QLatin1String("/ve") || lower == QLatin1String("-ve")) {
            o.valueName = QString();
        } else if (lower == QLatin1String("/va") || lower == QLatin1String("-va")) {
            o.allValues = true;
        } else if (lower == QLatin1String("/s") || lower == QLatin1String("-s")) {
            o.recursive = true;
        } else if (lower == QLatin1String("/f") || lower == QLatin1String("-f")) {
            o.force = true;
        } else if (lower == QLatin1String("/t") || lower == QLatin1String("-t")) {
            if (!next(o.type))
                return std::nullopt;
            o.type = o.type.toUpper();
        } else if (lower == QLatin1String("/d") || lower == QLatin1String("-d")) {
            QString d;
            if (!next(d))
                return std::nullopt;
            o.data = d;
        } else if (a.startsWith(QLatin1Char('/')) && a.size() <= 4) {
            error = QStringLiteral("Invalid syntax: unknown option %1").arg(a);
            return std::nullopt;
        } else if (o.key.isEmpty()) {
            o.key = a;
        } else {
            o.positional << a;
        }
    }
    return o;
}

bool confirm(const QString& question, QTextStream& out, QTextStream& in)
{
    out << question << " (Yes/No)? " << Qt::flush;
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

std::optional<reg::Value> makeValue(const Options& o, QString& error)
{
    const QString data = o.data.value_or(QString());
    if (o.type == QLatin1String("REG_SZ"))
        return reg::Value::string(data);
    if (o.type == QLatin1String("REG_EXPAND_SZ"))
        return reg::Value::expandString(data);
    if (o.type == QLatin1String("REG_DWORD")) {
        bool ok = false;
        const QString d = data.isEmpty() ? QStringLiteral("0") : data;
        qint64 n = d.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? d.mid(2).toLongLong(&ok, 16)
                                                                          : d.toLongLong(&ok, 10);
        if (!ok || n < INT32_MIN || n > UINT32_MAX) {
            error = QStringLiteral("Invalid REG_DWORD data: %1").arg(data);
            return std::nullopt;
        }
        return reg::Value::dword(static_cast<uint32_t>(n));
    }
    if (o.type == QLatin1String("REG_BINARY")) {
        const QByteArray hex = data.toLatin1();
        for (const char c : hex)
            if (!isxdigit(static_cast<unsigned char>(c))) {
                error = QStringLiteral("Invalid REG_BINARY data: %1").arg(data);
                return std::nullopt;
            }
        if (hex.size() % 2) {
            error = QStringLiteral("Invalid REG_BINARY data: %1").arg(data);
            return std::nullopt;
        }
        return reg::Value::binary(QByteArray::fromHex(hex));
    }
    error = QStringLiteral("Unsupported type %1").arg(o.type);
    return std::nullopt;
}

QString join(const QString& a, const QString& b)
{
    return a.isEmpty() ? b : a + QLatin1Char('\\') + b;
}

void printKey(const KeyName& k, const Options& o, QTextStream& out, int& matches)
{
    const auto vals = reg::values(k.hive, k.path).value_or(QList<reg::NamedValue>());
    const QStringList subs = reg::subKeys(k.hive, k.path).value_or(QStringList());
    QList<reg::NamedValue> shown;
    for (const reg::NamedValue& nv : vals)
        if (!o.valueName || nv.name.compare(*o.valueName, Qt::CaseInsensitive) == 0)
            shown << nv;
    if (!o.valueName || !shown.isEmpty()) {
        out << '\n' << k.shown << '\n';
        for (const reg::NamedValue& nv : shown)
            out << "    " << displayName(nv.name) << "    " << typeName(nv.value.type) << "    " << dataText(nv.value)
                << '\n';
        matches += static_cast<int>(shown.size());
    }
    if (!o.recursive) {
        if (!o.valueName) {
            if (!subs.isEmpty())
                out << '\n';
            for (const QString& s : subs)
                out << k.shown << '\\' << s << '\n';
        }
        return;
    }
    for (const QString& s : subs)
        printKey(KeyName{k.hive, join(k.path, s), k.shown + QLatin1Char('\\') + s}, o, out, matches);
}

// A name or text between quotes in the export: quotes and backslashes
// escaped, and line breaks written as escapes too, so that no name can start
// a line of its own. A key path (quoted=false) keeps its backslashes, which
// separate its names.
QString exportEscape(const QString& s, bool quoted = true)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += quoted ? QLatin1String("\\\\") : QLatin1String("\\"); break;
        case '"': out += quoted ? QLatin1String("\\\"") : QLatin1String("\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case 0: out += QLatin1String("\\0"); break;
        default: out += c;
        }
    }
    return out;
}

// A text that cannot stand between quotes on one line (it holds a line
// break or a NUL) is exported as the bytes of its type instead.
bool needsHexForm(const QString& text)
{
    for (const QChar c : text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.unicode() == 0)
            return true;
    return false;
}

// A text as the export's hex form holds it: UTF-16LE with its terminating NUL.
QString hexOfText(const QString& text)
{
    const QString withNul = text + QChar(0);
    QStringList hex;
    hex.reserve(withNul.size() * 2);
    for (const QChar c : withNul) {
        hex << QStringLiteral("%1").arg(c.unicode() & 0xFF, 2, 16, QLatin1Char('0'));
        hex << QStringLiteral("%1").arg(c.unicode() >> 8, 2, 16, QLatin1Char('0'));
    }
    return hex.join(QLatin1Char(','));
}

void exportKey(const KeyName& k, QString& text)
{
    text += QLatin1Char('[') + exportEscape(k.shown, false) + QStringLiteral("]\r\n");
    for (const reg::NamedValue& nv : reg::values(k.hive, k.path).value_or(QList<reg::NamedValue>())) {
        text += nv.name.isEmpty() ? QStringLiteral("@") : QLatin1Char('"') + exportEscape(nv.name) + QLatin1Char('"');
        text += QLatin1Char('=');
        switch (nv.value.type) {
        case reg::ValueType::String:
            if (needsHexForm(nv.value.text))
                text += QStringLiteral("hex(1):") + hexOfText(nv.value.text);
            else
                text += QLatin1Char('"') + exportEscape(nv.value.text) + QLatin1Char('"');
            break;
        case reg::ValueType::Dword:
            text += QStringLiteral("dword:%1").arg(nv.value.number, 8, 16, QLatin1Char('0'));
            break;
        case reg::ValueType::ExpandString:
            text += QStringLiteral("hex(2):") + hexOfText(nv.value.text);
            break;
        case reg::ValueType::Binary: {
            QStringList hex;
            for (const char c : nv.value.bytes)
                hex << QStringLiteral("%1").arg(static_cast<uint8_t>(c), 2, 16, QLatin1Char('0'));
            text += QStringLiteral("hex:") + hex.join(QLatin1Char(','));
            break;
        }
        case reg::ValueType::None:
            break;
        }
        text += QStringLiteral("\r\n");
    }
    text += QStringLiteral("\r\n");
    for (const QString& s : reg::subKeys(k.hive, k.path).value_or(QStringList()))
        exportKey(KeyName{k.hive, join(k.path, s), k.shown + QLatin1Char('\\') + s}, text);
}

int fail(QTextStream& err, const QString& message)
{
    err << "ERROR: " << message << '\n' << Qt::flush;
    return 1;
}

// A failed change, with the registry's reason when it gave one.
int failChange(QTextStream& err, const QString& message)
{
    const QString why = reg::lastError();
    return fail(err, why.isEmpty() ? message : message + QStringLiteral(" (") + why + QLatin1Char(')'));
}

// A key that was not found: the registry's reason when the hive could not be
// read, else the usual answer.
int failNotFound(QTextStream& err)
{
    const QString why = reg::lastError();
    return fail(err, why.isEmpty() ? QStringLiteral("The system was unable to find the specified registry key or value.")
                                   : why);
}

int usage(QTextStream& err)
{
    err << "Usage:\n"
           "  reg add KEY [/v NAME | /ve] [/t REG_SZ|REG_EXPAND_SZ|REG_DWORD|REG_BINARY] [/d DATA] [/f]\n"
           "  reg query KEY [/v NAME | /ve | /s]\n"
           "  reg delete KEY [/v NAME | /ve | /va] [/f]\n"
           "  reg export KEY FILE\n"
           "KEY begins with HKCU, HKLM or HKCR (or HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT).\n"
        << Qt::flush;
    return 1;
}

} // namespace

int runRegCommand(const QStringList& args, QTextStream& out, QTextStream& err, QTextStream& in)
{
    if (args.isEmpty())
        return usage(err);
    const QString verb = args.first().toLower();
    QString error;
    const auto opts = parseOptions(args.mid(1), error);
    if (!opts)
        return fail(err, error);
    if (opts->key.isEmpty())
        return usage(err);
    const auto key = parseKey(opts->key);
    if (!key)
        return fail(err, QStringLiteral("Invalid key name: %1 (it must begin with HKCU, HKLM or HKCR)").arg(opts->key));

    if (verb == QLatin1String("query")) {
        if (!reg::keyExists(key->hive, key->path))
            return failNotFound(err);
        int matches = 0;
        printKey(*key, *opts, out, matches);
        out << Qt::flush;
        if (opts->valueName && matches == 0)
            return fail(err, QStringLiteral("The system was unable to find the specified registry key or value."));
        return 0;
    }
    if (verb == QLatin1String("add")) {
        if (key->path.isEmpty())
            return fail(err, QStringLiteral("A key below the hive is required."));
        if (!opts->valueName && !opts->data) {
            if (!reg::createKey(key->hive, key->path))
                return failChange(err, QStringLiteral("The key could not be created."));
            out << "The operation completed successfully.\n" << Qt::flush;
            return 0;
        }
        const QString name = opts->valueName.value_or(QString());
        const auto value = makeValue(*opts, error);
        if (!value)
            return fail(err, error);
        if (!opts->force && reg::readValue(key->hive, key->path, name)
            && !confirm(QStringLiteral("Value %1 exists, overwrite").arg(displayName(name)), out, in)) {
            out << "The operation was cancelled by the user.\n" << Qt::flush;
            return 0;
        }
        if (!reg::writeValue(key->hive, key->path, name, *value))
            return failChange(err, QStringLiteral("The value could not be written."));
        out << "The operation completed successfully.\n" << Qt::flush;
        return 0;
    }
    if (verb == QLatin1String("delete")) {
        if (!reg::keyExists(key->hive, key->path))
            return failNotFound(err);
        QString question;
        if (opts->allValues)
            question = QStringLiteral("Delete all values under the registry key %1").arg(key->shown);
        else if (opts->valueName)
            question = QStringLiteral("Delete the registry value %1").arg(displayName(*opts->valueName));
        else
            question = QStringLiteral("Permanently delete the registry key %1").arg(key->shown);
        if (!opts->force && !confirm(question, out, in)) {
            out << "The operation was cancelled by the user.\n" << Qt::flush;
            return 0;
        }
        bool ok = true;
        if (opts->allValues) {
            for (const reg::NamedValue& nv : reg::values(key->hive, key->path).value_or(QList<reg::NamedValue>()))
                ok = reg::deleteValue(key->hive, key->path, nv.name) && ok;
        } else if (opts->valueName) {
            ok = reg::deleteValue(key->hive, key->path, *opts->valueName);
            if (!ok)
                return failNotFound(err);
        } else {
            if (key->path.isEmpty())
                return fail(err, QStringLiteral("A whole hive cannot be deleted."));
            ok = reg::deleteKey(key->hive, key->path, true);
        }
        if (!ok)
            return failChange(err, QStringLiteral("The operation could not be completed."));
        out << "The operation completed successfully.\n" << Qt::flush;
        return 0;
    }
    if (verb == QLatin1String("export")) {
        if (opts->positional.size() != 1)
            return usage(err);
        if (!reg::keyExists(key->hive, key->path))
            return failNotFound(err);
        QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n");
        exportKey(*key, text);
        if (!platform::textfile::writeAtomically(opts->positional.first(), text.toUtf8()))
            return fail(err, QStringLiteral("The file %1 could not be written.").arg(opts->positional.first()));
        out << "The operation completed successfully.\n" << Qt::flush;
        return 0;
    }
    return usage(err);
}
