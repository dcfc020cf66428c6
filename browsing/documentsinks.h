#pragma once

// The current page's document events: presses remember the element under
// them (read by the snippet capture), drags in the page are cancelled and
// handed to the side list pane when its lists are ready, and a scroll of
// the page is not a click that may open a popup.

#include "browsing/tabbrowsing.h"
#include "mainwindow/explorerstate.h"

#include <QList>
#include <QString>

#include <functional>

class DocumentSinks {
public:
    // The page and its first four frames.
    static constexpr int kFrameSinks = 4;

    DocumentSinks(ExplorerState& state, TabBrowsing& tabs);

    void BindDocumentEvents();
    void ReleaseDocumentEvents();

    // outerHTML of the element under the last press in a bound document.
    QString ClickedElementHtml;
    // The side pane's lists are prepared (set by the list pane).
    bool ListPaneReady = false;
    // The frame numbers the last bind reached.
    QList<int> BoundFrames;
    // Starts the list pane's own drag of the current list kind.
    std::function<void()> startListDrag;

private:
    void attach(IBrowser* browser);
    void detach(IBrowser* browser);

    ExplorerState& st_;
    TabBrowsing& tabs_;
    int boundBrowser_ = -1;
};
