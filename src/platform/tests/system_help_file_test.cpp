// SPDX-License-Identifier: MIT
#include "platform/system_help_file.h"
#include "test_support/test_support.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

class SystemHelpFileTest : public ::testing::Test
{
protected:
    std::string Write(const std::string &name, const std::string &bytes) { return folder_.Write(name, bytes); }

    korva::testing::TemporaryFolder folder_;
};

TEST_F(SystemHelpFileTest, MissingFileOrFolderDoesNotOpen)
{
    SystemHelpFile file;
    EXPECT_FALSE(file.Open((folder_.Path() / "absent").string()));
    std::filesystem::create_directory(folder_.Path() / "korvadoc");
    EXPECT_FALSE(file.Open((folder_.Path() / "korvadoc").string()));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(SystemHelpFileTest, ReadsSeeksAndTellsItsLength)
{
    SystemHelpFile file;
    ASSERT_TRUE(file.Open(Write("korvadoc", "0123456789")));
    EXPECT_EQ(file.Length(), 10u);
    std::array<char, 4> buffer{};
    EXPECT_EQ(file.Read(buffer), 4u);
    EXPECT_EQ(std::string(buffer.data(), 4), "0123");
    EXPECT_EQ(file.Position(), 4u);
    file.SeekBack(3);
    EXPECT_EQ(file.Read(buffer), 4u);
    EXPECT_EQ(std::string(buffer.data(), 4), "1234");
    file.Seek(8);
    EXPECT_EQ(file.Read(buffer), 2u);
    EXPECT_EQ(file.Position(), 10u);
    file.Seek(50);
    EXPECT_EQ(file.Read(buffer), 0u);
    file.SeekBack(100);
    EXPECT_EQ(file.Position(), 0u);
}

TEST_F(SystemHelpFileTest, ContinuedReadsCrossTheReadAheadWindowIntact)
{
    std::string bytes;
    for (std::size_t i = 0; bytes.size() < 3 * SystemHelpFile::kReadAhead + 777; ++i) {
        bytes += std::to_string(i) + ",";
    }
    SystemHelpFile file;
    ASSERT_TRUE(file.Open(Write("korvadoc", bytes)));
    // From the start and from places a lookup reads a small block at, before a large one as the reads go on.
    for (const std::uint32_t start :
         {std::uint32_t{0}, std::uint32_t{5000}, static_cast<std::uint32_t>(SystemHelpFile::kReadAhead - 100),
          static_cast<std::uint32_t>(SystemHelpFile::kLookupReadAhead - 1)}) {
        file.Seek(static_cast<std::uint32_t>(bytes.size() - 10)); // a lookup elsewhere first
        std::array<char, 2000> chunk{};
        ASSERT_EQ(file.Read(chunk), 10u);
        file.Seek(start);
        std::string read;
        for (std::uint32_t count; (count = file.Read(chunk)) > 0;) {
            read.append(chunk.data(), count);
            if (count == chunk.size()) {
                file.SeekBack(2); // overlap, as the index scan does
                read.resize(read.size() - 2);
            }
        }
        EXPECT_EQ(read, bytes.substr(start)) << start;
    }
}

TEST_F(SystemHelpFileTest, ASeekSeesTheFileAsItIsNow)
{
    const std::string path = Write("korvadoc", std::string(5000, 'a'));
    SystemHelpFile file;
    ASSERT_TRUE(file.Open(path));
    std::array<char, 2000> chunk{};
    file.Seek(1000);
    ASSERT_EQ(file.Read(chunk), 2000u);

    Write("korvadoc", std::string(1500, 'b')); // shrinks
    file.Seek(1000);
    ASSERT_EQ(file.Read(chunk), 500u);
    EXPECT_EQ(std::string(chunk.data(), 500), std::string(500, 'b'));
    EXPECT_EQ(file.Length(), 1500u);

    Write("korvadoc", std::string(6000, 'c')); // grows
    file.Seek(0);
    ASSERT_EQ(file.Read(chunk), 2000u);
    EXPECT_EQ(std::string(chunk.data(), 2000), std::string(2000, 'c'));
}

TEST(ProgramFolder, KeepsThePathUpToItsLastSeparator)
{
    EXPECT_EQ(ProgramFolder("/usr/lib/korva-reference/korva-reference"), "/usr/lib/korva-reference/");
    EXPECT_EQ(ProgramFolder("korva-reference"), "");
    EXPECT_EQ(ProgramFolder("/korva-reference"), "/");
}

} // namespace
} // namespace korva::platform
