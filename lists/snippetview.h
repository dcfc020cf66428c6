#pragma once

// The snippet view page: one or more snippet files shown in a tab as a
// page written to this run's temporary files, each with a header table
// (name, comment, source, date, as OPT_COLLECTIONFORMAT chooses) whose
// buttons close the view, save the snippet elsewhere or edit its name and
// comment through the command channel. A snippet's markup is foreign:
// the page lets only its own script run (a fresh nonce per page), takes
// out the snippets' <meta> and <base> tags, and a command is taken only
// for a snippet file that page was written with.

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

class frmExplorer;
class ListStores;
class ServiceSet;
class WebSnippets;

// The snippet's markup without its <meta> and <base> tags.
QString StripSnippetHeadTags(const QString& html);

class SnippetView {
public:
    SnippetView(frmExplorer& window, ServiceSet& services, ListStores& stores, WebSnippets& snippets);
    ~SnippetView();
    SnippetView(const SnippetView&) = delete;
    SnippetView& operator=(const SnippetView&) = delete;

    // mode 0 the file at path; 1 every row of list 4; 2 its selected rows;
    // 3 its selected rows merged into a new snippet file.
    void ShowSnippetViewPage(int16_t mode, const QString& path);
    // "EVENT:Z5_VIEWSP_CLOSE-", "..._SAVE-" or "..._EDIT-", the page's token,
    // "-" and the snippet file's path, percent-encoded, from the page
    // browserIndex shows.
    void HandleSnippetPageEvent(int16_t browserIndex, const QString& url);

    // The page and merged files of a tab number.
    QString PageFilePath(int tab) const;
    QString MergedFilePath(int tab) const;

private:
    QString tempStem() const;

    frmExplorer& w_;
    ServiceSet& services_;
    ListStores& stores_;
    WebSnippets& snippets_;
    // Page file -> its token and the snippet files its buttons name.
    struct WrittenPage {
        QString token;
        QStringList paths;
    };
    QHash<QString, WrittenPage> pages_;
};
