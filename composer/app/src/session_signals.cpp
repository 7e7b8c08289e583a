#include "app/session_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace composer::app {

namespace {

int writeHandle = -1;

void NoteSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(writeHandle, &byte, 1);
}

}  // namespace

SessionSignals::SessionSignals() {
    int handles[2] = {-1, -1};
    if (::pipe2(handles, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readHandle_ = handles[0];
    writeHandle = handles[1];
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

SessionSignals::~SessionSignals() {
    if (readHandle_ < 0) return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    ::close(readHandle_);
    ::close(writeHandle);
    writeHandle = -1;
}

}  // namespace composer::app
