// SPDX-License-Identifier: MIT
// Where the composer says the formulas stand: the parameter synopsis and the example lines, in units of the text it
// composed, whatever the entry holds before them; the window's fixed-pitch look takes them as they are.
#include "engine_fixture.h"
#include "helpdata/entry_format.h"

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

} // namespace
} // namespace korva::helpdata::testing
