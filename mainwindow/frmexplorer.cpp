#include "mainwindow/frmexplorer.h"

#include "core/globals.h"
#include "core/hooksubclass.h"
#include "core/keyhandle.h"
#include "core/language.h"
#include "core/mousegestures.h"
#include "core/scaling.h"
#include "core/skinbinding.h"
#include "core/urlcracker.h"
#include "mainwindow/apptimers.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/buttons.h"
#include "mainwindow/chromelayout.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/mainlayout.h"
#include "mainwindow/menubarlayout.h"
#include "mainwindow/menubarpopups.h"
#include "mainwindow/multiview.h"
#include "contracts/services.h"
#include "mainwindow/shortcuts.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/temppages.h"
#include "mainwindow/windowframe.h"
#include "mainwindow/windowplacement.h"
#include "platform/base/paths.h"
#include "platform/win/windowservices.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

using namespace platform::forms;

frmExplorer::frmExplorer(ServiceSet& services) : services_(services), shortcuts_(std::make_unique<Shortcuts>(*this)),
      hover_(std::make_unique<HoverTracking>(*this)),
      placement_(std::make_unique<WindowPlacement>(*this))
{
    Initialize(TwipsScale);
    setName(QStringLiteral("frmExplorer"));
    setCaption(QStringLiteral("Z5"));
    setBorderStyle(BorderStyle::None);
    setSizableWithoutBorder(true);
    // No sizing, by the frame or by the window system, goes below the minimum.
    setMinimumSize(MinFormWidth, MinFormHeight);
    setWidth(MinFormWidth);
    setHeight(MinFormHeight);
    createControls();
    wireEvents();
}

frmExplorer::~frmExplorer()
{
    // The hooks and the objects Load made go first, even for a window that
    // was never unloaded: their handlers refer to it.
    shortcuts_.reset();
    UrlCracker = nullptr;
    urlCracker_.reset();
}

