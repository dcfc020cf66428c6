#include "dialogs/dialogsservice.h"

#include "core/contentfilter.h"
#include "core/globals.h"
#include "dialogs/frmdialog.h"
#include "dialogs/frmreferences.h"
#include "mainwindow/frmexplorer.h"
#include "platform/win/prompt.h"

DialogsService::DialogsService(frmExplorer& window, ServiceSet& services) : window_(window), services_(services) {}

void DialogsService::SaveContentList()
{
    ::SaveContentList(ContentListEntries(FilterList));
}

void DialogsService::ShowReferences()
{
    frmReferences window(window_);
    window.showModal();
    window.unload();
}

void DialogsService::ShowInputDialog(int16_t mode, int16_t listIndex)
{
    DialogMode = mode;
    DialogListIndex = listIndex;
    frmDialog dialog(services_, window_.LastFolders);
    dialog.load();
    platform::prompt::Prompt prompt;
    prompt.kind = QStringLiteral("input");
    prompt.title = dialog.Label1[1].caption();
    prompt.text = dialog.Text1[0].text();
    bool shown = false;
    const platform::prompt::Answer answer = platform::prompt::ask(prompt, [&] {
        shown = true;
        dialog.showModal(&window_);
        return platform::prompt::Answer{};
    });
    if (!shown) {
        QStringList texts = answer.paths;
        if (texts.isEmpty() && !answer.text.isEmpty())
            texts << answer.text;
        if (!answer.accepted) {
            dialog.DialogButtonPressed(1);
        } else if (mode == 3) {
            for (const QString& address : texts) {
                dialog.Text1[0].setText(address);
                dialog.DialogButtonPressed(0);
            }
            dialog.DialogButtonPressed(1);
        } else {
            dialog.Text1[0].setText(texts.value(0));
            if (mode == 1 || mode == 2)
                dialog.Check1.setValue(texts.value(1) == QLatin1String("1") ? 1 : 0);
            else if (texts.size() > 1)
                dialog.Text1[1].setText(texts[1]);
            dialog.DialogButtonPressed(0);
            if (!dialog.answered())
                dialog.DialogButtonPressed(1);
        }
    }
    dialog.unload();
}
