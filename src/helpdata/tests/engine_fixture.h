// SPDX-License-Identifier: MIT
// The engine on the in-memory platform: a data file made of exact bytes, the shared buffer and a window whose
// controls the tests read back.
#pragma once

#include "helpdata/command_index.h"
#include "helpdata/entry_format.h"
#include "helpdata/entry_view.h"
#include "helpdata/find_next.h"
#include "helpdata/help_context.h"
#include "helpdata/index_refresh.h"
#include "helpdata/see_also.h"
#include "platform/code_page.h"
#include "platform/memory/memory_platform.h"
#include "test_support/data_entries.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace korva::helpdata::testing {

using korva::testing::Entry;
using korva::testing::SimpleEntry;

// What the index must hold, found the slow and obvious way over the whole file: the first "#" and every "#" after
// LF LF whose line ends with an LF less than a chunk after the "#", as (name, EntryOffset) in file order.
inline std::vector<std::pair<std::string, std::uint32_t>> ReferenceHeaders(const std::string &bytes)
{
    std::vector<std::pair<std::string, std::uint32_t>> headers;
    bool first = true;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] != '#') {
            continue;
        }
        const bool header = first || (at >= 2 && bytes[at - 1] == '\n' && bytes[at - 2] == '\n');
        first = false;
        if (!header) {
            continue;
        }
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) {
            break;
        }
        if (end - at >= kChunkSize) {
            continue;
        }
        headers.emplace_back(CommandNameOf(std::string_view(bytes).substr(at, end - at)),
                             static_cast<std::uint32_t>(end + 1));
    }
    return headers;
}

inline std::u16string U16(const std::string &ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

inline std::string Narrow(const std::u16string &text)
{
    std::string narrow;
    for (const char16_t unit : text) {
        narrow += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return narrow;
}

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override { ProcessSearchState() = SearchState{}; }

    // Opens `bytes` as the data file and builds the index into an empty list, as the window does when it opens.
    void Open(std::string bytes)
    {
        window.commandList = platform::MemoryListBox();
        file.SetBytes(std::move(bytes));
        file.Open("korvadoc");
        BuildIndex(file, window.commandList);
        ResetSearch(window);
    }

    // The list's items as (name, EntryOffset), top to bottom.
    std::vector<std::pair<std::string, std::uint32_t>> ListItems() const
    {
        std::vector<std::pair<std::string, std::uint32_t>> items;
        items.reserve(static_cast<std::size_t>(window.commandList.GetCount()));
        for (int i = 0; i < window.commandList.GetCount(); ++i) {
            items.emplace_back(Narrow(window.commandList.GetText(i)), window.commandList.GetItemData(i));
        }
        return items;
    }

    // The user selects the item at `position` in the list.
    void SelectItem(int position)
    {
        window.commandList.SetCurSel(position);
        ShowSelectedEntry(context);
    }

    // The user selects the first command that begins with `name`.
    void Select(const std::string &name)
    {
        const int position = window.commandList.FindString(U16(name));
        ASSERT_NE(position, platform::kNoItem) << name;
        SelectItem(position);
    }

    std::u16string EntryText() const { return window.entryText.text; }
    std::vector<std::u16string> SeeAlso() const { return window.seeAlso.Items(); }
    std::string Selected() const { return Narrow(window.commandList.GetText(window.commandList.GetCurSel())); }

    // The user types `text` into the search text (every change notifies) and taps Find.
    void Type(const std::u16string &text)
    {
        window.searchText = text;
        ResetSearch(window);
    }
    void Tap() { FindNextEntry(context); }

    platform::MemoryHelpFile file;
    ReadBuffer buffer;
    platform::MemoryWindow window;
    HelpContext context{file, buffer, window};
};

} // namespace korva::helpdata::testing
