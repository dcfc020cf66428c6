#pragma once

// The user's small list files (translation services, favourite folders,
// mail programs, start pages, search pages): one reader shared by the menus
// that show them and the lookups that carry an entry out, and one rule for
// which copy is read (the user's own copy first, then the program's).

#include <QString>
#include <QVector>

struct QuickListLine {
    bool separator = false; // a line that is exactly "-"
    QString name;           // the text before the first "=", control characters trimmed
    QString value;          // the text after the first "="
};

// The lines of a list file in file order. Empty lines and lines starting
// with ";" are skipped; a line without "=" ends the list there. A missing
// or unreadable file gives nothing (opened is false then). The file is read
// bounded: at most 1 MiB and 10000 lines.
QVector<QuickListLine> ReadQuickList(const QString& localPath, bool* opened = nullptr);

// List files by number: 0 translation, 1 folder, 2 e-mail, 3 start page,
// 4 search. "" for any other number.
QString QuickListFileName(int list);

// The copy of list file that is read: the user's copy in the application
// data folder's "Z5" when it exists there, else the program's "Common"
// copy. A local path; "" for an unknown list.
QString ResolveQuickListPath(int list);

// Every entry of the list whose name equals name exactly, in file order.
QVector<QuickListLine> QuickListLookup(int list, const QString& name);
