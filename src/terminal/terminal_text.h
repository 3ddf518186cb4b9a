// SPDX-License-Identifier: MIT
// Text as the program writes it for a terminal or a script: UTF-8 from the data file's code page; on a terminal, the
// file's control characters shown as ^[ and the like, so that no file can drive the terminal that shows it.
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

// The start of the UTF-8 line `line` that fits `columns` columns (one a character); the whole line for 0 columns.
std::string_view CutToColumns(std::string_view line, std::size_t columns);

} // namespace korva::terminal
