#include "browsing/explorertabs.h"

#include "browsing/addressbox.h"
#include "browsing/browserarray.h"
#include "browsing/colourbar.h"
#include "browsing/currenttabdisplay.h"
#include "browsing/documentsinks.h"
#include "browsing/findbar.h"
#include "browsing/handoff.h"
#include "browsing/navigation.h"
#include "browsing/pagetools.h"
#include "browsing/tabbrowsing.h"
#include "browsing/tabstaterecord.h"
#include "browsing/tabstrip.h"
#include "browsing/tabwatchers.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/mainsettings.h"
#include "core/menuiconstrip.h"
#include "core/shellnames.h"
#include "core/startup.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/menubarpopups.h"
#include "mainwindow/multiview.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/splitters.h"
#include "mainwindow/windowplacement.h"
#include "platform/base/commandline.h"
#include "platform/base/paths.h"
#include "platform/base/vbrt.h"
#include "platform/win/windowservices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDrag>
#include <QEvent>
#include <QFileInfo>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>

#include <unistd.h>

ClickingBrowsers::ClickingBrowsers(frmExplorer& window, platform::forms::Control* holder)
    : window_(window), array_(window, holder)
{
    watch(array_.browser(0));
}

IBrowser* ClickingBrowsers::loadBrowser(int index)
{
    return watch(array_.loadBrowser(index));
}

IBrowser* ClickingBrowsers::watch(IBrowser* b)
{
    if (b) {
        frmExplorer* w = &window_;
        QPointer<QWidget> alive = window_.window();
        // Taken up from the main loop, outside the page's input handling.
        b->browserEvents().mouseDown = [w, alive](int button) {
            if (button != 1 && button != 2)
                return;
            QTimer::singleShot(0, qApp, [w, alive, button] {
                if (alive)
                    HandleBrowserClick(*w, button == 1 ? 2 : 3);
            });
        };
    }
    return b;
}

ExplorerTabs::ExplorerTabs(frmExplorer& window, ServiceSet& services)
    : window_(window), services_(services), browsers_(window, &window.PicHolder[picholder::Body]),
      tabs_(model_, window, browsers_, *this, services), strip_(window, tabs_), display_(window, tabs_, strip_),
      watchers_(window, tabs_), tools_(window, tabs_), sinks_(window, tabs_), nav_(window, tabs_)
{
    window_.PicHolder[picholder::Body].widget()->installEventFilter(this);
    display_.ShowTabCount(std::max<int>(1, model_.TabCount()));
    wirePageButtons();
    wireAddressBox();
    wireAddressDropDown();
    findBar_ = new FindBar(window_.PicHolder[picholder::Body].widget(), [this] { return tabs_.CurrentBrowser(); });
    nav_.openListFile = [this](const QString& target) {
        if (target.right(4).toUpper() == QLatin1String(".Z5P")) {
            TogglePlayList(window_, 2);
            services_.Lists().LoadPlaylistFile(target);
        } else {
            services_.Lists().ShowSnippetViewPage(0, target);
        }
    };
}

ExplorerTabs::~ExplorerTabs()
{
    if (QWidget* holder = window_.PicHolder[picholder::Body].widget())
        holder->removeEventFilter(this);
}

int16_t ExplorerTabs::TabBrowserMap(int16_t tab) const
{
    return tab >= 0 && tab < model_.TabCount() ? model_.TabBrowserMap().value(tab, -1) : -1;
}

QString ExplorerTabs::TabTitle(int16_t tab) const
{
    return tab >= 0 && tab < model_.TabCount() ? model_.TabTitles().value(tab) : QString();
}

QString ExplorerTabs::TabLocation(int16_t tab) const
{
    if (tab < 0 || tab >= model_.TabCount() || tab >= model_.TabBrowserMap().size())
        return {};
    const IBrowser* b = browsers_.browser(model_.TabBrowserMap()[tab]);
    return b ? b->locationURL() : QString();
}

int16_t ExplorerTabs::TabOfBrowser(int16_t browserIndex) const
{
    return static_cast<int16_t>(model_.TabOfBrowser(browserIndex));
}

int16_t ExplorerTabs::GetTabState(int16_t browserIndex, int16_t field) const
{
    return tabs_.GetTabState(browserIndex, field);
}

void ExplorerTabs::NavigateInNewTab(const QString& url)
{
    const int n = model_.TabCount();
    tabs_.NewTab(n, true, true);
    if (IBrowser* b = tabs_.WBMAIN(model_.TabBrowserMap().value(n)))
        b->navigate2(url);
    if (n >= model_.TabCount())
        return;
    tabs_.SelectTab(n);
}

