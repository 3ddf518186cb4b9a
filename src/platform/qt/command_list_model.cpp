// SPDX-License-Identifier: MIT
#include "command_list_model.h"

#include "controls.h"

#include <algorithm>
#include <utility>

namespace korva::platform::qt {

template <typename Change>
void CommandListModel::ChangeItems(Change change)
{
    // The program changes the items with redraw off but for a clear; a change with it on tells the views the whole
    // list changed.
    if (redraw_) {
        beginResetModel();
    }
    unshown_ = 0;
    change();
    if (redraw_) {
        endResetModel();
    }
}

void CommandListModel::Clear()
{
    ChangeItems([this] { items_.Clear(); });
}

void CommandListModel::Add(std::u16string_view text, std::uint32_t data)
{
    ChangeItems([&] { items_.Add(text, data); });
}

void CommandListModel::AddCodePage(std::string_view text, std::uint32_t data)
{
    ChangeItems([&] { items_.AddCodePage(text, data); });
}

void CommandListModel::Adopt(SortedList items)
{
    ChangeItems([&] {
        items_ = std::move(items);
        if (redraw_) {
            unshown_ = std::max(0, items_.Count() - kFirstRows);
        }
    });
}

void CommandListModel::ShowAllRows()
{
    if (unshown_ == 0) {
        return;
    }
    const int shown = rowCount();
    beginInsertRows(QModelIndex(), shown, shown + unshown_ - 1);
    unshown_ = 0;
    endInsertRows();
}

void CommandListModel::SetRedraw(bool redraw)
{
    if (redraw == redraw_) {
        return;
    }
    redraw_ = redraw;
    if (redraw) {
        unshown_ = 0;
        endResetModel();
    } else {
        beginResetModel();
    }
}

int CommandListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : items_.Count() - unshown_;
}

QModelIndex CommandListModel::index(int row, int column, const QModelIndex &parent) const
{
    return !parent.isValid() && column == 0 && row >= 0 && row < rowCount() ? createIndex(row, column) : QModelIndex();
}

QVariant CommandListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= items_.Count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::EditRole) {
        return ToQString(items_.Text(index.row()));
    }
    return {};
}

} // namespace korva::platform::qt
