#include "cbplatform/picture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "cbplatform/com_object.h"
#include "cbplatform/ffmpeg_owners.h"
#include "cbplatform/gdi.h"
#include "cbplatform/media_input.h"
#include "cbplatform/media_log.h"
#include "cbplatform/orientation.h"
#include "gdi/stretch_core.h"

// Decoding the first image of a file or of bytes in memory into a 32-bit bitmap, with FFmpeg's
// image demuxers and decoders.
namespace cb {
namespace {

// Pictures larger than this are refused: width × height × 4 must fit a signed 32-bit value.
bool SizeAllowed(int width, int height) {
    return width > 0 && height > 0 && static_cast<long long>(width) * height * 4 <= INT_MAX;
}

// Bytes held in memory, read by the demuxer through its own I/O callbacks.
struct MemorySource {
    const std::vector<std::uint8_t>& bytes;
    std::size_t position = 0;

    static int Read(void* opaque, std::uint8_t* buffer, int size) {
        auto& source = *static_cast<MemorySource*>(opaque);
        const std::size_t count =
            std::min(source.bytes.size() - source.position, static_cast<std::size_t>(size));
        if (count == 0) return AVERROR_EOF;
        std::memcpy(buffer, source.bytes.data() + source.position, count);
        source.position += count;
        return static_cast<int>(count);
    }
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto& source = *static_cast<MemorySource*>(opaque);
        const auto size = static_cast<std::int64_t>(source.bytes.size());
        if (whence & AVSEEK_SIZE) return size;
        const std::int64_t base = (whence & 3) == SEEK_CUR   ? static_cast<std::int64_t>(source.position)
                                  : (whence & 3) == SEEK_END ? size
                                                             : 0;
        const std::int64_t target = base + offset;
        if (target < 0 || target > size) return -1;
        source.position = static_cast<std::size_t>(target);
        return target;
    }
};

struct IoContextFree {
    void operator()(AVIOContext* io) const {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

// How the decoder meets damage: takes what it can, or gives no picture at all.
enum class Damage { Concealed, Refused };

// The size of a picture refused for having too many pixels.
struct RefusedSize {
    int width = 0;
    int height = 0;
};

// The decoder's frame allocator: a picture over the limit gets no pixels, and its size is kept
// for the reason.
int AllocateAllowedPicture(AVCodecContext* codec, AVFrame* frame, int flags) {
    // The picture's own size (the frame's may be rounded up to whole coding blocks).
    if (static_cast<std::int64_t>(codec->width) * codec->height > kLargestPicturePixels) {
        *static_cast<RefusedSize*>(codec->opaque) = {codec->width, codec->height};
        return AVERROR(EINVAL);
    }
    return avcodec_default_get_buffer2(codec, frame, flags);
}

// Reads the stream facts with decoders that refuse pictures over the limit: finding them decodes
// the first picture, which must not allocate what a huge size asks for.
bool FindStreamFacts(AVFormatContext* input) {
    std::vector<AVDictionary*> options(input->nb_streams, nullptr);
    const std::string most = std::to_string(kLargestPicturePixels);
    for (AVDictionary*& streamOptions : options) av_dict_set(&streamOptions, "max_pixels", most.c_str(), 0);
    const bool found = avformat_find_stream_info(input, options.data()) >= 0;
    for (AVDictionary*& streamOptions : options) av_dict_free(&streamOptions);
    return found;
}

// Sends a packet (null: the end) and tells whether the decoder refused it as damaged.
std::string SendDamage(AVCodecContext* codec, const AVPacket* packet) {
    const int code = avcodec_send_packet(codec, packet);
    if (code >= 0 || code == AVERROR(EAGAIN) || code == AVERROR_EOF) return "";
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The first picture of the file. What the demuxer or decoder reported damaged on the way, in
// `damage`: many image decoders log a strip that ran out of its data and still give the picture.
FramePtr DecodeFirstFrame(AVFormatContext* input, std::string& damage, RefusedSize& oversize,
                          Damage mode = Damage::Concealed) {
    MediaErrorListener errors;
    errors.Listen(input);
    if (!FindStreamFacts(input)) return nullptr;
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || decoder == nullptr) return nullptr;
    CodecContextPtr codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), input->streams[stream]->codecpar) < 0)
        return nullptr;
    // One thread: the decoder then reports its errors on this one, where they are listened for.
    codec->thread_count = 1;
    if (mode == Damage::Refused) codec->err_recognition |= AV_EF_EXPLODE;
    codec->opaque = &oversize;
    codec->get_buffer2 = &AllocateAllowedPicture;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return nullptr;
    errors.Listen(codec.get());
    PacketPtr packet(av_packet_alloc());
    FramePtr picture(av_frame_alloc());
    if (!packet || !picture) return nullptr;
    bool draining = false;
    std::string refused;
    for (;;) {
        if (!draining) {
            if (av_read_frame(input, packet.get()) < 0) {
                draining = true;
                SendDamage(codec.get(), nullptr);
            } else if (packet->stream_index == stream) {
                const std::string why = SendDamage(codec.get(), packet.get());
                if (refused.empty()) refused = why;
            }
            av_packet_unref(packet.get());
        }
        const int result = avcodec_receive_frame(codec.get(), picture.get());
        if (result >= 0) {
            for (const std::string& why : {errors.First(), FrameDamage(*picture), refused})
                if (damage.empty()) damage = why;
            return picture;
        }
        if (result != AVERROR(EAGAIN) || draining) return nullptr;
    }
}

