#include "writer/image_mask.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>

namespace vidmill::writer {

std::vector<std::string> MatchingImageFiles(const std::string& fileMask, NameOrder order) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(fileMask, error);
    if (error) return {};
    const std::string pattern = full.filename().string();
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(full.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            names.push_back(name);
    }
    if (order == NameOrder::Ascending) {
        std::sort(names.begin(), names.end());
    } else {
        std::sort(names.begin(), names.end(), std::greater<>());
    }
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const auto& name : names) paths.push_back((full.parent_path() / name).string());
    return paths;
}

}  // namespace vidmill::writer
