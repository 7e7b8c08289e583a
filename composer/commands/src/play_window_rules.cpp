#include "commands/play_window_rules.h"

#include "base/text_number.h"

namespace composer {

std::string PlaySizeLabel(int width, int height) {
    return "Size: w" + FormatNumber(static_cast<int64_t>(width)) + " x h" +
           FormatNumber(static_cast<int64_t>(height));
}

QSize PlaySurfaceSize(int width, int height) { return {width < 2 ? 400 : width, height < 2 ? 300 : height}; }

std::string PlayFileNotFoundMessage(const std::string& fileName, const std::string& workFolder) {
    const bool inWorkFolder = !workFolder.empty() && fileName.rfind(workFolder + "/", 0) == 0;
    return inWorkFolder ? "File not found to play" : fileName + "\r\nFile not found to play";
}

std::string PlayFrameProblem(int32_t frame, const std::string& reason) {
    return "Frame " + FormatNumber(static_cast<int64_t>(frame)) + " cannot be shown: " + reason;
}

}  // namespace composer
