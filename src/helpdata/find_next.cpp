// SPDX-License-Identifier: MIT
#include "find_next.h"

#include "byte_scan.h"
#include "command_index.h"
#include "entry_view.h"
#include "format.h"
#include "index_refresh.h"
#include "platform/code_page.h"

#include <array>
#include <optional>
#include <string_view>

namespace korva::helpdata {

namespace {

using platform::IDC_COMMAND_LIST;
using platform::IDC_FIND;
using platform::IDC_SEARCH_TEXT;

constexpr auto npos = std::string_view::npos;

// The first LF of the chunk's last blank line (an LF followed by an LF), or npos.
std::size_t LastBlankLine(std::string_view chunk)
{
    for (std::size_t at = FindLastByte(chunk.substr(0, chunk.empty() ? 0 : chunk.size() - 1), '\n');
         at != npos && at > 0; at = FindLastByte(chunk.substr(0, at), '\n')) {
        if (chunk[at + 1] == '\n') {
            return at;
        }
    }
    return chunk.size() > 1 && chunk[0] == '\n' && chunk[1] == '\n' ? 0 : npos;
}

// What the walk back from a match finds, kept up to date as the matches move forward through one chunk, so that
// each byte is looked at once however many matches a line holds.
class WalkBack
{
public:
    explicit WalkBack(std::string_view text) : text_(text) {}

    // Brings the walk up to a match at `match` (never before the last one).
    void MoveTo(std::size_t match)
    {
        const std::string_view seen = text_.substr(0, match + 1);
        if (const std::size_t hash = FindLastByte(seen, kHeaderKind, next_); hash != npos) {
            lastHash_ = hash;
        }
        // The walk never takes the chunk's first byte for a line's end.
        if (const std::size_t lineFeed = FindLastByte(seen, '\n', std::max<std::size_t>(next_, 1)); lineFeed != npos) {
            lastLineFeed_ = lineFeed;
        }
        next_ = match + 1;
    }

    // The "#" the walk back from the match reaches: the entry's header if the match belongs to one.
    std::size_t Hash() const { return lastHash_; }
    // The LF that ends the line before the match's (or, for a match that begins with an LF, that LF), or npos.
    std::size_t LineFeed() const { return lastLineFeed_; }

    // True when the match lies in a line of kind "1" or "3" (and no "#" stands between the line's start and it).
    bool Excluded() const
    {
        if (lastLineFeed_ == npos || (lastHash_ != npos && lastHash_ > lastLineFeed_)) {
            return false;
        }
        const char kind = lastLineFeed_ + 1 < text_.size() ? text_[lastLineFeed_ + 1] : '\0';
        return IsHiddenFromSearch(kind);
    }

private:
    std::string_view text_;
    std::size_t next_ = 0;
    std::size_t lastHash_ = npos;
    std::size_t lastLineFeed_ = npos;
};

// The key a tap searches for: the search text's first 49 characters, up to a NUL, in the data file's code page.
// `held` says whether the code page has every character of them: one it lacks stands in no entry.
std::size_t SearchKey(const platform::Window &window, std::array<char, kSearchKeyBufferSize> &key, bool &held)
{
    std::array<char16_t, kSearchTextBufferSize> searchText;
    std::u16string_view typed(searchText.data(), window.GetControlText(IDC_SEARCH_TEXT, searchText));
    typed = typed.substr(0, typed.find(u'\0')); // a NUL ends the text, as it does every text the readers hold
    held = platform::CodePageHolds(typed);
    return platform::WideToAnsi(typed, key);
}

void EndPass(platform::Window &window, SearchState &state)
{
    state.fresh = true;
    window.SetControlText(IDC_FIND, kFindCaption);
    window.ShowMessage(kSearchCompleted);
}

} // namespace

SearchState &ProcessSearchState()
{
    static SearchState state;
    return state;
}

void ResetSearch(platform::Window &window)
{
    SearchState &state = ProcessSearchState();
    if (!state.fresh) {
        window.SetControlText(IDC_FIND, kFindCaption);
        state.fresh = true;
    }
}

namespace {

// The part of a chunk a tap searches, and how much of the file it consumes.
struct SearchedChunk
{
    std::string_view text;
    std::size_t consumed;
};

// Search up to the chunk's last blank line, so that every entry searched lies whole in the chunk, and continue from
// that blank line next. A chunk without one (the file's tail without a closing blank line, or an entry longer than a
// chunk) is searched whole and consumed but for its last byte, so that a blank line the chunk's end cuts in two is
// seen whole, with the header after it, in the next.
SearchedChunk SearchableText(std::string_view chunk)
{
    const std::size_t blank = LastBlankLine(chunk);
    if (blank != npos && blank > 0) {
        return {chunk.substr(0, blank + kBlankLine.size()), blank};
    }
    return {chunk, chunk.size() > 1 ? chunk.size() - 1 : chunk.size()};
}

// Where a match lies: the entry's header line and the blank line that closes the entry.
struct EntryMatch
{
    std::size_t header;
    std::size_t headerEnd;
    std::size_t close;
    std::size_t afterMatch;
};

// The matches of the key in a chunk's text that lie in an entry and outside its excluded lines, in order.
class ChunkMatches
{
public:
    ChunkMatches(const SearchedChunk &chunk, std::string_view key, bool startOfFile)
        : text_(chunk.text), consumed_(chunk.consumed), key_(key), walk_(text_),
          firstHeader_(startOfFile ? text_.find(kHeaderKind) : npos) // the file's first header
    {}