void frmExplorer::createControls()
{
    // The frame and the body first, so that everything else lies above them;
    // the corners lie over the edges they end, the menu strip over the top edge.
    using namespace skinpiece;
    for (int i : {Top, Right, Bottom, Left, TopLeft, TopRight, BottomRight, BottomLeft, MenuStrip, MenuStripEnd})
        SkinPiece.create(i);
    // The menu strip's picture is drawn to the width of the captions.
    SkinPiece[skinpiece::MenuStrip].setStretch(true);
    PictureBox& body = *PicHolder.create(picholder::Body);
    body.setTabStop(false);
    body.setBackColor(QColor(0xFF, 0xFF, 0xFF));
    PictureBox& addressRow = *PicHolder.create(picholder::AddressRow);
    addressRow.setTabStop(false);
    addressRow.setBackColor(QColor(0xFF, 0xFF, 0xFF));
    addressRow.move(0, 0, 3000, 300);
    CreateSplitterBars(*this);

    for (int i = imagebox::Busy; i <= imagebox::TimePanel; ++i) {
        const bool inAddressRow = i == imagebox::PageIcon || i == imagebox::DropDownArrow;
        Image* box = inAddressRow ? ImageBox.create(i, &addressRow) : ImageBox.create(i);
        // The media row's pictures and the colour bar show only when their
        // owners ask.
        if (i == imagebox::DelayDisplay || i == imagebox::VolumeTrack || i == imagebox::PositionTrack
            || i == imagebox::ColourBar || i == imagebox::TimePanel)
            box->setVisible(false);
    }
    ImageBox[imagebox::PageIcon].move(45, 30);
    ImageBox[imagebox::DropDownArrow].setTop(15);
    ImageBox[imagebox::ProgressBand].move(0, 0, ProgressBandWidth, 180);
    ImageBox[imagebox::TabStrip].setStretch(true);
    ImageBox[imagebox::TabStrip].setHeight(270);

    for (int i = 0; i <= menucaption::Last; ++i) {
        Label& caption = *cmdMenu.create(i);
        caption.setAlignment(Alignment::Center);
        caption.setFontSize(8);
    }
    for (int i = 0; i <= formbutton::Last; ++i)
        cmdFormControl.create(i);
    for (int i = 0; i <= navbutton::Last; ++i)
        cmdWBControl.create(i);
    for (int i = 0; i <= quickbutton::Last; ++i)
        cmdAppOpt.create(i);
    cmdMediaControl.create(0)->setVisible(false);
    cmdPLControl.create(0)->setVisible(false);
    PictureBox& tab = *cmdTabNum.create(0);
    tab.setTabStop(false);
    tab.move(0, 0, 1500, 270);

    TextBox& address = *WBTextBox.create(wbtextbox::Address, &addressRow);
    address.setBorderless(true);
    address.move(330, 30, 2000, 240);
    TextBox& status = *WBTextBox.create(wbtextbox::Status);
    status.setBorderless(true);
    status.setLocked(true);
    status.setHeight(225);
    status.lineEdit()->setFocusPolicy(Qt::NoFocus);
    TextBox& tabNumber = *WBTextBox.create(wbtextbox::TabNumber);
    tabNumber.setBorderless(true);
    tabNumber.setLocked(true);
    tabNumber.lineEdit()->setAlignment(Qt::AlignCenter);
    tabNumber.lineEdit()->setFocusPolicy(Qt::NoFocus);
    tabNumber.setText(QStringLiteral("1"));

    for (int i = 0; i <= applabel::Last; ++i) {
        Label& label = *APPLabel.create(i);
        label.setFontSize(8);
        if (i != applabel::TabCount)
            label.setVisible(false);
    }
    APPLabel[applabel::TabCount].setAutoSize(true);
    // The slide show's delay reads between the two buttons of its box.
    APPLabel[applabel::Delay].setAlignment(Alignment::Center);

    cmdCloseTab = std::make_unique<PictureBox>(*this, QStringLiteral("cmdCloseTab"));
    cmdCloseTab->setTabStop(false);
    cmdCloseTab->setCentredText(QStringLiteral("1"));
    SPLITTER1 = std::make_unique<Image>(*this, QStringLiteral("SPLITTER1"));
    SPLITTER1->setVisible(false);
    WBProgressBar = std::make_unique<ProgressBar>(*this, QStringLiteral("WBProgressBar"));
    // At rest the band's own picture shows; the bar covers it while a page
    // or the fetcher fills it.
    WBProgressBar->setShownOnlyWhileFilling(true);
    ColorBarMarker = std::make_unique<Label>(*this, QStringLiteral("ColorBarMarker"));
    ColorBarMarker->setVisible(false);

    // The show/hide buttons last: they lie over the frame and the body.
    for (int i = 0; i <= showhide::Last; ++i)
        cmdShowHide.create(i);
    ListView.create(listview::AddressDropDown)->setVisible(false);

    using namespace apptimer;
    for (int i : {Housekeeping, Media, ImageShow, SnippetShow, LinkShow}) {
        Timer& t = *AppTimer.create(i);
        t.setEnabled(false);
        t.setInterval(i == Housekeeping ? 100 : i == Media ? 1000 : 0);
    }
}

void frmExplorer::wireEvents()
{
    events().load = [this] { Form_Load(); };
    events().resize = [this] { Form_Resize(); };
    events().unload = [this] { Form_Unload(); };
    AppTimer.events().timer = [this](int index) { AppTimer_Timer(index); };

    cmdShowHide.events().click = [this](int index) { cmdShowHide_Click(*this, index); };
    cmdShowHide.events().mouseMove = [this](int index, int, int, double, double) { cmdShowHide_MouseMove(*this, index); };
    cmdAppOpt.events().mouseMove = [this](int index, int, int, double, double) {
        Hover().HoverEnter(static_cast<int16_t>(1080 + index));
    };
    cmdWBControl.events().mouseMove = [this](int index, int, int, double, double) {
        // The tab number box takes no hover look, but the element before it
        // gets its normal look back.
        if (index == navbutton::TabNumber)
            Hover().SetHoverElement(Hover().HoverElementId());
        else
            Hover().HoverEnter(static_cast<int16_t>(2000 + index));
    };
    cmdFormControl.events().mouseMove = [this](int index, int, int, double, double) {
        Hover().HoverEnter(static_cast<int16_t>(2010 + index));
    };
    cmdMenu.events().mouseMove = [this](int index, int, int, double, double) {
        Hover().HoverEnter(static_cast<int16_t>(3000 + index));
    };
    cmdMenu.events().mouseDown = [this](int index, int button, int shift, double, double) {
        PressMenuBarCaption(*this, index, button, shift);
    };
    WireSkinnedButtons(*this);
    WireWindowFrame(*this);
}

