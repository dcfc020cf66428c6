#include "browsing/documentsinks.h"

DocumentSinks::DocumentSinks(ExplorerState& state, TabBrowsing& tabs) : st_(state), tabs_(tabs) {}

void DocumentSinks::attach(IBrowser* b)
{
    auto& e = b->browserEvents();
    e.documentMouseDown = [this](const QString& html) { ClickedElementHtml = html; };
    e.documentDragStart = [this] {
        if (ListPaneReady && startListDrag)
            startListDrag();
    };
    e.windowScroll = [this] { tabs_.model().SetUserClickState(0); };
    e.documentEventsBound = [this](const QList<int>& frames) { BoundFrames = frames; };
}

void DocumentSinks::detach(IBrowser* b)
{
    auto& e = b->browserEvents();
    e.documentMouseDown = nullptr;
    e.documentDragStart = nullptr;
    e.windowScroll = nullptr;
    e.documentEventsBound = nullptr;
}

void DocumentSinks::BindDocumentEvents()
{
    if (st_.NavigationHeld)
        return;
    if (tabs_.model().CurrentTab() < 0 || tabs_.model().CurrentTab() >= tabs_.model().TabBrowserMap().size())
        return;
    const int index = tabs_.model().TabBrowserMap()[tabs_.model().CurrentTab()];
    IBrowser* b = tabs_.WBMAIN(index);
    if (!b)
        return;
    // The sinks follow the current tab: the page bound before is let go.
    if (boundBrowser_ != index)
        ReleaseDocumentEvents();
    attach(b);
    boundBrowser_ = index;
    b->bindDocumentEvents(kFrameSinks);
}

void DocumentSinks::ReleaseDocumentEvents()
{
    if (boundBrowser_ < 0)
        return;
    if (IBrowser* b = tabs_.WBMAIN(boundBrowser_)) {
        b->releaseDocumentEvents();
        detach(b);
    }
    boundBrowser_ = -1;
    BoundFrames.clear();
}
