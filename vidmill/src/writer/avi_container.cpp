#include "writer/avi_container.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "writer/little_endian_bytes.h"

namespace vidmill::writer {
namespace {

// Entries of a stream's extended index: one per part, so files up to 256 GiB.
constexpr int kIndexSlots = 256;
constexpr std::uint32_t kSuperIndexBytes = 24 + 16 * kIndexSlots;
constexpr std::uint32_t kStreamHeaderBytes = 56;
constexpr std::uint32_t kMaxSoundFormat = 2048;
// The sound stream list with the largest format, and a filler chunk header after it.
constexpr std::uint32_t kSoundRoom =
    12 + (8 + kStreamHeaderBytes) + (8 + kMaxSoundFormat) + (8 + kSuperIndexBytes) + 8;
constexpr std::uint32_t kOdmlHeaderBytes = 248;
constexpr std::uint32_t kKeyFrameFlag = 0x10;        // legacy index: a key frame
constexpr std::uint32_t kNotKeyFrame = 0x80000000u;  // extended index: size bit of a delta frame
constexpr std::uint32_t kHasIndex = 0x10;
constexpr std::uint32_t kTrustChunkType = 0x800;

using Bytes = LittleEndianBytes;

std::uint32_t Padded(std::size_t size) { return static_cast<std::uint32_t>(size + (size & 1)); }

std::vector<std::uint8_t> StreamHeader(const char (&type)[5], std::uint32_t handler, std::uint32_t scale,
                                       std::uint32_t rate, std::uint32_t length, std::uint32_t largest,
                                       std::uint32_t sampleSize, int width, int height) {
    Bytes header;
    header.tag(type);
    header.u32(handler);
    header.u32(0);  // flags
    header.u32(0);  // priority, language
    header.u32(0);  // initial frames
    header.u32(scale);
    header.u32(rate);
    header.u32(0);  // start
    header.u32(length);
    header.u32(largest);
    header.u32(0xFFFFFFFFu);  // quality: the codec's default
    header.u32(sampleSize);
    header.u16(0);
    header.u16(0);
    header.u16(static_cast<std::uint16_t>(width));
    header.u16(static_cast<std::uint16_t>(height));
    return header.data;
}

// The extended index of a stream: the header, then one entry per part written so far.
std::vector<std::uint8_t> SuperIndex(std::uint32_t chunkId, const std::vector<std::uint8_t>& entries) {
    Bytes index;
    index.u16(4);  // 32-bit words per entry
    index.u8(0);
    index.u8(0);  // an index of indexes
    index.u32(static_cast<std::uint32_t>(entries.size() / 16));
    index.u32(chunkId);
    index.u32(0);
    index.u32(0);
    index.u32(0);
    index.append(entries);
    index.data.resize(kSuperIndexBytes, 0);
    return index.data;
}

}  // namespace

std::unique_ptr<AviContainer> AviContainer::Create(const std::string& path, std::uint64_t partLimit) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return nullptr;
    return std::unique_ptr<AviContainer>(new AviContainer(file, partLimit));
}

AviContainer::~AviContainer() {
    if (file_ != nullptr) std::fclose(file_);
}

bool AviContainer::SoundFormatFits(const AviSoundFormat& sound) {
    return sound.format.size() <= kMaxSoundFormat;
}

void AviContainer::fail() {
    if (!failed_) systemError_ = errno;
    failed_ = true;
}

void AviContainer::put(const void* data, std::size_t size) {
    if (failed_ || size == 0) return;
    if (std::fwrite(data, 1, size, file_) != size) fail();
    written_ += size;
}

void AviContainer::put32(std::uint32_t value) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16),
                                   static_cast<std::uint8_t>(value >> 24)};
    put(bytes, sizeof bytes);
}

void AviContainer::putTag(const char (&tag)[5]) { put(tag, 4); }

