// SPDX-License-Identifier: MIT
#include "results_panel.h"

#include "helpdata/entry_format.h"
#include "helpdata/index_refresh.h"
#include "platform/code_page.h"
#include "platform/qt/controls.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextLayout>

namespace korva::app {

namespace {

using platform::IDC_COMMAND_LIST;

// A row's text keeps this many pixels from the list's border, and this much space between the name and the
// description.
constexpr int kRowMargin = 6;
constexpr int kNameGap = 12;
// A row is this many pixels higher than a line of its text.
constexpr int kRowLeading = 6;

// The parts of `text` a match covers, as the layout's formats, in the given look.
QList<QTextLayout::FormatRange> Formats(const std::vector<platform::TextRange> &matches, const QTextCharFormat &look,
                                        qsizetype length)
{
    QList<QTextLayout::FormatRange> formats;
    for (const platform::TextRange &match : matches) {
        if (std::cmp_less(match.start, length)) {
            formats.append(
                {static_cast<int>(match.start),
                 static_cast<int>(std::min<std::size_t>(match.length, static_cast<std::size_t>(length) - match.start)),
                 look});
        }
    }
    return formats;
}

// Lays `layout` out as one line, however long; yields the line.
QTextLine LayOutOneLine(QTextLayout &layout, const QList<QTextLayout::FormatRange> &formats, int width)
{
    QTextOption unwrapped;
    unwrapped.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(unwrapped);
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(width);
    layout.endLayout();
    return line;
}

// Draws `text` in `font` from the left of `room`, cut to fit with an ellipsis, the parts `formats` covers in their
// look. Yields the width it took.
int DrawText(QPainter &painter, const QRect &room, const QString &text, const QFont &font,
             const QList<QTextLayout::FormatRange> &formats)
{
    const FittedText fitted = FitToWidth(text, font, formats, room.width());
    if (fitted.text.isEmpty()) {
        return 0;
    }
    QTextLayout layout(fitted.text, font);
    const QTextLine line = LayOutOneLine(layout, fitted.formats, room.width());
    const qreal top = room.top() + (room.height() - line.height()) / 2;
    layout.draw(&painter, QPointF(room.left(), top));
    return static_cast<int>(std::ceil(line.naturalTextWidth()));
}

// A row: the command's name in bold, then as much of the start of its description as fits; the query's words in the
// name underlined, in the description in bold.
class ResultsDelegate final : public QStyledItemDelegate
{
public:
    ResultsDelegate(ResultsModel &rows, QObject *parent) : QStyledItemDelegate(parent), rows_(rows) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), option.fontMetrics.height() + kRowLeading));
        return size;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem row = option;
        initStyleOption(&row, index);
        row.text.clear();
        const QWidget *view = option.widget;
        QStyle *style = view != nullptr ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &row, painter, view); // background, selection, hover and focus
        const QRect text = option.rect.adjusted(kRowMargin, 0, -kRowMargin, 0);

        painter->save();
        const QPalette::ColorGroup group = (option.state & QStyle::State_Enabled) == 0  ? QPalette::Disabled
                                           : (option.state & QStyle::State_Active) == 0 ? QPalette::Inactive
                                                                                        : QPalette::Active;
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const ResultsModel::Row &shown = rows_.RowAt(index.row());
        const QString name = index.data(Qt::DisplayRole).toString();
        QFont bold = option.font;
        bold.setBold(true);
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        const int used = DrawText(*painter, text, name, bold, Formats(shown.nameMatches, underlined, name.size()));
        if (used + kNameGap < text.width() && !shown.description.isEmpty()) {
            QTextCharFormat strong;
            strong.setFontWeight(QFont::Bold);
            DrawText(*painter, text.adjusted(used + kNameGap, 0, 0, 0), shown.description, option.font,
                     Formats(shown.descriptionMatches, strong, shown.description.size()));
        }
        painter->restore();
    }

private:
    ResultsModel &rows_;
};

} // namespace

FittedText FitToWidth(const QString &text, const QFont &font, const QList<QTextLayout::FormatRange> &formats, int width)
{
    QTextLayout whole(text, font);
    const QTextLine line = LayOutOneLine(whole, formats, width);
    if (line.naturalTextWidth() <= width) {
        return {text, formats};
    }
    // Measured as laid out, in the formats' looks: the plain font's measure would let bold words run past the edge.
    const QString ellipsis(QChar(0x2026));
    const int room = width - QFontMetrics(font).horizontalAdvance(ellipsis);
    if (room < 0) {
        return {};
    }
    // The character under the edge is the first that does not fit whole.
    int cut = line.xToCursor(room, QTextLine::CursorOnCharacter);
    for (; cut > 0; --cut) {
        if (line.cursorToX(cut) <= room && !text[cut - 1].isHighSurrogate()) {
            break;
        }
    }
    FittedText fitted{text.left(cut) + ellipsis, {}};
    for (QTextLayout::FormatRange range : formats) {
        range.length = std::min(range.start + range.length, cut) - range.start;
        if (range.length > 0) {
            fitted.formats.append(range);
        }
    }
    return fitted;
}

