#pragma once
// BackgroundJob: one worker thread that runs a job while its owner goes on, for work done ahead of
// being asked (the pictures a user stepping back through a clip comes to next). The owner waits for
// the job before touching what the job uses. A job that fails is work thrown away: the owner does
// it again when it needs it.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace composer {

class BackgroundJob {
  public:
    BackgroundJob() = default;
    ~BackgroundJob();  // waits for the job, then ends the thread
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Runs `job` on the worker (started on the first job). Call after Wait.
    void Start(std::function<void()> job);
    // Returns when no job is running.
    void Wait();
    // Whether a job is running now.
    bool Running();

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;  // the job given and not yet finished; empty when idle
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace composer