void AviContainer::zeros(std::size_t count) {
    static const std::uint8_t kZeros[4096] = {};
    while (count > 0) {
        const std::size_t step = std::min(count, sizeof kZeros);
        put(kZeros, step);
        count -= step;
    }
}

void AviContainer::seek(std::uint64_t at) {
    if (!failed_ && fseeko(file_, static_cast<off_t>(at), SEEK_SET) != 0) fail();
}

void AviContainer::patchBytes(std::uint64_t at, const std::vector<std::uint8_t>& bytes) {
    if (failed_) return;
    seek(at);
    if (!failed_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) fail();
    seek(written_);
}

void AviContainer::patch32(std::uint64_t at, std::uint32_t value) {
    Bytes bytes;
    bytes.u32(value);
    patchBytes(at, bytes.data);
}

// A list or part that started with its size field at sizeAt ends here.
void AviContainer::closeList(std::uint64_t sizeAt) {
    patch32(sizeAt, static_cast<std::uint32_t>(written_ - sizeAt - 4));
}

std::uint64_t AviContainer::openList(const char (&type)[5]) {
    putTag("LIST");
    const std::uint64_t sizeAt = written_;
    put32(0);
    putTag(type);
    return sizeAt;
}

std::uint64_t AviContainer::openChunk(const char (&tag)[5], std::uint32_t size) {
    putTag(tag);
    put32(size);
    return written_;
}

bool AviContainer::start(const AviVideoFormat& video) {
    video_ = video;
    videoStream_.chunkId = TagCode(video.compressed ? "00dc" : "00db");
    videoStream_.indexId = TagCode("ix00");
    soundStream_.chunkId = TagCode("01wb");
    soundStream_.indexId = TagCode("ix01");
    openPart("AVI ");
    const std::uint64_t headerListAt = openList("hdrl");
    avihAt_ = openChunk("avih", kStreamHeaderBytes);
    zeros(kStreamHeaderBytes);

    const std::uint64_t streamListAt = openList("strl");
    videoHeaderAt_ = openChunk("strh", kStreamHeaderBytes);
    const auto header =
        StreamHeader("vids", video.handler, video.scale, video.rate, 0, 0, 0, video.width, video.height);
    put(header.data(), header.size());
    openChunk("strf", static_cast<std::uint32_t>(video.format.size()));
    put(video.format.data(), video.format.size());
    zeros(video.format.size() & 1);
    videoStream_.indexAt = openChunk("indx", kSuperIndexBytes);
    zeros(kSuperIndexBytes);
    closeList(streamListAt);

    soundRoomAt_ = written_;
    openChunk("JUNK", kSoundRoom - 8);
    zeros(kSoundRoom - 8);

    const std::uint64_t odmlListAt = openList("odml");
    dmlhAt_ = openChunk("dmlh", kOdmlHeaderBytes);
    zeros(kOdmlHeaderBytes);
    closeList(odmlListAt);
    closeList(headerListAt);

    parts_ = 1;
    openMovieList();
    return !failed_;
}

void AviContainer::openPart(const char (&kind)[5]) {
    putTag("RIFF");
    partSizeAt_ = written_;
    put32(0);
    putTag(kind);
}

void AviContainer::openMovieList() {
    moviSizeAt_ = openList("movi");
    moviTagAt_ = moviSizeAt_ + 4;
}

void AviContainer::beginPart() {
    ++parts_;
    openPart("AVIX");
    openMovieList();
}

std::uint32_t AviContainer::streamDuration(const Stream& stream) const {
    if (&stream == &soundStream_ && soundFormat_ && soundFormat_->sampleSize > 0) {
        std::uint64_t bytes = 0;
        for (const Entry& entry : stream.entries) bytes += entry.size;
        return static_cast<std::uint32_t>(bytes / soundFormat_->sampleSize);
    }
    return static_cast<std::uint32_t>(stream.entries.size());
}

