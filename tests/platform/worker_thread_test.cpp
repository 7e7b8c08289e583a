// The worker thread shared by the library's encoder lanes and the program's reading ahead.
#include "cbplatform/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Jobs run one at a time in the order given, off the caller's thread, and a failure comes back at
// the Wait after its job, once: the next job starts clean.
TEST(WorkerThread, RunsJobsInTurnAndHandsBackAFailureOnce) {
    cb::WorkerThread worker;
    std::vector<int> done;
    std::thread::id ranOn;
    worker.Start([&] {
        ranOn = std::this_thread::get_id();
        done.push_back(1);
    });
    worker.Wait();
    worker.Start([&] { throw std::runtime_error("encoder refused the frame"); });
    EXPECT_THROW(
        {
            try {
                worker.Wait();
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "encoder refused the frame");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_NO_THROW(worker.Wait());
    worker.Start([&] { done.push_back(2); });
    EXPECT_NO_THROW(worker.Wait());
    EXPECT_EQ(done, (std::vector<int>{1, 2}));
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

// Running tells a job in hand from an idle worker, and the end of the worker waits for the job in
// hand rather than leaving it to run on what its owner frees.
TEST(WorkerThread, RunningAndTheEndWaitForTheJobInHand) {
    std::atomic<bool> release{false};
    std::atomic<bool> finished{false};
    {
        cb::WorkerThread worker;
        EXPECT_FALSE(worker.Running());
        worker.Start([&] {
            while (!release) std::this_thread::sleep_for(1ms);
            finished = true;
        });
        EXPECT_TRUE(worker.Running());
        release = true;
    }
    EXPECT_TRUE(finished);
}

}  // namespace
