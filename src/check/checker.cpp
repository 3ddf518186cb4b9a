// SPDX-License-Identifier: MIT
#include "checker.h"

#include "helpdata/format.h"
#include "platform/code_page.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

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

// Where each problem goes, and whether one was an error.
class Reporter
{
public:
    explicit Reporter(Checker::Report report) : report_(std::move(report)) {}

    void Add(Severity severity, std::size_t line, std::string message)
    {
        foundError_ |= severity == Severity::Error;
        report_(Problem{line, severity, std::move(message)});
    }
    void Error(std::size_t line, std::string message) { Add(Severity::Error, line, std::move(message)); }
    void Warning(std::size_t line, std::string message) { Add(Severity::Warning, line, std::move(message)); }
    void Note(std::size_t line, std::string message) { Add(Severity::Note, line, std::move(message)); }
    bool FoundError() const { return foundError_; }

private:
    Checker::Report report_;
    bool foundError_ = false;
};

// Splits the bytes into lines as they stream past, keeping of each what the checks need, and hands each on once it
// is complete. CR LF line ends are one error, said once; the lines are then read as if converted.
class LineReader
{
public:
    using Take = std::function<void(const Line &line, std::uint64_t lineEnd)>;

    LineReader(const std::string &fileName, Reporter &reporter, Take take)
        : fileName_(fileName), reporter_(reporter), take_(std::move(take))
    {
        line_.number = 1;
    }

    void Feed(std::string_view bytes)
    {
        for (;;) {
            const std::size_t lineFeed = bytes.find('\n');
            Append(bytes.substr(0, lineFeed));
            if (lineFeed == std::string_view::npos) {
                return;
            }
            line_.hasLineFeed = true;
            EndLine();
            bytes.remove_prefix(lineFeed + 1);
        }
    }

    // The end of the file: a last line without LF is a line too.
    void Finish()
    {
        if (line_.length > 0 || lastByteIsCr_) {
            EndLine();
        }
    }

    // Once the file is known to hold UTF-8, its lines need not be looked at for it.
    void StopLookingForUtf8() { lookForUtf8_ = false; }

    std::size_t Lines() const { return lines_; }
    bool EndsWithAnEmptyLine() const { return lastLineEmpty_ && lastLineHasLineFeed_ && lines_ >= 2; }

private:
    // More bytes of the line under way, none of them an LF.
    void Append(std::string_view part)
    {
        if (part.empty()) {
            return;
        }
        if (line_.head.size() < kHeadBytes) {
            line_.head.append(part.substr(0, kHeadBytes - line_.head.size()));
        }
        line_.hasNul |= part.find('\0') != std::string_view::npos;
        line_.hashInside |= part.find(kHeaderKind, line_.length == 0 ? 1 : 0) != std::string_view::npos;
        if (lookForUtf8_) {
            for (const char c : part) {
                const auto byte = static_cast<unsigned char>(c);
                line_.utf8 |= (byte >= 0x80 || utf8_.Pending()) && utf8_.Completes(byte);
            }
        }
        line_.length += part.size();
        lastByteIsCr_ = part.back() == '\r';
    }

    void EndLine()
    {
        const std::uint64_t lineEnd = line_.start + line_.length + (line_.hasLineFeed ? 1 : 0);
        if (line_.hasLineFeed && lastByteIsCr_) {
            ConvertCrLf();
        }
        take_(line_, lineEnd);
        lastLineEmpty_ = line_.Empty();
        lastLineHasLineFeed_ = line_.hasLineFeed;
        ++lines_;
        const std::size_t next = line_.number + 1;
        line_ = Line{};
        line_.number = next;
        line_.start = lineEnd;
        lastByteIsCr_ = false;
        utf8_.Reset();
    }

    void ConvertCrLf()
    {
        if (!crLfReported_) {
            crLfReported_ = true;
            reporter_.Error(line_.number, "line ends in CR LF (Windows line ends): the viewer takes the CR for text "
                                          "and sees no empty line between entries; convert the file with: sed -i "
                                          "'s/\\r$//' " +
                                              fileName_);
        }
        // Read on as if converted, so that the one cause gives the one message.
        --line_.length;
        if (line_.head.size() > line_.length) {
            line_.head.pop_back();
        }
    }

