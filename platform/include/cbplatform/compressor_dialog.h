// The compressor options dialog: the host program registers the dialog it shows (its windows
// live above this layer); the library asks through here when a new file's compressor is chosen.
#pragma once

#include <cstdint>
#include <functional>

#include "cbplatform/com_types.h"
#include "cbplatform/handles.h"

namespace cb {

// What the dialog shows and may change: the compressor's handler code (0: uncompressed) and its
// settings.
struct CompressorOptions {
    std::uint32_t handler = 0;
    std::int32_t quality = 0;         // 0..10000
    std::int32_t keyFrameRate = 0;    // frames between key frames; 0: the compressor's choice
    std::int32_t bytesPerSecond = 0;  // data-rate limit; 0: none
};

enum class DialogAnswer { Accepted, Cancelled };

// Shows the dialog over parent; the options hold the starting values and, when accepted, the
// user's choice.
using CompressorDialogProvider = std::function<DialogAnswer(CompressorOptions& options, HWND parent)>;

// Registers the provider (an empty function removes it). A later registration replaces the
// earlier one.
CB_PLATFORM_API void SetCompressorDialogProvider(CompressorDialogProvider provider);
CB_PLATFORM_API bool HasCompressorDialogProvider();

// Asks the registered provider. Without one the options stand as they are and the answer is
// Accepted: a program without windows never waits for a dialog.
CB_PLATFORM_API DialogAnswer ShowCompressorDialog(CompressorOptions& options, HWND parent);

}  // namespace cb
