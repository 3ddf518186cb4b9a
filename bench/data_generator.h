// SPDX-License-Identifier: MIT
// Well-formed data files of any size for benchmarks and fuzz seeds: invented entries that keep every rule and limit
// of the format (names of 3 to 46 bytes, entries well under 2000 bytes, composed texts under 984 units), with
// see-also lines naming other entries (and now and then an absent one), 0 to 4 example lines, and lines of kinds "1"
// and "3". The same options always yield the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korva::bench {

struct GeneratorOptions
{
    std::size_t entries = 32768;
    // False: entries in alphabetical order (case ignored); true: in a shuffled order.
    bool shuffled = false;
    std::uint32_t seed = 1;
    // The text placed in the description of the entries that hold it (kept out of every other line).
    std::string needle = "needle";
    // Entries holding the needle: every `needleEvery`-th in file order (0: none), and the last one when set.
    std::size_t needleEvery = 0;
    bool needleInLast = false;
};

struct GeneratedFile
{
    std::string bytes;
    // The command names in file order.
    std::vector<std::string> names;
};

GeneratedFile GenerateDataFile(const GeneratorOptions &options);

} // namespace korva::bench
