#include "main_window/book_chapters.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>

#include "main_window/chapter_list_window.h"
#include "main_window/chapter_scan.h"
#include "platform/engine_text.h"
#include "platform/window_texts.h"
#include "split/split_texts.h"
#include "split/text/heading_pattern.h"
#include "split/ways/ways.h"

QString BookChapters::readAs(const tovane::SourceFormat& format) {
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

QString BookChapters::readAs() const {
    if (!has() || !scan_->result().map) return {};
    return readAs(scan_->result().map->format);
}

BookChapters::BookChapters(QWidget* window)
    : QObject(window), window_(window), scan_(new ChapterScan(this)), scanWatch_(new QTimer(this)) {
    connect(scan_, &ChapterScan::finished, this, [this] {
        scanWatch_->stop();
        recall();
        emit found();
    });
    // A large book takes seconds to look over: after a moment, the status
    // line says how far it has come, a few times a second.
    scanWatch_->setInterval(kScanWatchMs);
    connect(scanWatch_, &QTimer::timeout, this, [this] {
        if (scan_->running()) {
            scanIsLong_ = true;
            emit scanProgressed();
        } else {
            scanWatch_->stop();
        }
    });
}

void BookChapters::watchScanEvery(int ms) {
    scanWatch_->setInterval(ms);
}

void BookChapters::choose(const std::string& path, const QString& fileTitle,
                          std::optional<tovane::Encoding> encoding) {
    remember();
    path_ = path;
    fileTitle_ = fileTitle;
    encoding_ = encoding;
    choice_ = {};
    chosen_.reset();
    const auto before = corrections_.find(path);
    form_ = before != corrections_.end() ? before->second.form : QString();
    scan();
}

// Finds the chapters of the chosen book by the reader's form of heading, or
// by the built-in rule.
void BookChapters::scan() {
    if (path_.empty()) {
        scan_->clear();
        return;
    }
    tovane::HeadingPattern::Problem problem = tovane::HeadingPattern::Problem::None;
    std::shared_ptr<const tovane::HeadingPattern> pattern;
    if (!form_.isEmpty()) pattern = tovane::HeadingPattern::compileForm(EngineText::fromQt(form_), problem);
    scan_->start(path_, encoding_, pattern);
    scanIsLong_ = false;
    scanWatch_->start();
}

// The corrections made to the book chosen, kept with the file as it is.
void BookChapters::remember() {
    if (!has() || !scan_->result().map) return;
    const tovane::ChapterMap& map = *scan_->result().map;
    corrections_[path_] = {map.file, map.stamp, form_, choice_};
}

// The corrections made to this book before, if it is the file it was.
void BookChapters::recall() {
    if (!has() || !scan_->result().map) return;
    const std::shared_ptr<const tovane::ChapterMap>& map = scan_->result().map;
    const auto before = corrections_.find(path_);
    if (before != corrections_.end() && before->second.form == form_ &&
        map->describes(before->second.file, before->second.stamp)) {
        choice_ = before->second.choice;
    }
    applyChoice();
}

// The chapters as the reader's choice leaves them: the map found, when
// nothing is ticked otherwise.
void BookChapters::applyChoice() {
    const std::shared_ptr<const tovane::ChapterMap>& map = scan_->result().map;
    chosen_ = choice_.none() ? map : std::make_shared<const tovane::ChapterMap>(map->chosen(choice_));
}

void BookChapters::choose(const tovane::ChapterChoice& choice) {
    if (!has() || !scan_->result().map) return;
    choice_ = choice;
    applyChoice();
    remember();
    emit ticksChanged();
}

void BookChapters::takeHeadingForm(const QString& form) {
    if (form == form_) return;
    tovane::HeadingPattern::Problem problem = tovane::HeadingPattern::Problem::None;
    if (!form.isEmpty() &&
        !tovane::HeadingPattern::compileForm(EngineText::fromQt(form), problem)) {
        if (list_) {
            list_->showHeadingForm(form, WindowTexts::kHeadingFormWrong +
                                             EngineText::toQt(tovane::texts::describe(problem)));
        }
        return;
    }
    form_ = form;
    choice_ = {};
    chosen_.reset();
    remember();
    scan();
    if (list_) {
        list_->showHeadingForm(form_, {});
        list_->showNone(fileTitle_, WindowTexts::kHeadingFormScanning);
    }
    emit ticksChanged();
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
    return has() ? chosen_ : nullptr;
}

std::size_t BookChapters::takenOut() const {
    return static_cast<std::size_t>(
        std::count(choice_.dropped.begin(), choice_.dropped.end(), true));
}

std::size_t BookChapters::broughtIn() const {
    return static_cast<std::size_t>(
        std::count(choice_.broughtIn.begin(), choice_.broughtIn.end(), true));
}

// From the chapters in memory: nothing is read on a keystroke.
QStringList BookChapters::about(const tovane::SplitWay& way, const QString& number) const {
    QStringList phrases;
    if (!has()) {
        const int percent = scan_->percentRead();
        if (!path_.empty() && percent >= 0 && scanIsLong_) {
            phrases << WindowTexts::scanningChapters(percent);
        }
        return phrases;
    }
    const tovane::ChapterList& found = scan_->result();
    if (found.result == tovane::ChapterList::Result::Failed) {
        if (way.cutsAtChapters()) phrases << WindowTexts::kCannotReadChapters;
        return phrases;
    }
    if (!chosen_ || chosen_->blocks.empty()) {
        if (way.cutsAtChapters()) phrases << WindowTexts::kNoHeadingsFound;
    } else {
        phrases << counted(way, number);
    }
    return phrases;
}

QStringList BookChapters::corrections() const {
    QStringList phrases;
    if (!form_.isEmpty()) phrases << WindowTexts::choiceHeadingForm(form_);
    if (const auto out = static_cast<qulonglong>(takenOut())) {
        phrases << WindowTexts::choiceTakenOut(out);
    }
    if (const auto in = static_cast<qulonglong>(broughtIn())) {
        phrases << WindowTexts::choiceBroughtIn(in);
    }
    return phrases;
}

// The chapters found, and the parts those the split cuts at make.
QString BookChapters::counted(const tovane::SplitWay& way, const QString& number) const {
    const std::shared_ptr<const tovane::ChapterMap> map = cuts();
    const auto chapters = static_cast<qulonglong>(scan_->result().map->blocks.size());
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
        connect(list_, &ChapterListWindow::choiceChanged, this,
                qOverload<const tovane::ChapterChoice&>(&BookChapters::choose));
        connect(list_, &ChapterListWindow::headingFormChanged, this,
                &BookChapters::takeHeadingForm);
    }
    list_->showHeadingForm(form_, {});
    refreshList(way, size, count);
    list_->show();
    list_->raise();
}

