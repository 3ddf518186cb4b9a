// SPDX-License-Identifier: MIT
// The services the help data engine and the window rely on: the data file, the window's controls by id and the
// message box. The engine reaches the file and the controls only through these interfaces; the program implements
// them on Qt (platform/qt), the engine's tests in memory (platform/memory).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korva::platform {

// Control ids of the reference window. Both layouts use the same ids.
inline constexpr int IDC_COMMAND_LIST = 1000;
inline constexpr int IDC_ENTRY_TEXT = 1001;
inline constexpr int IDC_SEE_ALSO = 1002;
inline constexpr int IDC_COPY = 1003;
inline constexpr int IDC_FIND = 1004;
inline constexpr int IDC_SEARCH_TEXT = 1005;

// "None": no selection, nothing found.
inline constexpr int kNoItem = -1;

// A part of a text, in UTF-16 units.
struct TextRange
{
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextRange &) const = default;
};

// What a control reports when the user acts on it. A control never reports what the program does to it: selecting,
// clearing, adding, or setting a text raises no notification.
enum class Notification
{
    SelChange, // the list's or the drop-down list's selection changed
    Clicked,   // a push button was clicked
    Change,    // an edit's text changed
};

// The help data file, opened read-only. Offsets are unsigned 32-bit: an implementation shows no byte at or beyond
// offset 0xFFFFFFFF, so positions never wrap, whatever the size of the file on disk.
class HelpFile
{
public:
    virtual ~HelpFile() = default;

    // Opens the file at `path` (UTF-8) for reading. False when it is missing, is not a regular file or cannot be
    // read; it never waits for a writer, as a named pipe would make it.
    virtual bool Open(const std::string &path) = 0;
    virtual void Close() = 0;

    // Moves the position to `offset` from the start of the file (past the end is allowed: reads there yield 0).
    // Readers begin each read of the file with it: what follows reflects the file as it is now.
    virtual void Seek(std::uint32_t offset) = 0;
    // Moves the position `count` bytes back from where it stands, stopping at the start of the file: a reader goes
    // back over bytes it has just read to continue its read of the file.
    virtual void SeekBack(std::uint32_t count) = 0;
    // Reads up to `buffer.size()` bytes from the position into `buffer` and advances the position past them.
    // Yields the count read; less than asked only at the end of the file (or on a failing read, then 0).
    virtual std::uint32_t Read(std::span<char> buffer) = 0;
    // Reads as Read does, but lends the bytes instead of copying them: the view stays good until the next call on the
    // file. For a reader that takes the file in large blocks and only looks.
    virtual std::span<const char> ReadView(std::uint32_t count) = 0;
    virtual std::uint32_t Position() const = 0;
    // The file's length now (it may change while the file is open).
    virtual std::uint32_t Length() const = 0;

    // Another reader of the same file, with a position of its own, for a second thread reading another part of it:
    // its ContentChanged tells whether the file is still the content this reader noted. Null when none can be made.
    virtual std::unique_ptr<HelpFile> OpenAnother() = 0;

    // Takes the file as it is now for the content the readers know, so that ContentChanged tells when that ends.
    virtual void NoteContent() = 0;
    // True when the file is no longer what it was at the last NoteContent: its size or modification time changed,
    // or its path now names another file (which it then reads instead).
    virtual bool ContentChanged() = 0;
};

// The sorted command list. Items stand in case-insensitive order, equal names in the order they were added; each
// carries a 32-bit value (the entry's offset).
class ListBox
{
public:
    virtual ~ListBox() = default;

