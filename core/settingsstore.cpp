#include "core/settingsstore.h"

#include "platform/vbrt.h"

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

} // namespace

QString SettingsKey(const QString& application, const QString& section)
{
    return QStringLiteral("Software\\") + vb::trim(application) + QLatin1Char('\\') + vb::trim(section);
}

void SaveSetting(Hive hive, const QString& application, const QString& section, const QString& valueName,
                 const QString& value)
{
    reg::writeValue(hive, SettingsKey(application, section), valueName, reg::Value::string(value));
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

void CreateRegistryKey(Hive hive, const QString& keyPath)
{
    reg::createKey(hive, keyPath);
}

void DeleteRegistryKey(Hive hive, const QString& parentPath, const QString& subKeyName)
{
    if (RegistryKeyExists(hive, parentPath))
        reg::deleteKey(hive, joinPath(parentPath, subKeyName));
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

void WriteRegistryValue(Hive hive, const QString& keyPath, const QString& valueName, const QString& value)
{
    if (const auto number = vb::toNumber(value)) {
        if (const auto n = vb::toInt32(*number))
            reg::writeValue(hive, keyPath, valueName, reg::Value::dword(static_cast<uint32_t>(*n)));
        return;
    }
    reg::writeValue(hive, keyPath, valueName, reg::Value::string(vb::trim(value)));
}

void WriteRegistryValue(Hive hive, const QString& keyPath, const QString& valueName, int32_t value)
{
    reg::writeValue(hive, keyPath, valueName, reg::Value::dword(static_cast<uint32_t>(value)));
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
    return reg::writeValue(HiveCurrentUser, kTypedUrls, valueName, reg::Value::string(url), false);
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
