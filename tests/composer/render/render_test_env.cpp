#include "render_test_env.h"

#include <cstdio>
#include <memory>
#include <sstream>

#include "base/app_state.h"
#include "cbplatform/registry.h"
#include "sound_test_support.h"
#include "vidmill/vidmill.h"

namespace composer::testing {

namespace {

struct PipeClose {
    void operator()(std::FILE* pipe) const { ::pclose(pipe); }
};

// The whole standard output of a command, bytes as they come.
std::string CommandOutput(const std::string& command) {
    std::unique_ptr<std::FILE, PipeClose> pipe(::popen(command.c_str(), "r"));
    std::string out;
    if (!pipe) return out;
    std::array<char, 65536> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0) out.append(chunk.data(), got);
    return out;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Made(const std::string& path, const std::string& command) {
    if (!std::filesystem::exists(path)) CommandOutput(command + " " + Quoted(path) + " 2>/dev/null");
    return std::filesystem::exists(path) ? path : std::string();
}

// The value of `key=` in ffprobe's key=value lines.
std::string Field(const std::string& lines, const std::string& key) {
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return "";
}

int Number(const std::string& text) { return text.empty() ? 0 : std::atoi(text.c_str()); }

}  // namespace

void RenderTest::SetUpTestSuite() {
    const char* base = std::getenv("CB_TEST_TMP");
    folder_ = std::filesystem::path(base && *base ? base : "/tmp") / ("render-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    ::setenv("CB_REGISTRY", (folder_ / "registry.ini").c_str(), 1);
    const std::string command = std::string(REGSVR_PATH) + " " VIDMILL_LIBRARY_PATH " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

void RenderTest::TearDownTestSuite() {
    CoFreeUnusedLibraries();
    std::filesystem::remove_all(folder_);
}

void RenderTest::SetUp() {
    SoundTest::SetUp();
    // Uncompressed frames, so that pixels come back exactly.
    options_.compressor = vidmill::Uncompressed;
}

void RenderTest::TearDown() { SoundTest::TearDown(); }

std::string RenderTest::MakeAvi(const std::string& name, const std::string& source, int frames) {
    // Drawn in RGB from the start, so that colours are exact (not rounded through YUV).
    return Made(Fixture(name), "ffmpeg -v error -y -f lavfi -i '" + source + ",format=rgb24' -frames:v " +
                                   std::to_string(frames) + " -c:v rawvideo -pix_fmt bgr24");
}

std::string RenderTest::MakePicture(const std::string& name, const std::string& source) {
    return Made(Fixture(name),
                "ffmpeg -v error -y -f lavfi -i '" + source + ",format=rgb24' -frames:v 1 -pix_fmt bgr24");
}

std::string RenderTest::MakeWav(const std::string& name, double seconds, int sampleRate) {
    return Made(Fixture(name), "ffmpeg -v error -y -f lavfi -i 'sine=frequency=330:sample_rate=" +
                                   std::to_string(sampleRate) + ":duration=" + std::to_string(seconds) +
                                   "' -c:a pcm_s16le -ac 1");
}

ProbedMovie RenderTest::Probe(const std::string& movie) {
    const std::string video = CommandOutput(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=width,height,r_frame_rate,nb_read_frames,codec_name -of default=nw=1 " +
        Quoted(movie));
    ProbedMovie probed;
    probed.width = Number(Field(video, "width"));
    probed.height = Number(Field(video, "height"));
    probed.frameRate = Field(video, "r_frame_rate");
    probed.videoFrames = Number(Field(video, "nb_read_frames"));
    probed.videoCodec = Field(video, "codec_name");
    const cb::sound::testing::ProbedSound sound = cb::sound::testing::Probe(movie);
    probed.sampleRate = sound.sampleRate;
    probed.channels = sound.channels;
    probed.soundFrames = sound.sampleFrames;
    return probed;
}

Rgb24 RenderTest::PixelAt(const std::string& movie, int frame, int row, int column) {
    const ProbedMovie probed = Probe(movie);
    const std::string bytes =
        CommandOutput("ffmpeg -v error -i " + Quoted(movie) + " -vf 'select=eq(n\\," +
                      std::to_string(frame - 1) + ")' -vsync 0 -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
    const std::size_t at = (static_cast<std::size_t>(row) * probed.width + column) * 3;
    if (bytes.size() < at + 3) return {-1, -1, -1};
    return {static_cast<unsigned char>(bytes[at]), static_cast<unsigned char>(bytes[at + 1]),
            static_cast<unsigned char>(bytes[at + 2])};
}

MovieDbRec RenderTest::NewMovie(double fps, int32_t width, int32_t height) {
    MovieDbRec movie;
    movie.MovieName = "Render test";
    movie.OutFps = fps;
    movie.OutWidth = width;
    movie.OutHeight = height;
    movie.OutChannels = 1;
    movie.OutBits = 16;
    movie.OutRate = 8000;
    return movie;
}

namespace {

int32_t Append(MovieDbRec& movie, ClipRec clip) {
    movie.Clips.push_back(std::move(clip));
    return movie.ClipCount = static_cast<int32_t>(movie.Clips.size()) - 1;
}

}  // namespace

int32_t RenderTest::AddVideo(MovieDbRec& movie, const std::string& path, const std::string& name,
                             int32_t width, int32_t height, double fps, int32_t frames) {
    ClipRec clip;
    clip.ClipType = ClipVideo;
    clip.FilePath = path;
    clip.ClipName = name;
    clip.SrcWidth = width;
    clip.SrcHeight = height;
    clip.SrcFps = fps;
    clip.FrameCount = frames;
    clip.UseFirst = 1;
    clip.UseLast = frames;
    return Append(movie, clip);
}

int32_t RenderTest::AddPicture(MovieDbRec& movie, const std::string& path, const std::string& name,
                               int32_t width, int32_t height, double seconds) {
    ClipRec clip;
    clip.ClipType = ClipPicture;
    clip.FilePath = path;
    clip.ClipName = name;
    clip.SrcWidth = width;
    clip.SrcHeight = height;
    clip.PicDuration = seconds;
    return Append(movie, clip);
}

int32_t RenderTest::AddSound(MovieDbRec& movie, const std::string& path, const std::string& name,
                             double seconds, int32_t rate) {
    ClipRec clip;
    clip.ClipType = ClipAudio;
    clip.FilePath = path;
    clip.AudioFile = path;
    clip.ClipName = name;
    clip.AudioDuration = seconds;
    clip.AudioBits = 16;
    clip.AudioChannels = 1;
    clip.AudioRate = rate;
    clip.AudioFrames = static_cast<int32_t>(seconds * rate);
    return Append(movie, clip);
}

void RenderTest::Arrange(MovieDbRec& movie, int32_t clip, const std::vector<int32_t>& overlays) {
    ArrangeRec entry;
    entry.ClipIndex = clip;
    entry.Overlays.insert(entry.Overlays.end(), overlays.begin(), overlays.end());
    entry.OverlayCount = static_cast<int32_t>(overlays.size());
    movie.Arranged.push_back(entry);
    movie.ArrangedCount = static_cast<int32_t>(movie.Arranged.size()) - 1;
}

::testing::AssertionResult Near(const Rgb24& actual, const Rgb24& expected, int tolerance) {
    const bool near = std::abs(actual.red - expected.red) <= tolerance &&
                      std::abs(actual.green - expected.green) <= tolerance &&
                      std::abs(actual.blue - expected.blue) <= tolerance;
    if (near) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << actual.red << ", " << actual.green << ", " << actual.blue << "), expected ("
           << expected.red << ", " << expected.green << ", " << expected.blue << ")";
}

}  // namespace composer::testing
