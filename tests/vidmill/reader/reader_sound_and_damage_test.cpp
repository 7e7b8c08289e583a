// The reader engine on sound tracks, empty ("drop") chunks and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "frame/error.h"
#include "frame/tag_code.h"
#include "le_bytes.h"
#include "reader/avi_reader_engine.h"
#include "reader_test_support.h"

namespace vidmill::reader {
namespace {

using namespace testing;
using cb::testing::Le32;
using cb::testing::PutLe32;

// ---------------------------------------------------------------------------------------------
// Sound tracks: the WAV file holds the stream as stored.

struct SoundCase {
    const char* name;
    const char* soundArguments;
};

const SoundCase kSounds[] = {
    {"pcm_u8", "-c:a pcm_u8"},
    {"pcm_s16le", "-c:a pcm_s16le -ac 2"},
    {"adpcm_ima_wav", "-c:a adpcm_ima_wav"},
    {"mp3", "-c:a libmp3lame -b:a 32k"},
};

class SoundTracks : public ::testing::TestWithParam<SoundCase> {};

TEST_P(SoundTracks, ExtractWavCopiesTheStoredStream) {
    const SoundCase& c = GetParam();
    const std::string avi =
        MakeAvi(std::string(c.name) + ".avi", 64, 48, 30, "15", "-c:v msvideo1", c.soundArguments);
    const std::string wav = ScratchPath(std::string(c.name) + ".wav");

    AviReaderEngine reader;
    reader.open(avi);
    EXPECT_TRUE(reader.facts().hasSound);
    reader.extractWav(wav);

    for (const char* field :
         {"codec_name", "codec_tag", "sample_rate", "channels", "block_align", "bits_per_sample"})
        EXPECT_EQ(ProbeField(wav, "a:0", field), ProbeField(avi, "a:0", field)) << field;
    const auto stored =
        RunCommandBytes("ffmpeg -nostdin -v error -i " + Quoted(avi) + " -map 0:a -c copy -f data -");
    const auto extracted =
        RunCommandBytes("ffmpeg -nostdin -v error -i " + Quoted(wav) + " -map 0:a -c copy -f data -");
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(extracted.size(), stored.size());
    EXPECT_TRUE(extracted == stored) << "the WAV data are the stored sound chunks";
    // The reader goes on reading frames after the extraction.
    EXPECT_NO_THROW(reader.frameAt(29));
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, SoundTracks, ::testing::ValuesIn(kSounds),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SoundOnly, OpensWithoutFramesAndStillExtracts) {
    const std::string avi = ScratchPath("sound-only.avi");
    ASSERT_EQ(
        std::system(
            ("ffmpeg -nostdin -v error -y -f lavfi -i sine=sample_rate=8000:duration=1 -c:a pcm_s16le " +
             Quoted(avi))
                .c_str()),
        0);
    AviReaderEngine reader;
    reader.open(avi);
    EXPECT_EQ(reader.facts().frameCount, 0);
    EXPECT_EQ(reader.facts().compressorHandler, 0u);
    EXPECT_EQ(reader.facts().quality, 0);
    try {
        reader.frameAt(0);
        ADD_FAILURE() << "a file without video has no frames";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot read AVI file because AVI does not contain video frames");
    }
    const std::string wav = ScratchPath("sound-only.wav");
    reader.extractWav(wav);
    EXPECT_EQ(ProbeField(wav, "a:0", "sample_rate"), "8000");
}

TEST(StreamOrder, TheFirstVideoStreamIsReadWhereverItStands) {
    const std::string avi = ScratchPath("sound-first.avi");
    ASSERT_EQ(
        std::system(("ffmpeg -nostdin -v error -y -f lavfi -i sine=sample_rate=8000:duration=0.6 -f lavfi -i "
                     "testsrc2=size=32x32:rate=10:duration=0.6 -map 0:a -map 1:v -c:a pcm_u8 -c:v huffyuv " +
                     Quoted(avi))
                        .c_str()),
        0);
    const auto reference = DecodeBgra(avi, 32, 32);
    AviReaderEngine reader;
    reader.open(avi);
    EXPECT_EQ(reader.facts().frameCount, 6);
    EXPECT_TRUE(reader.facts().hasSound);
    for (const int i : {5, 0, 3})
        EXPECT_EQ(TopDownBgra(reader.frameAt(i)), reference[static_cast<std::size_t>(i)]) << "frame " << i;
}

TEST(SoundTrackMissing, ExtractWavNamesTheProblem) {
    const std::string avi = MakeAvi("silent.avi", 32, 32, 3, "10", "-c:v msvideo1");
    AviReaderEngine reader;
    reader.open(avi);
    EXPECT_FALSE(reader.facts().hasSound);
    const std::string wav = ScratchPath("silent.wav");
    try {
        reader.extractWav(wav);
        ADD_FAILURE() << "no sound track";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "AVI file does not contain sound track");
    }

