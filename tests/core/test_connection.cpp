#include "core/connection.h"
#include "core/settingsstore.h"
#include "platform/web/wininet.h"

#include <QNetworkProxyFactory>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <gtest/gtest.h>

namespace reg = platform::registry;
namespace wininet = platform::wininet;

namespace {

void saveProxy(const QString& name, const QString& value)
{
    SaveSetting(HiveCurrentUser, "Keldo", "Z5 Browser\\Proxy", name, value);
}

QNetworkProxy proxyFor(const QString& url, QNetworkProxyQuery::QueryType type = QNetworkProxyQuery::UrlRequest)
{
    QNetworkProxyQuery q(QUrl(url), type);
    if (type != QNetworkProxyQuery::UrlRequest)
        q = QNetworkProxyQuery(QUrl(url).host(), QUrl(url).port(80), QString(), type);
    wininet::NetworkAccessManager manager;
    const QList<QNetworkProxy> list = manager.proxyFactory()->queryProxy(q);
    return list.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : list.first();
}

} // namespace

TEST(ProxySettings, ListsBuiltFromTheSettings)
{
    const struct {
        const char* check3;
        const char* exception;
        std::array<const char*, 6> address; // index 1 to 5
        std::array<const char*, 6> port;
        const char* proxyList;
        const char* bypassList;
    } cases[] = {
        {"0", "", {"", "proxy", "", "ftpgw", "", ""}, {"", "8080", "", "21", "", ""}, "http=proxy:8080 ftp=ftpgw:21", ""},
        {"0", "", {"", "h", "s", "f", "g", "k"}, {"", "1", "2", "3", "4", "5"}, "socks=k:5 https=s:2 http=h:1 gopher=g:4 ftp=f:3", ""},
        {"0", "", {"", "h", "s", "", "", "k"}, {"", "1", "2", "", "", "5"}, "socks=k:5 https=s:2 http=h:1", ""},
        // an address with an empty port, a port without an address: left out
        {"0", "", {"", "proxy", "s", "", "", ""}, {"", "", "", "", "", "9"}, "", ""},
        {"1", "*.local;intranet", {}, {}, "", "*.local intranet <local>"},
        {"1", "", {}, {}, "", "<local>"},
        {"0", ";a;;b;", {}, {}, "", "a  b"},
        {"0", " x ", {}, {}, "", "x"},
        {"2", "x", {}, {}, "", "x"},
    };
    for (const auto& c : cases) {
        ProxySettingValues v;
        v.Check3 = c.check3;
        v.Exception = c.exception;
        for (int i = 1; i <= 5; ++i) {
            v.Address[i] = c.address[i] ? c.address[i] : "";
            v.Port[i] = c.port[i] ? c.port[i] : "";
        }
        EXPECT_EQ(BuildProxyList(v), QString(c.proxyList)) << c.proxyList;
        EXPECT_EQ(BuildProxyBypassList(v), QString(c.bypassList)) << c.bypassList;
    }
}

