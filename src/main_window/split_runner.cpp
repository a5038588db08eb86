#include "main_window/split_runner.h"

#include <QThread>
#include <chrono>

#include "split/split_run.h"

namespace {

// How often the window hears of a run's progress.
constexpr auto kProgressInterval = std::chrono::milliseconds(200);

}  // namespace

SplitRunner::SplitRunner(QObject* parent) : QObject(parent) {}

SplitRunner::~SplitRunner() {
    stopAndWait();
}

void SplitRunner::start(tovane::SplitPlan plan) {
    if (thread_ != nullptr) return;
    stopRequested_ = false;
    outcome_ = {};
    thread_ = QThread::create([this, plan = std::move(plan)] {
        auto shown = std::chrono::steady_clock::now();
        outcome_ = tovane::executeSplit(
            plan,
            [this, &shown](const tovane::SplitProgress& now) {
                const auto at = std::chrono::steady_clock::now();
                if (at - shown < kProgressInterval) return;
                shown = at;
                QMetaObject::invokeMethod(
                    this,
                    [this, now] {
                        if (thread_ != nullptr) emit progressed(now);
                    },
                    Qt::QueuedConnection);
            },
            &stopRequested_);
    });
    connect(thread_, &QThread::finished, this, &SplitRunner::collect);
    thread_->start();
}

void SplitRunner::collect() {
    if (thread_ == nullptr) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    emit finished();
}

void SplitRunner::stopAndWait() {
    if (thread_ == nullptr) return;
    stopRequested_ = true;
    thread_->disconnect(this);
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}
