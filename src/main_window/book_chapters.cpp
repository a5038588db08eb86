#include "main_window/book_chapters.h"

#include <QApplication>
#include <algorithm>

#include "main_window/chapter_list_window.h"
#include "main_window/chapter_scan.h"
#include "platform/window_texts.h"
#include "split/ways/ways.h"

namespace {

// What the status line says of the encoding a book was read in: nothing for
// GBK, its users' own.
QString readAs(const tovane::SourceFormat& format) {
    switch (format.encoding) {
        case tovane::Encoding::Gbk:
            return {};
        case tovane::Encoding::Big5:
            return WindowTexts::kReadAsBig5;
        case tovane::Encoding::Utf8:
            return WindowTexts::kReadAsUtf8;
        case tovane::Encoding::Utf16Le:
            return WindowTexts::kReadAsUtf16Le;
        case tovane::Encoding::Utf16Be:
            return WindowTexts::kReadAsUtf16Be;
    }
    return {};
}

}  // namespace

BookChapters::BookChapters(QWidget* window)
    : QObject(window), window_(window), scan_(new ChapterScan(this)) {
    connect(scan_, &ChapterScan::finished, this, &BookChapters::found);
}

void BookChapters::choose(const std::string& path, const QString& fileTitle,
                          std::optional<tovane::Encoding> encoding) {
    path_ = path;
    fileTitle_ = fileTitle;
    unticked_.clear();
    if (path.empty()) {
        scan_->clear();
    } else {
        scan_->start(path, encoding);
    }
}

bool BookChapters::has() const {
    return !path_.empty() && scan_->has(path_);
}

// A book still being looked over is waited for, with the wait cursor.
bool BookChapters::knownToHaveNone() {
    if (scan_->running()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        scan_->wait();
        QApplication::restoreOverrideCursor();
    }
    return has() && scan_->result().empty();
}

std::shared_ptr<const tovane::ChapterMap> BookChapters::cuts() const {
    if (!has() || !scan_->result().map) return nullptr;
    const std::shared_ptr<const tovane::ChapterMap>& found = scan_->result().map;
    const tovane::ChapterChoice choice{unticked_, {}};
    if (choice.none()) return found;
    return std::make_shared<const tovane::ChapterMap>(found->chosen(choice));
}

// From the chapters in memory: nothing is read on a keystroke.
QString BookChapters::hint(const tovane::SplitWay& way, const QString& number) const {
    if (!has()) return {};
    const tovane::ChapterList& found = scan_->result();
    if (found.result == tovane::ChapterList::Result::Failed) {
        return way.cutsAtChapters() ? WindowTexts::kCannotReadChapters : QString();
    }
    const QString read = found.map ? readAs(found.map->format) : QString();
    if (found.empty()) {
        return (way.cutsAtChapters() ? WindowTexts::kNoHeadingsFound : QString()) + read;
    }
    return counted(way, number) + read;
}

QString BookChapters::counted(const tovane::SplitWay& way, const QString& number) const {
    const std::shared_ptr<const tovane::ChapterMap> map = cuts();
    const auto chapters = static_cast<qulonglong>(map->blocks.size());
    if (!way.cutsAtChapters()) return WindowTexts::chaptersFound(chapters);
    if (way.cuts == tovane::WayCuts::Volumes && !hasVolumes()) {
        return WindowTexts::kNoVolumesFound;
    }
    tovane::WayNumbers numbers;
    std::uint64_t parts = 0;
    if (!way.read(number.toStdString(), {}, numbers)) {
        parts = tovane::partsOfChapters(way, numbers, *map);
    }
    if (parts > 0) return WindowTexts::chaptersMakeParts(chapters, parts);
    switch (way.number) {
        case tovane::WayNumber::Chapters:
            return WindowTexts::chaptersWantChapterCount(chapters);
        case tovane::WayNumber::Volumes:
            return WindowTexts::chaptersWantVolumeCount(chapters);
        default:
            return WindowTexts::chaptersWantSize(chapters);
    }
}

bool BookChapters::hasVolumes() const {
    const std::shared_ptr<const tovane::ChapterMap> map = cuts();
    return map && std::any_of(map->blocks.begin(), map->blocks.end(),
                              [](const tovane::ChapterBlock& block) { return block.volume; });
}

void BookChapters::showList(const tovane::SplitWay& way, const QString& size,
                            const QString& count) {
    knownToHaveNone();  // waits for a scan going on
    if (!list_) {
        list_ = new ChapterListWindow(window_);
        connect(list_, &ChapterListWindow::ticksChanged, this,
                [this](const std::vector<bool>& dropped) {
                    unticked_ = dropped;
                    emit ticksChanged();
                });
    }
    refreshList(way, size, count);
    list_->show();
    list_->raise();
}

void BookChapters::refreshList(const tovane::SplitWay& way, const QString& size,
                               const QString& count) {
    if (!list_) return;
    if (!has()) {
        list_->showNone(fileTitle_, scan_->running() ? QString() : WindowTexts::kNoHeadingsInList);
        return;
    }
    const tovane::ChapterList& found = scan_->result();
    if (found.empty()) {
        list_->showNone(fileTitle_, !found.problem ? WindowTexts::kNoHeadingsInList
                                                   : WindowTexts::kCannotReadForList);
        return;
    }
    // The part of each ticked chapter, with the way's number (a chapter a
    // part outside the ways that cut at chapters).
    const std::shared_ptr<const tovane::ChapterMap> map = cuts();
    const tovane::SplitWay& counted =
        way.cutsAtChapters() ? way : tovane::wayOf(tovane::SplitMode::ByChapters);
    tovane::WayNumbers numbers;
    numbers.perPart = 1;
    if (way.cutsAtChapters()) {
        way.read((way.number == tovane::WayNumber::Kilobytes ? size : count).toStdString(), {},
                 numbers);
    }
    const std::vector<std::uint64_t> parts = tovane::partOfEachChapter(counted, numbers, *map);
    std::vector<std::uint64_t> byBook(found.map->blocks.size(), 0);
    for (std::size_t k = 0, kept = 0; k < byBook.size(); ++k) {
        if (k < unticked_.size() && unticked_[k]) continue;
        if (kept < parts.size()) byBook[k] = parts[kept++];
    }
    list_->showBook(fileTitle_, found.map, unticked_, byBook);
}

void BookChapters::closeList() {
    if (list_) list_->close();
}
