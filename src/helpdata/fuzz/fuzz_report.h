// SPDX-License-Identifier: MIT
// What a fuzz target does with the rules an input broke: print them and stop, so libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace korva::helpdata::testing {

inline void ReportProblems(const std::vector<std::string> &problems)
{
    if (problems.empty()) {
        return;
    }
    for (const auto &problem : problems) {
        std::fprintf(stderr, "broken: %s\n", problem.c_str());
    }
    std::abort();
}

} // namespace korva::helpdata::testing
