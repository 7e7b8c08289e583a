// The AVI file layout read back by ffprobe and ffmpeg: a file long enough to need extension
// parts reads like the same file in one part, with its key frames, and the sound after the video.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "avi/avi_layout.h"
#include "cbplatform/ffmpeg_owners.h"
#include "coded_pattern.h"
#include "frame/tag_code.h"
#include "le_bytes.h"
#include "vidmill/vidmill.h"
#include "writer/avi_formats.h"
#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;
using cb::testing::Le32;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kFrames = 40;
constexpr int kSoundBytes = 16000;  // one second of 8 kHz 16-bit mono

// Video-1 frames of a moving pattern with a key frame every third.
CodedPattern CodedMovie() {
    VideoSettings settings;
    settings.handler = static_cast<std::uint32_t>(FourCC("MSVC"));
    settings.width = kWidth;
    settings.height = kHeight;
    settings.keyFrameRate = 3;
    return EncodePattern(settings, kFrames);
}

AviSoundFormat Pcm() {
    const cb::CodecParametersPtr parameters(avcodec_parameters_alloc());
    parameters->codec_type = AVMEDIA_TYPE_AUDIO;
    parameters->codec_id = AV_CODEC_ID_PCM_S16LE;
    parameters->sample_rate = 8000;
    av_channel_layout_default(&parameters->ch_layout, 1);
    parameters->bits_per_coded_sample = 16;
    parameters->block_align = 2;
    const auto format = SoundFormatOf(*parameters);
    EXPECT_TRUE(format.has_value());
    return format.value_or(AviSoundFormat{});
}

std::vector<std::uint8_t> SoundBytes() {
    std::vector<std::uint8_t> bytes(kSoundBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 300);
    return bytes;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

void Write(const std::string& path, std::uint64_t partLimit, const CodedPattern& movie,
           const std::vector<std::uint8_t>& sound) {
    auto file = AviContainer::Create(path, partLimit);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->start(movie.format));
    for (std::size_t i = 0; i < movie.pictures.size(); ++i)
        ASSERT_TRUE(file->writeVideo(movie.pictures[i].data(), movie.pictures[i].size(), movie.keyFrames[i]));
    ASSERT_TRUE(file->setSound(Pcm()));
    for (std::size_t at = 0; at < sound.size(); at += 3000)
        ASSERT_TRUE(file->writeSound(sound.data() + at, std::min<std::size_t>(3000, sound.size() - at)));
    ASSERT_TRUE(file->finish());
}

TEST(WriterContainer, ALongFileContinuesInExtensionPartsThatReadersFollow) {
    const CodedPattern movie = CodedMovie();
    ASSERT_EQ(movie.keyFrames.size(), static_cast<std::size_t>(kFrames));
    const std::vector<std::uint8_t> sound = SoundBytes();
    const std::string whole = ScratchPath("whole.avi");
    const std::string parts = ScratchPath("parts.avi");
    Write(whole, AviContainer::kPartLimit, movie, sound);
    Write(parts, 16 * 1024, movie, sound);

    std::ifstream in(parts, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_GE(Count(bytes, "AVIX"), 2u);
    for (const std::string& path : {whole, parts}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(RunCommand("ffmpeg -v error -i " + Quoted(path) + " -f null - 2>&1"), "");
        EXPECT_EQ(ProbeVideo(path).packets, kFrames);
        EXPECT_EQ(KeyFrameFlags(path), movie.keyFrames);
        EXPECT_TRUE(SoundAfterVideo(path));
        EXPECT_EQ(RunCommandBytes("ffmpeg -v error -i " + Quoted(path) + " -map 0:a -c:a copy -f s16le -"),
                  sound);
    }
    const auto decoded = DecodeBgr24(parts);
    EXPECT_EQ(decoded.size(), std::size_t{kWidth} * kHeight * 3 * kFrames);
    EXPECT_TRUE(decoded == DecodeBgr24(whole)) << "the same pictures from the file in parts";
}

// Where the chunk with the tag (and for a list, the list type) starts among the first part's
// top-level chunks; npos when there is none.
std::size_t TopLevelChunk(const std::string& bytes, const char* tag, const char* listType = nullptr) {
    for (std::size_t at = 12; at + 12 <= bytes.size();) {
        const std::uint32_t size = Le32(bytes, at + 4);
        if (Le32(bytes, at) == TagCode(tag) &&
            (listType == nullptr || Le32(bytes, at + 8) == TagCode(listType)))
            return at;
        at += 8 + size + (size & 1);
    }
    return std::string::npos;
}

// Readers that do not know the extended indexes find every chunk through the legacy index: each
// entry's offset (from the "movi" tag) must land on a chunk header that carries the entry's own tag
// and size, in file order, with the key frames flagged.
TEST(WriterContainer, EveryLegacyIndexEntryPointsAtAChunkHeaderWithItsOwnTagAndSize) {
    const CodedPattern movie = CodedMovie();
    const std::string path = ScratchPath("legacy_index.avi");
    Write(path, AviContainer::kPartLimit, movie, SoundBytes());
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    const std::size_t movi = TopLevelChunk(bytes, "LIST", "movi");
    const std::size_t index = TopLevelChunk(bytes, "idx1");
    ASSERT_NE(movi, std::string::npos);
    ASSERT_NE(index, std::string::npos);
    const std::size_t moviTag = movi + 8;
    const std::uint32_t indexBytes = Le32(bytes, index + 4);
    ASSERT_EQ(indexBytes % sizeof(avi::LegacyIndexEntry), 0u);
    const std::size_t count = indexBytes / sizeof(avi::LegacyIndexEntry);
    const std::size_t soundChunks = (kSoundBytes + 2999) / 3000;
    ASSERT_EQ(count, movie.pictures.size() + soundChunks);

    std::size_t previous = 0;
    std::size_t frame = 0;
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const auto entry =
            avi::LayoutFrom<avi::LegacyIndexEntry>(reinterpret_cast<const std::uint8_t*>(bytes.data()) +
                                                       index + 8 + i * sizeof(avi::LegacyIndexEntry),
                                                   sizeof(avi::LegacyIndexEntry));
        const std::size_t header = moviTag + entry.offset;
        ASSERT_LT(header + 8, bytes.size());
        EXPECT_GT(header, previous);
        previous = header;
        EXPECT_EQ(Le32(bytes, header), entry.chunkId);
        EXPECT_EQ(Le32(bytes, header + 4), entry.size);
        if (entry.chunkId == TagCode("01wb")) {
            EXPECT_EQ(entry.flags, avi::kKeyFrameFlag);
        } else {
            ASSERT_LT(frame, movie.pictures.size());
            EXPECT_EQ(entry.size, movie.pictures[frame].size());
            EXPECT_EQ(entry.flags == avi::kKeyFrameFlag, static_cast<bool>(movie.keyFrames[frame]));
            ++frame;
        }
    }
    EXPECT_EQ(frame, movie.pictures.size());
}

TEST(WriterContainer, ASoundFormatLargerThanTheRoomKeptIsRefused) {
    AviSoundFormat sound = Pcm();
    EXPECT_TRUE(AviContainer::SoundFormatFits(sound));
    sound.format.resize(4096);
    EXPECT_FALSE(AviContainer::SoundFormatFits(sound));
}

}  // namespace
}  // namespace vidmill::writer
