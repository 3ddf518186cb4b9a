// SPDX-License-Identifier: MIT
// The help data file "korvadoc": its constants and limits as the three readers (index scan, entry view, search) see
// them.
//
// The file is 8-bit Windows-1252 text with LF line ends (a CR before an LF stays part of the line). It is a run of
// entries, each closed by a blank line; the first entry's header is the file's first "#", every later header a "#"
// directly after a blank line. One entry:
//
//   "#", one separator byte, the command name     header; the name is the text from the third byte
//   any non-empty line                            its first byte's offset is the entry's EntryOffset
//   "2", one separator byte, the description
//   any non-empty line                            never taken as the parameters line
//   further non-empty lines                       not shown
//   "0", one separator byte, the synopsis         the first line of kind "0" after the fourth line
//   "-", two more bytes, a command name           see-also lines, zero or more, right after the parameters
//   example lines, the first not of kind "-"      shown whole
//   an empty line                                 ends the entry
//
// The search never reports a match in a line of kind "1" or "3" (IsHiddenFromSearch).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korva::helpdata {

// The name the program looks for in its own folder.
inline constexpr std::string_view kDataFileName = "korvadoc";

// Bytes per read, for every reader.
inline constexpr std::size_t kChunkSize = 2000;
// The shared read buffer: a chunk and two bytes that stay zero for the buffer's whole life.
inline constexpr std::size_t kReadBufferSize = kChunkSize + 2;

// The three bytes between one entry and the next.
inline constexpr std::string_view kEntrySeparator = "\n\n#";
// An entry's closing blank line, with the LF of the line before it.
inline constexpr std::string_view kBlankLine = "\n\n";
// A line of kind "0": the parameters line.
inline constexpr std::string_view kParametersMarker = "\n0";

// Line kinds: the first byte of a line.
inline constexpr char kHeaderKind = '#';
inline constexpr char kDescriptionKind = '2';
inline constexpr char kParametersKind = '0';
inline constexpr char kSeeAlsoKind = '-';
inline constexpr char kHiddenKindOne = '1';
inline constexpr char kHiddenKindThree = '3';

// True for a line whose first byte is `kind` when the search never reports what it holds: the lines of kind "1" and
// "3", which only annotate an entry. Find/Next, the ranked results and the checker all ask this.
constexpr bool IsHiddenFromSearch(char kind)
{
    return kind == kHiddenKindOne || kind == kHiddenKindThree;
}

// Bytes a reader skips at the start of a line before its text.
inline constexpr std::size_t kHeaderSkip = 2;
inline constexpr std::size_t kDescriptionSkip = 2;
inline constexpr std::size_t kParametersSkip = 2;
inline constexpr std::size_t kSeeAlsoSkip = 3;

// Pieces of the composed entry text.
inline constexpr std::u16string_view kParamsHeading = u"\r\n\r\nParams:";
inline constexpr std::u16string_view kExamplesHeading = u"\r\n\r\nExamples:\r\n";
inline constexpr std::u16string_view kLineBreak = u"\r\n";

// Limits a well-formed file keeps.
inline constexpr std::size_t kMaxHeaderLine = 48;   // from the "#" to the byte before its LF
inline constexpr std::size_t kMaxCommandName = 46;  // bytes
inline constexpr std::size_t kMaxSeeAlsoName = 99;  // characters
inline constexpr std::size_t kMaxEntries = 32768;   // list positions up to 32767
inline constexpr std::size_t kMaxEntryBytes = 2000; // from the second line through the closing LF
inline constexpr std::size_t kMaxEntryText = 999;   // composed text, UTF-16 units
// A text without examples leaves room for the examples heading, which a reader may put in before it knows there are
// none and then cut back.
inline constexpr std::size_t kMaxEntryTextNoExamples = kMaxEntryText - kExamplesHeading.size();

// Text buffers, in UTF-16 units with the terminator.
inline constexpr std::size_t kIndexNameBufferSize = 500;
inline constexpr std::size_t kEntryTextBufferSize = 1000;
inline constexpr std::size_t kSeeAlsoNameBufferSize = 100;
inline constexpr std::size_t kSearchTextBufferSize = 50;
inline constexpr std::size_t kSearchNameBufferSize = 50;
// The search key, in bytes with the terminator.
inline constexpr std::size_t kSearchKeyBufferSize = 50;

// The command name of a header line (from its "#" to the byte before its LF): the text from its third byte, up to a
// NUL, which ends it as it ends every text the readers hold.
constexpr std::string_view CommandNameOf(std::string_view headerLine)
{
    const std::string_view name = headerLine.size() > kHeaderSkip ? headerLine.substr(kHeaderSkip) : std::string_view();
    return name.substr(0, name.find('\0'));
}

// Captions of the Find button and the one message the program shows.
inline constexpr std::u16string_view kFindCaption = u"Find";
inline constexpr std::u16string_view kNextCaption = u"Next";
inline constexpr std::u16string_view kSearchCompleted = u"Search completed";

} // namespace korva::helpdata
