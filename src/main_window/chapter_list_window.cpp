#include "main_window/chapter_list_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/engine_text.h"
#include "platform/window_setup.h"
#include "platform/window_texts.h"
#include "split/split_texts.h"

namespace {

enum Column { kLine, kPart, kLevel, kSize, kHeading, kColumns };
constexpr int kBlockRole = Qt::UserRole;

QString sizeOf(std::uint64_t bytes) {
    return bytes < 1024
               ? QStringLiteral("%1 B").arg(bytes)
               : QStringLiteral("%1 KB").arg(static_cast<double>(bytes) / 1024.0, 0, 'f', 1);
}

}  // namespace

ChapterListWindow::ChapterListWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    WindowSetup::setUp(this, QStringLiteral("ChapterList"), WindowTexts::chapterListTitle({}));
    setAttribute(Qt::WA_DeleteOnClose);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("Chapters"));
    list_->setColumnCount(kColumns);
    list_->setHeaderLabels({WindowTexts::kChapterLineColumn, WindowTexts::kChapterPartColumn,
                            WindowTexts::kChapterLevelColumn, WindowTexts::kChapterSizeColumn,
                            WindowTexts::kChapterHeadingColumn});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int column : {kLine, kPart, kLevel, kSize}) {
        list_->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row, int column) {
        if (column == kLine && !filling_) takeTick(row);
    });
    // Space ticks the chosen chapter on or off, whichever column is current.
    auto* space =
        new QShortcut(QKeySequence(Qt::Key_Space), list_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, [this] {
        QTreeWidgetItem* row = list_->currentItem();
        if (row == nullptr || !row->data(kLine, kBlockRole).isValid()) return;
        row->setCheckState(kLine,
                           row->checkState(kLine) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    total_ = new QLabel(this);
    total_->setObjectName(QStringLiteral("ChapterTotal"));
    auto* close = new QPushButton(WindowTexts::kClose, this);
    close->setObjectName(QStringLiteral("CloseChapters"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(total_, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(bottom);
    resize(560, 480);
}

void ChapterListWindow::showBook(const QString& fileTitle,
                                 std::shared_ptr<const tovane::ChapterMap> map,
                                 const std::vector<bool>& dropped,
                                 const std::vector<std::uint64_t>& parts) {
    filling_ = true;
    setWindowTitle(WindowTexts::chapterListTitle(fileTitle));
    dropped_ = dropped;
    dropped_.resize(map->blocks.size(), false);
    if (map == map_) {
        // The same chapters with other ticks or parts: the rows stay (one of
        // them may be the one whose tick is being taken).
        for (int i = 0; i < list_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* row = list_->topLevelItem(i);
            const QVariant block = row->data(kLine, kBlockRole);
            if (!block.isValid()) continue;
            const auto k = static_cast<std::size_t>(block.toULongLong());
            row->setCheckState(kLine, dropped_[k] ? Qt::Unchecked : Qt::Checked);
            const std::uint64_t part = k < parts.size() && !dropped_[k] ? parts[k] : 0;
            row->setText(kPart, part > 0 ? QString::number(part) : QString());
        }
        showTotal();
        filling_ = false;
        return;
    }
    map_ = std::move(map);
    list_->clear();
    QList<QTreeWidgetItem*> rows;
    std::size_t block = SIZE_MAX;
    for (const tovane::Chapter& chapter : map_->headings) {
        auto* row = new QTreeWidgetItem;
        row->setText(kLine, QString::number(chapter.line));
        row->setTextAlignment(kLine, Qt::AlignRight | Qt::AlignVCenter);
        const std::string_view level = tovane::texts::levelWord(chapter.level);
        row->setText(kLevel, EngineText::wordsToQt(level));
        row->setText(kHeading, EngineText::wordsToQt(chapter.text));
        // The first heading of a chapter carries its tick, its part and its size.
        if (chapter.block != block) {
            block = chapter.block;
            row->setData(kLine, kBlockRole, static_cast<qulonglong>(block));
            row->setCheckState(kLine, dropped_[block] ? Qt::Unchecked : Qt::Checked);
            const std::uint64_t part = block < parts.size() ? parts[block] : 0;
            if (part > 0 && !dropped_[block]) row->setText(kPart, QString::number(part));
            row->setText(kSize, sizeOf(map_->blocks[block].bytes));
        }
        rows.append(row);
    }
    list_->addTopLevelItems(rows);
    showTotal();
    filling_ = false;
}

void ChapterListWindow::showTotal() {
    const auto ticked =
        static_cast<qulonglong>(std::count(dropped_.begin(), dropped_.end(), false));
    total_->setText(WindowTexts::chapterTotal(ticked));
}

void ChapterListWindow::showNone(const QString& fileTitle, const QString& why) {
    filling_ = true;
    setWindowTitle(WindowTexts::chapterListTitle(fileTitle));
    map_.reset();
    dropped_.clear();
    list_->clear();
    auto* row = new QTreeWidgetItem;
    row->setText(kLine, why);
    list_->addTopLevelItem(row);
    row->setFirstColumnSpanned(true);
    total_->setText(WindowTexts::chapterTotal(0));
    filling_ = false;
}

void ChapterListWindow::takeTick(QTreeWidgetItem* row) {
    const QVariant block = row->data(kLine, kBlockRole);
    if (!block.isValid() || !map_) return;
    const auto k = static_cast<std::size_t>(block.toULongLong());
    if (k >= dropped_.size()) return;
    dropped_[k] = row->checkState(kLine) != Qt::Checked;
    emit ticksChanged(dropped_);
}