    const std::string &fileName_;
    Reporter &reporter_;
    Take take_;
    Line line_;
    bool lastByteIsCr_ = false;
    bool lookForUtf8_ = true;
    Utf8Sequences utf8_;
    std::size_t lines_ = 0;
    bool lastLineEmpty_ = false;
    bool lastLineHasLineFeed_ = false;
    bool crLfReported_ = false;
};

// What each line's bytes may not hold, wherever it stands, and the lines the search skips.
class ByteRules
{
public:
    ByteRules(const std::string &fileName, Reporter &reporter) : fileName_(fileName), reporter_(reporter) {}

    // Yields true the first time a line holds UTF-8: the file is known to hold it from then on.
    bool Check(const Line &line)
    {
        if (line.hasNul) {
            reporter_.Error(line.number, "NUL byte: every reader of the file takes it for the end of the text");
        }
        if (line.hashInside) {
            reporter_.Error(line.number, "'#' inside a line: '#' may only begin a header line, and the search takes "
                                         "every '#' for the start of an entry");
        }
        if (IsHiddenFromSearch(line.Kind())) {
            firstHiddenLine_ = hiddenLines_++ == 0 ? line.number : firstHiddenLine_;
        }
        if (!line.utf8 || utf8Reported_) {
            return false;
        }
        utf8Reported_ = true;
        reporter_.Warning(line.number, "this line holds UTF-8 text, but the viewer reads Windows-1252, one byte a "
                                       "character, and would show it garbled; convert the file with: iconv -f UTF-8 "
                                       "-t WINDOWS-1252 " +
                                           fileName_ + " > " + fileName_ + ".cp1252");
        return true;
    }

    void Finish()
    {
        if (hiddenLines_ > 0) {
            reporter_.Note(firstHiddenLine_, Count(hiddenLines_, "line") + " of kind '1' or '3' (the first here): the "
                                                                           "search never finds text in them");
        }
    }

private:
    const std::string &fileName_;
    Reporter &reporter_;
    bool utf8Reported_ = false;
    std::size_t hiddenLines_ = 0;
    std::size_t firstHiddenLine_ = 0;
};

// The commands of the list and the related commands the entries name: names that clash, and related commands that
// no command has as its very name, which only the whole file can tell.
class SeeAlsoTargets
{
public:
    explicit SeeAlsoTargets(Reporter &reporter) : reporter_(reporter) {}

    // A command of the viewer's list, named on `line`.
    void AddCommand(const std::string &name, std::size_t line)
    {
        commands_.emplace(Folded(name), Command{name, line});
        // Names that differ only in case ("Gamma", "gamma") are each reached by their own name; the same name twice
        // is not.
        const auto [first, added] = lines_.emplace(name, line);
        if (!added) {
            reporter_.Warning(line, "command " + Quote(name) + " is already defined at line " +
                                        std::to_string(first->second) +
                                        ": the list shows both, but a see-also jump always shows the first");
        }
    }

    // A related command named on `line` by entry `entry`: decided at once when a command of that very name came
    // before, at the end of the file otherwise.
    void AddSeeAlso(std::size_t line, std::string_view name, const std::string &entry)
    {
        if (commands_.count(Folded(name)) != 0) {
            return;
        }
        if (seeAlso_.size() < kMaxDeferredSeeAlso) {
            seeAlso_.push_back({line, std::string(name), entry});
        } else {
            ++unchecked_;
        }
    }

