// One thread that runs jobs one at a time for its owner, so that encoding a frame can go on
// while the caller composes the next one.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace vidmill::writer {

class EncodingWorker {
  public:
    EncodingWorker();
    // Waits for the job in hand, then ends the thread.
    ~EncodingWorker();
    EncodingWorker(const EncodingWorker&) = delete;
    EncodingWorker& operator=(const EncodingWorker&) = delete;

    // Starts `job` on the worker. The previous job must have been waited for.
    void start(std::function<void()> job);
    // Blocks until the job in hand (if any) has ended, then rethrows what it threw.
    void wait();

  private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool busy_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace vidmill::writer
