// SPDX-License-Identifier: MIT
#include "command_list_model.h"

namespace korva::platform::qt {

int CommandListModel::Add(std::u16string_view text)
{
    if (!redraw_) {
        return items_.Add(text);
    }
    const int position = items_.InsertPosition(text);
    beginInsertRows(QModelIndex(), position, position);
    items_.Add(text);
    endInsertRows();
    return position;
}

void CommandListModel::AddItem(std::u16string_view text, std::uint32_t data)
{
    if (redraw_) {
        items_.SetData(Add(text), data);
    } else {
        items_.Append(text, data);
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

QVariant CommandListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= items_.Count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::EditRole) {
        if (items_.IsLatin1(index.row())) {
            const std::string_view text = items_.Latin1Text(index.row());
            return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        }
        return QString::fromStdU16String(items_.Text(index.row()));
    }
    return {};
}

} // namespace korva::platform::qt
