// SPDX-License-Identifier: MIT
#include "sorted_list_box.h"

#include <utility>

namespace korva::platform {

void SortedListBox::ResetContent()
{
    items_.Clear();
    selection_ = kNoItem;
}

void SortedListBox::SetCurSel(int position)
{
    selection_ = (position >= 0 && position < GetCount()) ? position : kNoItem;
}

SortedList SortedListBox::TakeItems()
{
    items_.Sort(); // here, rather than on whichever thread reads them first
    SortedList items = std::move(items_);
    items_.Clear();
    selection_ = kNoItem;
    return items;
}

} // namespace korva::platform
