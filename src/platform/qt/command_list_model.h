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
    void Clear();
    void Reserve(std::size_t items, std::size_t textUnits) { items_.Reserve(items, textUnits); }
    // Adds `text` with its value; while redraw is off, the views hear of the new items when it comes back on.
    void Add(std::u16string_view text, std::uint32_t data);
    // The same for a text in the code page, a byte a unit.
    void AddCodePage(std::string_view text, std::uint32_t data);
    void SetRedraw(bool redraw);
    // Takes `items` in place of the list's own. The views hear first of the rows that a screen can show, and of the
    // rest once ShowAllRows is called: a view lays out every row it knows of before its first frame, 2 ms for 32768.
    void Adopt(SortedList items);
    // Tells the views of the rows that Adopt kept from them; nothing when they know of every row.
    void ShowAllRows();
    bool ShowsAllRows() const { return unshown_ == 0; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The view asks for an index of every row as it lays the list out; this answers without asking back.
    QModelIndex index(int row, int column = 0, const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    template <typename Change>
    void ChangeItems(Change change);

    // More rows than any screen shows at once, at the smallest type.
    static constexpr int kFirstRows = 1024;

    SortedList items_;
    bool redraw_ = true;
    int unshown_ = 0; // the last rows, which the views have not heard of yet
};

} // namespace korva::platform::qt
