// SPDX-License-Identifier: MIT
#include "terminal_text.h"

#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/unicode.h"

#include <algorithm>

namespace korva::terminal {

namespace {

// A terminal's tab stops: every eighth column.
constexpr std::size_t kTabStop = 8;

} // namespace

std::string Utf8(std::u16string_view text, bool shown)
{
    std::string out;
    out.reserve(text.size());
    AppendUtf8(text, shown, out);
    return out;
}

void AppendUtf8(std::u16string_view text, bool shown, std::string &out)
{
    for (std::size_t at = 0; at < text.size();) {
        // A run of printable ASCII, most of any text, stands for itself either way.
        std::size_t end = at;
        while (end < text.size() && text[end] >= 0x20 && text[end] < 0x7F) {
            ++end;
        }
        if (end > at) {
            const std::size_t before = out.size();
            out.resize(before + (end - at));
            std::transform(text.begin() + static_cast<std::ptrdiff_t>(at),
                           text.begin() + static_cast<std::ptrdiff_t>(end),
                           out.begin() + static_cast<std::ptrdiff_t>(before),
                           [](char16_t unit) { return static_cast<char>(unit); });
            at = end;
            continue;
        }
        const char32_t character = platform::NextUtf16Character(text, at).value_or(platform::kReplacementCharacter);
        if (shown) {
            platform::AppendShownCharacter(character, false, out);
        } else {
            platform::AppendUtf8(character, out);
        }
    }
}

std::string Utf8OfAnsi(std::string_view ansi, bool shown)
{
    std::string out;
    out.reserve(ansi.size());
    for (const char byte : ansi) {
        const char32_t character = platform::AnsiCharToWide(static_cast<unsigned char>(byte));
        if (shown) {
            platform::AppendShownCharacter(character, false, out);
        } else {
            platform::AppendUtf8(character, out);
        }
    }
    return out;
}

ShownLine::ShownLine(const Output &output) : shown_(output.terminal), columns_(output.terminal ? output.columns : 0) {}

bool ShownLine::AppendCharacter(char32_t character)
{
    if (full_) {
        return false;
    }
    if (columns_ != 0) {
        const std::size_t width = shown_ && character == U'\t' ? kTabStop - used_ % kTabStop
                                  : shown_                     ? platform::ShownColumns(character)
                                                               : 1;
        if (used_ + width > columns_) {
            full_ = true;
            return false;
        }
        used_ += width;
    }
    if (shown_) {
        platform::AppendShownCharacter(character, false, text_);
    } else {
        platform::AppendUtf8(character, text_);
    }
    return true;
}

void ShownLine::Append(std::u16string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        if (!AppendCharacter(platform::NextUtf16Character(text, at).value_or(platform::kReplacementCharacter))) {
            return;
        }
    }
}

void ShownLine::AppendAnsi(std::string_view ansi)
{
    const auto printable = [](char byte) { return byte >= 0x20 && byte < 0x7F; };
    for (std::size_t at = 0; at < ansi.size();) {
        // A run of printable ASCII, most of any text, is the code page's and UTF-8's alike, a column a byte.
        const std::size_t run = static_cast<std::size_t>(
            std::find_if_not(ansi.begin() + static_cast<std::ptrdiff_t>(at), ansi.end(), printable) - ansi.begin());
        if (run > at) {
            if (full_) {
                return;
            }
            std::size_t fits = run - at;
            if (columns_ != 0) {
                fits = std::min(fits, columns_ - used_);
                used_ += fits;
                full_ = fits < run - at;
            }
            text_.append(ansi.substr(at, fits));
            if (full_) {
                return;
            }
            at = run;
            continue;
        }
        if (!AppendCharacter(platform::AnsiCharToWide(static_cast<unsigned char>(ansi[at++])))) {
            return;
        }
    }
}

void ShownLine::AppendText(std::string_view ascii)
{
    for (std::size_t at = 0; at < ascii.size();) {
        if (!AppendCharacter(platform::NextUtf8Character(ascii, at).value_or(platform::kReplacementCharacter))) {
            return;
        }
    }
}

} // namespace korva::terminal
