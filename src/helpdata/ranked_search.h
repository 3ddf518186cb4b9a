// SPDX-License-Identifier: MIT
// Finding a command without knowing its name: the commands whose name or entry holds what the user typed, ranked
// best first. The window shows them as the user types; the terminal prints them.
//
// Matching ignores case and accents over the data file's code page (kMatchFold). A query of several words
// (split at spaces) matches an entry that holds every word, each in its name, its description or the rest of what the
// entry view shows of it (the parameters and the examples); lines of kind "1" and "3" are never matched, and an entry
// the entry view cannot show is found by its name alone. The results stand in the order of the best class any word
// reaches (MatchClass); within a class, descriptions that hold a whole word before those that hold part of one, then
// shorter names first, then the list's order.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korva::helpdata {

class FoldedWord;

// How a word of the query matched, best first.
enum class MatchClass : std::uint8_t
{
    NameIsWord,  // the name is the word
    NameBegins,  // the name begins with it
    NameHolds,   // the name holds it: a word in the name begins with it, or it stands inside the name
    NameNear,    // the name is one edit away from it, or holds its letters in order (at least three of them)
    Description, // the description holds it
    Rest,        // the parameters or the examples hold it
    None,        // nowhere
};

struct RankedResult
{
    int item;                  // the command's position in the list
    std::uint32_t entryOffset; // its entry
    MatchClass matchClass;
    bool partOfWord;          // of a Description match: no word stands whole in the description
    std::uint16_t nameLength; // in characters
    bool operator==(const RankedResult &) const = default;
};

// The command list's names folded for matching, and its entries in file order: made once for a list, read by every
// search of it.
class CommandNames
{
public:
    explicit CommandNames(const platform::ListBox &list);

    int Count() const { return static_cast<int>(items_.size()); }
    std::string_view FoldedName(int item) const;
    std::uint32_t EntryOffset(int item) const { return items_[static_cast<std::size_t>(item)].entryOffset; }
    std::uint16_t NameLength(int item) const { return items_[static_cast<std::size_t>(item)].bytes; }
    // The items in the order of their entries in the file.
    const std::vector<int> &InFileOrder() const { return inFileOrder_; }
    // The version of the list's items they were made from (ListBox::ItemsVersion).
    std::uint64_t ListVersion() const { return listVersion_; }

private:
    // The folded names stand in blocks of this size, none across two: memory grows a block at a time, never by
    // copying all that is held to a place twice its size.
    static constexpr std::uint32_t kBlockBytes = 64 * 1024;

    struct Item
    {
        std::uint32_t start; // of its folded name: the block (start / kBlockBytes) and the place in it
        std::uint16_t bytes; // as many as the name has characters: one a character in the code page
        std::uint32_t entryOffset;
    };
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::uint32_t used_ = 0; // bytes of the last block in use
    std::vector<Item> items_;
    std::vector<int> inFileOrder_;
    std::uint64_t listVersion_;
};

// One search: the classes of the names at once, those of the entries' text as the file is read, a part at a time,
// so that a window can answer its user between the parts. The search holds on to the names it reads, so that they
// live as long as it does, whatever the window makes anew meanwhile.
class RankedSearch
{
public:
    // The query's words: at most kMaxWords, of its first kMaxQueryUnits characters.
    static constexpr std::size_t kMaxWords = 16;
    static constexpr std::size_t kMaxQueryUnits = 200;
    // The file is read in blocks of this many bytes.
    static constexpr std::uint32_t kBlockBytes = 256 * 1024;

    RankedSearch(std::shared_ptr<const CommandNames> names, std::u16string_view query);
    ~RankedSearch();
    RankedSearch(const RankedSearch &) = delete;
    RankedSearch &operator=(const RankedSearch &) = delete;

    // Reads on through the file for the classes of the entries' text, about `byteBudget` bytes of it at most (at least
    // one block); yields whether the search is done. A file that has changed since the list was built ends the search
    // as stale: its offsets may point into other content.
    bool Continue(platform::HelpFile &file, std::size_t byteBudget);
    bool Done() const { return next_ >= names_->InFileOrder().size(); }
    // True once the file was found changed: nothing the search found may be shown; the list is to be built again and
    // the search made anew.
    bool Stale() const { return stale_; }
    // The results known so far, best first; once done, all of them. Before any text is read, those whose every word
    // the name holds.
    std::vector<RankedResult> Results() const;

private:
    struct Outcome
    {
        MatchClass matchClass = MatchClass::None;
        bool pending = false; // waits for its entry's text
        bool partOfWord = false;
    };

    MatchClass NameClassOf(int item, std::size_t word) const;
    void ClassifyNames();
    // Decides on the pending entries order[first, last) from the block that holds them, read from `blockStart`.
    void DecideOnBlock(std::string_view block, std::uint32_t blockStart, std::size_t first, std::size_t last,
                       bool blockEndsTheFile);
    void DecideOnEntry(int item, std::string_view entryBytes);

    std::shared_ptr<const CommandNames> names_;
    std::vector<std::string> words_;      // folded; none when the query can match nothing
    std::vector<FoldedWord> patterns_;    // the words, ready to be looked for
    std::vector<MatchClass> nameClasses_; // item by item, word by word
    std::vector<Outcome> outcomes_;
    std::size_t next_ = 0; // the next entry in file order whose text is read
    bool stale_ = false;
};

// The whole search at once, for a reader that has no user waiting: what the terminal prints. Nothing when the file
// changed under it (RankedSearch::Stale).
std::optional<std::vector<RankedResult>> FindRanked(platform::HelpFile &file, const CommandNames &names,
                                                    std::u16string_view query);

// The query folded for matching, as its words; empty when it holds none, or when one of them holds a character the
// data file's code page lacks (no entry can hold that word). Marks that combine with the letter before them (as in
// a decomposed ö) are dropped.
std::vector<std::string> QueryWords(std::u16string_view query);

// Where `word` (folded) stands in `text` (as the file holds it) from `from` on, matched as folded; npos when nowhere.
std::size_t FindFolded(std::string_view text, std::string_view word, std::size_t from = 0);

} // namespace korva::helpdata
