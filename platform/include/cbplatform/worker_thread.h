// WorkerThread: one thread that runs jobs one at a time while its owner goes on: the library's
// writer encodes a frame while the caller composes the next, the program's video reader decodes the
// pictures a user stepping back comes to next. The thread starts with the first job and ends with
// the object, after the job in hand.
//
// A job's failure is kept and thrown again by the Wait that follows it, so an owner whose work
// must succeed (an encoder) meets it there; an owner whose job is work done ahead catches in the job.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "cbplatform/com_types.h"

namespace cb {

class CB_PLATFORM_API WorkerThread {
  public:
    WorkerThread() = default;
    ~WorkerThread();  // waits for the job in hand, then ends the thread
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs `job` on the worker. The job before must have been waited for.
    void Start(std::function<void()> job);
    // Returns when no job is running; throws again what the job that ended threw.
    void Wait();
    // Whether a job is running now.
    bool Running();

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;  // the job given and not yet finished; empty when idle
    std::exception_ptr failure_;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once the rest is in place
};

}  // namespace cb