    // Each related command that no command has as its very name: the viewer offers it only when a command begins
    // with it, and then opens that command.
    void Finish(std::size_t lastLine)
    {
        for (const SeeAlso &see : seeAlso_) {
            const std::u16string key = Folded(see.name);
            const auto candidate = commands_.lower_bound(key);
            if (candidate != commands_.end() && candidate->first == key) {
                continue;
            }
            if (candidate == commands_.end() || candidate->first.compare(0, key.size(), key) != 0) {
                reporter_.Warning(see.line, "see-also name " + Quote(see.name) +
                                                " names no command (none begins with it): entry " + Quote(see.entry) +
                                                " does not offer it");
            } else {
                reporter_.Warning(see.line, "see-also name " + Quote(see.name) + " is no command's name: entry " +
                                                Quote(see.entry) + " offers it, and choosing it opens " +
                                                Quote(candidate->second.name) +
                                                ", the first command that begins with it");
            }
        }
        if (unchecked_ > 0) {
            reporter_.Note(lastLine, Count(unchecked_, "see-also name") + " past the first " +
                                         std::to_string(kMaxDeferredSeeAlso) +
                                         " that name a command further on were not checked");
        }
    }

private:
    struct Command
    {
        std::string name;
        std::size_t line;
    };
    struct SeeAlso
    {
        std::size_t line;
        std::string name;
        std::string entry;
    };

    Reporter &reporter_;
    std::map<std::u16string, Command> commands_; // by folded name, the first of each, for the listed entries
    std::map<std::string, std::size_t> lines_;   // the line of each name's first entry
    std::vector<SeeAlso> seeAlso_;               // in line order, decided at the end
    std::size_t unchecked_ = 0;
};

// The rules of the entries, line by line: where each entry starts and ends, the kinds its lines must have, and its
// size against the readers' windows.
class EntryRules
{
public:
    EntryRules(Reporter &reporter, SeeAlsoTargets &targets) : reporter_(reporter), targets_(targets) {}

    void Take(const Line &line, std::uint64_t lineEnd)
    {
        line_ = &line;
        const bool header = line.Kind() == kHeaderKind;
        switch (where_) {
        case Where::BeforeFirstEntry:
            if (header) {
                StartEntry();
            } else if (!preambleReported_) {
                preambleReported_ = true;
                reporter_.Warning(line.number, "text before the first header ('# name') is never shown");
            }
            break;
        case Where::InEntry:
            InEntry(header, lineEnd);
            break;
        case Where::AfterEntry:
            AfterEntry(header);
            break;
        }
        line_ = nullptr;
    }

