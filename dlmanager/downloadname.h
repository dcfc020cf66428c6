#pragma once

// Whether an address names a file to download or a page to load.

#include <QString>

class clsWinInet;

// The file name the address names, or "" for a page. Cracks the address
// with the given object, which then holds its parts.
QString GetDownloadFileName(const QString& address, clsWinInet& cracker);
bool IsDownloadableName(const QString& name);
bool IsPageUrl(const QString& name);

// The folder part of an address as a name prefix: the text after the last
// "//", cut after its last "/", every "/" and "\" made "-"
// ("http://h/a/b/c.gif" gives "h-a-b-").
QString AddressPathPrefix(const QString& address);
