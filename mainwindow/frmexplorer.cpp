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

frmExplorer::frmExplorer(ServiceSet& services) : services_(services)
{
    Initialize(TwipsScale);
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
    MouseGestures = nullptr;
    KeyHandle = nullptr;
    UrlCracker = nullptr;
    gestures_.reset();
    keys_.reset();
    urlCracker_.reset();
}

void frmExplorer::createControls()
{
    // The frame and the body first, so that everything else lies above them;
    // the corners lie over the edges they end, the menu strip over the top edge.
    for (int i : {4, 5, 6, 7, 0, 1, 2, 3, 8, 9})
        SkinPiece.create(i);
    // The menu strip's picture is drawn to the width of the captions.
    SkinPiece[8].setStretch(true);
    PictureBox& body = *PicHolder.create(0);
    body.setTabStop(false);
    body.setBackColor(QColor(0xFF, 0xFF, 0xFF));
    PictureBox& addressRow = *PicHolder.create(1);
    addressRow.setTabStop(false);
    addressRow.setBackColor(QColor(0xFF, 0xFF, 0xFF));
    addressRow.move(0, 0, 3000, 300);
    CreateSplitterBars(*this);

    for (int i = 0; i <= 9; ++i) {
        Image* box = (i == 2 || i == 3) ? ImageBox.create(i, &addressRow) : ImageBox.create(i);
        // The media row, the list-pane parts and the colour bar show only
        // when their owners ask.
        if (i == 1 || i == 4 || i == 5 || i == 7 || i == 9)
            box->setVisible(false);
    }
    ImageBox[2].move(45, 30);
    ImageBox[3].setTop(15);
    ImageBox[6].move(0, 0, ProgressBandWidth, 180);
    ImageBox[8].setStretch(true);
    ImageBox[8].setHeight(270);

    for (int i = 0; i <= 4; ++i) {
        Label& caption = *cmdMenu.create(i);
        caption.setAlignment(Alignment::Center);
        caption.setFontSize(8);
    }
    for (int i = 0; i <= 3; ++i)
        cmdFormControl.create(i);
    for (int i = 0; i <= 9; ++i)
        cmdWBControl.create(i);
    for (int i = 0; i <= 8; ++i)
        cmdAppOpt.create(i);
    cmdMediaControl.create(0)->setVisible(false);
    PictureBox& tab = *cmdTabNum.create(0);
    tab.setTabStop(false);
    tab.move(0, 0, 1500, 270);

    TextBox& address = *WBTextBox.create(0, &addressRow);
    address.setBorderless(true);
    address.move(330, 30, 2000, 240);
    TextBox& status = *WBTextBox.create(1);
    status.setBorderless(true);
    status.setLocked(true);
    status.setHeight(225);
    status.lineEdit()->setFocusPolicy(Qt::NoFocus);
    TextBox& tabNumber = *WBTextBox.create(2);
    tabNumber.setBorderless(true);
    tabNumber.setLocked(true);
    tabNumber.lineEdit()->setAlignment(Qt::AlignCenter);
    tabNumber.lineEdit()->setFocusPolicy(Qt::NoFocus);
    tabNumber.setText(QStringLiteral("1"));

    for (int i = 0; i <= 4; ++i) {
        Label& label = *APPLabel.create(i);
        label.setFontSize(8);
        if (i != 3)
            label.setVisible(false);
    }
    APPLabel[3].setAutoSize(true);

    cmdCloseTab = std::make_unique<PictureBox>(*this, QStringLiteral("cmdCloseTab"));
    cmdCloseTab->setTabStop(false);
    cmdCloseTab->setCentredText(QStringLiteral("1"));
    SPLITTER1 = std::make_unique<Image>(*this, QStringLiteral("SPLITTER1"));
    SPLITTER1->setVisible(false);
    WBProgressBar = std::make_unique<ProgressBar>(*this, QStringLiteral("WBProgressBar"));
    WBProgressBar->setVisible(false);
    ColorBarMarker = std::make_unique<Label>(*this, QStringLiteral("ColorBarMarker"));
    ColorBarMarker->setVisible(false);

    // The show/hide buttons last: they lie over the frame and the body.
    for (int i = 0; i <= 4; ++i)
        cmdShowHide.create(i);
    ListView.create(0)->setVisible(false);

    for (int i : {0, 2, 3, 4, 5}) {
        Timer& t = *AppTimer.create(i);
        t.setEnabled(false);
        t.setInterval(i == 0 ? 100 : i == 2 ? 1000 : 0);
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
        HoverEnter(*this, static_cast<int16_t>(1080 + index));
    };
    cmdWBControl.events().mouseMove = [this](int index, int, int, double, double) {
        // The tab number box takes no hover look, but the element before it
        // gets its normal look back.
        if (index == 7)
            SetHoverElement(*this, HoverElementId);
        else
            HoverEnter(*this, static_cast<int16_t>(2000 + index));
    };
    cmdFormControl.events().mouseMove = [this](int index, int, int, double, double) {
        HoverEnter(*this, static_cast<int16_t>(2010 + index));
    };
    cmdMenu.events().mouseMove = [this](int index, int, int, double, double) {
        HoverEnter(*this, static_cast<int16_t>(3000 + index));
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
    for (int i = 0; i <= 4; ++i) {
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
    // 2.-3. Temporary pages: leftovers of ended runs go, this run takes its prefix.
    DeleteLeftoverTempFiles();
    TempPagePrefix = ClaimTempPagePrefix(tempPageLock_);
    // 4.-6. The popup menus, the window procedure, the URL cracker.
    services().Menus().CreatePopupMenu(window());
    SubclassMainWindow(window());
    urlCracker_ = std::make_unique<clsWinInet>();
    UrlCracker = urlCracker_.get();
    // 7.-9. Settings, skin, colours.
    LoadMainSettings(*this);
    CurrentListKind = ShownListKind;
    BindSkinLibrary();
    ApplySkinColors(*this);
    // 10.-12. Hooks and their clients.
    if (GeneralOptionBytes[OptDisableScriptError] == 1)
        InstallDialogHook(window());
    if (GeneralOptionBytes[OptMouseGesturesInUse] == 1) {
        gestures_ = std::make_unique<clsMouseGestures>();
        MouseGestures = gestures_.get();
        // Strokes belong to the page area; the frame and the buttons take
        // either button at once.
        QPointer<QWidget> pages = PicHolder[0].widget();
        MouseGestures->SetArea([pages](const QWidget* w) { return w && pages && (w == pages || pages->isAncestorOf(w)); });
        MouseGestures->Attach();
    }
    keys_ = std::make_unique<clsKeyHandle>();
    KeyHandle = keys_.get();
    KeyHandle->Attach();
    ConnectKeysAndGestures(*this);
    // 13. The ring of closed tabs is the tab model's, made at the first close.
    // 14.-15. Captions, pictures, progress colours.
    SetMenuBarCaptions(false);
    QCoreApplication::processEvents();
    ApplySkinPictures(*this);
    ApplyProgressBarColors(*this);
    // 17.-18. The busy picture and the colour bar.
    services().Tabs().ShowBusyIndicator();
    if (DisplayFlags[DisplayColorBar] != 0)
        ShowTextColorBar(*this);
    // 19.-20. The list-pane titles and the menu captions' look.
    HeaderWords[0] = 0;
    APPLabel[4].setWidth(ListTitleWidth);
    if (const auto size = APPLabel[0].fontSize()) {
        APPLabel[0].setFontSize(*size * 0.85);
        APPLabel[1].setFontSize(*size * 0.85);
        APPLabel[2].setFontSize(*size * 0.85);
    }
    for (int i = 0; i <= 4; ++i)
        cmdMenu[i].setTransparent(true);
    // 21. Maximised to the work area or at the remembered rectangle.
    MaximizeRestoreWindow(*this, DisplayFlags[DisplayMaximised] != 0);
    // 22.-24. Navigation allowed; the blank page; the timer starts.
    NavigationHeld.set(false);
    BlankPagePath = platform::paths::programFolder() + QStringLiteral("\\Common\\Z5_BlankPage.HTM");
    TimerStage = 0;
    AppTimer[0].setInterval(100);
    AppTimer[0].setEnabled(true);
}

void frmExplorer::Form_Resize()
{
    if (CloseRequested != 0 || LayoutLock != 0
        || platform::windows::windowState(window()) == platform::windows::StateMinimized)
        return;
    LockControl(true);
    LayoutLock = -1;
    if (width() < MinFormWidth)
        setWidth(MinFormWidth);
    if (height() < MinFormHeight)
        setHeight(MinFormHeight);
    LayoutLock = 0;
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
    if ((DisplayFlags[DisplayMaximised] != 0 || FullScreenMode != 0) && NormalWindowRect.Width > 0
        && NormalWindowRect.Height > 0)
        current = NormalWindowRect;
    SaveMainSettings(*this, current);
    LayoutLock = -1;
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
    if (MouseGestures)
        MouseGestures->Detach();
    if (KeyHandle)
        KeyHandle->Detach();
    RunExitCleanup();
    DeleteRunTempPages(TempPagePrefix);
    tempPageLock_.reset();
    QCoreApplication::exit(0);
}

void frmExplorer::AppTimer_Timer(int index)
{
    ::AppTimer_Timer(*this, index);
}
