// SPDX-License-Identifier: MIT
#include "index_refresh.h"

#include "command_index.h"
#include "find_next.h"

#include <string>

namespace korva::helpdata {

bool RebuildIndexIfChanged(const HelpContext &context)
{
    if (!context.file.ContentChanged()) {
        return false;
    }
    platform::ListBox &list = context.window.ListBoxById(platform::IDC_COMMAND_LIST);
    const std::u16string selected = list.GetText(list.GetCurSel());
    list.ResetContent();
    BuildIndex(context.file, list);
    if (!selected.empty()) {
        list.SetCurSel(FindEntry(list, selected));
    }
    ResetSearch(context.window);
    return true;
}

} // namespace korva::helpdata
