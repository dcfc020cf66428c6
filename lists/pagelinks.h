#pragma once

// The links and images of the current page and of its frames collected into
// the lists: by kind ("Add Links To ...", "Add Images On Page"), all of them
// or those of the selection ("Add Links On Page"), and the selection's links
// for the favorites and group commands. Whole-page collections gather into
// a scratch list of their own, which the command that filled it empties.

#include "platform/win/listrows.h"
#include "platform/win/pagequeries.h"

#include <QSet>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class frmExplorer;
class ListOperations;
class ListStores;
class ServiceSet;

class PageLinks {
public:
    PageLinks(frmExplorer& window, ServiceSet& services, ListStores& stores, ListOperations& ops);

    // kind 1-6 (0: the scratch list); mode 1 A, AREA and IMG, 2 A and
    // AREA, 3 IMG; filter for kind 6: 1 any file link, 2 archives only.
    void AddPageLinksToList(int16_t kind, int16_t mode, int16_t filter);
    void CollectPageLinks(int16_t kind, int16_t mode, int16_t filter);
    void CollectDocumentLinks(const platform::browser::DocumentLinks& document, int16_t mode, int16_t kind,
                              int16_t filter);
    void FilterLinkForList(const QList<platform::browser::PageLink>& elements, int16_t kind, int16_t filter);
    void AddLinkItem(int16_t kind, QString address, QString text);
    void AddClipboardLinksToList(int16_t kind);
    // Leaves the page links the selection holds in the scratch list and
    // answers how many; the caller empties the list.
    int ExtractSelectionLinks();

    // The scratch list (kind 0).
    std::vector<platform::forms::ListRow>& scratch() { return scratch_; }

    // The current page's selection as markup ("" none), read through the
    // page bridge.
    QString SelectionHtml() const;

private:
    // Rows made by AddLinkItem wait here until the collection ends and go
    // into their list in one step.
    void flushRows(int16_t kind);
    bool isDuplicate(int16_t kind, const QString& fullAddress);

    frmExplorer& w_;
    ServiceSet& services_;
    ListStores& stores_;
    ListOperations& ops_;
    std::vector<platform::forms::ListRow> scratch_;
    std::vector<platform::forms::ListRow> pending_;
    // The addresses the target list holds, for the duplicate test.
    std::optional<QSet<QString>> known_;
};

// True when the address begins with a scheme ("http:", "file:", "ftp:",
// "mailto:" ...).
bool HasUrlScheme(const QString& address);
