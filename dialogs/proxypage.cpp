#include "dialogs/proxypage.h"

#include "core/language.h"
#include "core/messagebox.h"
#include "core/proxysetting.h"
#include "core/settingsstore.h"
#include "dialogs/frmreferences.h"
#include "platform/base/vbrt.h"
#include "platform/web/wininet.h"

#include <QRegularExpression>

namespace {

// A disabled box's background: red 214, green 223, blue 247.
const QColor kEnabledBox(0xFF, 0xFF, 0xFF);
const QColor kDisabledBox(214, 223, 247);

QString lang(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("FORM-OPTIONS"), QLatin1String(key), QLatin1String(english));
}

QString read(const QString& name, const QString& fallback)
{
    return ReadSetting(HiveCurrentUser, kSettingsApp, kProxySection, name, fallback);
}

void enableBox(platform::forms::TextBox& box, bool on)
{
    box.setEnabled(on);
    box.setBackColor(on ? kEnabledBox : kDisabledBox);
}

// The enabling rule of check box 1: the four servers besides HTTP follow it.
void sameServerRule(frmReferences& f)
{
    const bool free = f.Proxy_CheckBox[1].value() == 0;
    for (int i = 2; i <= 9; ++i)
        enableBox(f.Proxy_TextBox[i], free);
    for (int i = 4; i <= 7; ++i)
        f.Proxy_Label[i].setEnabled(free);
}

// The enabling rule of check box 0: the whole page follows it.
void useProxyRule(frmReferences& f)
{
    const bool on = f.Proxy_CheckBox[0].value() != 0;
    f.Proxy_CheckBox[1].setEnabled(on);
    f.Proxy_CheckBox[2].setEnabled(on);
    for (int i = 0; i <= 10; ++i) {
        enableBox(f.Proxy_TextBox[i], on);
        f.Proxy_Label[i].setEnabled(on);
    }
    if (f.Proxy_CheckBox[1].value() == 1)
        sameServerRule(f);
}

// A check value as the box takes it; anything but 0, 1 or 2 reads as clear.
int checkState(const QString& text)
{
    const auto n = vb::toNumber(text);
    const auto state = n ? vb::toInt16(*n) : std::nullopt;
    return state && *state >= 0 && *state <= 2 ? *state : 0;
}

bool matches(const QString& text, const char* pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern))).match(text).hasMatch();
}

// The name of a box in a message: its row and its column, or "Exceptions".
QString boxName(const frmReferences& f, int index)
{
    if (index == 10)
        return f.Proxy_Label[8].caption();
    return f.Proxy_Label[3 + index / 2].caption() + QStringLiteral(" - ")
           + f.Proxy_Label[index % 2 == 0 ? 1 : 2].caption();
}

} // namespace

bool IsProxyAddress(const QString& text)
{
    // A name in any script, as the network layer will take it.
    const QString host = ProxyHostForNetwork(text);
    return host.size() <= 255
           && (matches(host, "[A-Za-z0-9._\\-]+") || matches(host, "\\[[0-9A-Fa-f:.]+\\]"));
}

bool IsProxyPort(const QString& text)
{
    return matches(text, "[0-9]{1,5}") && text.toInt() >= 1 && text.toInt() <= 65535;
}

bool IsProxyExceptionList(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[ ;]+"));
    for (const QString& entry : text.split(separators, Qt::SkipEmptyParts))
        if (entry.compare(QLatin1String("<local>"), Qt::CaseInsensitive) != 0
            && !matches(ProxyHostForNetwork(entry), "([A-Za-z0-9.*_\\-]+|\\[[0-9A-Fa-f:.]+\\])(:[0-9]{1,5})?"))
            return false;
    return true;
}

void CaptionProxyPage(frmReferences& f)
{
    f.SLabel[11].setCaption(lang("6205", "Proxy Settings"));
    f.Proxy_CheckBox[0].setCaption(lang("620501", "Use a proxy server"));
    static const char* const labels[][2] = {
        {"620502", "Servers"}, {"620503", "Proxy address to use"}, {"620504", "Port"}, {"620505", "HTTP"},
        {"620506", "Secure"},  {"620507", "FTP"},                  {"620508", "Gopher"}, {"620509", "Socks"},
        {"620511", "Exceptions"}, {"620512", "Do not use proxy server for addresses beginning with:"},
        {"620513", "Use semicolons ( ; ) to separate entries."}};
    for (int i = 0; i <= 10; ++i)
        f.Proxy_Label[i].setCaption(lang(labels[i][0], labels[i][1]));
    f.Proxy_CheckBox[1].setCaption(lang("620510", "Use the same proxy server for all protocols"));
    f.Proxy_CheckBox[2].setCaption(lang("620514", "Bypass proxy server for local addresses"));
}

