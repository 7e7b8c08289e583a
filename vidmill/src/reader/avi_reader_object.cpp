#include "reader/avi_reader_object.h"

#include <algorithm>
#include <limits>

#include "frame/lzw.h"
#include "imaging/encoder_parameters.h"
#include "imaging/image_formats.h"
#include "reader/avi_frame_object.h"
#include "reader/frame_enumerator.h"
#include "reader/frame_sequence.h"
#include "reader/output_over_source.h"

namespace vidmill {

// ---------------------------------------------------------------------------------------------
// TAviReader

TAviReader::TAviReader(Counting counting) : AutoObject(counting), link_(std::make_shared<ReaderLink>()) {
    link_->reader = this;
}

TAviReader::~TAviReader() {
    link_->reader = nullptr;
    Close();
}

HRESULT TAviReader::ExtractWav(BSTR WavFileName) {
    return Guarded([&] { engine_.extractWav(cb::BstrToUtf8(WavFileName)); });
}

HRESULT TAviReader::Open(BSTR FileName) {
    return Guarded([&] {
        if (engine_.isOpen()) throw Error(reader::AviReaderEngine::kAlreadyOpenMessage);
        Close();
        engine_.open(cb::BstrToUtf8(FileName));
    });
}

HRESULT TAviReader::Close() {
    engine_.close();
    frameBitmap_.reset();
    return S_OK;
}

template <typename T, typename Field>
HRESULT TAviReader::GetFact(T* value, Field field) {
    if (!value) return E_POINTER;
    return Guarded([&] { *value = static_cast<T>(field(engine_.facts())); });
}

HRESULT TAviReader::get_Width(LONG* value) {
    return GetFact(value, [](const reader::AviFileFacts& facts) { return facts.width; });
}
HRESULT TAviReader::get_Height(LONG* value) {
    return GetFact(value, [](const reader::AviFileFacts& facts) { return facts.height; });
}
HRESULT TAviReader::get_CompressorHandler(LONG* value) {
    return GetFact(value, [](const reader::AviFileFacts& facts) { return facts.compressorHandler; });
}
HRESULT TAviReader::get_Quality(LONG* value) {
    return GetFact(value, [](const reader::AviFileFacts& facts) { return facts.quality; });
}
HRESULT TAviReader::get_FramesPerSecond(double* value) {
    return GetFact(value, [](const reader::AviFileFacts& facts) { return facts.framesPerSecond; });
}
HRESULT TAviReader::get_BytesPerSecond(LONG* value) {
    return GetFact(value, [](const reader::AviFileFacts& facts) { return facts.bytesPerSecond; });
}

HRESULT TAviReader::get_IsOpen(VARIANT_BOOL* value) { return ReadFlag(engine_.isOpen(), value); }

HRESULT TAviReader::get_Frames(IAviFrames** value) {
    if (!value) return E_POINTER;
    if (!frames_) frames_.reset(new TAviFrames(*this));
    return HandOut<IAviFrames>(frames_.get(), value);
}

int TAviReader::frameCountOrZero() const { return engine_.isOpen() ? engine_.facts().frameCount : 0; }

cb::Bitmap& TAviReader::frameBitmap() {
    if (!frameBitmap_) {
        const reader::AviFileFacts& facts = engine_.facts();
        frameBitmap_ = std::make_unique<cb::Bitmap>(facts.width, facts.height, 32);
    }
    return *frameBitmap_;
}

IDispatch* NewAviReader(Counting counting) { return new TAviReader(counting); }

// ---------------------------------------------------------------------------------------------
// TAviFrames

TAviFrames::TAviFrames(TAviReader& reader)
    : AutoObject(Counting::Embedded, static_cast<IAviReader*>(&reader)), reader_(reader) {}

HRESULT TAviFrames::get__NewEnum(IUnknown** value) {
    if (!value) return E_POINTER;
    *value = new TAviFrameEnumerator(reader_.link(), 0);
    return S_OK;
}

namespace {

// How many frames of a sequence from `start` the file has: a frame past either end fails before
// its file is written, and ends the sequence there.
LONG FramesPresent(LONG start, LONG count, int frameCount) {
    if (start < 0 || start >= frameCount || count <= 0) return 0;
    return static_cast<LONG>(std::min<long long>(count, static_cast<long long>(frameCount) - start));
}

}  // namespace

HRESULT TAviFrames::SaveSeq(LONG FrameStartIndex, LONG FrameCount, BSTR FileNamePrefix, BSTR FileNamePostfix,
                            LONG SequenceDigitCount, LONG SequenceStartNumber, LONG FileFormat,
                            LONG JpegQuality, LONG TiffCompression, LONG TiffColorDepth, LONG Width,
                            LONG Height) {
    return Guarded([&] {
        imaging::CheckLzwByFormat(FileFormat, TiffCompression);
        const std::string prefix = cb::BstrToUtf8(FileNamePrefix);
        const std::string postfix = cb::BstrToUtf8(FileNamePostfix);
        const FrameImageSettings settings{FileFormat,     JpegQuality, TiffCompression,
                                          TiffColorDepth, Width,       Height};
        const auto nameOf = [&](LONG i) {
            return reader::SequenceFileName(prefix, static_cast<long long>(SequenceStartNumber) + i,
                                            SequenceDigitCount, postfix);
        };
        // A sequence one of whose files would take the place of the file being read writes none of
        // them: every name is looked at before the first frame is saved.
        const LONG present = FramesPresent(FrameStartIndex, FrameCount, reader_.frameCountOrZero());
        for (LONG i = 0; i < present; ++i) {
            const std::string name = nameOf(i);
            imaging::CheckLzwByExtension(name, TiffCompression);
            reader::RefuseOutputOverSource(reader_.engine().path(),
                                           imaging::ResolveSaveTarget(name, FileFormat).fileName);
        }
        for (LONG i = 0; i < FrameCount; ++i) {
            const std::string name = nameOf(i);
            const long long index = static_cast<long long>(FrameStartIndex) + i;
            imaging::CheckLzwByExtension(name, TiffCompression);
            // An index past the 32-bit range is no frame of any file.
            SaveFrameFile(reader_, index > std::numeric_limits<LONG>::max() ? -1 : static_cast<LONG>(index),
                          name, settings);
        }
    });
}

HRESULT TAviFrames::get_Item(LONG Index, IAviFrame** value) {
    if (!value) return E_POINTER;
    *value = new TAviFrame(reader_.link(), Index);
    return S_OK;
}

HRESULT TAviFrames::get_Count(LONG* value) {
    if (!value) return E_POINTER;
    return Guarded([&] { *value = reader_.engine().facts().frameCount; });
}

HRESULT TAviFrames::EnableLZW() {
    vidmill::EnableLZW();
    return S_OK;
}

}  // namespace vidmill
