#include "containers/picture_index.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <utility>

#include "base/app_state.h"
#include "cbplatform/media_input.h"
#include "containers/stream_pictures.h"
#include "containers/video_decoder.h"

namespace composer {
namespace {

// Lossless intra-frame codecs, fastest first: each picture decodes on its own in a few milliseconds
// at 720p. The second keeps the formats the first does not (more bits, odd sizes).
constexpr AVCodecID kCodecs[] = {AV_CODEC_ID_UTVIDEO, AV_CODEC_ID_FFV1};

// The index's share of the free space of its folder, and the most it takes on any disk.
constexpr int64_t kShareOfFreeSpace = 4;
constexpr int64_t kMostBytes = int64_t{16} << 30;

// The indexing thread's niceness: the owner's reads and the windows come first.
constexpr int kNiceness = 10;

// The folder the index file goes in: this run's work folder, else the temporary folder.
std::string IndexFolder() {
    if (!WorkFolder.empty()) return WorkFolder;
    if (!TempFolder.empty()) return TempFolder;
    return std::filesystem::temp_directory_path().string();
}

// A file without a name in `folder`, open for reading and writing; -1 when none can be made.
int OpenNamelessFile(const std::string& folder) {
    const int file = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (file >= 0) return file;
    std::string name = folder + "/cbidxXXXXXX";
    const int named = mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0) unlink(name.c_str());
    return named;
}

int64_t FreeBytes(int file) {
    struct statvfs space {};
    if (fstatvfs(file, &space) != 0) return 0;
    return static_cast<int64_t>(space.f_bavail) * static_cast<int64_t>(space.f_frsize);
}

// Moves `size` bytes between `data` and the file at `offset` with `transfer` (pread or pwrite), in
// as many calls as it takes. False when the file ends or fails first.
template <typename Bytes, typename Transfer>
bool TransferAll(Transfer transfer, int file, Bytes* data, int64_t size, int64_t offset) {
    while (size > 0) {
        const ssize_t moved = transfer(file, data, static_cast<std::size_t>(size), offset);
        if (moved < 0 && errno == EINTR) continue;
        if (moved <= 0) return false;
        data += moved;
        size -= moved;
        offset += moved;
    }
    return true;
}

bool Supports(const AVCodec& codec, AVPixelFormat format) {
    if (codec.pix_fmts == nullptr) return false;
    for (const AVPixelFormat* each = codec.pix_fmts; *each != AV_PIX_FMT_NONE; ++each) {
        if (*each == format) return true;
    }
    return false;
}

}  // namespace

void OwnedFile::reset(int file) {
    if (file_ >= 0) close(file_);
    file_ = file;
}

PictureIndex::PictureIndex(std::string path, int stream, std::vector<int64_t> times)
    : path_(std::move(path)), stream_(stream), times_(std::move(times)), folder_(IndexFolder()) {
    entries_.resize(times_.size());
    if (!readPacket_ || !coded_) throw std::bad_alloc();
    thread_ = std::thread([this] { Run(); });
}

PictureIndex::~PictureIndex() {
    stop_ = true;
    thread_.join();
}

bool PictureIndex::Has(int32_t picture) const {
    const std::lock_guard lock(mutex_);
    return picture >= 0 && static_cast<std::size_t>(picture) < entries_.size() &&
           entries_[static_cast<std::size_t>(picture)].offset >= 0;
}

bool PictureIndex::WaitUntilDone() {
    std::unique_lock lock(mutex_);
    doneChanged_.wait(lock, [this] { return done_; });
    return static_cast<std::size_t>(indexed_) == entries_.size();
}

void PictureIndex::Run() {
    // Linux gives each thread a niceness of its own.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kNiceness);
    try {
        IndexStream();
    } catch (...) {
        // Out of memory or the like: the pictures indexed so far stay usable.
    }
    encoder_.reset();
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    doneChanged_.notify_all();
}

void PictureIndex::IndexStream() {
    file_.reset(OpenNamelessFile(folder_));
    if (!file_) return;
    budget_ = std::min(FreeBytes(file_.get()) / kShareOfFreeSpace, kMostBytes);

    AVFormatContext* opened = nullptr;
    if (cb::OpenMediaInput(&opened, path_) < 0) return;
    const cb::InputFormatPtr input(opened);
    if (avformat_find_stream_info(opened, nullptr) < 0 || stream_ < 0 ||
        static_cast<unsigned>(stream_) >= opened->nb_streams)
        return;
    const AVStream& video = *opened->streams[stream_];
    const AVCodec* codec = FindVideoDecoder(video);
    if (codec == nullptr) return;
    const cb::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), video.codecpar) < 0) return;
    decoder->pkt_timebase = video.time_base;
    decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return;
    const cb::PacketPtr packet(av_packet_alloc());
    const cb::FramePtr frame(av_frame_alloc());
    if (!packet || !frame) throw std::bad_alloc();

    // Pictures are numbered as the owner's reader numbers them: by their time, else one on.
    int32_t last = -1;
    const auto keepDecoded = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            const int64_t time = frame->best_effort_timestamp;
            last = time == AV_NOPTS_VALUE ? last + 1 : NearestPicture(times_, time);
            const bool kept = Keep(*frame, last);
            av_frame_unref(frame.get());
            if (!kept) return false;
        }
        return true;
    };
    while (!stop_ && av_read_frame(opened, packet.get()) >= 0) {
        const bool ours = packet->stream_index == stream_ && (packet->flags & AV_PKT_FLAG_DISCARD) == 0;
        // A damaged packet is left out, as the owner's decoder leaves it out.
        if (ours) avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        if (ours && !keepDecoded()) return;
    }
    if (stop_) return;
    avcodec_send_packet(decoder.get(), nullptr);
    keepDecoded();
}

