// SPDX-License-Identifier: MIT
#include "memory_platform.h"

#include "platform/code_page.h"

#include <algorithm>
#include <stdexcept>

namespace korva::platform {

bool MemoryHelpFile::Open(const std::string & /*path*/)
{
    open_ = true;
    position_ = 0;
    return open_;
}

std::uint32_t MemoryHelpFile::Read(std::span<char> buffer)
{
    const std::span<const char> view = ReadView(static_cast<std::uint32_t>(buffer.size()));
    std::copy(view.begin(), view.end(), buffer.begin());
    return static_cast<std::uint32_t>(view.size());
}

std::span<const char> MemoryHelpFile::ReadView(std::uint32_t count)
{
    ++reads_;
    *changed_ = *changed_ || changingWhileRead_ || reads_ == changeAtRead_;
    const std::uint32_t length = Length();
    if (!open_ || position_ >= length) {
        return {};
    }
    const std::size_t got = std::min<std::size_t>(count, length - position_);
    if (position_ + got > failPast_) {
        return {};
    }
    const std::span<const char> view(bytes_.data() + position_, got);
    position_ += static_cast<std::uint32_t>(got);
    return view;
}

std::unique_ptr<HelpFile> MemoryHelpFile::OpenAnother()
{
    auto another = std::make_unique<MemoryHelpFile>(bytes_);
    another->changed_ = changed_;
    another->open_ = open_;
    return another;
}

std::uint32_t MemoryHelpFile::Length() const
{
    return static_cast<std::uint32_t>(std::min<std::size_t>(bytes_.size(), 0xFFFFFFFFu));
}

void MemoryListBox::SetRedraw(bool redraw)
{
    if (!redraw && redraw_) {
        ++redrawOffCount_;
    }
    redraw_ = redraw;
}

void MemoryComboBox::ResetContent()
{
    items_.clear();
    found.clear();
    selection_ = kNoItem;
}

void MemoryComboBox::AddString(std::u16string_view text)
{
    const int count = static_cast<int>(items_.size());
    const int position = SortedInsertPosition(
        count, text, [this](int i) { return std::u16string_view(items_[static_cast<std::size_t>(i)]); });
    items_.insert(items_.begin() + position, std::u16string(text));
    if (selection_ >= position) {
        ++selection_;
    }
}

std::u16string MemoryComboBox::SelectedText() const
{
    return (selection_ >= 0 && selection_ < static_cast<int>(items_.size()))
               ? items_[static_cast<std::size_t>(selection_)]
               : std::u16string();
}

void MemoryEditBox::Copy()
{
    const std::size_t end = std::min(selectionEnd_, text.size());
    if (selectionStart_ < end) {
        clipboard_ = text.substr(selectionStart_, end - selectionStart_);
    }
}

MemoryWindow::MemoryWindow() : entryText(clipboard) {}

ListBox &MemoryWindow::ListBoxById(int id)
{
    if (id != IDC_COMMAND_LIST) {
        throw std::invalid_argument("no list box with that id");
    }
    return commandList;
}

ComboBox &MemoryWindow::ComboBoxById(int id)
{
    if (id != IDC_SEE_ALSO) {
        throw std::invalid_argument("no combo box with that id");
    }
    return seeAlso;
}

EditBox &MemoryWindow::EditById(int id)
{
    if (id != IDC_ENTRY_TEXT) {
        throw std::invalid_argument("no multi-line edit with that id");
    }
    return entryText;
}

void MemoryWindow::SetControlText(int id, std::u16string_view text)
{
    switch (id) {
    case IDC_ENTRY_TEXT:
        entryText.text = text;
        entryText.fixedPitch.clear(); // a new text has no look until the program gives it one
        entryText.found.clear();
        entryText.Select(0, 0);
        ++entryTextSets;
        break;
    case IDC_FIND:
        findCaption = text;
        break;
    case IDC_SEARCH_TEXT:
        searchText = text;
        break;
    default:
        throw std::invalid_argument("no control with that id takes a text");
    }
}

std::size_t MemoryWindow::GetControlText(int id, std::span<char16_t> buffer) const
{
    std::u16string selected;
    std::u16string_view text;
    switch (id) {
    case IDC_ENTRY_TEXT:
        text = entryText.text;
        break;
    case IDC_FIND:
        text = findCaption;
        break;
    case IDC_SEARCH_TEXT:
        text = searchText;
        break;
    case IDC_SEE_ALSO:
        selected = seeAlso.SelectedText();
        text = selected;
        break;
    default:
        throw std::invalid_argument("no control with that id has a text");
    }
    return CopyTextCut(text, buffer);
}

void MemoryWindow::EnableControl(int id, bool enable)
{
    if (id != IDC_SEE_ALSO) {
        throw std::invalid_argument("only the see-also list is enabled and disabled");
    }
    seeAlsoEnabled = enable;
}

} // namespace korva::platform
