// SPDX-License-Identifier: MIT
// Benchmarks at the format's limit (32768 entries), each beside what the machine does at best on the same file:
// reading it whole (cat), and scanning it with grep. Prints Google Benchmark's figures, then a table of ratios.
//
//   korva_benchmarks [Google Benchmark options]
//   korva_benchmarks --memory-probe FILE     (internal: opens the window on FILE, prints its peak memory in KiB)
//   korva_benchmarks --results-memory-probe FILE  (internal: the same, once it has shown the results of "e")
//   korva_benchmarks --startup-probe FILE    (internal: starts as the program does, prints a line at the first frame)
#include "app/index_ahead.h"
#include "app/reference_dlg.h"
#include "data_generator.h"
#include "helpdata/command_index.h"
#include "helpdata/command_names.h"
#include "helpdata/entry_view.h"
#include "helpdata/find_next.h"
#include "helpdata/ranked_search.h"
#include "helpdata/word_table.h"
#include "platform/memory/memory_platform.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_window.h"
#include "platform/system_help_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <future>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

extern char **environ;

namespace {

using namespace korva;

constexpr std::size_t kEntries = 32768;
// Start-ups of the window with the full and the empty file, taken in turn.
constexpr int kStartUpPairs = 41;
// Each figure of the table is the median of this many rounds: Google Benchmark's repetitions, and as many rounds of
// launches, probes and typing.
constexpr int kRounds = 3;
const std::string kNeedle = "needle";

struct Files
{
    std::string shuffled;
    std::string alphabetical;
    std::string empty;
    std::string needleInLast;   // the needle only in the last entry
    std::string needleEvery100; // the needle in every 100th entry
    std::string needleEvery7;   // in every 7th: a word that thousands of entries hold
    std::string excludedLines;  // "z" in each entry only in a long line the search excludes
    std::string lastName;       // the name of the last entry of needleEvery100
    std::string grepOutput;
};

Files &TheFiles()
{
    static Files files;
    return files;
}

std::string WriteFile(const QTemporaryDir &folder, const char *name, const std::string &bytes)
{
    std::string path = folder.filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Runs a program and waits for it, as a shell would, without the shell. Its output goes to `output`: /dev/null for
// cat, as in "cat FILE > /dev/null"; a file for grep, which stops at the first match when it sees its output is
// /dev/null.
void Run(const std::vector<std::string> &arguments, const char *output)
{
    std::vector<char *> argv;
    argv.reserve(arguments.size() + 1);
    for (const auto &argument : arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

// A window that counts the message boxes it would show instead of showing them, so a whole search pass runs
// without anyone to dismiss "Search completed".
class SilentWindow final : public platform::Window
{
public:
    explicit SilentWindow(platform::Window &window) : window_(window) {}
    platform::ListBox &ListBoxById(int id) override { return window_.ListBoxById(id); }
    platform::ComboBox &ComboBoxById(int id) override { return window_.ComboBoxById(id); }
    platform::EditBox &EditById(int id) override { return window_.EditById(id); }
    void SetControlText(int id, std::u16string_view text) override { window_.SetControlText(id, text); }
    std::size_t GetControlText(int id, std::span<char16_t> buffer) const override
    {
        return window_.GetControlText(id, buffer);
    }
    void EnableControl(int id, bool enable) override { window_.EnableControl(id, enable); }
    void ShowMessage(std::u16string_view) override { ++messages; }

    int messages = 0;

private:
    platform::Window &window_;
};

// The reference window open on a file, shown, with its engine context.
struct OpenWindow
{
    explicit OpenWindow(const std::string &path)
    {
        file.Open(path);
        dialog = std::make_unique<app::CReferenceDlg>(file, buffer);
        dialog->show();
        QCoreApplication::processEvents();
        window = std::make_unique<platform::qt::QtWindow>(*dialog);
        silent = std::make_unique<SilentWindow>(*window);
    }

    helpdata::HelpContext Context() { return {file, buffer, *silent}; }
    platform::ListBox &List() { return window->ListBoxById(platform::IDC_COMMAND_LIST); }

    platform::SystemHelpFile file;
    helpdata::ReadBuffer buffer;
    std::unique_ptr<app::CReferenceDlg> dialog;
    std::unique_ptr<platform::qt::QtWindow> window;
    std::unique_ptr<SilentWindow> silent;
};

// Shows the window on `file`, with the index built ahead; calls `atPaint` as the command list's first paint begins, and
// `painted` once that frame is out, then returns. The frame is out when the event loop next turns: a posted event of
// high priority comes before the work the paint set going in events of its own (the results' names are made once the
// list has painted), which follows the frame and is no part of starting.
void ShowUntilFirstFrame(platform::HelpFile &file, std::future<platform::SortedList> index,
                         const std::function<void()> &painted, const std::function<void()> &atPaint = {})
{
    helpdata::ReadBuffer buffer;
    app::CReferenceDlg dialog(file, buffer);
    dialog.TakeIndexWhenOpen(std::move(index));
    struct PaintWatch : QObject
    {
        const std::function<void()> &atPaint;
        const std::function<void()> &then;
        bool painting = false;
        bool painted = false;
        PaintWatch(const std::function<void()> &first, const std::function<void()> &last) : atPaint(first), then(last)
        {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && !painting) {
                painting = true;
                if (atPaint) {
                    atPaint();
                }
                QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::HighEventPriority);
            }
            return false;
        }
        bool event(QEvent *event) override
        {
            if (event->type() != QEvent::User) {
                return QObject::event(event);
            }
            painted = true;
            then(); // before the window and the toolkit go, which is no part of starting
            return true;
        }
    } watch(atPaint, painted);
    auto *list = dialog.findChild<platform::qt::CommandListView *>();
    list->viewport()->installEventFilter(&watch);
    dialog.show();
    QElapsedTimer guard;
    guard.start();
    while (!watch.painted && guard.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    list->viewport()->removeEventFilter(&watch);
}

void IndexScanIntoEngineList(benchmark::State &state, const std::string *path)
{
    platform::SystemHelpFile file;
    file.Open(*path);
    for (auto _ : state) {
        platform::MemoryListBox list;
        helpdata::BuildIndex(file, list);
        benchmark::DoNotOptimize(list.GetText(0)); // the list as the window first reads it
    }
}

void IndexScanIntoQtList(benchmark::State &state, const std::string *path)
{
    platform::SystemHelpFile file;
    file.Open(*path);
    for (auto _ : state) {
        platform::qt::CommandListView list;
        helpdata::BuildIndex(file, list);
        benchmark::DoNotOptimize(list.GetText(0)); // the list as the window first reads it
    }
}

// The program's whole start-up, from launching a process to the first frame of its window with the list filled:
// a child process starts the toolkit, opens the data file and the window as the program does, and says when the
// list has painted. Yields the seconds it took, or a negative figure when the window did not paint.
double LaunchUntilFirstFrame(const std::string &self, const std::string &path)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string probe = "--startup-probe";
    std::vector<char *> argv = {const_cast<char *>(self.c_str()), probe.data(), const_cast<char *>(path.c_str()),
                                nullptr};
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char painted = 0;
    const bool ok = spawned == 0 && read(pipeEnds[0], &painted, 1) == 1;
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    close(pipeEnds[0]);
    int status = 0;
    if (spawned == 0) {
        waitpid(child, &status, 0);
    }
    return ok ? seconds : -1;
}

// Start-ups with the full and the empty file, taken in turn so that whatever the machine does meanwhile weighs on
// both alike; yields the median of each.
std::pair<double, double> MedianStartUps(const std::string &self, const std::string &full, const std::string &empty,
                                         int pairs)
{
    std::vector<double> fulls;
    std::vector<double> empties;
    for (int i = 0; i < pairs; ++i) {
        fulls.push_back(LaunchUntilFirstFrame(self, full));
        empties.push_back(LaunchUntilFirstFrame(self, empty));
    }
    const auto median = [](std::vector<double> &values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {median(fulls), median(empties)};
}

// Starts the window on `path` as the program does, in its order: the data file, the index set going, then the
// toolkit and the window. Calls `painted` once the command list has painted.
void LaunchAsTheProgramDoes(int argc, char **argv, const std::string &path, const std::function<void()> &painted,
                            const std::function<void()> &atPaint = {})
{
    platform::SystemHelpFile file;
    file.Open(path);
    std::future<platform::SortedList> index = app::BuildIndexAhead(file);
    QApplication application(argc, argv);
    ShowUntilFirstFrame(file, std::move(index), painted, atPaint);
}

int StartUpProbe(int argc, char **argv, const std::string &path)
{
    LaunchAsTheProgramDoes(argc, argv, path, [] { std::cout << "painted" << std::endl; });
    return 0;
}

void EntryView(benchmark::State &state, double where)
{
    OpenWindow window(TheFiles().shuffled);
    const int count = window.List().GetCount();
    const int position = std::min(count - 1, static_cast<int>(where * count));
    auto context = window.Context();
    for (auto _ : state) {
        window.List().SetCurSel(position);
        helpdata::ShowSelectedEntry(context);
    }
}

void FindTapAcrossTheFile(benchmark::State &state)
{
    OpenWindow window(TheFiles().needleInLast);
    window.dialog->findChild<QLineEdit *>()->setText(QString::fromStdString(kNeedle));
    auto context = window.Context();
    for (auto _ : state) {
        helpdata::ProcessSearchState() = helpdata::SearchState{true, 0};
        helpdata::FindNextEntry(context);
    }
    if (window.silent->messages != 0) {
        state.SkipWithError("the tap found nothing");
    }
}

// The worst case for the walk back from a match: each of 32768 entries holds a note line of 1900 "z" bytes, which the
// search excludes, and nothing else holds a "z". One tap for "z" crosses the whole file and finds nothing.
std::string ExcludedLinesFile()
{
    std::string bytes;
    for (std::size_t i = 0; i < kEntries; ++i) {
        bytes += "# c" + std::to_string(i) + "\n1 a\n2 d\n3 " + std::string(1900, 'z') + "\n0 p\n\n";
    }
    return bytes;
}

void FindTapAcrossExcludedLines(benchmark::State &state)
{
    OpenWindow window(TheFiles().excludedLines);
    window.dialog->findChild<QLineEdit *>()->setText(QStringLiteral("z"));
    auto context = window.Context();
    for (auto _ : state) {
        helpdata::ProcessSearchState() = helpdata::SearchState{true, 0};
        helpdata::FindNextEntry(context);
    }
    if (window.silent->messages == 0) {
        state.SkipWithError("the tap reported an entry");
    }
}

void WholePassEvery100th(benchmark::State &state)
{
    OpenWindow window(TheFiles().needleEvery100);
    window.dialog->findChild<QLineEdit *>()->setText(QString::fromStdString(kNeedle));
    auto context = window.Context();
    int taps = 0;
    for (auto _ : state) {
        helpdata::ProcessSearchState() = helpdata::SearchState{true, 0};
        const int before = window.silent->messages;
        taps = 0;
        while (window.silent->messages == before) {
            helpdata::FindNextEntry(context);
            ++taps;
        }
    }
    state.counters["taps"] = taps;
}

// The ranked results' classes of the names alone, for a query of `letters` letters: what a window shows at once.
void ResultsFromTheNames(benchmark::State &state, int letters)
{
    platform::SystemHelpFile file;
    file.Open(TheFiles().needleEvery100);
    platform::MemoryListBox list;
    helpdata::BuildIndex(file, list);
    const auto names = std::make_shared<const helpdata::CommandNames>(list);
    const std::u16string query = std::u16string(u"polynomial").substr(0, static_cast<std::size_t>(letters));
    for (auto _ : state) {
        helpdata::RankedSearch search(names, query);
        benchmark::DoNotOptimize(search.Results());
    }
}

// The word table of the whole file, made as the window makes it off its start, a block at a time: its time, and the
// memory it takes.
void WordTableMade(benchmark::State &state)
{
    platform::SystemHelpFile file;
    file.Open(TheFiles().needleEvery100);
    platform::MemoryListBox list;
    helpdata::BuildIndex(file, list);
    const auto names = std::make_shared<const helpdata::CommandNames>(list);
    std::shared_ptr<const helpdata::WordTable> table;
    for (auto _ : state) {
        table = helpdata::BuildWordTable(file, names);
    }
    state.counters["MiB"] = table != nullptr ? static_cast<double>(table->MemoryBytes()) / (1024.0 * 1024.0) : -1;
    state.counters["words"] = table != nullptr ? static_cast<double>(table->WordCount()) : -1;
}

// The whole ranked result for `query` over every entry of the file, once the word table is made: what a user waits
// for after a key. `holding` is how many results it must have.
void ResultsWhole(benchmark::State &state, std::u16string query, std::size_t holding)
{
    platform::SystemHelpFile file;
    file.Open(TheFiles().needleEvery100);
    platform::MemoryListBox list;
    helpdata::BuildIndex(file, list);
    const auto names = std::make_shared<const helpdata::CommandNames>(list);
    const std::shared_ptr<const helpdata::WordTable> table = helpdata::BuildWordTable(file, names);
    std::vector<helpdata::RankedResult> results;
    for (auto _ : state) {
        helpdata::RankedSearch search(names, query);
        search.ReadTable(table);
        while (!search.Continue()) {
        }
        results = search.Results();
    }
    state.counters["results"] = static_cast<double>(results.size());
    if (holding != 0 && results.size() != holding) {
        state.SkipWithError("the results are not the entries that hold the words");
    }
}

// The ranking as the terminal does it, reading the entries' text from the file on two threads, without a table.
void ResultsFromTheFile(benchmark::State &state, std::u16string query, std::size_t holding)
{
    platform::SystemHelpFile file;
    file.Open(TheFiles().needleEvery100);
    platform::MemoryListBox list;
    helpdata::BuildIndex(file, list);
    std::size_t found = 0;
    for (auto _ : state) {
        const std::optional<helpdata::RankedResults> results = helpdata::FindRanked(file, list, query);
        found = results ? results->results.size() : 0;
    }
    state.counters["results"] = static_cast<double>(found);
    if (holding != 0 && found != holding) {
        state.SkipWithError("the results are not the entries that hold the words");
    }
}

// How the window answers the keys of a word typed into its search text, letter by letter: the longest a key took to be
// handled and painted, and the longest slice of the results' search that a key might wait behind.
struct Typing
{
    double longestKeyMs = 0;
    double longestSliceMs = 0;
    int results = 0;
};

Typing TypeIntoTheWindow(const std::string &path, const QString &word)
{
    platform::SystemHelpFile file;
    file.Open(path);
    helpdata::ReadBuffer buffer;
    app::CReferenceDlg dialog(file, buffer);
    dialog.show();
    // A user's first key comes a tenth of a second after the window shows at the soonest.
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 100) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    auto *search = dialog.findChild<QLineEdit *>(platform::qt::ControlName(platform::IDC_SEARCH_TEXT));
    search->setFocus();
    Typing typing;
    for (const QChar letter : word) {
        QElapsedTimer key;
        key.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(search, &press);
        QCoreApplication::sendPostedEvents(); // the results painted
        typing.longestKeyMs = std::max(typing.longestKeyMs, static_cast<double>(key.nsecsElapsed()) / 1e6);
        while (dialog.Results().Searching()) {
            QCoreApplication::processEvents();
        }
    }
    typing.longestSliceMs = dialog.Results().LongestSliceMs();
    typing.results = dialog.Results().ResultCount();
    return typing;
}

// The program run whole from a terminal, as a script runs it: the median of several runs, and its peak memory.
double Median(std::vector<double> values)
{
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct ProgramRuns
{
    double medianSeconds = -1;
    long peakKiB = -1;
    // Its minor page faults, which the hour does not change: each the first touch of a page of memory (or of a large
    // page, 512 of them at once, where the program asks for those); on a machine where each costs much, they are much
    // of a process's time.
    long pageFaults = -1;
};

// Runs a program to its end, its output into a file; yields the seconds it took.
double RunToItsEnd(const std::vector<std::string> &arguments)
{
    QElapsedTimer timer;
    timer.start();
    Run(arguments, TheFiles().grepOutput.c_str());
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

ProgramRuns RunTheProgram(const std::vector<std::string> &arguments, int runs)
{
    ProgramRuns measured;
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        seconds.push_back(RunToItsEnd(arguments));
    }
    measured.medianSeconds = Median(seconds);
    // The peak as GNU time tells it: a child spawned from this large process would count the pages it shared with it
    // before its program started.
    const std::string report = TheFiles().grepOutput + ".peak";
    std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M %R", "-o", report};
    timed.insert(timed.end(), arguments.begin(), arguments.end());
    Run(timed, "/dev/null");
    std::ifstream(report) >> measured.peakKiB >> measured.pageFaults;
    return measured;
}

void Cat(benchmark::State &state, const std::string *path)
{
    for (auto _ : state) {
        Run({"cat", *path}, "/dev/null");
    }
}

void GrepHeaders(benchmark::State &state, const std::string *path)
{
    for (auto _ : state) {
        Run({"grep", "-c", "^#", *path}, TheFiles().grepOutput.c_str());
    }
}

void GrepText(benchmark::State &state, const std::string &text, const std::string &path)
{
    for (auto _ : state) {
        Run({"grep", "-F", "-c", text, path}, TheFiles().grepOutput.c_str());
    }
}

void GrepTextIgnoringCase(benchmark::State &state, const std::string &text, const std::string &path)
{
    for (auto _ : state) {
        Run({"grep", "-F", "-i", "-c", text, path}, TheFiles().grepOutput.c_str());
    }
}

// Keeps each benchmark's wall time per iteration, in seconds, by name: the median of its repetitions.
class RecordingReporter final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred) {
                // The name as registered, without the settings Google Benchmark appends ("/min_time:2.000",
                // "/real_time").
                std::string name = run.benchmark_name();
                for (const char *setting : {"/min_time:", "/real_time"}) {
                    name = name.substr(0, name.find(setting));
                }
                samples_[name].push_back(run.real_accumulated_time / static_cast<double>(run.iterations));
                seconds[name] = Median(samples_[name]);
            }
        }
    }
    std::map<std::string, double> seconds;

