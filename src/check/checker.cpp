// SPDX-License-Identifier: MIT
#include "checker.h"

#include "helpdata/format.h"
#include "platform/code_page.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>

namespace korva::check {

namespace {

using namespace helpdata;

// Bytes of each line kept for the checks: its kind, the bytes a reader skips and any name it holds. Of a longer line
// only its length and what the byte checks found are kept.
constexpr std::size_t kHeadBytes = 256;
// Related commands whose target is not known yet when they are read, kept for the end of the file; past this many,
// the rest are checked against the commands before them only.
constexpr std::size_t kMaxDeferredSeeAlso = 20000;

struct Line
{
    std::size_t number = 0;
    std::uint64_t start = 0;  // the offset of its first byte
    std::uint64_t length = 0; // bytes before its LF
    std::string head;         // its first kHeadBytes bytes
    bool hasLineFeed = false;
    bool hasNul = false;
    bool hashInside = false; // a "#" after its first byte
    bool utf8 = false;       // it holds a well-formed multi-byte UTF-8 sequence

    bool Empty() const { return length == 0; }
    char Kind() const { return head.empty() ? '\0' : head[0]; }
    // The text after the bytes a reader skips, as far as it is kept.
    std::string_view TextAfter(std::size_t skip) const
    {
        return head.size() > skip ? std::string_view(head).substr(skip) : std::string_view();
    }
    std::uint64_t LengthAfter(std::size_t skip) const { return length > skip ? length - skip : 0; }
};

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

std::u16string Folded(std::string_view ansi)
{
    std::u16string folded(ansi.size(), u'\0');
    std::transform(ansi.begin(), ansi.end(), folded.begin(),
                   [](char c) { return platform::FoldCase(platform::AnsiCharToWide(static_cast<unsigned char>(c))); });
    return folded;
}

std::string Count(std::uint64_t count, const char *unit)
{
    return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

// Finds well-formed multi-byte UTF-8 sequences in a stream of bytes.
class Utf8Sequences
{
public:
    // True when `byte` completes a sequence.
    bool Completes(unsigned char byte)
    {
        if (needed_ > 0 && byte >= low_ && byte <= high_) {
            low_ = 0x80;
            high_ = 0xBF;
            return --needed_ == 0;
        }
        needed_ = 0;
        low_ = 0x80;
        high_ = 0xBF;
        if (byte >= 0xC2 && byte <= 0xDF) {
            needed_ = 1;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            needed_ = 2;
            low_ = byte == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
            high_ = byte == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            needed_ = 3;
            low_ = byte == 0xF0 ? 0x90 : 0x80;
            high_ = byte == 0xF4 ? 0x8F : 0xBF;
        }
        return false;
    }
    void Reset() { needed_ = 0; }
    bool Pending() const { return needed_ > 0; }

private:
    int needed_ = 0;
    unsigned char low_ = 0x80;
    unsigned char high_ = 0xBF;
};

} // namespace

struct Checker::State
{
    // Where an entry's parse stands: the line it expects next.
    enum class Stage
    {
        SecondLine,
        Description,
        FourthLine,
        Parameters, // looking for the first line of kind "0"
        SeeAlso,
        Examples,
        NotShown, // the third line is no description: the viewer shows nothing of it
    };
    struct Entry
    {
        std::size_t index = 0;
        std::size_t headerLine = 0;
        std::uint64_t headerStart = 0;
        std::uint64_t headerExcess = 0; // bytes of the header line over its limit
        std::string name;
        Stage stage = Stage::SecondLine;
        std::size_t lastLine = 0;
        std::uint64_t secondLineStart = 0;
        std::uint64_t end = 0; // the offset after the LF of its closing empty line, once closed
        bool fourthIsParameters = false;
        std::uint64_t descriptionUnits = 0;
        std::uint64_t synopsisUnits = 0;
        std::uint64_t exampleUnits = 0;
        bool examples = false;
    };
    enum class Where
    {
        BeforeFirstEntry,
        InEntry,
        AfterEntry, // after the empty line that closed an entry
    };
    struct SeeAlso
    {
        std::size_t line;
        std::string name;
        std::string entry;
    };
    struct Command
    {
        std::string name;
        std::size_t line;
    };

