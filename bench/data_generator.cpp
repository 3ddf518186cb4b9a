// SPDX-License-Identifier: MIT
#include "data_generator.h"

#include <algorithm>
#include <random>
#include <set>

namespace korva::bench {

namespace {

constexpr const char *kSyllables[] = {"al", "be", "co", "de", "ex", "fa", "ge", "hy", "in", "ka", "lo", "mo",
                                      "nu", "or", "po", "qu", "ra", "si", "ta", "un", "ve", "wi", "xi", "zo"};
constexpr const char *kWords[] = {"returns",  "the",        "value",  "of",         "an",       "expression",
                                  "matrix",   "polynomial", "series", "for",        "each",     "term",
                                  "with",     "respect",    "to",     "variable",   "exactly",  "numerically",
                                  "computes", "list",       "roots",  "integer",    "rational", "function",
                                  "given",    "order",      "point",  "simplifies", "factors",  "symbolic"};
constexpr const char *kGroups[] = {"Algebra",   "Calculus", "Linear algebra", "Number theory",
                                   "Functions", "Numerics", "Programming"};

class Words
{
public:
    explicit Words(std::uint32_t seed) : random_(seed) {}

    std::size_t Below(std::size_t limit) { return limit == 0 ? 0 : random_() % limit; }

    // Words up to `bytes` long, never containing `avoid`.
    std::string Sentence(std::size_t bytes)
    {
        std::string text;
        while (text.size() < bytes) {
            if (!text.empty()) {
                text += ' ';
            }
            text += kWords[Below(std::size(kWords))];
        }
        return text.substr(0, bytes);
    }

    std::string Name()
    {
        std::string name;
        const std::size_t length = 3 + Below(44); // 3 to 46 bytes
        while (name.size() < length) {
            name += kSyllables[Below(std::size(kSyllables))];
            if (Below(6) == 0 && name.size() + 1 < length) {
                name += '_';
            }
        }
        name.resize(length);
        if (Below(5) == 0) {
            name[0] = static_cast<char>(name[0] - 'a' + 'A');
        }
        return name;
    }

private:
    std::mt19937 random_;
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

} // namespace

GeneratedFile GenerateDataFile(const GeneratorOptions &options)
{
    Words words(options.seed);

    // Distinct names, case ignored, so the list holds exactly one item per entry.
    std::vector<std::string> names;
    std::set<std::string> taken;
    while (names.size() < options.entries) {
        std::string name = words.Name();
        if (taken.insert(Lower(name)).second) {
            names.push_back(std::move(name));
        }
    }
    if (options.shuffled) {
        std::shuffle(names.begin(), names.end(), std::mt19937(options.seed ^ 0x5eedu));
    } else {
        std::sort(names.begin(), names.end(),
                  [](const std::string &a, const std::string &b) { return Lower(a) < Lower(b); });
    }

    GeneratedFile file;
    file.bytes.reserve(options.entries * 320);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string &name = names[i];
        const bool needle = (options.needleEvery != 0 && i % options.needleEvery == 0) ||
                            (options.needleInLast && i + 1 == names.size());
        std::string &out = file.bytes;
        out += "# " + name + "\n";
        out += "1 " + std::string(kGroups[words.Below(std::size(kGroups))]) + "\n";
        std::string description = words.Sentence(40 + words.Below(240));
        if (needle) {
            description += " " + options.needle;
        }
        out += "2 " + description + ".\n";
        out += "3 Available since 1." + std::to_string(words.Below(9)) + "\n";
        for (std::size_t note = words.Below(3); note > 0; --note) {
            out += "3 " + words.Sentence(20 + words.Below(60)) + "\n";
        }
        out += "0 " + name + "(" + words.Sentence(5 + words.Below(30)) + ")\n";
        for (std::size_t see = words.Below(5); see > 0; --see) {
            out += "-> " +
                   (words.Below(8) == 0 ? std::string("absent_") + words.Name() : names[words.Below(names.size())]) +
                   "\n";
        }
        for (std::size_t example = words.Below(5); example > 0; --example) {
            out += name.substr(0, 20) + "(" + words.Sentence(3 + words.Below(25)) + ")  \xbb " +
                   words.Sentence(2 + words.Below(20)) + "\n";
        }
        out += "\n";
        file.names.push_back(name);
    }
    return file;
}

} // namespace korva::bench
