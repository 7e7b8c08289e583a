#include "document/file_carr_buff_class.h"

#include <algorithm>
#include <bit>
#include <filesystem>

#include "base/app_state.h"
#include "base/files.h"
#include "base/folders.h"
#include "base/interaction.h"
#include "base/rounding.h"

namespace composer {

static_assert(std::endian::native == std::endian::little, "the backing file holds little-endian words");

namespace {

constexpr int32_t kSmallestBlockLimit = 0x40000;
// 4 MiB of values: a window this size streams a sound file at the disk's speed; larger ones only
// take memory (a share of a large machine's budget gave every buffer of a mix hundreds of MiB).
constexpr int32_t kLargestBlockLimit = 0x200000;
constexpr int64_t kValueBytes = 2;

void ReportOutOfLimit() { MsgBox("Out of limit - Error"); }

}  // namespace

int32_t BlockLimitForBudget(int32_t memoryBudget) {
    const int32_t values = RoundToInt32(memoryBudget / 20.0);
    return std::clamp(values - values % 4, kSmallestBlockLimit, kLargestBlockLimit);
}

FileCarrBuffClass::FileCarrBuffClass(int32_t blockLimit) : blockLimit_(std::max(blockLimit, 1)) {
    NewTempFile();
}

FileCarrBuffClass::~FileCarrBuffClass() {
    file_.Close();
    if (!filePath_.empty()) DeleteFileChecked(filePath_);
}

FileCarrBuffFile& FileCarrBuffClass::WritableFile() {
    if (!file_.IsOpen()) file_.Open(filePath_, FileCarrBuffFile::Access::ReadWrite);
    if (copySource_.IsOpen()) {
        // The copy OpenFile put off, made from the descriptor it opened.
        std::vector<char> chunk(1 << 20);
        int64_t offset = 0;
        for (int64_t got;
             (got = copySource_.ReadAt(offset, chunk.data(), static_cast<int64_t>(chunk.size()))) > 0;) {
            file_.WriteAt(offset, chunk.data(), got);
            offset += got;
        }
        file_.Truncate(offset);
        copySource_.Close();
    }
    return file_;
}

FileCarrBuffFile& FileCarrBuffClass::ReadableFile() {
    return copySource_.IsOpen() ? copySource_ : WritableFile();
}

// A new file in the work folder; an empty buffer becomes one value of zero.
void FileCarrBuffClass::NewTempFile() {
    filePath_ = NewTempFileName("");
    if (length_ != 0) return;
    const int16_t zero = 0;
    file_.Open(filePath_, FileCarrBuffFile::Access::CreateReadWrite);
    file_.WriteAt(0, &zero, kValueBytes);
    length_ = 1;
}

// Lets go of the backing file without writing the window, and empties the buffer.
void FileCarrBuffClass::ForgetFile() {
    file_.Close();
    copySource_.Close();
    filePath_.clear();
    length_ = 0;
    winStart_ = 0;
    window_.clear();
    dirty_ = false;
}

void FileCarrBuffClass::Reset() {
    Flush();
    // The buffer starts again empty: its old length and window belong to the file it let go of.
    ForgetFile();
    NewTempFile();
}

void FileCarrBuffClass::Flush() {
    if (!dirty_) return;
    WritableFile().WriteAt(winStart_ * kValueBytes, window_.data(), WinSize() * kValueBytes);
    dirty_ = false;
}

std::string FileCarrBuffClass::GetFilePath() {
    Flush();
    if (!filePath_.empty()) WritableFile();  // the file named must hold the values
    return filePath_;
}

void FileCarrBuffClass::LoadWindow(int32_t offset, int32_t size) {
    if (filePath_.empty()) NewTempFile();
    Flush();
    winStart_ = offset;
    if (size != 0) blockLimit_ = size;
    const int32_t count = std::clamp(length_ - offset, 0, blockLimit_);
    window_.assign(static_cast<size_t>(count), 0);
    ReadableFile().ReadAt(offset * kValueBytes, window_.data(), count * kValueBytes);
    dirty_ = false;
}

void FileCarrBuffClass::OpenFile(const std::string& path) {
    file_.Close();
    if (!filePath_.empty()) DeleteFileChecked(filePath_);
    ForgetFile();
    NewTempFile();
    if (!FileExists(path)) return;
    copySource_.Open(path, FileCarrBuffFile::Access::ReadOnly);
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    length_ = static_cast<int32_t>(std::min<int64_t>(bytes / kValueBytes, INT32_MAX));
    dirty_ = false;
    LoadWindow(0, 0);
}

void FileCarrBuffClass::SetLength(int32_t n, LengthFill fill) {
    if (n < 0) return ReportOutOfLimit();
    if (n > length_) {
        if (fill == LengthFill::ZeroFill) {
            const std::vector<int16_t> zeros(static_cast<size_t>(std::min(blockLimit_, n - length_)), 0);
            for (int64_t next = length_; next < n;) {
                const int64_t count = std::min<int64_t>(static_cast<int64_t>(zeros.size()), n - next);
                WritableFile().WriteAt(next * kValueBytes, zeros.data(), count * kValueBytes);
                next += count;
            }
        } else {
            const int16_t zero = 0;
            WritableFile().WriteAt((static_cast<int64_t>(n) - 1) * kValueBytes, &zero, kValueBytes);
        }
        length_ = n;
        return;
    }
    const bool windowPastEnd = static_cast<int64_t>(winStart_) + WinSize() > n;
    Flush();
    length_ = n;
    WritableFile().Truncate(static_cast<int64_t>(n) * kValueBytes);
    // The window is cut to the new end, so that values beyond it are never read from memory again.
    if (windowPastEnd) LoadWindow(std::min(winStart_, n), 0);
}

void FileCarrBuffClass::WriteBlock(int32_t start, std::span<const int16_t> values) {
    const int64_t count = static_cast<int64_t>(values.size());
    if (count < 1) return;
    if (start < 1 || count > blockLimit_) return ReportOutOfLimit();
    const int64_t last = start + count - 1;
    if (last > INT32_MAX) return ReportOutOfLimit();
    if (last > length_) SetLength(static_cast<int32_t>(last), LengthFill::NoFill);
    if (!InWindow(start, last)) LoadWindow(start - 1, 0);
    if (count > WinSize()) return ReportOutOfLimit();
    std::copy(values.begin(), values.end(), WindowEntry(start));
    dirty_ = true;
}

void FileCarrBuffClass::ReadBlock(int32_t start, std::span<int16_t> values) {
    const int64_t count = static_cast<int64_t>(values.size());
    if (count < 1) return;
    if (start < 1 || count > blockLimit_ || start + count - 1 > length_) return ReportOutOfLimit();
    if (!InWindow(start, start + count - 1)) LoadWindow(start - 1, 0);
    std::copy_n(WindowEntry(start), count, values.begin());
}

// Brings a position 1 .. Length() into the window; false (after the message) for any other.
bool FileCarrBuffClass::LocateValue(int32_t position) {
    if (InWindow(position, position)) return true;
    if (position < 1 || position > length_) {
        ReportOutOfLimit();
        return false;
    }
    LoadWindow(position - 1, 0);
    return true;
}

int16_t FileCarrBuffClass::GetValue(int32_t position) {
    if (position == 0) return slot0_;
    return LocateValue(position) ? *WindowEntry(position) : int16_t{0};
}

void FileCarrBuffClass::SetValue(int32_t position, int16_t value) {
    if (position == 0) {
        slot0_ = value;
        return;
    }
    if (!LocateValue(position)) return;
    *WindowEntry(position) = value;
    dirty_ = true;
}

void FileCarrBuffClass::SetBlockLimit(int32_t n) {
    Flush();
    blockLimit_ = std::max(n, 1);
    LoadWindow(winStart_, blockLimit_);
}

std::string KeepBufferFile(FileCarrBuffClass& buffer) {
    std::string path = buffer.GetFilePath();
    buffer.Reset();  // lets go of the file, so releasing the buffer does not delete it
    return path;
}

std::unique_ptr<FileCarrBuffClass> OpenBufferFile(const std::string& path, int32_t blockLimit) {
    auto buffer = std::make_unique<FileCarrBuffClass>(blockLimit);
    buffer->OpenFile(path);
    return buffer;
}

}  // namespace composer
