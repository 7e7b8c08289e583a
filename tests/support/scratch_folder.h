#pragma once
// A fresh folder for one test, removed with everything in it at the end. It lies below
// $CB_TEST_TMP (set by the test runner) or the system's temporary folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace composer::testing {

class ScratchFolder {
  public:
    ScratchFolder() {
        const char* base = std::getenv("CB_TEST_TMP");
        std::filesystem::path parent =
            (base && *base) ? base : std::filesystem::temp_directory_path().string();
        std::filesystem::create_directories(parent);
        std::string pattern = (parent / "appgen-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~ScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes a file in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const {
        const std::string file = *this / name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(*this / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

  private:
    std::string path_;
};

}  // namespace composer::testing
