// What a render does to the user's files: a movie is never written over what it is made from, an
// old movie is replaced only by a complete new one, and a render that fails, is stopped or meets a
// full disk leaves the old movie byte for byte, no partial file and no work folder. In the
// program's own process (scripted messages) and as a user runs cinebrix-composer --render.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cbplatform/stop_signals.h"
#include "command_runner.h"
#include "document/open_save_class.h"
#include "playback_check.h"
#include "render/movie_render.h"
#include "render_test_env.h"
#include "small_disk.h"
#include "stopped_run.h"
#include "vidmill/vidmill.h"

namespace composer::testing {
namespace {

namespace fs = std::filesystem;

using cb::testing::FileBytes;
using cb::testing::FolderEntries;
using cb::testing::FolderHolds;

constexpr const char* kOldMovie = "an old movie of the user";

class RenderOutputTest : public RenderTest {
  protected:
    // One video of 50 numbered frames at 25 per second, 64 x 48.
    MovieDbRec SmallMovie() {
        MovieDbRec movie = NewMovie(25, 64, 48);
        Arrange(movie, AddVideo(movie, MakeAvi("numbered.avi", "testsrc=s=64x48:r=25", 50), "Numbered", 64,
                                48, 25, 50));
        return movie;
    }

    // A movie of one video clip whose file is `folder`/clip.avi.
    MovieDbRec MovieWithClipIn(const std::string& folder) {
        fs::copy_file(MakeAvi("numbered.avi", "testsrc=s=64x48:r=25", 50), folder + "/clip.avi");
        MovieDbRec movie = NewMovie(25, 64, 48);
        Arrange(movie, AddVideo(movie, folder + "/clip.avi", "Numbered", 64, 48, 25, 50));
        return movie;
    }

    // A folder of its own for this test's files, so that anything left in it is seen.
    std::string Folder(const std::string& name) const {
        const std::string folder = PathFor(name);
        fs::create_directories(folder);
        return folder;
    }

    // The movie saved as a project in `folder`; its path.
    static std::string SaveProject(const MovieDbRec& movie, const std::string& folder) {
        const std::string project = folder + "/movie.CbMov";
        EXPECT_TRUE(OpenSaveClass::WriteDataFile(movie, project));
        return project;
    }

    // The program's command line with its settings and temporary folders in `folder`.
    static std::string Program(const std::string& folder, const std::string& arguments) {
        fs::create_directories(folder + "/settings");
        fs::create_directories(folder + "/tmp");
        return "CB_SETTINGS_DIR='" + folder + "/settings' TMPDIR='" + folder +
               "/tmp' '" CB_COMPOSER_EXE "' " + arguments;
    }
};

TEST_F(RenderOutputTest, AMovieIsNeverWrittenOverWhatItIsMadeFrom) {
    const std::string folder = Folder("own");
    const std::string clip = folder + "/clip.avi";
    MovieDbRec movie = MovieWithClipIn(folder);
    movie.ProjectPath = folder + "/movie.CbMov";
    std::ofstream(movie.ProjectPath) << "the project";
    fs::create_symlink(clip, folder + "/link.avi");
    fs::create_hard_link(clip, folder + "/hard.avi");
    fs::create_directory(folder + "/sub");
    struct Row {
        std::string output;
        std::string why;
    };
    const Row rows[] = {
        {clip, "is the source of the clip Numbered of this movie."},
        {folder + "/link.avi", "is the source of the clip Numbered of this movie."},
        {folder + "/sub/../clip.avi", "is the source of the clip Numbered of this movie."},
        {folder + "/hard.avi", "is the source of the clip Numbered of this movie."},
        {movie.ProjectPath, "is the project file of this movie."},
    };
    const std::string clipBytes = FileBytes(clip);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.output);
        ui.messages.clear();
        EXPECT_FALSE(Shown(SaveMovie(movie, row.output, options_)));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "The file " + row.output + "\r\n" + row.why +
                                           "\r\nA movie is never written over what it is made from: "
                                           "choose another file.");
    }
    EXPECT_EQ(FileBytes(clip), clipBytes);
    EXPECT_EQ(FileBytes(movie.ProjectPath), "the project");
    EXPECT_EQ(FolderEntries(folder),
              (std::vector<std::string>{"clip.avi", "hard.avi", "link.avi", "movie.CbMov", "sub"}));
}