TEST(ProxySettings, ChromiumForm)
{
    const struct {
        bool named;
        const char* proxy;
        const char* bypass;
        QStringList switches;
    } cases[] = {
        {false, "http=proxy:8080", "<local>", {"--no-proxy-server"}},
        {true, "http=proxy:8080 ftp=ftpgw:21", "", {"--proxy-server=http=proxy:8080;ftp=ftpgw:21"}},
        {true, "socks=k:1080 https=s:443 http=h:80 gopher=g:70 ftp=f:21", "*.local intranet <local>",
         {"--proxy-server=socks=k:1080;https=s:443;http=h:80;ftp=f:21", "--proxy-bypass-list=*.local;intranet;<local>"}},
        {true, "HTTP=[::1]:3128", "", {"--proxy-server=http=[::1]:3128"}},
        {true, "", "<local>", {"--no-proxy-server"}},
        {true, "gopher=g:70", "", {"--no-proxy-server"}},
        // nothing but the proxy switches can reach Chromium's command line
        {true, "http=a\"--disable-web-security:1 https=s:2", "x --remote-debugging-port=1 y\"z",
         {"--proxy-server=https=s:2", "--proxy-bypass-list=x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wininet::chromiumProxySwitches({c.named, c.proxy, c.bypass}), c.switches) << c.proxy;
}

TEST(ProxySettings, AppliedToChromiumAndQtNetwork)
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --proxy-server=old:1");
    saveProxy("Check1", "1");
    saveProxy("Check3", "1");
    saveProxy("Address1", "httpproxy");
    saveProxy("Port1", "8080");
    saveProxy("Address2", "secure");
    saveProxy("Port2", "8443");
    saveProxy("Address5", "sock");
    saveProxy("Port5", "1080");
    saveProxy("Exception", "*.example.org;intranet.test");
    ApplyProxySettings();

    const wininet::ProxyInfo info = wininet::processProxy();
    EXPECT_TRUE(info.namedProxy);
    EXPECT_EQ(info.proxyList, "socks=sock:1080 https=secure:8443 http=httpproxy:8080");
    EXPECT_EQ(info.bypassList, "*.example.org intranet.test <local>");
    EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"),
              "--disable-gpu --proxy-server=socks=sock:1080;https=secure:8443;http=httpproxy:8080 "
              "--proxy-bypass-list=*.example.org;intranet.test;<local>");

    const struct {
        const char* url;
        QNetworkProxy::ProxyType type;
        const char* host;
        quint16 port;
    } cases[] = {
        {"http://www.example.com/a", QNetworkProxy::HttpProxy, "httpproxy", 8080},
        {"https://www.example.com/a", QNetworkProxy::HttpProxy, "secure", 8443},
        {"ftp://files.example.com/a", QNetworkProxy::Socks5Proxy, "sock", 1080},
        {"http://WWW.Example.ORG/", QNetworkProxy::NoProxy, "", 0},
        {"http://intranet.test/", QNetworkProxy::NoProxy, "", 0},
        {"http://printer/", QNetworkProxy::NoProxy, "", 0}, // <local>
        {"http://10.0.0.5:81/", QNetworkProxy::HttpProxy, "httpproxy", 8080},
        {"http://127.0.0.1/", QNetworkProxy::NoProxy, "", 0}, // QtNetwork never proxies loopback
    };
    for (const auto& c : cases) {
        const QNetworkProxy p = proxyFor(c.url);
        EXPECT_EQ(p.type(), c.type) << c.url;
        if (c.type != QNetworkProxy::NoProxy) {
            EXPECT_EQ(p.hostName(), c.host) << c.url;
            EXPECT_EQ(p.port(), c.port) << c.url;
        }
    }
    // Plain sockets connect directly.
    EXPECT_EQ(proxyFor("http://www.example.com/", QNetworkProxyQuery::TcpSocket).type(), QNetworkProxy::NoProxy);
}

TEST(ProxySettings, DirectAccessKeepsTheLists)
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "");
    saveProxy("Check1", "0");
    saveProxy("Address1", "proxy");
    saveProxy("Port1", "8080");
    ApplyProxySettings();
    const wininet::ProxyInfo info = wininet::processProxy();
    EXPECT_FALSE(info.namedProxy);
    EXPECT_EQ(info.proxyList, "http=proxy:8080");
    EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), "--no-proxy-server");
    EXPECT_EQ(proxyFor("http://www.example.com/").type(), QNetworkProxy::NoProxy);
}

TEST(ProxySettings, TooLateForChromiumOnceAProfileExists)
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "");
    QWebEngineProfile profile;
    wininet::attachProfile(&profile);
    saveProxy("Check1", "1");
    saveProxy("Address1", "proxy");
    saveProxy("Port1", "8080");
    EXPECT_FALSE(wininet::setProcessProxy({true, "http=proxy:8080", ""}));
    EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), "");
    // QtNetwork takes it all the same.
    EXPECT_EQ(proxyFor("http://www.example.com/").hostName(), "proxy");
}

TEST(Connection, WorkOfflineIsTheGlobalOfflineValue)
{
    const QString key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    EXPECT_FALSE(IsIeOffline());
    SetIeWorkOffline(true);
    EXPECT_TRUE(IsIeOffline());
    EXPECT_TRUE(wininet::isOffline());
    EXPECT_EQ(ReadRegistryDword(HiveCurrentUser, key, "GlobalUserOffline"), 1u);
    SetIeWorkOffline(false);
    EXPECT_FALSE(IsIeOffline());
    EXPECT_FALSE(wininet::isOffline());
    // Only the number 1 counts.
    reg::writeValue(HiveCurrentUser, key, "GlobalUserOffline", reg::Value::string("1"));
    EXPECT_FALSE(IsIeOffline());
    reg::writeValue(HiveCurrentUser, key, "GlobalUserOffline", reg::Value::dword(2));
    EXPECT_FALSE(IsIeOffline());
}

