#include "core/settingsstore.h"

#include "platform/base/vbrt.h"

#include <cstdio>

namespace reg = platform::registry;

namespace {

constexpr int kMaxEnumName = 260;
constexpr int kMaxEnumData = 4096;

// Control characters (and NULs) off both ends.
QString trimControl(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() < 32)
        ++b;
    while (e > b && s[e - 1].unicode() < 32)
        --e;
    return s.mid(b, e - b);
}

QString joinPath(const QString& parent, const QString& child)
{
    return parent.isEmpty() ? child : parent + QLatin1Char('\\') + child;
}

// Tells standard error of a write the registry could not make; a key or value
// that merely does not exist gives no reason and is no failure to report.
bool reportFailure(bool ok, Hive hive, const QString& keyPath, const QString& what)
{
    if (!ok) {
        const QString why = reg::lastError();
        if (!why.isEmpty())
            fprintf(stderr, "settings: %s in %s\\%s was not saved: %s\n", what.toLocal8Bit().constData(),
                    reg::hiveShortName(hive).toLocal8Bit().constData(), keyPath.toLocal8Bit().constData(),
                    why.toLocal8Bit().constData());
    }
    return ok;
}

QString valueLabel(const QString& valueName)
{
    return valueName.isEmpty() ? QStringLiteral("the default value") : QStringLiteral("the value \"%1\"").arg(valueName);
}

} // namespace

QString SettingsKey(const QString& application, const QString& section)
{
    return QStringLiteral("Software\\") + vb::trim(application) + QLatin1Char('\\') + vb::trim(section);
}

bool SaveSetting(Hive hive, const QString& application, const QString& section, const QString& valueName,
                 const QString& value)
{
    const QString key = SettingsKey(application, section);
    return reportFailure(reg::writeValue(hive, key, valueName, reg::Value::string(value)), hive, key,
                         valueLabel(valueName));
}

QString ReadSetting(Hive hive, const QString& application, const QString& section, const QString& valueName,
                    const QString& defaultValue)
{
    const auto v = reg::readValue(hive, SettingsKey(application, section), valueName);
    if (!v)
        return defaultValue;
    if (v->type != reg::ValueType::String)
        return QString();
    return v->text;
}

bool CreateRegistryKey(Hive hive, const QString& keyPath)
{
    return reportFailure(reg::createKey(hive, keyPath), hive, keyPath, QStringLiteral("the key"));
}

bool DeleteRegistryKey(Hive hive, const QString& parentPath, const QString& subKeyName)
{
    if (!RegistryKeyExists(hive, parentPath))
        return false;
    const QString key = joinPath(parentPath, subKeyName);
    return reportFailure(reg::deleteKey(hive, key), hive, key, QStringLiteral("the removal of the key"));
}

bool RegistryKeyExists(Hive hive, const QString& keyPath)
{
    return reg::keyExists(hive, keyPath);
}

QString ReadRegistryString(Hive hive, const QString& keyPath, const QString& valueName)
{
    const auto v = reg::readValue(hive, keyPath, valueName);
    if (!v || (v->type != reg::ValueType::String && v->type != reg::ValueType::ExpandString))
        return QString();
    return v->text;
}

uint32_t ReadRegistryDword(Hive hive, const QString& keyPath, const QString& valueName)
{
    const auto v = reg::readValue(hive, keyPath, valueName);
    if (!v)
        return 0;
    const QByteArray data = v->data();
    if (data.size() > 4)
        return 0; // the four-byte buffer is too small: the read fails
    uint32_t n = 0;
    for (qsizetype i = 0; i < data.size(); ++i)
        n |= static_cast<uint32_t>(static_cast<uint8_t>(data[i])) << (8 * i);
    return n;
}

bool WriteRegistryValue(Hive hive, const QString& keyPath, const QString& valueName, const QString& value)
{
    if (const auto number = vb::toNumber(value)) {
        const auto n = vb::toInt32(*number);
        return n && WriteRegistryValue(hive, keyPath, valueName, *n);
    }
    return reportFailure(reg::writeValue(hive, keyPath, valueName, reg::Value::string(vb::trim(value))), hive, keyPath,
                         valueLabel(valueName));
}

bool WriteRegistryValue(Hive hive, const QString& keyPath, const QString& valueName, int32_t value)
{
    return reportFailure(reg::writeValue(hive, keyPath, valueName, reg::Value::dword(static_cast<uint32_t>(value))),
                         hive, keyPath, valueLabel(valueName));
}

QString ReadMailtoCommand()
{
    return ReadRegistryString(HiveLocalMachine, QStringLiteral("SOFTWARE\\CLASSES\\mailto\\shell\\open\\command"),
                              QString());
}

namespace {
const QString kTypedUrls = QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs");
}

QString ReadTypedUrl(const QString& valueName)
{
    return ReadRegistryString(HiveCurrentUser, kTypedUrls, valueName);
}

bool WriteTypedUrl(const QString& valueName, const QString& url)
{
    return reportFailure(reg::writeValue(HiveCurrentUser, kTypedUrls, valueName, reg::Value::string(url), false),
                         HiveCurrentUser, kTypedUrls, valueLabel(valueName));
}

void EnumRegistryValues(Hive hive, const QString& keyPath, const QString& searchText, bool& found)
{
    const auto vals = reg::values(hive, keyPath);
    if (!vals)
        return;
    for (const reg::NamedValue& nv : *vals) {
        const QByteArray data = nv.value.data();
        if (nv.name.size() > kMaxEnumName || data.size() > kMaxEnumData)
            return; // the enumeration buffer is too small: the scan ends here
        const QString text = trimControl(FormatRegistryData(static_cast<uint32_t>(nv.value.type), data));
        if (text == searchText) {
            found = true;
            return;
        }
    }
}

void EnumRegistryKeys(Hive hive, QString& keyPath, const QString& searchText, bool& found)
{
    const auto keys = reg::subKeys(hive, keyPath);
    if (!keys)
        return;
    for (const QString& rawName : *keys) {
        if (rawName.size() > kMaxEnumName)
            return;
        const QString path = joinPath(keyPath, trimControl(rawName));
        EnumRegistryValues(hive, path, searchText, found);
        if (found) {
            keyPath = path;
            return;
        }
        QString sub = path;
        EnumRegistryKeys(hive, sub, searchText, found);
        if (found) {
            keyPath = sub;
            return;
        }
    }
}

QString FormatRegistryData(uint32_t type, const QByteArray& data)
{
    switch (type) {
    case 1: { // REG_SZ
        QByteArray bytes = data;
        while (bytes.endsWith('\0'))
            bytes.chop(1);
        return QString::fromLocal8Bit(bytes);
    }
    case 3: { // REG_BINARY
        QStringList parts;
        for (const char c : data)
            parts << QStringLiteral("%1").arg(static_cast<uint8_t>(c), 2, 16, QLatin1Char('0')).toUpper();
        return parts.join(QLatin1Char(' '));
    }
    case 4: { // REG_DWORD
        uint32_t n = 0;
        for (qsizetype i = 0; i < data.size() && i < 4; ++i)
            n |= static_cast<uint32_t>(static_cast<uint8_t>(data[i])) << (8 * i);
        const QString digits = QStringLiteral("%1").arg(n, 8, 16, QLatin1Char('0')).toUpper();
        return QStringLiteral("0x") + digits + QLatin1Char('(') + QString::number(static_cast<int32_t>(n))
               + QLatin1Char(')');
    }
    default:
        return QStringLiteral("Temporary unsupported");
    }
}
