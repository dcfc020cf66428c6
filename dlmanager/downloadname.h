#pragma once

// Whether an address names a file to download or a page to load.

#include <QByteArray>
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

// The name a file is saved under when its address names no file (no "." in
// its path): the last segment of the address's path, else "download".
QString AddressFileName(const QString& address);

// The file name an answer's Content-Disposition field gives (filename*
// in UTF-8 before filename), as one plain name: its last path segment, no
// control character, not "." or ".."; "" when it gives none.
QString AnswerFileName(const QByteArray& contentDisposition);
