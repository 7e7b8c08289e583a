// The image files that AddImages takes, in the order it takes them.
#pragma once

#include <string>
#include <vector>

namespace vidmill::writer {

enum class NameOrder { Ascending, Descending };

// Every file whose name matches the mask's last part (wildcards * and ?, letters matched
// without regard to case as on the platform the masks come from), with the folder of the mask's
// full path before each name, sorted by ordinal comparison of the names. Folders, "." and ".."
// are not taken: they are no images. Nothing matching gives an empty list.
std::vector<std::string> MatchingImageFiles(const std::string& fileMask, NameOrder order);

}  // namespace vidmill::writer
