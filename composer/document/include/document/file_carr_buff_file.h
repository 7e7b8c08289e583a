#pragma once
// The open backing file of a FileCarrBuffClass: positioned reads and writes of whole byte ranges,
// closed by its owner. Failures throw Failure naming the file.
#include <cstdint>
#include <string>

namespace composer {

class FileCarrBuffFile {
  public:
    FileCarrBuffFile() = default;
    ~FileCarrBuffFile() { Close(); }
    FileCarrBuffFile(const FileCarrBuffFile&) = delete;
    FileCarrBuffFile& operator=(const FileCarrBuffFile&) = delete;

    enum class Access { ReadWrite, CreateReadWrite, ReadOnly };
    // Opens a file for reading and writing (creating it when asked), or for reading only.
    void Open(const std::string& path, Access access);
    const std::string& Path() const { return path_; }
    bool IsOpen() const { return descriptor_ >= 0; }
    void Close();
    // Reads up to size bytes at offset; bytes past the end of the file are left as they are.
    // Returns the bytes read.
    int64_t ReadAt(int64_t offset, void* bytes, int64_t size) const;
    void WriteAt(int64_t offset, const void* bytes, int64_t size);
    void Truncate(int64_t size);

  private:
    [[noreturn]] void Fail(const char* what) const;
    int descriptor_ = -1;
    std::string path_;
};

}  // namespace composer
