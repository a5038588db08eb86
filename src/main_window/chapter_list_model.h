// The rows of the chapter list: every heading found and every line passed
// over as one, in the order of the book. A heading that begins a chapter,
// and a line passed over, carry a tick: unticking a heading takes its chapter
// out, ticking a line passed over brings it in as a chapter of its own. Lines
// passed over are grey and say why in the level's column. The rows are made
// once a book; ticks, parts and sizes change in place, so that a view of ten
// thousand rows follows a change at once.
#pragma once

#include <QAbstractTableModel>
#include <memory>
#include <optional>
#include <vector>

#include "split/chapters/chapter_map.h"

class ChapterListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kLine, kPart, kLevel, kSize, kHeading, kColumns };

    explicit ChapterListModel(QObject* parent);

    // The rows of `found`, ticked as `choice` says; `chosen` is the map that
    // choice makes and `parts` the part each of its chapters goes into (none:
    // the parts are not shown). The same `found` keeps its rows.
    void show(std::shared_ptr<const tovane::ChapterMap> found, const tovane::ChapterChoice& choice,
              std::shared_ptr<const tovane::ChapterMap> chosen,
              const std::vector<std::uint64_t>& parts);
    void clear();

    // The choice after the ticks of `rows` are set to `ticked`; rows without a
    // tick are left as they are.
    tovane::ChapterChoice ticking(const QModelIndexList& rows, bool ticked) const;
    bool ticked(int row) const;
    bool hasTick(int row) const;
    const tovane::ChapterChoice& choice() const { return choice_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // A tick was set or taken off by hand: the choice it makes.
    void choiceWanted(const tovane::ChapterChoice& choice);

private:
    // A heading of `found` (its place in its headings) or a line passed over
    // (its place in passedOver).
    struct Row {
        bool passed = false;
        std::size_t index = 0;
        bool opensBlock = false;  // a heading that begins its chapter
    };
    // The chapter of `chosen_` that begins at `offset`, or none.
    std::optional<std::size_t> chosenBlockAt(std::uint64_t offset) const;

    std::shared_ptr<const tovane::ChapterMap> found_;
    std::shared_ptr<const tovane::ChapterMap> chosen_;
    tovane::ChapterChoice choice_;
    std::vector<std::uint64_t> parts_;
    std::vector<Row> rows_;
};