void BookChapters::refreshList(const tovane::SplitWay& way, const QString& size,
                               const QString& count) {
    if (!list_) return;
    if (!has()) {
        list_->showNone(fileTitle_, scan_->running() ? WindowTexts::kHeadingFormScanning
                                                     : WindowTexts::kNoHeadingsInList);
        return;
    }
    const tovane::ChapterList& found = scan_->result();
    if (!found.map || (found.map->blocks.empty() && found.map->passedOver.empty())) {
        list_->showNone(fileTitle_, !found.problem ? WindowTexts::kNoHeadingsInList
                                                   : WindowTexts::kCannotReadForList);
        return;
    }
    // The part of each chapter cut at, in the ways that cut at chapters.
    std::vector<std::uint64_t> parts;
    if (way.cutsAtChapters() && chosen_ && !chosen_->blocks.empty()) {
        tovane::WayNumbers numbers;
        const QString number = way.number == tovane::WayNumber::Kilobytes ? size : count;
        if (!way.read(number.toStdString(), {}, numbers)) {
            parts = tovane::partOfEachChapter(way, numbers, *chosen_);
        }
    }
    list_->showBook(fileTitle_, found.map, choice_, chosen_, parts);
}

void BookChapters::closeList() {
    if (list_) list_->close();
}
