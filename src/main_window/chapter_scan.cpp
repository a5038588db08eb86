#include "main_window/chapter_scan.h"

#include <QThread>

ChapterScan::ChapterScan(QObject* parent) : QObject(parent) {}

// Scans still going were told to stop; they end within a few thousand lines.
ChapterScan::~ChapterScan() {
    stopRunning();
    for (QThread* thread : findChildren<QThread*>()) thread->wait();
}

void ChapterScan::start(const std::string& path, std::optional<tovane::Encoding> encoding,
                        std::shared_ptr<const tovane::HeadingPattern> pattern) {
    stopRunning();
    path_ = path;
    done_ = false;
    result_ = {};
    stop_ = std::make_shared<std::atomic<bool>>(false);
    found_ = std::make_shared<tovane::ChapterList>();
    // The thread holds its own share of what it fills, so that one stopped
    // and let go can end on its own time.
    auto stop = stop_;
    auto found = found_;
    thread_ = QThread::create([path, stop, found, encoding, pattern] {
        *found = tovane::findChapters(path, pattern, {true, true, true}, stop.get(), encoding);
    });
    thread_->setParent(this);
    connect(thread_, &QThread::finished, this, &ChapterScan::collect);
    thread_->start();
}

void ChapterScan::clear() {
    stopRunning();
    path_.clear();
    done_ = false;
    result_ = {};
}

void ChapterScan::wait() {
    if (thread_ == nullptr) return;
    thread_->wait();
    collect();
}

void ChapterScan::collect() {
    if (thread_ == nullptr) return;
    thread_->wait();
    thread_->deleteLater();
    thread_ = nullptr;
    result_ = std::move(*found_);
    done_ = result_.result == tovane::ChapterList::Result::Done;
    emit finished();
}

// A scan no longer wanted is told to stop and left to end by itself; it
// deletes its thread when it does.
void ChapterScan::stopRunning() {
    if (thread_ == nullptr) return;
    *stop_ = true;
    thread_->disconnect(this);
    connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
    thread_ = nullptr;
}
