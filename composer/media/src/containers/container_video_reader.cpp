#include "media/containers/container_video_reader.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "cbplatform/ffmpeg_owners.h"
#include "cbplatform/media_log.h"
#include "cbplatform/orientation.h"
#include "cbplatform/picture.h"
#include "cbplatform/stream_length.h"
#include "cbplatform/worker_thread.h"
#include "containers/ffmpeg_error_text.h"
#include "containers/picture_index.h"
#include "containers/stream_pictures.h"
#include "containers/video_decoder.h"
#include "media/pixels/decoded_frame.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace composer {
namespace {

// A job of work done ahead of being asked: one that fails is work thrown away, and the owner meets
// the same failure when it does the work itself.
std::function<void()> WorkAhead(std::function<void()> work) {
    return [work = std::move(work)] {
        try {
            work();
        } catch (...) {
        }
    };
}

// Memory for the pictures kept for stepping back: a dozen small ones, a few of full HD.
constexpr std::size_t kRecentBytes = 32u << 20;

// Pictures ahead of the last decoded one that are reached by decoding on instead of seeking, even
// across a key frame: a few pictures decode faster than a seek and a fresh start of the decoder.
constexpr int32_t kDecodeOnPictures = 16;

// Pictures of this many pixels and more are decoded on one thread.
constexpr int kOneThreadPixels = 1920 * 1080;

// Memory for the decoded pictures kept while stepping back: two stretches of pictures, some 30 at
// 720p, 15 at full HD, more when smaller.
constexpr std::size_t kKeptBytes = 96u << 20;
constexpr int32_t kFewestKept = 4;
constexpr int32_t kMostKept = 250;

// Pictures ahead of the last decoded one that are decoded rather than read from the index: decoding
// the next picture or two costs less than reading one from the index.
constexpr int32_t kDecodeOnRatherThanIndex = 2;

// A reader asked for pictures away from where it decodes this many times is being browsed, not
// read through: its pictures are indexed in the background from then on.
constexpr int kJumpsBeforeIndexing = 2;

int64_t TimeOf(const AVPacket& packet) { return packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts; }

// Why the indexed pictures are not all the file says it holds: the demuxer reported damage while
// they were read (a cluster cut in two, a file that ended too soon), or they end well before the
// stated length. "" when they are whole.
std::string IndexDamage(const AVFormatContext& input, const AVStream& video, int64_t firstTime,
                        int64_t endTime, const std::string& demuxerError) {
    if (!demuxerError.empty()) return "the file is damaged: " + demuxerError;
    const double found = static_cast<double>(endTime - firstTime) * av_q2d(video.time_base);
    return cb::ShortfallText("the video", found, cb::StatedStreamSeconds(input, video));
}

}  // namespace

struct ContainerVideoReader::State {
    std::string path;
    cb::InputFormatPtr input;
    cb::CodecContextPtr decoder;
    cb::PacketPtr packet{av_packet_alloc()};
    cb::FramePtr incoming{av_frame_alloc()};
    cb::FramePtr decoded{av_frame_alloc()};  // the last picture the decoder gave
    cb::ScalerPtr scaler;
    int stream = -1;
    int32_t width = 0;  // the size of the pictures seen upright
    int32_t height = 0;
    // How the stored pictures are turned to be seen upright, and the stored picture converted before
    // it is turned (none when it is stored upright).
    cb::Orientation orientation;
    std::unique_ptr<cb::Bitmap> stored;
    std::vector<int64_t> times;        // presentation times of the stream's pictures, in order
    std::vector<int32_t> keyPictures;  // pictures (in presentation order) that are key frames
    // The clip's rate and count, and the pictures' times when they come at uneven intervals.
    StreamPictures clip;
    int32_t decodedPicture = -1;  // the picture in `decoded`; -1 when there is none
    int64_t wantedTime = 0;       // presentation time of the picture being decoded to
    bool atStart = true;          // nothing read since the file was opened or sought
    bool draining = false;        // the file's end was given to the decoder
    bool ended = false;           // the decoder gave its last picture
    // The pictures converted last, oldest first, so that stepping back a little needs no decoding.
    std::deque<std::pair<int32_t, std::shared_ptr<cb::Bitmap>>> recent;
    std::size_t recentLimit = 1;
    // Pictures decoded whole and kept while the user steps back between key frames, so that a step
    // back is a conversion, not a decode from the key frame; the stretch below is decoded in the
    // background before the steps reach it.
    std::map<int32_t, cb::FramePtr> kept;
    mutable std::mutex keptLock;    // `kept` is read by the steps while the next stretch is decoded
    int32_t stretch = kFewestKept;  // pictures decoded and kept at a time
    int32_t keepFrom = -1;          // while a stretch is decoded: its first and last picture
    int32_t keepTo = -1;
    int32_t lastPicture = -1;  // the picture asked for last
    // While the next picture is decoded ahead: the one the decoder gave before it, asked for again
    // when a clip slower than the movie shows a picture twice.
    cb::FramePtr before{av_frame_alloc()};
    int32_t beforePicture = -1;
    int64_t seeks = 0;
    int jumps = 0;  // pictures asked for that the decoder could not reach by decoding on
    std::unique_ptr<PictureIndex> pictureIndex;
    std::string damage;                      // what indexing found missing or damaged; "" when whole
    cb::FramePtr indexed{av_frame_alloc()};  // the last picture read from the index
    cb::WorkerThread ahead;  // the stretch decoded ahead of the steps; last, so it ends before the rest goes

