#include "background_job.h"

#include <utility>

namespace composer {

BackgroundJob::~BackgroundJob() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundJob::Start(std::function<void()> job) {
    {
        const std::lock_guard lock(mutex_);
        job_ = std::move(job);
    }
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { Run(); });
    } else {
        changed_.notify_all();
    }
}

void BackgroundJob::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !job_; });
}

bool BackgroundJob::Running() {
    const std::lock_guard lock(mutex_);
    return static_cast<bool>(job_);
}

void BackgroundJob::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return job_ || stopping_; });
        if (!job_) return;  // stopping, nothing left to do
        lock.unlock();
        try {
            job_();
        } catch (...) {
            // Work done ahead: its owner meets the same failure when it does the work itself.
        }
        lock.lock();
        job_ = nullptr;
        changed_.notify_all();
    }
}

}  // namespace composer
