#include "core/proxysetting.h"

#include "core/settingsstore.h"
#include "platform/base/proxybypass.h"
#include "platform/base/vbrt.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

QString ProxyHostForNetwork(const QString& text)
{
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 128;
    if (ascii)
        return text;
    QStringList labels = text.split(QLatin1Char('.'));
    for (QString& label : labels) {
        bool plain = true;
        for (const QChar c : label)
            plain = plain && c.unicode() < 128;
        if (plain)
            continue;
        const QByteArray ace = QUrl::toAce(label);
        if (!ace.isEmpty())
            label = QString::fromLatin1(ace);
    }
    return labels.join(QLatin1Char('.'));
}

QString ProxyExceptionsForNetwork(const QString& text)
{
    static const QRegularExpression entry(QStringLiteral("[^; ]+"));
    QString out;
    qsizetype done = 0;
    for (auto it = entry.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(done, m.capturedStart() - done) + ProxyHostForNetwork(m.captured());
        done = m.capturedEnd();
    }
    return out + QStringView(text).mid(done);
}

ProxySettingValues ReadProxySettingValues()
{
    auto read = [](const QString& name) {
        return ReadSetting(HiveCurrentUser, kSettingsApp, kProxySection, name, QString());
    };
    ProxySettingValues v;
    v.Check1 = ReadSetting(HiveCurrentUser, kSettingsApp, kProxySection, QStringLiteral("Check1"), QStringLiteral("0"));
    v.Check3 = ReadSetting(HiveCurrentUser, kSettingsApp, kProxySection, QStringLiteral("Check3"), QStringLiteral("0"));
    for (int i = 1; i <= 5; ++i) {
        v.Address[i] = ProxyHostForNetwork(read(QStringLiteral("Address") + QString::number(i)));
        v.Port[i] = read(QStringLiteral("Port") + QString::number(i));
    }
    v.Exception = ProxyExceptionsForNetwork(read(QStringLiteral("Exception")));
    return v;
}

ProxySetting ReadProxySetting()
{
    const ProxySettingValues values = ReadProxySettingValues();
    ProxySetting p;
    p.enabled = vb::val(values.Check1) == 1;
    if (p.enabled) {
        p.host = vb::trim(values.Address[1]);
        const double port = vb::val(values.Port[1]);
        p.port = port >= 1 && port <= 65535 ? static_cast<quint16>(port) : 0;
        p.bypass = platform::proxy::splitBypassList(values.Exception);
        if (values.Check3 == QLatin1String("1"))
            p.bypass << QStringLiteral("<local>");
    }
    p.offline = ReadWorkOffline();
    return p;
}

bool ProxySetting::usedFor(const QString& scheme, const QString& targetHost) const
{
    return enabled && !host.isEmpty() && port != 0 && !platform::proxy::matchesBypass(bypass, scheme.toLower(), targetHost);
}

bool ReadWorkOffline()
{
    // The value the browser's "Work Offline" writes, read afresh: another
    // process may have changed it.
    return ReadRegistryDword(HiveCurrentUser,
                             QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"),
                             QStringLiteral("GlobalUserOffline")) == 1;
}