private:
    std::map<std::string, std::vector<double>> samples_;
};

long PeakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

long ProbePeakMemoryKiB(const std::string &self, const std::string &path, const char *probe = "--memory-probe")
{
    const std::string command = "'" + self + "' " + probe + " '" + path + "'";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    long kib = -1;
    if (std::fscanf(pipe, "%ld", &kib) != 1) {
        kib = -1;
    }
    pclose(pipe);
    return kib;
}

// What the benchmark measures beside Google Benchmark's figures.
struct MoreFigures
{
    long emptyKiB = 0; // peak memory, the window on the empty file, as its list first paints
    long fullKiB = 0;  // on the full file
    // On the full file, once it showed the results of one letter: the word table made meanwhile is in it (which may
    // take 16 MiB above the window without it), and the results.
    long resultsKiB = 0;
    Typing typing;
    // The program from a terminal, on the full file.
    ProgramRuns version;
    ProgramRuns print;
    ProgramRuns list;
    ProgramRuns apropos;
    ProgramRuns aproposMany; // of a word in every 7th entry: 4,682 lines
};

// Each figure the median of the rounds'.
template <std::size_t N>
MoreFigures MedianFigures(const std::array<MoreFigures, N> &rounds)
{
    const auto median = [&](auto figure) {
        std::vector<double> values;
        for (const MoreFigures &round : rounds) {
            values.push_back(static_cast<double>(figure(round)));
        }
        return Median(values);
    };
    const auto runs = [&](ProgramRuns MoreFigures::*which) {
        return ProgramRuns{median([&](const MoreFigures &round) { return (round.*which).medianSeconds; }),
                           std::lround(median([&](const MoreFigures &round) { return (round.*which).peakKiB; })),
                           std::lround(median([&](const MoreFigures &round) { return (round.*which).pageFaults; }))};
    };
    MoreFigures more;
    more.emptyKiB = std::lround(median([](const MoreFigures &round) { return round.emptyKiB; }));
    more.fullKiB = std::lround(median([](const MoreFigures &round) { return round.fullKiB; }));
    more.resultsKiB = std::lround(median([](const MoreFigures &round) { return round.resultsKiB; }));
    more.typing.longestKeyMs = median([](const MoreFigures &round) { return round.typing.longestKeyMs; });
    more.typing.longestSliceMs = median([](const MoreFigures &round) { return round.typing.longestSliceMs; });
    more.version = runs(&MoreFigures::version);
    more.print = runs(&MoreFigures::print);
    more.list = runs(&MoreFigures::list);
    more.apropos = runs(&MoreFigures::apropos);
    more.aproposMany = runs(&MoreFigures::aproposMany);
    return more;
}

