#include "writer/avi_container.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "writer/little_endian_bytes.h"

namespace vidmill::writer {
namespace {

// Entries of a stream's extended index: one per part, so files up to 256 GiB.
constexpr int kIndexSlots = 256;
constexpr std::uint32_t kSuperIndexBytes =
    sizeof(avi::SuperIndexHeader) + sizeof(avi::SuperIndexEntry) * kIndexSlots;
constexpr std::uint32_t kMainHeaderBytes = sizeof(avi::MainHeader);
constexpr std::uint32_t kStreamHeaderBytes = sizeof(avi::StreamHeader);
constexpr std::uint32_t kMaxSoundFormat = 2048;
// The sound stream list with the largest format, and a filler chunk header after it.
constexpr std::uint32_t kSoundRoom =
    12 + (8 + kStreamHeaderBytes) + (8 + kMaxSoundFormat) + (8 + kSuperIndexBytes) + 8;
constexpr std::uint32_t kOdmlHeaderBytes = sizeof(avi::ExtendedHeader);

using Bytes = LittleEndianBytes;

std::uint32_t Padded(std::size_t size) { return static_cast<std::uint32_t>(size + (size & 1)); }

std::vector<std::uint8_t> StreamHeader(const char (&type)[5], std::uint32_t handler, std::uint32_t scale,
                                       std::uint32_t rate, std::uint32_t length, std::uint32_t largest,
                                       std::uint32_t sampleSize, int width, int height) {
    avi::StreamHeader header;
    header.type = TagCode(type);
    header.handler = handler;
    header.scale = scale;
    header.rate = rate;
    header.length = length;
    header.suggestedBufferSize = largest;
    header.quality = 0xFFFFFFFFu;  // the codec's default
    header.sampleSize = sampleSize;
    header.frameRight = static_cast<std::int16_t>(width);
    header.frameBottom = static_cast<std::int16_t>(height);
    return avi::BytesOf(header);
}

// The extended index of a stream: the header, then one entry per part written so far.
std::vector<std::uint8_t> SuperIndex(std::uint32_t chunkId, const std::vector<std::uint8_t>& entries) {
    avi::SuperIndexHeader header;
    header.entriesInUse = static_cast<std::uint32_t>(entries.size() / sizeof(avi::SuperIndexEntry));
    header.chunkId = chunkId;
    Bytes index;
    index.append(avi::BytesOf(header));
    index.append(entries);
    index.data.resize(kSuperIndexBytes, 0);
    return index.data;
}

}  // namespace

std::unique_ptr<AviContainer> AviContainer::Create(const std::string& path, std::uint64_t partLimit) {
    cb::FilePtr file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) return nullptr;
    return std::unique_ptr<AviContainer>(new AviContainer(std::move(file), partLimit));
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
    if (std::fwrite(data, 1, size, file_.get()) != size) fail();
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
    if (!failed_ && fseeko(file_.get(), static_cast<off_t>(at), SEEK_SET) != 0) fail();
}

void AviContainer::patchBytes(std::uint64_t at, const std::vector<std::uint8_t>& bytes) {
    if (failed_) return;
    seek(at);
    if (!failed_ && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) fail();
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
    avihAt_ = openChunk("avih", kMainHeaderBytes);
    zeros(kMainHeaderBytes);

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
    avi::StandardIndexHeader header;
    header.entriesInUse = count;
    header.chunkId = stream.chunkId;
    header.baseOffset = moviTagAt_;
    Bytes index;
    index.u32(stream.indexId);
    index.u32(static_cast<std::uint32_t>(sizeof header + sizeof(avi::StandardIndexEntry) * count));
    index.append(avi::BytesOf(header));
    for (const Entry& entry : stream.entries) {
        const avi::StandardIndexEntry item{static_cast<std::uint32_t>(entry.offset - moviTagAt_),
                                           entry.size | (entry.key ? 0 : avi::kDeltaFrameBit)};
        index.append(avi::BytesOf(item));
    }
    put(index.data.data(), index.data.size());
    const avi::SuperIndexEntry slot{at, static_cast<std::uint32_t>(index.data.size()),
                                    streamDuration(stream)};
    const std::vector<std::uint8_t> slotBytes = avi::BytesOf(slot);
    stream.superIndex.insert(stream.superIndex.end(), slotBytes.begin(), slotBytes.end());
    stream.entries.clear();
}

void AviContainer::writeLegacyIndex() {
    Bytes index;
    index.tag("idx1");
    index.u32(static_cast<std::uint32_t>(sizeof(avi::LegacyIndexEntry) * legacy_.size()));
    for (const avi::LegacyIndexEntry& entry : legacy_) index.append(avi::BytesOf(entry));
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
        legacy_.push_back({stream.chunkId, key ? avi::kKeyFrameFlag : 0,
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
    avi::MainHeader main;
    main.microSecondsPerFrame =
        video_.rate > 0 ? static_cast<std::uint32_t>(std::llround(1e6 * video_.scale / video_.rate)) : 0;
    main.maxBytesPerSecond =
        seconds > 0 ? static_cast<std::uint32_t>(std::min<double>(allBytes / seconds, 0xFFFFFFFFu)) : 0;
    main.flags = avi::kHasIndex | avi::kTrustChunkType;
    main.totalFrames = static_cast<std::uint32_t>(firstPartFrames_);
    main.streams = soundFormat_ ? 2 : 1;
    main.suggestedBufferSize = std::max(videoStream_.largest, soundStream_.largest);
    main.width = static_cast<std::uint32_t>(video_.width);
    main.height = static_cast<std::uint32_t>(video_.height);
    patchBytes(avihAt_, avi::BytesOf(main));
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
    const bool flushed = std::fflush(file_.get()) == 0;
    if (!flushed) fail();
    const bool closed = std::fclose(file_.release()) == 0;
    if (!closed) fail();
    return parts_ > 0 && !failed_ && flushed && closed;
}

}  // namespace vidmill::writer
