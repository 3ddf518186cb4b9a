// SPDX-License-Identifier: MIT
// A command list without a view: its sorted items and a selection. The program fills one apart from its window and
// hands the items over whole; the in-memory platform's list is one.
#pragma once

#include "platform.h"
#include "sorted_list.h"

namespace korva::platform {

class SortedListBox : public ListBox
{
public:
    void ResetContent() override;
    void InitStorage(std::size_t items, std::size_t textUnits) override { items_.Reserve(items, textUnits); }
    void AddItem(std::u16string_view text, std::uint32_t data) override { items_.Add(text, data); }
    void AddCodePageItem(std::string_view text, std::uint32_t data) override { items_.AddCodePage(text, data); }
    std::uint32_t GetItemData(int position) const override { return items_.Data(position); }
    void AppendItemValues(std::vector<std::uint32_t> &values) const override { items_.AppendData(values); }
    int GetCount() const override { return items_.Count(); }
    std::u16string GetText(int position) const override { return items_.Text(position); }
    void GetTextInto(int position, std::u16string &text) const override { items_.TextInto(position, text); }
    std::size_t GetCodePageText(int position, std::span<char> buffer) const override
    {
        return items_.CodePageText(position, buffer);
    }
    int GetCurSel() const override { return selection_; }
    void SetCurSel(int position) override;
    int FindString(std::u16string_view prefix) const override { return items_.Find(prefix); }
    void SetRedraw(bool) override {}
    std::uint64_t ItemsVersion() const override { return items_.Version(); }

    // The store behind the list, for checks that read every item.
    const SortedList &Items() const { return items_; }
    // The items, sorted; the list is empty afterwards.
    SortedList TakeItems();

private:
    SortedList items_;
    int selection_ = kNoItem;
};

} // namespace korva::platform
