#include "browsing/pagetools.h"

#include "browsing/tabstaterecord.h"
#include "core/connection.h"
#include "core/fileclasses.h"
#include "core/shellnames.h"
#include "platform/base/paths.h"
#include "platform/win/shell.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr qint64 kListFileLimit = 1 << 20;

const char* const kListFiles[] = {"Z5_LIST_TRANSLATION.INI", "Z5_LIST_FOLDER.INI", "Z5_LIST_EMAIL.INI",
                                  "Z5_LIST_STARTPAGE.INI", "Z5_LIST_SEARCH.INI"};
const char* const kOfficeProgIds[] = {"Excel.Application", "FrontPage.Application", "PowerPoint.Application",
                                      "Publisher.Application", "Word.Application"};

QString percentEncoded(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

} // namespace

PageTools::PageTools(ExplorerState& state, TabBrowsing& tabs) : st_(state), tabs_(tabs)
{
    WorkOfflineFlag = IsIeOffline();
    openAddress = [](const QString& address) { return platform::shell::openDocument(address); };
    startProgram = [](const QString& program, const QStringList& arguments) {
        return platform::shell::startProgram(program, arguments);
    };
}

IBrowser* PageTools::currentBrowser() const
{
    if (tabs_.model().CurrentTab() < 0 || tabs_.model().CurrentTab() >= tabs_.model().TabBrowserMap().size())
        return nullptr;
    return tabs_.WBMAIN(tabs_.model().TabBrowserMap()[tabs_.model().CurrentTab()]);
}

QString PageTools::currentTitle() const
{
    return tabs_.model().CurrentTab() >= 0 && tabs_.model().CurrentTab() < tabs_.model().TabTitles().size() ? tabs_.model().TabTitles()[tabs_.model().CurrentTab()] : QString();
}

QString PageTools::SafeTitle(const QString& title)
{
    // Characters a file name cannot carry come back as DEL: they go.
    QString name = MakeSafeFileName(title);
    name.remove(QChar(0x7F));
    return vb::trim(name);
}

QString PageTools::MailtoAddress(const QString& title, const QString& url)
{
    QString subject = SafeTitle(title);
    subject.replace(QLatin1Char('"'), QLatin1Char('\''));
    QString body = subject + QStringLiteral(" - ") + url;
    body.replace(QLatin1Char('"'), QLatin1Char('\''));
    return QStringLiteral("mailto:?subject=") + percentEncoded(subject) + QStringLiteral("&body=")
           + percentEncoded(body);
}

void PageTools::MailPageLink()
{
    IBrowser* b = currentBrowser();
    if (!b)
        return;
    const QString url = b->locationURL();
    if (url.isEmpty() || IsBlankPageUrl(url))
        return;
    openAddress(MailtoAddress(currentTitle(), url));
}

