#include "main_window/chapter_scan.h"

#include <QFileInfo>
#include <QThread>
#include <algorithm>

#include "platform/engine_text.h"

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
    read_ = std::make_shared<std::atomic<std::uint64_t>>(0);
    size_ =
        static_cast<std::uint64_t>(std::max<qint64>(0, QFileInfo(EngineText::toQt(path)).size()));
    found_ = std::make_shared<tovane::ChapterList>();
    // The thread holds its own share of what it fills, so that one stopped
    // and let go can end on its own time.
    auto stop = stop_;
    auto read = read_;
    auto found = found_;
    thread_ = QThread::create([path, stop, read, found, encoding, pattern] {
        tovane::ChapterScanOptions options{true, true, true};
        options.bytesRead = read.get();
        *found = tovane::findChapters(path, pattern, options, stop.get(), encoding);
    });
    thread_->setParent(this);
    connect(thread_, &QThread::finished, this, &ChapterScan::collect);
    thread_->start();
}

int ChapterScan::percentRead() const {
    if (thread_ == nullptr || size_ == 0) return -1;
    const std::uint64_t read = std::min(read_->load(std::memory_order_relaxed), size_);
    return static_cast<int>(read * 100 / size_);
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
