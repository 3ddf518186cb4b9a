// SPDX-License-Identifier: MIT
#include "checker.h"

#include "command_index.h"
#include "format.h"
#include "platform/code_page.h"
#include "platform/memory/memory_platform.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <set>
#include <string>

namespace korva::helpdata {

namespace {

constexpr auto npos = std::string_view::npos;

struct Line
{
    std::size_t number; // 1-based
    std::size_t start;  // offset of its first byte in the file
    std::string_view text;
    bool hasLineFeed;
};

std::vector<Line> SplitLines(std::string_view bytes)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        const bool hasLineFeed = end != npos;
        const std::size_t stop = hasLineFeed ? end : bytes.size();
        lines.push_back({lines.size() + 1, start, bytes.substr(start, stop - start), hasLineFeed});
        start = stop + 1;
    }
    return lines;
}

// A name as messages quote it: printable, and cut when long.
std::string Quote(std::string_view name)
{
    std::string quoted = "'";
    for (const char c : name.substr(0, 40)) {
        const auto byte = static_cast<unsigned char>(c);
        quoted += (byte >= 0x20 && byte != 0x7F) ? c : '?';
    }
    return quoted + (name.size() > 40 ? "...'" : "'");
}

std::u16string Wide(std::string_view ansi)
{
    std::u16string wide;
    for (const char c : ansi) {
        wide += platform::AnsiCharToWide(static_cast<unsigned char>(c));
    }
    return wide;
}

std::u16string Folded(std::string_view ansi)
{
    std::u16string folded = Wide(ansi);
    std::transform(folded.begin(), folded.end(), folded.begin(), platform::FoldCase);
    return folded;
}

// The text of a line after the bytes a reader skips; empty when the line is no longer.
std::string_view TextAfter(std::string_view line, std::size_t skip)
{
    return line.size() > skip ? line.substr(skip) : std::string_view();
}

struct Entry
{
    std::vector<const Line *> lines; // the header first; the closing empty line not included
    const Line *closing = nullptr;   // the empty line that closes it, if any
    std::string name;
};

class Checker
{
public:
    explicit Checker(std::string_view bytes) : bytes_(bytes), lines_(SplitLines(bytes)) {}

    std::vector<Problem> Run()
    {
        CheckBytes();
        CheckStructure();
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            CheckEntry(entries_[i], i);
        }
        CheckNames();
        CheckAgainstTheIndex();
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const Problem &a, const Problem &b) { return a.line < b.line; });
        return std::move(problems_);
    }

