// SPDX-License-Identifier: MIT
// korvadoc-check as its users run it: arguments in, lines and an exit status out.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int status;
    std::string output;
};

Outcome Check(const std::string &arguments)
{
    const std::string command = std::string(KORVADOC_CHECK) + " " + arguments + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    Outcome run{-1, {}};
    std::array<char, 4096> chunk;
    for (std::size_t count; (count = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;) {
        run.output.append(chunk.data(), count);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::size_t Lines(const std::string &text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class KorvadocCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("korvadoc-check-test-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
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

TEST_F(KorvadocCheck, SampleChecksWithStatusZeroAndNoError)
{
    const Outcome run = Check(KORVA_SAMPLE_DATA);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find(": error: "), std::string::npos) << run.output;
    EXPECT_TRUE(Check(std::string("--no-warnings ") + KORVA_SAMPLE_DATA).output.empty());
}

TEST_F(KorvadocCheck, ProblemsAsCompilersPrintThem)
{
    const std::string file = Write("korvadoc", "# solve\nx\nx not the description\nx\n0 p\n\n");
    const Outcome run = Check(file);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, file + ":3: error: the third line of entry 'solve' must be its description ('2 ...'); the "
                                 "viewer does not show the entry\n");
}

TEST_F(KorvadocCheck, StopsAfterAHundredProblemsUnlessAll)
{
    std::string bytes;
    for (int i = 0; i < 150; ++i) {
        bytes += "# c" + std::to_string(i) + "\nx\nx d\n\n";
    }
    const std::string file = Write("korvadoc", bytes);
    const Outcome run = Check(file);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.output), 101u);
    EXPECT_NE(run.output.find(file + ": 50 more problems not shown; --all shows every one\n"), std::string::npos);
    EXPECT_EQ(Lines(Check("--all " + file).output), 150u);
}

TEST_F(KorvadocCheck, UnreadableFileEndsWithStatusTwo)
{
    const Outcome missing = Check((folder_ / "absent").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.output.find("cannot read"), std::string::npos);
    EXPECT_EQ(Check(folder_.string()).status, 2);
    // One readable good file beside an unreadable one: still 2.
    EXPECT_EQ(Check(std::string(KORVA_SAMPLE_DATA) + " " + (folder_ / "absent").string()).status, 2);
}

TEST_F(KorvadocCheck, HelpVersionAndWrongUse)
{
    const Outcome help = Check("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("Usage: korvadoc-check", 0), 0u);
    const Outcome version = Check("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, "korvadoc-check (Korva Command Reference) 1.0.0.1\n");
    EXPECT_EQ(Check("").status, 2);
    EXPECT_EQ(Check("--frobnicate").status, 2);
}

} // namespace
