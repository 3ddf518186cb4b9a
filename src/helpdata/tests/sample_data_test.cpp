// SPDX-License-Identifier: MIT
// The bundled sample data file keeps every rule and limit of the format.
#include "engine_fixture.h"

#include <fstream>
#include <set>
#include <sstream>

namespace korva::helpdata::testing {
namespace {

std::string ReadSample()
{
    std::ifstream in(KORVA_SAMPLE_DATA, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class SampleData : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        bytes_ = ReadSample();
        Open(bytes_);
    }
    std::string bytes_;
};

TEST_F(SampleData, EveryEntryIsIndexedAndShowsWithinTheTextLimits)
{
    const auto headers = ReferenceHeaders(bytes_);
    ASSERT_GE(headers.size(), 60u);
    EXPECT_EQ(static_cast<std::size_t>(window.commandList.GetCount()), headers.size());
    for (int i = 0; i < window.commandList.GetCount(); ++i) {
        SCOPED_TRACE(Narrow(window.commandList.GetText(i)));
        const int sets = window.entryTextSets;
        SelectItem(i);
        ASSERT_EQ(window.entryTextSets, sets + 1);
        const std::u16string text = EntryText();
        const bool examples = text.find(u"\r\n\r\nExamples:\r\n") != std::u16string::npos;
        EXPECT_LE(text.size(), examples ? kMaxEntryText : kMaxEntryTextNoExamples);
        EXPECT_NE(text.find(u"\r\n\r\nParams:"), std::u16string::npos);
    }
}

TEST_F(SampleData, KeepsTheFormatsRules)
{
    ASSERT_GE(bytes_.size(), 2u);
    EXPECT_EQ(bytes_.substr(bytes_.size() - 2), "\n\n");
    EXPECT_EQ(bytes_.find('\0'), std::string::npos);
    EXPECT_EQ(bytes_.find('\r'), std::string::npos);

    std::set<std::string> names;
    std::set<std::u16string> folded;
    bool equalButForCase = false;
    bool nonAscii = false;
    std::size_t previousBlank = 0; // the first LF of the blank line before the current entry
    for (std::size_t at = bytes_.find('#'); at != std::string::npos; at = bytes_.find("\n\n#", at)) {
        at += bytes_[at] == '#' ? 0 : 2;
        const std::size_t lineEnd = bytes_.find('\n', at);
        const std::string name = bytes_.substr(at + 2, lineEnd - at - 2);
        EXPECT_LE(lineEnd - at, kMaxHeaderLine) << name;
        const std::size_t close = bytes_.find("\n\n", lineEnd);
        ASSERT_NE(close, std::string::npos);
        EXPECT_LE(close + 2 - (lineEnd + 1), kMaxEntryBytes) << name;
        EXPECT_LE(close + 2 - previousBlank, kMaxEntryBytes) << name;
        previousBlank = close;

        std::u16string lower;
        for (const char c : name) {
            lower += platform::FoldCase(static_cast<unsigned char>(c));
        }
        equalButForCase |= !folded.insert(lower).second && names.count(name) == 0;
        names.insert(name);

        std::istringstream lines(bytes_.substr(lineEnd + 1, close - lineEnd - 1));
        for (std::string line; std::getline(lines, line);) {
            EXPECT_EQ(line.find('#'), std::string::npos) << name;
            if (line.rfind("-> ", 0) == 0) {
                EXPECT_LE(line.size() - 3, kMaxSeeAlsoName);
            }
            for (const char c : line) {
                nonAscii |= static_cast<unsigned char>(c) >= 0x80;
            }
        }
    }
    EXPECT_TRUE(equalButForCase);
    EXPECT_TRUE(nonAscii);
}

} // namespace
} // namespace korva::helpdata::testing
