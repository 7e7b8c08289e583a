// Encoding of an image into one of the five file formats through FFmpeg's image encoders, and
// saving the result to a file or a stream.
#include "imaging/image_encoder.h"

#include <cstdio>
#include <optional>

#include "cbplatform/file_owner.h"
#include "cbplatform/stream.h"
#include "frame/error.h"
#include "imaging/bitmap_scaling.h"
#include "imaging/gif_palette.h"
#include "imaging/image_formats.h"
#include "vidmill/vidmill.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace vidmill::imaging {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The JPEG quality used when the caller leaves it to the encoder: the customary default of
// JPEG encoders, which keeps photographs free of visible blocks at a moderate size.
constexpr int kDefaultJpegQuality = 75;
// Pictures carry the screen resolution the library draws at.
constexpr int kDotsPerInch = 96;

// The quantiser 1 (finest) .. 31 (coarsest) that a JPEG quality 100 .. 0 stands for.
int QuantiserForJpegQuality(int quality) { return 1 + ((100 - quality) * 30 + 50) / 100; }

AVPixelFormat EncodedLayout(LONG formatCode, const EncoderParameters& parameters) {
    switch (formatCode) {
        case FileFormatBMP:
            return AV_PIX_FMT_BGR24;
        case FileFormatGIF:
            return AV_PIX_FMT_PAL8;
        case FileFormatJPEG:
            return AV_PIX_FMT_YUV420P;
        case FileFormatTIFF:
            return parameters.tiffColorDepth == TiffColorDepth32bit ? AV_PIX_FMT_RGBA : AV_PIX_FMT_RGB24;
        default:
            return AV_PIX_FMT_RGB24;
    }
}

// Format-specific settings of a codec context that is not open yet.
void Configure(AVCodecContext& context, LONG formatCode, const EncoderParameters& parameters) {
    if (formatCode == FileFormatJPEG) {
        const int quantiser = QuantiserForJpegQuality(parameters.jpegQuality.value_or(kDefaultJpegQuality));
        context.color_range = AVCOL_RANGE_JPEG;
        context.flags |= AV_CODEC_FLAG_QSCALE;
        context.global_quality = quantiser * FF_QP2LAMBDA;
        context.qmin = 1;
        context.qmax = 31;
    } else if (formatCode == FileFormatTIFF) {
        const char* compression = "packbits";
        if (parameters.tiffCompression == TiffCompressionLZW) compression = "lzw";
        if (parameters.tiffCompression == TiffCompressionNone) compression = "raw";
        av_opt_set(context.priv_data, "compression_algo", compression, 0);
        av_opt_set_int(context.priv_data, "dpi", kDotsPerInch, 0);
    }
}

cb::FramePtr PictureFor(const cb::Bitmap& image, AVPixelFormat layout) {
    return layout == AV_PIX_FMT_PAL8 ? PaletteFrame(image) : ConvertBitmap(image, layout);
}

// Sends the picture and collects everything the encoder makes of it; empty on failure.
Bytes RunEncoder(AVCodecContext& context, AVFrame& picture) {
    cb::PacketPtr packet(av_packet_alloc());
    if (!packet) throw std::bad_alloc();
    if (avcodec_send_frame(&context, &picture) < 0 || avcodec_send_frame(&context, nullptr) < 0) return {};
    Bytes encoded;
    for (;;) {
        const int result = avcodec_receive_packet(&context, packet.get());
        if (result == AVERROR_EOF) return encoded;
        if (result < 0) return {};
        encoded.insert(encoded.end(), packet->data, packet->data + packet->size);
        av_packet_unref(packet.get());
    }
}

// The encoded file, or nothing when the encoder is missing or refuses the image.
std::optional<Bytes> TryEncode(const cb::Bitmap& image, const ImageFormat& format,
                               const EncoderParameters& parameters) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(format.encoderName);
    if (encoder == nullptr || image.empty()) return std::nullopt;
    const AVPixelFormat layout = EncodedLayout(format.code, parameters);
    cb::FramePtr picture = PictureFor(image, layout);
    cb::CodecContextPtr context(avcodec_alloc_context3(encoder));
    if (!context) throw std::bad_alloc();
    context->width = image.width();
    context->height = image.height();
    context->pix_fmt = layout;
    context->time_base = AVRational{1, 25};
    context->thread_count = 1;
    Configure(*context, format.code, parameters);
    if (avcodec_open2(context.get(), encoder, nullptr) < 0) return std::nullopt;
    picture->quality = context->global_quality;
    Bytes encoded = RunEncoder(*context, *picture);
    if (encoded.empty()) return std::nullopt;
    // The GIF encoder leaves the file's closing byte to a muxer.
    if (format.code == FileFormatGIF && encoded.back() != ';') encoded.push_back(';');
    return encoded;
}

bool WriteFile(const std::string& fileName, const Bytes& bytes) {
    cb::FilePtr file(std::fopen(fileName.c_str(), "wb"));
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    const bool closed = std::fclose(file.release()) == 0;
    if (written && closed) return true;
    std::remove(fileName.c_str());
    return false;
}

bool WriteStream(IStream& stream, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        ULONG written = 0;
        if (FAILED(stream.Write(bytes.data() + done, chunk, &written)) || written == 0) return false;
        done += written;
    }
    return true;
}

std::string CannotSaveFileText(const std::string& fileName) {
    std::string text = kCannotSaveFile;
    text.replace(text.find("%s"), 2, fileName);
    return text;
}

}  // namespace

std::vector<std::uint8_t> EncodeImage(const cb::Bitmap& image, LONG formatCode,
                                      const EncoderParameters& parameters) {
    std::optional<Bytes> encoded = TryEncode(image, FindImageFormat(formatCode), parameters);
    if (!encoded) throw Error(std::string("Cannot encode image as ") + FindImageFormat(formatCode).mimeType);
    return std::move(*encoded);
}

void SaveImageFile(const cb::Bitmap& image, const std::string& fileName, LONG formatCode,
                   const EncoderParameters& parameters) {
    const std::optional<Bytes> encoded = TryEncode(image, FindImageFormat(formatCode), parameters);
    if (!encoded || !WriteFile(fileName, *encoded)) throw Error(CannotSaveFileText(fileName));
}

void SaveImageStream(const cb::Bitmap& image, IStream& stream, LONG formatCode,
                     const EncoderParameters& parameters) {
    const std::optional<Bytes> encoded = TryEncode(image, FindImageFormat(formatCode), parameters);
    if (!encoded || !WriteStream(stream, *encoded)) throw Error(kCannotSaveStream);
}

}  // namespace vidmill::imaging