void ExplorerTabs::SetTabStateRecord(int16_t browserIndex, const QString& record)
{
    if (IBrowser* b = tabs_.WBMAIN(browserIndex))
        b->setTag(record);
}

void ExplorerTabs::UnloadBrowser(int16_t browserIndex)
{
    if (browserIndex > 0)
        browsers_.unloadBrowser(browserIndex);
}

// Modes 1 and 2 open in the first tab at start-up, mode 3 in the current tab.
void ExplorerTabs::OpenWB_StartPage(int16_t mode)
{
    nav_.OpenWB_StartPage(mode, model_.CurrentTab());
    if (mode != 3) {
        tabs_.SelectTab(0);
    }
}

// The panes of the multi-view, each filled by its tab's browser.
void ExplorerTabs::LayoutViewPanes(bool showSplitters, int16_t tabCount, int16_t paneCount)
{
    ::LayoutViewPanes(window_, showSplitters, tabCount, paneCount);
}

void ExplorerTabs::EnsureTabsForViewMode(bool activate)
{
    for (int k : BlankTabsForViewMode(window_.Layout.ViewMode(), model_.TabCount())) {
        tabs_.NewTab(k, true, true);
        tabs_.ResetTab(k);
    }
    if (window_.Layout.PaneCount() > 1) {
        // Each pane shows its own tab, above the browsers of tabs
        // outside the panes.
        for (int i = 0; i < window_.Layout.PaneCount(); ++i) {
            tabs_.RelayoutTabPanes(i);
            if (i < kMaxPanes)
                if (IBrowser* b = tabs_.WBMAIN(model_.TabBrowserMap().value(i, -1))) {
                    b->setVisible(true);
                    b->bringToFront();
                }
        }
        ::BringSplittersToFront(window_);
    } else {
        PlaceBrowsersInPanes(model_.CurrentTab());
    }
    if (activate) {
        tabs_.ActivateTab(model_.CurrentTab());
        QCoreApplication::processEvents();
        model_.SetUserClickState(0);
    }
}

// Full screen is left first; then every page, the media and the list
// timers stop and the status line says "Stopped".
void ExplorerTabs::StopEverything()
{
    if (window_.Placement().FullScreenMode() != 0)
        window_.Placement().ToggleFullScreen(0);
    tabs_.StopAllTabBrowsers();
    tabs_.BusyState[0] = 4;
    tabs_.ShowBusyIndicator();
    nav_.StopEverything();
}

void ExplorerTabs::ShowImageViewerTab()
{
    ::ShowImageViewerTab(window_, tabs_, *this, services_);
}

void ExplorerTabs::GoBack()
{
    nav_.GoBack();
    RefreshCurrentTabChrome();
    UpdateTabTitle(model_.CurrentTab() - window_.TabButtonOffset);
    services_.Downloads().ResetFetchProgress();
}

void ExplorerTabs::SetBusyIndicator(uint8_t state)
{
    tabs_.BusyState[0] = state;
    tabs_.ShowBusyIndicator();
}

int16_t ExplorerTabs::LastFittingTab() const
{
    return static_cast<int16_t>(window_.TabButtonOffset + strip_.TabButtonsFit() - 1);
}

void ExplorerTabs::NavigateCurrentTab(const QString& url)
{
    if (IBrowser* b = tabs_.CurrentBrowser())
        b->navigate2(url);
}

void ExplorerTabs::RunPageKey(int16_t keyCode)
{
    IBrowser* b = tabs_.CurrentBrowser();
    if (!b || b->locationURL().isEmpty() || IsBlankPageUrl(b->locationURL()))
        return;
    using namespace platform::browser;
    switch (keyCode) {
    case 'P': b->printPage(); break;
    case 'S': b->savePage(); break;
    case 'F':
        if (FindBar* bar = findBar_.data())
            bar->open();
        break;
    case 'A': b->focusPage(); b->execWB(CmdSelectAll); break;
    case 'X': if (tabs_.CanCut) { b->focusPage(); b->execWB(CmdCut); } break;
    case 'C': if (tabs_.CanCopy) { b->focusPage(); b->execWB(CmdCopy); } break;
    case 'V': if (tabs_.CanPaste) { b->focusPage(); b->execWB(CmdPaste); } break;
    default: break;
    }
}

void ExplorerTabs::LayoutTabStrip(LayoutRect& rect)
{
    strip_.LayoutTabStrip(rect);
    display_.RefreshTabButtons(false);
}