    static Line FirstLine()
    {
        Line first;
        first.number = 1;
        return first;
    }

    State(std::string fileName, Report report) : fileName(std::move(fileName)), report(std::move(report)) {}

    void Add(Severity severity, std::size_t line, std::string message)
    {
        foundError |= severity == Severity::Error;
        report(Problem{line, severity, std::move(message)});
    }
    void Error(std::size_t line, std::string message) { Add(Severity::Error, line, std::move(message)); }
    void Warning(std::size_t line, std::string message) { Add(Severity::Warning, line, std::move(message)); }

    void Feed(std::string_view bytes)
    {
        for (;;) {
            const std::size_t lineFeed = bytes.find('\n');
            Take(bytes.substr(0, lineFeed));
            if (lineFeed == std::string_view::npos) {
                return;
            }
            line.hasLineFeed = true;
            EndLine();
            bytes.remove_prefix(lineFeed + 1);
        }
    }

    // More bytes of the line under way, none of them an LF.
    void Take(std::string_view part)
    {
        if (part.empty()) {
            return;
        }
        if (line.head.size() < kHeadBytes) {
            line.head.append(part.substr(0, kHeadBytes - line.head.size()));
        }
        line.hasNul |= part.find('\0') != std::string_view::npos;
        line.hashInside |= part.find(kHeaderKind, line.length == 0 ? 1 : 0) != std::string_view::npos;
        if (!utf8Reported) {
            for (const char c : part) {
                const auto byte = static_cast<unsigned char>(c);
                line.utf8 |= (byte >= 0x80 || utf8.Pending()) && utf8.Completes(byte);
            }
        }
        line.length += part.size();
        lastByteIsCr = part.back() == '\r';
    }

    void EndLine()
    {
        lineEnd = line.start + line.length + (line.hasLineFeed ? 1 : 0);
        if (line.hasLineFeed && lastByteIsCr) {
            if (!crLfReported) {
                crLfReported = true;
                Error(line.number, "line ends in CR LF (Windows line ends): the viewer takes the CR for text and "
                                   "sees no empty line between entries; convert the file with: sed -i 's/\\r$//' " +
                                       fileName);
            }
            // Read on as if converted, so that the one cause gives the one message.
            --line.length;
            if (line.head.size() > line.length) {
                line.head.pop_back();
            }
        }
        CheckBytes();
        CheckStructure();
        lastLineEmpty = line.Empty();
        lastLineHasLineFeed = line.hasLineFeed;
        ++lines;
        const std::size_t next = line.number + 1;
        line = Line{};
        line.number = next;
        line.start = lineEnd;
        lastByteIsCr = false;
        utf8.Reset();
    }

    void CheckBytes()
    {
        if (line.hasNul) {
            Error(line.number, "NUL byte: every reader of the file takes it for the end of the text");
        }
        if (line.hashInside) {
            Error(line.number, "'#' inside a line: '#' may only begin a header line, and the search takes every "
                               "'#' for the start of an entry");
        }
        if (line.utf8 && !utf8Reported) {
            utf8Reported = true;
            Warning(line.number, "this line holds UTF-8 text, but the viewer reads Windows-1252, one byte a "
                                 "character, and would show it garbled; convert the file with: iconv -f UTF-8 -t "
                                 "WINDOWS-1252 " +
                                     fileName + " > " + fileName + ".cp1252");
        }
        if (line.Kind() == kHiddenKindOne || line.Kind() == kHiddenKindThree) {
            firstHiddenLine = hiddenLines++ == 0 ? line.number : firstHiddenLine;
        }
    }