    [[noreturn]] void Fail(const std::string& why) const {
        throw Failure("The video \"" + path + "\" cannot be read: " + why);
    }
    void OpenStream();
    void IndexPictures();
    void OpenDecoder();
    int32_t KeyAtOrBefore(int32_t picture) const;
    bool CanDecodeOnTo(int32_t picture) const;
    void SeekBefore(int32_t picture);
    bool DecodeNext();
    void DecodeTo(int32_t index, int32_t picture);
    void DecodePicture(int32_t index, int32_t picture);
    void SetStretch();
    int32_t StretchStart(int32_t picture) const;
    int32_t LowestKeptWith(int32_t picture) const;
    bool IsKept(int32_t picture) const;
    cb::FramePtr KeptCopy(int32_t picture) const;
    void MakeRoom(int32_t near, int32_t pictures);
    void KeepStretch(int32_t index, int32_t from, int32_t to, int32_t near);
    const AVFrame* Indexed(int32_t picture);
    const AVFrame& Picture(int32_t index, int32_t picture);
    std::shared_ptr<cb::Bitmap> Recent(int32_t picture) const;
    std::shared_ptr<cb::Bitmap> Convert(const AVFrame& frame, int32_t picture);
    void PlanAhead(int32_t index, int32_t picture);
    void DecodeAhead(int32_t index, int32_t picture);
};

