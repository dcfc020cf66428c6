#include "dlmanager/pageitems.h"

#include "dlmanager/downloadhelpers.h"
#include "dlmanager/runstate.h"

#include <QTimer>

void NoPageItems::StartPageDownload(RunState& run, std::function<void()> ended)
{
    run.JobState = JobFailed;
    if (run.StatusText.isEmpty() || run.ItemKind == ItemPage)
        run.StatusText = ReadLanguageString(QStringLiteral("EXTERNAL"), QStringLiteral("9970"), QStringLiteral("Error:")) +
                         QStringLiteral(" the address names no file");
    QTimer::singleShot(0, std::move(ended));
}
