#pragma once

// Small shared tests and lookups: the kind of a file or address by its
// ending, the program's own temporary, blank, help and data pages, the
// office programs and the mail program, and the grid of the multi-view
// arrangement. None of them fails loudly.

#include <QString>
#include <cstdint>

// The extension part of the last n characters of name: from the first "."
// among them to the end, lower-cased; "" when they hold no ".".
QString ExtensionPart(const QString& name, int n);

bool IsImageFile(const QString& name);
bool IsAudioFile(const QString& name);
bool IsVideoFile(const QString& name);
bool IsWindowsMediaAudio(const QString& name);
bool IsWebPageUrl(const QString& url);
bool IsCdTrack(const QString& name);
bool IsWaveFile(const QString& name);
// A list item on this machine: an absolute path or a "file:" address;
// anything else is on the Net.
bool IsLocalItem(const QString& pathOrAddress);
bool IsShortcutFile(const QString& name);
bool IsSnippetFile(const QString& name);
// A link that names a file rather than a page.
bool IsFileLink(const QString& url);
bool IsDownloadArchiveLink(const QString& url);
bool IsTempPageName(const QString& name);
bool IsBlankPageUrl(const QString& url);
bool IsEmptyAddress(const QString& url);
// True when url lies in the program's "\Help\" (or "\Data\") folder.
bool GetHelpPagePath(const QString& url);
bool GetDataPagePath(const QString& url);

// The registered local-server command of an office application's ProgID,
// or "".
QString IsComServerInstalled(const QString& progId);
QString IsWordInstalled();
QString IsExcelInstalled();
QString IsPowerPointInstalled();
QString IsFrontPageInstalled();
QString IsPublisherInstalled();

// The program of the registered mail command (the quoted part when quoted,
// else the whole command), "%ProgramFiles%" replaced.
QString GetMailProgram();

// Rows and columns of the multi-view grid for 2 to 32 panes; any other
// count leaves both unchanged.
void GridForCount(int16_t count, int16_t& rows, int16_t& columns);
