// Speed of the per-frame picture work of a render against the video encoder's work on that frame.
//
//   picture_ops_bench [FRAMES]
//       For outputs of 352 x 288 and 1280 x 720: nanoseconds per output pixel of
//       CropStretchToPixels (a half-size source with 2-pixel margins, and a source of the output's
//       size), of ApplyOverlayPixels with two transparent colours and of BlendOverlayPixels with
//       the same colours (an opaque overlay, and one whose alpha runs through every value); then
//       the time FFmpeg's
//       msvideo1 encoder ("MSVC", the default compressor) takes for the same frames, and the ratio.
//       FRAMES (default 200) frames are timed for each figure; the median of 5 runs is printed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "cbplatform/ffmpeg_owners.h"
#include "cbplatform/picture.h"
#include "media/pixels/overlay_pixels.h"
#include "media/pixels/picture_operation.h"

namespace {

using Clock = std::chrono::steady_clock;
using composer::PixelBuffer;

// A source picture with something in every pixel: diagonal colour ramps.
cb::ComPtr<IPicture> SourcePicture(int width, int height) {
    auto bitmap = std::make_shared<cb::Bitmap>(width, height, 32);
    for (int row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(bitmap->topRow(row));
        for (int column = 0; column < width; ++column)
            line[column] = 0xFF000000u | static_cast<uint32_t>((row + column) & 0xFF) << 16 |
                           static_cast<uint32_t>((row * 3) & 0xFF) << 8 |
                           static_cast<uint32_t>((column * 5) & 0xFF);
    }
    return cb::CreatePicture(bitmap);
}

// Median over runs of the seconds one call of work takes, timed over `frames` calls per run.
template <typename Work>
double SecondsPerFrame(int frames, Work work) {
    std::vector<double> runs;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        for (int frame = 0; frame < frames; ++frame) work(frame);
        runs.push_back(std::chrono::duration<double>(Clock::now() - start).count() / frames);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// FFmpeg's msvideo1 encoder at the output size, fed frames converted from the pixel buffers.
class MsVideo1Encoder {
  public:
    MsVideo1Encoder(int width, int height) : width_(width), height_(height) {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1);
        if (!codec) return;
        context_.reset(avcodec_alloc_context3(codec));
        context_->width = width;
        context_->height = height;
        context_->pix_fmt = AV_PIX_FMT_RGB555LE;
        context_->time_base = AVRational{1, 25};
        context_->gop_size = 250;
        if (avcodec_open2(context_.get(), codec, nullptr) < 0) {
            context_.reset();
            return;
        }
        frame_.reset(av_frame_alloc());
        frame_->format = AV_PIX_FMT_RGB555LE;
        frame_->width = width;
        frame_->height = height;
        av_frame_get_buffer(frame_.get(), 0);
        packet_.reset(av_packet_alloc());
        scaler_.reset(sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_RGB555LE,
                                     SWS_POINT, nullptr, nullptr, nullptr));
    }
    bool usable() const { return context_ && scaler_; }

    // The pixel buffer (bottom-up) into the encoder's frame (top-down).
    void Convert(const PixelBuffer& pixels) {
        av_frame_make_writable(frame_.get());
        const int stride = -4 * width_;
        const auto* lastRow =
            reinterpret_cast<const uint8_t*>(pixels.data() + static_cast<size_t>(height_ - 1) * width_);
        const uint8_t* planes[1] = {lastRow};
        sws_scale(scaler_.get(), planes, &stride, 0, height_, frame_->data, frame_->linesize);
    }
    void Encode(int64_t number) {
        frame_->pts = number;
        avcodec_send_frame(context_.get(), frame_.get());
        while (avcodec_receive_packet(context_.get(), packet_.get()) == 0) av_packet_unref(packet_.get());
    }

  private:
    int width_, height_;
    cb::CodecContextPtr context_;
    cb::FramePtr frame_;
    cb::PacketPtr packet_;
    cb::ScalerPtr scaler_;
};

