// SPDX-License-Identifier: MIT
// The command list's items as a Qt model: a view over the sorted item store, so the list holds the largest data file
// without a Qt item per command.
#pragma once

#include "platform/sorted_list.h"

#include <QAbstractListModel>

namespace korva::platform::qt {

class CommandListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    const SortedList &Items() const { return items_; }
    int Add(std::u16string_view text);
    // Adds `text` with its value; while redraw is off, the items are sorted in when it comes back on.
    void AddItem(std::u16string_view text, std::uint32_t data);
    void Reserve(std::size_t items) { items_.Reserve(items); }
    void SetData(int position, std::uint32_t data) { items_.SetData(position, data); }
    // While off, adds are not announced one by one; switching it on again announces the whole new list at once.
    void SetRedraw(bool redraw);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    SortedList items_;
    bool redraw_ = true;
};

} // namespace korva::platform::qt
