// SPDX-License-Identifier: MIT
#include "engine_fixture.h"
#include "helpdata/command_names.h"

#include <algorithm>
#include <random>

namespace korva::helpdata::testing {
namespace {

using Items = std::vector<std::pair<std::string, std::uint32_t>>;

class IndexScan : public EngineTest
{
protected:
    // The index must hold exactly the reference headers, in the list's order: case ignored, equal names in file order.
    void ExpectIndexMatchesReference(const std::string &bytes)
    {
        Items expected = ReferenceHeaders(bytes);
        std::stable_sort(expected.begin(), expected.end(), [](const auto &a, const auto &b) {
            return platform::CompareFolded(U16(a.first), U16(b.first)) < 0;
        });
        EXPECT_EQ(ListItems(), expected);
    }

    // `count` entries of varied lengths, the file shifted by each padding below `pads`: the index always equals the
    // reference. Names cycle through `names` numbers; bodies are up to `longestBody` bytes.
    void ExpectEveryAlignmentIndexed(int count, int names, int longestBody, std::size_t pads, std::size_t leastSize = 0)
    {
        std::string entries;
        for (int i = 0; i < count; ++i) {
            const std::string name = "cmd" + std::to_string(i * 7919 % names);
            entries += i % 5 == 0 ? Entry(name, {"x"})
                                  : SimpleEntry(name, std::string(static_cast<std::size_t>(i * 13 % longestBody), 'd'));
        }
        ASSERT_GT(entries.size(), leastSize);
        for (std::size_t pad = 0; pad < pads; ++pad) {
            SCOPED_TRACE(pad);
            const std::string bytes = std::string(pad, 'p') + entries;
            Open(bytes);
            ExpectIndexMatchesReference(bytes);
            EXPECT_EQ(window.commandList.GetCount(), count);
        }
    }
};

// Padding that fills a file up to `size` bytes: a line of "x" and its LF.
std::string Filler(std::size_t size)
{
    return std::string(size - 1, 'x') + "\n";
}

TEST_F(IndexScan, EmptyFileYieldsEmptyList)
{
    Open("");
    EXPECT_EQ(window.commandList.GetCount(), 0);
    EXPECT_TRUE(window.commandList.Redraw());
}

TEST_F(IndexScan, RedrawIsOffForTheWholeScanAndOnAfterwards)
{
    Open(SimpleEntry("solve") + SimpleEntry("factor"));
    EXPECT_EQ(window.commandList.RedrawOffCount(), 1);
    EXPECT_TRUE(window.commandList.Redraw());
}

TEST_F(IndexScan, EntryOffsetWhenFileBeginsWithHeader)
{
    Open("# solve\n1 a\n2 b\n3 c\n0 d\n\n");
    EXPECT_EQ(ListItems(), (Items{{"solve", 8}}));
}

TEST_F(IndexScan, TextBeforeFirstHeaderIsIgnored)
{
    Open("a preamble\n\nwith a blank line\n# solve\n1 a\n2 b\n3 c\n0 d\n\n");
    EXPECT_EQ(ListItems(), (Items{{"solve", 38}}));
}

TEST_F(IndexScan, ListIsSortedCaseIgnoredNotInFileOrder)
{
    Open(SimpleEntry("solve") + SimpleEntry("Expand") + SimpleEntry("abs") + SimpleEntry("diff"));
    std::vector<std::string> names;
    for (const auto &item : ListItems()) {
        names.push_back(item.first);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"abs", "diff", "Expand", "solve"}));
}

TEST_F(IndexScan, DuplicateNamesStandAdjacentInFileOrderWithTheirOwnOffsets)
{
    const std::string first = SimpleEntry("zeta", "first");
    const std::string second = SimpleEntry("zeta", "second");
    Open(first + SimpleEntry("abs") + second);
    const Items items = ListItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1], (std::pair<std::string, std::uint32_t>{"zeta", 7}));
    EXPECT_EQ(items[2].first, "zeta");
    EXPECT_EQ(items[2].second, first.size() + SimpleEntry("abs").size() + 7);
    EXPECT_EQ(window.commandList.FindString(u"ZETA"), 1);
}

TEST_F(IndexScan, NamesEqualButForCaseKeepFileOrder)
{
    Open(SimpleEntry("gamma") + SimpleEntry("Gamma"));
    const Items items = ListItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first, "gamma");
    EXPECT_EQ(items[1].first, "Gamma");
    EXPECT_EQ(window.commandList.FindString(u"GAMMA"), 0);
}

TEST_F(IndexScan, CrLfFileYieldsOneItemWhoseNameEndsInCr)
{
    Open("# solve\r\n1 a\r\n2 b\r\n3 c\r\n0 d\r\n\r\n# factor\r\n1 a\r\n\r\n");
    EXPECT_EQ(ListItems(), (Items{{"solve\r", 9}}));
}

