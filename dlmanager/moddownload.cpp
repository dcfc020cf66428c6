#include "dlmanager/moddownload.h"

#include "core/settingsstore.h"
#include "dlmanager/downloadhelpers.h"
#include "dlmanager/fileitem.h"
#include "dlmanager/listrun.h"
#include "dlmanager/pagebrowser.h"
#include "dlmanager/pagedownload.h"
#include "dlmanager/runstate.h"
#include "platform/base/paths.h"
#include "platform/base/vbrt.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

namespace {

const QString kListSeparator = QStringLiteral("||||||||||");
const QString kFileSeparator = QStringLiteral("|||||");

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

DownloadCommand ParseDownloadCommand(const QString& argument)
{
    DownloadCommand c;
    if (argument.contains(kListSeparator, Qt::CaseInsensitive)) {
        const QStringList parts = argument.split(kListSeparator);
        c.form = DownloadCommand::List;
        c.listName = parts.value(0);
        const QString flag = parts.value(1);
        c.resume = !flag.isEmpty() && flag != QLatin1String("0");
    } else if (argument.count(kFileSeparator) == 1) {
        // Exactly one separator, and no "|" in the address (its senders
        // percent-encode it): nothing of the address can move the target.
        const QStringList parts = argument.split(kFileSeparator);
        if (!parts[0].contains(QLatin1Char('|'))) {
            c.form = DownloadCommand::SingleFile;
            c.address = parts[0];
            c.targetPath = parts[1];
        }
    }
    return c;
}

int modDownLoad_Main(const QString& argument)
{
    const QString appSetting = ReadZ5Setting(HiveLocalMachine, QStringLiteral("Z5_APPLICATIONPATH"), QString());
    if (appSetting.isEmpty())
        return 0;
    RunState run;
    run.AppPath = withoutTrailingSlash(platform::paths::toLocal(appSetting));
    const QString language = ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_LANGUAGE"), QStringLiteral("English"));
    run.LanguageFilePath = platform::paths::toLocal(appSetting + QStringLiteral("\\Language\\") + language + QStringLiteral(".ini"));
    SetLanguageFilePath(run.LanguageFilePath);
    if (!FileExists(run.AppPath + QStringLiteral("/Z5.exe")))
        return 0;
    run.CommonPath = run.AppPath + QStringLiteral("/Common");

    const DownloadCommand command = ParseDownloadCommand(argument);
    if (command.form == DownloadCommand::List) {
        run.ResumeMode = command.resume;
        run.StoppedByUser = false;
        run.ListName = command.listName;
        run.JobState = JobConnecting;
        run.StatusText = ReadLanguageString(QStringLiteral("EXTERNAL"), QStringLiteral("9950"), QStringLiteral("STARTING"));
        run.DoneItems = 0;
        run.StartTime = vb::formatClockDate(QDateTime::currentDateTime());
        QDir().mkpath(run.AppPath + QStringLiteral("/Data"));
        run.ListBase = run.AppPath + QStringLiteral("/Data/") + run.ListName;
        // The browser control's module is loaded with the first page item.
        PageDownload pages([](QString* error) {
            const ProxySetting proxy = ReadProxySetting();
            PageBrowser::Settings settings;
            settings.proxyHost = proxy.host;
            settings.proxyPort = proxy.port;
            settings.proxyBypass = proxy.bypass.join(QLatin1Char(' '));
            return LoadPageBrowser(DefaultPageBrowserModule(), settings, error);
        });
        DownloadListRun listRun(run, pages);
        listRun.finished = [] { QCoreApplication::exit(0); };
        if (!listRun.OpenDownloadList())
            return 0;
        return QCoreApplication::exec();
    }
    if (command.form == DownloadCommand::SingleFile) {
        if (command.address.size() < 2 || command.targetPath.size() < 2)
            return 0;
        run.ItemURL = command.address;
        FileItem item(run);
        item.setTargetPath(platform::paths::toLocal(command.targetPath));
        item.StartFileDownload([] { QCoreApplication::exit(0); });
        return QCoreApplication::exec();
    }
    return 0;
}
