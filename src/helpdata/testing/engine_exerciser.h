// SPDX-License-Identifier: MIT
// Drives the engine on the in-memory platform over any data file and checks what must hold for every file, however
// malformed. The fuzz targets and the malformed-file tests share it; each check yields the broken rules, one message
// each, empty when all hold.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korva::helpdata::testing {

struct ExerciseLimits
{
    // The most entries to show one by one, and see-also names to follow from each.
    std::size_t entries = 1u << 20;
    std::size_t seeAlsoPerEntry = 1u << 20;
};

// Builds the index: the list is sorted (case ignored), each EntryOffset lies inside the file just after an LF, and no
// more items stand than the file has "#" bytes.
std::vector<std::string> CheckIndexScan(const std::string &bytes);

// Builds the index, then shows every entry and follows every see-also name: each selection sets the entry text, and
// what it shows is the selected entry's own; no see-also name is empty; a see-also jump selects a command that begins
// with the name.
std::vector<std::string> CheckEntryViews(const std::string &bytes, const ExerciseLimits &limits = {});

// Builds the index, then taps Find with `searchText` until "Search completed": the pass ends within the number of
// indexed entries plus two taps, and every entry reported holds the text's code-page form outside its lines of kind
// "1" and "3".
std::vector<std::string> CheckSearchPass(const std::string &bytes, const std::u16string &searchText);

// Builds the index, the word table a block at a time, then the ranked results for `query`, a part at a time: each
// result is an item of the list, once; the description place it records holds the description the entry view shows;
// and, found by a naive scan of each entry's name and shown text, every entry that holds every word as typed is a
// result, standing above every result that misses one. The search that reads the file without a table gives the same
// results.
std::vector<std::string> CheckRankedResults(const std::string &bytes, const std::u16string &query);

} // namespace korva::helpdata::testing
