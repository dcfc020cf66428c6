#include "lists/pagelinks.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/shellnames.h"
#include "core/waitwindow.h"
#include "lists/listoperations.h"
#include "lists/liststores.h"
#include "lists/pagequery.h"
#include "mainwindow/frmexplorer.h"

#include <QCoreApplication>
#include <QRegularExpression>

using platform::browser::DocumentLinks;
using platform::browser::PageLink;
using platform::forms::ListRow;

namespace {

QString upToLastSlash(const QString& s)
{
    return s.left(s.lastIndexOf(QLatin1Char('/')) + 1);
}

bool offline(int kind)
{
    const auto digit = GetOptionDigit(ListDownloadOptions[kind], 1);
    return !(digit && *digit == 0);
}

bool containsCaseBlind(const QString& s, const char* what)
{
    return s.contains(QLatin1String(what), Qt::CaseInsensitive);
}

} // namespace

bool HasUrlScheme(const QString& address)
{
    static const QRegularExpression scheme(QStringLiteral("^[a-z][a-z0-9+.-]*:"),
                                           QRegularExpression::CaseInsensitiveOption);
    return scheme.match(address).hasMatch();
}

PageLinks::PageLinks(frmExplorer& window, ServiceSet& services, ListStores& stores, ListOperations& ops)
    : w_(window), services_(services), stores_(stores), ops_(ops)
{
}

QString PageLinks::SelectionHtml() const
{
    return AskPage(services_.Tabs().CurrentBrowser(), platform::browser::selectionHtmlScript()).value_or(QString());
}

void PageLinks::AddPageLinksToList(int16_t kind, int16_t mode, int16_t filter)
{
    if (kind > 0)
        ops_.LoadItemsIntoListView_Start(kind);
    CollectPageLinks(kind, mode, filter);
    if (kind > 0)
        ops_.LoadItemsIntoListView_Final(kind);
    w_.CurrentListKind = kind;
    QCoreApplication::processEvents();
    w_.TimerStage = 2;
}

void PageLinks::CollectPageLinks(int16_t kind, int16_t mode, int16_t filter)
{
    known_.reset();
    pending_.clear();
    // One question gathers the page and its frames; a page that cannot
    // answer (gone, or its answer not whole) gives nothing.
    const std::optional<QString> answer =
        AskPage(services_.Tabs().CurrentBrowser(), platform::browser::pageLinksScript(mode));
    const auto documents = answer ? platform::browser::readPageLinks(*answer) : std::nullopt;
    if (documents)
        for (const DocumentLinks& d : *documents)
            CollectDocumentLinks(d, mode, kind, filter);
    flushRows(kind);
    known_.reset();
}

void PageLinks::CollectDocumentLinks(const DocumentLinks& document, int16_t mode, int16_t kind, int16_t filter)
{
    w_.ListItemRecord[0][2] = document.address;
    if (mode < 1 || mode > 3)
        return;
    // The answer holds the mode's tags already, in the order A, AREA, IMG.
    FilterLinkForList(document.links, kind, filter);
}

void PageLinks::FilterLinkForList(const QList<PageLink>& elements, int16_t kind, int16_t filter)
{
    for (const PageLink& e : elements) {
        bool keep = false;
        switch (kind) {
        case 0: keep = true; break;
        case 1: keep = IsAudioFile(e.address); break;
        case 2: keep = IsVideoFile(e.address); break;
        case 3: keep = IsImageFile(e.address); break;
        case 6: keep = filter == 1 ? IsFileLink(e.address) : filter == 2 && IsDownloadArchiveLink(e.address); break;
        default: break;
        }
        if (keep)
            AddLinkItem(kind, e.address, e.text);
    }
}

bool PageLinks::isDuplicate(int16_t kind, const QString& fullAddress)
{
    if (!known_) {
        known_.emplace();
        if (kind == 0) {
            for (const ListRow& r : scratch_)
                known_->insert(r.columns[1]);
        } else if (const platform::forms::ListRows* rows = stores_.at(kind)) {
            known_->reserve(rows->count());
            for (int i = 1; i <= rows->count(); ++i)
                known_->insert(rows->column(i, 1));
        }
    }
    if (known_->contains(fullAddress))
        return true;
    known_->insert(fullAddress);
    return false;
}

void PageLinks::AddLinkItem(int16_t kind, QString address, QString text)
{
    auto& scratchRecord = w_.ListItemRecord[0];
    address = TrimControlChars(address);
    if (!text.isEmpty())
        text = TrimControlChars(text);
    QString name = address.mid(address.lastIndexOf(QLatin1Char('/')) + 1);
    const QString referrer = scratchRecord[2];
    QString pageFolder = upToLastSlash(referrer);
    if (address.contains(QLatin1Char('#')) || containsCaseBlind(address, "mailto:"))
        return;
    QString prefix;
    if (containsCaseBlind(address, "HTTP")) {
        prefix = upToLastSlash(address);
    } else if (containsCaseBlind(address, "JAVASCRIPT")) {
        prefix = address;
        name.clear();
    } else if (HasUrlScheme(address)) {
        // file:, ftp: and the like are whole addresses already.
        prefix = upToLastSlash(address);
    } else if (!address.startsWith(QLatin1String("../"))) {
        if (address.startsWith(QLatin1Char('/')))
            address.remove(0, 1);
        prefix = pageFolder + upToLastSlash(address);
    } else {
        do {
            address.remove(0, 3);
            pageFolder.chop(1);
            pageFolder = upToLastSlash(pageFolder);
        } while (address.startsWith(QLatin1String("../")));
        prefix = pageFolder + upToLastSlash(address);
    }
    const qsizetype eq = name.lastIndexOf(QLatin1Char('='));
    if (eq >= 0) {
        prefix += name.left(eq + 1);
        name = name.mid(eq + 1);
    }
    const QString fullAddress = prefix + name;
    scratchRecord[0] = name;
    scratchRecord[1] = fullAddress;
    scratchRecord[4] = prefix;
    if (isDuplicate(kind, fullAddress))
        return;
    name.replace(QLatin1String("%20"), QLatin1String(" "));
    if (kind == 0 && text.isEmpty())
        text = name;
    ListRow row;
    row.columns[0] = name;
    row.columns[1] = fullAddress;
    row.columns[2] = referrer;
    if (kind != 0 && !offline(kind))
        row.columns[3] = ListTargetDirectory[kind];
    row.columns[4] = text;
    pending_.push_back(std::move(row));
}