void frmExplorer::LockControl(bool lock)
{
    if (QWidget* w = window()) {
        w->setUpdatesEnabled(!lock);
        if (!lock)
            w->update();
    }
}

void frmExplorer::SetMenuBarCaptions(bool flag)
{
    static const char* const english[5] = {"&File", "&Edit", "&View", "&Tools", "&Window"};
    for (int i = 0; i <= menucaption::Last; ++i) {
        // Each caption as wide as its text; its height is the layout's.
        // Without mnemonics every "&" of the language text goes.
        Label& caption = cmdMenu[i];
        QString text = QString::fromLatin1(english[i]);
        if (!flag)
            text.remove(QLatin1Char('&'));
        text = GetLangCaption(QStringLiteral("MENUNAME"), QStringLiteral("0%1").arg(i + 1), text);
        if (!flag)
            text.remove(QLatin1Char('&'));
        caption.setUseMnemonic(flag);
        // The text sets the width only: the caption keeps the height the
        // layout gave it, so its menus open at the same bottom edge.
        const double height = caption.height();
        caption.setAutoSize(true);
        caption.setCaption(text);
        caption.setAutoSize(false);
        if (height > 0)
            caption.setHeight(height);
    }
}

void frmExplorer::Form_Load()
{
    // 1. Designed at 15 twips per pixel.
    if (TwipsScale != 1.0f) {
        ScaleAllControls(*this);
        ProgressBandWidth *= TwipsScale;
    }
    // 3. This run takes its prefix for temporary pages (the start page may
    // be one).
    TempPagePrefix = ClaimTempPagePrefix(tempPageLock_);
    // 5.-6. The window procedure, the URL cracker.
    SubclassMainWindow(window());
    urlCracker_ = std::make_unique<clsWinInet>();
    UrlCracker = urlCracker_.get();
    // 7.-9. Settings, skin, colours.
    LoadMainSettings(*this);
    CurrentListKind = ShownListKind;
    BindSkinLibrary();
    Hover().ApplySkinColors();
    if (StartPageDuringLoad) {
        allowNavigation();
        AppTimer_Timer(apptimer::Housekeeping);
    }
    // 2. Leftover temporary pages of ended runs go (this run's prefix is
    // held, so its own pages stay); 4. the popup menus (their fonts are
    // measured here). Neither is needed by the start page.
    DeleteLeftoverTempFiles();
    services().Menus().CreatePopupMenu(window());
    // 10.-12. Hooks and their clients.
    if (GeneralOptionBytes[OptDisableScriptError] == 1)
        InstallDialogHook(window());
    shortcuts_->Attach(GeneralOptionBytes[OptMouseGesturesInUse] == 1);
    // 13. The ring of closed tabs is the tab model's, made at the first close.
    // 14.-15. Captions, pictures, progress colours.
    SetMenuBarCaptions(false);
    QCoreApplication::processEvents();
    Hover().ApplySkinPictures();
    Hover().ApplyProgressBarColors();
    // 17.-18. The busy picture and the colour bar.
    services().Tabs().ShowBusyIndicator();
    if (DisplayFlags[DisplayColorBar] != 0)
        ShowTextColorBar(*this);
    // 19.-20. The list-pane titles and the menu captions' look.
    HeaderWords[0] = 0;
    APPLabel[applabel::ListTitle].setWidth(MinPaneWidth);
    if (const auto size = APPLabel[applabel::ListItemNumber].fontSize()) {
        APPLabel[applabel::ListItemNumber].setFontSize(*size * 0.85);
        APPLabel[applabel::ListItemCount].setFontSize(*size * 0.85);
        APPLabel[applabel::Delay].setFontSize(*size * 0.85);
    }
    for (int i = 0; i <= menucaption::Last; ++i)
        cmdMenu[i].setTransparent(true);
    // 21. Maximised to the work area or at the remembered rectangle.
    Placement().MaximizeRestoreWindow(DisplayFlags[DisplayMaximised] != 0);
    // 22.-24. Navigation allowed; the blank page; the timer starts (its
    // first tick may have run above).
    if (!StartPageDuringLoad)
        allowNavigation();
    AppTimer[apptimer::Housekeeping].setInterval(100);
    AppTimer[apptimer::Housekeeping].setEnabled(true);
}

