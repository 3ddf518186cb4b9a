// SPDX-License-Identifier: MIT
// korva-generate: writes a well-formed data file of invented entries, for benchmarks and for trying the window on a
// large reference.
#include "data_generator.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

void Usage(std::ostream &out)
{
    out << "Usage: korva-generate [--entries N] [--shuffled] [--seed N] [--needle TEXT] [--needle-every N]\n"
           "                      [--needle-in-last] FILE\n"
           "Writes a well-formed data file of N invented entries (default 32768), in alphabetical order or shuffled.\n";
}

} // namespace

int main(int argc, char **argv)
{
    korva::bench::GeneratorOptions options;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--entries" && hasValue) {
            options.entries = std::stoul(argv[++i]);
        } else if (argument == "--shuffled") {
            options.shuffled = true;
        } else if (argument == "--seed" && hasValue) {
            options.seed = static_cast<std::uint32_t>(std::stoul(argv[++i]));
        } else if (argument == "--needle" && hasValue) {
            options.needle = argv[++i];
        } else if (argument == "--needle-every" && hasValue) {
            options.needleEvery = std::stoul(argv[++i]);
        } else if (argument == "--needle-in-last") {
            options.needleInLast = true;
        } else if (argument == "--help") {
            Usage(std::cout);
            return 0;
        } else if (path.empty() && argument.rfind("--", 0) != 0) {
            path = argument;
        } else {
            Usage(std::cerr);
            return 2;
        }
    }
    if (path.empty()) {
        Usage(std::cerr);
        return 2;
    }
    const auto file = korva::bench::GenerateDataFile(options);
    std::ofstream out(path, std::ios::binary);
    out << file.bytes;
    if (!out) {
        std::cerr << "korva-generate: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}
