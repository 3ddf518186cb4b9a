// SPDX-License-Identifier: MIT
// The sorted list's store, driven directly with thousands of names per input: empty and long ones, Latin-1 and wider,
// upper and lower case, added in runs with reads between them. Checks the order, the texts and values kept, and
// every find against a plain search.
//
// Input: a run of records. A record's first byte says what to add: its low bits how many names (up to 4096 of one
// pattern, so that every run crosses the store's sizes), its high bits their shape; the next bytes are the name's
// units (one byte a unit, widened by the shape). A record that adds nothing reads the list instead.
#include "platform/code_page.h"
#include "platform/sorted_list.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using korva::platform::CompareFolded;
using korva::platform::SortedList;
using korva::platform::StartsWithFolded;

[[noreturn]] void Broken(const char *what, int position)
{
    std::fprintf(stderr, "broken: %s (position %d)\n", what, position);
    std::abort();
}

struct Added
{
    std::u16string text;
    std::uint32_t data;
};

void CheckAll(const SortedList &list, const std::vector<Added> &added, const std::vector<std::u16string> &probes)
{
    if (list.Count() != static_cast<int>(added.size())) {
        Broken("count", list.Count());
    }
    // Equal texts stand in the order they were added: values rise among them.
    std::vector<int> seen(added.size(), 0);
    for (int i = 0; i < list.Count(); ++i) {
        const std::u16string_view text = list.Text(i);
        const std::uint32_t data = list.Data(i);
        if (data >= added.size() || added[data].text != text || seen[data]++ != 0) {
            Broken("an item's text or value", i);
        }
        if (i > 0) {
            const int order = CompareFolded(list.Text(i - 1), text);
            if (order > 0 || (order == 0 && list.Data(i - 1) > data)) {
                Broken("order", i);
            }
        }
    }
    for (const std::u16string &probe : probes) {
        int expected = -1;
        for (int i = 0; i < list.Count(); ++i) {
            if (StartsWithFolded(list.Text(i), probe)) {
                expected = i;
                break;
            }
        }
        if (list.Find(probe) != expected) {
            Broken("find", expected);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    SortedList list;
    std::vector<Added> added;
    std::vector<std::u16string> probes = {u""};
    std::size_t at = 0;
    while (at < size && added.size() < 20000) {
        const std::uint8_t op = data[at++];
        const std::size_t length = at < size ? data[at++] % 40 : 0;
        std::u16string unit;
        for (std::size_t i = 0; i < length && at < size; ++i, ++at) {
            switch (op >> 5) {
            case 0: // ASCII letters, both cases
                unit += static_cast<char16_t>((data[at] & 0x20 ? u'a' : u'A') + data[at] % 26);
                break;
            case 1: // Latin-1, and the code page's letters that fold outside it
                unit += data[at] % 7 == 0 ? u"\u0160\u0161\u0178\u0152"[data[at] % 4] : static_cast<char16_t>(data[at]);
                break;
            case 2: // beyond Latin-1
                unit += static_cast<char16_t>(0x100 + data[at] * 13);
                break;
            default:
                unit += static_cast<char16_t>(data[at]);
                break;
            }
        }
        const std::size_t count = op & 0x1F;
        if (count == 0) {
            list.Find(unit); // a read sorts what came so far in: later adds merge with it
            probes.push_back(unit);
            continue;
        }
        // 1 to 31 names, or thousands of the pattern for the larger counts; long names repeat their units.
        const std::size_t names = count < 24 ? count : std::size_t{1} << (count - 12);
        const std::size_t repeat = (op >> 5) == 7 ? 300 : 1;
        for (std::size_t n = 0; n < names && added.size() < 20000; ++n) {
            std::u16string text;
            for (std::size_t r = 0; r < repeat; ++r) {
                text += unit;
            }
            if (!text.empty() && names > 1) {
                text.back() = static_cast<char16_t>(text.back() + n % 3); // near neighbours
            }
            list.Add(text, static_cast<std::uint32_t>(added.size()));
            added.push_back({text, static_cast<std::uint32_t>(added.size())});
        }
        probes.push_back(unit.substr(0, unit.size() / 2));
    }
    if (probes.size() > 16) {
        probes.resize(16);
    }
    CheckAll(list, added, probes);
    return 0;
}
