// SPDX-License-Identifier: MIT
#include "terminal_reference.h"

#include "helpdata/command_index.h"
#include "helpdata/command_names.h"
#include "helpdata/entry_format.h"
#include "helpdata/ranked_search.h"
#include "helpdata/read_buffer.h"
#include "platform/console.h"
#include "platform/sorted_list_box.h"
#include "platform/unicode.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korva::terminal {

namespace {

// A file that changes while it is read is read again, this many times at most.
constexpr int kReadAttempts = 3;
// --apropos reads the descriptions of this many results at a time, in the order they stand in the file, then writes
// their lines: its memory is bounded by a block (a description is a chunk at most), not by the results.
constexpr std::size_t kResultsABlock = 2048;
// Descriptions that stand this close to each other are taken from one read of the file, of this many bytes at most:
// reading the bytes between them costs less than a read of their own (and the look at the file that comes with it).
constexpr std::uint64_t kReadAcross = std::uint64_t{16} * 1024;
constexpr std::uint64_t kMostARead = std::uint64_t{64} * 1024;

// What an answer writes, kept until the file is known not to have changed under it.
struct Answered
{
    int status = kFound;
    std::string out;
    std::string err;
};

// What the user typed, as messages quote it: control characters shown, never sent.
std::string Quoted(std::string_view text)
{
    return "'" + platform::ShownArgument(text) + "'";
}

std::string NameOf(const platform::ListBox &list, int item, bool shown)
{
    return Utf8(list.GetText(item), shown);
}

Answered PrintEntry(const std::string &name, platform::HelpFile &file, const platform::ListBox &list,
                    const Output &output)
{
    Answered answered;
    const std::u16string wanted = platform::Utf16OfUtf8(name);
    const int item = helpdata::FindCommand(list, wanted);
    if (item == platform::kNoItem) {
        answered.status = kNothingFound;
        answered.err = "korva-reference: no command is named or begins with " + Quoted(name);
        const auto ranked = helpdata::FindRanked(file, list, wanted);
        for (std::size_t i = 0; ranked && i < std::min(ranked->results.size(), kSuggestions); ++i) {
            answered.err += (i == 0 ? "; did you mean: " : ", ") + NameOf(list, ranked->results[i].item, true);
        }
        answered.err += ranked && !ranked->results.empty() ? "?\n" : "\n";
        return answered;
    }
    helpdata::ReadBuffer buffer;
    const std::optional<helpdata::EntryParts> parts =
        helpdata::ParseEntry(helpdata::ReadEntryBytes(file, buffer, list.GetItemData(item)));
    if (!parts) {
        answered.status = kCannotRead;
        answered.err = "korva-reference: the entry of '" + NameOf(list, item, true) +
                       "' cannot be shown: the data file breaks its form there (korvadoc-check says where)\n";
        return answered;
    }
    helpdata::EntryText text;
    helpdata::ComposeEntryText(*parts, text);
    // The window's CR LF line breaks as a terminal's LF; the entry's own bytes stay as they are.
    std::u16string lines;
    const std::u16string_view composed = text.View();
    for (std::size_t at = 0; at < composed.size(); ++at) {
        if (composed.substr(at, helpdata::kLineBreak.size()) == helpdata::kLineBreak) {
            lines += u'\n';
            ++at;
        } else {
            lines += composed[at];
        }
    }
    if (lines.empty() || lines.back() != u'\n') {
        lines += u'\n';
    }
    answered.out = Utf8(lines, output.terminal);
    return answered;
}

// Writes every name straight out, a block at a time: a list of names holds no entry's text that a change of the file
// could set beside another name, so nothing waits to be written until the file is known to hold still.
void WriteNames(const platform::SortedListBox &list, const Output &output, std::ostream &out)
{
    constexpr std::size_t kBlock = std::size_t{64} * 1024;
    std::string block;
    block.reserve(kBlock + 1024);
    std::u16string name;
    list.Items().ForEachCode([&](int item, std::string_view code) {
        if (std::all_of(code.begin(), code.end(), [](char byte) { return byte >= 0x20 && byte < 0x7F; })) {
            block += code; // printable ASCII, most names, stands for itself
        } else {
            list.Items().TextInto(item, name);
            AppendUtf8(name, output.terminal, block);
        }
        block += '\n';
        if (block.size() >= kBlock) {
            out << block;
            block.clear();
        }
    });
    out << block;
}

// How writing the ranked results ended.
enum class Written
{
    All,
    Nothing,     // the file changed before a line was written: to be read again
    OnlyTheFirst // the file changed after lines were written: those stand, the rest are not
};

// Writes a "NAME - DESCRIPTION" line a result, in the results' order: the descriptions of a block of results read
// from the places the search recorded, in file order, the block's lines written once the file is known not to have
// changed.
Written WriteResults(const std::vector<helpdata::RankedResult> &results, platform::HelpFile &file,
                     const platform::ListBox &list, const Output &output, std::ostream &out)
{
    struct Place
    {
        std::uint32_t offset;
        std::uint32_t length;
        std::size_t result; // in the block
    };
    std::vector<Place> places;
    std::vector<std::string> descriptions(std::min(results.size(), kResultsABlock));
    for (std::size_t first = 0; first < results.size(); first += kResultsABlock) {
        const std::size_t last = std::min(results.size(), first + kResultsABlock);
        places.clear();
        for (std::size_t i = first; i < last; ++i) {
            descriptions[i - first].clear();
            if (results[i].descriptionKnown && results[i].descriptionLength > 0) {
                places.push_back({results[i].descriptionOffset, results[i].descriptionLength, i - first});
            }
        }
        std::sort(places.begin(), places.end(), [](const Place &a, const Place &b) { return a.offset < b.offset; });
        for (std::size_t next = 0; next < places.size();) {
            // One read from this place, across the places close after it.
            const std::uint32_t start = places[next].offset;
            std::uint64_t end = std::uint64_t{start} + places[next].length;
            std::size_t across = next + 1;
            for (; across < places.size(); ++across) {
                const std::uint64_t placeEnd = std::uint64_t{places[across].offset} + places[across].length;
                if (places[across].offset > end + kReadAcross || placeEnd - start > kMostARead) {
                    break;
                }
                end = std::max(end, placeEnd);
            }
            file.Seek(start);
            const std::span<const char> read = file.ReadView(static_cast<std::uint32_t>(end - start));
            for (; next < across; ++next) {
                const std::size_t at = places[next].offset - start;
                if (at < read.size()) {
                    descriptions[places[next].result].assign(
                        read.data() + at, std::min<std::size_t>(places[next].length, read.size() - at));
                }
            }
        }
        if (file.ContentChanged()) {
            return first == 0 ? Written::Nothing : Written::OnlyTheFirst;
        }
        for (std::size_t i = first; i < last; ++i) {
            ShownLine line(output);
            line.Append(list.GetText(results[i].item));
            if (results[i].descriptionKnown && results[i].descriptionLength > 0) {
                line.AppendText(" - ");
                line.AppendAnsi(descriptions[i - first]);
            }
            out << line.Text() << '\n';
        }
    }
    return Written::All;
}

} // namespace

