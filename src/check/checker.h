// SPDX-License-Identifier: MIT
// The rules behind korvadoc-check: every rule and limit of the data file format, checked line by line as the file
// streams past, each problem with the line it is on, so that an author learns where a file breaks the rules before
// the window has to guess. Memory stays bounded by the format's limits whatever the file holds.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korva::check {

enum class Severity
{
    Error,   // the file breaks a rule: the window may lose an entry or show it wrong
    Warning, // the file is valid, but the window will likely surprise a reader: probably a mistake
    Note,    // worth knowing, and usually meant (shown on request)
};

struct Problem
{
    std::size_t line; // 1-based
    Severity severity;
    std::string message;
};

class Checker
{
public:
    using Report = std::function<void(const Problem &)>;

    // `fileName` names the file in the commands a message suggests; `report` gets each problem as it is found: in
    // line order, but for the related commands and the count of lines the search skips, which only the whole file
    // can tell and which come at the end (ProblemsInLineOrder puts them in their place).
    Checker(std::string fileName, Report report);
    ~Checker();
    Checker(const Checker &) = delete;
    Checker &operator=(const Checker &) = delete;

    // The file's next bytes.
    void Feed(std::string_view bytes);
    // The end of the file.
    void Finish();
    // True once an error was reported.
    bool FoundError() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Problems as a Checker reports them, given back in line order (those of one line in the order they came). With a
// limit, only the first `limit` in line order are kept, so that memory stays bounded whatever the file holds; the
// rest are counted.
class ProblemsInLineOrder
{
public:
    explicit ProblemsInLineOrder(std::size_t limit = std::numeric_limits<std::size_t>::max()) : limit_(limit) {}

    void Add(const Problem &problem);
    // The problems kept, in line order; none are kept afterwards.
    std::vector<Problem> Take();
    // How many were not kept.
    std::size_t Dropped() const { return dropped_; }

private:
    struct Ranked
    {
        Problem problem;
        std::size_t sequence;
    };
    static bool Before(const Ranked &a, const Ranked &b);

    std::size_t limit_;
    std::vector<Ranked> kept_; // a heap whose top is the last in line order
    std::size_t sequence_ = 0;
    std::size_t dropped_ = 0;
};

// Every problem of the data file `bytes`, in line order.
std::vector<Problem> CheckDataFile(std::string_view bytes, const std::string &fileName = "korvadoc");

} // namespace korva::check
