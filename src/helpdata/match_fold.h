// SPDX-License-Identifier: MIT
// How the ranked search compares what a user types with the data file's text: both folded byte for byte in the data
// file's code page, and cut into words at the bytes that are no part of one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace korva::helpdata {

// Folding for matching what a user types against the file's text, byte for byte in the code page: letters to lower
// case and without their accents (É, é and e alike; Ö and o; Š and s), every other byte as itself. Letters without
// a plain counterpart (ß, æ, œ, þ) fold to their lower-case selves.
inline constexpr std::array<unsigned char, 256> kMatchFold = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = static_cast<unsigned char>(byte >= 'A' && byte <= 'Z' ? byte + 0x20 : byte);
    }
    // Each base letter, and the code page's bytes that fold to it.
    const auto fold = [&table](unsigned char base, std::initializer_list<unsigned char> bytes) {
        for (const unsigned char byte : bytes) {
            table[byte] = base;
        }
    };
    fold('a', {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5});
    fold('c', {0xC7, 0xE7});
    fold('d', {0xD0, 0xF0});
    fold('e', {0xC8, 0xC9, 0xCA, 0xCB, 0xE8, 0xE9, 0xEA, 0xEB});
    fold('f', {0x83});
    fold('i', {0xCC, 0xCD, 0xCE, 0xCF, 0xEC, 0xED, 0xEE, 0xEF});
    fold('n', {0xD1, 0xF1});
    fold('o', {0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8});
    fold('s', {0x8A, 0x9A});
    fold('u', {0xD9, 0xDA, 0xDB, 0xDC, 0xF9, 0xFA, 0xFB, 0xFC});
    fold('y', {0x9F, 0xDD, 0xFD, 0xFF});
    fold('z', {0x8E, 0x9E});
    fold(0xE6, {0xC6}); // Æ
    fold(0x9C, {0x8C}); // Œ
    fold(0xFE, {0xDE}); // Þ
    return table;
}();

// One byte folded for matching, as `kMatchFold` folds it.
inline char FoldByte(char byte)
{
    return static_cast<char>(kMatchFold[static_cast<unsigned char>(byte)]);
}

// For each byte, true when it is part of a word, folded: a letter or a digit.
inline constexpr std::array<bool, 256> kWordBytes = [] {
    std::array<bool, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        const unsigned char folded = kMatchFold[byte];
        table[byte] = (folded >= 'a' && folded <= 'z') || (folded >= '0' && folded <= '9') || folded == 0xDF ||
                      folded == 0xE6 || folded == 0x9C || folded == 0xFE;
    }
    return table;
}();

// True for a byte that, folded, is part of a word: a letter or a digit.
inline bool IsWordByte(unsigned char byte)
{
    return kWordBytes[byte];
}

// The letters a word holds, a bit for each byte's low six bits: a bit a word lacks is a letter it lacks, whichever
// other letters share the bit.
using Letters = std::uint64_t;

inline Letters LetterOf(unsigned char byte)
{
    return Letters{1} << (byte & 63U);
}

// For each byte of a word, its folded letter's bit (LetterOf); 0 for a byte of no word: one lookup tells both.
inline constexpr std::array<Letters, 256> kWordLetters = [] {
    std::array<Letters, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = kWordBytes[byte] ? Letters{1} << (kMatchFold[byte] & 63U) : 0;
    }
    return table;
}();

inline Letters LettersOf(std::string_view word)
{
    Letters letters = 0;
    for (const char byte : word) {
        letters |= LetterOf(static_cast<unsigned char>(byte));
    }
    return letters;
}

// True when `text` begins with `prefix`: for the short words and names of a search, a loop that most often ends at the
// first or second letter, not a call to compare memory.
inline bool BeginsWith(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size()) {
        return false;
    }
    for (std::size_t at = 0; at < prefix.size(); ++at) {
        if (text[at] != prefix[at]) {
            return false;
        }
    }
    return true;
}

// True when a word holding `have` lacks more of the letters `wanted` than `edits` edits could bring: each lacking
// letter takes one.
inline bool LacksMoreThan(Letters wanted, Letters have, std::size_t edits)
{
    Letters lacking = wanted & ~have;
    for (std::size_t allowed = 0; allowed < edits && lacking != 0; ++allowed) {
        lacking &= lacking - 1;
    }
    return lacking != 0;
}

} // namespace korva::helpdata
