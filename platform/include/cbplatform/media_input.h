// Opening a file for FFmpeg's demuxers so that a stop is never kept waiting.
//
// A demuxer given a pipe, a device or a socket waits for data that may never come, and a wait
// inside FFmpeg hears no signal: the program would hang and ignore SIGINT and SIGTERM. Every
// source is therefore opened here: only a regular file is opened, and the demuxer asks the stop
// signals (cb::StopSignal) while it opens and whenever it reads, so that a stopped run ends within
// moments whatever it was reading.
#pragma once

#include <string>

#include "cbplatform/com_types.h"
#include "cbplatform/ffmpeg_owners.h"

namespace cb {

// The failure of OpenMediaInput for a path that names something other than a regular file.
inline constexpr int kNotARegularFile = FFERRTAG('N', 'R', 'E', 'G');

// avformat_open_input for a regular file, with the stop interrupt installed. `*context` is null or
// a context the caller allocated (for custom I/O), taken over as avformat_open_input takes it.
// Returns 0 with `*context` set, or a negative FFmpeg code with `*context` freed and null:
// kNotARegularFile for a pipe, folder, device or socket (nothing is opened then), AVERROR(errno)
// when the file's facts cannot be read, AVERROR_EXIT when a stop arrived while it opened, else the
// demuxer's code. `format` and `options` are passed on as avformat_open_input takes them.
CB_PLATFORM_API int OpenMediaInput(AVFormatContext** context, const std::string& path,
                                   const AVInputFormat* format = nullptr, AVDictionary** options = nullptr);

// The text for an FFmpeg code as a reason ("No such file or directory"); for kNotARegularFile
// "it is not a regular file".
CB_PLATFORM_API std::string MediaFailureText(int code);

}  // namespace cb
