#pragma once

// Commands that do something with the current tab's page or hand it to
// another program: mail a link to it, show its source in an editor, edit a
// list file, open it in an office program, translate it, switch the
// offline mode, test for the blank page.

#include "browsing/tabbrowsing.h"
#include "mainwindow/explorerstate.h"

#include <QString>
#include <QStringList>

#include <functional>

// Makes the current tab the image viewer (list kind 3): the tab that was
// it goes back to a page tab, and the viewer's cells are rebuilt when it
// shows several images.
void ShowImageViewerTab(ExplorerState& state, TabBrowsing& tabs, ITabChrome& chrome, const ServiceSet& services);

class PageTools {
public:
    PageTools(ExplorerState& state, TabBrowsing& tabs);

    void MailPageLink();
    void EditListFile(int index);
    void OpenInOfficeProgram(int number);
    void TranslatePage(const QString& name);
    void ToggleWorkOffline();
    // The source is read from the page later; the editor starts once it is
    // written.
    void ViewPageSource();
    bool IsCurrentTabBlank() const;
    // Starts the system folder's offline synchronisation program, where
    // there is one; nothing otherwise.
    void SynchronizeOfflinePages();

    // The mail address of a page: a new message whose subject is the title
    // and whose body is the title and the address, every value
    // percent-encoded as UTF-8 so that "&", "#" and "=" stay inside it.
    static QString MailtoAddress(const QString& title, const QString& url);
    // A page title made fit for a file name; "" when nothing is left.
    static QString SafeTitle(const QString& title);
    // The file the source of a page with that title is written to, in folder.
    static QString SourceFilePath(const QString& folder, const QString& title);
    // The entries of a translation list with that name, in file order.
    static QStringList TranslationPrefixes(const QStringList& lines, const QString& name);
    // The translation list the Translate commands read: the per-user copy,
    // which "modify list" edits, once it exists, else the shared one.
    static QString TranslationListPath();
    // The text editor started on files: the first one installed of a known
    // list, else the desktop's opener.
    static QString EditorProgram();

    // The browser's offline mode as last set.
    bool WorkOfflineFlag = false;

    // Seams for tests: an address for the desktop (mailto), a program with
    // its argument list.
    std::function<bool(const QString& address)> openAddress;
    std::function<bool(const QString& program, const QStringList& arguments)> startProgram;

private:
    IBrowser* currentBrowser() const;
    QString currentTitle() const;
    static QString userListPath(const QString& file, bool copyShared);

    ExplorerState& st_;
    TabBrowsing& tabs_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
