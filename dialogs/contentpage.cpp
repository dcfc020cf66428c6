#include "dialogs/contentpage.h"

#include "core/contentfilter.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "dialogs/frmreferences.h"
#include "platform/base/vbrt.h"

namespace {

QString lang(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("FORM-OPTIONS"), QLatin1String(key), QLatin1String(english));
}

QString message(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("MESSAGE"), QLatin1String(key), QLatin1String(english));
}

void enableRemovalPassword(frmReferences& f, bool on)
{
    f.Content_Label->setEnabled(on);
    f.Content_TextBox[2].setEnabled(on);
}

} // namespace

void CaptionContentPage(frmReferences& f)
{
    f.SLabel[4].setCaption(lang("6206", "Content Manager"));
    f.SLabel[5].setCaption(lang("620601", "Disapproved Web Sites"));
    f.Label[8].setCaption(lang("620602", "Enter URL or part of URL:"));
    f.Content_CheckBox->setCaption(lang("620603", "Protect with password"));
    f.Content_Label->setCaption(lang("620604", "Enter password to remove"));
}

void WireContentPage(frmReferences& f)
{
    f.Content_ListView->itemClick = [&f](int index) { Content_ListView_ItemClick(f, index); };
}

void LoadContentList(frmReferences& f)
{
    for (const ContentFilterEntry& e : ContentListEntries(FilterList)) {
        f.ContentEntries.append(e);
        f.Content_ListView->addItem(f.Content_ListView->count() + 1, e.site);
    }
    f.ContentEntriesSaved = f.ContentEntries;
}

void AddContentItem(frmReferences& f)
{
    const QString site = f.Content_TextBox[0].text();
    if (vb::trim(site).isEmpty()) {
        f.SetApplyEnabled(true);
        return;
    }
    const bool protect = f.Content_CheckBox->value() == 1 && !f.Content_TextBox[1].text().isEmpty();
    const QString password = protect ? f.Content_TextBox[1].text() : QString();
    // The list separates its fields with "|" and has no escape for it.
    if (site.contains(QLatin1Char('|')) || password.contains(QLatin1Char('|'))) {
        ShowMessage(message("9062", "The character | can not be used here:") + QLatin1Char('\n')
                        + (site.contains(QLatin1Char('|')) ? f.Label[8].caption() : f.Content_CheckBox->caption()),
                    1, 0);
        return;
    }
    for (const ContentFilterEntry& e : f.ContentEntries) {
        if (site.compare(e.site, Qt::CaseInsensitive) == 0) {
            ShowMessage(message("9008", "Item Existed in the list !!!"), 1, 0);
            return;
        }
    }
    f.ContentEntries.append({site, password});
    f.Content_ListView->addItem(f.Content_ListView->count() + 1, site);
    f.SetApplyEnabled(true);
}

void RemoveContentItem(frmReferences& f)
{
    const int row = f.Content_ListView->selectedIndex();
    if (row >= 1 && row <= f.ContentEntries.size()) {
        const QString& password = f.ContentEntries[row - 1].password;
        if (!password.isEmpty()
            && vb::trim(f.Content_TextBox[2].text()).toUpper() != vb::trim(password).toUpper()) {
            if (f.Content_TextBox[2].text().isEmpty())
                ShowMessage(message("9009", "This is a password-protected-item, please enter password to remove"), 1, 1);
            else
                ShowMessage(message("9010", "Password you entered - does not match"), 1, 0);
            return;
        }
        f.ContentEntries.removeAt(row - 1);
        f.Content_ListView->removeItem(row);
    }
    SetRemoveEnabled(f, false);
    enableRemovalPassword(f, false);
    f.SetApplyEnabled(true);
}

bool SaveContentList(frmReferences& f)
{
    if (f.ContentEntries == f.ContentEntriesSaved)
        return true;
    if (!SaveContentList(f.ContentEntries))
        return false;
    f.ContentEntriesSaved = f.ContentEntries;
    return true;
}

void SetRemoveEnabled(frmReferences& f, bool flag)
{
    f.cmdButton1[4].setEnabled(flag);
    f.cmdCaption[4].setEnabled(flag);
}

void Content_ListView_ItemClick(frmReferences& f, int index)
{
    const int row = f.Content_ListView->selectedIndex() > 0 ? f.Content_ListView->selectedIndex() : index;
    if (row < 1 || row > f.ContentEntries.size())
        return;
    enableRemovalPassword(f, !f.ContentEntries[row - 1].password.isEmpty());
    SetRemoveEnabled(f, true);
}
