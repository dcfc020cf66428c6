#pragma once

// The Proxy Settings page of the preferences window: whether a proxy is
// used, a server (address and port) for each of HTTP, Secure, FTP, Gopher
// and Socks, and the addresses that go direct. The values live in
// "Z5 Browser\Proxy" of the current user (Check1 to Check3, Address1 to
// Address5, Port1 to Port5, Exception); the page hands them to the process
// (the program's own requests at once, the pages from their next start) and
// the download manager reads them at its start.

#include "core/connection.h"
#include "dialogs/settingwrites.h"

#include <QString>

class frmReferences;

void CaptionProxyPage(frmReferences& f);
void WireProxyPage(frmReferences& f);

// Fills the page from the registry and settles what is enabled.
void LoadProxySettings(frmReferences& f);
// The page's 14 values as the settings hold them, in their order.
QList<SettingWrite> ProxyPageSettings(const frmReferences& f);
// Writes those the user changed; false when the store refused one.
bool SaveProxySettings(frmReferences& f);
// Builds the proxy record from the stored settings and sets it for the
// process, which so uses what the store holds; with report the user is told
// the outcome.
void ApplyProxyToIE(bool report);
// While "Use a proxy server" is ticked, every enabled, non-empty box must
// hold what its kind allows; false (the user told which box) when one does
// not.
bool CheckProxySettings(frmReferences& f);

// What the boxes take: a host name (in any script: stored as typed, used in
// its ASCII form), an IPv4 address or an IPv6 address in brackets; a port 1
// to 65535; exceptions: host patterns ("*" allowed, an optional port) and
// "<local>", separated by ";" or blanks.
bool IsProxyAddress(const QString& text);
bool IsProxyPort(const QString& text);
bool IsProxyExceptionList(const QString& text);

// The click rule of a check box (0 use a proxy, 1 the same proxy for all,
// 2 local bypass): the enabled states follow, then Apply is enabled.
void Proxy_CheckBox_Click(frmReferences& f, int index);
void Proxy_TextBox_Change(frmReferences& f, int index);
