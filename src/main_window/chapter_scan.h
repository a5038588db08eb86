// The chapters of the book the window has chosen, found on a thread of
// their own so that the window never waits for a large file; a new choice
// stops the scan of the one before.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

#include "split/chapters/chapter_map.h"

class QThread;

class ChapterScan : public QObject {
    Q_OBJECT
public:
    explicit ChapterScan(QObject* parent = nullptr);
    ~ChapterScan() override;

    // Starts finding the chapters of the file at `path` (the engine's own
    // path), read in `encoding` (none: as its bytes tell), by `pattern`
    // (null: the built-in rule), stopping a scan still going.
    void start(const std::string& path, std::optional<tovane::Encoding> encoding,
               std::shared_ptr<const tovane::HeadingPattern> pattern);
    // Forgets the file: a choice that names no file.
    void clear();
    // Waits for the scan going on, if any, to end.
    void wait();

    bool running() const { return thread_ != nullptr; }
    // How much of the file the scan going on has read, in hundredths; -1
    // when none is going on.
    int percentRead() const;
    // Whether a finished scan has the chapters of `path`.
    bool has(const std::string& path) const { return done_ && path_ == path; }
    const tovane::ChapterList& result() const { return result_; }

signals:
    // The scan of the file chosen last has ended.
    void finished();

private:
    void collect();
    void stopRunning();

    QThread* thread_ = nullptr;
    std::shared_ptr<std::atomic<bool>> stop_;
    std::shared_ptr<std::atomic<std::uint64_t>> read_;  // bytes the scan has read
    std::uint64_t size_ = 0;                            // of the file scanned
    std::shared_ptr<tovane::ChapterList> found_;  // filled by the thread
    std::string path_;
    tovane::ChapterList result_;
    bool done_ = false;
};
