// SPDX-License-Identifier: MIT
#include "results_panel.h"

#include "helpdata/command_index.h"
#include "helpdata/entry_format.h"
#include "helpdata/entry_view.h"
#include "helpdata/index_refresh.h"
#include "platform/code_page.h"
#include "platform/qt/controls.h"

#include <algorithm>
#include <array>

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace korva::app {

namespace {

using platform::IDC_COMMAND_LIST;

// A row: the command's name in bold, then as much of the start of its description as fits.
class ResultsDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem row = option;
        initStyleOption(&row, index);
        const QString name = row.text;
        row.text.clear();
        const QWidget *view = option.widget;
        QStyle *style = view != nullptr ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &row, painter, view); // the background, selection and focus
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &row, view);

        painter->save();
        const QPalette::ColorGroup group = (option.state & QStyle::State_Enabled) == 0  ? QPalette::Disabled
                                           : (option.state & QStyle::State_Active) == 0 ? QPalette::Inactive
                                                                                        : QPalette::Active;
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        QFont bold = option.font;
        bold.setBold(true);
        const QFontMetrics boldMetrics(bold);
        const QString shownName = boldMetrics.elidedText(name, Qt::ElideRight, text.width());
        painter->setFont(bold);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, shownName);
        const int used = boldMetrics.horizontalAdvance(shownName + QStringLiteral("  "));
        if (used < text.width()) {
            const QString description = index.data(ResultsModel::DescriptionRole).toString();
            painter->setFont(option.font);
            painter->drawText(text.adjusted(used, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                              option.fontMetrics.elidedText(description, Qt::ElideRight, text.width() - used));
        }
        painter->restore();
    }
};

QString CountText(int count)
{
    return count == 0   ? QStringLiteral("No results")
           : count == 1 ? QStringLiteral("1 result")
                        : QStringLiteral("%1 results").arg(count);
}

} // namespace

ResultsModel::ResultsModel(const helpdata::HelpContext &context, QObject *parent)
    : QAbstractListModel(parent), context_(context)
{}

void ResultsModel::SetResults(std::vector<helpdata::RankedResult> results)
{
    beginResetModel();
    results_ = std::move(results);
    listVersion_ = ListVersion();
    descriptions_.clear();
    endResetModel();
}

std::uint64_t ResultsModel::ListVersion() const
{
    return context_.window.ListBoxById(IDC_COMMAND_LIST).ItemsVersion();
}

bool ResultsModel::Current() const
{
    if (listVersion_ == ListVersion()) {
        return true;
    }
    QTimer::singleShot(0, this, &ResultsModel::fileChanged);
    return false;
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(results_.size());
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    // Results of a list built before the one on show name other items now: none is shown until they are made anew.
    if (!index.isValid() || index.row() >= rowCount() || !Current()) {
        return {};
    }
    const auto name = [&] {
        return platform::qt::ToQString(context_.window.ListBoxById(IDC_COMMAND_LIST).GetText(Result(index.row()).item));
    };
    switch (role) {
    case Qt::DisplayRole:
        return name();
    case DescriptionRole:
    case Qt::ToolTipRole:
        return Description(index.row());
    case Qt::AccessibleTextRole: {
        const QString description = Description(index.row());
        return description.isEmpty() ? name() : name() + QStringLiteral(", ") + description;
    }
    default:
        return {};
    }
}

QString ResultsModel::Description(int row) const
{
    if (const auto known = descriptions_.constFind(row); known != descriptions_.constEnd()) {
        return *known;
    }
    // What the file holds now may be another entry than the result's: nothing of it is shown, and the results are
    // made anew.
    if (context_.file.ContentChanged()) {
        QTimer::singleShot(0, this, &ResultsModel::fileChanged);
        return {};
    }
    const std::string_view bytes = helpdata::ReadEntryBytes(context_.file, buffer_, Result(row).entryOffset);
    const std::optional<helpdata::EntryParts> parts = helpdata::ParseEntry(bytes);
    std::array<char16_t, helpdata::kEntryTextBufferSize> text;
    const std::size_t length = parts ? platform::AnsiToWide(parts->description, text) : 0;
    return descriptions_[row] = platform::qt::ToQString(std::u16string_view(text.data(), length));
}

ResultsPanel::ResultsPanel(QWidget &dialog, const helpdata::HelpContext &context, QLineEdit &searchText)
    : QListView(&dialog), context_(context), dialog_(dialog), searchText_(searchText),
      model_(new ResultsModel(context, this))
{
    setObjectName(QStringLiteral("Results"));
    setAccessibleName(QStringLiteral("Results"));
    setModel(model_);
    setItemDelegate(new ResultsDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Down from the search text leads in; the window's tab order stays its own.
    setFocusPolicy(Qt::ClickFocus);
    hide();

    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &ResultsPanel::SearchNextSlice);
    connect(this, &QListView::clicked, this, &ResultsPanel::Choose);
    connect(model_, &ResultsModel::fileChanged, this, [this] {
        if (IsOpen()) {
            Search(query_);
        }
    });
    // The results are the search text's: they go when the user turns to another control of the window.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (IsOpen() && now != nullptr && now != this && now != &searchText_ && now->window() == dialog_.window()) {
            Close();
        }
    });
    searchText_.installEventFilter(this);
    dialog_.installEventFilter(this);
}

void ResultsPanel::Search(const QString &query)
{
    slices_.stop();
    search_.reset(); // before the names it reads may be made anew
    query_ = query;
    if (query.trimmed().isEmpty()) {
        Close(); // an empty search text shows no list
        return;
    }
    const std::u16string text = platform::qt::ToU16String(query);
    MakeNamesCurrent();
    search_ = std::make_unique<helpdata::RankedSearch>(names_, text);
    ShowResults(search_->Results()); // what the names give, at once
    if (search_->Done()) {
        search_.reset();
    } else {
        slices_.start();
    }
}