    void CheckStructure()
    {
        const bool header = line.Kind() == kHeaderKind;
        switch (where) {
        case Where::BeforeFirstEntry:
            if (header) {
                StartEntry();
            } else if (!preambleReported) {
                preambleReported = true;
                Warning(line.number, "text before the first header ('# name') is never shown");
            }
            break;
        case Where::InEntry:
            if (line.Empty()) {
                entry.end = lineEnd;
                where = Where::AfterEntry;
                if (!Complete()) {
                    earlyEmptyLine = line.number; // told apart by what follows it
                } else {
                    FinishEntry();
                }
            } else {
                if (header) {
                    Error(line.number, "a header ('# name') must follow an empty line: here it is taken for a line "
                                       "of entry " +
                                           Quote(entry.name));
                }
                EntryLine();
            }
            break;
        case Where::AfterEntry:
            if (earlyEmptyLine != 0 && !header && !line.Empty()) {
                // The entry goes on after an empty line: the empty line is the mistake, not what follows it.
                Error(earlyEmptyLine, "empty line at line " + std::to_string(earlyEmptyLine) + " ends entry " +
                                          Quote(entry.name) + " before its " + Missing() +
                                          "; the only empty line of an entry is the one that closes it");
                earlyEmptyLine = 0;
                where = Where::InEntry;
                EntryLine();
                break;
            }
            if (earlyEmptyLine != 0) {
                earlyEmptyLine = 0;
                FinishEntry();
            }
            if (header) {
                stray = false;
                StartEntry();
            } else if (line.Empty() && !stray) {
                Error(line.number, "a second empty line after entry " + Quote(entry.name) +
                                       ": only one empty line closes an entry, and a header must follow it");
            } else if (!line.Empty() && !stray) {
                Error(line.number, "text after the empty line that closes entry " + Quote(entry.name) +
                                       ": the next line must be a header ('# name'); this text belongs to no entry");
                stray = true;
            }
            break;
        }
    }

