// SPDX-License-Identifier: MIT
#include "command_list_model.h"

#include "controls.h"

#include <utility>

namespace korva::platform::qt {

void CommandListModel::Clear()
{
    if (redraw_) {
        beginResetModel();
    }
    items_.Clear();
    if (redraw_) {
        endResetModel();
    }
}

void CommandListModel::Add(std::u16string_view text, std::uint32_t data)
{
    // The program adds with redraw off only; an add with it on tells the views the whole list changed.
    if (redraw_) {
        beginResetModel();
    }
    items_.Add(text, data);
    if (redraw_) {
        endResetModel();
    }
}

void CommandListModel::Adopt(SortedList items)
{
    if (redraw_) {
        beginResetModel();
    }
    items_ = std::move(items);
    if (redraw_) {
        endResetModel();
    }
}

void CommandListModel::SetRedraw(bool redraw)
{
    if (redraw == redraw_) {
        return;
    }
    redraw_ = redraw;
    if (redraw) {
        endResetModel();
    } else {
        beginResetModel();
    }
}

int CommandListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : items_.Count();
}

QModelIndex CommandListModel::index(int row, int column, const QModelIndex &parent) const
{
    return !parent.isValid() && column == 0 && row >= 0 && row < items_.Count() ? createIndex(row, column)
                                                                                : QModelIndex();
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
