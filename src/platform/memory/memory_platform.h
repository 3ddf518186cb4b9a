// SPDX-License-Identifier: MIT
// The platform in memory: a data file made of bytes and a window whose controls are plain objects. The engine's
// tests, fuzz targets and benchmarks run against it; they read back exactly what the engine did to each control.
#pragma once

#include "platform/platform.h"
#include "platform/sorted_list.h"
#include "platform/sorted_list_box.h"

#include <memory>
#include <string>
#include <vector>

namespace korva::platform {

class MemoryHelpFile final : public HelpFile
{
public:
    MemoryHelpFile() = default;
    explicit MemoryHelpFile(std::string bytes) : bytes_(std::move(bytes)) {}

    // Replaces the file's bytes, as when the file changes on disk while it is open; the position stays.
    void SetBytes(std::string bytes)
    {
        bytes_ = std::move(bytes);
        *changed_ = true;
    }
    const std::string &Bytes() const { return bytes_; }
    // While set, the file changes on disk with every read, as one rewritten in place in a tight loop.
    void SetChangingWhileRead(bool changing) { changingWhileRead_ = changing; }
    // The file changes on disk at the read that makes ReadCount() reach `reads`, and stays so.
    void ChangeAtRead(std::size_t reads) { changeAtRead_ = reads; }
    // Reads that would reach past `offset` fail from then on, as on a disk that cannot be read there.
    void FailReadsPast(std::uint32_t offset) { failPast_ = offset; }
    // How many reads were made.
    std::size_t ReadCount() const { return reads_; }

    bool Open(const std::string &path) override;
    void Close() override { open_ = false; }
    void Seek(std::uint32_t offset) override { position_ = offset; }
    void SeekBack(std::uint32_t count) override { position_ = count < position_ ? position_ - count : 0; }
    std::uint32_t Read(std::span<char> buffer) override;
    std::span<const char> ReadView(std::uint32_t count) override;
    std::uint32_t Position() const override { return position_; }
    std::uint32_t Length() const override;
    std::unique_ptr<HelpFile> OpenAnother() override;
    void NoteContent() override { *changed_ = false; }
    bool ContentChanged() override { return *changed_; }

private:
    std::string bytes_;
    // Shared with the readers OpenAnother makes: a change seen by one is seen by all.
    std::shared_ptr<bool> changed_ = std::make_shared<bool>(false);
    bool changingWhileRead_ = false;
    std::uint32_t position_ = 0;
    bool open_ = true;
    std::uint32_t failPast_ = 0xFFFFFFFF;
    std::size_t reads_ = 0;
    std::size_t changeAtRead_ = 0;
};

class MemoryListBox final : public SortedListBox
{
public:
    void SetRedraw(bool redraw) override;

    bool Redraw() const { return redraw_; }
    // How often redraw was switched off and back on.
    int RedrawOffCount() const { return redrawOffCount_; }

private:
    bool redraw_ = true;
    int redrawOffCount_ = 0;
};

class MemoryComboBox final : public ComboBox
{
public:
    void ResetContent() override;
    void AddString(std::u16string_view text) override;
    void MarkFound(std::span<const std::u16string> names) override { found.assign(names.begin(), names.end()); }

    // The names marked as where a search found its text.
    std::vector<std::u16string> found;

    // What the user does: picks the item at `position`.
    void Pick(int position) { selection_ = position; }
    const std::vector<std::u16string> &Items() const { return items_; }
    int Selection() const { return selection_; }

private:
    friend class MemoryWindow;
    // The selected item's text; empty when none is selected.
    std::u16string SelectedText() const;

    std::vector<std::u16string> items_;
    int selection_ = kNoItem;
};

class MemoryEditBox final : public EditBox
{
public:
    explicit MemoryEditBox(std::u16string &clipboard) : clipboard_(clipboard) {}

    void Copy() override;
    void ShowInFixedPitch(std::span<const TextRange> ranges) override
    {
        fixedPitch.assign(ranges.begin(), ranges.end());
    }
    void MarkFound(std::span<const TextRange> ranges) override { found.assign(ranges.begin(), ranges.end()); }

    // The selection the user made in the text, as [start, end) in units.
    void Select(std::size_t start, std::size_t end)
    {
        selectionStart_ = start;
        selectionEnd_ = end;
    }

    std::u16string text;
    // The parts of the text in the fixed-pitch font.
    std::vector<TextRange> fixedPitch;
    // The parts of the text marked as found.
    std::vector<TextRange> found;

private:
    std::u16string &clipboard_;
    std::size_t selectionStart_ = 0;
    std::size_t selectionEnd_ = 0;
};

class MemoryWindow final : public Window
{
public:
    MemoryWindow();

    ListBox &ListBoxById(int id) override;
    ComboBox &ComboBoxById(int id) override;
    EditBox &EditById(int id) override;
    void SetControlText(int id, std::u16string_view text) override;
    std::size_t GetControlText(int id, std::span<char16_t> buffer) const override;
    void EnableControl(int id, bool enable) override;
    void ShowMessage(std::u16string_view text) override { messages.emplace_back(text); }

    // The controls and what the window showed, for the test to read and set.
    std::u16string clipboard;
    MemoryListBox commandList;
    MemoryComboBox seeAlso;
    MemoryEditBox entryText;
    std::u16string findCaption = u"Find";
    std::u16string searchText;
    bool seeAlsoEnabled = true;
    std::vector<std::u16string> messages;
    // How often the entry text was set; a handler that stops early sets none.
    int entryTextSets = 0;
};

} // namespace korva::platform