void WireProxyPage(frmReferences& f)
{
    f.Proxy_CheckBox.events().click = [&f](int i) { Proxy_CheckBox_Click(f, i); };
    f.Proxy_TextBox.events().change = [&f](int i) { Proxy_TextBox_Change(f, i); };
}

void LoadProxySettings(frmReferences& f)
{
    for (int i = 0; i <= 2; ++i)
        f.Proxy_CheckBox[i].setValue(checkState(read(QStringLiteral("Check") + QString::number(i + 1), QStringLiteral("0"))));
    for (int k = 1; k <= 5; ++k) {
        f.Proxy_TextBox[2 * (k - 1)].setText(read(QStringLiteral("Address") + QString::number(k), QString()));
        f.Proxy_TextBox[2 * (k - 1) + 1].setText(read(QStringLiteral("Port") + QString::number(k), QString()));
    }
    f.Proxy_TextBox[10].setText(read(QStringLiteral("Exception"), QString()));
    // The boxes' clicks above ran in their order; this settles the page.
    useProxyRule(f);
}

QList<SettingWrite> ProxyPageSettings(const frmReferences& f)
{
    QList<SettingWrite> values;
    const auto add = [&values](const QString& name, const QString& value) { values.append({kProxySection, name, value}); };
    for (int i = 0; i <= 2; ++i)
        add(QStringLiteral("Check") + QString::number(i + 1), QString::number(f.Proxy_CheckBox[i].value()));
    for (int k = 1; k <= 5; ++k)
        add(QStringLiteral("Address") + QString::number(k), f.Proxy_TextBox[2 * (k - 1)].text());
    for (int k = 1; k <= 5; ++k)
        add(QStringLiteral("Port") + QString::number(k), f.Proxy_TextBox[2 * (k - 1) + 1].text());
    add(QStringLiteral("Exception"), f.Proxy_TextBox[10].text());
    return values;
}

bool SaveProxySettings(frmReferences& f)
{
    bool stored = true;
    for (const SettingWrite& v : ProxyPageSettings(f))
        stored = f.Settings.write(v) && stored;
    return stored;
}

void ApplyProxyToIE(bool report)
{
    const ProxySettingValues values = ReadProxySettingValues();
    platform::wininet::ProxyInfo info;
    info.namedProxy = values.Check1 == QLatin1String("1");
    info.proxyList = BuildProxyList(values);
    info.bypassList = BuildProxyBypassList(values);
    // The program's own requests take it at once; pages that run keep the
    // proxy their engine started with.
    const bool everywhere = platform::wininet::setProcessProxy(info);
    if (!report)
        return;
    if (everywhere)
        ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9011"),
                                  QStringLiteral("The IE proxy settings was updated successfully")),
                    1, 3);
    else
        ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9061"),
                                  QStringLiteral("The proxy settings were saved. Downloads use them now; web pages use "
                                                 "them after Z5 is restarted.")),
                    1, 3);
}

bool CheckProxySettings(frmReferences& f)
{
    if (f.Proxy_CheckBox[0].value() != 1)
        return true;
    for (int i = 0; i <= 10; ++i) {
        const platform::forms::TextBox& box = f.Proxy_TextBox[i];
        const QString text = box.text();
        if (!box.enabled() || text.isEmpty())
            continue;
        const bool good = i == 10 ? IsProxyExceptionList(text) : i % 2 == 0 ? IsProxyAddress(text) : IsProxyPort(text);
        if (good)
            continue;
        ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9060"),
                                  QStringLiteral("This proxy setting is not valid, nothing was saved:"))
                        + QLatin1Char('\n') + boxName(f, i),
                    1, 0);
        return false;
    }
    return true;
}

void Proxy_CheckBox_Click(frmReferences& f, int index)
{
    if (index == 0)
        useProxyRule(f);
    else if (index == 1)
        sameServerRule(f);
    f.SetApplyEnabled(true);
}

void Proxy_TextBox_Change(frmReferences& f, int)
{
    f.SetApplyEnabled(true);
}
