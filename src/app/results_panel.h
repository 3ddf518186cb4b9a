// SPDX-License-Identifier: MIT
// The results as the user types into the search text: a line that says how many, and a list right under it, in the
// window, best first, each row the command's name and as much of the start of its description as fits, the words of
// the query standing out in both. The names' matches show at once; the entries' text is ranked a slice at a time
// between the user's keys, from the reference's word table, made once the window is up; a query typed over is
// dropped.
//
// The user looks through the results with the keys: the entry shows the highlighted command (a preview, which the
// history does not note), Enter or a click keeps it, Escape brings back what was shown before.
#pragma once

#include "helpdata/command_names.h"
#include "helpdata/help_context.h"
#include "helpdata/ranked_search.h"
#include "helpdata/read_buffer.h"
#include "helpdata/word_forms.h"
#include "helpdata/word_table.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QListView>
#include <QPointer>
#include <QTextLayout>
#include <QTimer>

namespace korva::app {

// `text` in `font`, its parts in the looks of `formats` (bold is wider), cut at the right to fit `width` pixels with
// an ellipsis where it does not fit whole; laid out as one line. Empty where not even the ellipsis fits.
struct FittedText
{
    QString text;
    QList<QTextLayout::FormatRange> formats;
};
FittedText FitToWidth(const QString &text, const QFont &font, const QList<QTextLayout::FormatRange> &formats,
                      int width);

// The results as rows. A row's description is read from the data file ahead of painting (FillRows), never while a
// row is painted or asked for.
class ResultsModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    // A row's description, apart from its name (DisplayRole).
    static constexpr int DescriptionRole = Qt::UserRole + 1;

    // What a row shows: the name and the description, and where the query's words stand in each.
    struct Row
    {
        QString name;
        QString description;
        std::vector<platform::TextRange> nameMatches;
        std::vector<platform::TextRange> descriptionMatches;
        bool filled = false; // its description has been read
    };

    ResultsModel(const helpdata::HelpContext &context, QObject *parent);

    // The results of `query`, found among `names`.
    void SetResults(std::vector<helpdata::RankedResult> results, std::shared_ptr<const helpdata::CommandNames> names,
                    std::shared_ptr<const helpdata::Query> query);
    const helpdata::RankedResult &Result(int row) const { return results_[static_cast<std::size_t>(row)]; }
    // The row as read so far: an empty one until FillRows reads it.
    const Row &RowAt(int row) const;
    // The row of the command `item`; -1 when no row shows it.
    int RowOf(int item) const;
    // Reads the descriptions of the rows from `first` to `last` that have none yet: at the places the search recorded,
    // or, for a row the names alone decided, from its entry; then checks that the file did not change meanwhile.
    // When it did, nothing read is shown and the results are made anew (fileChanged, once however many rows ask).
    void FillRows(int first, int last);
    // Asks, once however often it is called before they are, for the results to be made anew (fileChanged), after the
    // events at hand.
    void AskForNewResults();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

signals:
    // The data file or the list changed under the results: they may name other entries now, and are to be made anew.
    void fileChanged();

private:
    // True while the results belong to the list on show.
    bool Current() const;

    helpdata::HelpContext context_;
    std::vector<helpdata::RankedResult> results_;
    // The rows read, by row: those the user has had on show, a few screens of the thousands a letter may give.
    std::unordered_map<int, Row> rows_;
    std::shared_ptr<const helpdata::CommandNames> names_;
    std::shared_ptr<const helpdata::Query> query_;
    helpdata::WordForms forms_;
    helpdata::ReadBuffer buffer_; // the panel's own: rows are filled at any time, between handlers
    bool newResultsAsked_ = false;
};

class ResultsPanel final : public QListView
{
    Q_OBJECT

public:
    // How long one slice of the work may take, so that the window answers the next key at once: a key waits at most
    // this long, and for the part of the work running when the time is up (about 2 ms at 32768 entries).
    static constexpr int kSliceMs = 3;
    // The most rows shown at once; more scroll.
    static constexpr int kMaxVisibleRows = 10;

    // A panel over `dialog`, under `searchText`, searching the window's list and data file.
    ResultsPanel(QWidget &dialog, const helpdata::HelpContext &context, QLineEdit &searchText);

    // Makes the names the search reads, and starts the word table, once the window is up, so that neither the first
    // frame nor the first key waits for them.
    void Prepare();
    // Shows the results for `query`: at once those the names give, the rest as the entries' text is ranked. An empty
    // query closes the panel.
    void Search(const QString &query);
    void Close();
    bool IsOpen() const { return open_; }
    // True while the entries' text is still to be ranked for the query on show.
    bool Searching() const;
    int ResultCount() const { return model_->rowCount(); }
    ResultsModel &Rows() { return *model_; }
    // The line under the search text that says how many results there are.
    QLabel &CountLine() { return *countLine_; }
    // True once the reference's word table is made for the list on show.
    bool TableReady() const;
    // The longest slice so far, in milliseconds, for the benchmarks.
    double LongestSliceMs() const { return longestSliceMs_; }

signals:
    // The user kept the result of this entry: Enter or a click.
    void chosen(int item, std::uint32_t entryOffset);
    // The user moved the highlight onto this result with the keys: the entry shows it, for now.
    void previewed(int item, std::uint32_t entryOffset);
    // The user closes the results with Escape: what was shown before they opened comes back.
    void dismissed();
    // The results closed, by Escape or otherwise: the next look through them starts from what the entry shows then.
    void closed();
    // Enter in the search text found no result to keep: the text is for Find, as it is with no results open.
    void findAsked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // One slice of the work: the word table, then the ranking, for about kSliceMs.
    void WorkASlice();
    // Shows the results for the same query over the list as it is now, built again from a changed file: a user looking
    // through them stays on the command the entry shows, when it is among them, and a waiting key still waits.
    void SearchAgain();
    void ShowResults(std::vector<helpdata::RankedResult> results);
    void ShowCount();
    void Place();
    // Enter: the highlighted result kept, else the best; with none, the text for Find.
    void KeepEnter();
    void Choose(const QModelIndex &index);
    // Into the results from the search text, onto the best, which the entry shows.
    void MoveIn();
    void Preview();
    // Reads the descriptions of the rows in view, once the events before it are handled.
    void FillVisibleRowsSoon();
    // Makes the names the search reads those of the list on show; yields whether they were made anew.
    bool MakeNamesCurrent();
    bool NamesCurrent() const;

    helpdata::HelpContext context_;
    QWidget &dialog_;
    QLineEdit &searchText_;
    ResultsModel *model_;
    QLabel *countLine_;
    QTimer slices_;
    QString query_;
    std::shared_ptr<const helpdata::CommandNames> names_;
    std::unique_ptr<helpdata::WordTableBuilder> tableBuilder_;
    std::shared_ptr<const helpdata::WordTable> table_;
    std::unique_ptr<helpdata::RankedSearch> search_;
    std::shared_ptr<const helpdata::Query> shownQuery_;
    bool open_ = false;
    bool lookingThrough_ = false; // the user moved into the results with the keys
    QElapsedTimer clicked_;       // since a row was last clicked
    QPointer<QWidget> listViewport_;
    // A key pressed in the search text while the results were still coming, done once they are all there.
    enum class WaitingKey
    {
        kNone,
        kEnter,
        kDown
    };
    WaitingKey waiting_ = WaitingKey::kNone;
    bool mostWords_ = false;
    bool fillSoon_ = false;
    double longestSliceMs_ = 0;
};

} // namespace korva::app