void ResultsPanel::Prepare()
{
    // Names made anew belong to another list: a search still reading for the old one starts over on the new.
    if (MakeNamesCurrent() && search_ != nullptr) {
        Search(query_);
    }
}

bool ResultsPanel::NamesCurrent() const
{
    return names_ != nullptr && names_->ListVersion() == context_.window.ListBoxById(IDC_COMMAND_LIST).ItemsVersion();
}

bool ResultsPanel::MakeNamesCurrent()
{
    helpdata::RebuildIndexIfChanged(context_);
    if (NamesCurrent()) {
        return false;
    }
    names_ = std::make_shared<const helpdata::CommandNames>(context_.window.ListBoxById(IDC_COMMAND_LIST));
    return true;
}

void ResultsPanel::SearchNextSlice()
{
    if (search_ == nullptr) {
        slices_.stop();
        return;
    }
    if (!NamesCurrent()) {
        Search(query_); // the list was built again: its items are others now
        return;
    }
    QElapsedTimer slice;
    slice.start();
    while (!search_->Continue(context_.file, helpdata::RankedSearch::kBlockBytes) && slice.elapsed() < kSliceMs) {
    }
    longestSliceMs_ = std::max(longestSliceMs_, static_cast<double>(slice.nsecsElapsed()) / 1e6);
    if (search_->Stale()) {
        Search(query_); // the file changed under the search
        return;
    }
    if (search_->Done()) {
        slices_.stop();
        std::vector<helpdata::RankedResult> results = search_->Results();
        search_.reset();
        ShowResults(std::move(results));
    }
}

void ResultsPanel::ShowResults(std::vector<helpdata::RankedResult> results)
{
    // The row the user stands on stays where it is, should the full results come in while they choose.
    const QModelIndex current = currentIndex();
    const int standingOn = current.isValid() ? model_->Result(current.row()).item : -1;
    model_->SetResults(std::move(results));
    for (int row = 0; standingOn >= 0 && row < model_->rowCount(); ++row) {
        if (model_->Result(row).item == standingOn) {
            setCurrentIndex(model_->index(row));
            break;
        }
    }
    setAccessibleDescription(CountText(model_->rowCount()));
    Place();
    show();
    raise();
}

void ResultsPanel::Place()
{
    // Right under the search text, as wide as the command list and over it, never past the window's edge.
    const QWidget *list = dialog_.findChild<QWidget *>(platform::qt::ControlName(IDC_COMMAND_LIST));
    const QPoint below = searchText_.mapTo(&dialog_, QPoint(0, searchText_.height()));
    const int left = list != nullptr ? list->mapTo(&dialog_, QPoint(0, 0)).x() : below.x();
    const int width = list != nullptr ? list->width() : searchText_.width();
    const int rowHeight = std::max(sizeHintForRow(0), fontMetrics().height() + 4);
    const int rows = std::clamp(model_->rowCount(), 1, kMaxVisibleRows);
    const int room = dialog_.height() - below.y() - (left > 0 ? left : 0);
    setGeometry(left, below.y(), width, std::min(rows * rowHeight + 2 * frameWidth(), std::max(room, rowHeight)));
}

void ResultsPanel::Close()
{
    slices_.stop();
    search_.reset();
    hide();
}

void ResultsPanel::Enter()
{
    Choose(currentIndex().isValid() ? currentIndex() : model_->index(0));
}

void ResultsPanel::Choose(const QModelIndex &index)
{
    if (!index.isValid()) {
        return;
    }
    if (!NamesCurrent()) {
        Search(query_); // the list was built again: the results are made anew before one is chosen
        return;
    }
    const helpdata::RankedResult result = model_->Result(index.row());
    Close();
    emit chosen(result.item, result.entryOffset);
}

void ResultsPanel::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    if (model_->rowCount() == 0) {
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(viewport()->rect().adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, CountText(0));
    }
}

void ResultsPanel::keyPressEvent(QKeyEvent *event)
{
    if (platform::qt::IsPlainEnter(*event)) {
        Enter();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        Close();
        searchText_.setFocus(Qt::OtherFocusReason);
        return;
    case Qt::Key_Up:
        if (currentIndex().row() <= 0) {
            searchText_.setFocus(Qt::OtherFocusReason); // back to where the user typed
            return;
        }
        break;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
        searchText_.setFocus(Qt::OtherFocusReason);
        QCoreApplication::sendEvent(&searchText_, event);
        return;
    default:
        if (!event->text().isEmpty() && event->text().front().isPrint()) {
            searchText_.setFocus(Qt::OtherFocusReason); // typing goes on in the search text
            QCoreApplication::sendEvent(&searchText_, event);
            return;
        }
    }
    QListView::keyPressEvent(event);
}

bool ResultsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &dialog_ && event->type() == QEvent::Resize && IsOpen()) {
        Place();
    }
    if (watched != &searchText_ || event->type() != QEvent::KeyPress || !IsOpen()) {
        return false;
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    if (platform::qt::IsPlainEnter(*key)) {
        Enter();
        return true;
    }
    switch (key->key()) {
    case Qt::Key_Escape:
        Close(); // and nothing else: the window stays
        return true;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        if (model_->rowCount() > 0) {
            setFocus(Qt::OtherFocusReason);
            setCurrentIndex(model_->index(0));
        }
        return true;
    default:
        return false;
    }
}

} // namespace korva::app
