// SPDX-License-Identifier: MIT
#include "engine_exerciser.h"

#include "helpdata/command_index.h"
#include "helpdata/entry_format.h"
#include "helpdata/entry_view.h"
#include "helpdata/find_next.h"
#include "helpdata/format.h"
#include "helpdata/match_fold.h"
#include "helpdata/ranked_search.h"
#include "helpdata/see_also.h"
#include "helpdata/word_table.h"
#include "platform/code_page.h"
#include "platform/memory/memory_platform.h"
#include "platform/unicode.h"

#include <algorithm>
#include <array>
#include <optional>

namespace korva::helpdata::testing {

namespace {

using platform::IDC_COMMAND_LIST;

struct Engine
{
    explicit Engine(const std::string &bytes) : file(bytes)
    {
        ProcessSearchState() = SearchState{};
        file.Open("korvadoc");
        BuildIndex(file, window.commandList);
        ResetSearch(window);
    }

    platform::MemoryHelpFile file;
    ReadBuffer buffer;
    platform::MemoryWindow window;
    HelpContext context{file, buffer, window};
};

std::string Describe(const std::u16string &text)
{
    std::string narrow;
    for (const char16_t unit : text.substr(0, 40)) {
        narrow += unit >= 0x20 && unit < 0x7F ? static_cast<char>(unit) : '.';
    }
    return "'" + narrow + (text.size() > 40 ? "...'" : "'");
}

void CheckList(const std::string &bytes, const platform::MemoryListBox &list, std::vector<std::string> &problems)
{
    const auto hashes = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '#'));
    if (static_cast<std::size_t>(list.GetCount()) > hashes) {
        problems.push_back("the list holds more items than the file has '#' bytes");
    }
    std::u16string previous;
    std::u16string text;
    for (int i = 0; i < list.GetCount(); ++i) {
        list.Items().TextInto(i, text);
        if (i > 0 && platform::CompareFolded(previous, text) > 0) {
            problems.push_back("items " + std::to_string(i - 1) + " and " + std::to_string(i) + " are out of order");
        }
        const std::uint32_t offset = list.GetItemData(i);
        if (offset == 0 || offset > bytes.size() || bytes[offset - 1] != '\n') {
            problems.push_back("item " + Describe(text) + " has EntryOffset " + std::to_string(offset) +
                               ", not just after an LF in the file");
        }
        previous.swap(text);
    }
}

// The last "#" before `end` that starts an entry: the file's first "#", or one after a blank line.
std::size_t LastHeaderBefore(const std::string &bytes, std::size_t end)
{
    const std::size_t first = bytes.find('#');
    for (std::size_t at = end; at-- > 0;) {
        if (bytes[at] == '#' && (at == first || (at >= 2 && bytes[at - 1] == '\n' && bytes[at - 2] == '\n'))) {
            return at;
        }
    }
    return std::string::npos;
}

