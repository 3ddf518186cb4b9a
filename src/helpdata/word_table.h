// SPDX-License-Identifier: MIT
// The reference's distinct words: each with how many entries hold it, and each entry's words in their order, its
// description and the rest of what the entry view shows (the parameters and the examples) apart. The ranked search
// matches near spellings and word forms against the distinct words, and reads the entries' words, not the file.
//
// Made once for a command list, a block of the file at a time (WordTableBuilder), off the window's start: the window
// answers its user between the blocks.
#pragma once

#include "command_names.h"
#include "entry_blocks.h"
#include "entry_format.h"
#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korva::helpdata {

using WordId = std::uint32_t;

class WordTable
{
public:
    // What the table knows of one entry: its words (ids), and where its description stands in the file.
    struct Entry
    {
        std::uint32_t firstWord = 0;        // in the table's run of entries' words
        std::uint16_t descriptionWords = 0; // the description's, then the rest's
        std::uint16_t restWords = 0;
        std::uint32_t descriptionOffset = 0; // in the file
        std::uint16_t descriptionLength = 0; // bytes
        bool shown = false;                  // the entry view can show it; otherwise it holds no words
    };

    // The entries stand in the file order of the names the table was made from (CommandNames::InFileOrder).
    std::size_t EntryCount() const { return entries_.size(); }
    const Entry &EntryAt(std::size_t entry) const { return entries_[entry]; }
    std::span<const WordId> DescriptionWords(std::size_t entry) const;
    std::span<const WordId> RestWords(std::size_t entry) const;

    std::size_t WordCount() const { return starts_.size(); }
    // The word, folded (match_fold.h).
    std::string_view Word(WordId word) const;
    // How many entries hold it, in their description or the rest.
    std::uint32_t EntriesHolding(WordId word) const { return holding_[word]; }

    // The version of the list's items the table was made for (ListBox::ItemsVersion).
    std::uint64_t ListVersion() const { return listVersion_; }
    // The bytes the table takes, for the benchmarks.
    std::size_t MemoryBytes() const;

private:
    friend class WordTableBuilder;

    std::string bytes_;                 // the words, one after another
    std::vector<std::uint32_t> starts_; // each word's start in bytes_; its end is the next one's start
    std::vector<std::uint32_t> holding_;
    std::vector<Entry> entries_;
    std::vector<WordId> words_; // every entry's words, the entries one after another
    std::uint64_t listVersion_ = 0;
};

// Makes the word table of a command list's entries, reading the file a block at a time.
class WordTableBuilder
{
public:
    // The file is read in blocks of this many bytes.
    static constexpr std::uint32_t kBlockBytes = EntryBlocks::kBlockBytes;

    explicit WordTableBuilder(std::shared_ptr<const CommandNames> names);
    ~WordTableBuilder();
    WordTableBuilder(const WordTableBuilder &) = delete;
    WordTableBuilder &operator=(const WordTableBuilder &) = delete;

    // Reads on through the file, about `byteBudget` bytes of it at most (at least one block); yields whether the table
    // is done. A file that has changed since the list was built ends the work as stale: its offsets may point into
    // other content.
    bool Continue(platform::HelpFile &file, std::size_t byteBudget);
    bool Done() const { return blocks_.Done(); }
    bool Stale() const { return blocks_.Stale(); }
    // The table, once done and not stale; the builder holds nothing afterwards.
    std::shared_ptr<const WordTable> Take();
    // The names the table is made for.
    const std::shared_ptr<const CommandNames> &Names() const { return names_; }

private:
    class Words;

    void TakeEntry(std::size_t entry, std::string_view entryBytes, std::uint32_t entryOffset);
    // Takes the words of `text`, one of the entry's texts; yields how many it took.
    std::size_t TakeWords(std::size_t entry, std::string_view text);
    void Finish();

    std::shared_ptr<const CommandNames> names_;
    EntryBlocks blocks_;
    std::unique_ptr<Words> words_;
    std::unique_ptr<WordTable> table_;
    std::vector<std::uint32_t> lastHolder_; // each word's last entry counted among its holders, plus one
};

// The parts of an entry as the entry view shows them; where it can, marks `text` shown and records where its
// description stands in the file (the entry's bytes stand at `entryOffset`).
std::optional<EntryParts> ShownParts(WordTable::Entry &text, std::string_view entryBytes, std::uint32_t entryOffset);

// The whole table at once, for a reader that has no user waiting; nothing when the file changed under it.
std::shared_ptr<const WordTable> BuildWordTable(platform::HelpFile &file, std::shared_ptr<const CommandNames> names);

// Calls `word(start, length)` for each word of `text` (bytes of the data file): each run of bytes that fold to a letter
// or a digit.
template <typename Word>
void ForEachWord(std::string_view text, Word word);

} // namespace korva::helpdata

#include "match_fold.h"

namespace korva::helpdata {

template <typename Word>
void ForEachWord(std::string_view text, Word word)
{
    std::size_t start = 0;
    bool inWord = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool wordByte = IsWordByte(static_cast<unsigned char>(text[at]));
        if (wordByte && !inWord) {
            start = at;
        } else if (!wordByte && inWord) {
            word(start, at - start);
        }
        inWord = wordByte;
    }
    if (inWord) {
        word(start, text.size() - start);
    }
}

} // namespace korva::helpdata
