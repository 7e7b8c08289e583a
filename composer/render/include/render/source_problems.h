#pragma once
// The clip sources a render could not read, each named once with the first reason found: a file
// that is missing or not a regular file, one that does not open or decode, a frame that does not
// decode, a sound that cannot be read. The movie is still written (blank frames, silence), and
// the list tells the user what is missing from it.
#include <string>
#include <utility>
#include <vector>

namespace composer {

class SourceProblems {
  public:
    // Keeps the first reason given for a path; later ones for the same path are dropped.
    void Note(const std::string& path, const std::string& reason) {
        for (const auto& [known, ignored] : found_)
            if (known == path) return;
        found_.emplace_back(path, reason);
    }
    bool empty() const { return found_.empty(); }
    // One line per source: "cannot read PATH: REASON", in the order found.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const auto& [path, reason] : found_) lines.push_back("cannot read " + path + ": " + reason);
        return lines;
    }

  private:
    std::vector<std::pair<std::string, std::string>> found_;
};

}  // namespace composer