void ExplorerTabs::PlaceBrowsersInPanes(int tab)
{
    if (tab < 0 || tab >= model_.TabBrowserMap().size())
        return;
    if (IBrowser* b = tabs_.WBMAIN(model_.TabBrowserMap()[tab])) {
        const PaneRect r = BrowserRectForPane(window_, tab);
        b->place(r.Left, r.Top, r.Width, r.Height);
    }
}

void ExplorerTabs::BringSplittersToFront()
{
    ::BringSplittersToFront(window_);
}

void ExplorerTabs::EndSplitterDrag()
{
    ::EndSplitterDrag(window_);
}

void ExplorerTabs::SetStatusLine(const QString& text)
{
    window_.WBTextBox[wbtextbox::Status].setText(text);
}

void ExplorerTabs::SetBusyPicture(const QPixmap& picture)
{
    window_.ImageBox[imagebox::Busy].setPicture(picture);
}

void ExplorerTabs::SetProgressBar(double max, double value)
{
    window_.WBProgressBar->setMaximum(static_cast<int>(max));
    window_.WBProgressBar->setValue(static_cast<int>(value));
}

bool ExplorerTabs::IsFullScreen()
{
    return window_.Placement().FullScreenMode() != 0;
}

void ExplorerTabs::SetListTimer(int timer, bool enabled)
{
    if (platform::forms::Timer* t = window_.AppTimer.at(timer))
        t->setEnabled(enabled);
}

void ExplorerTabs::AddTypedUrl()
{
    ::AddTypedUrl(window_.WBTextBox[wbtextbox::Address].text());
}

IBrowser* ExplorerTabs::currentBrowser() const
{
    const int tab = model_.CurrentTab();
    return tab >= 0 && tab < model_.TabBrowserMap().size() ? tabs_.WBMAIN(model_.TabBrowserMap()[tab]) : nullptr;
}

void ExplorerTabs::wirePageButtons()
{
    // The hover marker only shows the cell: presses go through it to the bar.
    window_.ColorBarMarker->widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto& events = window_.ImageBox.events();
    auto down = events.mouseDown;
    auto move = events.mouseMove;
    auto up = events.mouseUp;
    events.mouseDown = [this, down](int index, int button, int shift, double x, double y) {
        window_.ButtonReleased = 0;
        if (index == imagebox::PageIcon)
            iconPress_ = QPointF(x, y);
        if (down)
            down(index, button, shift, x, y);
    };
    events.mouseMove = [this, move](int index, int button, int shift, double x, double y) {
        if (index == imagebox::ColourBar)
            ColourBar_MouseMove(window_, x);
        else if (index == imagebox::PageIcon && (button & 1) && iconPress_)
            dragPageIcon(x, y);
        if (move)
            move(index, button, shift, x, y);
    };
    events.mouseUp = [this, up](int index, int button, int shift, double x, double y) {
        window_.ButtonReleased = -1;
        if (index == imagebox::ColourBar)
            ColourBar_MouseUp(window_, currentBrowser(), button, x);
        if (index == imagebox::PageIcon)
            iconPress_.reset();
        if (up)
            up(index, button, shift, x, y);
    };
}

void ExplorerTabs::dragPageIcon(double x, double y)
{
    const double distance = QApplication::startDragDistance() * 15.0 * TwipsScale;
    if (std::abs(x - iconPress_->x()) + std::abs(y - iconPress_->y()) < distance)
        return;
    iconPress_.reset();
    IBrowser* b = currentBrowser();
    if (!b)
        return;
    const int tab = model_.CurrentTab();
    const QString title = tab < model_.TabTitles().size() ? model_.TabTitles()[tab] : QString();
    auto* drag = new QDrag(window_.ImageBox[imagebox::PageIcon].widget());
    drag->setMimeData(new UrlShortcutData(b->locationURL(), title, GetTempFolder()));
    if (!window_.ImageBox[imagebox::PageIcon].picture().isNull())
        drag->setPixmap(window_.ImageBox[imagebox::PageIcon].picture());
    // Posted: the drag runs its own loop, which the mouse event must not hold.
    QMetaObject::invokeMethod(
        this, [drag] { drag->exec(Qt::CopyAction); drag->deleteLater(); }, Qt::QueuedConnection);
}

bool ExplorerTabs::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        PlaceBrowsersInPanes(model_.CurrentTab());
        if (FindBar* bar = findBar_.data())
            bar->place();
    }
    return false;
}

