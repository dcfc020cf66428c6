#include "menus/menuoperations.h"

#include "contracts/services.h"
#include "mainwindow/explorerstate.h"

#include <functional>
#include <map>

namespace {

using Run = std::function<void(ServiceSet&, ExplorerState&, const MenuOperation&)>;

int16_t number(const MenuOperation& op, int i)
{
    return static_cast<int16_t>(op.arguments.value(i).toInt());
}

bool truth(const MenuOperation& op, int i)
{
    return op.arguments.value(i).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

const std::map<QString, Run>& operations()
{
    static const std::map<QString, Run> table = {
        {QStringLiteral("OpenFileDialogCommand"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Tabs().OpenFileDialogCommand(); }},
        {QStringLiteral("AddToFavorites"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().AddToFavorites(number(op, 0)); }},
        {QStringLiteral("AddSelectionLinksToFolder"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().AddSelectionLinksToFolder(number(op, 0)); }},
        {QStringLiteral("SelectGroupFolder"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Lists().SelectGroupFolder(); }},
        {QStringLiteral("OpenGroupFolder"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().OpenGroupFolder(number(op, 0), QString()); }},
        {QStringLiteral("CreateDesktopShortcut"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Lists().CreateDesktopShortcut(); }},
        {QStringLiteral("SelectAllListItems"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Lists().SelectAllListItems(); }},
        {QStringLiteral("RemoveSelectedItems"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Lists().RemoveSelectedItems(); }},
        {QStringLiteral("ClearCurrentList"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().ClearCurrentList(truth(op, 0)); }},
        {QStringLiteral("OpenPlaylistDialog"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Lists().OpenPlaylistDialog(); }},
        {QStringLiteral("SavePlaylistFile"),
         [](ServiceSet& s, ExplorerState& w, const MenuOperation& op) {
             const int k = w.CurrentListKind;
             const QString path = k >= 1 && k <= 6 ? w.ListFilePath[static_cast<size_t>(k)] : QString();
             s.Lists().SavePlaylistFile(path, false, truth(op, 0));
         }},
        {QStringLiteral("ShowCurrentList"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Lists().ShowCurrentList(); }},
        {QStringLiteral("AddPageLinksToList"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().AddPageLinksToList(number(op, 0), number(op, 1), number(op, 2)); }},
        {QStringLiteral("AddClipboardLinksToList"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().AddClipboardLinksToList(number(op, 0)); }},
        {QStringLiteral("AddFilesFromDialog"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().AddFilesFromDialog(number(op, 0)); }},
        {QStringLiteral("AddAllFilesInFolder"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().AddAllFilesInFolder(number(op, 0)); }},
        {QStringLiteral("AddItemManually"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().AddItemManually(number(op, 0)); }},
        {QStringLiteral("AddPageAddress"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Lists().AddPageAddress(); }},
        {QStringLiteral("DeleteSelectedToRecycleBin"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().DeleteSelectedToRecycleBin(number(op, 0)); }},
        {QStringLiteral("CaptureSelectionAsSnippet"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Lists().CaptureSelectionAsSnippet(); }},
        {QStringLiteral("ShowSnippetViewPage"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Lists().ShowSnippetViewPage(number(op, 0), QString()); }},
        {QStringLiteral("ShowDownloadSetup"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Downloads().ShowDownloadSetup(number(op, 0)); }},
        {QStringLiteral("ClearDownloadStatusList"), [](ServiceSet& s, ExplorerState&, const MenuOperation&) { s.Downloads().ClearDownloadStatusList(); }},
        {QStringLiteral("StartListDownload"), [](ServiceSet& s, ExplorerState&, const MenuOperation& op) { s.Downloads().StartListDownload(number(op, 0), truth(op, 1), number(op, 2)); }},
    };
    return table;
}

} // namespace

MenuOperation ParseMenuOperation(const QString& operation)
{
    MenuOperation op;
    const qsizetype open = operation.indexOf(QLatin1Char('('));
    if (open < 0) {
        op.name = operation.trimmed();
        return op;
    }
    op.name = operation.left(open).trimmed();
    const qsizetype close = operation.lastIndexOf(QLatin1Char(')'));
    const QString inside = operation.mid(open + 1, (close > open ? close : operation.size()) - open - 1);
    for (const QString& a : inside.split(QLatin1Char(',')))
        op.arguments << a.trimmed();
    return op;
}

bool RunMenuOperation(ServiceSet& services, ExplorerState& state, const QString& operation)
{
    const MenuOperation op = ParseMenuOperation(operation);
    const auto it = operations().find(op.name);
    if (it == operations().end())
        return false;
    it->second(services, state, op);
    return true;
}
