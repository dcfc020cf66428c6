#pragma once

// Web snippets: a piece of a page (the selection, or the element last
// pressed) kept in a ".Z5S" file with its name, comment, source address and
// date, the rows of list 4. The file: name, comment, source, date created
// ("mmm dd, yyyy hh:mm AM/PM") and the markup from line 5 on (read back
// joined without separators), UTF-8, CR LF.

#include <QDateTime>
#include <functional>
#include <QString>

#include <cstdint>

class frmExplorer;
class ListOperations;
class PageLinks;
class ServiceSet;
class ListStores;

// The markup without the clipboard header before "<HTML", its body and
// table tags bare of attributes (one that starts less than ten characters
// after the previous tag of its kind is passed over).
QString NormalizeSnippetHtml(const QString& fragment);
// A caption of at most 30 characters from the text, or from ALT and TITLE
// values when it has none; may be empty.
void ExtractSnippetCaption(QString& text);
// "mmm dd, yyyy hh:mm AM/PM", the month's short name in the system's
// language.
QString SnippetDateText(const QDateTime& when);
// The bytes of a snippet file; the markup ends with a line end when asked.
QByteArray SnippetFileBytes(const QString& name, const QString& comment, const QString& source,
                            const QString& date, const QString& html, bool finalLineEnd);
// Fills the values from the file when it exists and can be read: the four
// header lines each when present, the markup appended.
void ReadSnippetFile(const QString& path, QString& name, QString& comment, QString& source, QString& dateCreated,
                     QString& html);

// The largest snippet file read.
inline constexpr qint64 kMaxSnippetFileBytes = 64 << 20;

class WebSnippets {
public:
    WebSnippets(frmExplorer& window, ServiceSet& services, ListStores& stores, ListOperations& ops,
                PageLinks& links);

    // "Add Web Snippet": the current tab's selection into the collection
    // folder and list 4.
    void CaptureSelectionAsSnippet();
    // Relative HREF and SRC values made absolute by the current page's
    // links.
    void AbsolutizeSnippetLinks(QString& html);
    void RewriteSnippetFile(const QString& oldPath, QString& newPath, const QString& name, const QString& comment,
                            bool replaceComment, bool move);

    // The capture folder: My Documents and "Z5 Collection".
    static QString CollectionFolder();

    // Shows the file that was written (the snippet view page).
    std::function<void(const QString& path)> showSnippet;

private:
    frmExplorer& w_;
    ServiceSet& services_;
    ListStores& stores_;
    ListOperations& ops_;
    PageLinks& links_;
};