void Measure(int width, int height, int frames) {
    const double pixels = static_cast<double>(width) * height;
    const auto half = SourcePicture(width / 2, height / 2);
    const auto full = SourcePicture(width, height);
    PixelBuffer frame, overlay;

    const double stretchHalf = SecondsPerFrame(frames, [&](int) {
        composer::CropStretchToPixels(half.get(), width / 2, height / 2, width, height, frame, 2, 2, 2, 2);
    });
    const double stretchFull = SecondsPerFrame(frames, [&](int) {
        composer::CropStretchToPixels(full.get(), width, height, width, height, overlay, 0, 0, 0, 0);
    });
    // Two transparent colours that leave out about a third of the overlay's pixels.
    std::vector<composer::TransColorRec> colors(1);
    colors.push_back({0, 0, 0, 20});
    colors.push_back({200, 100, 50, 10});
    PixelBuffer base = frame;
    const double overlayTime = SecondsPerFrame(frames, [&](int) {
        composer::ApplyOverlayPixels(base, overlay, static_cast<int64_t>(base.size()), colors, 2);
    });
    PixelBuffer opaque = overlay, mixed = overlay;
    for (std::size_t p = 0; p < overlay.size(); ++p) {
        opaque[p] |= 0xFF000000u;
        mixed[p] = (mixed[p] & 0x00FFFFFFu) | static_cast<uint32_t>(p % 256) << 24;
    }
    const auto blendTime = [&](const PixelBuffer& laid) {
        return SecondsPerFrame(frames, [&](int) {
            composer::BlendOverlayPixels(base, laid, static_cast<int64_t>(base.size()), colors, 2);
        });
    };
    const double blendOpaqueTime = blendTime(opaque);
    const double blendMixedTime = blendTime(mixed);

    MsVideo1Encoder encoder(width, height);
    if (!encoder.usable()) {
        std::printf("%dx%d: the msvideo1 encoder is not available\n", width, height);
        return;
    }
    // Frames that change, so that the encoder cannot skip every block.
    std::vector<PixelBuffer> inputs;
    for (int shift = 0; shift < 8; ++shift) {
        composer::CropStretchToPixels(full.get(), width, height, width, height, frame, shift, 0, shift, 0);
        inputs.push_back(frame);
    }
    int64_t number = 0;
    const double convertTime =
        SecondsPerFrame(frames, [&](int i) { encoder.Convert(inputs[i % inputs.size()]); });
    const double encodeTime = SecondsPerFrame(frames, [&](int i) {
        encoder.Convert(inputs[i % inputs.size()]);
        encoder.Encode(number++);
    });

    const double ours = stretchHalf + overlayTime;
    std::printf("%dx%d (%d frames per figure, median of 5 runs)\n", width, height, frames);
    std::printf("  CropStretchToPixels, half-size source:  %7.2f ns/pixel  %8.3f ms/frame\n",
                stretchHalf / pixels * 1e9, stretchHalf * 1e3);
    std::printf("  CropStretchToPixels, same-size source:  %7.2f ns/pixel  %8.3f ms/frame\n",
                stretchFull / pixels * 1e9, stretchFull * 1e3);
    std::printf("  ApplyOverlayPixels, 2 colours:          %7.2f ns/pixel  %8.3f ms/frame\n",
                overlayTime / pixels * 1e9, overlayTime * 1e3);
    std::printf("  BlendOverlayPixels, 2 colours, opaque:  %7.2f ns/pixel  %8.3f ms/frame\n",
                blendOpaqueTime / pixels * 1e9, blendOpaqueTime * 1e3);
    std::printf("  BlendOverlayPixels, 2 colours, mixed:   %7.2f ns/pixel  %8.3f ms/frame\n",
                blendMixedTime / pixels * 1e9, blendMixedTime * 1e3);
    std::printf(
        "  msvideo1 encoder (with RGB555 input):   %7.2f ns/pixel  %8.3f ms/frame (conversion %.3f ms)\n",
        encodeTime / pixels * 1e9, encodeTime * 1e3, convertTime * 1e3);
    std::printf("  stretch + overlay = %.1f %% of the encoder's time (ratio 1 : %.1f)\n",
                100.0 * ours / encodeTime, encodeTime / ours);
}

}  // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    Measure(352, 288, frames);
    Measure(1280, 720, frames / 4 > 0 ? frames / 4 : 1);
    return 0;
}
