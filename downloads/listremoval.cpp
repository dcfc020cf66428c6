#include "downloads/listremoval.h"

#include "core/downloadlists.h"
#include "core/settingsstore.h"
#include "downloads/downloadlistnames.h"
#include "downloads/listhandoff.h"
#include "platform/base/paths.h"

#include <QDir>
#include <QFile>

namespace {

const QString kListsValue = QStringLiteral("Z5_DOWNLOADLIST");

void removeList(const QString& name)
{
    // The partials are found through the list file, so they go first.
    RemoveDownloadListPartials(platform::paths::programFolder(), name);
    const QString base = QDir(DownloadDataFolder()).filePath(name);
    for (const QString& suffix : DownloadListSuffixes())
        QFile::remove(base + suffix);
    const QString value = ReadZ5Setting(HiveCurrentUser, kListsValue, QString());
    const QString kept = RemoveDownloadListName(value, name);
    if (kept != value)
        SaveZ5Setting(HiveCurrentUser, kListsValue, kept);
}

} // namespace

bool IsListRunning(const QString& name)
{
    return IsDownloadListRunning(platform::paths::programFolder(), name);
}

ListRemoval::ListRemoval()
{
    poll_.setInterval(1000);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { removeEnded(); });
}

QStringList ListRemoval::remove(const QStringList& names)
{
    QStringList held;
    for (const QString& name : names) {
        if (!IsSafeListName(name))
            continue;
        if (IsListRunning(name)) {
            held << name;
            if (!waiting_.contains(name))
                waiting_ << name;
        } else {
            waiting_.removeAll(name);
            removeList(name);
        }
    }
    if (!waiting_.isEmpty())
        poll_.start();
    return held;
}

void ListRemoval::removeEnded()
{
    const QStringList waiting = waiting_;
    for (const QString& name : waiting) {
        if (IsListRunning(name))
            continue;
        waiting_.removeAll(name);
        removeList(name);
    }
    if (waiting_.isEmpty())
        poll_.stop();
}