TEST_F(IndexScan, LastHeaderWithoutLfIsNotIndexedAndTheRestStays)
{
    Open(SimpleEntry("solve") + SimpleEntry("abs") + "# tail");
    EXPECT_EQ(window.commandList.GetCount(), 2);
}

TEST_F(IndexScan, LastHeaderWithoutLfAtABlocksEndEndsTheScan)
{
    // The cut header lies at the end of a full block and the file ends with it.
    const std::string head = SimpleEntry("solve");
    std::string bytes = head + Filler(kScanBlockSize - head.size() - 3) + "\n# t";
    ASSERT_EQ(bytes.size(), kScanBlockSize + 1u);
    Open(bytes);
    EXPECT_EQ(ListItems(), (Items{{"solve", 8}}));
}

TEST_F(IndexScan, NameStopsAtNulAndHeaderLineOverLimitIsStillIndexed)
{
    const std::string longName(60, 'n');
    Open(Entry(std::string("ab\0cd", 5), {"1 a"}) + Entry(longName, {"1 a"}));
    const Items items = ListItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first, "ab");
    EXPECT_EQ(items[1].first, longName);
}

TEST_F(IndexScan, NameIsCutToTheNameBuffer)
{
    Open(Entry(std::string(700, 'n'), {"1 a"}));
    ASSERT_EQ(window.commandList.GetCount(), 1);
    EXPECT_EQ(window.commandList.GetText(0).size(), kIndexNameBufferSize - 1);
    EXPECT_EQ(window.commandList.GetItemData(0), 703u);
}

// A separator LF LF "#" straddling the end of the first block at each of its three bytes.
TEST_F(IndexScan, SeparatorStraddlingABlockBoundaryAtEachByte)
{
    for (std::size_t hashAt : {kScanBlockSize - 1, kScanBlockSize, kScanBlockSize + 1}) {
        SCOPED_TRACE(hashAt);
        const std::string head = SimpleEntry("first");
        // The entry ends with "...\n\n"; pad its body so that the next "#" lands at `hashAt`.
        std::string body = head.substr(0, head.size() - 1) + Filler(hashAt - head.size()) + "\n";
        const std::string bytes = body + SimpleEntry("second") + SimpleEntry("third");
        ASSERT_EQ(bytes[hashAt], '#');
        Open(bytes);
        ExpectIndexMatchesReference(bytes);
        EXPECT_EQ(window.commandList.GetCount(), 3);
    }
}

// A header line cut by a block's end, before any separator was seen (the first header of the file) and after.
TEST_F(IndexScan, HeaderLineCutByABlocksEnd)
{
    for (std::size_t hashAt : {kScanBlockSize - 40, kScanBlockSize - 10, kScanBlockSize - 1}) {
        SCOPED_TRACE(hashAt);
        // First header of the file, after a long preamble.
        const std::string first = Filler(hashAt - 1) + "\n" + SimpleEntry("first") + SimpleEntry("next");
        Open(first);
        ExpectIndexMatchesReference(first);
        EXPECT_EQ(window.commandList.GetCount(), 2);

        // A later header.
        const std::string head = SimpleEntry("head");
        const std::string later = head.substr(0, head.size() - 1) + Filler(hashAt - head.size()) + "\n" +
                                  SimpleEntry("cut") + SimpleEntry("z");
        ASSERT_EQ(later[hashAt], '#');
        Open(later);
        ExpectIndexMatchesReference(later);
        EXPECT_EQ(window.commandList.GetCount(), 3);
    }
}

// Short entries lying at the end of a block, before a header the block cuts: each indexed once.
TEST_F(IndexScan, ShortEntriesBeforeACutHeaderAreIndexedOnce)
{
    const std::string tiny = "# t\nx\n\n"; // 7 bytes
    std::string bytes = SimpleEntry("head");
    bytes = bytes.substr(0, bytes.size() - 1) + Filler(kScanBlockSize - 30 - bytes.size()) + "\n";
    for (int i = 0; i < 4; ++i) {
        bytes += tiny;
    }
    bytes += SimpleEntry("cut across the boundary") + SimpleEntry("after");
    Open(bytes);
    ExpectIndexMatchesReference(bytes);
    EXPECT_EQ(window.commandList.GetCount(), 7);
}

TEST_F(IndexScan, HeaderLineLongerThanAChunkIsPassedOverAndTheScanGoesOn)
{
    const std::string bytes = SimpleEntry("first") + "# " + std::string(2500, 'n') + "\n1 a\n\n" + SimpleEntry("last");
    Open(bytes);
    const Items items = ListItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first, "first");
    EXPECT_EQ(items[1].first, "last");
    EXPECT_EQ(items[1].second, bytes.size() - SimpleEntry("last").size() + 7);
}