void frmExplorer::allowNavigation()
{
    NavigationHeld.set(false);
    BlankPagePath = platform::paths::programFolder() + QStringLiteral("\\Common\\Z5_BlankPage.HTM");
    TimerStage = 0;
}

void frmExplorer::Form_Resize()
{
    if (CloseRequested != 0 || Layout.LayoutLock
        || platform::windows::windowState(window()) == platform::windows::StateMinimized)
        return;
    LockControl(true);
    Layout.LayoutLock.set(true);
    if (width() < MinFormWidth)
        setWidth(MinFormWidth);
    if (height() < MinFormHeight)
        setHeight(MinFormHeight);
    Layout.LayoutLock.set(false);
    ApplySkinLayout(*this);
    ApplyMenuBarStates(*this);
    LayoutMainWindow(*this);
    LockControl(false);
}

void frmExplorer::Form_Unload()
{
    if (unloading_)
        return;
    unloading_ = true;
    UnsubclassMainWindow(window());
    services().Tabs().BeginUnload();
    CloseRequested = -1;
    // The settings are on disk before the window goes.
    ShownListKind = CurrentListKind;
    // A maximised or full-screen window keeps the rectangle it was restored
    // to: saving the work area instead would lose the user's normal size.
    WindowRectTwips current;
    current.Left = static_cast<int32_t>(left());
    current.Top = static_cast<int32_t>(top());
    current.Width = static_cast<int32_t>(width());
    current.Height = static_cast<int32_t>(height());
    if ((DisplayFlags[DisplayMaximised] != 0 || Placement().FullScreenMode() != 0) && NormalWindowRect.Width > 0
        && NormalWindowRect.Height > 0)
        current = NormalWindowRect;
    SaveMainSettings(*this, current);
    Layout.LayoutLock.set(true);
    platform::windows::setWindowState(window(), platform::windows::StateMinimized);
    hide();
    services().Media().StopAllPlayers();
    for (int i : {0, 2, 3, 4, 5})
        AppTimer[i].setEnabled(false);
    if (ImagesPerView > 1)
        services().Lists().StopAllFetches();
    // Only a volume the program changed is given back.
    if (SavedMasterVolume != -1)
        services().Media().ApplyMixerVolume(SavedMasterVolume);
    services().Tabs().ReleaseDocumentEvents();
    ITabsService& tabs = services().Tabs();
    for (int16_t t = 0; t < tabs.TabCount(); ++t)
        if (const int16_t browser = tabs.TabBrowserMap(t); browser >= 1)
            tabs.UnloadBrowser(browser);
    if (CbtHookActive)
        RemoveDialogHook();
    shortcuts_->Detach();
    RunExitCleanup();
    DeleteRunTempPages(TempPagePrefix);
    tempPageLock_.reset();
    QCoreApplication::exit(0);
}

void frmExplorer::AppTimer_Timer(int index)
{
    ::AppTimer_Timer(*this, index);
}
