// IStream: a seekable byte stream over a file or over memory, for saving frame images into a
// caller's stream and reading images from one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cbplatform/com_types.h"

union ULARGE_INTEGER {
    std::uint64_t QuadPart;
};
union LARGE_INTEGER {
    std::int64_t QuadPart;
};

constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;

struct STATSTG {
    std::uint64_t cbSize = 0;
};

struct ISequentialStream : IUnknown {
    static constexpr IID kIid = cb::MakeGuid("{0C733A30-2A1C-11CE-ADE5-00AA0044773D}");
    virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;

  protected:
    ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
    static constexpr IID kIid = cb::MakeGuid("{0000000C-0000-0000-C000-000000000046}");
    virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER size) = 0;
    virtual HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                           ULARGE_INTEGER* written) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) = 0;
    virtual HRESULT UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) = 0;
    virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
    virtual HRESULT Clone(IStream** copy) = 0;

  protected:
    ~IStream() = default;
};

namespace cb {

enum class StreamMode { Read, CreateWrite, ReadWrite };

// A stream over a file: STG_E_FILENOTFOUND or STG_E_ACCESSDENIED when it cannot be opened.
CB_PLATFORM_API HRESULT CreateStreamOnFile(const std::string& path, StreamMode mode, IStream** stream);
// A growable stream over memory, starting with a copy of the given bytes.
CB_PLATFORM_API HRESULT CreateStreamOnMemory(const std::vector<std::uint8_t>& initial, IStream** stream);
// Reads a whole stream from its start into memory (the position is left at the end).
CB_PLATFORM_API HRESULT ReadWholeStream(IStream* stream, std::vector<std::uint8_t>& bytes);

}  // namespace cb