// True when `key` occurs in bytes [from, to) at a place the search may report: not in a line of kind "1" or "3".
bool HoldsReportable(const std::string &bytes, std::size_t from, std::size_t to, const std::string &key)
{
    for (std::size_t at = bytes.find(key, from); at != std::string::npos && at + key.size() <= to;
         at = bytes.find(key, at + 1)) {
        const std::size_t lineFeed = bytes.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t lineStart = (lineFeed == std::string::npos || lineFeed < from) ? from : lineFeed + 1;
        if (bytes[at] == '\n') { // a key that starts with an LF starts on the line that LF ends
            return true;
        }
        if (bytes[lineStart] != '1' && bytes[lineStart] != '3') {
            return true;
        }
        // A "#" between the line's start and the match makes the walk back take it for a header line.
        if (bytes.find('#', lineStart) < at) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<std::string> CheckIndexScan(const std::string &bytes)
{
    std::vector<std::string> problems;
    Engine engine(bytes);
    CheckList(bytes, engine.window.commandList, problems);
    if (!engine.window.commandList.Redraw()) {
        problems.push_back("redrawing of the list stayed off");
    }
    return problems;
}

std::vector<std::string> CheckEntryViews(const std::string &bytes, const ExerciseLimits &limits)
{
    std::vector<std::string> problems;
    Engine engine(bytes);
    platform::MemoryWindow &window = engine.window;
    CheckList(bytes, window.commandList, problems);

    const auto count = static_cast<std::size_t>(window.commandList.GetCount());
    for (std::size_t i = 0; i < std::min(count, limits.entries); ++i) {
        window.commandList.SetCurSel(static_cast<int>(i));
        const int sets = window.entryTextSets;
        ShowSelectedEntry(engine.context);
        const std::u16string &text = window.entryText.text;
        if (window.entryTextSets != sets + 1) {
            problems.push_back("selecting " + Describe(window.commandList.GetText(static_cast<int>(i))) +
                               " left the entry text as it was");
        }
        // What is shown comes from the selected entry: its first line stands in the bytes the entry view read.
        std::array<char, 41> firstLine;
        const std::size_t firstLineLength =
            platform::WideToAnsi(std::u16string_view(text).substr(0, text.find(u'\r')).substr(0, 40), firstLine);
        const std::size_t offset = window.commandList.GetItemData(static_cast<int>(i));
        if (offset <= bytes.size() &&
            std::string_view(bytes)
                    .substr(offset, kChunkSize)
                    .find(std::string_view(firstLine.data(), firstLineLength)) == std::string::npos) {
            problems.push_back("entry " + Describe(window.commandList.GetText(static_cast<int>(i))) +
                               " shows text that is not its own: " + Describe(text));
        }
        const std::vector<std::u16string> &shown = window.seeAlso.Items();
        const std::vector<std::u16string> names = shown.empty() ? std::vector<std::u16string>() : shown;
        if (std::find(names.begin(), names.end(), std::u16string()) != names.end()) {
            problems.push_back("an empty see-also name is offered");
        }
        if (window.seeAlsoEnabled != !names.empty() && window.entryTextSets > 0) {
            problems.push_back("the see-also list is enabled with no name in it, or disabled with names");
        }
        // Each jump from this entry's list, put back as it was without showing the entry again.
        for (std::size_t s = 0; s < std::min(names.size(), limits.seeAlsoPerEntry); ++s) {
            window.seeAlso.ResetContent();
            for (const auto &name : names) {
                window.seeAlso.AddString(name);
            }
            window.seeAlso.Pick(static_cast<int>(s));
            JumpToSeeAlso(engine.context);
            const int selected = window.commandList.GetCurSel();
            if (selected < 0 || !platform::StartsWithFolded(window.commandList.GetText(selected), names[s])) {
                problems.push_back("choosing see-also name " + Describe(names[s]) +
                                   " selected no command beginning with it");
            }
        }
    }
    return problems;
}

std::vector<std::string> CheckSearchPass(const std::string &bytes, const std::u16string &searchText)
{
    std::vector<std::string> problems;
    Engine engine(bytes);
    platform::MemoryWindow &window = engine.window;
    window.searchText = searchText;
    ResetSearch(window);

    // The key as the search forms it.
    std::array<char16_t, kSearchTextBufferSize> buffer;
    std::u16string_view text(buffer.data(), window.GetControlText(platform::IDC_SEARCH_TEXT, buffer));
    text = text.substr(0, text.find(u'\0'));
    std::array<char, kSearchKeyBufferSize> keyBytes;
    const std::string key(keyBytes.data(), platform::WideToAnsi(text, keyBytes));
    const bool held = platform::CodePageHolds(text);

    const std::size_t limit = static_cast<std::size_t>(window.commandList.GetCount()) + 2;
    for (std::size_t tap = 1;; ++tap) {
        if (tap > limit) {
            problems.push_back("the pass did not end within " + std::to_string(limit) + " taps");
            break;
        }
        const std::size_t messages = window.messages.size();
        window.commandList.SetCurSel(platform::kNoItem);
        FindNextEntry(engine.context);
        if (key.empty()) {
            if (window.messages.size() != messages || window.commandList.GetCurSel() != platform::kNoItem) {
                problems.push_back("an empty search text did something");
            }
            break;
        }
        if (window.messages.size() > messages) {
            if (window.messages.back() != kSearchCompleted || window.findCaption != kFindCaption) {
                problems.push_back("the pass ended without \"Search completed\" and the caption \"Find\"");
            }
            break;
        }
        if (window.findCaption != kNextCaption) {
            problems.push_back("the caption is not \"Next\" during a pass");
        }
        if (window.commandList.GetCurSel() == platform::kNoItem) {
            problems.push_back("a tap neither reported an entry nor ended the pass");
            break;
        }
        if (!held) {
            problems.push_back("a text with a character the code page lacks was found");
            break;
        }
        // The reported entry ends with the blank line where the next tap starts; it begins at the last header
        // before that.
        const std::size_t end = std::min<std::size_t>(ProcessSearchState().position + 2, bytes.size());
        const std::size_t header = LastHeaderBefore(bytes, end);
        if (header == std::string::npos || !HoldsReportable(bytes, header, end, key)) {
            problems.push_back("tap " + std::to_string(tap) + " reported an entry that does not hold the text");
        }
    }
    return problems;
}

namespace {

// Into `texts`: the texts of an entry the search reads, folded, as the entry view reads them and by no code of the
// search's: its name, then its description, parameters and example lines (but those of kind "1" and "3"), each after
// a NUL, which no word holds, so that a word is found within one text or not at all.
void FoldTexts(platform::MemoryHelpFile &file, ReadBuffer &buffer, const platform::MemoryListBox &list, int item,
               std::string &texts, std::u16string &nameText)
{
    texts.clear();
    const auto fold = [&texts](std::string_view text) {
        const std::size_t at = texts.size() + 1;
        texts.resize(at + text.size());
        std::transform(text.begin(), text.end(), texts.begin() + static_cast<std::ptrdiff_t>(at), FoldByte);
    };
    std::array<char, kIndexNameBufferSize> name;
    list.Items().TextInto(item, nameText);
    fold(std::string_view(name.data(), platform::WideToAnsi(nameText, name)));
    const std::optional<EntryParts> parts = ParseEntry(ReadEntryBytes(file, buffer, list.GetItemData(item)));
    if (!parts) {
        return;
    }
    fold(parts->description);
    if (parts->hasParameters) {
        fold(parts->parameters);
        ForEachExampleLine(*parts, [&](std::string_view line) {
            if (!line.empty() && !IsHiddenFromSearch(line.front())) {
                fold(line);
            }
        });
    }
}

// The query's words the obvious way: its characters in the code page, folded, cut at every byte no letter or digit;
// a word with a character the code page lacks is one no text holds.
std::vector<std::string> NaiveWords(const std::u16string &query)
{
    std::vector<std::string> words(1);
    std::vector<bool> lacking(1, false);
    for (std::size_t at = 0; at < std::min(query.size(), Query::kMaxUnits);) {
        const char16_t unit = query[at];
        const std::optional<char32_t> character = platform::NextUtf16Character(query, at);
        if (unit >= 0x0300 && unit <= 0x036F) {
            continue; // a combining accent
        }
        const char byte = character ? platform::WideCharToAnsi(*character) : platform::kDefaultAnsiChar;
        const bool lacks = byte == platform::kDefaultAnsiChar && character != U'?';
        const char folded = FoldByte(byte);
        const bool space = unit == u' ' || unit == u'\t' || unit == 0xA0;
        if (!space && (lacks || IsWordByte(static_cast<unsigned char>(folded)))) {
            words.back() += folded;
            lacking.back() = lacking.back() || lacks;
        } else if (!words.back().empty()) {
            words.emplace_back();
            lacking.push_back(false);
        }
    }
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < words.size() && kept.size() < Query::kMaxWords; ++i) {
        if (!words[i].empty()) {
            kept.push_back(lacking[i] ? std::string() : words[i]); // empty: held by no text
        }
    }
    return kept;
}

// True when one of `texts` holds `word` as typed, inside a longer word or not.
bool HoldsAsTyped(const std::string &texts, const std::string &word)
{
    return !word.empty() && texts.find(word) != std::string::npos;
}

} // namespace

std::vector<std::string> CheckRankedResults(const std::string &bytes, const std::u16string &query)
{
    std::vector<std::string> problems;
    Engine engine(bytes);
    const auto names = std::make_shared<const CommandNames>(engine.window.commandList);
    RankedSearch search(names, query);
    // The word table a block at a time, then the ranking a part at a time, as the window does them.
    WordTableBuilder builder(names);
    for (std::size_t blocks = 0; !builder.Continue(engine.file, 1); ++blocks) {
        if (blocks > bytes.size()) {
            problems.push_back("the word table was never done");
            return problems;
        }
    }
    std::shared_ptr<const WordTable> table = builder.Take();
    if (table == nullptr) {
        problems.push_back("the word table of a file that did not change is stale");
        return problems;
    }
    search.ReadTable(table);
    for (std::size_t parts = 0; !search.Continue(); ++parts) {
        if (parts > bytes.size() + 64) {
            problems.push_back("the search did not end");
            return problems;
        }
    }
    const std::vector<RankedResult> results = search.Results();
    // Read from the file whole, without a table, as the terminal reads it: the same results, in the same order.
    const std::optional<RankedResults> read = FindRanked(engine.file, names, query);
    if (!read || read->results != results || read->mostWords != search.MostWords()) {
        problems.push_back("the search of the file gives other results than the search of the word table");
    }
    const int count = names->Count();
    std::vector<std::size_t> place(static_cast<std::size_t>(count), results.size());
    ReadBuffer buffer;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const RankedResult &result = results[i];
        if (result.item < 0 || result.item >= count || place[static_cast<std::size_t>(result.item)] < results.size()) {
            problems.push_back("a result is no item of the list, or stands twice");
            return problems;
        }
        place[static_cast<std::size_t>(result.item)] = i;
        if (result.descriptionKnown) {
            // The place the search recorded holds the description the entry view shows.
            const std::optional<EntryParts> parts = ParseEntry(ReadEntryBytes(engine.file, buffer, result.entryOffset));
            const std::string_view recorded =
                std::string_view(engine.file.Bytes())
                    .substr(std::min<std::size_t>(result.descriptionOffset, bytes.size()), result.descriptionLength);
            if (!parts || parts->description != recorded) {
                problems.push_back("result " + std::to_string(i) + " records another place than its description's");
            }
        }
    }
    // Found the obvious way: the entries whose name or shown text holds every word as typed. Each is a result, and
    // stands above every result that misses a word: one that holds a word in no way, neither as typed nor in another
    // form or spelling (as the result says of itself).
    const std::vector<std::string> words = NaiveWords(query);
    std::size_t lowestHoldingAll = 0;
    bool anyHoldsAll = false;
    std::vector<bool> holdsAll(static_cast<std::size_t>(count), false);
    std::string texts;
    std::u16string nameText;
    for (int item = 0; item < count && !words.empty(); ++item) {
        FoldTexts(engine.file, buffer, engine.window.commandList, item, texts, nameText);
        holdsAll[static_cast<std::size_t>(item)] = std::all_of(
            words.begin(), words.end(), [&texts](const std::string &word) { return HoldsAsTyped(texts, word); });
        if (!holdsAll[static_cast<std::size_t>(item)]) {
            continue;
        }
        anyHoldsAll = true;
        if (place[static_cast<std::size_t>(item)] == results.size()) {
            problems.push_back("item " + std::to_string(item) + " holds every word but is no result");
            return problems;
        }
        lowestHoldingAll = std::max(lowestHoldingAll, place[static_cast<std::size_t>(item)]);
    }
    for (std::size_t i = 0; anyHoldsAll && i < lowestHoldingAll; ++i) {
        if (!holdsAll[static_cast<std::size_t>(results[i].item)] && results[i].wordsHeld < words.size()) {
            problems.push_back("result " + std::to_string(i) +
                               " misses a word but stands above an entry that holds every one");
            break;
        }
    }
    return problems;
}

} // namespace korva::helpdata::testing
