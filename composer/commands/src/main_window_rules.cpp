#include "commands/main_window_rules.h"

#include <algorithm>

#include "base/app_state.h"
#include "base/files.h"
#include "base/text_number.h"

namespace composer {

std::string MainWindowTitle(const MovieDbRec& movie) {
    const std::string file = movie.ProjectPath.empty() ? "New file" : LastPathComponent(movie.ProjectPath);
    return std::string(kProgramTitle) + " - " + movie.MovieName + " [" + file + "]";
}

std::string InitialFolderOf(const std::string& rememberedFile) {
    if (TrimSpaces(rememberedFile).empty()) return {};
    const std::size_t separator = rememberedFile.find_last_of("/\\");
    if (separator == std::string::npos) return {};
    return rememberedFile.substr(0, separator + 1);
}

std::vector<std::string> DialogFilters(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<std::string> entries;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns = parts[i + 1];
        std::replace(patterns.begin(), patterns.end(), ';', ' ');
        const std::string ending = "(" + patterns + ")";
        entries.push_back(parts[i].ends_with(ending) ? parts[i] : parts[i] + " " + ending);
    }
    return entries;
}

}  // namespace composer
