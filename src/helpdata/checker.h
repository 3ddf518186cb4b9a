// SPDX-License-Identifier: MIT
// The data file checker behind korvadoc-check: every rule and limit of the format, each problem with the line it
// is on, so that an author learns where a file breaks the rules before the window has to guess.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korva::helpdata {

struct Problem
{
    enum class Severity
    {
        Error,   // the file breaks a rule: the window may lose or misshow entries
        Warning, // the file is valid, but the window will surprise a reader
    };

    std::size_t line; // 1-based
    Severity severity;
    std::string message;
};

// Every problem of the data file `bytes`, in line order.
std::vector<Problem> CheckDataFile(std::string_view bytes);

// True when none of `problems` is an error.
bool FollowsEveryRule(const std::vector<Problem> &problems);

} // namespace korva::helpdata
