// SPDX-License-Identifier: MIT
// Entries of a data file as the exact bytes a file holds them, for the tests of every module.
#pragma once

#include <string>
#include <vector>

namespace korva::testing {

// One entry: "# name", the lines given, and the closing blank line.
inline std::string Entry(const std::string &name, const std::vector<std::string> &lines)
{
    std::string entry = "# " + name + "\n";
    for (const auto &line : lines) {
        entry += line + "\n";
    }
    return entry + "\n";
}

// A well-formed entry: a second line, the description, a fourth line, the parameters "name(x)", see-also names and
// examples.
inline std::string SimpleEntry(const std::string &name, const std::string &description = "does a thing",
                               const std::vector<std::string> &seeAlso = {},
                               const std::vector<std::string> &examples = {})
{
    std::vector<std::string> lines = {"1 group", "2 " + description, "3 since 1.0", "0 " + name + "(x)"};
    for (const auto &see : seeAlso) {
        lines.push_back("-> " + see);
    }
    lines.insert(lines.end(), examples.begin(), examples.end());
    return Entry(name, lines);
}

} // namespace korva::testing