ResultsModel::ResultsModel(const helpdata::HelpContext &context, QObject *parent)
    : QAbstractListModel(parent), context_(context)
{}

void ResultsModel::SetResults(std::vector<helpdata::RankedResult> results,
                              std::shared_ptr<const helpdata::CommandNames> names,
                              std::shared_ptr<const helpdata::Query> query)
{
    beginResetModel();
    results_ = std::move(results);
    rows_.clear();
    names_ = std::move(names);
    query_ = std::move(query);
    newResultsAsked_ = false;
    endResetModel();
}

int ResultsModel::RowOf(int item) const
{
    const auto found = std::find_if(results_.begin(), results_.end(),
                                    [item](const helpdata::RankedResult &result) { return result.item == item; });
    return found == results_.end() ? -1 : static_cast<int>(found - results_.begin());
}

bool ResultsModel::Current() const
{
    return names_ != nullptr && names_->ListVersion() == context_.window.ListBoxById(IDC_COMMAND_LIST).ItemsVersion();
}

void ResultsModel::AskForNewResults()
{
    if (!newResultsAsked_) {
        newResultsAsked_ = true;
        QTimer::singleShot(0, this, &ResultsModel::fileChanged);
    }
}

void ResultsModel::FillRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first > last || newResultsAsked_) {
        return;
    }
    if (!Current() || context_.file.ContentChanged()) {
        AskForNewResults(); // the rows may name other entries now: none is read
        return;
    }
    std::vector<std::pair<int, std::string>> read;
    std::string description;
    for (int row = first; row <= last; ++row) {
        if (rows_.contains(row)) {
            continue;
        }
        const helpdata::RankedResult &result = Result(row);
        if (result.descriptionKnown) {
            description.resize(result.descriptionLength);
            context_.file.Seek(result.descriptionOffset);
            description.resize(context_.file.Read(description));
        } else {
            // Decided by its name before the text was ranked: the description is read from the entry, once.
            const std::optional<helpdata::EntryParts> parts =
                helpdata::ParseEntry(helpdata::ReadEntryBytes(context_.file, buffer_, result.entryOffset));
            description.assign(parts ? parts->description : std::string_view());
        }
        read.emplace_back(row, description);
    }
    // Checked after the reads: what a changed file holds at the places may be another entry's text.
    if (context_.file.ContentChanged()) {
        AskForNewResults();
        return;
    }
    const platform::ListBox &list = context_.window.ListBoxById(IDC_COMMAND_LIST);
    for (auto &[row, bytes] : read) {
        Row &shown = rows_[row];
        const int item = Result(row).item;
        // A row is one line, where a tab is the gap between words, not a column: a space, a character for a character,
        // so that the marks of the matches stay in place.
        std::u16string name = list.GetText(item);
        std::replace(name.begin(), name.end(), u'\t', u' ');
        shown.name = platform::qt::ToQString(name);
        std::u16string text(bytes.size(), u'\0');
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            const char16_t unit = platform::AnsiCharToWide(static_cast<unsigned char>(bytes[at]));
            text[at] = unit == u'\t' ? u' ' : unit;
        }
        shown.description = platform::qt::ToQString(text);
        if (query_ != nullptr) {
            shown.descriptionMatches = helpdata::MatchedRanges(*query_, bytes, forms_);
            shown.nameMatches = helpdata::MatchedNameRanges(*query_, names_->FoldedName(item), names_->Parts(item));
        }
        shown.filled = true;
    }
    emit dataChanged(index(first), index(last));
}

const ResultsModel::Row &ResultsModel::RowAt(int row) const
{
    static const Row unread;
    const auto found = rows_.find(row);
    return found != rows_.end() ? found->second : unread;
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
    const Row &row = RowAt(index.row());
    const auto name = [&] {
        return row.filled ? row.name
                          : platform::qt::ToQString(
                                context_.window.ListBoxById(IDC_COMMAND_LIST).GetText(Result(index.row()).item));
    };
    switch (role) {
    case Qt::DisplayRole:
        return name();
    case DescriptionRole:
    case Qt::ToolTipRole:
        return row.description;
    case Qt::AccessibleTextRole:
        return row.description.isEmpty() ? name() : name() + QStringLiteral(", ") + row.description;
    default:
        return {};
    }
}

