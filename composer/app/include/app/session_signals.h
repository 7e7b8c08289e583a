#pragma once
// SIGINT and SIGTERM while the windows run: the signal is only noted (written to a pipe), and the
// windows end the session from their event loop, with the exit steps, as a desktop logout expects.
// Installed before the start-up steps, so that a signal that comes early waits in the pipe.

namespace composer::app {

class SessionSignals {
  public:
    SessionSignals();
    ~SessionSignals();
    SessionSignals(const SessionSignals&) = delete;
    SessionSignals& operator=(const SessionSignals&) = delete;

    // Readable when a signal came; each byte read is the signal's number. -1 when the pipe could
    // not be made (signals then keep their default action).
    int ReadHandle() const { return readHandle_; }

  private:
    int readHandle_ = -1;
};

}  // namespace composer::app
