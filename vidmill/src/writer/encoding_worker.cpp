#include "writer/encoding_worker.h"

#include <utility>

namespace vidmill::writer {

EncodingWorker::EncodingWorker() : thread_([this] { run(); }) {}

EncodingWorker::~EncodingWorker() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void EncodingWorker::start(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
        busy_ = true;
    }
    changed_.notify_all();
}

void EncodingWorker::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void EncodingWorker::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_) return;
        std::function<void()> job = std::move(job_);
        lock.unlock();
        std::exception_ptr failure;
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        failure_ = failure;
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace vidmill::writer
