#include "platform/posix_help_file.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

class PosixHelpFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("korva-file-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string &name, const std::string &bytes)
    {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    std::filesystem::path folder_;
};

TEST_F(PosixHelpFileTest, MissingFileOrFolderDoesNotOpen)
{
    PosixHelpFile file;
    EXPECT_FALSE(file.Open((folder_ / "absent").string()));
    std::filesystem::create_directory(folder_ / "korvadoc");
    EXPECT_FALSE(file.Open((folder_ / "korvadoc").string()));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(PosixHelpFileTest, ReadsSeeksAndTellsItsLength)
{
    PosixHelpFile file;
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

TEST(ProgramFolder, KeepsThePathUpToItsLastSeparator)
{
    EXPECT_EQ(ProgramFolder("/usr/lib/korva-reference/korva-reference"), "/usr/lib/korva-reference/");
    EXPECT_EQ(ProgramFolder("korva-reference"), "");
    EXPECT_EQ(ProgramFolder("/korva-reference"), "/");
}

} // namespace
} // namespace korva::platform
