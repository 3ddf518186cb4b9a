// SPDX-License-Identifier: MIT
#include "index_ahead.h"

#include "helpdata/command_index.h"
#include "platform/sorted_list_box.h"

#include <system_error>

namespace korva::app {

std::future<platform::SortedList> BuildIndexAhead(platform::HelpFile &file)
{
    try {
        return std::async(std::launch::async, [&file] {
            platform::SortedListBox list;
            helpdata::BuildIndex(file, list);
            return list.TakeItems();
        });
    } catch (const std::system_error &) {
        return {};
    }
}

} // namespace korva::app