ResultsPanel::ResultsPanel(QWidget &dialog, const helpdata::HelpContext &context, QLineEdit &searchText)
    : QListView(&dialog), context_(context), dialog_(dialog), searchText_(searchText),
      model_(new ResultsModel(context, this)), countLine_(new QLabel(&dialog))
{
    setObjectName(QStringLiteral("Results"));
    setAccessibleName(QStringLiteral("Results"));
    setModel(model_);
    setItemDelegate(new ResultsDelegate(*model_, this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true); // hover feedback on the rows
    // Down from the search text leads in; the window's tab order stays its own.
    setFocusPolicy(Qt::ClickFocus);
    hide();
    countLine_->setObjectName(QStringLiteral("ResultsCount"));
    countLine_->setAutoFillBackground(true);
    countLine_->setBackgroundRole(QPalette::Base);
    countLine_->setContentsMargins(kRowMargin, 0, kRowMargin, 0);
    countLine_->hide();

    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &ResultsPanel::WorkASlice);
    connect(this, &QListView::clicked, this, [this](const QModelIndex &index) {
        clicked_.start();
        Choose(index);
    });
    connect(model_, &ResultsModel::fileChanged, this, [this] {
        if (IsOpen()) {
            SearchAgain();
        }
    });
    // The results are the search text's: they go when the user turns to another control of the window.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (IsOpen() && now != nullptr && now != this && now != &searchText_ && now->window() == dialog_.window()) {
            Close();
        }
    });
    searchText_.installEventFilter(this);
    // The rows reach no further down than the list: they are placed again when the window or the list (its bar
    // dragged) changes size.
    dialog_.installEventFilter(this);
    if (auto *list = dialog_.findChild<QAbstractItemView *>(platform::qt::ControlName(IDC_COMMAND_LIST))) {
        list->installEventFilter(this);
        listViewport_ = list->viewport();
        listViewport_->installEventFilter(this);
        // Whoever reads the changed file first builds the list again (the entry of a row looked at, Find, a lookup):
        // the rows name the old list's items, and are made anew.
        connect(list->model(), &QAbstractItemModel::modelReset, this, [this] {
            if (IsOpen() && !NamesCurrent()) {
                model_->AskForNewResults();
            }
        });
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
    table_.reset();
    tableBuilder_ = std::make_unique<helpdata::WordTableBuilder>(names_);
    slices_.start();
    return true;
}

bool ResultsPanel::TableReady() const
{
    return table_ != nullptr && NamesCurrent();
}

void ResultsPanel::Prepare()
{
    // Names made anew belong to another list: a search still ranking for the old one starts over on the new.
    if (MakeNamesCurrent() && search_ != nullptr) {
        SearchAgain();
    }
}

bool ResultsPanel::Searching() const
{
    return search_ != nullptr;
}

void ResultsPanel::Search(const QString &query)
{
    waiting_ = WaitingKey::kNone;
    lookingThrough_ = false;
    query_ = query;
    SearchAgain();
}

void ResultsPanel::SearchAgain()
{
    search_.reset(); // before the names it reads may be made anew
    mostWords_ = false;
    if (query_.trimmed().isEmpty()) {
        Close(); // an empty search text shows no list
        return;
    }
    MakeNamesCurrent();
    search_ = std::make_unique<helpdata::RankedSearch>(names_, platform::qt::ToU16String(query_));
    if (table_ != nullptr) {
        search_->ReadTable(table_);
    }
    ShowResults(search_->Results()); // what the names give, at once
    slices_.start();
}

