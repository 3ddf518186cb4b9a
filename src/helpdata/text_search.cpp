// SPDX-License-Identifier: MIT
#include "text_search.h"

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

// Where the walk back from a match ended, and whether the match counts.
struct Classification
{
    bool excluded;
    std::size_t stop;
};

// Walks back from the match to the start of its line; a match in a line of kind "1" or "3" is excluded. The walk
// stops early at a "#" (the match lies in a header line) and at the start of the chunk.
Classification Classify(std::string_view text, std::size_t match)
{
    if (text[match] == kHeaderKind) {
        return {false, match};
    }
    std::size_t pointer = match;
    for (;;) {
        if (pointer == 0) {
            return {false, 0};
        }
        if (text[pointer] == '\n') {
            const char kind = pointer + 1 < text.size() ? text[pointer + 1] : '\0';
            return {kind == kHiddenKindOne || kind == kHiddenKindThree, pointer};
        }
        --pointer;
        if (text[pointer] == kHeaderKind) {
            return {false, pointer};
        }
    }
}

// True when the "#" at `at` starts an entry: it follows a blank line, or it is the file's first "#" (in the chunk
// read from the start of the file, the chunk's first "#").
bool IsHeader(std::string_view text, std::size_t at, bool chunkAtFileStart)
{
    if (at >= kBlankLine.size() && text.substr(at - kBlankLine.size(), kBlankLine.size()) == kBlankLine) {
        return true;
    }
    return chunkAtFileStart && text.find(kHeaderKind) == at;
}

// The first LF of the chunk's last blank line (an LF followed by an LF), or npos. Scans forward from LF to LF, which
// the library does a block at a time, rather than walking back byte by byte.
std::size_t LastBlankLine(std::string_view chunk)
{
    std::size_t last = npos;
    for (std::size_t at = chunk.find('\n'); at != npos && at + 1 < chunk.size(); at = chunk.find('\n', at + 1)) {
        if (chunk[at + 1] == '\n') {
            last = at;
        }
    }
    return last;
}

void EndPass(platform::Window &window, SearchState &state)
{
    state.fresh = true;
    window.SetWindowText(IDC_FIND, kFindCaption);
    window.MessageBox(kSearchCompleted);
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
        window.SetWindowText(IDC_FIND, kFindCaption);
        state.fresh = true;
    }
}

void OnChangeSearchText(platform::Window &window)
{
    ResetSearch(window);
}

void OnFind(const HelpContext &context)
{
    std::array<char16_t, kSearchTextBufferSize> searchText;
    std::u16string_view typed(searchText.data(), context.window.GetWindowText(IDC_SEARCH_TEXT, searchText));
    typed = typed.substr(0, typed.find(u'\0')); // a NUL ends the text, as it does every text the readers hold
    if (typed.empty()) {
        return;
    }
    std::array<char, kSearchKeyBufferSize> keyBytes;
    const std::size_t keyLength = platform::WideToAnsi(typed, keyBytes);
    const std::string_view key(keyBytes.data(), keyLength);

    SearchState &state = ProcessSearchState();
    if (state.fresh) {
        state.position = 0;
        context.window.SetWindowText(IDC_FIND, kNextCaption);
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
            return;
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

        std::size_t cursor = 0;
        for (;;) {
            const std::size_t match = text.find(key, cursor);
            if (match == npos) {
                break;
            }
            const std::size_t afterMatch = match + key.size();
            const Classification where = Classify(text, match);
            if (where.excluded) {
                cursor = afterMatch;
                continue;
            }
            const std::size_t header = text.rfind(kHeaderKind, where.stop);
            if (header == npos || !IsHeader(text, header, state.position == 0)) {
                cursor = afterMatch; // text ahead of the first header, or a stray "#"
                continue;
            }
            const std::size_t headerEnd = text.find('\n', header);
            if (headerEnd == npos) {
                cursor = afterMatch; // a header line the chunk cuts: not an entry the list can hold
                continue;
            }
            // The blank line that closes the entry; the next tap continues there.
            std::size_t close = text.find(kBlankLine, headerEnd);
            if (close == npos) {
                close = consumed;
            }
            if (afterMatch > close + kBlankLine.size()) {
                cursor = afterMatch; // the match runs past the entry's closing blank line: no entry holds it
                continue;
            }

            std::string_view nameBytes = text.substr(header, headerEnd - header);
            nameBytes = nameBytes.size() > kHeaderSkip ? nameBytes.substr(kHeaderSkip) : std::string_view();
            nameBytes = nameBytes.substr(0, nameBytes.find('\0'));
            std::array<char16_t, kSearchNameBufferSize> name;
            const std::size_t nameLength = platform::AnsiToWide(nameBytes, name);
            const int found = list.FindString(std::u16string_view(name.data(), nameLength));
            if (found == platform::kNoItem) {
                cursor = std::max(close, afterMatch); // an entry the list does not hold: go on after it
                continue;
            }
            state.position += static_cast<std::uint32_t>(close);
            list.SetCurSel(found);
            OnSelchangeCommandList(context);
            return;
        }
        state.position += static_cast<std::uint32_t>(consumed);
    }
}

} // namespace korva::helpdata