private:
    void Error(std::size_t line, std::string message)
    {
        problems_.push_back({line, Problem::Severity::Error, std::move(message)});
    }
    void Warning(std::size_t line, std::string message)
    {
        problems_.push_back({line, Problem::Severity::Warning, std::move(message)});
    }
    std::size_t LastLine() const { return lines_.empty() ? 1 : lines_.back().number; }

    // What holds byte by byte: no NUL, no CR before an LF, "#" only where a header begins, LF LF at the end.
    void CheckBytes()
    {
        std::size_t crLines = 0;
        const Line *firstCr = nullptr;
        std::size_t hiddenLines = 0;
        const Line *firstHidden = nullptr;
        for (const Line &line : lines_) {
            if (line.text.find('\0') != npos) {
                Error(line.number, "NUL byte: every reader of the file takes it for the end of the text");
            }
            if (line.hasLineFeed && !line.text.empty() && line.text.back() == '\r') {
                firstCr = firstCr != nullptr ? firstCr : &line;
                ++crLines;
            }
            if (const std::size_t hash = line.text.find(kHeaderKind, 1); hash != npos) {
                Error(line.number, "'#' inside a line: '#' may only begin a header line, and the search takes "
                                   "every '#' for the start of an entry");
            }
            if (!line.text.empty() && (line.text[0] == kHiddenKindOne || line.text[0] == kHiddenKindThree)) {
                firstHidden = firstHidden != nullptr ? firstHidden : &line;
                ++hiddenLines;
            }
        }
        if (firstCr != nullptr) {
            Error(firstCr->number,
                  "line ends in CR LF (" + std::to_string(crLines) +
                      " lines do): a CR is not a line end, so the file holds no empty line between entries and the "
                      "viewer sees one entry only; save the file with LF line ends");
        }
        if (firstHidden != nullptr) {
            Warning(firstHidden->number, std::to_string(hiddenLines) +
                                             " lines of kind '1' or '3' (the first here): the search never finds "
                                             "text in them");
        }
        if (bytes_.empty()) {
            Warning(1, "the file holds no entry");
        } else if (bytes_.size() < kBlankLine.size() ||
                   bytes_.substr(bytes_.size() - kBlankLine.size()) != kBlankLine) {
            Error(LastLine(), "the file must end with the empty line that closes its last entry (its last two bytes "
                              "LF LF)");
        }
    }

    // The run of entries: text before the first header, each entry closed by one empty line, a header after each.
    void CheckStructure()
    {
        enum class State
        {
            Preamble,
            InEntry,
            AfterEntry,
        } state = State::Preamble;
        bool preamble = false;
        bool stray = false; // within text that follows an entry's closing empty line
        for (const Line &line : lines_) {
            const bool header = !line.text.empty() && line.text[0] == kHeaderKind;
            const bool empty = line.text.empty();
            switch (state) {
            case State::Preamble:
                if (header) {
                    StartEntry(line);
                    state = State::InEntry;
                } else {
                    preamble = true;
                }
                break;
            case State::InEntry:
                if (empty) {
                    entries_.back().closing = &line;
                    state = State::AfterEntry;
                } else {
                    if (header) {
                        Error(line.number, "a header ('# name') must follow an empty line: here it is taken for a "
                                           "line of entry " +
                                               Quote(entries_.back().name));
                    }
                    entries_.back().lines.push_back(&line);
                }
                break;
            case State::AfterEntry:
                if (header) {
                    StartEntry(line);
                    state = State::InEntry;
                    stray = false;
                } else if (empty && !stray) {
                    Error(line.number, "a second empty line after entry " + Quote(entries_.back().name) +
                                           ": only one empty line closes an entry, and a header must follow it");
                } else if (!empty && !stray) {
                    Error(line.number, "text after the empty line that closes entry " + Quote(entries_.back().name) +
                                           ": the next line must be a header ('# name'); this text belongs to no "
                                           "entry");
                    stray = true;
                }
                break;
            }
        }
        if (preamble) {
            Warning(1, "text before the first header ('# name') is never shown");
        }
        if (state == State::InEntry && bytes_.size() >= kBlankLine.size() &&
            bytes_.substr(bytes_.size() - kBlankLine.size()) == kBlankLine) {
            Error(LastLine(), "entry " + Quote(entries_.back().name) + " is not closed by an empty line");
        }
    }

    void StartEntry(const Line &header)
    {
        Entry entry;
        entry.lines.push_back(&header);
        entry.name = std::string(TextAfter(header.text, kHeaderSkip));
        entry.name = entry.name.substr(0, entry.name.find('\0'));
        entries_.push_back(std::move(entry));
    }

    // The bytes a reader skips should be separators: a letter or digit among them is likely part of the text.
    void CheckSkippedBytes(const Line &line, std::size_t skip, const char *what)
    {
        const std::string_view skipped = line.text.substr(1, std::min(skip, line.text.size()) - 1);
        const bool wordLike = std::any_of(skipped.begin(), skipped.end(),
                                          [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
        if (wordLike) {
            Warning(line.number, std::string("the ") + what + " begins at byte " + std::to_string(skip + 1) +
                                     " of its line, so it reads " + Quote(TextAfter(line.text, skip)) + "; the " +
                                     std::to_string(skip) + " bytes before are skipped");
        }
    }

    void CheckEntry(const Entry &entry, std::size_t index)
    {
        const Line &header = *entry.lines.front();
        const std::string name = Quote(entry.name);
        if (index == kMaxEntries) {
            Error(header.number, "more than " + std::to_string(kMaxEntries) +
                                     " entries: the search can select at most " + std::to_string(kMaxEntries));
        }
        if (header.text.size() > kMaxHeaderLine) {
            Error(header.number, "header line of " + std::to_string(header.text.size()) + " bytes; at most " +
                                     std::to_string(kMaxHeaderLine) + " (a command name of at most " +
                                     std::to_string(kMaxCommandName) + " bytes)");
        }
        if (entry.name.empty()) {
            Error(header.number, "header without a command name (the name begins at the header's third byte)");
        } else {
            CheckSkippedBytes(header, kHeaderSkip, "command name");
        }

        const auto &lines = entry.lines;
        if (lines.size() < 3) {
            Error(lines.back()->number, "entry " + name + " ends before its description ('2 ...', its third line)");
            return;
        }
        const Line &description = *lines[2];
        if (description.text[0] != kDescriptionKind) {
            Error(description.number, "the third line of entry " + name +
                                          " must be its description ('2 ...'); the viewer does not show the entry");
            return;
        }
        if (TextAfter(description.text, kDescriptionSkip).empty()) {
            Error(description.number, "description line without text (the text begins at its third byte)");
        }
        CheckSkippedBytes(description, kDescriptionSkip, "description");
        if (lines.size() < 4) {
            Error(description.number, "entry " + name +
                                          " ends after its description: a fourth line and the parameters line "
                                          "('0 ...') must follow");
            return;
        }

        std::size_t parameters = 4;
        while (parameters < lines.size() && lines[parameters]->text[0] != kParametersKind) {
            if (lines[parameters]->text[0] == kSeeAlsoKind) {
                Warning(lines[parameters]->number, "see-also line before the parameters line of entry " + name +
                                                       ": it is not shown (see-also lines come right after the "
                                                       "parameters line)");
            }
            ++parameters;
        }
        if (parameters == lines.size()) {
            Error(lines.back()->number,
                  "entry " + name + " has no parameters line ('0 ...') after its fourth line" +
                      (lines[3]->text[0] == kParametersKind ? " (the fourth line is never taken for it)" : ""));
            CheckSizes(entry, index, TextAfter(description.text, kDescriptionSkip).size(), false, 0, false, 0);
            return;
        }
        const Line &parametersLine = *lines[parameters];
        if (TextAfter(parametersLine.text, kParametersSkip).empty()) {
            Error(parametersLine.number, "parameters line without text (the text begins at its third byte)");
        }
        CheckSkippedBytes(parametersLine, kParametersSkip, "parameter synopsis");

        std::size_t next = parameters + 1;
        for (; next < lines.size() && lines[next]->text[0] == kSeeAlsoKind; ++next) {
            CheckSeeAlso(*lines[next], entry);
        }
        std::size_t exampleUnits = 0;
        const bool examples = next < lines.size();
        for (std::size_t example = next; example < lines.size(); ++example) {
            exampleUnits += lines[example]->text.size() + kLineBreak.size();
        }
        CheckSizes(entry, index, TextAfter(description.text, kDescriptionSkip).size(), true,
                   TextAfter(parametersLine.text, kParametersSkip).size(), examples, exampleUnits);
    }

    void CheckSeeAlso(const Line &line, const Entry &entry)
    {
        const std::string_view see = TextAfter(line.text, kSeeAlsoSkip);
        if (see.empty()) {
            Error(line.number, "see-also line without a name (the name begins at its fourth byte)");
            return;
        }
        if (see.size() > kMaxSeeAlsoName) {
            Error(line.number, "see-also name of " + std::to_string(see.size()) + " characters; at most " +
                                   std::to_string(kMaxSeeAlsoName));
        }
        CheckSkippedBytes(line, kSeeAlsoSkip, "see-also name");
        seeAlso_.push_back({&line, std::string(see.substr(0, kMaxSeeAlsoName)), entry.name});
    }

    // The entry's size against the readers' windows, and the length of the text the viewer composes of it.
    void CheckSizes(const Entry &entry, std::size_t index, std::size_t descriptionUnits, bool parameters,
                    std::size_t synopsisUnits, bool examples, std::size_t exampleUnits)
    {
        const Line &header = *entry.lines.front();
        const std::string name = Quote(entry.name);
        if (entry.closing != nullptr && entry.lines.size() > 1) {
            // From the second line through the LF of the closing empty line.
            const std::size_t end = entry.closing->start + 1;
            const std::size_t view = end - entry.lines[1]->start;
            if (view > kMaxEntryBytes) {
                Error(header.number, "entry " + name + " is " + std::to_string(view) +
                                         " bytes from its second line through its closing empty line; the viewer "
                                         "shows at most " +
                                         std::to_string(kMaxEntryBytes));
            }
            // From the first LF of the empty line before the header (the file's start for the first entry).
            const std::size_t begin = index == 0 ? 0 : header.start - kBlankLine.size();
            if (end - begin > kMaxEntryBytes && view <= kMaxEntryBytes) {
                Error(header.number, "entry " + name + " spans " + std::to_string(end - begin) + " bytes " +
                                         (index == 0 ? "from the start of the file" : "with the empty line before it") +
                                         "; the search and the index read the file " + std::to_string(kChunkSize) +
                                         " bytes at a time");
            }
        }
        const std::size_t composed = descriptionUnits + (parameters ? kParamsHeading.size() + synopsisUnits : 0) +
                                     (examples ? kExamplesHeading.size() + exampleUnits : 0);
        const std::size_t limit = examples ? kMaxEntryText : kMaxEntryTextNoExamples;
        if (composed > limit) {
            Error(header.number, "entry " + name + " composes a text of " + std::to_string(composed) +
                                     " characters; the viewer shows at most " + std::to_string(limit) +
                                     (examples ? "" : " for an entry without examples"));
        }
    }

    // Names that compare equal, and see-also names that no command begins with.
    void CheckNames()
    {
        std::map<std::u16string, const Entry *> byKey;
        std::set<std::u16string> keys;
        for (const Entry &entry : entries_) {
            if (entry.name.empty()) {
                continue;
            }
            const std::u16string key = Folded(entry.name);
            const auto [found, added] = byKey.emplace(key, &entry);
            if (added) {
                keys.insert(key);
                continue;
            }
            const Entry &first = *found->second;
            const std::size_t line = first.lines.front()->number;
            if (first.name == entry.name) {
                Warning(entry.lines.front()->number,
                        "command " + Quote(entry.name) + " is already defined at line " + std::to_string(line) +
                            ": the list shows both, but a see-also jump or a search always shows the first");
            } else {
                Warning(entry.lines.front()->number,
                        "command " + Quote(entry.name) + " differs from " + Quote(first.name) + " (line " +
                            std::to_string(line) +
                            ") only in case: a see-also jump or a search for either shows the one higher in the "
                            "list");
            }
        }
        for (const SeeAlso &see : seeAlso_) {
            const std::u16string key = Folded(see.name);
            const auto candidate = keys.lower_bound(key);
            if (candidate == keys.end() || candidate->compare(0, key.size(), key) != 0) {
                Warning(see.line->number, "see-also name " + Quote(see.name) +
                                              " names no command (none begins with it): entry " + Quote(see.entry) +
                                              " does not offer it");
            }
        }
    }

    // The window's own index scan must find every entry found here.
    void CheckAgainstTheIndex()
    {
        if (entries_.empty() || entries_.size() > kMaxEntries) {
            return;
        }
        platform::MemoryHelpFile file{std::string(bytes_)};
        file.Open("korvadoc");
        ReadBuffer buffer;
        platform::MemoryListBox list;
        BuildIndex(file, buffer, list);
        std::set<std::uint32_t> indexed;
        for (int i = 0; i < list.GetCount(); ++i) {
            indexed.insert(list.GetItemData(i));
        }
        for (const Entry &entry : entries_) {
            const Line &header = *entry.lines.front();
            if (header.hasLineFeed &&
                indexed.count(static_cast<std::uint32_t>(header.start + header.text.size() + 1)) == 0) {
                Error(header.number, "the viewer's index does not find entry " + Quote(entry.name));
            }
        }
    }

    struct SeeAlso
    {
        const Line *line;
        std::string name;
        std::string entry;
    };

    std::string_view bytes_;
    std::vector<Line> lines_;
    std::vector<Entry> entries_;
    std::vector<SeeAlso> seeAlso_;
    std::vector<Problem> problems_;
};

} // namespace

std::vector<Problem> CheckDataFile(std::string_view bytes)
{
    return Checker(bytes).Run();
}

bool FollowsEveryRule(const std::vector<Problem> &problems)
{
    return std::none_of(problems.begin(), problems.end(),
                        [](const Problem &problem) { return problem.severity == Problem::Severity::Error; });
}

} // namespace korva::helpdata
