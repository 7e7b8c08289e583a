#include "cbplatform/media_log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

namespace cb {

namespace {

// The listeners of this thread, innermost last.
thread_local std::vector<MediaErrorListener*> listeners;

void LogHook(void* context, int level, const char* format, va_list arguments) {
    if (level <= AV_LOG_ERROR && context != nullptr && !listeners.empty()) {
        va_list copy;
        va_copy(copy, arguments);
        char text[512];
        std::vsnprintf(text, sizeof text, format, copy);
        va_end(copy);
        std::string message(text);
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
        for (MediaErrorListener* listener : listeners) listener->Heard(context, message);
    }
    av_log_default_callback(context, level, format, arguments);
}

void InstallHookOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] { av_log_set_callback(&LogHook); });
}

}  // namespace

void QuietMediaLog() { av_log_set_level(AV_LOG_FATAL); }

MediaErrorListener::MediaErrorListener() {
    InstallHookOnce();
    listeners.push_back(this);
}

MediaErrorListener::~MediaErrorListener() { std::erase(listeners, this); }

void MediaErrorListener::Listen(const void* context) {
    if (context != nullptr) contexts_.push_back(context);
}

void MediaErrorListener::Heard(const void* context, const std::string& message) {
    if (!first_.empty() || message.empty()) return;
    if (std::find(contexts_.begin(), contexts_.end(), context) != contexts_.end()) first_ = message;
}

std::string FrameDamage(const AVFrame& frame) {
    if ((frame.flags & AV_FRAME_FLAG_CORRUPT) != 0) return "the decoder marked a frame as corrupt";
    if (frame.decode_error_flags != 0) {
        if ((frame.decode_error_flags & FF_DECODE_ERROR_INVALID_BITSTREAM) != 0)
            return "the decoder found invalid data in a frame";
        if ((frame.decode_error_flags & FF_DECODE_ERROR_MISSING_REFERENCE) != 0)
            return "a frame refers to a picture that is missing";
        if ((frame.decode_error_flags & FF_DECODE_ERROR_CONCEALMENT_ACTIVE) != 0)
            return "the decoder concealed errors in a frame";
        return "the decoder reported errors in a frame";
    }
    return "";
}

}  // namespace cb