TEST_F(RenderOutputTest, OutputsThatCannotBeWrittenAreRefusedWithTheReasonBeforeAnythingIsWritten) {
    const std::string folder = Folder("refused");
    struct Row {
        std::string output;
        int32_t side;
        std::string message;
    };
    const std::string tooLarge =
        " is too large for an MP4, MKV or WebM movie: at most 4096 x 4096 pixels in all "
        "(an AVI movie takes up to 8192 x 8192)";
    // A device or pipe with a movie's ending is no file a movie can take the place of.
    const std::string pipe = Folder("refused-pipe") + "/pipe.avi";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const Row rows[] = {
        {pipe, 64, "Failed to create file\r\n" + pipe + "\r\nit is not a regular file"},
        {"/dev/null", 64,
         "The file /dev/null\r\nis not written: a movie is written as a .avi, .mp4, .mkv or .webm file."},
        {folder + "/missing/out.avi", 64,
         "Failed to create file\r\n" + folder + "/missing/out.avi\r\nNo such file or directory"},
        {folder + "/large.mp4", 8192, "Frame size 8192 x 4097" + tooLarge},
        {folder + "/large.webm", 8192, "Frame size 8192 x 4097" + tooLarge},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.output);
        MovieDbRec movie = NewMovie(25, row.side, row.side == 64 ? 48 : 4097);
        Arrange(movie,
                AddPicture(movie, MakePicture("grey.bmp", "color=c=gray:s=64x48"), "Grey", 64, 48, 1.0));
        ui.messages.clear();
        EXPECT_FALSE(Shown(SaveMovie(movie, row.output, options_)));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, row.message);
    }
    EXPECT_TRUE(FolderEntries(folder).empty());
}

TEST_F(RenderOutputTest, APipeNamedAsAMovieIsAnUnreadableSourceNotAHang) {
    const std::string folder = Folder("pipe");
    ASSERT_EQ(::mkfifo((folder + "/clip.mp4").c_str(), 0600), 0);
    MovieDbRec movie = NewMovie(25, 64, 48);
    Arrange(movie, AddVideo(movie, folder + "/clip.mp4", "Pipe", 64, 48, 25, 50),
            {AddPicture(movie, MakePicture("grey.bmp", "color=c=gray:s=64x48"), "Grey", 64, 48, 1.0)});
    const std::string project = SaveProject(movie, folder);
    // Killed after a minute: a demuxer waiting for the pipe's writer would never end by itself.
    const int raw = std::system(("timeout -s KILL 60 env " +
                                 Program(folder, "--render '" + project + "' '" + folder +
                                                     "/out.avi' --compressor DIB 2>'" + folder + "/err.txt'"))
                                    .c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) != 137) << "the render hung on the pipe";
    const std::string err = FileBytes(folder + "/err.txt");
    EXPECT_NE(WEXITSTATUS(raw), 0) << err;
    EXPECT_NE(err.find("clip.mp4"), std::string::npos) << err;
}

TEST_F(RenderOutputTest, AStopBeforeTheNextFrameLeavesTheOldMovieAndNothingElse) {
    const std::string folder = Folder("stopped");
    const std::string out = folder + "/out.avi";
    std::ofstream(out) << kOldMovie;
    MovieDbRec movie = SmallMovie();
    cb::InstallStopSignals();
    std::raise(SIGTERM);
    const bool written = Shown(SaveMovie(movie, out, options_));
    cb::ClearStopSignal();
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(signal, SIG_DFL);
    EXPECT_FALSE(written);
    EXPECT_TRUE(ui.messages.empty()) << "a stop is the user's wish, not a failure to report";
    EXPECT_EQ(FileBytes(out), kOldMovie);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"out.avi"});
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(RenderOutputTest, ACompleteMovieTakesTheOldOnesPlaceAndNoOtherFileStays) {
    const std::string folder = Folder("replaced");
    const std::string out = folder + "/out.avi";
    std::ofstream(out) << kOldMovie;
    fs::create_symlink(out, folder + "/link.avi");
    MovieDbRec movie = SmallMovie();
    ASSERT_TRUE(Shown(SaveMovie(movie, folder + "/link.avi", options_)))
        << ::testing::PrintToString(MessageTexts());
    EXPECT_TRUE(fs::is_symlink(folder + "/link.avi")) << "the link stays a link to the new movie";
    EXPECT_EQ(Probe(out).videoFrames, 50);
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"link.avi", "out.avi"}));
}

