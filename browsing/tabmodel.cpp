#include "browsing/tabmodel.h"

#include <algorithm>

namespace {

constexpr int kClosedTabs = 5;

} // namespace

TabModel::TabModel() : browsers_(2, 0), titles_{QString(), QString()} {}

int TabModel::TabOfBrowser(int browser) const
{
    for (int t = std::min<int>(count_, browsers_.size()) - 1; t >= 0; --t) {
        if (browsers_[t] == browser)
            return t;
    }
    return -1;
}

int TabModel::FindFreeBrowserIndex() const
{
    for (int k = 1;; ++k) {
        bool used = false;
        for (int t = 0; t < count_ && t < browsers_.size(); ++t)
            used = used || browsers_[t] == k;
        if (!used)
            return k;
    }
}

void TabModel::SetCurrentTab(int tab)
{
    current_ = static_cast<int16_t>(tab);
}

void TabModel::SetTabCount(int count)
{
    count_ = static_cast<int16_t>(count);
    const int size = std::max(1, count + 1);
    browsers_.resize(size);
    while (titles_.size() < size)
        titles_.append(QString());
    while (titles_.size() > size)
        titles_.removeLast();
}

void TabModel::SetTabBrowser(int tab, int16_t browser)
{
    if (tab < 0)
        return;
    if (tab >= browsers_.size())
        browsers_.resize(tab + 1);
    browsers_[tab] = browser;
}

void TabModel::SetTabTitle(int tab, const QString& title)
{
    if (tab >= 0 && tab < titles_.size())
        titles_[tab] = title;
}

void TabModel::RemoveTab(int tab)
{
    if (tab < 0 || tab >= count_)
        return;
    count_ = static_cast<int16_t>(count_ - 1);
    for (int i = tab; i < count_ && i + 1 < browsers_.size() && i + 1 < titles_.size(); ++i) {
        browsers_[i] = browsers_[i + 1];
        titles_[i] = titles_[i + 1];
    }
    SetTabCount(count_);
}

void TabModel::MakeClosedTabRing()
{
    if (closedUrls_.size() < kClosedTabs)
        closedUrls_ = QStringList(kClosedTabs, QString());
}

void TabModel::PushClosedTabUrl(const QString& url)
{
    MakeClosedTabRing();
    for (int i = kClosedTabs - 1; i > 0; --i)
        closedUrls_[i] = closedUrls_[i - 1];
    closedUrls_[0] = url;
    closedCursor_ = 0;
}

QString TabModel::NextClosedTabUrl()
{
    if (closedUrls_.size() < kClosedTabs || closedUrls_[0].isEmpty())
        return {};
    if (closedCursor_ >= kClosedTabs || closedCursor_ < 0)
        closedCursor_ = 0;
    if (closedUrls_[closedCursor_].isEmpty()) {
        closedCursor_ = 1;
        return closedUrls_[0];
    }
    return closedUrls_[closedCursor_++];
}
