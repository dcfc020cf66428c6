#pragma once

// What the chrome shows of the current tab: window caption, status line,
// address box, tab number, Back and Forward, and the tab buttons' pictures,
// colours, captions and tooltips.

#include <QString>

class frmExplorer;
class TabBrowsing;
class TabStrip;

class CurrentTabDisplay {
public:
    CurrentTabDisplay(frmExplorer& f, TabBrowsing& tabs, TabStrip& strip);

    void RefreshCurrentTabChrome();
    void ShowCurrentTabNumber();
    void RefreshBackForwardButtons();
    void UpdateFormCaption();
    void ShowAddressOfUrl();
    void RefreshTabButtons(bool hideExtra);
    void UpdateTabTitle(int button);
    void ShowTabCount(int count);
    void SetBackButtonState(bool enabled);
    void SetForwardButtonState(bool enabled);
    // Close All: one empty button, an empty address and tab number 1.
    void ResetForCloseAll();

    // The text a tab button shows for a title: 12 characters whole, longer
    // ones cut to 11 and " ...".
    static QString ButtonCaption(const QString& title);
    // The address box text of an address: files as local paths.
    static QString DisplayAddress(const QString& url);

private:
    int currentBrowser() const;
    frmExplorer& f_;
    TabBrowsing& tabs_;
    TabStrip& strip_;
};