    // Removes every item; nothing is selected afterwards.
    virtual void ResetContent() = 0;
    // Makes room for about `items` more items with `textUnits` units of text in all, before many are added.
    virtual void InitStorage(std::size_t items, std::size_t textUnits) = 0;
    // Adds `text` with its value at its sorted place, after the items equal to it. While redrawing is off, many are
    // added at the cost of one sort.
    virtual void AddItem(std::u16string_view text, std::uint32_t data) = 0;
    // The same for a text in the code page, a byte a unit (AnsiToWide): the index scan's names, added as the file
    // holds them.
    virtual void AddCodePageItem(std::string_view text, std::uint32_t data) = 0;
    // The item's value; 0 for a position that holds no item.
    virtual std::uint32_t GetItemData(int position) const = 0;
    // Every item's value appended to `values`, in no order that may be relied on: for a reader that wants the values
    // alone, which a list whose items are not yet sorted gives without sorting them first.
    virtual void AppendItemValues(std::vector<std::uint32_t> &values) const
    {
        for (int position = 0; position < GetCount(); ++position) {
            values.push_back(GetItemData(position));
        }
    }
    virtual int GetCount() const = 0;
    // The item's text; empty for a position that holds no item.
    virtual std::u16string GetText(int position) const = 0;
    // The same into `text`, whose room is kept from call to call: for a reader of every item.
    virtual void GetTextInto(int position, std::u16string &text) const { text = GetText(position); }
    // The item's text in the code page, as WideToAnsi writes it into `buffer` (cut to its size less one, then a NUL);
    // yields its length. For a reader of every item that matches names as the data file holds them.
    virtual std::size_t GetCodePageText(int position, std::span<char> buffer) const = 0;
    // The selected item, or kNoItem.
    virtual int GetCurSel() const = 0;
    // Selects the item (kNoItem clears the selection) and scrolls the list to show it. Raises no notification.
    virtual void SetCurSel(int position) = 0;
    // The first item from the top whose text begins with `prefix`, case ignored; kNoItem when none does.
    virtual int FindString(std::u16string_view prefix) const = 0;
    // Off: items may be added without the control being repainted for each; on: it shows the items again.
    virtual void SetRedraw(bool redraw) = 0;
    // The version of the items: it changes with every change of them (an add, a reset, items taken in whole), and no
    // two lists of the process share one. What is made from the items belongs to the version it was made from.
    virtual std::uint64_t ItemsVersion() const = 0;
};

// The see-also drop-down list: sorted, duplicates kept, no edit field.
class ComboBox
{
public:
    virtual ~ComboBox() = default;

    // Removes every item; afterwards no item is selected. Raises no notification.
    virtual void ResetContent() = 0;
    // Inserts `text` at its sorted place (after equal items); the selection does not change. Raises no notification.
    virtual void AddString(std::u16string_view text) = 0;
    // Marks the items named one of `names` as where a search found what it looked for; with none chosen, the list
    // shows the first of `names` so marked. The marks are no selection; they go with the next ResetContent, or with
    // a call with none.
    virtual void MarkFound(std::span<const std::u16string> names) = 0;
};

// The multi-line entry text.
class EditBox
{
public:
    virtual ~EditBox() = default;

    // Copies the selected text to the clipboard; with nothing selected the clipboard keeps what it held.
    virtual void Copy() = 0;
    // Shows the parts `ranges` of the text the program set last in the system's fixed-pitch font, so that a formula
    // reads as one; the rest keeps the control's own font. The text stays as it is: Copy takes the same characters.
    virtual void ShowInFixedPitch(std::span<const TextRange> ranges) = 0;
    // Marks the parts `ranges` of the text the program set last as where a search found what it looked for, and puts
    // the caret at the first, in view. The marks are no selection (Copy does not take them); they go with the next
    // text set, or with a call with none.
    virtual void MarkFound(std::span<const TextRange> ranges) = 0;
};

// The open reference window: its controls by id, their texts and states, and the message box it owns.
class Window
{
public:
    virtual ~Window() = default;

    virtual ListBox &ListBoxById(int id) = 0;
    virtual ComboBox &ComboBoxById(int id) = 0;
    virtual EditBox &EditById(int id) = 0;

    // Sets a control's whole text (an edit's content, a button's caption). Raises no notification.
    virtual void SetControlText(int id, std::u16string_view text) = 0;
    // Copies at most `buffer.size() - 1` units of a control's text (for the see-also list: its selected item's text)
    // into `buffer` and terminates it with a NUL unit; a surrogate pair is never split. Yields the units copied.
    virtual std::size_t GetControlText(int id, std::span<char16_t> buffer) const = 0;
    virtual void EnableControl(int id, bool enable) = 0;

    // Shows `text` in a message box owned by the window, with one OK button; returns when it is dismissed.
    virtual void ShowMessage(std::u16string_view text) = 0;
};

} // namespace korva::platform