void ContainerVideoReader::State::OpenStream() {
    AVFormatContext* opened = nullptr;
    const int code = cb::OpenMediaInput(&opened, path);
    if (code < 0) Fail(FfmpegErrorText(code));
    input.reset(opened);
    if (avformat_find_stream_info(opened, nullptr) < 0) Fail("its streams cannot be read.");
    stream = av_find_best_stream(opened, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0 || (opened->streams[stream]->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0)
        Fail("it has no video.");
    const AVCodecParameters& parameters = *opened->streams[stream]->codecpar;
    width = parameters.width;
    height = parameters.height;
    if (width < 1 || height < 1) Fail("its pictures have no size.");
    // A file's claim must not size the decoder's frames beyond what any movie frame can be.
    if (static_cast<int64_t>(width) * height > cb::kLargestPicturePixels)
        Fail("its pictures are " + cb::OversizePictureText(width, height) + ".");
    orientation = cb::OrientationOfStream(*opened->streams[stream]);
    if (!orientation.IsUpright()) stored = std::make_unique<cb::Bitmap>(width, height, 32);
    cb::UprightSize(orientation, width, height);
}

// Reads every packet of the stream once (nothing decoded): the pictures' times and the key frames.
void ContainerVideoReader::State::IndexPictures() {
    std::vector<int64_t> keyTimes;
    int64_t last = AV_NOPTS_VALUE;
    int64_t end = 0;  // where the last picture read ends
    cb::MediaErrorListener demuxerErrors;
    demuxerErrors.Listen(input.get());
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        const AVPacket& read = *packet;
        if (read.stream_index == stream && (read.flags & AV_PKT_FLAG_DISCARD) == 0) {
            // A stream without times (raw bitstreams) counts its packets.
            int64_t time = TimeOf(read);
            if (time == AV_NOPTS_VALUE)
                time = last == AV_NOPTS_VALUE ? 0 : last + std::max<int64_t>(read.duration, 1);
            last = time;
            end = std::max(end, time + std::max<int64_t>(read.duration, 0));
            times.push_back(time);
            if ((read.flags & AV_PKT_FLAG_KEY) != 0) keyTimes.push_back(time);
        }
        av_packet_unref(packet.get());
    }
    if (times.empty()) Fail("its video has no frames.");
    std::sort(times.begin(), times.end());
    damage = IndexDamage(*input, *input->streams[stream], times.front(), end, demuxerErrors.First());
    for (const int64_t time : keyTimes) keyPictures.push_back(NearestPicture(times, time));
    std::sort(keyPictures.begin(), keyPictures.end());
    keyPictures.erase(std::unique(keyPictures.begin(), keyPictures.end()), keyPictures.end());

    const AVStream& video = *input->streams[stream];
    const Ratio declared{video.avg_frame_rate.num, video.avg_frame_rate.den};
    clip = PicturesOfStream(times, Ratio{video.time_base.num, video.time_base.den}, declared, end);
    if (av_seek_frame(input.get(), stream, times.front(), AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(input.get(), -1, INT64_MIN, 0, INT64_MAX, 0) < 0)
        Fail("it cannot be read again from its start.");
}

void ContainerVideoReader::State::OpenDecoder() {
    const AVStream& video = *input->streams[stream];
    const AVCodec* codec = FindVideoDecoder(video);
    if (codec == nullptr) Fail("there is no decoder for its video.");
    decoder.reset(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), video.codecpar) < 0)
        Fail("its decoder cannot be set up.");
    decoder->pkt_timebase = video.time_base;
    // Full HD and larger pictures decode on one thread: each further thread holds pictures of its own
    // (some 20 MiB at 1080p), and a render spends little of its time decoding.
    decoder->thread_count = width * height >= kOneThreadPixels ? 1 : 0;
    const int code = avcodec_open2(decoder.get(), codec, nullptr);
    if (code < 0) Fail("its decoder cannot be opened: " + FfmpegErrorText(code));
    if (!packet || !incoming || !decoded || !indexed || !before) throw std::bad_alloc();
}

// The key frame at or before `picture`; -1 when there is none (a stream not starting with one).
int32_t ContainerVideoReader::State::KeyAtOrBefore(int32_t picture) const {
    const auto after = std::upper_bound(keyPictures.begin(), keyPictures.end(), picture);
    return after == keyPictures.begin() ? -1 : *(after - 1);
}

bool ContainerVideoReader::State::CanDecodeOnTo(int32_t picture) const {
    if (atStart) return picture <= kDecodeOnPictures || KeyAtOrBefore(picture) <= 0;
    if (decodedPicture < 0 || picture < decodedPicture) return false;
    if (ended) return true;  // the last picture stands for any missing after it
    return picture - decodedPicture <= kDecodeOnPictures || KeyAtOrBefore(picture) <= decodedPicture;
}