void ResultsPanel::WorkASlice()
{
    QElapsedTimer slice;
    slice.start();
    bool working = true;
    while (working && slice.elapsed() < kSliceMs) {
        if (tableBuilder_ != nullptr) {
            tableBuilder_->Continue(context_.file, helpdata::WordTableBuilder::kBlockBytes);
            if (tableBuilder_->Stale()) {
                // The file changed under the table: the list is built again, and the table and the search with it.
                tableBuilder_.reset();
                names_.reset();
                if (IsOpen()) {
                    SearchAgain();
                } else {
                    MakeNamesCurrent();
                }
                break;
            }
            if (tableBuilder_->Done()) {
                table_ = tableBuilder_->Take();
                tableBuilder_.reset();
                if (search_ != nullptr && !search_->HasTable()) {
                    search_->ReadTable(table_);
                }
            }
        } else if (search_ != nullptr && search_->HasTable()) {
            if (!NamesCurrent()) {
                SearchAgain(); // the list was built again: its items are others now
                break;
            }
            if (search_->Continue()) {
                mostWords_ = search_->MostWords();
                std::vector<helpdata::RankedResult> results = search_->Results();
                search_.reset();
                ShowResults(std::move(results));
                switch (std::exchange(waiting_, WaitingKey::kNone)) {
                case WaitingKey::kEnter:
                    KeepEnter();
                    break;
                case WaitingKey::kDown:
                    MoveIn();
                    break;
                case WaitingKey::kNone:
                    break;
                }
            }
        } else {
            working = false;
        }
    }
    longestSliceMs_ = std::max(longestSliceMs_, static_cast<double>(slice.nsecsElapsed()) / 1e6);
    if (tableBuilder_ == nullptr && (search_ == nullptr || !search_->HasTable())) {
        slices_.stop();
    }
}

void ResultsPanel::ShowResults(std::vector<helpdata::RankedResult> results)
{
    // While the user looks through the results, the highlight stays on the command they stand on, which the list has
    // selected and the entry shows (also once the list is built again); otherwise it is on the best.
    const int standingOn = lookingThrough_ ? context_.window.ListBoxById(IDC_COMMAND_LIST).GetCurSel() : -1;
    if (search_ != nullptr) {
        shownQuery_ = std::make_shared<const helpdata::Query>(search_->TheQuery());
    }
    model_->SetResults(std::move(results), names_, shownQuery_);
    const int row = standingOn >= 0 ? model_->RowOf(standingOn) : -1;
    if (model_->rowCount() > 0) {
        setCurrentIndex(model_->index(row >= 0 ? row : 0));
    }
    open_ = true;
    ShowCount();
    countLine_->show();
    countLine_->raise();
    Place();
    raise();
    FillVisibleRowsSoon();
}

void ResultsPanel::ShowCount()
{
    const int count = model_->rowCount();
    const QString text = Searching()  ? tr("Searching... %n so far", "", count)
                         : mostWords_ ? tr("No command holds all of these words; %n closest", "", count)
                                      : tr("%n result(s)", "", count);
    countLine_->setText(text);
    setAccessibleDescription(text);
}

void ResultsPanel::Place()
{
    // The count right under the search text, the rows under it, as wide as the command list and over it: never
    // further down than the list reaches, so that the entry below it stays in view while the rows are looked through.
    const QWidget *list = dialog_.findChild<QWidget *>(platform::qt::ControlName(IDC_COMMAND_LIST));
    const QPoint below = searchText_.mapTo(&dialog_, QPoint(0, searchText_.height()));
    const int left = list != nullptr ? list->mapTo(&dialog_, QPoint(0, 0)).x() : below.x();
    const int width = list != nullptr ? list->width() : searchText_.width();
    const int bottom = list != nullptr ? list->mapTo(&dialog_, QPoint(0, list->height())).y() : dialog_.height();
    const int countHeight = countLine_->sizeHint().height();
    countLine_->setGeometry(left, below.y(), width, countHeight);
    const int top = below.y() + countHeight;
    const int rowHeight = std::max(sizeHintForRow(0), fontMetrics().height() + kRowLeading);
    const int frame = 2 * frameWidth();
    // Whole rows only, as many as the results have up to the most shown, and as fit above the list's bottom. Results
    // made anew while the user is in them may have no row yet: the rows keep their room (and the keys) meanwhile.
    const int fitting = std::max(1, (bottom - top - frame) / rowHeight);
    const int waitingRows = hasFocus() && Searching() ? 1 : 0;
    const int rows = std::min({std::max(model_->rowCount(), waitingRows), kMaxVisibleRows, fitting});
    setGeometry(left, top, width, rows * rowHeight + frame);
    if (rows == 0 && hasFocus()) {
        searchText_.setFocus(Qt::OtherFocusReason); // no row is left to be on: the keys go back to where the user typed
    }
    setVisible(open_ && rows > 0);
}

void ResultsPanel::FillVisibleRowsSoon()
{
    if (fillSoon_) {
        return;
    }
    fillSoon_ = true;
    QTimer::singleShot(0, this, [this] {
        fillSoon_ = false;
        if (!IsOpen() || model_->rowCount() == 0) {
            return;
        }
        const int first = std::max(0, indexAt(QPoint(0, 0)).row());
        const QModelIndex bottom = indexAt(QPoint(0, viewport()->height() - 1));
        const int last = bottom.isValid() ? bottom.row() : std::min(model_->rowCount(), first + kMaxVisibleRows) - 1;
        model_->FillRows(first, last);
    });
}