// Converts a decoded frame to a bottom-up 32-bit bitmap; formats without alpha come out opaque. A
// photo taken with the camera turned comes out upright, as its EXIF orientation asks.
Bitmap BitmapFromFrame(const AVFrame* frame) {
    if (!frame || !SizeAllowed(frame->width, frame->height)) return {};
    ScalerPtr scaler(sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                    frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr,
                                    nullptr));
    if (!scaler) return {};
    Bitmap bitmap(frame->width, frame->height, 32);
    // Writing the top row at the end of the store with a negative stride turns it bottom-up.
    std::uint8_t* top[4] = {bitmap.topRow(0), nullptr, nullptr, nullptr};
    const int stride[4] = {-static_cast<int>(bitmap.stride()), 0, 0, 0};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, top, stride);
    const Orientation orientation = OrientationOfFrame(*frame);
    if (orientation.IsUpright()) return bitmap;
    int width = frame->width;
    int height = frame->height;
    UprightSize(orientation, width, height);
    Bitmap upright(width, height, 32);
    TurnUpright(bitmap, orientation, upright);
    return upright;
}

// The picture of an opened file. `problem`, when given: why there is none (where known), or the
// damage reported while decoding the one there is ("" when whole).
Bitmap DecodeOpened(AVFormatContext* opened, std::string* problem) {
    InputFormatPtr input(opened);
    RefusedSize refused;
    std::string damage;
    const FramePtr frame = DecodeFirstFrame(input.get(), damage, refused);
    Bitmap bitmap = BitmapFromFrame(frame.get());
    if (problem == nullptr) return bitmap;
    if (!bitmap.empty())
        *problem = damage;
    else if (refused.width > 0)
        *problem = "it is " + OversizePictureText(refused.width, refused.height);
    return bitmap;
}

}  // namespace

std::string OversizePictureText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height) +
           " pixels: pictures of more than 8192 x 8192 pixels in all are not read";
}

Bitmap DecodeImageFile(const std::string& path, std::string* problem) {
    if (problem != nullptr) problem->clear();
    AVFormatContext* opened = nullptr;
    const int code = OpenMediaInput(&opened, path);
    if (code < 0) {
        if (problem != nullptr) *problem = MediaFailureText(code);
        return {};
    }
    return DecodeOpened(opened, problem);
}

bool ImageFileDecodesWhole(const std::string& path) {
    AVFormatContext* opened = nullptr;
    if (OpenMediaInput(&opened, path) < 0) return false;
    InputFormatPtr input(opened);
    std::string damage;
    RefusedSize refused;
    const FramePtr frame = DecodeFirstFrame(input.get(), damage, refused, Damage::Refused);
    return frame && SizeAllowed(frame->width, frame->height) && damage.empty();
}