void ExplorerTabs::wireAddressBox()
{
    auto& boxes = window_.WBTextBox.events();
    boxes.keyDown = [this](int index, int keyCode, int shift) {
        if (index == wbtextbox::Address && keyCode == 13 && (shift & 2) != 0)
            window_.WBTextBox[wbtextbox::Address].setText(
                CompleteBareName(window_.WBTextBox[wbtextbox::Address].text()));
    };
    boxes.keyUp = [this](int index, int keyCode, int) {
        if (index != wbtextbox::Address || keyCode != 13)
            return;
        nav_.NavigateAddressText(false, true, true);
        tabs_.TypedAddressPending = -1;
    };
    boxes.gotFocus = [this](int index) {
        if (index == wbtextbox::Address) {
            auto& address = window_.WBTextBox[wbtextbox::Address];
            address.setSelStart(0);
            address.setSelLength(static_cast<int>(address.text().size()));
        } else if (QWidget* row = window_.PicHolder[picholder::AddressRow].widget()) {
            row->setFocus();
        }
    };
    window_.WBTextBox[wbtextbox::Address].textDropped = [this](const QString& text) {
        window_.WBTextBox[wbtextbox::Address].setText(text);
        nav_.NavigateAddressText(true, true, true);
    };
}

void ExplorerTabs::wireAddressDropDown()
{
    // The other pictures of the array keep whatever handlers they have.
    auto& boxes = window_.ImageBox.events();
    boxes.mouseDown = [this, other = boxes.mouseDown](int i, int button, int shift, double x, double y) {
        if (i == imagebox::DropDownArrow)
            dropDownArrowPressed();
        else if (other)
            other(i, button, shift, x, y);
    };
    boxes.mouseMove = [this, other = boxes.mouseMove](int i, int button, int shift, double x, double y) {
        if (i != imagebox::DropDownArrow) {
            if (other)
                other(i, button, shift, x, y);
            return;
        }
        if (window_.Hover().HoverElementId() == 2025)
            return;
        if (window_.Hover().HoverElementId() != 1000 && window_.Hover().HoverElementId() != -1)
            window_.Hover().SetHoverElement(window_.Hover().HoverElementId());
        SetSkinPicture(window_.ImageBox[imagebox::DropDownArrow], skinpic::DropDownArrow + skinlook::Hover);
        window_.Hover().SetHoverElementId(2025);
    };
    boxes.mouseUp = [this, other = boxes.mouseUp](int i, int button, int shift, double x, double y) {
        if (i == imagebox::DropDownArrow)
            SetSkinPicture(window_.ImageBox[imagebox::DropDownArrow], skinpic::DropDownArrow);
        else if (other)
            other(i, button, shift, x, y);
    };
    platform::forms::ListView& list = window_.ListView[listview::AddressDropDown];
    list.itemClick = [this](int index) {
        platform::forms::ListView& dropDown = window_.ListView[listview::AddressDropDown];
        const QString address = dropDown.itemText(index);
        platform::forms::TextBox& box = window_.WBTextBox[wbtextbox::Address];
        if (!address.isEmpty()) {
            box.setText(address);
            nav_.NavigateAddressText(true, false, true);
        }
        // The picked address is in the box, and so is the keyboard.
        dropDown.setDropHighlight(0);
        box.setFocus();
        HideAddressDropDown();
    };
    list.focusLeft = [this] { HideAddressDropDown(); };
    list.events().keyDown = [this](int keyCode, int) {
        if (keyCode == 27)
            HideAddressDropDown();
    };
}

void ExplorerTabs::dropDownArrowPressed()
{
    const auto opening = dropDownOpening_.tryHold();
    if (!opening)
        return;
    SetSkinPicture(window_.ImageBox[imagebox::DropDownArrow], skinpic::DropDownArrow + skinlook::Pressed);
    if (FillTypedUrlList() > 0) {
        const auto& row = window_.PicHolder[picholder::AddressRow];
        platform::forms::ListView& list = window_.ListView[listview::AddressDropDown];
        list.move(std::round(row.left()), std::round(row.top() + row.height()), std::round(row.width()));
        list.setVisible(true);
        list.zOrder(0);
        list.setFocus();
        window_.AddressDropDownOpen = true;
    } else {
        HideAddressDropDown();
    }
}

int ExplorerTabs::FillTypedUrlList()
{
    platform::forms::ListView& list = window_.ListView[listview::AddressDropDown];
    list.clear();
    list.setSmallIcons(MenuIconStrip());
    const QStringList urls = ReadTypedUrls();
    for (const QString& url : urls)
        list.addItem(1, url, 3);
    if (!urls.isEmpty()) {
        const double h = list.itemHeight();
        list.setHeight(h * urls.size() + h / 4);
        list.setColumnWidth(0, window_.PicHolder[picholder::AddressRow].width() - 100);
    }
    return static_cast<int>(urls.size());
}

