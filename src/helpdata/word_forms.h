// SPDX-License-Identifier: MIT
// How two words of the folded text can be the same word: another form of it (English stems from Snowball, where the
// program is built with them), or a near spelling of it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korva::helpdata {

// A stem shorter than this begins no longer one as its form: "integ" would make "integer" a form of "integral".
inline constexpr std::size_t kMinFormPrefix = 5;

// English word forms: the stem of a folded word by Snowball's English stemmer, after British -is- (and -ys-)
// spellings are mapped to -iz- (-yz-), so that "factorise" and "factorize" stem alike. A word of anything but the
// letters a to z is its own stem, as is every word where the program is built without Snowball (Available()). Each
// thread stems with a stemmer of its own, made once.
class WordForms
{
public:
    // True when the program was built with Snowball's stemmer; without it every word is its own stem.
    static bool Available();

    std::string Stem(std::string_view word);
};

// True when the words of these stems are forms of one word: the stems are equal, or one begins the other and the
// shorter has at least kMinFormPrefix letters.
bool FormsMatch(std::string_view stemA, std::string_view stemB);

// True when `a` and `b` are at most `edits` edits apart, each edit a letter changed, added or dropped, or two
// neighbours swapped (the optimal string alignment distance). `edits` is 0, 1 or 2.
bool WithinEdits(std::string_view a, std::string_view b, std::size_t edits);

// The words within a few edits of one word, told a word at a time by Hyyrö's bit-parallel count of the optimal string
// alignment distance: a few operations a letter, however far apart the words are. What WithinEdits tells, faster, for
// the words a query holds against every name.
class EditsFrom
{
public:
    explicit EditsFrom(std::string_view word);

    // WithinEdits(word, other, edits).
    bool Within(std::string_view other, std::size_t edits) const;
    // The distance itself, for words of up to 64 letters.
    std::size_t Distance(std::string_view other) const;

private:
    static constexpr std::size_t kLongest = 64;

    std::string word_;
    std::array<std::uint64_t, 256> places_{}; // for each byte, the places of the word that hold it
};

// The edits a query word of this length may be from a word of the text and still be its near spelling: one from
// four letters on, two from eight; none below four.
std::size_t NearEditsFor(std::size_t letters);

} // namespace korva::helpdata