// Every alignment of entries against the boundaries of the blocks the scan reads (64 KiB): the index always equals
// the reference.
TEST_F(IndexScan, AnyAlignmentOfEntriesAgainstBlocks)
{
    ExpectEveryAlignmentIndexed(2800, 10000, 50, 110, std::size_t{2} * kScanBlockSize);
}

// A header line's length at the limit of the readers' chunks: held whole with its LF, or passed over.
TEST_F(IndexScan, HeaderLineOfAChunkLessOneIsTheLongestIndexed)
{
    const std::string longest = "# " + std::string(kChunkSize - 3, 'n'); // 1999 bytes before its LF
    const std::string tooLong = "# " + std::string(kChunkSize - 2, 'm');
    Open(SimpleEntry("first") + longest + "\n1 a\n\n" + tooLong + "\n1 a\n\n" + SimpleEntry("last"));
    EXPECT_EQ(window.commandList.GetCount(), 3);
    EXPECT_EQ(window.commandList.GetText(2).size(), kIndexNameBufferSize - 1); // the long name, cut to its buffer
    EXPECT_EQ(window.commandList.FindString(u"mmm"), platform::kNoItem);
}

// Every alignment of short entries in a short file: the index always equals the reference.
TEST_F(IndexScan, AnyAlignmentOfEntriesInASmallFile)
{
    ExpectEveryAlignmentIndexed(40, 1000, 200, 120);
}

TEST_F(IndexScan, ThirtyTwoThousandEntriesInRandomOrder)
{
    std::vector<std::string> names;
    names.reserve(32768);
    for (int i = 0; i < 32768; ++i) {
        names.push_back(std::string("c").append(std::to_string(i)));
    }
    std::mt19937 random(2026);
    std::shuffle(names.begin(), names.end(), random);
    std::string bytes;
    for (const auto &name : names) {
        bytes += Entry(name, {"1 a", "2 b", "3 c", "0 d"});
    }
    Open(bytes);
    ASSERT_EQ(window.commandList.GetCount(), 32768);
    ExpectIndexMatchesReference(bytes);
}

// The disk fails in the middle of the file: the list holds every command read before, and the window goes on with it.
TEST_F(IndexScan, ReadErrorEndsTheScanWithWhatWasRead)
{
    std::string bytes;
    for (int i = 0; i < 4000; ++i) {
        const std::string number = std::to_string(i);
        bytes += SimpleEntry(std::string("c").append(number), std::string("key ").append(number));
    }
    // The second block the scan reads fails.
    file.FailReadsPast(100000);
    Open(bytes);
    const auto headers = ReferenceHeaders(bytes);
    const auto firstBlock = std::count_if(headers.begin(), headers.end(),
                                          [](const auto &header) { return header.second <= kScanBlockSize; });
    ASSERT_GT(firstBlock, 1000);
    EXPECT_EQ(window.commandList.GetCount(), static_cast<int>(firstBlock));
    EXPECT_TRUE(window.commandList.Redraw());
    Select("c1");
    EXPECT_EQ(EntryText(), u"key 1\r\n\r\nParams:c1(x)");
    Type(u"key");
    for (int tap = 0; tap < 3; ++tap) {
        Tap();
    }
    EXPECT_EQ(Selected(), "c2");
}

// The items in the order of their entries in the file, whatever digits their offsets have: each as its offset (high)
// and its place in the list (low), equal offsets in the list's order.
TEST(ItemsInFileOrder, SortsByOffsetThenPlaceWhateverTheOffsets)
{
    std::mt19937 random(7);
    std::vector<std::uint32_t> manyWithRepeats(5000);
    for (std::uint32_t &offset : manyWithRepeats) {
        offset = static_cast<std::uint32_t>(random() % 3000) * 5003U; // repeats, up to 24 bits
    }
    const std::vector<std::vector<std::uint32_t>> cases = {
        {},
        {0, 0, 0},
        {5, 3, 5, 3, 0},
        {2047, 2048, 0, 2046, 4095, 4096},                       // across the first digit
        {1U << 22, (1U << 22) - 1, 1U << 11, 1U << 22, 1},       // across the second
        {0xFFFFFFFFU, 1U << 31, (1U << 31) - 1, 0, 0xFFFFFFFFU}, // the third, and the highest bit
        manyWithRepeats,
    };
    for (const std::vector<std::uint32_t> &offsets : cases) {
        SCOPED_TRACE(offsets.size());
        platform::SortedListBox list;
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            list.AddItem(U16("n" + std::to_string(100000 + i)), offsets[i]); // names in the order added
        }
        std::vector<std::uint64_t> expected;
        for (std::size_t item = 0; item < offsets.size(); ++item) {
            expected.push_back((std::uint64_t{list.GetItemData(static_cast<int>(item))} << 32) | item);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ItemsInFileOrder(list), expected);
    }
}

} // namespace
} // namespace korva::helpdata::testing
