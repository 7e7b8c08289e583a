#include "writer/avi_output.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace vidmill::writer {

std::unique_ptr<AviOutput> AviOutput::Create(const std::string& path) {
    std::unique_ptr<AviOutput> output(new AviOutput());
    if (avformat_alloc_output_context2(&output->context_, av_guess_format("avi", nullptr, nullptr), nullptr,
                                       path.c_str()) < 0)
        return nullptr;
    if (avio_open(&output->context_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return nullptr;
    // Raw RGB frames arrive in bitmap order, bottom row first: the header says so with a
    // positive height, the way bitmap readers expect it.
    av_opt_set_int(output->context_->priv_data, "flipped_raw_rgb", 1, 0);
    return output;
}

AviOutput::~AviOutput() { release(); }

void AviOutput::release() {
    if (context_ == nullptr) return;
    if (context_->pb != nullptr) avio_closep(&context_->pb);
    avformat_free_context(context_);
    context_ = nullptr;
}

int AviOutput::addStream(const AVCodecParameters& parameters, AVRational timeBase) {
    AVStream* stream = avformat_new_stream(context_, nullptr);
    if (stream == nullptr || avcodec_parameters_copy(stream->codecpar, &parameters) < 0) return -1;
    stream->time_base = timeBase;
    if (parameters.codec_type == AVMEDIA_TYPE_VIDEO) {
        stream->avg_frame_rate = av_inv_q(timeBase);
        stream->r_frame_rate = stream->avg_frame_rate;
    }
    return stream->index;
}

bool AviOutput::start() {
    started_ = avformat_write_header(context_, nullptr) >= 0;
    return started_;
}

AVRational AviOutput::timeBase(int stream) const { return context_->streams[stream]->time_base; }

bool AviOutput::write(AVPacket& packet, int stream, bool interleave) {
    packet.stream_index = stream;
    const int result = interleave ? av_interleaved_write_frame(context_, &packet) : av_write_frame(context_, &packet);
    return result >= 0 && context_->pb->error >= 0;
}

bool AviOutput::finish() {
    bool ok = started_ && av_write_trailer(context_) >= 0;
    if (context_->pb != nullptr) {
        avio_flush(context_->pb);
        ok = ok && context_->pb->error >= 0;
        ok = avio_closep(&context_->pb) >= 0 && ok;
    }
    release();
    return ok;
}

}  // namespace vidmill::writer
