#pragma once
// FileCarrBuffClass: an array of signed 16-bit values that lives in a file instead of in memory, so
// that long sound tracks (one buffer per channel) can be decoded, converted and mixed within the
// memory budget. Values are numbered from 1; the backing file holds them as raw little-endian words
// (value p at byte 2 x (p - 1)), no header. A window of consecutive values is kept in memory and
// written back when it is replaced; every access inside the window does no file input/output.
//
// Range errors show "Out of limit - Error" (through the interaction seam) and change nothing.
// File input/output failures throw Failure: the caller's error handling reports them.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/file_carr_buff_file.h"

namespace composer {

enum class LengthFill { NoFill, ZeroFill };

// The values a buffer holds in memory unless told otherwise: the share of the smallest memory budget.
inline constexpr int32_t kDefaultBlockLimit = 500'000;

class FileCarrBuffClass {
  public:
    // A new temporary file in the work folder holding one zero, so Length() is 1; up to blockLimit
    // values are held in memory (BlockLimitForBudget gives the limit for a memory budget).
    explicit FileCarrBuffClass(int32_t blockLimit = kDefaultBlockLimit);
    // Deletes the backing file unless Reset has let go of it (errors ignored).
    ~FileCarrBuffClass();
    FileCarrBuffClass(const FileCarrBuffClass&) = delete;
    FileCarrBuffClass& operator=(const FileCarrBuffClass&) = delete;

    int32_t Length() const { return length_; }

    // Flush, then forget the current file (it stays on disk: a file handed out by GetFilePath
    // survives this way) and start again with a new temporary file holding one zero.
    void Reset();
    // Grows the buffer to n values (zeros, either written or left to the file's extension) or cuts it.
    void SetLength(int32_t n, LengthFill fill);
    // Flush, then the path of the backing file; empty when there is none.
    std::string GetFilePath();
    // Makes the buffer hold a copy of an existing file of 16-bit words (the file itself is never
    // changed). A missing file leaves a new buffer of one zero.
    void OpenFile(const std::string& path);
    // Stores the values at start .. start + k - 1, growing the buffer when they reach past its end.
    // Error when start < 1 or k > BlockLimit.
    void WriteBlock(int32_t start, std::span<const int16_t> values);
    // Fetches values.size() values from start. Error (values untouched) when start < 1,
    // k > BlockLimit or the range passes Length().
    void ReadBlock(int32_t start, std::span<int16_t> values);
    // Position 0 is a value kept in memory only (Slot0); positions outside 1 .. Length() are errors
    // (GetValue gives 0, SetValue stores nothing).
    int16_t GetValue(int32_t position);
    void SetValue(int32_t position, int16_t value);
    // Flush, then use n values as the block limit and window size, reloading the window.
    void SetBlockLimit(int32_t n);
    int32_t GetBlockLimit() const { return blockLimit_; }
    // Writes the window back when it holds changes.
    void Flush();

    // The values of the window: WinStart + 1 .. WinStart + WinSize.
    int32_t WinStart() const { return winStart_; }
    int32_t WinSize() const { return static_cast<int32_t>(window_.size()); }

  private:
    bool InWindow(int64_t first, int64_t last) const {
        return first > winStart_ && last <= static_cast<int64_t>(winStart_) + WinSize();
    }
    int16_t* WindowEntry(int32_t position) { return &window_[static_cast<size_t>(position - winStart_ - 1)]; }
    bool LocateValue(int32_t position);
    void NewTempFile();
    void ForgetFile();
    void LoadWindow(int32_t offset, int32_t size);
    FileCarrBuffFile& WritableFile();
    FileCarrBuffFile& ReadableFile();

    int32_t length_ = 0;
    bool dirty_ = false;
    int32_t winStart_ = 0;
    std::vector<int16_t> window_;
    std::string filePath_;
    int16_t slot0_ = 0;
    int32_t blockLimit_ = 0;
    FileCarrBuffFile file_;  // open on filePath_ while there is one
    // After OpenFile the given file is read in place until the first change (or GetFilePath) makes
    // the copy, so that buffers opened only to be read never copy their file.
    FileCarrBuffFile copySource_;
};

// The block limit for a memory budget in bytes: one twentieth of it, counted in values, a multiple of 4,
// at least 262144 and at most 2097152 (a window of 4 MiB, whatever the machine).
int32_t BlockLimitForBudget(int32_t memoryBudget);

// Keeps a buffer's file on disk after the buffer is released, and returns its path.
std::string KeepBufferFile(FileCarrBuffClass& buffer);
// A buffer holding a copy of the named file of 16-bit values.
std::unique_ptr<FileCarrBuffClass> OpenBufferFile(const std::string& path,
                                                  int32_t blockLimit = kDefaultBlockLimit);

}  // namespace composer
