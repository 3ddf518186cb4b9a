// SPDX-License-Identifier: MIT
#include "find_next.h"

#include "byte_scan.h"
#include "command_index.h"
#include "entry_view.h"
#include "format.h"
#include "platform/code_page.h"

#include <array>
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
    for (std::size_t at = FindLastByte(chunk.substr(0, chunk.size() > 0 ? chunk.size() - 1 : 0), '\n');
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
        return kind == kHiddenKindOne || kind == kHiddenKindThree;
    }

private:
    std::string_view text_;
    std::size_t next_ = 0;
    std::size_t lastHash_ = npos;
    std::size_t lastLineFeed_ = npos;
};

// The key a tap searches for: the search text's first 49 characters, up to a NUL, in the data file's code page.
std::size_t SearchKey(const platform::Window &window, std::array<char, kSearchKeyBufferSize> &key)
{
    std::array<char16_t, kSearchTextBufferSize> searchText;
    std::u16string_view typed(searchText.data(), window.GetControlText(IDC_SEARCH_TEXT, searchText));
    typed = typed.substr(0, typed.find(u'\0')); // a NUL ends the text, as it does every text the readers hold
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

std::u16string SearchedText(const platform::Window &window)
{
    std::array<char, kSearchKeyBufferSize> key;
    const std::size_t length = SearchKey(window, key);
    std::array<char16_t, kSearchKeyBufferSize> text;
    return std::u16string(text.data(), platform::AnsiToWide(std::string_view(key.data(), length), text));
}

bool FindNextEntry(const HelpContext &context)
{
    std::array<char, kSearchKeyBufferSize> keyBytes;
    const std::string_view key(keyBytes.data(), SearchKey(context.window, keyBytes));
    if (key.empty()) {
        return false;
    }

    RebuildIndexIfChanged(context); // a changed file starts a new pass
    SearchState &state = ProcessSearchState();
    if (state.fresh) {
        state.position = 0;
        context.window.SetControlText(IDC_FIND, kNextCaption);
        state.fresh = false;
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
        const std::string_view chunk(context.buffer.Data(), count);

        // Search up to the chunk's last blank line, so that every entry searched lies whole in the chunk, and
        // continue from that blank line next. A chunk without one (the file's tail without a closing blank line, or
        // an entry longer than a chunk) is searched whole and consumed but for its last byte, so that a blank line
        // the chunk's end cuts in two is seen whole, with the header after it, in the next.
        std::string_view text = chunk;
        std::size_t consumed = count > 1 ? count - 1 : count;
        const std::size_t blank = LastBlankLine(chunk);
        if (blank != npos && blank > 0) {
            text = chunk.substr(0, blank + kBlankLine.size());
            consumed = blank;
        }
        // In the chunk read from the start of the file, its first "#" is the file's first header.
        const std::size_t firstHeader = state.position == 0 ? text.find(kHeaderKind) : npos;

        WalkBack walk(text);
        std::size_t cursor = 0;
        for (;;) {
            const std::size_t match = text.find(key, cursor);
            if (match == npos) {
                break;
            }
            const std::size_t afterMatch = match + key.size();
            walk.MoveTo(match);
            if (walk.Excluded()) {
                // Every later match in this line is excluded too, up to a "#" in it: go on after the line.
                const std::size_t lineEnd = text.find('\n', std::max(match, walk.LineFeed() + 1));
                const std::size_t hash = text.find(kHeaderKind, match + 1);
                cursor = std::min(lineEnd, hash);
                if (cursor == npos) {
                    break;
                }
                continue;
            }
            const std::size_t header = walk.Hash();
            const bool isHeader =
                header != npos &&
                (header == firstHeader || (header >= kBlankLine.size() &&
                                           text.substr(header - kBlankLine.size(), kBlankLine.size()) == kBlankLine));
            if (!isHeader) {
                // Text ahead of the first header, or after a stray "#": so is every match up to the next "#".
                cursor = text.find(kHeaderKind, match + 1);
                if (cursor == npos) {
                    break;
                }
                continue;
            }
            const std::size_t headerEnd = text.find('\n', header);
            if (headerEnd == npos) {
                break; // a header line the chunk cuts: not an entry the list can hold, nor is any after it
            }
            // The blank line that closes the entry; the next tap continues there.
            std::size_t close = text.find(kBlankLine, headerEnd);
            if (close == npos) {
                close = consumed;
            }
            if (afterMatch > close + kBlankLine.size()) {
                // The match runs past the entry's closing blank line: no entry holds it, nor any match up to the
                // next "#".
                cursor = text.find(kHeaderKind, match + 1);
                if (cursor == npos) {
                    break;
                }
                continue;
            }

            std::array<char16_t, kSearchNameBufferSize> name;
            const std::size_t nameLength =
                platform::AnsiToWide(CommandNameOf(text.substr(header, headerEnd - header)), name);
            const int found = list.FindString(std::u16string_view(name.data(), nameLength));
            if (found == platform::kNoItem) {
                cursor = std::max(close, afterMatch); // an entry the list does not hold: go on after it
                continue;
            }
            state.position += static_cast<std::uint32_t>(close);
            list.SetCurSel(found);
            ShowSelectedEntry(context);
            return true;
        }
        state.position += static_cast<std::uint32_t>(consumed);
    }
}

} // namespace korva::helpdata