bool PictureIndex::OpenCoder(const AVFrame& first) {
    const auto format = static_cast<AVPixelFormat>(first.format);
    for (const AVCodecID id : kCodecs) {
        const AVCodec* codec = avcodec_find_encoder(id);
        if (codec == nullptr || !Supports(*codec, format)) continue;
        cb::CodecContextPtr encoder(avcodec_alloc_context3(codec));
        if (!encoder) throw std::bad_alloc();
        encoder->width = first.width;
        encoder->height = first.height;
        encoder->pix_fmt = format;
        encoder->time_base = AVRational{1, 25};
        encoder->thread_count = 1;
        encoder->gop_size = 1;  // every picture decodes on its own, with no state from the one before
        if (avcodec_open2(encoder.get(), codec, nullptr) < 0) continue;
        const std::lock_guard lock(mutex_);
        codec_ = id;
        tag_ = encoder->codec_tag;
        extradata_.assign(encoder->extradata, encoder->extradata + std::max(encoder->extradata_size, 0));
        width_ = first.width;
        height_ = first.height;
        format_ = format;
        encoder_ = std::move(encoder);
        return true;
    }
    return false;
}

// Codes `frame` (picture `picture`) into the file and publishes it. False when indexing must end.
bool PictureIndex::Keep(const AVFrame& frame, int32_t picture) {
    if (picture < 0 || static_cast<std::size_t>(picture) >= entries_.size() || Has(picture)) return true;
    if (!encoder_ && !OpenCoder(frame)) return false;
    // A stream whose pictures change size or format on the way is indexed up to the change.
    if (frame.width != width_ || frame.height != height_ || frame.format != format_) return false;
    if (avcodec_send_frame(encoder_.get(), &frame) < 0) return false;
    if (avcodec_receive_packet(encoder_.get(), coded_.get()) < 0) return false;
    const int size = coded_->size;
    const bool written =
        written_ + size <= budget_ && TransferAll(pwrite, file_.get(), coded_->data, size, written_);
    av_packet_unref(coded_.get());
    if (!written) return false;
    Entry entry;
    entry.offset = written_;
    entry.size = size;
    entry.range = frame.color_range;
    entry.space = frame.colorspace;
    entry.primaries = frame.color_primaries;
    entry.transfer = frame.color_trc;
    entry.chroma = frame.chroma_location;
    entry.aspect = frame.sample_aspect_ratio;
    written_ += size;
    const std::lock_guard lock(mutex_);
    entries_[static_cast<std::size_t>(picture)] = entry;
    ++indexed_;
    return true;
}

bool PictureIndex::OpenReadDecoder() {
    AVCodecID id = AV_CODEC_ID_NONE;
    std::vector<uint8_t> extradata;
    {
        const std::lock_guard lock(mutex_);
        id = codec_;
        extradata = extradata_;
    }
    const AVCodec* codec = avcodec_find_decoder(id);
    if (codec == nullptr) return false;
    cb::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder) throw std::bad_alloc();
    decoder->width = width_;
    decoder->height = height_;
    decoder->pix_fmt = format_;
    decoder->codec_tag = tag_;  // how the lossless codec tells its variant
    decoder->thread_count = 1;
    if (!extradata.empty()) {
        decoder->extradata =
            static_cast<uint8_t*>(av_mallocz(extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (decoder->extradata == nullptr) throw std::bad_alloc();
        std::copy(extradata.begin(), extradata.end(), decoder->extradata);
        decoder->extradata_size = static_cast<int>(extradata.size());
    }
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return false;
    reader_ = std::move(decoder);
    return true;
}

bool PictureIndex::Read(int32_t picture, AVFrame& into) {
    Entry entry;
    {
        const std::lock_guard lock(mutex_);
        if (picture < 0 || static_cast<std::size_t>(picture) >= entries_.size()) return false;
        entry = entries_[static_cast<std::size_t>(picture)];
    }
    if (entry.offset < 0 || (!reader_ && !OpenReadDecoder())) return false;
    av_packet_unref(readPacket_.get());
    if (av_new_packet(readPacket_.get(), entry.size) < 0) throw std::bad_alloc();
    if (!TransferAll(pread, file_.get(), readPacket_->data, entry.size, entry.offset)) return false;
    readPacket_->flags |= AV_PKT_FLAG_KEY;
    if (avcodec_send_packet(reader_.get(), readPacket_.get()) < 0 ||
        avcodec_receive_frame(reader_.get(), &into) < 0)
        return false;
    if (into.format != format_ || into.width != width_ || into.height != height_) {
        av_frame_unref(&into);
        return false;
    }
    into.color_range = entry.range;
    into.colorspace = entry.space;
    into.color_primaries = entry.primaries;
    into.color_trc = entry.transfer;
    into.chroma_location = entry.chroma;
    into.sample_aspect_ratio = entry.aspect;
    into.pts = into.best_effort_timestamp = times_[static_cast<std::size_t>(picture)];
    return true;
}

}  // namespace composer
