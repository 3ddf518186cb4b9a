// SPDX-License-Identifier: MIT
// Helpers the tests of every module share.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korva::testing {

// The whole of a file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path &path);

// A folder of its own for one test, removed with everything in it when the test ends.
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const std::filesystem::path &Path() const { return path_; }
    // Writes `bytes` to the file `name` in the folder, replacing what it held; yields its path.
    std::string Write(const std::string &name, const std::string &bytes) const;

private:
    std::filesystem::path path_;
};

// What a program run to its end left: its exit status (-1 when it did not exit normally) and its two streams.
struct ProgramRun
{
    int status = -1;
    std::string output;
    std::string errors;
};

// Runs `program` with `arguments`, standard input from `input` (a file path; empty for none), and waits for it.
// Standard output goes to `outputTo` when it names a file (such as /dev/full), and is then not kept.
ProgramRun RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                      const std::string &input = {}, const std::string &outputTo = {});

} // namespace korva::testing
