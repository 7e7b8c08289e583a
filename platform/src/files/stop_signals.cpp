#include "cbplatform/stop_signals.h"

#include <atomic>
#include <csignal>

namespace cb {
namespace {

// Lock-free, so the handler may set it and any thread read it.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

void RecordStop(int signal) {
    int none = 0;
    g_stopSignal.compare_exchange_strong(none, signal);
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = RecordStop;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes go on: the work ends where it asks, never inside a write.
    action.sa_flags = SA_RESTART;
    // A closed terminal (SIGHUP) or a reader of the output that went away (SIGPIPE) ends the work
    // as a Ctrl+C does: by default they would end the process on the spot, partial files left.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(signal, &action, nullptr);
}

int StopSignal() { return g_stopSignal.load(); }

void ClearStopSignal() { g_stopSignal.store(0); }

}  // namespace cb
