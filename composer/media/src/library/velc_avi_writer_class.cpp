#include "media/library/velc_avi_writer_class.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "cbplatform/bstr.h"
#include "media/library/library_call.h"

namespace composer {

using vidmill::IAviCompressor;
using vidmill::IAviCompressors;
using vidmill::IAviWriter;

namespace {

// The library's compressor dialog is shown through the program's own dialog seam, which finds its
// parent itself: the library is given no window.
constexpr HWND kNoParentWindow = 0;

using FrameSize = std::pair<int32_t, int32_t>;

// The frame sizes near width x height that encoders commonly ask for: each side rounded down and up
// to multiples of 2, 4, 8 and 16, nearest first (a smaller size before a larger one as near).
std::vector<FrameSize> SizesNear(int32_t width, int32_t height) {
    std::vector<FrameSize> sizes;
    for (const int32_t step : {2, 4, 8, 16}) {
        const int32_t downW = width / step * step, downH = height / step * step;
        for (const FrameSize& size :
             {FrameSize{downW, downH},
              FrameSize{downW + (downW < width ? step : 0), downH + (downH < height ? step : 0)}}) {
            const bool asked = size == FrameSize{width, height};
            const bool known = std::find(sizes.begin(), sizes.end(), size) != sizes.end();
            if (!asked && !known && size.first > 0 && size.second > 0) sizes.push_back(size);
        }
    }
    const auto distance = [&](const FrameSize& size) {
        return std::abs(size.first - width) + std::abs(size.second - height);
    };
    std::stable_sort(sizes.begin(), sizes.end(), [&](const FrameSize& a, const FrameSize& b) {
        return distance(a) != distance(b) ? distance(a) < distance(b) : a < b;
    });
    return sizes;
}

std::string SizeText(const FrameSize& size) {
    return std::to_string(size.first) + " x " + std::to_string(size.second);
}

// ". The nearest sizes it can write are A and B." for the nearest two sizes (one when only one)
// the compressor writes, tried nearest first; "" when none of them.
std::string NearestSizesText(IAviCompressor& compressor, int32_t width, int32_t height) {
    std::vector<FrameSize> writable;
    for (const FrameSize& size : SizesNear(width, height)) {
        if (SUCCEEDED(compressor.CheckFrameSize(size.first, size.second))) writable.push_back(size);
        if (writable.size() == 2) break;
    }
    std::sort(writable.begin(), writable.end());
    if (writable.empty()) return "";
    if (writable.size() == 1) return ". The nearest size it can write is " + SizeText(writable[0]) + ".";
    return ". The nearest sizes it can write are " + SizeText(writable[0]) + " and " + SizeText(writable[1]) +
           ".";
}

// The writing check opens the compressor's encoder and codes a frame, so it is asked only of the
// entry with the code in use: the walk itself costs nothing.
bool CompressorWrites(IAviCompressor& compressor, int32_t code) {
    VARIANT_BOOL valid = VARIANT_FALSE, writes = VARIANT_FALSE;
    LONG handler = 0;
    CheckLibraryCall(compressor.get_Handler(&handler));
    if (handler != code) return false;
    CheckLibraryCall(compressor.get_IsValid(&valid));
    if (!valid) return false;
    CheckLibraryCall(compressor.get_SupportsWriting(&writes));
    return writes != VARIANT_FALSE;
}

}  // namespace

VelcAviWriterClass::~VelcAviWriterClass() { WriteAVI_CloseFile(); }

void VelcAviWriterClass::CheckCompressor(int32_t& compressorCode) {
    const auto find = [&] {
        auto compressors = CreateLibraryObject<IAviCompressors>(vidmill::CLSID_AviCompressors);
        bool found = false;
        VARIANT_BOOL more = VARIANT_TRUE;
        while (more) {
            cb::ComPtr<IAviCompressor> current;
            CheckLibraryCall(compressors->get_Current(current.put()));
            if (current && CompressorWrites(*current, compressorCode)) found = true;
            CheckLibraryCall(compressors->Next(&more));
        }
        if (!found) compressorCode = vidmill::MsVideo1Compressor;
    };
    if (!GuardCommand("Failed in finding the Codecs", find)) compressorCode = vidmill::Uncompressed;
}

int32_t VelcAviWriterClass::KeyFrameIntervalFor(int32_t compressorCode, double framesPerSecond) {
    auto compressor = CreateLibraryObject<IAviCompressor>(vidmill::CLSID_AviCompressor);
    CheckLibraryCall(compressor->put_Handler(compressorCode));
    LONG interval = 0;
    CheckLibraryCall(compressor->get_DefaultKeyFrameRate(&interval));
    if (interval > 0) return interval;
    const double oneSecond = std::nearbyint(framesPerSecond);
    return oneSecond >= 1 && oneSecond < INT32_MAX ? static_cast<int32_t>(oneSecond) : 1;
}

std::optional<std::string> VelcAviWriterClass::FrameSizeProblem(int32_t compressorCode, int32_t width,
                                                                int32_t height) {
    if (compressorCode == 0) return std::nullopt;
    auto compressor = CreateLibraryObject<IAviCompressor>(vidmill::CLSID_AviCompressor);
    CheckLibraryCall(compressor->put_Handler(compressorCode));
    try {
        CheckLibraryCall(compressor->CheckFrameSize(width, height));
    } catch (const Failure& refused) {
        return refused.what() + NearestSizesText(*compressor, width, height);
    }
    return std::nullopt;
}

bool VelcAviWriterClass::WriteAvi_CreateNewFile(const std::string& fileName, int32_t width, int32_t height,
                                                double framesPerSecond, int32_t& compressorCode,
                                                bool showDialog, int32_t keyFrameInterval) {
    try {
        CreateNewFile(fileName, width, height, framesPerSecond, compressorCode, showDialog, keyFrameInterval);
        return true;
    } catch (...) {
        return false;
    }
}

void VelcAviWriterClass::CreateNewFile(const std::string& fileName, int32_t width, int32_t height,
                                       double framesPerSecond, int32_t& compressorCode, bool showDialog,
                                       int32_t keyFrameInterval) {
    std::string reason;
    try {
        writer_ = CreateLibraryObject<IAviWriter>(vidmill::CLSID_AviWriter);
        writerExists_ = true;
        CheckCompressor(compressorCode);
        CheckLibraryCall(writer_->put_CompressorHandler(compressorCode));
        CheckLibraryCall(writer_->put_FramesPerSecond(framesPerSecond));
        if (keyFrameInterval <= 0) keyFrameInterval = KeyFrameIntervalFor(compressorCode, framesPerSecond);
        CheckLibraryCall(writer_->put_KeyFrameRate(keyFrameInterval));
        CheckLibraryCall(writer_->put_ShowDialog(showDialog ? VARIANT_TRUE : VARIANT_FALSE));
        const cb::Bstr name(fileName);
        CheckLibraryCall(writer_->CreateNew(name.get(), width, height, kNoParentWindow));
        VARIANT_BOOL open = VARIANT_FALSE;
        CheckLibraryCall(writer_->get_IsOpen(&open));
        if (open) {
            IsOpen = true;
            return;
        }
        reason = "The AVI library did not open the file.";
    } catch (...) {
        reason = CurrentFailureText();
    }
    WriteAVI_CloseFile();
    throw Failure(reason);
}

bool VelcAviWriterClass::WriteAvi_AddPicture(IPicture* picture) {
    if (!IsOpen || !writer_) return false;
    CheckLibraryCall(writer_->AddPicture(picture, VARIANT_FALSE));
    return true;
}

void VelcAviWriterClass::WriteAVI_AddAudio(const std::string& wavFileName) {
    if (!IsOpen || !writer_) return;
    if (SoundAdded) throw Failure("Tried to add Multiple audio to AVI file");
    SoundAdded = true;
    const cb::Bstr name(wavFileName);
    CheckLibraryCall(writer_->AddWav(name.get(), VARIANT_FALSE));
}

std::optional<std::string> VelcAviWriterClass::WriteAVI_CloseFile() {
    std::optional<std::string> failure;
    if (writerExists_) {
        // Released whatever Close answers; a writer that could not complete its file is still let go.
        if (writer_) {
            try {
                CheckLibraryCall(writer_->Close());
            } catch (const Failure& refused) {
                failure = refused.what();
            }
        }
        writer_.reset();
        writerExists_ = false;
    }
    IsOpen = false;
    return failure;
}

}  // namespace composer