// The part's chunks of one stream, listed inside its "movi" list; the stream's extended index
// points at it.
void AviContainer::writeStandardIndex(Stream& stream) {
    if (stream.entries.empty()) return;
    const std::uint64_t at = written_;
    const auto count = static_cast<std::uint32_t>(stream.entries.size());
    Bytes index;
    index.u32(stream.indexId);
    index.u32(24 + 8 * count);
    index.u16(2);  // 32-bit words per entry
    index.u8(0);
    index.u8(1);  // an index of chunks
    index.u32(count);
    index.u32(stream.chunkId);
    index.u64(moviTagAt_);
    index.u32(0);
    for (const Entry& entry : stream.entries) {
        index.u32(static_cast<std::uint32_t>(entry.offset - moviTagAt_));
        index.u32(entry.size | (entry.key ? 0 : kNotKeyFrame));
    }
    put(index.data.data(), index.data.size());
    Bytes slot;
    slot.u64(at);
    slot.u32(static_cast<std::uint32_t>(index.data.size()));
    slot.u32(streamDuration(stream));
    stream.superIndex.insert(stream.superIndex.end(), slot.data.begin(), slot.data.end());
    stream.entries.clear();
}

void AviContainer::writeLegacyIndex() {
    Bytes index;
    index.tag("idx1");
    index.u32(static_cast<std::uint32_t>(16 * legacy_.size()));
    for (const Legacy& entry : legacy_) {
        index.u32(entry.chunkId);
        index.u32(entry.flags);
        index.u32(entry.offset);
        index.u32(entry.size);
    }
    put(index.data.data(), index.data.size());
    legacy_.clear();
    legacy_.shrink_to_fit();
}

void AviContainer::endPart() {
    writeStandardIndex(videoStream_);
    writeStandardIndex(soundStream_);
    closeList(moviSizeAt_);
    if (parts_ == 1) {
        firstPartFrames_ = videoStream_.chunks;
        writeLegacyIndex();
    }
    closeList(partSizeAt_);
}

// Bytes the indexes of the part will take when one more chunk joins it.
std::uint64_t AviContainer::indexBytes() const {
    std::uint64_t bytes = 2 * (32 + 8) + 8 * (videoStream_.entries.size() + soundStream_.entries.size());
    if (parts_ == 1) bytes += 8 + 16 * (legacy_.size() + 1);
    return bytes;
}

bool AviContainer::makeRoom(std::size_t size) {
    const std::uint64_t partStart = partSizeAt_ - 4;
    const std::uint64_t needed = 8 + Padded(size) + indexBytes();
    const bool partHoldsChunks = !videoStream_.entries.empty() || !soundStream_.entries.empty();
    if (written_ - partStart + needed <= partLimit_) return true;
    if (!partHoldsChunks || parts_ >= kIndexSlots) return false;
    endPart();
    beginPart();
    return written_ - (partSizeAt_ - 4) + needed <= partLimit_;
}

bool AviContainer::writeChunk(Stream& stream, const std::uint8_t* data, std::size_t size, bool key) {
    if (failed_ || size > partLimit_ || !makeRoom(size)) return false;
    const std::uint64_t headerAt = written_;
    put32(stream.chunkId);
    put32(static_cast<std::uint32_t>(size));
    put(data, size);
    zeros(size & 1);
    const auto bytes = static_cast<std::uint32_t>(size);
    stream.entries.push_back({headerAt + 8, bytes, key});
    if (parts_ == 1)
        legacy_.push_back({stream.chunkId, key ? kKeyFrameFlag : 0,
                           static_cast<std::uint32_t>(headerAt - moviTagAt_), bytes});
    ++stream.chunks;
    stream.bytes += size;
    stream.largest = std::max(stream.largest, bytes);
    return !failed_;
}

bool AviContainer::writeVideo(const std::uint8_t* data, std::size_t size, bool keyFrame) {
    return writeChunk(videoStream_, data, size, keyFrame);
}

