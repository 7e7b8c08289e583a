// Opening sources for the demuxers: anything but a regular file is refused at once (a pipe named
// like a movie would keep the demuxer waiting for ever), and a stop ends an open in progress.
#include "cbplatform/media_input.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <future>
#include <optional>

#include "cbplatform/picture.h"
#include "cbplatform/stop_signals.h"
#include "scratch_folder.h"

namespace cb {
namespace {

using composer::testing::ScratchFolder;

// Runs `open` on another thread and waits at most 10 s. A pipe whose open waits is then given a
// writer, so that the waiting thread ends and the test fails instead of hanging.
template <typename Result>
std::optional<Result> WithinTenSeconds(const std::string& pipe, std::function<Result()> open) {
    std::future<Result> result = std::async(std::launch::async, std::move(open));
    if (result.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return result.get();
    const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    result.wait();
    return std::nullopt;
}

TEST(MediaInput, OnlyRegularFilesAreOpened) {
    ScratchFolder folder;
    ASSERT_EQ(::mkfifo((folder / "clip.mp4").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder / "clip.mkv").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder / "picture.png").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir((folder / "folder.avi").c_str(), 0700), 0);
    const struct {
        std::string path;
        int code;
    } rows[] = {{folder / "clip.mp4", kNotARegularFile},
                {folder / "clip.mkv", kNotARegularFile},
                {folder / "folder.avi", kNotARegularFile},
                {"/dev/null", kNotARegularFile},
                {folder / "missing.mp4", AVERROR(ENOENT)}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const std::optional<int> code = WithinTenSeconds<int>(row.path, [&] {
            AVFormatContext* context = nullptr;
            const int result = OpenMediaInput(&context, row.path);
            EXPECT_EQ(context, nullptr);
            return result;
        });
        ASSERT_TRUE(code) << "the open waited for the pipe";
        EXPECT_EQ(*code, row.code) << MediaFailureText(*code);
    }
    EXPECT_EQ(MediaFailureText(kNotARegularFile), "it is not a regular file");

    const std::string pipe = folder / "picture.png";
    const std::optional<std::string> problem = WithinTenSeconds<std::string>(pipe, [&] {
        std::string why;
        EXPECT_TRUE(DecodeImageFile(pipe, &why).empty());
        return why;
    });
    ASSERT_TRUE(problem) << "the picture loader waited for the pipe";
    EXPECT_EQ(*problem, "it is not a regular file");
}

TEST(MediaInput, AStopEndsTheOpen) {
    ScratchFolder folder;
    const std::string wav = folder / "tone.wav";
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i sine=d=0.2 '" + wav + "'").c_str()), 0);
    AVFormatContext* context = nullptr;
    ASSERT_EQ(OpenMediaInput(&context, wav), 0);
    avformat_close_input(&context);

    InstallStopSignals();
    std::raise(SIGHUP);
    EXPECT_EQ(StopSignal(), SIGHUP);
    EXPECT_EQ(OpenMediaInput(&context, wav), AVERROR_EXIT);
    EXPECT_EQ(context, nullptr);
    ClearStopSignal();
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(signal, SIG_DFL);
}

}  // namespace
}  // namespace cb