void PrintTable(const RecordingReporter &reporter, const MoreFigures &more)
{
    const long emptyKiB = more.emptyKiB;
    const long fullKiB = more.fullKiB;
    const auto time = [&](const std::string &name) {
        const auto found = reporter.seconds.find(name);
        return found == reporter.seconds.end() ? -1.0 : found->second;
    };
    struct Row
    {
        std::string figure;
        double program;
        std::string anchor;
        double reference;
        std::string target;
        double limit; // the ratio the target allows
    };
    const std::vector<Row> rows = {
        {"Index scan, shuffled file", time("IndexScan/EngineList/shuffled"), "grep -c '^#'",
         time("Anchor/GrepHeaders/shuffled"), "<= 1x", 1.0},
        {"Index scan, alphabetical file", time("IndexScan/EngineList/alphabetical"), "grep -c '^#'",
         time("Anchor/GrepHeaders/alphabetical"), "<= 3x", 3.0},
        {"Index scan into the Qt list", time("IndexScan/QtList/shuffled"), "grep -c '^#'",
         time("Anchor/GrepHeaders/shuffled"), "<= 1.2x", 1.2},
        {"Window start-up to first frame", time("WindowStartUp/full"), "same, empty file", time("WindowStartUp/empty"),
         "<= 1.25x", 1.25},
        {"One Find tap across the file", time("Find/OneTapAcrossTheFile"), "grep -F -c",
         time("Anchor/GrepNeedle/needle_in_last"), "<= 2x", 2.0},
        {"One Find tap, 32768 excluded lines", time("Find/OneTapAcrossExcludedLines"), "grep -F -c",
         time("Anchor/GrepZ/excluded_lines"), "<= 2x", 2.0},
        {"Whole pass, every 100th entry", time("Find/WholePassEvery100th"), "grep -F -c",
         time("Anchor/GrepNeedle/needle_every_100"), "(info)", 0},
        {"Ranked results of a word, whole", time("Results/Whole/needle_every_100"), "grep -F -i -c",
         time("Anchor/GrepNeedleIgnoringCase/needle_every_100"), "<= 1x", 1.0},
        {"Ranked results of three words", time("Results/ThreeWords/needle_every_100"), "grep -F -i -c",
         time("Anchor/GrepNeedleIgnoringCase/needle_every_100"), "<= 2x", 2.0},
        {"Ranked results, a near spelling", time("Results/NearSpelling/needle_every_100"), "grep -F -i -c",
         time("Anchor/GrepNeedleIgnoringCase/needle_every_100"), "<= 2x", 2.0},
        {"Ranked results read from the file", time("Results/FromTheFile/needle_every_100"), "grep -F -i -c",
         time("Anchor/GrepNeedleIgnoringCase/needle_every_100"), "(info)", 0},
        {"Table of the reference's words", time("Results/WordTable/needle_every_100"), "grep -F -i -c",
         time("Anchor/GrepNeedleIgnoringCase/needle_every_100"), "(info)", 0},
        {"Reading the file whole", time("Anchor/Cat/shuffled"), "", -1, "", 0},
    };
    std::cout << "\nKorva Command Reference at 32768 entries, against the machine's best on the same file\n";
    std::cout << "(each figure the median of " << kRounds << " rounds; a start-up or a whole process the median of "
              << kStartUpPairs << " launches a round, full and empty file in turn)\n\n";
    std::cout << std::left << std::setw(34) << "Figure" << std::right << std::setw(12) << "program"
              << "  " << std::left << std::setw(18) << "anchor" << std::right << std::setw(12) << "anchor"
              << std::setw(9) << "ratio"
              << "  target\n";
    std::cout << std::fixed << std::setprecision(3);
    for (const Row &row : rows) {
        std::cout << std::left << std::setw(34) << row.figure << std::right << std::setw(9) << row.program * 1e3
                  << " ms  " << std::left << std::setw(18) << row.anchor << std::right;
        if (row.reference > 0) {
            const double ratio = row.program / row.reference;
            std::cout << std::setw(9) << row.reference * 1e3 << " ms" << std::setw(8) << std::setprecision(2) << ratio
                      << "x  " << row.target << (row.limit > 0 ? (ratio <= row.limit ? "  met" : "  MISSED") : "")
                      << std::setprecision(3);
        }
        std::cout << "\n";
    }
    for (const char *where : {"first", "middle", "last"}) {
        const double seconds = time(std::string("EntryView/") + where);
        std::cout << std::left << std::setw(34) << (std::string("Entry view, ") + where + " entry") << std::right
                  << std::setw(9) << seconds * 1e3 << " ms  " << std::setw(47) << ""
                  << "< 1 ms" << (seconds < 1e-3 ? "  met" : "  MISSED") << "\n";
    }
    double namesMs = 0;
    for (int letters = 1; letters <= 10; ++letters) {
        namesMs = std::max(namesMs, time("Results/Names/" + std::to_string(letters)) * 1e3);
    }
    std::cout << std::left << std::setw(34) << "Results of the names, 1-10 letters" << std::right << std::setw(9)
              << namesMs << " ms  " << std::setw(47) << ""
              << "<= 2 ms" << (namesMs <= 2.0 ? "  met" : "  MISSED") << "\n";
    const double wait = more.typing.longestKeyMs + more.typing.longestSliceMs;
    std::cout << std::left << std::setw(34) << "Longest key, handled and painted" << std::right << std::setw(9)
              << more.typing.longestKeyMs << " ms  " << std::left << std::setw(18) << "longest slice" << std::right
              << std::setw(9) << more.typing.longestSliceMs << " ms  " << std::setw(14) << ""
              << "sum <= 16 ms" << (wait <= 16.0 ? "  met" : "  MISSED") << "\n";
    const double resultsMiB = static_cast<double>(more.resultsKiB - fullKiB) / 1024.0;
    std::cout << std::left << std::setw(34) << "Peak memory with results of \"e\"" << std::right << std::setw(9)
              << more.resultsKiB / 1024.0 << " MiB " << std::left << std::setw(18) << " without" << std::right
              << std::setw(9) << fullKiB / 1024.0 << " MiB" << std::setw(7) << "+" << resultsMiB << " MiB  <= +16 MiB"
              << (resultsMiB <= 16.0 ? "  met" : "  MISSED") << "\n";
    const auto terminalRow = [&](const char *figure, const ProgramRuns &runs, double limit) {
        const double ratio = runs.medianSeconds / more.version.medianSeconds;
        std::cout << std::left << std::setw(34) << figure << std::right << std::setw(9) << runs.medianSeconds * 1e3
                  << " ms  " << std::left << std::setw(18) << "--version" << std::right << std::setw(9)
                  << more.version.medianSeconds * 1e3 << " ms" << std::setw(8) << std::setprecision(2) << ratio
                  << "x  <= " << limit << "x" << (ratio <= limit ? "  met" : "  MISSED") << std::setprecision(3)
                  << "  (own " << (runs.medianSeconds - more.version.medianSeconds) * 1e3 << " ms, "
                  << runs.pageFaults - more.version.pageFaults << " page faults more)\n";
    };
    terminalRow("--print NAME, whole process", more.print, 2.0);
    terminalRow("--list, whole process", more.list, 2.0);
    terminalRow("--apropos WORD, whole process", more.apropos, 3.0);
    terminalRow("--apropos, a word in 1 entry of 7", more.aproposMany, 3.0);
    const long terminalKiB =
        std::max({more.print.peakKiB, more.list.peakKiB, more.apropos.peakKiB, more.aproposMany.peakKiB});
    std::cout << std::left << std::setw(34) << "Peak memory, from a terminal" << std::right << std::setw(9)
              << terminalKiB / 1024.0 << " MiB " << std::left << std::setw(18) << " the window" << std::right
              << std::setw(9) << fullKiB / 1024.0 << " MiB" << std::setw(21) << "<= the window's"
              << (terminalKiB <= fullKiB ? "  met" : "  MISSED") << "\n";
    const double extraMiB = static_cast<double>(fullKiB - emptyKiB) / 1024.0;
    std::cout << std::left << std::setw(34) << "Peak memory, 32768 entries" << std::right << std::setw(9)
              << fullKiB / 1024.0 << " MiB " << std::left << std::setw(18) << " empty file" << std::right
              << std::setw(9) << emptyKiB / 1024.0 << " MiB" << std::setw(7) << "+" << extraMiB << " MiB  <= +4 MiB"
              << (extraMiB <= 4.0 ? "  met" : "  MISSED") << "\n";
}

