// SPDX-License-Identifier: MIT
#include "word_forms.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#if defined(KORVA_HAVE_STEMMER)
#include <libstemmer.h>
#endif

namespace korva::helpdata {

namespace {

// A word longer than this is its own stem: no English word is, and the stemmer's work stays bounded.
constexpr std::size_t kMaxStemmedLetters = 64;

// British endings and their American spellings: the stemmer knows -ize and -yze words, not -ise and -yse ones.
struct Spelling
{
    std::string_view british;
    std::string_view american;
};
constexpr std::array kBritishEndings = {
    Spelling{"isations", "izations"}, Spelling{"isation", "ization"}, Spelling{"ising", "izing"},
    Spelling{"ised", "ized"},         Spelling{"ises", "izes"},       Spelling{"isers", "izers"},
    Spelling{"iser", "izer"},         Spelling{"ise", "ize"},         Spelling{"ysing", "yzing"},
    Spelling{"ysed", "yzed"},         Spelling{"yses", "yzes"},       Spelling{"yse", "yze"},
};

bool IsPlainWord(std::string_view word)
{
    return !word.empty() && word.size() <= kMaxStemmedLetters &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// `word` with a British ending in its American spelling. A short word keeps its own ("rise", "wise", "raise"): the
// ending must leave at least three letters before it.
std::string AmericanSpelling(std::string_view word)
{
    for (const Spelling &ending : kBritishEndings) {
        if (word.size() >= ending.british.size() + 3 && word.ends_with(ending.british)) {
            return std::string(word.substr(0, word.size() - ending.british.size())).append(ending.american);
        }
    }
    return std::string(word);
}

} // namespace

#if defined(KORVA_HAVE_STEMMER)
namespace {

// Snowball's English stemmer, one a thread, made when the thread first stems a word: a stemmer may be used by one
// thread at a time, and making one costs more than most searches' stems.
sb_stemmer *ThreadStemmer()
{
    struct Stemmer
    {
        Stemmer() : english(sb_stemmer_new("english", "UTF_8")) {}
        ~Stemmer() { sb_stemmer_delete(english); }
        Stemmer(const Stemmer &) = delete;
        Stemmer &operator=(const Stemmer &) = delete;
        sb_stemmer *english;
    };
    thread_local const Stemmer stemmer;
    return stemmer.english;
}

} // namespace

bool WordForms::Available()
{
    return true;
}
#else
bool WordForms::Available()
{
    return false;
}
#endif

std::string WordForms::Stem(std::string_view word)
{
    if (!IsPlainWord(word)) {
        return std::string(word);
    }
    std::string american = AmericanSpelling(word);
#if defined(KORVA_HAVE_STEMMER)
    sb_stemmer *english = ThreadStemmer();
    if (english != nullptr) {
        const sb_symbol *stem = sb_stemmer_stem(english, reinterpret_cast<const sb_symbol *>(american.data()),
                                                static_cast<int>(american.size()));
        if (stem != nullptr) {
            return std::string(reinterpret_cast<const char *>(stem),
                               static_cast<std::size_t>(sb_stemmer_length(english)));
        }
    }
#endif
    return american;
}

bool FormsMatch(std::string_view stemA, std::string_view stemB)
{
    if (stemA.empty() || stemB.empty()) {
        return false;
    }
    const std::string_view shorter = stemA.size() <= stemB.size() ? stemA : stemB;
    const std::string_view longer = stemA.size() <= stemB.size() ? stemB : stemA;
    return shorter == longer || (shorter.size() >= kMinFormPrefix && longer.starts_with(shorter));
}

std::size_t NearEditsFor(std::size_t letters)
{
    return letters >= 8 ? 2 : letters >= 4 ? 1 : 0;
}

bool WithinEdits(std::string_view a, std::string_view b, std::size_t edits)
{
    if (a.size() > b.size()) {
        std::swap(a, b);
    }
    if (b.size() - a.size() > edits) {
        return false;
    }
    if (edits == 0) {
        return a == b;
    }
    // The words' common start and end take no edit; what is left is short.
    while (!a.empty() && a.front() == b.front()) {
        a.remove_prefix(1);
        b.remove_prefix(1);
    }
    while (!a.empty() && a.back() == b.back()) {
        a.remove_suffix(1);
        b.remove_suffix(1);
    }
    if (a.empty()) {
        return b.size() <= edits;
    }
    if (edits == 1) {
        // One edit leaves one letter changed, or two neighbours swapped, between a common start and end.
        return a.size() == b.size() && (a.size() == 1 || (a.size() == 2 && a[0] == b[1] && a[1] == b[0]));
    }
    // The optimal string alignment distance, row by row, three rows kept; cut short once every cell of a row is past
    // the edits allowed.
    constexpr std::size_t kLongest = 96;
    if (b.size() + 1 > kLongest) {
        return false;
    }
    std::array<std::array<std::uint8_t, kLongest>, 3> rows{};
    std::uint8_t *before = rows[0].data();
    std::uint8_t *previous = rows[1].data();
    std::uint8_t *row = rows[2].data();
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = static_cast<std::uint8_t>(j);
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = static_cast<std::uint8_t>(std::min<std::size_t>(i, 255));
        std::uint8_t least = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int change = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            int cost = std::min({previous[j] + 1, row[j - 1] + 1, change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                cost = std::min(cost, before[j - 2] + 1);
            }
            row[j] = static_cast<std::uint8_t>(std::min(cost, 255));
            least = std::min(least, row[j]);
        }
        if (least > edits) {
            return false;
        }
        std::swap(before, previous);
        std::swap(previous, row);
    }
    return previous[b.size()] <= edits;
}

EditsFrom::EditsFrom(std::string_view word) : word_(word)
{
    for (std::size_t at = 0; at < std::min(word.size(), kLongest); ++at) {
        places_[static_cast<unsigned char>(word[at])] |= std::uint64_t{1} << at;
    }
}

std::size_t EditsFrom::Distance(std::string_view other) const
{
    const std::size_t length = word_.size();
    if (length == 0) {
        return other.size();
    }
    // Column by column of the distance matrix, each column's vertical differences as bits (Hyyrö 2002, after Myers
    // 1999), with the transposition of neighbours taken from the letter before.
    const std::uint64_t last = std::uint64_t{1} << (length - 1);
    // The differences between neighbouring cells: down a column (+1 or -1 where the bit is set), across a row, and
    // where a diagonal step costs nothing.
    std::uint64_t downPlus = length == kLongest ? ~std::uint64_t{0} : (last << 1) - 1;
    std::uint64_t downMinus = 0;
    std::uint64_t diagonalFree = 0;
    std::uint64_t placesBefore = 0;
    std::size_t distance = length;
    for (const char letter : other) {
        const std::uint64_t places = places_[static_cast<unsigned char>(letter)];
        const std::uint64_t swapped = (((~diagonalFree) & places) << 1) & placesBefore;
        diagonalFree = (((places & downPlus) + downPlus) ^ downPlus) | places | downMinus | swapped;
        std::uint64_t acrossPlus = downMinus | ~(diagonalFree | downPlus);
        std::uint64_t acrossMinus = diagonalFree & downPlus;
        if ((acrossPlus & last) != 0) {
            ++distance;
        } else if ((acrossMinus & last) != 0) {
            --distance;
        }
        acrossPlus = (acrossPlus << 1) | 1;
        acrossMinus <<= 1;
        downPlus = acrossMinus | ~(diagonalFree | acrossPlus);
        downMinus = acrossPlus & diagonalFree;
        placesBefore = places;
    }
    return distance;
}

bool EditsFrom::Within(std::string_view other, std::size_t edits) const
{
    const std::size_t difference =
        other.size() > word_.size() ? other.size() - word_.size() : word_.size() - other.size();
    if (difference > edits) {
        return false;
    }
    if (word_.size() > kLongest || edits <= 1) {
        return WithinEdits(word_, other, edits); // one edit is told at a glance there
    }
    // Each letter the word does not hold at all takes an edit of its own: most words are told apart by that alone.
    std::size_t foreign = 0;
    for (const char letter : other) {
        if (places_[static_cast<unsigned char>(letter)] == 0 && ++foreign > edits) {
            return false;
        }
    }
    return Distance(other) <= edits;
}

} // namespace korva::helpdata
