#include "main_window/chapter_list_model.h"

#include <QColor>
#include <algorithm>

#include "platform/engine_text.h"
#include "platform/window_texts.h"
#include "split/split_texts.h"

namespace {

QString sizeOf(std::uint64_t bytes) {
    return bytes < 1024
               ? QStringLiteral("%1 B").arg(bytes)
               : QStringLiteral("%1 KB").arg(static_cast<double>(bytes) / 1024.0, 0, 'f', 1);
}

bool isSet(const std::vector<bool>& marks, std::size_t k) {
    return k < marks.size() && marks[k];
}

}  // namespace

ChapterListModel::ChapterListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ChapterListModel::show(std::shared_ptr<const tovane::ChapterMap> found,
                            const tovane::ChapterChoice& choice,
                            std::shared_ptr<const tovane::ChapterMap> chosen,
                            const std::vector<std::uint64_t>& parts) {
    choice_ = choice;
    chosen_ = std::move(chosen);
    parts_ = parts;
    if (found == found_) {
        // The same rows: only their ticks, parts and sizes change.
        if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
        return;
    }
    beginResetModel();
    found_ = std::move(found);
    rows_.clear();
    const std::vector<tovane::Chapter>& headings = found_->headings;
    const std::vector<tovane::PassedOver>& passed = found_->passedOver;
    rows_.reserve(headings.size() + passed.size());
    std::size_t h = 0;
    std::size_t p = 0;
    while (h < headings.size() || p < passed.size()) {
        if (p == passed.size() || (h < headings.size() && headings[h].offset < passed[p].offset)) {
            const bool opens = h == 0 || headings[h - 1].block != headings[h].block;
            rows_.push_back({false, h++, opens});
        } else {
            rows_.push_back({true, p++, false});
        }
    }
    endResetModel();
}

void ChapterListModel::clear() {
    beginResetModel();
    found_.reset();
    chosen_.reset();
    rows_.clear();
    choice_ = {};
    parts_.clear();
    endResetModel();
}

std::optional<std::size_t> ChapterListModel::chosenBlockAt(std::uint64_t offset) const {
    if (!chosen_) return std::nullopt;
    const auto& blocks = chosen_->blocks;
    const auto found = std::lower_bound(
        blocks.begin(), blocks.end(), offset,
        [](const tovane::ChapterBlock& block, std::uint64_t at) { return block.offset < at; });
    if (found == blocks.end() || found->offset != offset) return std::nullopt;
    return static_cast<std::size_t>(found - blocks.begin());
}

bool ChapterListModel::hasTick(int row) const {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    return r.passed || r.opensBlock;
}

bool ChapterListModel::ticked(int row) const {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    if (r.passed) return isSet(choice_.broughtIn, r.index);
    return !isSet(choice_.dropped, found_->headings[r.index].block);
}

tovane::ChapterChoice ChapterListModel::ticking(const QModelIndexList& rows, bool tick) const {
    tovane::ChapterChoice choice = choice_;
    if (!found_) return choice;
    choice.dropped.resize(found_->blocks.size(), false);
    choice.broughtIn.resize(found_->passedOver.size(), false);
    for (const QModelIndex& at : rows) {
        if (!at.isValid() || !hasTick(at.row())) continue;
        const Row& r = rows_[static_cast<std::size_t>(at.row())];
        if (r.passed) {
            choice.broughtIn[r.index] = tick;
        } else {
            choice.dropped[found_->headings[r.index].block] = !tick;
        }
    }
    return choice;
}

int ChapterListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ChapterListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ChapterListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !found_) return {};
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    const bool on = hasTick(index.row()) ? ticked(index.row()) : true;
    const tovane::Chapter* heading = r.passed ? nullptr : &found_->headings[r.index];
    const tovane::PassedOver* passed = r.passed ? &found_->passedOver[r.index] : nullptr;
    // The chapter a ticked row begins, among those the split cuts at.
    const auto chapter = [&]() -> std::optional<std::size_t> {
        if (!on || !hasTick(index.row())) return std::nullopt;
        return chosenBlockAt(passed ? passed->offset : found_->blocks[heading->block].offset);
    };
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case kLine:
                    return QString::number(passed ? passed->line : heading->line);
                case kPart: {
                    const std::optional<std::size_t> k = chapter();
                    if (!k || *k >= parts_.size() || parts_[*k] == 0) return {};
                    return QString::number(parts_[*k]);
                }
                case kLevel:
                    return EngineText::wordsToQt(passed ? tovane::texts::reasonWord(passed->reason)
                                                        : tovane::texts::levelWord(heading->level));
                case kSize: {
                    const std::optional<std::size_t> k = chapter();
                    return k ? sizeOf(chosen_->blocks[*k].bytes) : QVariant();
                }
                case kHeading:
                    return EngineText::wordsToQt(passed ? passed->text : heading->text);
            }
            return {};
        case Qt::CheckStateRole:
            if (index.column() != kLine || !hasTick(index.row())) return {};
            return on ? Qt::Checked : Qt::Unchecked;
        case Qt::TextAlignmentRole:
            if (index.column() == kLine || index.column() == kPart || index.column() == kSize) {
                return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            }
            return {};
        case Qt::ForegroundRole:
            // Left out of the split: a line passed over, or a heading unticked.
            if (!on) return QColor(128, 128, 128);
            return {};
        case Qt::ToolTipRole:
            if (passed && !on) return WindowTexts::kPassedOverTip;
            return {};
    }
    return {};
}

QVariant ChapterListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case kLine:
            return WindowTexts::kChapterLineColumn;
        case kPart:
            return WindowTexts::kChapterPartColumn;
        case kLevel:
            return WindowTexts::kChapterLevelColumn;
        case kSize:
            return WindowTexts::kChapterSizeColumn;
        case kHeading:
            return WindowTexts::kChapterHeadingColumn;
    }
    return {};
}

Qt::ItemFlags ChapterListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.isValid() && index.column() == kLine && hasTick(index.row())) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool ChapterListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || !hasTick(index.row())) return false;
    emit choiceWanted(ticking({index}, value.toInt() == Qt::Checked));
    return true;
}
