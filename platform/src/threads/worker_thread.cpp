#include "cbplatform/worker_thread.h"

#include <utility>

namespace cb {

WorkerThread::~WorkerThread() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void WorkerThread::Start(std::function<void()> job) {
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

void WorkerThread::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !job_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

bool WorkerThread::Running() {
    const std::lock_guard lock(mutex_);
    return static_cast<bool>(job_);
}

void WorkerThread::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return job_ || stopping_; });
        if (!job_) return;  // stopping, nothing left to do
        lock.unlock();
        std::exception_ptr failure;
        try {
            job_();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        failure_ = failure;
        job_ = nullptr;
        changed_.notify_all();
    }
}

}  // namespace cb