int Respond(const Request &request, platform::HelpFile &file, const Output &output, std::ostream &out,
            std::ostream &err)
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        platform::SortedListBox list;
        helpdata::BuildIndex(file, list);
        if (request.kind == Request::Kind::List) {
            if (file.ContentChanged()) {
                continue;
            }
            WriteNames(list, output, out);
            return kFound;
        }
        if (request.kind == Request::Kind::Print) {
            const Answered answered = PrintEntry(request.text, file, list, output);
            if (file.ContentChanged()) {
                continue;
            }
            out << answered.out;
            err << answered.err;
            return answered.status;
        }
        const auto ranked = helpdata::FindRanked(file, list, platform::Utf16OfUtf8(request.text));
        if (!ranked) {
            continue; // the file changed under the search
        }
        if (ranked->results.empty()) {
            err << "korva-reference: nothing found for " << Quoted(request.text) << "\n";
            return kNothingFound;
        }
        switch (WriteResults(ranked->results, file, list, output, out)) {
        case Written::All:
            if (ranked->mostWords) {
                err << "korva-reference: no command holds all of these words; " << ranked->results.size()
                    << " closest\n";
            }
            return kFound;
        case Written::Nothing:
            continue;
        case Written::OnlyTheFirst:
            err << "korva-reference: the data file changed while the results were written; the lines written stand, "
                   "the rest were not written\n";
            return kCannotRead;
        }
    }
    err << "korva-reference: the data file kept changing while it was read\n";
    return kCannotRead;
}

} // namespace korva::terminal