    const std::string unwritable = ScratchPath("no-such-folder") + "/x.wav";
    const std::string withSound = MakeAvi("sound.avi", 32, 32, 3, "10", "-c:v msvideo1", "-c:a pcm_u8");
    AviReaderEngine other;
    other.open(withSound);
    try {
        other.extractWav(unwritable);
        ADD_FAILURE() << "the target cannot be created";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create WAV file \"" + unwritable + "\"");
    }
}

// ---------------------------------------------------------------------------------------------
// Empty chunks: counted as frames, showing the frame before them.

TEST(DropFrames, EmptyChunksRepeatThePreviousFrame) {
    // ffmpeg fills the gap the dropped frames leave in the timestamps with empty chunks.
    const std::string avi = MakeAvi("drops.avi", 48, 32, 8, "10",
                                    "-vf select='not(between(n\\,3\\,4))' -vsync passthrough -c:v msvideo1");
    const auto decoded = DecodeBgra(avi, 48, 32);  // the eight stored frames
    ASSERT_EQ(decoded.size(), 8u);
    AviReaderEngine reader;
    reader.open(avi);
    ASSERT_EQ(reader.facts().frameCount, std::stoi(ProbeField(avi, "v:0", "nb_frames")));
    ASSERT_EQ(reader.facts().frameCount, 10);
    const int storedFrameOf[10] = {0, 1, 2, 2, 2, 3, 4, 5, 6, 7};
    for (const int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 4, 3, 9, 2, 5})
        EXPECT_EQ(TopDownBgra(reader.frameAt(i)), decoded[static_cast<std::size_t>(storedFrameOf[i])])
            << "frame " << i;
}

// ---------------------------------------------------------------------------------------------
// Damaged files: the reader's messages, never a crash or a hang.

const std::set<std::string> kReaderMessages = {
    "Cannot open AVI file",  // followed by the file's name and the reason: see LeadingWords
    "Cannot read AVI file header",
    "Cannot read AVI file content",
    "Cannot decompress AVI file content",
    "Cannot decompress AVI file content. Install corresponding compressor",
    "Cannot read AVI file because AVI does not contain video frames",
};

// The message without the file's name and reason that "Cannot open AVI file" carries.
std::string LeadingWords(const std::string& message, const std::string& path) {
    const std::string open = "Cannot open AVI file";
    return message.rfind(open + " " + path + ": ", 0) == 0 ? open : message;
}

std::size_t Find(const std::vector<std::uint8_t>& bytes, const char* tag) {
    const auto at = std::search(bytes.begin(), bytes.end(), tag, tag + std::strlen(tag));
    return at == bytes.end() ? std::string::npos : static_cast<std::size_t>(at - bytes.begin());
}

struct DamageCase {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    const char* openMessage;  // null: the file opens
};

const DamageCase kDamage[] = {
    {"random_bytes",
     [](auto& bytes) {
         std::mt19937 random(7);
         for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
     },
     "Cannot open AVI file"},
    {"empty_file", [](auto& bytes) { bytes.clear(); }, "Cannot open AVI file"},
    {"cut_inside_header", [](auto& bytes) { bytes.resize(100); }, nullptr},
    {"cut_in_the_middle", [](auto& bytes) { bytes.resize(bytes.size() * 6 / 10); }, nullptr},
    {"index_past_the_end",
     [](auto& bytes) {
         const std::size_t index = Find(bytes, "idx1");
         const std::uint32_t size = Le32(bytes, index + 4);
         for (std::size_t entry = index + 8; entry + 16 <= index + 8 + size; entry += 16)
             PutLe32(bytes, entry + 8, Le32(bytes, entry + 8) + 0x10000000);
     },
     nullptr},
    {"index_sizes_huge",
     [](auto& bytes) {
         const std::size_t index = Find(bytes, "idx1");
         for (std::size_t entry = index + 8; entry + 16 <= bytes.size(); entry += 16)
             PutLe32(bytes, entry + 12, 0x7FFFFFF0);
     },
     nullptr},
    {"frame_size_absurd", [](auto& bytes) { PutLe32(bytes, Find(bytes, "avih") + 8 + 32, 0x7FFFFFFF); },
     "Cannot read AVI file header"},
    {"stream_length_absurd", [](auto& bytes) { PutLe32(bytes, Find(bytes, "strh") + 8 + 32, 0x7FFFFFFF); },
     nullptr},
    {"stream_type_junk", [](auto& bytes) { std::memcpy(&bytes[Find(bytes, "strh") + 8], "junk", 4); },
     "Cannot open AVI file"},
    {"codec_unknown", [](auto& bytes) { PutLe32(bytes, Find(bytes, "strf") + 8 + 16, 0x21212121); }, nullptr},
    {"chunks_scrambled",
     [](auto& bytes) {
         std::mt19937 random(11);
         for (std::size_t i = Find(bytes, "movi") + 4; i < bytes.size(); i += 7)
             bytes[i] = static_cast<std::uint8_t>(random());
     },
     nullptr},
};

