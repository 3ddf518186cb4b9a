// SPDX-License-Identifier: MIT
#include "terminal_reference.h"

#include "helpdata/command_index.h"
#include "helpdata/entry_format.h"
#include "helpdata/entry_view.h"
#include "helpdata/ranked_search.h"
#include "helpdata/read_buffer.h"
#include "platform/code_page.h"
#include "platform/sorted_list_box.h"
#include "platform/unicode.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

namespace korva::terminal {

namespace {

// A file that changes while it is read is read again, this many times at most.
constexpr int kReadAttempts = 3;

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
    std::string quoted(1, '\'');
    AppendUtf8(platform::Utf16OfUtf8(text), true, quoted);
    return quoted += '\'';
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
        const helpdata::CommandNames names(list);
        const auto ranked = helpdata::FindRanked(file, names, wanted);
        for (std::size_t i = 0; ranked && i < std::min(ranked->size(), kSuggestions); ++i) {
            answered.err += (i == 0 ? "; did you mean: " : ", ") + NameOf(list, (*ranked)[i].item, true);
        }
        answered.err += ranked && !ranked->empty() ? "?\n" : "\n";
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
    for (int item = 0; item < list.GetCount(); ++item) {
        list.Items().TextInto(item, name);
        AppendUtf8(name, output.terminal, block);
        block += '\n';
        if (block.size() >= kBlock) {
            out << block;
            block.clear();
        }
    }
    out << block;
}

Answered Apropos(const std::string &text, platform::HelpFile &file, const platform::ListBox &list, const Output &output)
{
    Answered answered;
    const helpdata::CommandNames names(list);
    const auto results = helpdata::FindRanked(file, names, platform::Utf16OfUtf8(text));
    if (!results) {
        return answered; // the file changed: read again
    }
    if (results->empty()) {
        answered.status = kNothingFound;
        answered.err = "korva-reference: nothing found for " + Quoted(text) + "\n";
        return answered;
    }
    // The descriptions, read in the order of the file, which its read-ahead serves best.
    std::vector<std::size_t> inFileOrder(results->size());
    std::iota(inFileOrder.begin(), inFileOrder.end(), std::size_t{0});
    std::sort(inFileOrder.begin(), inFileOrder.end(),
              [&](std::size_t a, std::size_t b) { return (*results)[a].entryOffset < (*results)[b].entryOffset; });
    std::vector<std::string> descriptions(results->size());
    helpdata::ReadBuffer buffer;
    for (const std::size_t i : inFileOrder) {
        const auto parts = helpdata::ParseEntry(helpdata::ReadEntryBytes(file, buffer, (*results)[i].entryOffset));
        descriptions[i] = parts ? Utf8OfAnsi(parts->description, output.terminal) : std::string();
    }
    for (std::size_t i = 0; i < results->size(); ++i) {
        std::string line = NameOf(list, (*results)[i].item, output.terminal);
        if (!descriptions[i].empty()) {
            line += " - " + descriptions[i];
        }
        answered.out += CutToColumns(line, output.terminal ? output.columns : 0);
        answered.out += '\n';
    }
    return answered;
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
        const Answered answered = request.kind == Request::Kind::Print ? PrintEntry(request.text, file, list, output)
                                                                       : Apropos(request.text, file, list, output);
        if (!file.ContentChanged()) {
            out << answered.out;
            err << answered.err;
            return answered.status;
        }
    }
    err << "korva-reference: the data file kept changing while it was read\n";
    return kCannotRead;
}

} // namespace korva::terminal
