#include "cbplatform/media_input.h"

#include <sys/stat.h>

#include <cerrno>

#include "cbplatform/stop_signals.h"

namespace cb {
namespace {

// FFmpeg's interrupt callback: non-zero ends the wait or read in progress with AVERROR_EXIT.
int StopRequested(void* /*unused*/) { return StopSignal() != 0 ? 1 : 0; }

}  // namespace

int OpenMediaInput(AVFormatContext** context, const std::string& path, const AVInputFormat* format,
                   AVDictionary** options) {
    // The file's kind is asked without opening it: opening a pipe already waits for a writer.
    struct stat facts {};
    const int refusal = ::stat(path.c_str(), &facts) != 0 ? AVERROR(errno)
                        : !S_ISREG(facts.st_mode)         ? kNotARegularFile
                                                          : 0;
    if (refusal == 0 && *context == nullptr) *context = avformat_alloc_context();
    if (refusal != 0 || *context == nullptr) {
        // A context the caller made for custom I/O goes as avformat_open_input lets it go; the
        // I/O context stays the caller's.
        avformat_free_context(*context);
        *context = nullptr;
        return refusal != 0 ? refusal : AVERROR(ENOMEM);
    }
    (*context)->interrupt_callback = AVIOInterruptCB{&StopRequested, nullptr};
    // On failure avformat_open_input frees the context and nulls the pointer.
    return avformat_open_input(context, path.c_str(), format, options);
}

std::string MediaFailureText(int code) {
    if (code == kNotARegularFile) return "it is not a regular file";
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace cb