void ResultsPanel::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    FillVisibleRowsSoon();
}

void ResultsPanel::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    FillVisibleRowsSoon();
}

void ResultsPanel::changeEvent(QEvent *event)
{
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Zoomed: the count and the rows take the new size, with the same results and the same row highlighted.
        countLine_->setFont(font());
        if (IsOpen()) {
            Place();
            FillVisibleRowsSoon();
        }
    }
}

void ResultsPanel::Close()
{
    const bool wasOpen = open_;
    search_.reset();
    waiting_ = WaitingKey::kNone;
    lookingThrough_ = false;
    open_ = false;
    if (hasFocus()) {
        searchText_.setFocus(Qt::OtherFocusReason); // the keys go back to where the user typed
    }
    hide();
    countLine_->hide();
    if (tableBuilder_ == nullptr) {
        slices_.stop();
    }
    if (wasOpen) {
        emit closed();
    }
}

void ResultsPanel::KeepEnter()
{
    if (model_->rowCount() == 0) {
        emit findAsked(); // a text no command holds a word of ("x^2", "+") may still stand in an entry
        return;
    }
    Choose(currentIndex().isValid() ? currentIndex() : model_->index(0));
}

void ResultsPanel::Choose(const QModelIndex &index)
{
    if (!index.isValid()) {
        return;
    }
    if (!NamesCurrent()) {
        SearchAgain(); // the list was built again: the results are made anew before one is chosen
        return;
    }
    const helpdata::RankedResult result = model_->Result(index.row());
    Close();
    emit chosen(result.item, result.entryOffset);
}

void ResultsPanel::MoveIn()
{
    if (model_->rowCount() > 0) {
        setFocus(Qt::OtherFocusReason);
        setCurrentIndex(model_->index(0));
        Preview();
    }
}

void ResultsPanel::Preview()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && NamesCurrent()) {
        lookingThrough_ = true;
        const helpdata::RankedResult result = model_->Result(current.row());
        emit previewed(result.item, result.entryOffset);
    }
}

void ResultsPanel::keyPressEvent(QKeyEvent *event)
{
    if (platform::qt::IsPlainEnter(*event)) {
        KeepEnter();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        emit dismissed(); // while what came before is still to come back to
        Close();
        return;
    case Qt::Key_Up:
        if (currentIndex().row() <= 0) {
            searchText_.setFocus(Qt::OtherFocusReason); // back to where the user typed
            return;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if ((event->modifiers() & Qt::AltModifier) != 0) {
            event->ignore(); // Back or Forward, with nowhere to go: the look through the results goes on
            return;
        }
        [[fallthrough]];
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
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
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before) {
        Preview(); // the entry follows the highlight
    }
}

void ResultsPanel::mousePressEvent(QMouseEvent *event)
{
    // The left button chooses a row; another would only move the highlight off what the entry shows.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

bool ResultsPanel::eventFilter(QObject *watched, QEvent *event)
{
    // A row chosen with the first click of a double-click closes the results: the second lands on the list they
    // covered, and would select whatever command stands there.
    if (watched == listViewport_ && event->type() == QEvent::MouseButtonDblClick && clicked_.isValid() &&
        clicked_.elapsed() <= QApplication::doubleClickInterval()) {
        clicked_.invalidate();
        return true;
    }
    if (watched != &searchText_ && event->type() == QEvent::Resize && IsOpen()) {
        Place();
    }
    if (watched != &searchText_ || event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool down = key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown;
    if (!IsOpen()) {
        // Results closed by Escape, a choice or another control come back for the same text, and Down leads in.
        if (!down || searchText_.text().trimmed().isEmpty()) {
            return false;
        }
        Search(searchText_.text());
    }
    if (platform::qt::IsPlainEnter(*key)) {
        if (Searching()) {
            waiting_ = WaitingKey::kEnter; // the best, once the results are all there; no key waits meanwhile
        } else {
            KeepEnter();
        }
        return true;
    }
    if (down) {
        if (model_->rowCount() > 0) {
            MoveIn();
        } else if (Searching()) {
            waiting_ = WaitingKey::kDown; // onto the best once there is one
        }
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        emit dismissed();
        Close(); // and nothing else: the window stays
        return true;
    }
    return false;
}

} // namespace korva::app
