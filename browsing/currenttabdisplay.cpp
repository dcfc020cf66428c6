#include "browsing/currenttabdisplay.h"

#include "browsing/tabbrowsing.h"
#include "browsing/tabstaterecord.h"
#include "browsing/tabstrip.h"
#include "core/fileclasses.h"
#include "core/language.h"
#include "core/shellnames.h"
#include "mainwindow/chromelayout.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/menubarpopups.h"
#include "mainwindow/skinpictures.h"
#include "mainwindow/skinvalues.h"

#include <QUrl>

namespace {

QString message(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("MESSAGE"), QString::fromLatin1(key), QString::fromLatin1(english));
}

bool isPageKind(int viewKind)
{
    return viewKind == 1 || viewKind == 4 || viewKind == 5;
}

// The caption of the tabs that show no page.
QString viewerCaption(int viewKind)
{
    switch (viewKind) {
    case 2: return message("9100", "Video Player");
    case 3: return message("9101", "Image Viewer");
    case 6: return message("9102", "Download Status");
    default: return {};
    }
}

bool isFileAddress(const QString& url)
{
    return url.contains(QLatin1String("FILE:"), Qt::CaseInsensitive);
}

} // namespace

CurrentTabDisplay::CurrentTabDisplay(frmExplorer& f, TabBrowsing& tabs, TabStrip& strip)
    : f_(f), tabs_(tabs), strip_(strip)
{
    // Back and Forward start disabled; the engine's notices enable them.
    f_.cmdWBControl[navbutton::Back].setEnabled(false);
    f_.cmdWBControl[navbutton::Forward].setEnabled(false);
}

int CurrentTabDisplay::currentBrowser() const
{
    return tabs_.model().TabBrowserMap().value(tabs_.model().CurrentTab(), -1);
}

QString CurrentTabDisplay::ButtonCaption(const QString& title)
{
    return title.size() <= 12 ? title : title.left(11) + QStringLiteral(" ...");
}

QString CurrentTabDisplay::DisplayAddress(const QString& url)
{
    if (!isFileAddress(url))
        return url;
    const QUrl u(url);
    const QString local = u.toLocalFile();
    return local.isEmpty() ? url : local;
}

void CurrentTabDisplay::RefreshCurrentTabChrome()
{
    if (tabs_.ClosingTabs)
        return;
    const int kind = tabs_.GetTabState(currentBrowser(), FieldViewKind);
    UpdateFormCaption();
    ShowCurrentTabNumber();
    if (kind == 1 || kind == 5) {
        ShowAddressOfUrl();
        RefreshBackForwardButtons();
    } else {
        f_.WBTextBox[wbtextbox::Address].setText(QString());
        f_.cmdWBControl[navbutton::Refresh].zOrder(0);
    }
}

void CurrentTabDisplay::ShowCurrentTabNumber()
{
    const QString text = QString::number(tabs_.model().CurrentTab() + 1);
    f_.WBTextBox[wbtextbox::TabNumber].setText(text);
    PaintTabButtonCaption(*f_.cmdCloseTab, text, false);
}

void CurrentTabDisplay::RefreshBackForwardButtons()
{
    const int b = currentBrowser();
    SetBackButtonState(tabs_.GetTabState(b, FieldCanGoBack) != 0);
    SetForwardButtonState(tabs_.GetTabState(b, FieldCanGoForward) != 0);
}

void CurrentTabDisplay::UpdateFormCaption()
{
    const int b = currentBrowser();
    const IBrowser* br = tabs_.WBMAIN(b);
    const QString url = br ? br->locationURL() : QString();
    const QString title = tabs_.model().TabTitles().value(tabs_.model().CurrentTab());
    const int kind = tabs_.GetTabState(b, FieldViewKind);
    if (isPageKind(kind)) {
        const bool web = url.startsWith(QLatin1String("HTTP"), Qt::CaseInsensitive);
        if (tabs_.model().CurrentTab() == 0 && title.isEmpty()) {
            f_.setCaption(tabs_.model().TabCount() == 1 ? QStringLiteral("Z5") : message("9022", "Blank Page"));
            f_.WBTextBox[wbtextbox::Status].setText(QString());
        } else if (!web && f_.services().Media().SpecialFolderDisplayName(title) > 0) {
            // A shell folder shown in the tab: its name, in the status line too.
            f_.setCaption(title);
            tabs_.SetStatusMessage(title, b, -1);
        } else if (!web) {
            f_.setCaption(title.isEmpty() ? message("9022", "Blank Page") : title);
            f_.WBTextBox[wbtextbox::Status].setText(QString());
        } else {
            f_.setCaption(title);
            tabs_.SetStatusMessage(url, b, -1);
        }
        return;
    }
    const QString caption = viewerCaption(kind);
    if (!caption.isEmpty())
        f_.setCaption(caption);
}

void CurrentTabDisplay::ShowAddressOfUrl()
{
    const IBrowser* br = tabs_.WBMAIN(currentBrowser());
    QString addr = br ? br->locationURL() : QString();
    f_.cmdWBControl[navbutton::Refresh].zOrder(0);
    const TabModel& m = tabs_.model();
    if ((m.CurrentTab() == 0 && m.TabTitles().value(0).isEmpty()) || IsBlankPageUrl(addr) || GetHelpPagePath(addr)
        || IsSnippetFile(addr)) {
        addr.clear();
    } else if (isFileAddress(addr)) {
        const QString name = ShownLocationName(addr, br ? br->locationName() : QString());
        addr = f_.services().Media().SpecialFolderDisplayName(name) > 0 ? name : DisplayAddress(addr);
        f_.cmdWBControl[navbutton::Up].zOrder(0);
    }
    f_.WBTextBox[wbtextbox::Address].setText(addr);
}