TEST_F(RenderOutputTest, TheCommandRefusesItsOwnSourcesAndLeavesTheSettingsAlone) {
    const std::string folder = Folder("command");
    const std::string clip = folder + "/clip.avi";
    const std::string project = SaveProject(MovieWithClipIn(folder), folder);
    const std::string settings = "[Output]\nWavChn = 1\n";
    fs::create_directories(folder + "/settings");
    std::ofstream(folder + "/settings/cinebrix-composer.ini") << settings;
    const std::string clipBytes = FileBytes(clip), projectBytes = FileBytes(project);
    for (const std::string& arguments : {"--render '" + project + "' '" + clip + "'",
                                         "--render '" + project + "' '" + project + "' --part 0 1"}) {
        SCOPED_TRACE(arguments);
        const int raw =
            std::system((Program(folder, arguments) + " >/dev/null 2>'" + folder + "/err.txt'").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
        EXPECT_NE(FileBytes(folder + "/err.txt").find("A movie is never written over what it is made from"),
                  std::string::npos)
            << FileBytes(folder + "/err.txt");
    }
    EXPECT_EQ(FileBytes(clip), clipBytes);
    EXPECT_EQ(FileBytes(project), projectBytes);
    EXPECT_TRUE(fs::is_empty(folder + "/tmp"));
    EXPECT_EQ(FileBytes(folder + "/settings/cinebrix-composer.ini"), settings);
}

TEST_F(RenderOutputTest, SignalsStopTheCommandAndLeaveTheOldMovie) {
    // 40 s of one picture: long enough to be stopped while its frames are written.
    MovieDbRec movie = NewMovie(25, 64, 48);
    Arrange(movie, AddPicture(movie, MakePicture("grey.bmp", "color=c=gray:s=64x48"), "Grey", 64, 48, 40.0));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        SCOPED_TRACE(signal);
        const std::string folder = Folder("signal" + std::to_string(signal));
        const std::string out = folder + "/out/movie.avi";
        fs::create_directories(folder + "/out");
        std::ofstream(out) << kOldMovie;
        const std::string project = SaveProject(movie, folder);
        const auto run =
            cb::testing::RunAndStop(Program(folder, "--render '" + project + "' '" + out +
                                                        "' --compressor DIB 2>'" + folder + "/err.txt'"),
                                    signal, [&] { return FolderHolds(folder + "/out", "-1.partial-"); });
        ASSERT_TRUE(run.signalSent) << "the render ended before it could be stopped: "
                                    << FileBytes(folder + "/err.txt");
        EXPECT_EQ(run.status, 128 + signal);
        EXPECT_EQ(FileBytes(out), kOldMovie);
        EXPECT_EQ(FolderEntries(folder + "/out"), std::vector<std::string>{"movie.avi"});
        EXPECT_TRUE(fs::is_empty(folder + "/tmp")) << "the work folder is removed";
        const std::string err = FileBytes(folder + "/err.txt");
        EXPECT_NE(err.find("cinebrix-composer: the render was stopped; " + out + " was left as it was\n"),
                  std::string::npos)
            << err;
    }
}