void PageLinks::flushRows(int16_t kind)
{
    if (kind == 0) {
        scratch_.insert(scratch_.end(), std::make_move_iterator(pending_.begin()),
                        std::make_move_iterator(pending_.end()));
    } else if (platform::forms::ListRows* rows = stores_.at(kind)) {
        rows->append(std::move(pending_));
    }
    pending_.clear();
}

void PageLinks::AddClipboardLinksToList(int16_t kind)
{
    if (services_.Tabs().IsCurrentTabBlank())
        return;
    ShowWaitWindow(true, GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9019"),
                                       QStringLiteral("In progress ....")));
    QCoreApplication::processEvents();
    if (SelectionHtml().trimmed().isEmpty())
        CollectPageLinks(0, 1, 0);
    else
        ExtractSelectionLinks();
    ops_.LoadItemsIntoListView_Start(kind);
    std::vector<ListRow> added;
    added.reserve(scratch_.size());
    for (const ListRow& r : scratch_) {
        QString text = r.columns[4];
        const QString& address = r.columns[1];
        if (text.trimmed().isEmpty())
            text = address;
        if (containsCaseBlind(address, "mailto:"))
            continue;
        if (containsCaseBlind(address, "JAVASCRIPT")) {
            const qsizetype open = text.indexOf(QLatin1Char('('));
            const qsizetype start = open < 0 ? 0 : open + 1;
            const qsizetype end = text.indexOf(QLatin1Char(')'));
            if (end >= start)
                text = text.mid(start, end - start);
            text.remove(QLatin1Char('\''));
            if (text.contains(QLatin1Char('/')))
                text = text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
            if (text.isEmpty())
                continue;
        }
        ListRow row;
        row.columns[0] = text;
        row.columns[1] = address;
        row.columns[2] = r.columns[2];
        added.push_back(std::move(row));
    }
    if (platform::forms::ListRows* rows = stores_.at(kind))
        rows->append(std::move(added));
    ops_.LoadItemsIntoListView_Final(kind);
    scratch_.clear();
    QCoreApplication::processEvents();
    w_.TimerStage = 2;
}

int PageLinks::ExtractSelectionLinks()
{
    QString html = SelectionHtml();
    if (html.trimmed().isEmpty())
        return 0;
    CollectPageLinks(0, 1, 0);
    QCoreApplication::processEvents();
    if (scratch_.empty())
        return 0;
    html.replace(QLatin1Char('"'), QLatin1Char('\''));
    html.replace(QLatin1String("&amp;"), QLatin1String("&"));
    const int n = static_cast<int>(scratch_.size());
    std::vector<bool> kept(static_cast<size_t>(n), false);
    const QString attribute = QStringLiteral("HREF='");
    const qsizetype bodyAt = html.indexOf(QLatin1String("<BODY"));
    qsizetype pos = bodyAt < 0 ? -1 : html.indexOf(attribute, bodyAt, Qt::CaseInsensitive);
    int start = 0; // 0-based row where the next search begins
    const auto matches = [this](int r, const QString& link, qsizetype tail) {
        return scratch_[static_cast<size_t>(r)].columns[1].right(tail).contains(link);
    };
    while (pos >= 0) {
        const qsizetype valueAt = pos + attribute.size();
        const qsizetype closeAt = html.indexOf(QLatin1Char('\''), valueAt);
        if (closeAt < 0)
            break; // a value without its closing quote ends the search
        QString link = html.mid(valueAt, closeAt - valueAt);
        while (link.startsWith(QLatin1Char('.'))) {
            link.remove(0, 1);
            if (link.startsWith(QLatin1Char('/')))
                link.remove(0, 1);
        }
        const qsizetype tail = link.size() + 1;
        if (!link.isEmpty()) {
            int found = -1;
            for (int r = start; r < n && found < 0; ++r)
                if (matches(r, link, tail))
                    found = r;
            if (found < 0) {
                for (int r = 0; r <= start && r < n && found < 0; ++r)
                    if (matches(r, link, tail))
                        found = r;
                if (found >= 0)
                    html.replace(link, scratch_[static_cast<size_t>(found)].columns[1]);
            }
            if (found >= 0) {
                kept[static_cast<size_t>(found)] = true;
                start = found;
            }
        }
        pos = html.indexOf(attribute, valueAt + tail + 2, Qt::CaseInsensitive);
    }
    std::vector<ListRow> left;
    for (int r = 0; r < n; ++r) {
        ListRow& row = scratch_[static_cast<size_t>(r)];
        const QString& address = row.columns[1];
        if (kept[static_cast<size_t>(r)] && !containsCaseBlind(address, "JAVASCRIPT")
            && !address.contains(QLatin1Char('#')) && !containsCaseBlind(address, "mailto:"))
            left.push_back(std::move(row));
    }
    scratch_ = std::move(left);
    return static_cast<int>(scratch_.size());
}
