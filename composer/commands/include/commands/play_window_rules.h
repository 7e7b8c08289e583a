#pragma once
// What the play window decides without a widget: the size label, the surface size, the message
// for a file that is not there, and the note on a frame that cannot be shown.
#include <QSize>
#include <cstdint>
#include <string>

namespace composer {

// "Size: w" + width + " x h" + height, with the numbers as they were passed.
std::string PlaySizeLabel(int width, int height);
// The picture's size: a width below 2 becomes 400, a height below 2 becomes 300.
QSize PlaySurfaceSize(int width, int height);
// "File not found to play", after the file name and a line break when the file does not lie in
// the work folder.
std::string PlayFileNotFoundMessage(const std::string& fileName, const std::string& workFolder);
// "Frame " + frame + " cannot be shown: " + reason: the note over the picture while that frame is due.
std::string PlayFrameProblem(int32_t frame, const std::string& reason);

}  // namespace composer
