#include "compressors/frame_size_check.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "compressors/compressor_catalog.h"
#include "compressors/round_trip.h"
#include "vidmill/vidmill.h"
#include "writer/encoder_choice.h"

extern "C" {
#include <libavutil/log.h>
}

namespace vidmill::compressors {
namespace {

// One frame of the largest size takes well under a second to code on any machine that could show
// it; a child still busy after this long is hung.
constexpr std::chrono::milliseconds kChildTimeLimit{20000};

// The child's exit status for each outcome of the round trip.
int StatusOf(RoundTrip outcome) { return static_cast<int>(outcome); }

// The two ends of a pipe, closed when they go. The child holds the write end until it ends, so
// the read end shows the end of the child (whatever way it ended) without any polling of its state.
struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        read = ends[0];
        write = ends[1];
    }
    ~Pipe() {
        CloseWrite();
        if (read >= 0) ::close(read);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void CloseWrite() {
        if (write >= 0) ::close(write);
        write = -1;
    }
};

// Runs in the child: nothing of it may reach the user's terminal or leave a core file, and it
// never returns into the caller's code.
[[noreturn]] void RunRoundTrip(std::uint32_t handler, const writer::EncoderChoice& choice, int width,
                               int height) {
    // The log's lock may have been held by another thread of the parent when the child was made.
    av_log_set_callback([](void*, int, const char*, va_list) {});
    const int nowhere = ::open("/dev/null", O_WRONLY);
    if (nowhere >= 0) ::dup2(nowhere, STDERR_FILENO);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    CompressorInfo compressor;
    compressor.handler = handler;
    compressor.encoder = choice.encoder;
    ::_exit(StatusOf(TryRoundTrip(compressor, width, height)));
}

// Waits until the child has ended or the time limit has passed; true when it ended.
bool ChildEnded(int readEnd) {
    const auto deadline = std::chrono::steady_clock::now() + kChildTimeLimit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd end{readEnd, POLLIN, 0};
        const int ready = ::poll(&end, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;  // end of file: the child's end of the pipe closed with it
        if (ready < 0 && errno != EINTR) return false;
    }
}

int Reaped(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

std::string SizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

// What a child found: the verdict and its reason, and whether it holds for the size for good; a
// child that could not be made says nothing about the size.
struct Answer {
    SizeVerdict verdict = SizeVerdict::Writes;
    std::string reason;
    bool lasting = true;
};

Answer ChildAnswer(std::uint32_t handler, const writer::EncoderChoice& choice, int width, int height) {
    Pipe pipe;
    const pid_t child = pipe.read < 0 ? -1 : ::fork();
    if (child < 0)
        return {SizeVerdict::Fails, std::string("it could not be tried: ") + std::strerror(errno), false};
    if (child == 0) RunRoundTrip(handler, choice, width, height);
    pipe.CloseWrite();
    const bool ended = ChildEnded(pipe.read);
    if (!ended) ::kill(child, SIGKILL);
    const int status = Reaped(child);
    if (!ended) {
        return {SizeVerdict::Fails, "its encoder did not finish one frame within " +
                                        std::to_string(kChildTimeLimit.count() / 1000) + " seconds"};
    }
    if (WIFSIGNALED(status)) {
        return {SizeVerdict::Fails, "its encoder crashed on a frame of that size (" +
                                        std::string(::strsignal(WTERMSIG(status))) + ")"};
    }
    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (exitStatus == StatusOf(RoundTrip::DecodesBack)) return {};
    if (exitStatus == StatusOf(RoundTrip::DoesNotOpen))
        return {SizeVerdict::DoesNotOpen, "its encoder does not take frames of that size"};
    return {SizeVerdict::Fails, "its frames of that size do not decode back"};
}

// The encoder's own name and the code asked for: "msvideo1 (CRAM)".
std::string CompressorName(std::uint32_t handler, const writer::EncoderChoice& choice) {
    return std::string(choice.encoder->name) + " (" + HandlerText(static_cast<LONG>(handler)) + ")";
}

}  // namespace

FrameSizeCheck CheckFrameSize(std::uint32_t handler, int width, int height) {
    const writer::EncoderChoice choice = writer::ChooseEncoder(handler);
    if (!choice.installed || choice.uncompressed()) return {};
    static std::mutex mutex;
    static std::map<std::tuple<std::uint32_t, int, int>, FrameSizeCheck> known;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto key = std::make_tuple(handler, width, height);
    if (const auto found = known.find(key); found != known.end()) return found->second;
    const Answer answer = width < 1 || height < 1
                              ? Answer{SizeVerdict::DoesNotOpen, "there are no frames of that size"}
                              : ChildAnswer(handler, choice, width, height);
    FrameSizeCheck check{answer.verdict, ""};
    if (answer.verdict != SizeVerdict::Writes) {
        check.message = "The compressor " + CompressorName(handler, choice) + " cannot write " +
                        SizeText(width, height) + " frames: " + answer.reason;
    }
    if (answer.lasting) known[key] = check;
    return check;
}

}  // namespace vidmill::compressors