bool AviContainer::setSound(const AviSoundFormat& sound) {
    if (soundFormat_ || !SoundFormatFits(sound)) return false;
    soundFormat_ = std::make_unique<AviSoundFormat>(sound);
    return true;
}

bool AviContainer::writeSound(const std::uint8_t* data, std::size_t size) {
    return soundFormat_ && writeChunk(soundStream_, data, size, true);
}

// The sound stream's list in the room the header kept, and a filler chunk over the rest.
void AviContainer::writeSoundList() {
    const AviSoundFormat& sound = *soundFormat_;
    const std::uint32_t length = static_cast<std::uint32_t>(
        sound.sampleSize > 0 ? soundStream_.bytes / sound.sampleSize : soundStream_.chunks);
    Bytes list;
    list.tag("LIST");
    list.u32(0);
    list.tag("strl");
    list.tag("strh");
    list.u32(kStreamHeaderBytes);
    list.append(StreamHeader("auds", 0, sound.scale, sound.rate, length, soundStream_.largest,
                             sound.sampleSize, 0, 0));
    list.tag("strf");
    list.u32(static_cast<std::uint32_t>(sound.format.size()));
    list.append(sound.format);
    list.padToEven();
    list.tag("indx");
    list.u32(kSuperIndexBytes);
    list.append(SuperIndex(soundStream_.chunkId, soundStream_.superIndex));
    const auto listBytes = static_cast<std::uint32_t>(list.data.size());
    Bytes size;
    size.u32(listBytes - 8);
    std::copy(size.data.begin(), size.data.end(), list.data.begin() + 4);
    list.tag("JUNK");
    list.u32(kSoundRoom - listBytes - 8);
    patchBytes(soundRoomAt_, list.data);
}

void AviContainer::completeHeader() {
    const std::uint64_t frames = videoStream_.chunks;
    const double seconds = video_.rate > 0 ? static_cast<double>(frames) * video_.scale / video_.rate : 0.0;
    const std::uint64_t allBytes = videoStream_.bytes + soundStream_.bytes;
    Bytes main;
    main.u32(video_.rate > 0 ? static_cast<std::uint32_t>(std::llround(1e6 * video_.scale / video_.rate))
                             : 0);
    main.u32(seconds > 0 ? static_cast<std::uint32_t>(std::min<double>(allBytes / seconds, 0xFFFFFFFFu)) : 0);
    main.u32(0);  // padding granularity
    main.u32(kHasIndex | kTrustChunkType);
    main.u32(static_cast<std::uint32_t>(firstPartFrames_));
    main.u32(0);  // initial frames
    main.u32(soundFormat_ ? 2 : 1);
    main.u32(std::max(videoStream_.largest, soundStream_.largest));
    main.u32(static_cast<std::uint32_t>(video_.width));
    main.u32(static_cast<std::uint32_t>(video_.height));
    main.data.resize(kStreamHeaderBytes, 0);
    patchBytes(avihAt_, main.data);
    patchBytes(videoHeaderAt_, StreamHeader("vids", video_.handler, video_.scale, video_.rate,
                                            static_cast<std::uint32_t>(frames), videoStream_.largest, 0,
                                            video_.width, video_.height));
    patchBytes(videoStream_.indexAt, SuperIndex(videoStream_.chunkId, videoStream_.superIndex));
    if (soundFormat_) writeSoundList();
    patch32(dmlhAt_, static_cast<std::uint32_t>(frames));
}

bool AviContainer::finish() {
    if (file_ == nullptr) return false;
    if (parts_ > 0) {
        endPart();
        completeHeader();
    }
    const bool flushed = std::fflush(file_) == 0;
    if (!flushed) fail();
    const bool closed = std::fclose(file_) == 0;
    if (!closed) fail();
    file_ = nullptr;
    return parts_ > 0 && !failed_ && flushed && closed;
}

}  // namespace vidmill::writer
