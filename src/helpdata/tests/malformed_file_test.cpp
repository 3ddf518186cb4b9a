// SPDX-License-Identifier: MIT
// Files that break the format's rules: the engine never crashes, hangs, reads or writes outside a buffer, or shows
// bytes of an earlier read, and what it shows follows from what it parsed.
#include "engine_fixture.h"
#include "helpdata/testing/engine_exerciser.h"
#include "test_support/test_support.h"

#include <filesystem>
#include <random>

namespace korva::helpdata::testing {

using namespace std::string_literals;
namespace {

// Every check of the exerciser on `bytes`, with a few search texts.
void ExpectEveryRuleHolds(const std::string &bytes)
{
    EXPECT_EQ(CheckIndexScan(bytes), std::vector<std::string>{});
    EXPECT_EQ(CheckEntryViews(bytes), std::vector<std::string>{});
    for (const std::u16string &text : {std::u16string(u"key"), std::u16string(u"x"), std::u16string(u"\n"),
                                       std::u16string(u"#"), std::u16string(u"\u20ac\u00e9"), std::u16string(u"2 ")}) {
        EXPECT_EQ(CheckSearchPass(bytes, text), std::vector<std::string>{});
        EXPECT_EQ(CheckRankedResults(bytes, text), std::vector<std::string>{});
    }
    EXPECT_EQ(CheckRankedResults(bytes, u"a e"), std::vector<std::string>{});
}

TEST(MalformedFiles, EverySeedFileAndTheSample)
{
    std::vector<std::filesystem::path> files = {KORVA_SAMPLE_DATA};
    for (const auto &seed : std::filesystem::directory_iterator(KORVA_FUZZ_SEEDS)) {
        files.push_back(seed.path());
    }
    ASSERT_GT(files.size(), 10u);
    for (const auto &file : files) {
        SCOPED_TRACE(file.filename().string());
        ExpectEveryRuleHolds(korva::testing::ReadFileBytes(file));
    }
}

TEST(MalformedFiles, RandomBinary)
{
    std::mt19937 random(1234);
    for (const std::size_t size : {1u, 2u, 3u, 50u, 1999u, 2000u, 2001u, 4100u, 9000u}) {
        SCOPED_TRACE(size);
        for (int round = 0; round < 4; ++round) {
            std::string bytes(size, '\0');
            for (char &byte : bytes) {
                // Mostly the bytes the readers look for, so that the parse goes somewhere.
                const char special[] = {'#', '\n', '\n', '2', '0', '-', '1', '3', ' ', 'k', 'e', 'y', '\0'};
                byte = random() % 3 == 0 ? static_cast<char>(random()) : special[random() % sizeof special];
            }
            ExpectEveryRuleHolds(bytes);
        }
    }
}

class MalformedFile : public EngineTest
{};

TEST_F(MalformedFile, OnlyHashBytesOrOnlyLineFeedsHoldNoCommand)
{
    for (const std::string &bytes : {std::string(5000, '#'), std::string(5000, '\n'), std::string(1, '#')}) {
        Open(bytes);
        EXPECT_EQ(window.commandList.GetCount(), 0);
        Type(u"#");
        Tap();
        EXPECT_EQ(window.messages.back(), u"Search completed");
    }
}

TEST_F(MalformedFile, NulEndsTheTextEachReaderHolds)
{
    Open("# ab\0cd\n1 a\n2 d\n3 c\n0 p\0q\n-> ab\n\n"s + SimpleEntry("zz", "nul\0after"s));
    ASSERT_EQ(ListItems().size(), 2u);
    EXPECT_EQ(ListItems()[0].first, "ab");
    Select("ab");
    EXPECT_EQ(EntryText(), u"d\r\n\r\nParams:p"); // the window ends at the NUL in the parameters line
    Select("zz");
    EXPECT_EQ(EntryText(), u""); // its description has no LF before the NUL: it cannot be shown
    EXPECT_TRUE(SeeAlso().empty());
}

TEST_F(MalformedFile, MatchInStrayTextAfterAnEntryIsNotReported)
{
    Open(SimpleEntry("first", "no") + "stray key\n\n" + SimpleEntry("second", "key"));
    Type(u"key");
    Tap();
    EXPECT_EQ(Selected(), "second");
}

TEST_F(MalformedFile, FileThatGrowsDuringAPassStillEnds)
{
    std::string bytes;
    for (int i = 0; i < 20; ++i) {
        bytes += SimpleEntry(std::string("c").append(std::to_string(i)), "key");
    }
    Open(bytes);
    Type(u"key");
    int taps = 0;
    while (window.messages.empty() && taps < 200) {
        Tap();
        ++taps;
        if (taps == 5) {
            file.SetBytes(bytes + bytes + SimpleEntry("added", "key")); // more entries holding the text
        }
    }
    // The change starts a new pass over the 41 entries the file now holds.
    EXPECT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(taps, 5 + 41 + 1);
}

TEST_F(MalformedFile, EntryLongerThanTheWindowShowsWhatTheWindowHolds)
{
    Open(Entry("long", {"1 a", "2 d", "3 " + std::string(1990, 'n'), "0 p"}) + SimpleEntry("next"));
    Select("next");
    const std::u16string shown = EntryText();
    Select("long"); // its parameters line lies beyond the 2000-byte window
    EXPECT_EQ(EntryText(), u"d");
    EXPECT_NE(EntryText(), shown);
}

} // namespace
} // namespace korva::helpdata::testing
