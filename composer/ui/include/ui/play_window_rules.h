#pragma once
// What the play window decides without a widget: the size label, the surface size, and the
// message for a file that is not there.
#include <QSize>
#include <string>

namespace composer {

// "Size: w" + width + " x h" + height, with the numbers as they were passed.
std::string PlaySizeLabel(int width, int height);
// The picture's size: a width below 2 becomes 400, a height below 2 becomes 300.
QSize PlaySurfaceSize(int width, int height);
// "File not found to play", after the file name and a line break when the file does not lie in
// the work folder.
std::string PlayFileNotFoundMessage(const std::string& fileName, const std::string& workFolder);

}  // namespace composer
