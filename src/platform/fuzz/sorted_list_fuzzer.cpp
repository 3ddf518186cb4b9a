// SPDX-License-Identifier: MIT
// The sorted list's store, driven directly with up to thousands of names per input: empty and long ones, Latin-1 and
// wider, upper and lower case, added in runs with reads between them. Checks the order, the texts and values kept,
// and finds against a plain search.
//
// Input: a run of records. A record's first byte says what to add: its low four bits how many names, its high three
// bits their shape; the next byte is the name's length, and the bytes after it its units (one byte a unit, widened by
// the shape; the names of one shape are added as code-page bytes). A record that adds nothing reads the list instead,
// which sorts in what came so far. One input in 128 (by a hash of its bytes, so that most of its mutations are not)
// adds each name 256 times over: thousands in all.
#include "platform/code_page.h"
#include "platform/sorted_list.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxNames = 2560;
constexpr std::size_t kMaxUnits = 16 * 1024;
constexpr std::size_t kProbes = 4;

using korva::platform::CompareFolded;
using korva::platform::SortedList;
using korva::platform::StartsWithFolded;

[[noreturn]] void Broken(const char *what, int position)
{
    std::fprintf(stderr, "broken: %s (position %d)\n", what, position);
    std::abort();
}

// Every name added, one after another in one string, so that the harness makes no allocation a name.
struct Names
{
    std::u16string units;
    std::vector<std::size_t> starts = {0};

    std::size_t Count() const { return starts.size() - 1; }
    std::u16string_view operator[](std::size_t i) const
    {
        return std::u16string_view(units).substr(starts[i], starts[i + 1] - starts[i]);
    }
};

void CheckAll(const SortedList &list, const Names &added, const std::vector<std::u16string> &probes)
{
    if (list.Count() != static_cast<int>(added.Count())) {
        Broken("count", list.Count());
    }
    // Each value once, with its text; equal texts in the order they were added, so values rise among them.
    std::vector<bool> seen(added.Count(), false);
    std::u16string text;
    std::u16string previous;
    for (int i = 0; i < list.Count(); ++i) {
        list.TextInto(i, text);
        const std::uint32_t data = list.Data(i);
        if (data >= added.Count() || added[data] != text || seen[data]) {
            Broken("an item's text or value", i);
        }
        seen[data] = true;
        if (i > 0) {
            const int order = CompareFolded(previous, text);
            if (order > 0 || (order == 0 && list.Data(i - 1) > data)) {
                Broken("order", i);
            }
        }
        previous.swap(text);
    }
    for (const std::u16string &probe : probes) {
        const int found = list.Find(probe);
        const bool begins = found >= 0 && StartsWithFolded(list.Text(found), probe);
        // The first that begins with it: the one before does not, and where none is found, no item does (the items
        // that begin with a prefix stand together, right where it would be sorted in).
        if ((found >= 0 && (!begins || (found > 0 && StartsWithFolded(list.Text(found - 1), probe)))) ||
            (found < 0 && list.Count() > 0 && StartsWithFolded(list.Text(0), probe))) {
            Broken("find", found);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    const std::size_t times = hash % 128 == 0 ? 256 : 1;

    // Room for the usual input's names, as the program makes room before it adds; more grows the store.
    SortedList list;
    list.Reserve(64, 1024);
    Names added;
    added.units.reserve(1024);
    added.starts.reserve(65);
    std::vector<std::u16string> probes = {u""};
    std::u16string unit;
    std::string bytes;
    std::size_t at = 0;
    while (at < size && added.Count() < kMaxNames && added.units.size() < kMaxUnits) {
        const std::uint8_t op = data[at++];
        const std::size_t length = at < size ? data[at++] % 40 : 0;
        unit.clear();
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
        const std::size_t count = op & 0x0F;
        if (count == 0) {
            list.Find(unit);
            if (probes.size() < kProbes) {
                probes.push_back(unit);
            }
            continue;
        }
        // Long names repeat their units.
        const std::size_t names = count * times;
        const std::size_t repeat = (op >> 5) == 7 && names < 24 ? 16 : 1;
        for (std::size_t n = 0; n < names && added.Count() < kMaxNames && added.units.size() < kMaxUnits; ++n) {
            const std::size_t start = added.units.size();
            for (std::size_t r = 0; r < repeat; ++r) {
                added.units += unit;
            }
            if (added.units.size() > start && names > 1) {
                // Neighbours that differ in their first unit or their last, and some equal ones.
                char16_t &varied = (op & 1) != 0 ? added.units[start] : added.units.back();
                varied = static_cast<char16_t>(varied + (n % 5 == 0 ? 0 : n));
            }
            added.starts.push_back(added.units.size());
            const auto value = static_cast<std::uint32_t>(added.Count() - 1);
            if ((op >> 5) == 4) {
                // Added as the file holds names, a byte a unit in the code page: kept as their widening.
                bytes.clear();
                for (std::size_t u = start; u < added.units.size(); ++u) {
                    bytes += static_cast<char>(added.units[u] & 0xFF);
                    added.units[u] = korva::platform::AnsiCharToWide(added.units[u] & 0xFF);
                }
                list.AddCodePage(bytes, value);
            } else {
                list.Add(added[value], value);
            }
        }
    }
    CheckAll(list, added, probes);
    return 0;
}