// The window's peak memory as its list first paints: what starting takes. Once the list has painted, the window
// makes the names the results read, at once or a little later as the events fall: whether a probe read after the
// paint counts them is chance. They count in the results' figure.
int MemoryProbe(int argc, char **argv, const std::string &path)
{
    long atFirstFrame = -1;
    LaunchAsTheProgramDoes(
        argc, argv, path, [] {}, [&atFirstFrame] { atFirstFrame = PeakMemoryKiB(); });
    std::cout << atFirstFrame << std::endl;
    return 0;
}

// The window's peak memory once it has shown the results of a one-letter query, which match the most.
int ResultsMemoryProbe(int argc, char **argv, const std::string &path)
{
    QApplication application(argc, argv);
    TypeIntoTheWindow(path, QStringLiteral("e"));
    std::cout << PeakMemoryKiB() << std::endl;
    return 0;
}

} // namespace

// The offscreen platform notes every window it cannot size-hint; that is not news for a benchmark.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && !message.contains(QStringLiteral("propagateSizeHints"))) {
        std::cerr << message.toStdString() << "\n";
    }
}

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The toolkit wants a runtime folder of the user's; the probes share one of their own, gone at the end.
    static char runtime[] = "/tmp/korva-benchmarks-XXXXXX";
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr && mkdtemp(runtime) != nullptr) {
        setenv("XDG_RUNTIME_DIR", runtime, 1);
        std::atexit([] { rmdir(runtime); });
    }
    qInstallMessageHandler(QuietMessages);
    if (argc == 3 && std::string(argv[1]) == "--memory-probe") {
        return MemoryProbe(argc, argv, argv[2]);
    }
    if (argc == 3 && std::string(argv[1]) == "--results-memory-probe") {
        return ResultsMemoryProbe(argc, argv, argv[2]);
    }
    if (argc == 3 && std::string(argv[1]) == "--startup-probe") {
        return StartUpProbe(argc, argv, argv[2]);
    }

    QApplication application(argc, argv);
    QTemporaryDir folder;
    Files &files = TheFiles();
    {
        bench::GeneratorOptions options;
        options.entries = kEntries;
        options.shuffled = true;
        const auto shuffled = bench::GenerateDataFile(options);
        files.shuffled = WriteFile(folder, "shuffled", shuffled.bytes);
        options.shuffled = false;
        files.alphabetical = WriteFile(folder, "alphabetical", bench::GenerateDataFile(options).bytes);
        options.shuffled = true;
        options.needleInLast = true;
        files.needleInLast = WriteFile(folder, "needle_in_last", bench::GenerateDataFile(options).bytes);
        options.needleInLast = false;
        options.needleEvery = 100;
        const auto every100 = bench::GenerateDataFile(options);
        files.needleEvery100 = WriteFile(folder, "needle_every_100", every100.bytes);
        files.lastName = every100.names.back();
        options.needleEvery = 7;
        files.needleEvery7 = WriteFile(folder, "needle_every_7", bench::GenerateDataFile(options).bytes);
        files.excludedLines = WriteFile(folder, "excluded_lines", ExcludedLinesFile());
        files.empty = WriteFile(folder, "empty", "");
        files.grepOutput = folder.filePath(QStringLiteral("grep-output")).toStdString();
    }

    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("IndexScan/EngineList/shuffled", IndexScanIntoEngineList, &files.shuffled)->Unit(ms);
    benchmark::RegisterBenchmark("IndexScan/EngineList/alphabetical", IndexScanIntoEngineList, &files.alphabetical)
        ->Unit(ms);
    benchmark::RegisterBenchmark("IndexScan/QtList/shuffled", IndexScanIntoQtList, &files.shuffled)->Unit(ms);
    benchmark::RegisterBenchmark("EntryView/first", EntryView, 0.0)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("EntryView/middle", EntryView, 0.5)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("EntryView/last", EntryView, 1.0)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Find/OneTapAcrossTheFile", FindTapAcrossTheFile)->Unit(ms);
    benchmark::RegisterBenchmark("Find/OneTapAcrossExcludedLines", FindTapAcrossExcludedLines)->Unit(ms);
    benchmark::RegisterBenchmark("Find/WholePassEvery100th", WholePassEvery100th)->Unit(ms);
    for (int letters = 1; letters <= 10; ++letters) {
        benchmark::RegisterBenchmark(("Results/Names/" + std::to_string(letters)).c_str(), ResultsFromTheNames, letters)
            ->Unit(ms);
    }
    benchmark::RegisterBenchmark("Results/WordTable/needle_every_100", WordTableMade)->Unit(ms);
    // One word; three words; a near spelling. The needle stands in every 100th entry, nowhere else.
    benchmark::RegisterBenchmark("Results/Whole/needle_every_100", ResultsWhole, u"needle", (kEntries + 99) / 100)
        ->Unit(ms);
    benchmark::RegisterBenchmark("Results/ThreeWords/needle_every_100", ResultsWhole, u"needle matrix polynomial",
                                 std::size_t{0})
        ->Unit(ms);
    benchmark::RegisterBenchmark("Results/NearSpelling/needle_every_100", ResultsWhole, u"neeedle",
                                 (kEntries + 99) / 100)
        ->Unit(ms);
    benchmark::RegisterBenchmark("Results/FromTheFile/needle_every_100", ResultsFromTheFile, u"needle",
                                 (kEntries + 99) / 100)
        ->Unit(ms)
        ->UseRealTime();
    benchmark::RegisterBenchmark("Anchor/Cat/shuffled", Cat, &files.shuffled)->Unit(ms)->UseRealTime();
    benchmark::RegisterBenchmark("Anchor/GrepHeaders/shuffled", GrepHeaders, &files.shuffled)->Unit(ms)->UseRealTime();
    benchmark::RegisterBenchmark("Anchor/GrepHeaders/alphabetical", GrepHeaders, &files.alphabetical)
        ->Unit(ms)
        ->UseRealTime();
    benchmark::RegisterBenchmark("Anchor/GrepNeedle/needle_in_last", GrepText, kNeedle, files.needleInLast)
        ->Unit(ms)
        ->UseRealTime();
    benchmark::RegisterBenchmark("Anchor/GrepNeedle/needle_every_100", GrepText, kNeedle, files.needleEvery100)
        ->Unit(ms)
        ->UseRealTime();
    benchmark::RegisterBenchmark("Anchor/GrepNeedleIgnoringCase/needle_every_100", GrepTextIgnoringCase, kNeedle,
                                 files.needleEvery100)
        ->Unit(ms)
        ->UseRealTime();
    benchmark::RegisterBenchmark("Anchor/GrepZ/excluded_lines", GrepText, std::string("z"), files.excludedLines)
        ->Unit(ms)
        ->UseRealTime();

    // A run of some benchmarks only (--benchmark_filter) prints their figures alone, without the table.
    const bool some = std::any_of(argv + 1, argv + argc, [](const char *argument) {
        return std::string(argument).starts_with("--benchmark_filter");
    });
    // Three repetitions of each, unless the command line says otherwise.
    std::vector<char *> arguments(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=" + std::to_string(kRounds);
    if (std::none_of(argv + 1, argv + argc, [](const char *argument) {
            return std::string(argument).starts_with("--benchmark_repetitions");
        })) {
        arguments.push_back(repetitions.data());
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (some) {
        benchmark::Shutdown();
        return 0;
    }

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const std::string program = QDir(QCoreApplication::applicationDirPath()).filePath("korva-reference").toStdString();
    const std::string &data = files.needleEvery100;
    std::array<MoreFigures, kRounds> rounds;
    std::vector<double> fullStartUps;
    std::vector<double> emptyStartUps;
    for (MoreFigures &round : rounds) {
        const auto [fullStartUp, emptyStartUp] = MedianStartUps(self, files.shuffled, files.empty, kStartUpPairs);
        fullStartUps.push_back(fullStartUp);
        emptyStartUps.push_back(emptyStartUp);
        round.emptyKiB = ProbePeakMemoryKiB(self, files.empty);
        round.fullKiB = ProbePeakMemoryKiB(self, files.shuffled);
        round.resultsKiB = ProbePeakMemoryKiB(self, files.shuffled, "--results-memory-probe");
        round.typing = TypeIntoTheWindow(files.needleEvery100, QStringLiteral("polynomial needle"));
        round.version = RunTheProgram({program, "--version"}, kStartUpPairs);
        round.print = RunTheProgram({program, "--data", data, "--print", files.lastName}, kStartUpPairs);
        round.list = RunTheProgram({program, "--data", data, "--list"}, kStartUpPairs);
        round.apropos = RunTheProgram({program, "--data", data, "--apropos", kNeedle}, kStartUpPairs);
        round.aproposMany = RunTheProgram({program, "--data", files.needleEvery7, "--apropos", kNeedle}, kStartUpPairs);
    }
    reporter.seconds["WindowStartUp/full"] = Median(fullStartUps);
    reporter.seconds["WindowStartUp/empty"] = Median(emptyStartUps);
    const MoreFigures more = MedianFigures(rounds);
    std::ifstream file(files.shuffled, std::ios::binary | std::ios::ate);
    std::cout << "\nData file: " << kEntries << " entries, " << file.tellg() / 1024 << " KiB\n";
    PrintTable(reporter, more);
    benchmark::Shutdown();
    return 0;
}
