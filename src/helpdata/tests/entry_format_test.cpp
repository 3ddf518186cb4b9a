// SPDX-License-Identifier: MIT
// Where the composer says the formulas stand: the parameter synopsis and the example lines, in units of the text it
// composed, whatever the entry holds before them; the window's fixed-pitch look takes them as they are.
#include "engine_fixture.h"
#include "helpdata/entry_format.h"

#include <string>
#include <utility>
#include <vector>

namespace korva::helpdata::testing {
namespace {

using platform::TextRange;

struct FormulasCase
{
    const char *what;
    std::vector<std::string> lines; // of the entry, after its header
    TextRange parameters;
    TextRange examples;
};

class EntryFormat : public EngineTest, public ::testing::WithParamInterface<FormulasCase>
{};

TEST_P(EntryFormat, FormulasStandWhereTheComposerPutThem)
{
    const FormulasCase &formulas = GetParam();
    Open(Entry("f", formulas.lines));
    Select("f");
    EXPECT_EQ(window.entryText.fixedPitch, (std::vector<TextRange>{formulas.parameters, formulas.examples}));
    // Each range holds what the entry's lines hold there.
    const std::u16string &text = window.entryText.text;
    if (formulas.parameters.length > 0) {
        EXPECT_EQ(text.substr(formulas.parameters.start - 7, 7), u"Params:");
    }
    if (formulas.examples.length > 0) {
        EXPECT_EQ(text.substr(formulas.examples.start + formulas.examples.length - 2), u"\r\n");
    }
}

// "d" composes as "d\r\n\r\nParams:" (12 units), so the synopsis starts at 12.
INSTANTIATE_TEST_SUITE_P(
    Ranges, EntryFormat,
    ::testing::Values(
        FormulasCase{"synopsis alone", {"1 a", "2 d", "3 c", "0 f(x)"}, {12, 4}, {}},
        FormulasCase{
            "synopsis and two examples", {"1 a", "2 d", "3 c", "0 f(x)", "f(1)", "f(2)"}, {12, 4}, {12 + 4 + 15, 12}},
        // A CR before an LF stays part of its line's text, and shifts nothing after it.
        FormulasCase{"lines ending in CR", {"1 a", "2 d\r", "3 c", "0 f(x)\r", "f(1)\r"}, {13, 5}, {13 + 5 + 15, 7}},
        FormulasCase{"no parameters line", {"1 a", "2 d", "3 c"}, {}, {}},
        // A description that fills the text leaves no room for the formulas: empty ranges at its end.
        FormulasCase{"text cut before the synopsis",
                     {"1 a", "2 " + std::string(995, 'w'), "3 c", "0 f(x)", "f(1)"},
                     {999, 0},
                     {999, 0}}),
    [](const ::testing::TestParamInfo<FormulasCase> &info) {
        std::string name = info.param.what;
        for (char &c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
        }
        return name;
    });

// An entry's bytes run through its first blank line, and stop at a NUL before it.
TEST(EntryBytes, RunThroughTheFirstBlankLineOrToANul)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"\n", "\n"},
        {"\n\n#next", "\n\n"},
        {"#a\n1d\n\n#b\n\n", "#a\n1d\n\n"},
        {"#a\nx\ny\n\n", "#a\nx\ny\n\n"}, // single LFs before it
        {"#a\n1d\n", "#a\n1d\n"},         // a last LF with nothing after it
        {std::string("#a\n\0\n\n", 6), "#a\n"},
        {std::string("#a\n1d\n\n\0x", 9), "#a\n1d\n\n"},
    };
    for (const auto &[bytes, entry] : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(EntryBytesOf(bytes), entry);
    }
}

} // namespace
} // namespace korva::helpdata::testing