void CurrentTabDisplay::RefreshTabButtons(bool hideExtra)
{
    if (f_.DisplayFlags[DisplayTabBar] == 0 || tabs_.ClosingTabs)
        return;
    const int fit = strip_.TabButtonsFit();
    f_.TabButtonsShown = static_cast<int16_t>(std::min<int>(fit, tabs_.model().TabCount()));
    if (hideExtra) {
        while (f_.TabButtonOffset + f_.TabButtonsShown > tabs_.model().TabCount() && f_.TabButtonOffset >= 1)
            --f_.TabButtonOffset;
    }
    strip_.ClampOffset();
    // No button stands for a tab that is not there.
    for (int i : f_.cmdTabNum.indexes())
        if (i >= f_.TabButtonsShown)
            f_.cmdTabNum[i].setVisible(false);
    for (int i = 0; i < f_.TabButtonsShown; ++i) {
        platform::forms::PictureBox* button = f_.cmdTabNum.at(i);
        if (!button)
            continue;
        const bool current = i + f_.TabButtonOffset == tabs_.model().CurrentTab();
        SetSkinPicture(*button, current ? skinpic::CurrentTabButton : skinpic::TabButton);
        button->setForeColor(SkinColor(current ? 134 : 135));
        button->setVisible(true);
        button->zOrder(0);
        UpdateTabTitle(i);
    }
}

void CurrentTabDisplay::UpdateTabTitle(int i)
{
    if (f_.DisplayFlags[DisplayTabBar] == 0 || tabs_.ClosingTabs)
        return;
    platform::forms::PictureBox* button = f_.cmdTabNum.at(i);
    const int tab = i + f_.TabButtonOffset;
    if (!button || tab < 0 || tab >= tabs_.model().TabCount())
        return;
    if (!button->visible()) {
        button->setVisible(true);
        button->zOrder(0);
    }
    const int kind = tabs_.GetTabState(tabs_.model().TabBrowserMap().value(tab, -1), FieldViewKind);
    if (isPageKind(kind)) {
        QString title = tabs_.model().TabTitles().value(tab);
        if (title.isEmpty() || IsBlankPageUrl(title)) {
            PaintTabButtonCaption(*button, QString(), true);
            title = message("9022", "Blank Page");
        } else {
            PaintTabButtonCaption(*button, ButtonCaption(title), false);
        }
        // Shown as the very text: titles come from pages.
        button->setToolTipText(QStringLiteral(" ") + title + QStringLiteral(" "));
        return;
    }
    PaintTabButtonCaption(*button, viewerCaption(kind), false);
}

void CurrentTabDisplay::ShowTabCount(int count)
{
    if (tabs_.ClosingTabs)
        return;
    // The label grows to the left: its right edge stays at the strip's end.
    platform::forms::Label& label = f_.APPLabel[applabel::TabCount];
    const double right = label.left() + label.width();
    label.setCaption(QStringLiteral("... ") + QString::number(count) + QStringLiteral("  "));
    label.setLeft(right - label.width());
    strip_.ClampOffset();
}

void CurrentTabDisplay::SetBackButtonState(bool enabled)
{
    const int b = currentBrowser();
    if (!enabled && tabs_.GetTabState(b, FieldOpenerBrowser) >= 0)
        enabled = true;
    if (f_.cmdWBControl[navbutton::Back].enabled() == enabled)
        return;
    const IBrowser* br = tabs_.WBMAIN(b);
    const QString addr = br ? br->locationURL() : QString();
    if (IsEmptyAddress(addr) || IsBlankPageUrl(addr))
        return;
    f_.cmdWBControl[navbutton::Back].setEnabled(enabled);
    SetNavButtonPicture(f_, 2, enabled ? 0 : 3);
    tabs_.SetTabState(b, FieldCanGoBack, enabled ? 1 : 0);
}

void CurrentTabDisplay::SetForwardButtonState(bool enabled)
{
    if (f_.cmdWBControl[navbutton::Forward].enabled() == enabled)
        return;
    f_.cmdWBControl[navbutton::Forward].setEnabled(enabled);
    SetNavButtonPicture(f_, 3, enabled ? 0 : 3);
    tabs_.SetTabState(currentBrowser(), FieldCanGoForward, enabled ? 1 : 0);
}

void CurrentTabDisplay::ResetForCloseAll()
{
    for (int i = 1; i < f_.TabButtonsShown; ++i)
        if (auto* b = f_.cmdTabNum.at(i))
            b->setVisible(false);
    f_.TabButtonsShown = 1;
    f_.TabButtonOffset = 0;
    PaintTabButtonCaption(f_.cmdTabNum[0], QString(), true);
    PaintTabButtonCaption(*f_.cmdCloseTab, QStringLiteral("1"), false);
    f_.WBTextBox[wbtextbox::Address].setText(QString());
    f_.WBTextBox[wbtextbox::TabNumber].setText(QStringLiteral("1"));
}
