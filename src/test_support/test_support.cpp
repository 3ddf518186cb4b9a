// SPDX-License-Identifier: MIT
#include "test_support.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace korva::testing {

namespace {

// A word of the command line, quoted for the system's shell.
std::string Quoted(const std::string &word)
{
#if defined(_WIN32)
    return "\"" + word + "\"";
#else
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
#endif
}

} // namespace

std::string ReadFileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TemporaryFolder::TemporaryFolder()
{
    static std::atomic<unsigned> made{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ =
        std::filesystem::temp_directory_path() / ("korva-test-" + std::to_string(stamp) + "-" + std::to_string(made++));
    std::filesystem::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryFolder::Write(const std::string &name, const std::string &bytes) const
{
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    return file.string();
}

ProgramRun RunProgram(const std::string &program, const std::vector<std::string> &arguments, const std::string &input,
                      const std::string &outputTo)
{
    const TemporaryFolder streams;
    const std::string output = (streams.Path() / "output").string();
    const std::string errors = (streams.Path() / "errors").string();
    std::string command = Quoted(program);
    for (const std::string &argument : arguments) {
        command += ' ';
        command += Quoted(argument);
    }
    command += " < " + Quoted(input.empty() ? streams.Write("input", "") : input);
    command += " > " + Quoted(outputTo.empty() ? output : outputTo) + " 2> " + Quoted(errors);
#if defined(_WIN32)
    command = "\"" + command + "\""; // cmd.exe takes off the outer quotes
#endif
    const int raw = std::system(command.c_str());
    ProgramRun run;
#if defined(_WIN32)
    run.status = raw;
#else
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    run.output = ReadFileBytes(output);
    run.errors = ReadFileBytes(errors);
    return run;
}

} // namespace korva::testing
