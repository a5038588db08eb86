// A split run on a thread of its own, so that the window keeps repainting:
// its progress comes back a few times a second through the event loop, and
// its outcome when it ends. Nothing else shares the thread or the outcome.
#pragma once

#include <QObject>
#include <atomic>

#include "split/split_types.h"

class QThread;

Q_DECLARE_METATYPE(tovane::SplitProgress)

class SplitRunner : public QObject {
    Q_OBJECT
public:
    explicit SplitRunner(QObject* parent = nullptr);
    ~SplitRunner() override;

    // Starts the split of `plan`; one at a time.
    void start(tovane::SplitPlan plan);
    bool running() const { return thread_ != nullptr; }
    // Asks the run to stop between two lines; it removes the part it was
    // writing and keeps the ones it finished.
    void stop() { stopRequested_ = true; }
    bool stopping() const { return stopRequested_; }
    // Stops a run going on and waits for it, without reporting its end.
    void stopAndWait();
    // What the run that ended last came to.
    const tovane::SplitOutcome& outcome() const { return outcome_; }

signals:
    void progressed(const tovane::SplitProgress& now);
    void finished();

private:
    void collect();

    QThread* thread_ = nullptr;
    std::atomic<bool> stopRequested_{false};
    tovane::SplitOutcome outcome_;
};