    std::optional<EntryMatch> Next()
    {
        while (cursor_ != npos) {
            const std::size_t match = text_.find(key_, cursor_);
            if (match == npos) {
                break;
            }
            walk_.MoveTo(match);
            if (walk_.Excluded()) {
                // Every later match in this line is excluded too, up to a "#" in it: go on after the line.
                cursor_ = std::min(text_.find('\n', std::max(match, walk_.LineFeed() + 1)),
                                   text_.find(kHeaderKind, match + 1));
                continue;
            }
            const std::optional<EntryMatch> entry = EntryOf(match);
            if (!entry) {
                // Text ahead of the first header, after a stray "#", or running past the entry's closing blank line:
                // so is every match up to the next "#".
                cursor_ = text_.find(kHeaderKind, match + 1);
                continue;
            }
            if (entry->headerEnd == npos) {
                break; // a header line the chunk cuts: not an entry the list can hold, nor is any after it
            }
            cursor_ = std::max(entry->close, entry->afterMatch); // where an entry the list lacks is passed over
            return entry;
        }
        cursor_ = npos;
        return std::nullopt;
    }

    std::string_view Text() const { return text_; }

private:
    // The entry that holds the match at `match`, when the walk back reaches a header and the match ends inside.
    std::optional<EntryMatch> EntryOf(std::size_t match) const
    {
        const std::size_t header = walk_.Hash();
        const bool isHeader =
            header != npos && (header == firstHeader_ ||
                               (header >= kBlankLine.size() && text_[header - 1] == '\n' && text_[header - 2] == '\n'));
        if (!isHeader) {
            return std::nullopt;
        }
        const std::size_t headerEnd = text_.find('\n', header);
        if (headerEnd == npos) {
            return EntryMatch{header, npos, npos, match + key_.size()};
        }
        // The blank line that closes the entry; the next tap continues there.
        const std::size_t blank = FindBlankLine(text_, headerEnd);
        const std::size_t close = blank == npos ? consumed_ : blank;
        if (match + key_.size() > close + kBlankLine.size()) {
            return std::nullopt;
        }
        return EntryMatch{header, headerEnd, close, match + key_.size()};
    }

    std::string_view text_;
    std::size_t consumed_;
    std::string_view key_;
    WalkBack walk_;
    std::size_t firstHeader_;
    std::size_t cursor_ = 0;
};

// The list's item for the entry that holds the match: the item of that entry's own offset, so that a command whose
// name another shares, or differs from only in case, is never shown in place of the entry found.
int ItemOf(const platform::ListBox &list, std::string_view text, const EntryMatch &match, std::uint32_t textStart)
{
    std::array<char16_t, kIndexNameBufferSize> name;
    const std::size_t nameLength =
        platform::AnsiToWide(CommandNameOf(text.substr(match.header, match.headerEnd - match.header)), name);
    return FindEntryAt(list, std::u16string_view(name.data(), nameLength),
                       textStart + static_cast<std::uint32_t>(match.headerEnd + 1));
}

// Starts a pass when none is under way: from the start of the file, the caption turned to "Next".
void StartPassIfFresh(platform::Window &window, SearchState &state)
{
    if (state.fresh) {
        state.position = 0;
        window.SetControlText(IDC_FIND, kNextCaption);
        state.fresh = false;
    }
}

} // namespace

bool FindNextEntry(const HelpContext &context)
{
    std::array<char, kSearchKeyBufferSize> keyBytes;
    bool held = true;
    const std::string_view key(keyBytes.data(), SearchKey(context.window, keyBytes, held));
    if (key.empty()) {
        return false;
    }
    RebuildIndexIfChanged(context); // a changed file starts a new pass
    SearchState &state = ProcessSearchState();
    StartPassIfFresh(context.window, state);
    if (!held) {
        // Its stand-in, a '?', is in many a file: searched for, it would show entries that do not hold the text.
        EndPass(context.window, state);
        return false;
    }

    platform::ListBox &list = context.window.ListBoxById(IDC_COMMAND_LIST);
    // Each chunk starts where the previous one was consumed; a read at or past the file's end yields nothing.
    context.file.Seek(state.position);
    for (bool firstChunk = true;; firstChunk = false) {
        if (!firstChunk) {
            context.file.SeekBack(context.file.Position() - state.position);
        }
        const std::uint32_t count = context.file.Read(context.buffer.Chunk());
        if (count == 0) {
            EndPass(context.window, state);
            return false;
        }
        const SearchedChunk chunk = SearchableText(std::string_view(context.buffer.Data(), count));
        ChunkMatches matches(chunk, key, state.position == 0);
        while (const std::optional<EntryMatch> match = matches.Next()) {
            const int found = ItemOf(list, matches.Text(), *match, state.position);
            if (found != platform::kNoItem) {
                state.position += static_cast<std::uint32_t>(match->close);
                list.SetCurSel(found);
                // Marked where it stands, as the entry shows it.
                std::array<char16_t, kSearchKeyBufferSize> marked;
                ShowSelectedEntry(context, std::u16string_view(marked.data(), platform::AnsiToWide(key, marked)));
                return true;
            }
        }
        state.position += static_cast<std::uint32_t>(chunk.consumed);
    }
}

} // namespace korva::helpdata
