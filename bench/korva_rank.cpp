// SPDX-License-Identifier: MIT
// Shows how the ranked search weighed the first results of a query, for whoever tunes it:
//   korva-rank FILE QUERY [COUNT]
// Each line: the rank, the name, the tier (0 named as typed, 1 beginning with it, 2 the rest), how many of the query's
// words the entry holds, and its score.
#include "helpdata/command_index.h"
#include "helpdata/command_names.h"
#include "helpdata/ranked_search.h"
#include "platform/sorted_list_box.h"
#include "platform/system_help_file.h"
#include "platform/unicode.h"
#include "terminal/terminal_text.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::cerr << "usage: korva-rank FILE QUERY [COUNT]\n";
        return 2;
    }
    korva::platform::SystemHelpFile file;
    if (!file.Open(argv[1])) {
        std::cerr << "korva-rank: cannot open " << argv[1] << "\n";
        return 1;
    }
    korva::platform::SortedListBox list;
    korva::helpdata::BuildIndex(file, list);
    const auto results = korva::helpdata::FindRanked(file, list, korva::platform::Utf16OfUtf8(argv[2]));
    if (!results) {
        return 1;
    }
    const std::size_t count = argc > 3 ? std::stoul(argv[3]) : 10;
    std::cout << (results->mostWords ? "(no entry holds every word)\n" : "");
    for (std::size_t i = 0; i < results->results.size() && i < count; ++i) {
        const auto &result = results->results[i];
        std::printf("%3zu %-30s tier %d  words %d  score %.3f\n", i + 1,
                    korva::terminal::Utf8(list.GetText(result.item), true).c_str(), result.tier, result.wordsHeld,
                    static_cast<double>(result.score));
    }
    return 0;
}
