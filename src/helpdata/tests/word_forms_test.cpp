// SPDX-License-Identifier: MIT
// How two words can be the same word: the stems of their forms, British spellings, and near spellings counted two
// ways, each checked against the plain count.
#include "helpdata/word_forms.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korva::helpdata {
namespace {

// The optimal string alignment distance, cell by cell.
std::size_t PlainDistance(const std::string &a, const std::string &b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

TEST(WordForms, NearSpellingsAgreeWithThePlainCount)
{
    std::mt19937 random(20261209);
    const auto word = [&random](std::size_t longest) {
        std::string text(1 + random() % longest, 'a');
        for (char &c : text) {
            c = static_cast<char>('a' + random() % 4); // few letters: many near pairs
        }
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string a = word(12);
        const std::string b = word(12);
        const std::size_t distance = PlainDistance(a, b);
        const EditsFrom from(a);
        ASSERT_EQ(from.Distance(b), distance) << a << " " << b;
        for (std::size_t edits = 0; edits <= 2; ++edits) {
            ASSERT_EQ(WithinEdits(a, b, edits), distance <= edits) << a << " " << b << " " << edits;
            ASSERT_EQ(from.Within(b, edits), distance <= edits) << a << " " << b << " " << edits;
        }
    }
    EXPECT_EQ(EditsFrom(std::string(64, 'x')).Distance(std::string(63, 'x') + "y"), 1u); // the longest it counts
    EXPECT_EQ(NearEditsFor(3), 0u);
    EXPECT_EQ(NearEditsFor(4), 1u);
    EXPECT_EQ(NearEditsFor(8), 2u);
}

TEST(WordForms, StemsJoinTheFormsOfAWord)
{
    if (!WordForms::Available()) {
        GTEST_SKIP() << "built without Snowball's stemmer (the Windows core): every word is its own stem";
    }
    WordForms forms;
    const auto same = [&forms](const char *a, const char *b) { return FormsMatch(forms.Stem(a), forms.Stem(b)); };
    for (const auto &[a, b] : std::vector<std::pair<const char *, const char *>>{{"determinants", "determinant"},
                                                                                 {"integrals", "integral"},
                                                                                 {"expanding", "expand"},
                                                                                 {"simplification", "simplify"},
                                                                                 {"factorise", "factorize"},
                                                                                 {"factorisation", "factorization"},
                                                                                 {"analyse", "analyze"},
                                                                                 {"files", "file"}}) {
        EXPECT_TRUE(same(a, b)) << a << " " << b << ": " << forms.Stem(a) << " " << forms.Stem(b);
    }
    EXPECT_FALSE(same("rise", "rize")); // a short word keeps its own spelling
    EXPECT_FALSE(same("sum", "summary"));
}

TEST(WordForms, AStemBeginsAnotherFromFiveLetters)
{
    EXPECT_TRUE(FormsMatch("simplif", "simplifi"));
    EXPECT_TRUE(FormsMatch("owner", "ownership"));
    EXPECT_FALSE(FormsMatch("integ", "in"));
    EXPECT_FALSE(FormsMatch("sum", "summari")); // three letters begin no longer stem
    EXPECT_TRUE(FormsMatch("sum", "sum"));
    EXPECT_FALSE(FormsMatch("", ""));
}

// Without Snowball a word is its own stem, but for its British ending.
TEST(WordForms, NoStemmerLeavesEachWordItsOwnStem)
{
    WordForms forms;
    EXPECT_EQ(forms.Stem("caf\xe9"), "caf\xe9"); // beyond a to z: its own
    EXPECT_EQ(forms.Stem("x86"), "x86");
    if (!WordForms::Available()) {
        EXPECT_EQ(forms.Stem("factorise"), "factorize");
        EXPECT_EQ(forms.Stem("expanding"), "expanding");
    }
}

} // namespace
} // namespace korva::helpdata