void ExplorerTabs::HideAddressDropDown()
{
    services_.Lists().HideAddressDropDown();
    window_.ListView[listview::AddressDropDown].setVisible(false);
    window_.AddressDropDownOpen = false;
}

void ExplorerTabs::OpenFileDialogCommand()
{
    services_.Dialogs().ShowInputDialog(1, 0);
    const QString chosen = DialogUrl;
    if (chosen.isEmpty())
        return;
    if (chosen.contains(QLatin1String("~Z5_"))) {
        // The web-folder page the dialog wrote: shown, then deleted once the
        // tab has left it (or at the end of the run with this run's pages).
        const IBrowser* tab = tabs_.WBMAIN(model_.TabBrowserMap().value(model_.CurrentTab(), 0));
        const QString before = tab ? tab->locationURL() : QString();
        window_.WBTextBox[0].setText(chosen);
        nav_.NavigateAddressText(false, false, true);
        QCoreApplication::processEvents();
        DeleteWhenLeft(chosen, before);
        return;
    }
    const QString kind = chosen.right(4).toUpper();
    if (kind == QLatin1String(".URL")) {
        DialogUrl = ReadIniValue(QStringLiteral("InternetShortcut"), QStringLiteral("URL"), QString(),
                                 platform::paths::toLocal(chosen));
        window_.WBTextBox[0].setText(DialogUrl);
        nav_.NavigateAddressText(false, false, true);
    } else if (kind == QLatin1String(".Z5P")) {
        TogglePlayList(window_, 2);
        services_.Lists().LoadPlaylistFile(chosen);
    } else if (kind == QLatin1String(".Z5S")) {
        services_.Lists().ShowSnippetViewPage(0, chosen);
    } else {
        window_.WBTextBox[0].setText(chosen);
        nav_.NavigateAddressText(false, true, false);
    }
}

void ExplorerTabs::DeleteWhenLeft(const QString& page, const QString& before)
{
    const QString local = platform::paths::toLocal(page);
    const int index = model_.TabBrowserMap().value(model_.CurrentTab(), 0);
    auto* poll = new QTimer(this);
    auto seen = std::make_shared<bool>(false);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, local, index, seen, ticks, before] {
        const IBrowser* b = tabs_.WBMAIN(index);
        const bool showing = b && QUrl(b->locationURL()).toLocalFile() == local;
        if (showing || (b && b->locationURL() != before))
            *seen = true;
        // Shown and left again, or given up after half a minute.
        if (!b || (*seen && !showing) || ++*ticks > 300) {
            QFile::remove(local);
            poll->deleteLater();
        }
    });
    poll->start(100);
}

void ExplorerTabs::ReadHandOffFiles()
{
    const int folder = platform::paths::openPrivateSubfolder(kHandOffFolderName);
    if (folder < 0)
        return;
    if (!handOff_.anyPending(folder)) {
        ::close(folder);
        return;
    }
    if (tabs_.GetTabState(model_.TabBrowserMap().value(model_.CurrentTab(), 0), FieldViewKind) > 1)
        tabs_.EnsureUsableTab();
    QWidget* top = window_.window();
    if (platform::windows::windowState(top) == platform::windows::StateMinimized) {
        platform::windows::setWindowState(top, platform::windows::StateNormal);
        QCoreApplication::processEvents();
    }
    window_.Layout.SetSingleView();
    int n = model_.TabCount() - 1;
    // A finished blank last tab takes the first page handed over.
    if (const IBrowser* last = tabs_.WBMAIN(model_.TabBrowserMap().value(n, 0));
        last && last->readyState() == platform::browser::ReadyComplete
        && (last->locationURL().isEmpty() || IsBlankPageUrl(last->locationURL())))
        --n;
    const QStringList targets = handOff_.takePending(folder);
    ::close(folder);
    for (const QString& target : targets) {
        const QString kind = target.right(4).toUpper();
        // A playlist goes to its list, with no tab.
        if (kind == QLatin1String(".Z5P")) {
            TogglePlayList(window_, 2);
            services_.Lists().LoadPlaylistFile(target);
            continue;
        }
        ++n;
        tabs_.NewTab(n, true, true);
        if (kind == QLatin1String(".Z5S")) {
            tabs_.SelectTab(n);
            services_.Lists().ShowSnippetViewPage(0, target);
            continue;
        }
        if (IBrowser* b = tabs_.WBMAIN(model_.TabBrowserMap()[n]))
            b->navigate2(target);
        tabs_.SelectTab(n);
    }
    // In front once, never kept on top.
    top->show();
    top->raise();
    top->activateWindow();
}