TEST_F(RenderOutputTest, AFullDiskFailsTheRenderNamesTheFolderAndLeavesNothing) {
    // 200 uncompressed frames of 9 kB do not fit 1 MiB; 20 s of 8 kHz sound decoded into the work
    // folder do not fit 64 kB.
    MovieDbRec movie = NewMovie(25, 64, 48);
    Arrange(movie, AddPicture(movie, MakePicture("grey.bmp", "color=c=gray:s=64x48"), "Grey", 64, 48, 8.0),
            {AddSound(movie, MakeWav("long.wav", 20.0, 8000), "Tone", 20.0, 8000)});
    struct Row {
        const char* name;
        bool outputFull;  // else the temporary folder is full
        const char* size;
    };
    const Row rows[] = {{"output", true, "1m"}, {"temporary", false, "64k"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string folder = Folder(std::string("full-") + row.name);
        const std::string project = SaveProject(movie, folder);
        fs::create_directories(folder + "/out");
        fs::create_directories(folder + "/tmp");
        const std::string full = folder + (row.outputFull ? "/out" : "/tmp");
        const std::string out = folder + "/out/movie.avi";
        // Inside the namespace: the old movie put in place, the render, then what the tmpfs holds.
        const std::string script =
            "printf '" + std::string(kOldMovie) + "' >'" + out + "'; " +
            Program(folder, "--render '" + project + "' '" + out + "' --compressor DIB") + " >/dev/null 2>'" +
            folder + "/err.txt'; echo \\$? >'" + folder + "/status.txt'; cat '" + out + "' >'" + folder +
            "/kept.txt'; ls -A '" + full + "' '" + folder + "/out' '" + folder + "/tmp' >'" + folder +
            "/left.txt'";
        if (!cb::testing::RunWithSmallDisk(full, row.size, script))
            GTEST_SKIP() << "no tmpfs can be mounted here";
        EXPECT_EQ(FileBytes(folder + "/status.txt"), "1\n");
        const std::string err = FileBytes(folder + "/err.txt");
        EXPECT_NE(err.find(full), std::string::npos) << err;
        EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;
        EXPECT_EQ(FileBytes(folder + "/kept.txt"), kOldMovie);
        const std::string left = FileBytes(folder + "/left.txt");
        EXPECT_EQ(left.find("partial"), std::string::npos) << left;
        EXPECT_EQ(left.find("cbv"), std::string::npos) << left;
    }
}

// The status of the program's command line, its standard error in `err`.
int RunProgram(const std::string& command, const std::string& errFile) {
    const int raw = std::system((command + " >/dev/null 2>'" + errFile + "'").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST_F(RenderOutputTest, AnOutputWhoseEndingIsNoMoviesIsRefusedBeforeAnythingIsWritten) {
    const std::string folder = Folder("endings");
    MovieDbRec movie = SmallMovie();
    struct Row {
        const char* name;
        bool written;
    };
    const Row rows[] = {{"movie.xyz", false}, {"movie.wav", false},     {"movie.mov", false},
                        {"movie", false},     {"movie.avi.bak", false}, {"MOVIE.AVI", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string out = folder + "/" + row.name;
        std::ofstream(out) << kOldMovie;
        ui.messages.clear();
        EXPECT_EQ(Shown(SaveMovie(movie, out, options_)), row.written);
        if (row.written) {
            EXPECT_EQ(Probe(out).videoFrames, 50);
            continue;
        }
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text,
                  "The file " + out +
                      "\r\nis not written: a movie is written as a .avi, .mp4, .mkv or .webm file.");
        EXPECT_EQ(FileBytes(out), kOldMovie);
    }
    EXPECT_FALSE(FolderHolds(folder, ".partial-"));

    // The command line: a wrong command line, told before the project is even loaded.
    const std::string out = folder + "/movie.xyz";
    const std::string err = folder + "/err.txt";
    EXPECT_EQ(RunProgram(Program(folder, "--render '" + folder + "/none.CbMov' '" + out + "'"), err), 2);
    EXPECT_NE(FileBytes(err).find("is not written: a movie is written as a .avi, .mp4, .mkv or .webm file"),
              std::string::npos)
        << FileBytes(err);
    EXPECT_EQ(FileBytes(out), kOldMovie);
}

// A compressor writes a movie only at a size it codes and decodes a frame of: one whose frames of that
// size no decoder takes, and one whose encoder stops the process on an assertion (tried in a child
// process), are refused before anything is written, the old movie kept.
TEST_F(RenderOutputTest, ACompressorThatCannotWriteTheMovieSizeIsRefusedBeforeAnythingIsWritten) {
    struct Row {
        const char* compressor;
        int32_t width;
        int32_t height;
        std::string reason;  // empty: written
    };
    const Row rows[] = {
        {"SHQ0", 351, 287,
         "(SHQ0) cannot write 351 x 287 frames: its frames of that size do not decode back. The nearest "
         "sizes it "
         "can write are 336 x 272 and 352 x 288."},
        {"azpr", 2, 2,
         "(azpr) cannot write 2 x 2 frames: its encoder crashed on a frame of that size (Aborted). The "
         "nearest "
         "sizes it can write are 4 x 4 and 8 x 8."},
        {"MSVC", 30, 48,
         "(MSVC) cannot write 30 x 48 frames: its encoder does not take frames of that size. The nearest "
         "sizes "
         "it can write are 28 x 48 and 32 x 48.\r\n"},
        {"MSVC", 351, 287,
         "(MSVC) cannot write 351 x 287 frames: its encoder does not take frames of that size. The nearest "
         "sizes it can write are 348 x 284 and 352 x 288.\r\n"},
        {"SHQ0", 352, 288, ""},
    };
    const std::string picture = MakePicture("grey.bmp", "color=c=gray:s=64x48");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.compressor);
        const std::string folder = Folder(std::string("size-") + row.compressor + std::to_string(row.width));
        const std::string out = folder + "/movie.avi";
        std::ofstream(out) << kOldMovie;
        MovieDbRec movie = NewMovie(25, row.width, row.height);
        Arrange(movie, AddPicture(movie, picture, "Grey", 64, 48, 0.4));
        options_.compressor = vidmill::FourCC(row.compressor);
        ui.messages.clear();
        const bool written = Shown(SaveMovie(movie, out, options_));
        EXPECT_EQ(written, row.reason.empty()) << ::testing::PrintToString(MessageTexts());
        if (written) {
            EXPECT_GT(Probe(out).videoFrames, 0);
        } else {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(
                ui.messages[0].text.rfind("The movie cannot be written to " + out + "\r\nThe compressor ", 0),
                0u)
                << ui.messages[0].text;
            EXPECT_NE(ui.messages[0].text.find(row.reason), std::string::npos) << ui.messages[0].text;
            EXPECT_EQ(FileBytes(out), kOldMovie);
        }
        EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"movie.avi"});

        // The command line says the same and exits 1, the movie not written; never ends by a signal.
        if (written) continue;
        const std::string project = SaveProject(movie, folder);
        const std::string err = folder + "/../err-" + row.compressor + ".txt";
        EXPECT_EQ(RunProgram(Program(folder + "/../run", "--render '" + project + "' '" + out +
                                                             "' --compressor " + row.compressor),
                             err),
                  1);
        EXPECT_NE(FileBytes(err).find(row.reason), std::string::npos) << FileBytes(err);
        EXPECT_EQ(FileBytes(out), kOldMovie);
    }
}