    void Finish(const LineReader &lines)
    {
        if (where_ == Where::InEntry || earlyEmptyLine_ != 0) {
            FinishEntry();
        }
        if (entries_ == 0) {
            reporter_.Warning(1, "the file holds no entry");
        } else if (!lines.EndsWithAnEmptyLine()) {
            reporter_.Error(lines.Lines() == 0 ? 1 : lines.Lines(),
                            "the file must end with the empty line that closes its last entry (its last two bytes "
                            "LF LF)");
        }
    }

private:
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
        // The related commands it names so far, each with its line: an entry holds a few at most.
        std::vector<std::pair<std::string, std::size_t>> seeAlso;
    };
    enum class Where
    {
        BeforeFirstEntry,
        InEntry,
        AfterEntry, // after the empty line that closed an entry
    };

    void InEntry(bool header, std::uint64_t lineEnd)
    {
        const Line &line = *line_;
        if (line.Empty()) {
            entry_.end = lineEnd;
            where_ = Where::AfterEntry;
            if (!Complete()) {
                earlyEmptyLine_ = line.number; // told apart by what follows it
            } else {
                FinishEntry();
            }
            return;
        }
        if (header) {
            reporter_.Error(line.number, "a header ('# name') must follow an empty line: here it is taken for a line "
                                         "of entry " +
                                             Quote(entry_.name));
        }
        EntryLine();
    }

    void AfterEntry(bool header)
    {
        const Line &line = *line_;
        if (earlyEmptyLine_ != 0 && !header && !line.Empty()) {
            // The entry goes on after an empty line: the empty line is the mistake, not what follows it.
            reporter_.Error(earlyEmptyLine_, "empty line at line " + std::to_string(earlyEmptyLine_) + " ends entry " +
                                                 Quote(entry_.name) + " before its " + Missing() +
                                                 "; the only empty line of an entry is the one that closes it");
            earlyEmptyLine_ = 0;
            where_ = Where::InEntry;
            EntryLine();
            return;
        }
        if (earlyEmptyLine_ != 0) {
            earlyEmptyLine_ = 0;
            FinishEntry();
        }
        if (header) {
            stray_ = false;
            StartEntry();
        } else if (line.Empty() && !stray_) {
            reporter_.Error(line.number, "a second empty line after entry " + Quote(entry_.name) +
                                             ": only one empty line closes an entry, and a header must follow it");
        } else if (!line.Empty() && !stray_) {
            reporter_.Error(line.number, "text after the empty line that closes entry " + Quote(entry_.name) +
                                             ": the next line must be a header ('# name'); this text belongs to no "
                                             "entry");
            stray_ = true;
        }
    }

    // The bytes a reader skips should be separators: a letter or digit among them is likely part of the text.
    void CheckSkippedBytes(std::size_t skip, const char *what)
    {
        const Line &line = *line_;
        const std::string_view skipped = std::string_view(line.head).substr(1, std::min(skip, line.head.size()) - 1);
        if (std::any_of(skipped.begin(), skipped.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
            reporter_.Warning(line.number, std::string("the ") + what + " begins at byte " + std::to_string(skip + 1) +
                                               " of its line, so it reads " + Quote(line.TextAfter(skip)) + "; the " +
                                               std::to_string(skip) + " bytes before are skipped");
        }
    }

    void StartEntry()
    {
        const Line &line = *line_;
        where_ = Where::InEntry;
        entry_ = Entry{};
        entry_.index = entries_++;
        entry_.headerLine = line.number;
        entry_.lastLine = line.number;
        entry_.headerStart = line.start;
        entry_.name = std::string(CommandNameOf(line.head));

        if (entry_.index == kMaxEntries) {
            reporter_.Error(line.number, "more than " + std::to_string(kMaxEntries) +
                                             " entries: the viewer lists the first " + std::to_string(kMaxEntries) +
                                             " only");
        }
        if (line.length > kMaxHeaderLine) {
            entry_.headerExcess = line.length - kMaxHeaderLine;
            reporter_.Error(line.number, "header line of " + std::to_string(line.length) + " bytes; at most " +
                                             std::to_string(kMaxHeaderLine) + " (a command name of at most " +
                                             std::to_string(kMaxCommandName) + " bytes): cut " +
                                             Count(line.length - kMaxHeaderLine, "byte") + " from the name");
        }
        if (entry_.name.empty()) {
            reporter_.Error(line.number, "header without a command name (the name begins at the header's third byte)");
            return;
        }
        CheckSkippedBytes(kHeaderSkip, "command name");
        if (entry_.index < kMaxEntries) {
            targets_.AddCommand(entry_.name, line.number); // in the viewer's list: see-also jumps look it up
        }
    }

    // The next line of the entry, which is not empty.
    void EntryLine()
    {
        const Line &line = *line_;
        entry_.lastLine = line.number;
        const char kind = line.Kind();
        switch (entry_.stage) {
        case Stage::SecondLine:
            entry_.secondLineStart = line.start;
            entry_.stage = Stage::Description;
            break;
        case Stage::Description:
            DescriptionLine(kind);
            break;
        case Stage::FourthLine:
            entry_.fourthIsParameters = kind == kParametersKind;
            entry_.stage = Stage::Parameters;
            break;
        case Stage::Parameters:
            LookForParameters(kind);
            break;
        case Stage::SeeAlso:
            if (kind == kSeeAlsoKind) {
                SeeAlsoLine();
                break;
            }
            entry_.stage = Stage::Examples;
            [[fallthrough]];
        case Stage::Examples:
            entry_.examples = true;
            entry_.exampleUnits += line.length + kLineBreak.size();
            break;
        case Stage::NotShown:
            break;
        }
    }

    void DescriptionLine(char kind)
    {
        const Line &line = *line_;
        if (kind != kDescriptionKind) {
            reporter_.Error(line.number, "the third line of entry " + Quote(entry_.name) +
                                             " must be its description ('2 ...'); the viewer does not show the entry");
            entry_.stage = Stage::NotShown;
            return;
        }
        if (line.LengthAfter(kDescriptionSkip) == 0) {
            reporter_.Error(line.number, "description line without text (the text begins at its third byte)");
        }
        CheckSkippedBytes(kDescriptionSkip, "description");
        entry_.descriptionUnits = line.LengthAfter(kDescriptionSkip);
        entry_.stage = Stage::FourthLine;
    }

    void LookForParameters(char kind)
    {
        const Line &line = *line_;
        if (kind == kParametersKind) {
            if (line.LengthAfter(kParametersSkip) == 0) {
                reporter_.Error(line.number, "parameters line without text (the text begins at its third byte)");
            }
            CheckSkippedBytes(kParametersSkip, "parameter synopsis");
            entry_.synopsisUnits = line.LengthAfter(kParametersSkip);
            entry_.stage = Stage::SeeAlso;
        } else if (kind == kSeeAlsoKind) {
            reporter_.Warning(line.number, "see-also line before the parameters line of entry " + Quote(entry_.name) +
                                               ": it is not shown (see-also lines come right after the parameters "
                                               "line)");
        }
    }

    void SeeAlsoLine()
    {
        const Line &line = *line_;
        if (line.LengthAfter(kSeeAlsoSkip) == 0) {
            reporter_.Error(line.number, "see-also line without a name (the name begins at its fourth byte)");
            return;
        }
        if (line.LengthAfter(kSeeAlsoSkip) > kMaxSeeAlsoName) {
            reporter_.Error(line.number, "see-also name of " + std::to_string(line.LengthAfter(kSeeAlsoSkip)) +
                                             " characters; at most " + std::to_string(kMaxSeeAlsoName));
        }
        CheckSkippedBytes(kSeeAlsoSkip, "see-also name");
        if (entry_.index >= kMaxEntries) {
            return;
        }
        std::string_view name = line.TextAfter(kSeeAlsoSkip).substr(0, kMaxSeeAlsoName);
        name = name.substr(0, name.find('\0'));
        const auto named = std::find_if(entry_.seeAlso.begin(), entry_.seeAlso.end(),
                                        [name](const auto &before) { return before.first == name; });
        if (named != entry_.seeAlso.end()) {
            reporter_.Warning(line.number, "see-also name " + Quote(name) + " is named again by entry " +
                                               Quote(entry_.name) + " (first at line " + std::to_string(named->second) +
                                               "): Also See lists it as often as it is named");
        } else {
            entry_.seeAlso.emplace_back(name, line.number);
        }
        targets_.AddSeeAlso(line.number, name, entry_.name);
    }

    // True when the entry is whole up to its parameters line, or will never be shown anyway.
    bool Complete() const
    {
        return entry_.stage == Stage::SeeAlso || entry_.stage == Stage::Examples || entry_.stage == Stage::NotShown;
    }

    // What the entry lacks.
    std::string Missing() const
    {
        switch (entry_.stage) {
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
        const std::string name = Quote(entry_.name);
        switch (entry_.stage) {
        case Stage::SecondLine:
        case Stage::Description:
            reporter_.Error(entry_.lastLine,
                            "entry " + name + " ends before its description ('2 ...', its third line)");
            return;
        case Stage::FourthLine:
            reporter_.Error(entry_.lastLine, "entry " + name +
                                                 " ends after its description: a fourth line and the parameters line "
                                                 "('0 ...') must follow");
            return;
        case Stage::Parameters:
            reporter_.Error(entry_.lastLine,
                            "entry " + name + " has no parameters line ('0 ...') after its fourth line" +
                                (entry_.fourthIsParameters ? " (the fourth line is never taken for it)" : ""));
            break;
        case Stage::NotShown:
            return;
        default:
            break;
        }
        if (!CheckWindows()) {
            CheckShownText();
        }
    }

    // The entry's size against the readers' windows. True when it breaks a limit: a text too long for a window is
    // too long for the viewer's text as well, and one cause gives one message.
    bool CheckWindows()
    {
        if (entry_.end == 0) {
            return false;
        }
        const std::string name = Quote(entry_.name);
        const std::uint64_t view = entry_.end - entry_.secondLineStart;
        if (view > kMaxEntryBytes) {
            reporter_.Error(entry_.headerLine, "entry " + name + " is " + std::to_string(view) +
                                                   " bytes from its second line through its closing empty line; the "
                                                   "viewer reads at most " +
                                                   std::to_string(kMaxEntryBytes) + ": cut " +
                                                   Count(view - kMaxEntryBytes, "byte"));
            return true;
        }
        // A header line over its own limit has had its message: it counts here as if cut to that limit.
        const std::uint64_t begin = entry_.index == 0 ? 0 : entry_.headerStart - kBlankLine.size();
        const std::uint64_t span = entry_.end - begin - entry_.headerExcess;
        if (span > kMaxEntryBytes) {
            reporter_.Error(entry_.headerLine,
                            "entry " + name + " spans " + std::to_string(entry_.end - begin) + " bytes " +
                                (entry_.index == 0 ? "from the start of the file" : "with the empty line before it") +
                                "; the search and the index read the file " + std::to_string(kChunkSize) +
                                " bytes at a time: cut " + Count(span - kMaxEntryBytes, "byte"));
            return true;
        }
        return false;
    }

    // The length of the text the viewer composes of the entry.
    void CheckShownText()
    {
        const bool parameters = entry_.stage == Stage::SeeAlso || entry_.stage == Stage::Examples;
        const std::uint64_t shown = entry_.descriptionUnits +
                                    (parameters ? kParamsHeading.size() + entry_.synopsisUnits : 0) +
                                    (entry_.examples ? kExamplesHeading.size() + entry_.exampleUnits : 0);
        const std::uint64_t limit = entry_.examples ? kMaxEntryText : kMaxEntryTextNoExamples;
        if (shown > limit) {
            reporter_.Error(entry_.headerLine,
                            "entry " + Quote(entry_.name) + " makes a text of " + std::to_string(shown) +
                                " characters in the viewer, which shows at most " + std::to_string(limit) +
                                (entry_.examples ? "" : " for an entry without examples") + ": cut " +
                                Count(shown - limit, "character") + " from its description, parameters or examples");
        }
    }

    Reporter &reporter_;
    SeeAlsoTargets &targets_;
    const Line *line_ = nullptr; // the line being taken
    Where where_ = Where::BeforeFirstEntry;
    bool preambleReported_ = false;
    bool stray_ = false;             // within text that follows an entry's closing empty line
    std::size_t earlyEmptyLine_ = 0; // an empty line that closed an unfinished entry, until the next line tells
    Entry entry_;
    std::size_t entries_ = 0;
};

} // namespace

// The checker's parts, wired so that each line goes through the byte rules, then the entry rules.
struct Checker::State
{
    State(std::string name, Report report)
        : fileName(std::move(name)), reporter(std::move(report)), bytes(fileName, reporter), targets(reporter),
          entries(reporter, targets), lines(fileName, reporter, [this](const Line &line, std::uint64_t lineEnd) {
              if (bytes.Check(line)) {
                  lines.StopLookingForUtf8();
              }
              entries.Take(line, lineEnd);
          })
    {}

    void Finish()
    {
        lines.Finish();
        entries.Finish(lines);
        bytes.Finish();
        targets.Finish(lines.Lines());
    }

    std::string fileName;
    Reporter reporter;
    ByteRules bytes;
    SeeAlsoTargets targets;
    EntryRules entries;
    LineReader lines;
};

Checker::Checker(std::string fileName, Report report)
    : state_(std::make_unique<State>(std::move(fileName), std::move(report)))
{}

Checker::~Checker() = default;

void Checker::Feed(std::string_view bytes)
{
    state_->lines.Feed(bytes);
}

void Checker::Finish()
{
    state_->Finish();
}

bool Checker::FoundError() const
{
    return state_->reporter.FoundError();
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