    // The bytes a reader skips should be separators: a letter or digit among them is likely part of the text.
    void CheckSkippedBytes(std::size_t skip, const char *what)
    {
        const std::string_view skipped = std::string_view(line.head).substr(1, std::min(skip, line.head.size()) - 1);
        if (std::any_of(skipped.begin(), skipped.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
            Warning(line.number, std::string("the ") + what + " begins at byte " + std::to_string(skip + 1) +
                                     " of its line, so it reads " + Quote(line.TextAfter(skip)) + "; the " +
                                     std::to_string(skip) + " bytes before are skipped");
        }
    }

    void StartEntry()
    {
        where = Where::InEntry;
        entry = Entry{};
        entry.index = entries++;
        entry.headerLine = line.number;
        entry.lastLine = line.number;
        entry.headerStart = line.start;
        entry.name = std::string(CommandNameOf(line.head));

        if (entry.index == kMaxEntries) {
            Error(line.number, "more than " + std::to_string(kMaxEntries) + " entries: the viewer lists the first " +
                                   std::to_string(kMaxEntries) + " only");
        }
        if (line.length > kMaxHeaderLine) {
            entry.headerExcess = line.length - kMaxHeaderLine;
            Error(line.number, "header line of " + std::to_string(line.length) + " bytes; at most " +
                                   std::to_string(kMaxHeaderLine) + " (a command name of at most " +
                                   std::to_string(kMaxCommandName) + " bytes): cut " +
                                   Count(line.length - kMaxHeaderLine, "byte") + " from the name");
        }
        if (entry.name.empty()) {
            Error(line.number, "header without a command name (the name begins at the header's third byte)");
            return;
        }
        CheckSkippedBytes(kHeaderSkip, "command name");
        if (entry.index >= kMaxEntries) {
            return; // not in the viewer's list: nothing looks it up
        }
        const auto [known, added] = commands.emplace(Folded(entry.name), Command{entry.name, line.number});
        if (added) {
            return;
        }
        if (known->second.name == entry.name) {
            Warning(line.number, "command " + Quote(entry.name) + " is already defined at line " +
                                     std::to_string(known->second.line) +
                                     ": the list shows both, but a see-also jump or a search always shows the first");
        } else {
            Warning(line.number, "command " + Quote(entry.name) + " differs from " + Quote(known->second.name) +
                                     " (line " + std::to_string(known->second.line) +
                                     ") only in case: a see-also jump or a search for either shows the one higher in "
                                     "the list");
        }
    }

    // The next line of the entry, which is not empty.
    void EntryLine()
    {
        entry.lastLine = line.number;
        const char kind = line.Kind();
        switch (entry.stage) {
        case Stage::SecondLine:
            entry.secondLineStart = line.start;
            entry.stage = Stage::Description;
            break;
        case Stage::Description:
            if (kind != kDescriptionKind) {
                Error(line.number, "the third line of entry " + Quote(entry.name) +
                                       " must be its description ('2 ...'); the viewer does not show the entry");
                entry.stage = Stage::NotShown;
                break;
            }
            if (line.LengthAfter(kDescriptionSkip) == 0) {
                Error(line.number, "description line without text (the text begins at its third byte)");
            }
            CheckSkippedBytes(kDescriptionSkip, "description");
            entry.descriptionUnits = line.LengthAfter(kDescriptionSkip);
            entry.stage = Stage::FourthLine;
            break;
        case Stage::FourthLine:
            entry.fourthIsParameters = kind == kParametersKind;
            entry.stage = Stage::Parameters;
            break;
        case Stage::Parameters:
            if (kind == kParametersKind) {
                if (line.LengthAfter(kParametersSkip) == 0) {
                    Error(line.number, "parameters line without text (the text begins at its third byte)");
                }
                CheckSkippedBytes(kParametersSkip, "parameter synopsis");
                entry.synopsisUnits = line.LengthAfter(kParametersSkip);
                entry.stage = Stage::SeeAlso;
            } else if (kind == kSeeAlsoKind) {
                Warning(line.number, "see-also line before the parameters line of entry " + Quote(entry.name) +
                                         ": it is not shown (see-also lines come right after the parameters line)");
            }
            break;
        case Stage::SeeAlso:
            if (kind == kSeeAlsoKind) {
                SeeAlsoLine();
                break;
            }
            entry.stage = Stage::Examples;
            [[fallthrough]];
        case Stage::Examples:
            entry.examples = true;
            entry.exampleUnits += line.length + kLineBreak.size();
            break;
        case Stage::NotShown:
            break;
        }
    }

    void SeeAlsoLine()
    {
        if (line.LengthAfter(kSeeAlsoSkip) == 0) {
            Error(line.number, "see-also line without a name (the name begins at its fourth byte)");
            return;
        }
        if (line.LengthAfter(kSeeAlsoSkip) > kMaxSeeAlsoName) {
            Error(line.number, "see-also name of " + std::to_string(line.LengthAfter(kSeeAlsoSkip)) +
                                   " characters; at most " + std::to_string(kMaxSeeAlsoName));
        }
        CheckSkippedBytes(kSeeAlsoSkip, "see-also name");
        if (entry.index >= kMaxEntries) {
            return;
        }
        const std::string_view name = line.TextAfter(kSeeAlsoSkip).substr(0, kMaxSeeAlsoName);
        const std::string_view text = name.substr(0, name.find('\0'));
        if (commands.count(Folded(text)) != 0) {
            return; // a command of that very name, whatever comes later
        }
        if (seeAlso.size() < kMaxDeferredSeeAlso) {
            seeAlso.push_back({line.number, std::string(text), entry.name});
        } else {
            ++seeAlsoUnchecked;
        }
    }

    // True when the entry is whole up to its parameters line, or will never be shown anyway.
    bool Complete() const
    {
        return entry.stage == Stage::SeeAlso || entry.stage == Stage::Examples || entry.stage == Stage::NotShown;
    }

    // What the entry lacks.
    std::string Missing() const
    {
        switch (entry.stage) {
        case Stage::SecondLine:
        case Stage::Description:
            return "description ('2 ...', its third line)";
        case Stage::FourthLine:
            return "fourth line";
        default:
            return "parameters line ('0 ...')";
        }
    }

    void FinishEntry()
    {
        const std::string name = Quote(entry.name);
        switch (entry.stage) {
        case Stage::SecondLine:
        case Stage::Description:
            Error(entry.lastLine, "entry " + name + " ends before its description ('2 ...', its third line)");
            return;
        case Stage::FourthLine:
            Error(entry.lastLine, "entry " + name +
                                      " ends after its description: a fourth line and the parameters line ('0 ...') "
                                      "must follow");
            return;
        case Stage::Parameters:
            Error(entry.lastLine, "entry " + name + " has no parameters line ('0 ...') after its fourth line" +
                                      (entry.fourthIsParameters ? " (the fourth line is never taken for it)" : ""));
            break;
        case Stage::NotShown:
            return;
        default:
            break;
        }
        CheckSizes();
    }

    // The entry's size against the readers' windows, and the length of the text the viewer composes of it. Each
    // cause gives one message: a text too long for a window is too long for the viewer's text as well.
    void CheckSizes()
    {
        const std::string name = Quote(entry.name);
        if (entry.end != 0) {
            const std::uint64_t view = entry.end - entry.secondLineStart;
            if (view > kMaxEntryBytes) {
                Error(entry.headerLine, "entry " + name + " is " + std::to_string(view) +
                                            " bytes from its second line through its closing empty line; the viewer "
                                            "reads at most " +
                                            std::to_string(kMaxEntryBytes) + ": cut " +
                                            Count(view - kMaxEntryBytes, "byte"));
                return;
            }
            // A header line over its own limit has had its message: it counts here as if cut to that limit.
            const std::uint64_t begin = entry.index == 0 ? 0 : entry.headerStart - kBlankLine.size();
            const std::uint64_t span = entry.end - begin - entry.headerExcess;
            if (span > kMaxEntryBytes) {
                Error(entry.headerLine,
                      "entry " + name + " spans " + std::to_string(entry.end - begin) + " bytes " +
                          (entry.index == 0 ? "from the start of the file" : "with the empty line before it") +
                          "; the search and the index read the file " + std::to_string(kChunkSize) +
                          " bytes at a time: cut " + Count(span - kMaxEntryBytes, "byte"));
                return;
            }
        }
        const bool parameters = entry.stage == Stage::SeeAlso || entry.stage == Stage::Examples;
        const std::uint64_t shown = entry.descriptionUnits +
                                    (parameters ? kParamsHeading.size() + entry.synopsisUnits : 0) +
                                    (entry.examples ? kExamplesHeading.size() + entry.exampleUnits : 0);
        const std::uint64_t limit = entry.examples ? kMaxEntryText : kMaxEntryTextNoExamples;
        if (shown > limit) {
            Error(entry.headerLine, "entry " + name + " makes a text of " + std::to_string(shown) +
                                        " characters in the viewer, which shows at most " + std::to_string(limit) +
                                        (entry.examples ? "" : " for an entry without examples") + ": cut " +
                                        Count(shown - limit, "character") +
                                        " from its description, parameters or examples");
        }
    }

    void Finish()
    {
        if (line.length > 0 || lastByteIsCr) {
            EndLine(); // a last line without LF
        }
        if (where == Where::InEntry || earlyEmptyLine != 0) {
            FinishEntry();
        }
        const std::size_t lastLine = lines == 0 ? 1 : lines;
        if (entries == 0) {
            Warning(1, "the file holds no entry");
        } else if (!(lastLineEmpty && lastLineHasLineFeed && lines >= 2)) {
            Error(lastLine, "the file must end with the empty line that closes its last entry (its last two bytes "
                            "LF LF)");
        }
        if (hiddenLines > 0) {
            Add(Severity::Note, firstHiddenLine,
                Count(hiddenLines, "line") + " of kind '1' or '3' (the first here): the search never finds text in "
                                             "them");
        }
        CheckSeeAlsoTargets();
    }

    // Each related command that no command has as its very name: the viewer offers it only when a command begins
    // with it, and then opens that command.
    void CheckSeeAlsoTargets()
    {
        std::stable_sort(seeAlso.begin(), seeAlso.end(),
                         [](const SeeAlso &a, const SeeAlso &b) { return a.line < b.line; });
        for (const SeeAlso &see : seeAlso) {
            const std::u16string key = Folded(see.name);
            const auto candidate = commands.lower_bound(key);
            if (candidate != commands.end() && candidate->first == key) {
                continue;
            }
            if (candidate == commands.end() || candidate->first.compare(0, key.size(), key) != 0) {
                Warning(see.line, "see-also name " + Quote(see.name) +
                                      " names no command (none begins with it): entry " + Quote(see.entry) +
                                      " does not offer it");
            } else {
                Warning(see.line, "see-also name " + Quote(see.name) + " is no command's name: entry " +
                                      Quote(see.entry) + " offers it, and choosing it opens " +
                                      Quote(candidate->second.name) + ", the first command that begins with it");
            }
        }
        if (seeAlsoUnchecked > 0) {
            Add(Severity::Note, lines,
                Count(seeAlsoUnchecked, "see-also name") + " past the first " + std::to_string(kMaxDeferredSeeAlso) +
                    " that name a command further on were not checked");
        }
    }

    std::string fileName;
    Report report;
    bool foundError = false;

    Line line = FirstLine();
    std::uint64_t lineEnd = 0; // the offset after the line being checked, its LF included
    bool lastByteIsCr = false;
    Utf8Sequences utf8;
    std::size_t lines = 0;
    bool lastLineEmpty = false;
    bool lastLineHasLineFeed = false;
    bool crLfReported = false;
    bool utf8Reported = false;
    std::size_t hiddenLines = 0;
    std::size_t firstHiddenLine = 0;

    Where where = Where::BeforeFirstEntry;
    bool preambleReported = false;
    bool stray = false;             // within text that follows an entry's closing empty line
    std::size_t earlyEmptyLine = 0; // an empty line that closed an unfinished entry, until the next line tells
    Entry entry;
    std::size_t entries = 0;
    std::map<std::u16string, Command> commands; // by folded name, the first of each, for the listed entries
    std::vector<SeeAlso> seeAlso;               // related commands decided at the end
    std::size_t seeAlsoUnchecked = 0;
};

Checker::Checker(std::string fileName, Report report)
    : state_(std::make_unique<State>(std::move(fileName), std::move(report)))
{}

Checker::~Checker() = default;

void Checker::Feed(std::string_view bytes)
{
    state_->Feed(bytes);
}

void Checker::Finish()
{
    state_->Finish();
}

bool Checker::FoundError() const
{
    return state_->foundError;
}

bool ProblemsInLineOrder::Before(const Ranked &a, const Ranked &b)
{
    return a.problem.line != b.problem.line ? a.problem.line < b.problem.line : a.sequence < b.sequence;
}

void ProblemsInLineOrder::Add(const Problem &problem)
{
    Ranked ranked{problem, sequence_++};
    if (kept_.size() < limit_) {
        kept_.push_back(std::move(ranked));
        std::push_heap(kept_.begin(), kept_.end(), Before);
        return;
    }
    ++dropped_;
    if (kept_.empty() || !Before(ranked, kept_.front())) {
        return;
    }
    std::pop_heap(kept_.begin(), kept_.end(), Before);
    kept_.back() = std::move(ranked);
    std::push_heap(kept_.begin(), kept_.end(), Before);
}

std::vector<Problem> ProblemsInLineOrder::Take()
{
    std::sort_heap(kept_.begin(), kept_.end(), Before);
    std::vector<Problem> problems;
    problems.reserve(kept_.size());
    for (Ranked &ranked : kept_) {
        problems.push_back(std::move(ranked.problem));
    }
    kept_.clear();
    return problems;
}

std::vector<Problem> CheckDataFile(std::string_view bytes, const std::string &fileName)
{
    ProblemsInLineOrder problems;
    Checker checker(fileName, [&problems](const Problem &problem) { problems.Add(problem); });
    checker.Feed(bytes);
    checker.Finish();
    return problems.Take();
}

} // namespace korva::check
