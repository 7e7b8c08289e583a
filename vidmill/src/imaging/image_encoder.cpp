// Encoding of an image into one of the five file formats (BMP by the band writer, the others
// through FFmpeg's image encoders), and saving the result to a file or a stream as it is made.
#include "imaging/image_encoder.h"

#include <cstdio>
#include <optional>

#include "cbplatform/file_owner.h"
#include "cbplatform/staged_file.h"
#include "cbplatform/stream.h"
#include "frame/error.h"
#include "imaging/bitmap_scaling.h"
#include "imaging/bmp_writer.h"
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

// Sends the picture and hands each packet the encoder makes to sink as it comes, so the encoded
// file is never held whole. The bytes given so far; nothing (-1) when the encoder failed or the
// sink refused bytes.
std::int64_t RunEncoder(AVCodecContext& context, AVFrame& picture, const ByteSink& sink,
                        std::uint8_t& lastByte) {
    cb::PacketPtr packet(av_packet_alloc());
    if (!packet) throw std::bad_alloc();
    if (avcodec_send_frame(&context, &picture) < 0 || avcodec_send_frame(&context, nullptr) < 0) return -1;
    std::int64_t given = 0;
    for (;;) {
        const int result = avcodec_receive_packet(&context, packet.get());
        if (result == AVERROR_EOF) return given;
        if (result < 0) return -1;
        if (packet->size > 0) {
            if (!sink(packet->data, static_cast<std::size_t>(packet->size))) return -1;
            given += packet->size;
            lastByte = packet->data[packet->size - 1];
        }
        av_packet_unref(packet.get());
    }
}

// Encodes through FFmpeg into sink; false when the encoder is missing, refuses the image, makes
// nothing, or the sink refused bytes.
bool EncodeWithFfmpeg(const cb::Bitmap& image, const ImageFormat& format, const EncoderParameters& parameters,
                      const ByteSink& sink) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(format.encoderName);
    if (encoder == nullptr || image.empty()) return false;
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
    if (avcodec_open2(context.get(), encoder, nullptr) < 0) return false;
    picture->quality = context->global_quality;
    std::uint8_t lastByte = 0;
    const std::int64_t given = RunEncoder(*context, *picture, sink, lastByte);
    if (given <= 0) return false;
    // The GIF encoder leaves the file's closing byte to a muxer.
    static constexpr std::uint8_t kGifTrailer = ';';
    return format.code != FileFormatGIF || lastByte == kGifTrailer || sink(&kGifTrailer, 1);
}

// The encoded file into sink. BMP is written here band by band; the other formats need their
// FFmpeg encoder's whole-picture input.
bool Encode(const cb::Bitmap& image, const ImageFormat& format, const EncoderParameters& parameters,
            const ByteSink& sink) {
    if (format.code == FileFormatBMP) return WriteBmp(image, sink);
    return EncodeWithFfmpeg(image, format, parameters, sink);
}

// The file is written under a name of its own beside fileName and renamed over it only when
// complete: an image that cannot be encoded or written leaves what had the name before.
bool WriteFile(const std::string& fileName, const cb::Bitmap& image, const ImageFormat& format,
               const EncoderParameters& parameters) {
    if (image.empty()) return false;  // nothing to write: no file either
    std::optional<cb::StagedFile> staged = cb::StagedFile::Reserve(fileName);
    if (!staged) return false;
    cb::FilePtr file(std::fopen(staged->path().c_str(), "wb"));  // closed before the partial file goes
    if (file == nullptr) return false;
    const bool written = Encode(image, format, parameters, [&](const std::uint8_t* bytes, std::size_t count) {
        return std::fwrite(bytes, 1, count, file.get()) == count;
    });
    const bool closed = std::fclose(file.release()) == 0;
    return written && closed && staged->commit();
}

bool WriteStream(IStream& stream, const std::uint8_t* bytes, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(count - done, 1u << 30));
        ULONG written = 0;
        if (FAILED(stream.Write(bytes + done, chunk, &written)) || written == 0) return false;
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
    const ImageFormat& format = FindImageFormat(formatCode);
    Bytes encoded;
    const bool done = Encode(image, format, parameters, [&](const std::uint8_t* bytes, std::size_t count) {
        encoded.insert(encoded.end(), bytes, bytes + count);
        return true;
    });
    if (!done) throw Error(std::string("Cannot encode image as ") + format.mimeType);
    return encoded;
}

void SaveImageFile(const cb::Bitmap& image, const std::string& fileName, LONG formatCode,
                   const EncoderParameters& parameters) {
    if (!WriteFile(fileName, image, FindImageFormat(formatCode), parameters))
        throw Error(CannotSaveFileText(fileName));
}

void SaveImageStream(const cb::Bitmap& image, IStream& stream, LONG formatCode,
                     const EncoderParameters& parameters) {
    const bool done = Encode(
        image, FindImageFormat(formatCode), parameters,
        [&](const std::uint8_t* bytes, std::size_t count) { return WriteStream(stream, bytes, count); });
    if (!done) throw Error(kCannotSaveStream);
}

}  // namespace vidmill::imaging