std::ostream& operator<<(std::ostream& out, const DamageCase& c) { return out << c.name; }

class DamagedFiles : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedFiles, GiveTheReadersMessagesOnly) {
    const DamageCase& c = GetParam();
    const std::string good =
        MakeAvi(std::string("good-") + c.name + ".avi", 96, 64, 30, "10", "-c:v msvideo1 -g 12");
    auto bytes = ReadFileBytes(good);
    c.damage(bytes);
    const std::string path = ScratchPath(std::string(c.name) + ".avi");
    WriteFileBytes(path, bytes);

    AviReaderEngine reader;
    try {
        reader.open(path);
    } catch (const Error& error) {
        EXPECT_TRUE(kReaderMessages.count(LeadingWords(error.what(), path))) << error.what();
        if (c.openMessage) {
            EXPECT_EQ(LeadingWords(error.what(), path), c.openMessage);
        }
        EXPECT_FALSE(reader.isOpen());
        return;
    }
    EXPECT_EQ(c.openMessage, nullptr) << "opened a file that should be refused";
    const int count = reader.facts().frameCount;
    for (const int i : {0, 1, 2, 15, 29, 3, 100, 40000, count - 1, 12, 0}) {
        try {
            const cb::Bitmap& frame = reader.frameAt(i);
            EXPECT_EQ(frame.width(), reader.facts().width);
        } catch (const Error& error) {
            EXPECT_TRUE(kReaderMessages.count(error.what())) << "frame " << i << ": " << error.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFiles, ::testing::ValuesIn(kDamage),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(TruncatedFile, FramesBeforeTheCutStillMatchFfmpeg) {
    const std::string good = MakeAvi("whole.avi", 160, 120, 30, "10", "-c:v msvideo1 -g 12");
    auto bytes = ReadFileBytes(good);
    const auto reference = DecodeBgra(good, 160, 120);
    bytes.resize(bytes.size() / 2);
    const std::string cut = ScratchPath("cut.avi");
    WriteFileBytes(cut, bytes);
    const std::size_t decodable = DecodeBgra(cut, 160, 120).size();
    ASSERT_GT(decodable, 2u);

    AviReaderEngine reader;
    reader.open(cut);
    EXPECT_EQ(reader.facts().frameCount, 30) << "the stream header's length";
    // The last decodable frame is cut short itself; those before it are whole.
    const int lastWhole = static_cast<int>(decodable) - 2;
    for (const int i : {lastWhole, 0, 1, lastWhole - 1})
        EXPECT_EQ(TopDownBgra(reader.frameAt(i)), reference[static_cast<std::size_t>(i)]) << "frame " << i;
    try {
        reader.frameAt(29);
        ADD_FAILURE() << "frame 29 lies past the cut";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot decompress AVI file content");
    }
}

}  // namespace
}  // namespace vidmill::reader

#include "reader/avi_headers.h"
#include "writer/avi_writer_engine.h"

namespace vidmill::reader {
namespace {

// A file as the library writes it: the sound track after the last frame, so that the demuxer
// reads by the index, which lists every chunk in its OpenDML standard indexes ("ix00", "ix01").
std::string WrittenWithSoundAfterTheFrames(const std::string& name) {
    const std::string tone = ScratchPath(name + "-tone.wav");
    RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i sine=sample_rate=8000:duration=2 -c:a pcm_s16le " +
               Quoted(tone));
    const std::string path = ScratchPath(name);
    writer::AviWriterEngine writer;
    writer.properties().setCompressorHandler(TagCode("MSVC"));
    writer.properties().setFramesPerSecond(10);
    writer.createNew(path, 32, 24);
    for (int i = 0; i < 20; ++i) {
        std::memset(writer.frameBitmap().bits(), i * 12, writer.frameBitmap().sizeBytes());
        writer.writeCurrentFrame();
    }
    writer.addWav(tone, true);
    writer.close();
    return path;
}

struct ReadBack {
    std::vector<std::vector<std::uint8_t>> frames;
    std::string frameError;  // the message of the first frame that failed
    std::vector<std::uint8_t> wav;
    std::string wavError;
};

ReadBack ReadEverything(const std::string& path, int frames) {
    ReadBack back;
    AviReaderEngine reader;
    reader.open(path);
    for (int i = 0; i < frames && back.frameError.empty(); ++i) {
        try {
            back.frames.push_back(TopDownBgra(reader.frameAt(i)));
        } catch (const Error& error) {
            back.frameError = error.what();
        }
    }
    const std::string wav = path + ".wav";
    try {
        reader.extractWav(wav);
        back.wav = ReadFileBytes(wav);
    } catch (const Error& error) {
        back.wavError = error.what();
    }
    return back;
}

void PutEntriesInUse(std::vector<std::uint8_t>& bytes, const char* tag, std::uint32_t entries) {
    PutLe32(bytes, Find(bytes, tag) + 12, entries);
}

// An index that lists only the first chunk of each stream, or places past the end of the file, is
// not believed: the chunks are read as they lie, so every frame and all the sound come back.
// A copy that stopped early gives what it holds and fails for the rest, never a short success.
TEST(DamagedIndex, EveryChunkInTheFileIsReadAndNothingElse) {
    const std::string good = WrittenWithSoundAfterTheFrames("indexed.avi");
    const ReadBack whole = ReadEverything(good, 20);
    ASSERT_EQ(whole.frames.size(), 20u) << whole.frameError;
    ASSERT_FALSE(whole.wav.empty()) << whole.wavError;

    const auto bytes = ReadFileBytes(good);
    struct Case {
        const char* name;
        std::function<void(std::vector<std::uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"index cut short",
         [](auto& b) {
             PutEntriesInUse(b, "ix00", 1);
             PutEntriesInUse(b, "ix01", 1);
         }},
        {"index past the end",
         [](auto& b) {
             for (const char* tag : {"ix00", "ix01"}) {
                 const std::size_t base = Find(b, tag) + 20;
                 PutLe32(b, base, Le32(b, base) + 0x10000000);
             }
             const std::size_t index = Find(b, "idx1");
             for (std::size_t entry = index + 8; entry + 16 <= b.size(); entry += 16)
                 PutLe32(b, entry + 8, Le32(b, entry + 8) + 0x10000000);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto damaged = bytes;
        c.damage(damaged);
        const std::string path = ScratchPath(std::string("damaged-index.avi"));
        WriteFileBytes(path, damaged);
        const ReadBack back = ReadEverything(path, 20);
        EXPECT_EQ(back.frames, whole.frames) << back.frameError;
        EXPECT_EQ(back.wav, whole.wav) << back.wavError;
    }

    // Cut inside the eleventh frame: ten whole frames, no sound.
    std::size_t at = Find(bytes, "movi");
    for (int chunk = 0; chunk < 11; ++chunk) {
        const char tag[] = "00dc";
        at = static_cast<std::size_t>(
            std::search(bytes.begin() + static_cast<std::ptrdiff_t>(at) + 1, bytes.end(), tag, tag + 4) -
            bytes.begin());
    }
    ASSERT_LT(at, bytes.size());
    auto cut = bytes;
    cut.resize(at + 10);
    const std::string path = ScratchPath("copy-stopped-early.avi");
    WriteFileBytes(path, cut);
    const ReadBack back = ReadEverything(path, 20);
    EXPECT_EQ(back.frames,
              std::vector<std::vector<std::uint8_t>>(whole.frames.begin(), whole.frames.begin() + 10));
    EXPECT_EQ(back.frameError, "Cannot decompress AVI file content") << "frame 10 is not in the file";
    EXPECT_EQ(back.wavError, "Cannot read AVI sound track stream");
}

}  // namespace
}  // namespace vidmill::reader