Bitmap DecodeImageBytes(const std::vector<std::uint8_t>& bytes) {
    constexpr int kBufferBytes = 4096;
    if (bytes.empty()) return {};
    MemorySource source{bytes};
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBufferBytes));
    if (buffer == nullptr) return {};
    std::unique_ptr<AVIOContext, IoContextFree> io(avio_alloc_context(
        buffer, kBufferBytes, 0, &source, &MemorySource::Read, nullptr, &MemorySource::Seek));
    if (!io) {
        av_free(buffer);
        return {};
    }
    AVFormatContext* opened = avformat_alloc_context();
    if (opened == nullptr) return {};
    opened->pb = io.get();
    opened->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure avformat_open_input frees the context; the I/O context stays ours.
    if (avformat_open_input(&opened, nullptr, nullptr, nullptr) < 0) return {};
    return DecodeOpened(opened, nullptr);
}

}  // namespace cb

// The picture object: a bitmap shared with whoever made it, its size in HIMETRIC, and Render.
namespace cb {
namespace {

// How this layer finds the bitmap behind a picture it made.
struct IPlatformPicture : IUnknown {
    static constexpr IID kIid = MakeGuid("{5C0F3B52-8E4A-4C1B-9D6E-2B7A1F94C3D8}");
    virtual std::shared_ptr<Bitmap> bitmap() = 0;

  protected:
    ~IPlatformPicture() = default;
};

// Source row (counted from the top) of a HIMETRIC run that starts at y (from the bottom edge).
auto HimetricRows(double y, double extent, int height) {
    return [=](double f) {
        const double up = (y + f * extent) / kHimetricPerPixel;
        const int fromBottom = static_cast<int>(std::floor(up));
        const int row = height - 1 - fromBottom;
        return fromBottom >= 0 && row >= 0 ? row : -1;
    };
}

auto HimetricColumns(double x, double extent, int width) {
    return [=](double f) {
        const int column = static_cast<int>(std::floor((x + f * extent) / kHimetricPerPixel));
        return column >= 0 && column < width ? column : -1;
    };
}

class PictureObject final : public RefCountedObject<PictureObject, IPicture, IPlatformPicture> {
  public:
    explicit PictureObject(std::shared_ptr<Bitmap> bitmap) : bitmap_(std::move(bitmap)) {}

    HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) override {
        if (!width) return E_POINTER;
        *width = PixelsToHimetric(bitmap_->width());
        return S_OK;
    }
    HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) override {
        if (!height) return E_POINTER;
        *height = PixelsToHimetric(bitmap_->height());
        return S_OK;
    }
    HRESULT Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XSIZE_HIMETRIC xSrc, OLE_YSIZE_HIMETRIC ySrc,
                   OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc, const void*) override {
        Bitmap* surface = BitmapOfDC(dc);
        if (!surface) return E_INVALIDARG;
        const Bitmap& source = *bitmap_;
        const AxisMap columns =
            MapAxis(x, cx, surface->width(), HimetricColumns(xSrc, cxSrc, source.width()));
        const AxisMap rows = MapAxis(y, cy, surface->height(), HimetricRows(ySrc, cySrc, source.height()));
        if (surface == &source) {
            const Bitmap copy = source;
            CopyThroughMaps(*surface, columns, rows, copy);
        } else {
            CopyThroughMaps(*surface, columns, rows, source);
        }
        return S_OK;
    }
    std::shared_ptr<Bitmap> bitmap() override { return bitmap_; }

  private:
    std::shared_ptr<Bitmap> bitmap_;
};

}  // namespace

std::int32_t PixelsToHimetric(int pixels) {
    return static_cast<std::int32_t>(std::lround(pixels * kHimetricPerPixel));
}

int HimetricToPixels(std::int32_t himetric) {
    return static_cast<int>(std::lround(himetric / kHimetricPerPixel));
}

ComPtr<IPicture> CreatePicture(std::shared_ptr<Bitmap> bitmap) {
    if (!bitmap || bitmap->empty()) return nullptr;
    return ComPtr<IPicture>::Adopt(new PictureObject(std::move(bitmap)));
}

std::shared_ptr<Bitmap> PictureBitmap(IPicture* picture) {
    if (!picture) return nullptr;
    ComPtr<IPlatformPicture> own;
    if (FAILED(picture->QueryInterface(IPlatformPicture::kIid, reinterpret_cast<void**>(own.put()))))
        return nullptr;
    return own->bitmap();
}

ComPtr<IPicture> LoadPicture(const std::string& path, std::string* problem) {
    Bitmap decoded = DecodeImageFile(path, problem);
    if (decoded.empty()) return nullptr;
    return CreatePicture(std::make_shared<Bitmap>(std::move(decoded)));
}

}  // namespace cb
