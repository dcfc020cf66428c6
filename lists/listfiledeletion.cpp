#include "lists/listfiledeletion.h"

#include "core/fileclasses.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/shelldialogs.h"
#include "lists/listoperations.h"
#include "lists/liststores.h"
#include "mainwindow/frmexplorer.h"
#include "platform/win/listrows.h"

#include <QFileInfo>
#include <QUrl>

namespace {

QString message(const char* key, const char* text)
{
    return GetLangString(QStringLiteral("MESSAGE"), QString::fromLatin1(key), QString::fromLatin1(text));
}

// The local path of a row's address ("" for none).
QString localPathOf(const QString& address)
{
    if (address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(address).toLocalFile();
    return address;
}

} // namespace

ListFileDeletion::ListFileDeletion(frmExplorer& window, ListStores& stores, ListOperations& operations)
    : w_(window), stores_(stores), ops_(operations)
{
}

void ListFileDeletion::DeleteSelectedToRecycleBin(int16_t kind)
{
    // The rows removed are the current list's.
    if (kind != w_.CurrentListKind)
        return;
    platform::forms::ListRows* rows = stores_.at(kind);
    if (!rows || rows->count() == 0)
        return;
    const std::vector<int> selected = rows->selectedRows();
    if (selected.empty())
        return;
    size_t onNet = 0;
    for (int r : selected)
        if (!IsLocalItem(rows->column(r, 1)))
            ++onNet;
    if (onNet == selected.size()) {
        ShowMessage(message("9041", "Files on the Net can not be deleted !"), 1, 3);
        return;
    }
    if (onNet > 0)
        ShowMessage(message("9042", "Your selection contains Files on the Net"), 1, 3);
    const QString question =
        selected.size() == 1 ? message("9043", "Are you sure you want to send the selected file to the Recycle Bin ?")
                             : message("9043", "Are you sure you want to send the selected files to the Recycle Bin?");
    if (ShowMessage(question, 2, 1) != 3)
        return;
    int failed = 0;
    for (int r : selected) {
        const QString address = rows->column(r, 1);
        if (!IsLocalItem(address))
            continue;
        // Only regular files go; a folder or a missing file is left alone.
        const QString path = localPathOf(address);
        if (path.isEmpty() || !QFileInfo(path).isFile())
            continue;
        if (SendToRecycleBin(path, false) != 0) {
            ++failed;
            rows->setSelected(r, false);
        }
    }
    ops_.RemoveSelectedItems();
    if (failed > 0)
        ShowMessage(message("9075", "Files that could not be sent to the Recycle Bin:") + QLatin1Char(' ')
                        + QString::number(failed),
                    1, 3);
}