QString PageTools::userListPath(const QString& file, bool copyShared)
{
    const auto appData = platform::shell::specialFolderPath(platform::shell::csidl::AppData);
    if (!appData)
        return {};
    const QString folder = QDir(*appData).filePath(QStringLiteral("Z5"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(file);
    if (copyShared && !QFile::exists(path))
        QFile::copy(QDir(platform::paths::programFolder()).filePath(QStringLiteral("Common/") + file), path);
    return path;
}

void PageTools::EditListFile(int index)
{
    if (index < 0 || index > 4)
        return;
    const QString path = userListPath(QString::fromLatin1(kListFiles[index]), true);
    if (!path.isEmpty())
        startProgram(EditorProgram(), {path});
}

void PageTools::OpenInOfficeProgram(int number)
{
    if (number < 1 || number > 5)
        return;
    IBrowser* b = currentBrowser();
    if (!b)
        return;
    const QString url = TrimControlChars(b->locationURL());
    QString command = IsComServerInstalled(QString::fromLatin1(kOfficeProgIds[number - 1]));
    const int blank = command.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        command = command.left(blank);
    if (!command.isEmpty())
        startProgram(command, {url});
}

QStringList PageTools::TranslationPrefixes(const QStringList& lines, const QString& name)
{
    QStringList prefixes;
    for (const QString& raw : lines) {
        const QString line = vb::trim(TrimControlChars(raw));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('-')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (vb::trim(line.left(eq)) == name)
            prefixes << vb::trim(line.mid(eq + 1));
    }
    return prefixes;
}

QString PageTools::TranslationListPath()
{
    const QString file = QString::fromLatin1(kListFiles[0]);
    const QString mine = userListPath(file, false);
    if (!mine.isEmpty() && QFile::exists(mine))
        return mine;
    return QDir(platform::paths::programFolder()).filePath(QStringLiteral("Common/") + file);
}

void PageTools::TranslatePage(const QString& name)
{
    IBrowser* b = currentBrowser();
    if (!b)
        return;
    QString url = b->locationURL();
    if (url.isEmpty() || IsBlankPageUrl(url))
        return;
    // An address carried inside another (a redirector's) goes on its own.
    const int inner = url.indexOf(QStringLiteral("http://"), 6, Qt::CaseInsensitive);
    if (inner >= 0)
        url = url.mid(inner);
    const auto lines = platform::textfile::readLines(TranslationListPath(), kListFileLimit);
    if (!lines)
        return;
    for (const QString& prefix : TranslationPrefixes(*lines, name)) {
        url = prefix + url;
        b->navigate2(url);
    }
}

void PageTools::ToggleWorkOffline()
{
    WorkOfflineFlag = !WorkOfflineFlag;
    SetIeWorkOffline(WorkOfflineFlag);
}

QString PageTools::SourceFilePath(const QString& folder, const QString& title)
{
    QString name = SafeTitle(title);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("Page source");
    return QDir(folder).filePath(name + QStringLiteral(".txt"));
}

QString PageTools::EditorProgram()
{
    for (const char* editor : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "xed", "pluma",
                               "featherpad", "leafpad"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(editor));
        if (!found.isEmpty())
            return found;
    }
    return QStringLiteral("xdg-open");
}

void PageTools::ViewPageSource()
{
    IBrowser* b = currentBrowser();
    if (!b)
        return;
    const QString path = SourceFilePath(GetTempFolder(), b->locationName());
    std::weak_ptr<bool> alive = alive_;
    b->evaluateScript(QStringLiteral("document.documentElement ? document.documentElement.innerHTML : ''"),
                      [this, alive, path](const QString& html) {
                          if (alive.expired())
                              return;
                          if (platform::textfile::writeAtomically(path, (html + QLatin1Char('\n')).toUtf8()))
                              startProgram(EditorProgram(), {path});
                      });
}

void PageTools::SynchronizeOfflinePages()
{
    const auto system = platform::shell::specialFolderPath(platform::shell::csidl::System);
    if (!system)
        return;
    const QString program = QDir(*system).filePath(QStringLiteral("mobsync.exe"));
    if (QFileInfo(program).isExecutable())
        startProgram(program, {});
}

void ShowImageViewerTab(ExplorerState& st, TabBrowsing& tabs, ITabChrome& chrome, const ServiceSet& services)
{
    constexpr int kImageList = 3;
    constexpr int16_t kPageView = 1;
    constexpr int16_t kImageView = 3;
    if (tabs.model().CurrentTab() < 0 || tabs.model().CurrentTab() >= tabs.model().TabBrowserMap().size())
        return;
    services.Downloads().PrepareFetchSlots();
    const int16_t current = tabs.model().TabBrowserMap()[tabs.model().CurrentTab()];
    const int16_t previous = st.ListViewerBrowser[kImageList];
    if (previous >= 0 && previous != current) {
        tabs.SetTabState(previous, FieldViewKind, kPageView);
        const int tab = tabs.TabOfBrowser(previous);
        if (tab >= 0)
            chrome.UpdateTabTitle(tab - st.TabButtonOffset);
    }
    st.ListViewerBrowser[kImageList] = current;
    tabs.SetTabState(current, FieldViewKind, kImageView);
    // Once the viewer has shown pages of several images its cells are
    // rebuilt for the tab.
    if (st.ImagesPerView > 1)
        st.ViewerLayoutFlag = -1;
    if (st.ViewerLayoutFlag != 0) {
        services.Media().ClearViewerImages();
        services.Media().LayoutImageViewer();
    }
}

bool PageTools::IsCurrentTabBlank() const
{
    IBrowser* b = currentBrowser();
    const QString url = b ? vb::trim(b->locationURL()) : QString();
    return url.isEmpty() || IsBlankPageUrl(url);
}
