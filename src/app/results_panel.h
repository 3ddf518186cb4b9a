// SPDX-License-Identifier: MIT
// The results as the user types into the search text: a list right under it, in the window, best first, each row the
// command's name and as much of the start of its description as fits. The names' matches show at once; the entries'
// text is read a slice at a time between the user's keys, and a query typed over is dropped.
#pragma once

#include "helpdata/help_context.h"
#include "helpdata/ranked_search.h"
#include "helpdata/read_buffer.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>
#include <QListView>
#include <QTimer>

namespace korva::app {

// The results as rows: the command's name, then its description, read from the data file the first time a row is
// shown.
class ResultsModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    // A row's description, apart from its name (DisplayRole).
    static constexpr int DescriptionRole = Qt::UserRole + 1;

    ResultsModel(const helpdata::HelpContext &context, QObject *parent);

    void SetResults(std::vector<helpdata::RankedResult> results);
    const helpdata::RankedResult &Result(int row) const { return results_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

signals:
    // The data file or the list changed under the results: they may name other entries now, and are to be made anew.
    void fileChanged();

private:
    QString Description(int row) const;
    // True while the results belong to the list on show; otherwise they are to be made anew (fileChanged).
    bool Current() const;

    helpdata::HelpContext context_;
    std::vector<helpdata::RankedResult> results_;
    // The version of the command list's items now.
    std::uint64_t ListVersion() const;

    std::uint64_t listVersion_ = 0;       // of the list the results were found in
    mutable helpdata::ReadBuffer buffer_; // the panel's own: a description is read at any time, between handlers
    mutable QHash<int, QString> descriptions_;
};

class ResultsPanel final : public QListView
{
    Q_OBJECT

public:
    // How long one slice of the search may take, so that the window answers the next key at once.
    static constexpr int kSliceMs = 4;
    // The most rows shown at once; more scroll.
    static constexpr int kMaxVisibleRows = 10;

    // A panel over `dialog`, under `searchText`, searching the window's list and data file.
    ResultsPanel(QWidget &dialog, const helpdata::HelpContext &context, QLineEdit &searchText);

    // Makes the names the search reads ready, once the window is up, so that the first key does not wait for them.
    void Prepare();
    // Shows the results for `query`: at once those the names give, the rest as the file is read. An empty query
    // closes the panel.
    void Search(const QString &query);
    void Close();
    bool IsOpen() const { return isVisible(); }
    // True while the entries' text is still being read for the query on show.
    bool Searching() const { return search_ != nullptr; }
    int ResultCount() const { return model_->rowCount(); }
    // The longest slice so far, in milliseconds, for the benchmarks.
    double LongestSliceMs() const { return longestSliceMs_; }

signals:
    // The user chose the result of this entry: Enter or a click.
    void chosen(int item, std::uint32_t entryOffset);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SearchNextSlice();
    void ShowResults(std::vector<helpdata::RankedResult> results);
    void Place();
    void Enter();
    void Choose(const QModelIndex &index);
    // Makes the names the search reads those of the list on show; yields whether they were made anew.
    bool MakeNamesCurrent();
    bool NamesCurrent() const;

    helpdata::HelpContext context_;
    QWidget &dialog_;
    QLineEdit &searchText_;
    ResultsModel *model_;
    QTimer slices_;
    QString query_;
    std::shared_ptr<const helpdata::CommandNames> names_;
    std::unique_ptr<helpdata::RankedSearch> search_;
    double longestSliceMs_ = 0;
};

} // namespace korva::app
