#include "media/mediacontext.h"

#include "platform/base/mediainterfaces.h"

#include <algorithm>
#include <climits>

int64_t MediaContext::query(const QString& command) const
{
    bool ok = false;
    const qlonglong v = queryText(command).trimmed().toLongLong(&ok);
    // A Long: a bogus answer beyond its range is held at its bounds.
    return ok ? std::clamp<qlonglong>(v, INT32_MIN, INT32_MAX) : 0;
}

QString MediaContext::queryText(const QString& command) const
{
    QString reply;
    mci.sendString(command, &reply);
    // The reply ends at its first NUL.
    const qsizetype nul = reply.indexOf(QChar(0));
    return nul < 0 ? reply : reply.left(nul);
}

void MediaContext::send(const QString& command) const
{
    mci.sendString(command, nullptr);
}
