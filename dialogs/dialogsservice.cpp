#include "dialogs/dialogsservice.h"

#include "core/contentfilter.h"
#include "core/globals.h"
#include "dialogs/frmreferences.h"

void DialogsService::SaveContentList()
{
    ::SaveContentList(ContentListEntries(FilterList));
}

void DialogsService::ShowReferences()
{
    frmReferences window(options_);
    window.showModal();
    window.unload();
}