TEST(Connection, DisplayOptions)
{
    const QString main = "Software\\Microsoft\\Internet Explorer\\Main";
    for (int16_t i = 1; i <= 5; ++i)
        EXPECT_TRUE(GetIeDisplayOption(i)) << i; // missing counts as shown

    const struct {
        const char* name;
        const char* stored;
        bool expected;
    } cases[] = {
        {"Play_Animations", "no", false},       {"Play_Animations", "No", false},
        {"Play_Animations", "yes", true},       {"Play_Animations", "nope", true},
        {"Display Inline Images", "NO", false}, {"Display Inline Videos", "", true},
    };
    const QStringList names = {"", "Play_Animations", "Display Inline Images", "Play_Background_Sounds",
                               "Display Inline Videos"};
    for (const auto& c : cases) {
        reg::writeValue(HiveCurrentUser, main, c.name, reg::Value::string(c.stored));
        EXPECT_EQ(GetIeDisplayOption(static_cast<int16_t>(names.indexOf(c.name))), c.expected) << c.name << "=" << c.stored;
    }

    for (int16_t i = 1; i <= 4; ++i) {
        SetIeDisplayOption(i, false);
        EXPECT_EQ(ReadRegistryString(HiveCurrentUser, main, names[i]), "no");
        EXPECT_FALSE(GetIeDisplayOption(i));
        SetIeDisplayOption(i, true);
        EXPECT_EQ(ReadRegistryString(HiveCurrentUser, main, names[i]), "yes");
        EXPECT_TRUE(GetIeDisplayOption(i));
    }

    // Flash: without a registered class, writes are ignored and it reads as allowed.
    SetIeDisplayOption(5, false);
    EXPECT_TRUE(GetIeDisplayOption(5));
    EXPECT_FALSE(RegistryKeyExists(HiveLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility"));
    const QString clsid = "{D27CDB6E-AE6D-11CF-96B8-444553540000}";
    reg::writeValue(HiveLocalMachine, "SOFTWARE\\Classes\\ShockwaveFlash.ShockwaveFlash\\CLSID", "", reg::Value::string(clsid));
    const QString compat = "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\" + clsid;
    SetIeDisplayOption(5, false);
    EXPECT_EQ(ReadRegistryDword(HiveLocalMachine, compat, "Compatibility Flags"), 1024u);
    EXPECT_FALSE(GetIeDisplayOption(5));
    SetIeDisplayOption(5, true);
    EXPECT_EQ(ReadRegistryDword(HiveLocalMachine, compat, "Compatibility Flags"), 0u);
    EXPECT_TRUE(GetIeDisplayOption(5));
}

TEST(Connection, DisplayOptionsReachTheWebEngine)
{
    QWebEngineProfile profile;
    wininet::attachProfile(&profile);
    QWebEngineSettings* s = profile.settings();
    EXPECT_TRUE(s->testAttribute(QWebEngineSettings::AutoLoadImages));
    EXPECT_FALSE(s->testAttribute(QWebEngineSettings::PlaybackRequiresUserGesture));

    const struct {
        int16_t index;
        bool on;
        bool images;
        bool gesture;
    } steps[] = {
        {2, false, false, false}, {2, true, true, false}, {4, false, true, true},
        {3, false, true, true},   {4, true, true, true},  {3, true, true, false},
        {1, false, true, false}, // animations have no equivalent
    };
    for (const auto& st : steps) {
        SetIeDisplayOption(st.index, st.on);
        EXPECT_EQ(s->testAttribute(QWebEngineSettings::AutoLoadImages), st.images) << st.index << st.on;
        EXPECT_EQ(s->testAttribute(QWebEngineSettings::PlaybackRequiresUserGesture), st.gesture) << st.index << st.on;
    }
}

// Names in any script, stored as the user typed them, reach Chromium and
// QtNetwork in their ASCII form, and an exception holds for an address in
// either form.
TEST(ProxySettings, UnicodeNamesReachTheNetworkInTheirAsciiForm)
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "");
    saveProxy("Check1", "1");
    saveProxy("Address1", QStringLiteral("proxy.b\u00fccher.example"));
    saveProxy("Port1", "8080");
    saveProxy("Exception", QStringLiteral("m\u00fcnchen.de;*.b\u00fccher.example"));
    ApplyProxySettings();
    const wininet::ProxyInfo info = wininet::processProxy();
    EXPECT_EQ(info.proxyList, "http=proxy.xn--bcher-kva.example:8080");
    EXPECT_EQ(info.bypassList, "xn--mnchen-3ya.de *.xn--bcher-kva.example");
    EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"),
              "--proxy-server=http=proxy.xn--bcher-kva.example:8080 --proxy-bypass-list=xn--mnchen-3ya.de;*.xn--bcher-kva.example");
    EXPECT_EQ(proxyFor(QStringLiteral("http://m\u00fcnchen.de/")).type(), QNetworkProxy::NoProxy);
    EXPECT_EQ(proxyFor(QStringLiteral("http://xn--mnchen-3ya.de/")).type(), QNetworkProxy::NoProxy);
    EXPECT_EQ(proxyFor(QStringLiteral("http://www.b\u00fccher.example/")).type(), QNetworkProxy::NoProxy);
    const QNetworkProxy other = proxyFor(QStringLiteral("http://other.example/"));
    EXPECT_EQ(other.type(), QNetworkProxy::HttpProxy);
    EXPECT_EQ(other.hostName(), QStringLiteral("proxy.xn--bcher-kva.example"));
}
