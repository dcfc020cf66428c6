#include "core/connection.h"

#include "core/settingsstore.h"
#include "platform/base/vbrt.h"
#include "platform/web/wininet.h"

namespace {

const QString kInternetSettingsKey = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
const QString kDisplayKey = QStringLiteral("Software\\Microsoft\\Internet Explorer\\Main");
const QString kFlashClassKey = QStringLiteral("SOFTWARE\\Classes\\ShockwaveFlash.ShockwaveFlash\\CLSID");
const QString kCompatibilityKey = QStringLiteral("SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\");
const QString kCompatibilityFlags = QStringLiteral("Compatibility Flags");

QString displayValueName(int16_t index)
{
    switch (index) {
    case 1:
        return QStringLiteral("Play_Animations");
    case 2:
        return QStringLiteral("Display Inline Images");
    case 3:
        return QStringLiteral("Play_Background_Sounds");
    case 4:
        return QStringLiteral("Display Inline Videos");
    default:
        return {};
    }
}

QString flashClassId()
{
    return ReadRegistryString(HiveLocalMachine, kFlashClassKey, QString());
}

} // namespace

QString BuildProxyBypassList(const ProxySettingValues& values)
{
    QString bypass;
    if (!values.Exception.isEmpty()) {
        bypass = values.Exception;
        bypass.replace(QLatin1Char(';'), QLatin1Char(' '));
    }
    if (values.Check3 == QLatin1String("1"))
        bypass += QStringLiteral(" <local>");
    return vb::trim(bypass);
}

QString BuildProxyList(const ProxySettingValues& values)
{
    // Index of the server in the settings, in the order of the list.
    static const struct {
        int index;
        const char* scheme;
    } order[] = {{5, "socks="}, {2, "https="}, {1, "http="}, {4, "gopher="}, {3, "ftp="}};
    QString list;
    for (const auto& o : order) {
        if (values.Address[o.index].isEmpty() || values.Port[o.index].isEmpty())
            continue;
        list += QLatin1String(o.scheme) + values.Address[o.index] + QLatin1Char(':') + values.Port[o.index];
        if (o.index != 3)
            list += QLatin1Char(' ');
    }
    return vb::rtrim(list);
}

void ApplyProxySettings()
{
    const ProxySettingValues values = ReadProxySettingValues();
    platform::wininet::ProxyInfo info;
    info.bypassList = BuildProxyBypassList(values);
    info.proxyList = BuildProxyList(values);
    info.namedProxy = values.Check1 == QLatin1String("1");
    platform::wininet::setProcessProxy(info);
}

bool IsIeOffline()
{
    return ReadWorkOffline();
}

void SetIeWorkOffline(bool on)
{
    platform::wininet::setOffline(on);
}

bool GetIeDisplayOption(int16_t index)
{
    if (index == 5) {
        const QString classId = flashClassId();
        if (classId.isEmpty())
            return true;
        return ReadRegistryDword(HiveLocalMachine, kCompatibilityKey + classId, kCompatibilityFlags) == 0;
    }
    const QString name = displayValueName(index);
    if (name.isEmpty())
        return true;
    return ReadRegistryString(HiveCurrentUser, kDisplayKey, name).toUpper() != QLatin1String("NO");
}

void SetIeDisplayOption(int16_t index, bool on)
{
    if (index == 5) {
        const QString classId = flashClassId();
        if (!classId.isEmpty())
            WriteRegistryValue(HiveLocalMachine, kCompatibilityKey + classId, kCompatibilityFlags, on ? 0 : 1024);
    } else {
        const QString name = displayValueName(index);
        if (name.isEmpty())
            return;
        platform::registry::writeValue(HiveCurrentUser, kDisplayKey, name,
                                       platform::registry::Value::string(on ? QStringLiteral("yes") : QStringLiteral("no")));
    }
    platform::wininet::broadcastSettingsChange();
}
