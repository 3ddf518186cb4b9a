// SPDX-License-Identifier: MIT
// Text as the program writes it for a terminal or a script: UTF-8 from the data file's code page; on a terminal, the
// file's control characters shown as ^[ and the like, so that no file can drive the terminal that shows it, and lines
// cut to the terminal's width as it shows them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korva::terminal {

// Where the text goes: a terminal (and its width in columns, 0 when unknown) or a pipe or file.
struct Output
{
    bool terminal = false;
    std::size_t columns = 0;
};

// `text` (UTF-16) as UTF-8. With `shown`, each control character but tab and line feed is shown instead of sent:
// ^@ to ^_ for the C0 controls, ^? for DEL, M-^@ to M-^_ for the C1 controls; a lone surrogate becomes U+FFFD.
std::string Utf8(std::u16string_view text, bool shown);
// The same, appended to `out`.
void AppendUtf8(std::u16string_view text, bool shown, std::string &out);
// The same of text in the data file's code page.
std::string Utf8OfAnsi(std::string_view ansi, bool shown);

// A line for `output`: shown as Utf8 shows text on a terminal, and there cut to its width in the columns the
// terminal gives each character: a tab reaches the next tab stop (every eighth column), a shown control character
// takes one a letter of it and is never cut in two. Into a pipe the line is whole.
class ShownLine
{
public:
    explicit ShownLine(const Output &output);

    void Append(std::u16string_view text);
    void AppendAnsi(std::string_view ansi);
    // UTF-8 text of the program's own.
    void AppendText(std::string_view ascii);
    std::string &Text() { return text_; }

private:
    // False, appending nothing, once the character does not fit.
    bool AppendCharacter(char32_t character);

    bool shown_;
    std::size_t columns_;
    std::size_t used_ = 0;
    bool full_ = false;
    std::string text_;
};

} // namespace korva::terminal