// A movie to share takes only even sizes: an odd one is written one pixel larger on each odd side, and
// the render says so in one warning (on standard error from the command line), never silently.
TEST_F(RenderOutputTest, AMovieToShareOfAnOddSizeIsWrittenEvenWithOneWarning) {
    const std::string folder = Folder("odd-share");
    const std::string out = folder + "/movie.mp4";
    const std::string picture = MakePicture("grey.bmp", "color=c=gray:s=64x48");
    MovieDbRec movie = NewMovie(25, 351, 287);
    Arrange(movie, AddPicture(movie, picture, "Grey", 64, 48, 0.4));
    ui.messages.clear();
    ASSERT_TRUE(Shown(SaveMovie(movie, out, options_))) << ::testing::PrintToString(MessageTexts());
    const std::string warning =
        "The movie's frame size 351 x 287 is written as 352 x 288: MP4, MKV and WebM "
        "movies take only even widths and heights.";
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{warning + "\r\n"});
    const ProbedMovie written = Probe(out);
    EXPECT_EQ(std::make_pair(written.width, written.height), std::make_pair(352, 288));

    const std::string project = SaveProject(movie, folder);
    const std::string err = folder + "/../err-odd-share.txt";
    EXPECT_EQ(RunProgram(Program(folder + "/../run-odd", "--render '" + project + "' '" + out + "'"), err),
              0);
    EXPECT_NE(FileBytes(err).find(warning), std::string::npos) << FileBytes(err);
    EXPECT_EQ(Probe(out).width, 352);

    // An even size is written as it is, with no warning.
    MovieDbRec even = NewMovie(25, 64, 48);
    Arrange(even, AddPicture(even, picture, "Grey", 64, 48, 0.4));
    ui.messages.clear();
    ASSERT_TRUE(Shown(SaveMovie(even, folder + "/even.mp4", options_)));
    EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
}

// The check of a finished movie decodes its frames: a file whose index counts every frame but whose
// frames no decoder takes (SpeedHQ at an odd size, as FFmpeg itself writes it) does not play back.
TEST_F(RenderOutputTest, TheCheckOfAFinishedMovieDecodesItsFrames) {
    const std::string folder = Folder("check");
    const auto movie = [&](const std::string& name, const std::string& coding) {
        const std::string path = folder + "/" + name;
        cb::testing::RunCommand("ffmpeg -v error -y -f lavfi -i testsrc=r=25:" + coding + " -frames:v 30 " +
                                cb::testing::Quoted(path));
        return path;
    };
    EXPECT_EQ(PlaybackProblem(movie("odd.avi", "s=351x287 -c:v speedhq"), 30),
              "Frame 1 does not decode: Cannot decompress AVI file content");
    EXPECT_EQ(PlaybackProblem(movie("even.avi", "s=352x288 -c:v speedhq"), 30), std::nullopt);
    EXPECT_EQ(PlaybackProblem(movie("even.mp4", "s=64x48 -c:v libx264 -g 8"), 30), std::nullopt);
    EXPECT_EQ(PlaybackProblem(movie("short.avi", "s=64x48 -c:v mjpeg"), 31),
              "It reads back with 30 of its 31 frames.");
    EXPECT_EQ(PlaybackProblem(folder + "/none.avi", 30).value_or("").rfind("It does not open: ", 0), 0u);
}

}  // namespace
}  // namespace composer::testing
