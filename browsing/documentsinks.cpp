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
    e.windowScroll = [this] { st_.UserClickState = 0; };
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
    if (st_.BusyFlags[0] != 0)
        return;
    if (st_.CurrentTab < 0 || st_.CurrentTab >= st_.TabBrowserMap.size())
        return;
    const int index = st_.TabBrowserMap[st_.CurrentTab];
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