// Positions the file at the key frame at or before `picture` and decodes its first picture.
void ContainerVideoReader::State::SeekBefore(int32_t picture) {
    auto key = std::upper_bound(keyPictures.begin(), keyPictures.end(), picture);
    for (;;) {
        const int64_t target =
            key == keyPictures.begin() ? times.front() : times[static_cast<std::size_t>(*(key - 1))];
        if (av_seek_frame(input.get(), stream, target, AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(input.get(), stream, target, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
            Fail("frame " + std::to_string(picture + 1) + " cannot be reached.");
        avcodec_flush_buffers(decoder.get());
        ++seeks;
        atStart = true;
        draining = false;
        ended = false;
        decodedPicture = -1;
        if (!DecodeNext()) Fail("frame " + std::to_string(picture + 1) + " cannot be decoded.");
        // Containers that seek by decoding time may land after the picture: one key frame earlier.
        if (decodedPicture <= picture || key == keyPictures.begin()) return;
        --key;
    }
}

// The decoder's next picture into `decoded`. False at the end of the stream.
bool ContainerVideoReader::State::DecodeNext() {
    for (;;) {
        const int received = avcodec_receive_frame(decoder.get(), incoming.get());
        if (received >= 0) {
            av_frame_unref(decoded.get());
            av_frame_move_ref(decoded.get(), incoming.get());
            const int64_t time = decoded->best_effort_timestamp;
            decodedPicture = time == AV_NOPTS_VALUE ? decodedPicture + 1 : NearestPicture(times, time);
            atStart = false;
            if (decodedPicture >= keepFrom && decodedPicture <= keepTo) {
                cb::FramePtr copy(av_frame_clone(decoded.get()));
                if (!copy) throw std::bad_alloc();
                const std::lock_guard lock(keptLock);
                kept[decodedPicture] = std::move(copy);
            }
            return true;
        }
        if (received == AVERROR_EOF) {
            ended = true;
            atStart = false;
            return false;
        }
        if (received != AVERROR(EAGAIN)) Fail("a frame cannot be decoded: " + FfmpegErrorText(received));
        if (draining) {
            ended = true;
            return false;
        }
        if (av_read_frame(input.get(), packet.get()) < 0) {
            // The end, or a damaged rest of the file: what the decoder holds still comes out.
            avcodec_send_packet(decoder.get(), nullptr);
            draining = true;
            continue;
        }
        // A picture shown before the one wanted that no other picture refers to is not decoded at
        // all: reaching a frame far from a key frame costs only the pictures it depends on.
        if (packet->stream_index == stream) {
            const int64_t time = TimeOf(*packet);
            decoder->skip_frame =
                time != AV_NOPTS_VALUE && time < wantedTime ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
            // A damaged packet is left out; the decoder carries on with the next.
            avcodec_send_packet(decoder.get(), packet.get());
        }
        av_packet_unref(packet.get());
    }
}

// A decoded picture into a 32-bit bitmap of the stream's size, turned upright, kept with the recent
// ones. A picture stored upright is converted straight into the bitmap.
std::shared_ptr<cb::Bitmap> ContainerVideoReader::State::Convert(const AVFrame& frame, int32_t picture) {
    // The oldest picture's store is reused when nobody holds it any more.
    std::shared_ptr<cb::Bitmap> target;
    if (recent.size() >= recentLimit) {
        target = std::move(recent.front().second);
        recent.pop_front();
        if (target.use_count() > 1) target.reset();
    }
    if (!target) target = std::make_shared<cb::Bitmap>(width, height, 32);
    cb::Bitmap& converted = stored ? *stored : *target;
    scaler.reset(sws_getCachedContext(
        scaler.release(), frame.width, frame.height, static_cast<AVPixelFormat>(frame.format),
        converted.width(), converted.height(), AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler) Fail("its pictures cannot be converted.");
    const int colourSpace = ColourSpaceOf(frame);
    const int fullRange = frame.color_range == AVCOL_RANGE_JPEG ? 1 : 0;
    sws_setColorspaceDetails(scaler.get(), sws_getCoefficients(colourSpace), fullRange,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    // Writing the top row at the end of the store with a negative stride turns it bottom-up.
    uint8_t* top[4] = {converted.topRow(0), nullptr, nullptr, nullptr};
    const int stride[4] = {-static_cast<int>(converted.stride()), 0, 0, 0};
    sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, top, stride);
    if (stored) cb::TurnUpright(*stored, orientation, *target);
    recent.emplace_back(picture, target);
    return target;
}

std::shared_ptr<cb::Bitmap> ContainerVideoReader::State::Recent(int32_t picture) const {
    for (const auto& [held, bitmap] : recent) {
        if (held == picture) return bitmap;
    }
    return nullptr;
}

// How many pictures a stretch kept for stepping back holds: half the memory for them.
void ContainerVideoReader::State::SetStretch() {
    const AVPixelFormat format = static_cast<AVPixelFormat>(input->streams[stream]->codecpar->format);
    int bytes = av_image_get_buffer_size(format, width, height, 1);
    if (bytes <= 0) bytes = width * height * 4;
    const auto pictures = static_cast<int64_t>(kKeptBytes / 2 / static_cast<std::size_t>(bytes));
    stretch = static_cast<int32_t>(std::clamp<int64_t>(pictures, kFewestKept, kMostKept));
}

// The first picture of the stretch that ends at `picture`: never before its key frame, from which
// the stretch is decoded.
int32_t ContainerVideoReader::State::StretchStart(int32_t picture) const {
    return std::max({KeyAtOrBefore(picture), picture - stretch + 1, 0});
}

// The first of the pictures kept one after another up to `picture`.
int32_t ContainerVideoReader::State::LowestKeptWith(int32_t picture) const {
    const std::lock_guard lock(keptLock);
    int32_t lowest = picture;
    while (lowest > 0 && kept.count(lowest - 1) != 0) --lowest;
    return lowest;
}

// Leaves room for `pictures` more kept ones, letting go of those farthest from picture `near`.
void ContainerVideoReader::State::MakeRoom(int32_t near, int32_t pictures) {
    const std::lock_guard lock(keptLock);
    while (!kept.empty() && static_cast<int32_t>(kept.size()) + pictures > 2 * stretch) {
        const int32_t lowest = kept.begin()->first;
        const int32_t highest = kept.rbegin()->first;
        kept.erase(near - lowest > highest - near ? lowest : highest);
    }
}

// Decodes pictures `from` .. `to` (frame `index` is the last) whole and keeps them, the user being at
// picture `near`.
void ContainerVideoReader::State::KeepStretch(int32_t index, int32_t from, int32_t to, int32_t near) {
    MakeRoom(near, to - from + 1);
    struct EndOfStretch {
        State& state;
        ~EndOfStretch() { state.keepFrom = state.keepTo = -1; }
    } end{*this};
    keepFrom = from;
    keepTo = to;
    wantedTime = times[static_cast<std::size_t>(from)];
    if (decodedPicture >= from || !CanDecodeOnTo(to)) SeekBefore(to);
    DecodeTo(index, to);
}

bool ContainerVideoReader::State::IsKept(int32_t picture) const {
    const std::lock_guard lock(keptLock);
    return kept.count(picture) != 0;
}

// A new reference to a kept picture; null when it is not kept.
cb::FramePtr ContainerVideoReader::State::KeptCopy(int32_t picture) const {
    const std::lock_guard lock(keptLock);
    const auto found = kept.find(picture);
    if (found == kept.end()) return nullptr;
    cb::FramePtr copy(av_frame_clone(found->second.get()));
    if (!copy) throw std::bad_alloc();
    return copy;
}

// A picture read from the index when that beats decoding to it (any but the decoder's next few);
// null when it is not indexed (yet). The second picture the decoder could only reach by a seek
// starts indexing the clip.
const AVFrame* ContainerVideoReader::State::Indexed(int32_t picture) {
    const bool decodingOn = CanDecodeOnTo(picture);
    if (!pictureIndex && !decodingOn && ++jumps >= kJumpsBeforeIndexing)
        pictureIndex = std::make_unique<PictureIndex>(path, stream, times);
    if (!pictureIndex || (decodingOn && !atStart && picture - decodedPicture <= kDecodeOnRatherThanIndex))
        return nullptr;
    return pictureIndex->Read(picture, *indexed) ? indexed.get() : nullptr;
}

// The picture as decoded (no stretch being decoded then): one kept for stepping back, else one indexed
// when the decoder would have to seek for it, else decoded now. A step back that would decode from the
// key frame decodes and keeps the stretch of pictures below as well.
const AVFrame& ContainerVideoReader::State::Picture(int32_t index, int32_t picture) {
    if (const auto found = kept.find(picture); found != kept.end()) return *found->second;
    if (picture == beforePicture && picture != decodedPicture) return *before;
    if (const AVFrame* found = Indexed(picture)) return *found;
    const bool steppingBack = picture < lastPicture && lastPicture - picture <= kDecodeOnPictures;
    if (steppingBack && !CanDecodeOnTo(picture)) {
        KeepStretch(index, StretchStart(picture), picture, picture);
        if (const auto found = kept.find(picture); found != kept.end()) return *found->second;
    } else {
        DecodePicture(index, picture);
    }
    return *decoded;
}

// After frame `index`: reading on decodes the next frame's picture in the background; stepping back
// through kept pictures decodes the stretch below them before the steps reach it.
void ContainerVideoReader::State::PlanAhead(int32_t index, int32_t picture) {
    const bool steppingBack = picture < lastPicture && lastPicture - picture <= kDecodeOnPictures;
    lastPicture = picture;
    if (!steppingBack) {
        DecodeAhead(index, picture);
        return;
    }
    if (ahead.Running() || !IsKept(picture)) return;
    const int32_t lowest = LowestKeptWith(picture);
    if (lowest == 0 || picture - lowest >= stretch / 2) return;
    if (pictureIndex && pictureIndex->Has(lowest - 1)) return;  // the steps read on from the index
    ahead.Start(WorkAhead([this, index, lowest, picture] {
        KeepStretch(index - (picture - lowest) - 1, StretchStart(lowest - 1), lowest - 1, picture);
    }));
}

// Frame `index` having come from the decoder: the next frame's picture, when the decoder reaches it by
// decoding on, is decoded while the caller works on this one (a render codes it, a player shows it).
void ContainerVideoReader::State::DecodeAhead(int32_t index, int32_t picture) {
    if (ahead.Running() || picture != decodedPicture || atStart || index + 1 >= clip.count) return;
    const int32_t next = picture + 1;
    if (!CanDecodeOnTo(next)) return;
    av_frame_unref(before.get());
    if (av_frame_ref(before.get(), decoded.get()) < 0) return;
    beforePicture = picture;
    ahead.Start(WorkAhead([this, index, next] { DecodePicture(index + 1, next); }));
}

ContainerVideoReader::ContainerVideoReader(const std::string& path) : state_(std::make_unique<State>()) {
    state_->path = path;
    state_->OpenStream();
    state_->OpenDecoder();
    state_->IndexPictures();
    state_->SetStretch();
    const std::size_t pictureBytes = cb::Bitmap::StrideFor(Width(), 32) * static_cast<std::size_t>(Height());
    state_->recentLimit = std::max<std::size_t>(2, kRecentBytes / std::max<std::size_t>(pictureBytes, 1));
}

ContainerVideoReader::~ContainerVideoReader() = default;

int32_t ContainerVideoReader::Width() const { return state_->width; }
int32_t ContainerVideoReader::Height() const { return state_->height; }
int32_t ContainerVideoReader::FrameCount() const { return state_->clip.count; }

std::shared_ptr<const PictureTimes> ContainerVideoReader::Times() const { return state_->clip.times; }

const std::string& ContainerVideoReader::Damage() const { return state_->damage; }

bool ContainerVideoReader::WaitForIndex() {
    return state_->pictureIndex && state_->pictureIndex->WaitUntilDone();
}

int64_t ContainerVideoReader::SeekCount() const {
    state_->ahead.Wait();
    return state_->seeks;
}

double ContainerVideoReader::FramesPerSecond() const {
    const Ratio rate = state_->clip.rate;
    return rate.den > 0 ? static_cast<double>(rate.num) / static_cast<double>(rate.den) : 0.0;
}

// Decodes on until `decoded` holds `picture` (or the last picture before the stream ends).
void ContainerVideoReader::State::DecodeTo(int32_t index, int32_t picture) {
    while ((decodedPicture < picture || atStart) && DecodeNext()) {
    }
    if (decodedPicture < 0) Fail("frame " + std::to_string(index + 1) + " cannot be decoded.");
}

// Decodes on (or seeks first) until `decoded` holds the picture of frame `index`.
void ContainerVideoReader::State::DecodePicture(int32_t index, int32_t picture) {
    if (decodedPicture == picture && !atStart) return;
    wantedTime = times[static_cast<std::size_t>(picture)];
    if (!CanDecodeOnTo(picture)) SeekBefore(picture);
    DecodeTo(index, picture);
}

int32_t ContainerVideoReader::PictureOf(int32_t index) const {
    if (index < 0 || index >= state_->clip.count)
        state_->Fail("it has no frame " + std::to_string(index + 1) + ".");
    return index;
}

std::shared_ptr<cb::Bitmap> ContainerVideoReader::Frame(int32_t index) {
    State& state = *state_;
    const int32_t picture = PictureOf(index);
    std::shared_ptr<cb::Bitmap> bitmap = state.Recent(picture);
    if (!bitmap) {
        // A kept picture is shown while the stretch below it is decoded.
        if (const cb::FramePtr kept = state.KeptCopy(picture)) {
            bitmap = state.Convert(*kept, picture);
        } else {
            state.ahead.Wait();
            bitmap = state.Convert(state.Picture(index, picture), picture);
        }
    }
    state.PlanAhead(index, picture);
    return bitmap;
}

DecodedFrame ContainerVideoReader::Decoded(int32_t index) {
    State& state = *state_;
    const int32_t picture = PictureOf(index);
    if (state.stored) return nullptr;
    cb::FramePtr copy = state.KeptCopy(picture);
    if (!copy) {
        state.ahead.Wait();
        copy.reset(av_frame_clone(&state.Picture(index, picture)));
        if (!copy) throw std::bad_alloc();
    }
    state.PlanAhead(index, picture);
    return DecodedFrame(copy.release(), [](const AVFrame* frame) {
        AVFrame* owned = const_cast<AVFrame*>(frame);
        av_frame_free(&owned);
    });
}

}  // namespace composer
