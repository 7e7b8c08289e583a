// Project files: the string blocks, the file layout, round trips, relocation and refresh of the
// clips, and damaged files that must be refused.
#include "document/project_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include "base/app_state.h"
#include "base/folders.h"
#include "base/scripted_interaction.h"
#include "base/view.h"
#include "document/enc_dec.h"
#include "document/movie_db.h"
#include "document/movie_plan.h"
#include "document/open_project.h"
#include "document/open_save_class.h"
#include "document/project_words.h"
#include "fake_probe.h"
#include "scratch_folder.h"

namespace composer {
namespace {

using testing::FakeProbe;
using testing::ScratchFolder;

// A work folder for temporary files inside a scratch folder.
struct WorkFolderScope {
    explicit WorkFolderScope(const ScratchFolder& folder) : saved(WorkFolder) {
        WorkFolder = folder / "work";
        std::filesystem::create_directories(WorkFolder);
    }
    ~WorkFolderScope() { WorkFolder = saved; }
    std::string saved;
};

// The user's data folder (where the trash lies) and home set to places of the test, and the current
// directory moved into the scratch folder, for the lifetime of the object: saving over a project
// trashes the old one, which must never reach the real trash or the directory the test ran in.
class TrashScope {
  public:
    TrashScope(const std::string& dataHome, const std::string& home, const std::string& currentDirectory)
        : savedData_(Saved("XDG_DATA_HOME")),
          savedHome_(Saved("HOME")),
          savedDirectory_(std::filesystem::current_path()) {
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        setenv("HOME", home.c_str(), 1);
        // Home must exist: for a file outside the home's file system the trash would be made at the
        // root of that file system.
        std::filesystem::create_directories(home);
        std::filesystem::create_directories(currentDirectory);
        std::filesystem::current_path(currentDirectory);
    }
    ~TrashScope() {
        std::filesystem::current_path(savedDirectory_);
        Restore("XDG_DATA_HOME", savedData_);
        Restore("HOME", savedHome_);
    }
    TrashScope(const TrashScope&) = delete;
    TrashScope& operator=(const TrashScope&) = delete;

  private:
    static std::optional<std::string> Saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    std::optional<std::string> savedData_;
    std::optional<std::string> savedHome_;
    std::filesystem::path savedDirectory_;
};

TEST(StringBlocks, SizesAndPacking) {
    const struct {
        std::string text;
        std::vector<int32_t> block;
    } cases[] = {
        {"", {1, 0}},
        {"ab", {2, 2, 0x6261}},
        {"abcdef", {4, 6, 0x64636261, 0x6665, 0}},                               // 5 words
        {"abcdefghij", {4, 10, 0x64636261, 0x68676665, 0x6A69}},                 // also 5 words
        {"abcde", {3, 5, 0x64636261, 0x65}},                                     // 5 / 4 + 2 = 3.25 -> 3
        {"\xC3\xA9t\xC3\xA9", {3, 5, static_cast<int32_t>(0xC374A9C3u), 0xA9}},  // UTF-8 bytes as they are
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToWords(c.text), c.block);
        EXPECT_EQ(WordsToStr(c.block), c.text);
    }
}

TEST(StringBlocks, BytesThatAreNotUtf8ReadAsWindows1252) {
    EXPECT_EQ(WordsToStr(std::vector<int32_t>{2, 3, 0x80E963}), "c\xC3\xA9\xE2\x82\xAC");  // c, e acute, euro
    EXPECT_EQ(WordsToStr(std::vector<int32_t>{1, -5}), "");
    EXPECT_THROW(WordsToStr(std::vector<int32_t>{2, 5, 0x41414141}), Failure);
}

MovieDbRec RichMovie() {
    MovieDbRec movie;
    ClearMovie(movie);
    movie.MovieName = "Fête d'été";
    movie.ProjectPath = "/home/u/movie.CbMov";
    movie.OutputPath = "C:\\Movies\\out.avi";
    movie.OutFps = 29.97;
    movie.OutWidth = 640;
    movie.OutHeight = 480;
    movie.OutChannels = 1;
    movie.OutBits = 8;
    movie.OutRate = 11025;
    for (int i = 1; i <= 3; ++i) {
        ClipRec clip;
        clip.ClipType = i;
        clip.FilePath = "/clips/file" + std::to_string(i);
        clip.ClipName = "clip " + std::to_string(i);
        clip.OverlayDelay = 0.25 * i;
        clip.CropTop = i, clip.CropBottom = 2 * i, clip.CropLeft = 3 * i, clip.CropRight = 4 * i;
        clip.SrcFps = 12.5, clip.FrameCount = 100, clip.SrcWidth = 320, clip.SrcHeight = 240;
        clip.UseFirst = 5, clip.UseLast = 50, clip.CurFrame = 7;
        clip.AudioDuration = 3.5, clip.AudioBits = 16, clip.AudioChannels = 2, clip.AudioRate = 44100;
        clip.PicDuration = 1.5;
        for (int k = 1; k < i; ++k) clip.TransColors.push_back({static_cast<uint8_t>(k), 20, 250, 10 * k});
        clip.TransColorCount = i - 1;
        movie.Clips.push_back(clip);
    }
    movie.ClipCount = 3;
    movie.CurClip = 2;
    movie.Arranged.push_back({1, {0, 2}, 1});
    movie.ArrangedCount = 1;
    movie.Unused = {0, 3};
    movie.UnusedCount = 1;
    return movie;
}

TEST(ProjectWords, EmptyMovieIs17WordsAnd18InTheFile) {
    MovieDbRec movie;
    ClearMovie(movie);
    movie.MovieName.clear();
    const std::vector<int32_t> words = MovieToWords(movie);
    ASSERT_EQ(words.size(), 18u);
    EXPECT_EQ(words[0], 17);
    EXPECT_EQ(words[7], 288);  // height before width
    EXPECT_EQ(words[8], 352);
    const std::string file = OpenSaveClass::ProjectFileBytes(movie);
    const std::size_t data = file.find("\r\nData=") + 7;
    EXPECT_EQ(file.substr(data, 4), std::string("\x12\0\0\0", 4));  // M = 18
    EXPECT_EQ(file.size(), data + 4 * 19 + 4 + 5);
    EXPECT_EQ(file.substr(file.size() - 9), std::string("\0\0\0\0EOF\r\n", 9));
    const MovieDbRec back = WordsToMovie(EncDecClass().ListOpen(*DataBlockInBytes(file), ""));
    EXPECT_EQ(back.ClipCount, 0);
    EXPECT_EQ(back.MovieName, "");
    EXPECT_EQ(back.OutWidth, 352);
}

TEST(ProjectFile, HeaderLinesAndHeaderValues) {
    std::tm time{};
    time.tm_mday = 5, time.tm_mon = 9, time.tm_year = 103, time.tm_hour = 14, time.tm_min = 7,
    time.tm_sec = 9;
    const std::string header = FileHeaderText(time);
    EXPECT_EQ(header,
              "CbMov\r\nFile Description=Cinebrix Composer Source File\r\nSaved By=Cinebrix Composer\r\n"
              "Version=Oct2003\r\nWeb Site=\r\nFile Version=1\r\nTime=05-Oct-2003/14:07:09\r\nData=");
    EXPECT_EQ(HeaderValueInBytes(header, "file version", "0"), "1");
    EXPECT_EQ(HeaderValueInBytes(header, "VERSION", "0"), "Oct2003");
    EXPECT_EQ(HeaderValueInBytes(header, "Data", "none"), "none");  // no line end after it
    EXPECT_EQ(HeaderValueInBytes(header, "Missing", "dflt"), "dflt");
    EXPECT_EQ(HeaderValueInBytes("CbMov", "File Version", "0"), "0");
}

// A session whose movie a failed open must leave as it is.
struct UntouchedSession {
    UntouchedSession() {
        ClearMovie(session.EditMovie());
        session.EditMovie().MovieName = "untouched";
    }
    Session session;
};

TEST(OpenSaveClass, RoundTripKeepsEveryStoredFieldAndTheBytes) {
    ScratchFolder folder;
    WorkFolderScope work(folder);
    ScriptedInteraction seam;
    ScopedInteraction scope(seam);
    Session session;
    session.ReplaceMovie(RichMovie());
    const std::string path = folder / "movie.CbMov";
    ASSERT_TRUE(OpenSaveClass().SaveMovieSource(session.Movie(), path));
    OpenSaveClass reader;
    ASSERT_TRUE(reader.LoadMovieSource(path));
    // The sources do not exist: one message lists them, nothing else is said.
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text,
              "Source file not found\r\n/clips/file1\r\n/clips/file2\r\n/clips/file3\r\n");
    EXPECT_EQ(seam.messages[0].title, kProgramTitle);
    const std::string first = *ReadFileBytes(path);
    session.EditMovie().MovieName = "other";
    reader.DbLocalToMain(session);
    const MovieDbRec& back = session.Movie();
    EXPECT_EQ(back.MovieName, "Fête d'été");
    EXPECT_EQ(back.OutFps, 29.97);
    EXPECT_EQ(back.OutWidth, 640);
    EXPECT_EQ(back.OutHeight, 480);
    ASSERT_EQ(back.ClipCount, 3);
    EXPECT_EQ(back.Clips[3].TransColorCount, 2);
    EXPECT_EQ(back.Clips[3].TransColors[2].Tolerance, 20);
    EXPECT_EQ(back.Clips[3].TransColors[2].Blue, 250);
    EXPECT_EQ(back.Arranged[1].Overlays[1], 2);
    EXPECT_EQ(back.Unused[1], 3);
    // Written again, the data block and the length are the same.
    const std::string again = folder / "again.CbMov";
    ASSERT_TRUE(OpenSaveClass::WriteDataFile(back, again));
    const std::string second = *ReadFileBytes(again);
    EXPECT_EQ(second.size(), first.size());
    EXPECT_EQ(second.substr(second.find("\r\nData=")), first.substr(first.find("\r\nData=")));
    EXPECT_TRUE(std::filesystem::is_empty(WorkFolder));  // the temporary file is gone
}

// A new movie and a new clip hold only entry zero of their lists and the program's defaults; a
// project saved with them must give them back as they were, not as zeros or with extra entries.
TEST(OpenSaveClass, NewRecordsKeepTheirDefaultsThroughASavedProject) {
    ScratchFolder folder;
    WorkFolderScope work(folder);
    ScriptedInteraction seam;
    ScopedInteraction scope(seam);
    MovieDbRec movie;
    movie.ClipCount = 1;
    movie.Clips.push_back(ClipRec{});
    // The kind is the one field every added clip sets (a clip of no kind is refused at load); a
    // sound has no size to set either.
    movie.Clips[1].ClipType = ClipAudio;
    movie.Clips[1].ClipName = "default";
    movie.Clips[1].FilePath = folder / "absent.avi";
    movie.UnusedCount = 1;
    movie.Unused.push_back(1);
    const std::string path = folder / "defaults.CbMov";
    ASSERT_TRUE(OpenSaveClass::WriteDataFile(movie, path));
    OpenSaveClass reader;
    ASSERT_TRUE(reader.LoadMovieSource(path));
    const MovieDbRec& back = reader.Local();
    EXPECT_EQ(back.OutFps, 25.0);
    EXPECT_EQ(back.OutWidth, 352);
    EXPECT_EQ(back.OutHeight, 288);
    EXPECT_EQ(back.OutChannels, 2);
    EXPECT_EQ(back.OutBits, 16);
    EXPECT_EQ(back.OutRate, 22050);
    EXPECT_EQ(back.ArrangedCount, 0);
    ASSERT_EQ(back.ClipCount, 1);
    ASSERT_GE(back.Clips.size(), 2u);
    const ClipRec& clip = back.Clips[1];
    const ClipRec fresh;
    EXPECT_EQ(clip.ClipName, "default");
    EXPECT_EQ(clip.UseFirst, fresh.UseFirst);
    EXPECT_EQ(clip.UseLast, fresh.UseLast);
    EXPECT_EQ(clip.TransColorCount, 0);
    EXPECT_EQ(clip.CropTop + clip.CropBottom + clip.CropLeft + clip.CropRight, 0);
    ASSERT_EQ(back.UnusedCount, 1);
    EXPECT_EQ(back.Unused[1], 1);
}

TEST(OpenSaveClass, SaveReplacesAnExistingProjectOnlyWithACompleteFile) {
    ScratchFolder folder;
    WorkFolderScope work(folder);
    std::filesystem::create_directories(folder / "data");
    const std::string path = folder.Write("movie.CbMov", "old project");
    folder.Write("movie.CbMov.saving", "a user's own file");
    {
        TrashScope trash(folder / "data", folder / "home", folder / "started");
        ASSERT_TRUE(OpenSaveClass::WriteDataFile(RichMovie(), path));
    }
    EXPECT_TRUE(ReadFileBytes(path)->starts_with("CbMov\r\n"));
    EXPECT_EQ(folder.Read("data/Trash/files/movie.CbMov"),
              "old project");  // the replaced project is in the trash
    EXPECT_EQ(folder.Read("movie.CbMov.saving"), "a user's own file");  // staging never takes a used name
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("movie.CbMov.saving-"))
            << "staging file left";
    // A folder that cannot take the file: the save fails and says so.
    ScriptedInteraction seam;
    ScopedInteraction scope(seam);
    MovieDbRec movie;
    ClearMovie(movie);
    EXPECT_FALSE(OpenSaveClass().SaveMovieSource(movie, folder / "no/such/folder/x.CbMov"));
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].title, "Error Saving File");
}

TEST(OpenSaveClass, TheReplacedProjectNeverLandsInTheCurrentDirectory) {
    const struct {
        const char* name;
        const char* dataHome;  // relative to the scratch folder, unless it starts with "relative"
        const char* trashed;   // where the old project ends up; nullptr: deleted
    } cases[] = {
        {"data folder not made yet", "fresh/share", "fresh/share/Trash/files/movie.CbMov"},
        {"relative data folder", "relative/share", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        WorkFolderScope work(folder);
        const std::string path = folder.Write("movie.CbMov", "old project");
        const std::string dataHome =
            std::string(c.dataHome).starts_with("relative") ? c.dataHome : folder / c.dataHome;
        {
            TrashScope trash(dataHome, folder / "home", folder / "started");
            ASSERT_TRUE(OpenSaveClass::WriteDataFile(RichMovie(), path));
        }
        EXPECT_TRUE(ReadFileBytes(path)->starts_with("CbMov\r\n"));
        if (c.trashed) {
            EXPECT_EQ(folder.Read(c.trashed), "old project");
        }
        // Nothing was made in the directory the program ran in, nor below home.
        EXPECT_TRUE(std::filesystem::is_empty(folder / "started"));
        EXPECT_TRUE(std::filesystem::is_empty(folder / "home"));
    }
}

// Refused files: version, marker and damage. Each is refused with its reason.
TEST(OpenSaveClass, RefusedFilesAreRefusedWithTheirReason) {
    ScratchFolder folder;
    const std::string good = OpenSaveClass::ProjectFileBytes(RichMovie());
    const std::size_t data = good.find("\r\nData=") + 7;
    auto replaced = [&](std::string text, const std::string& from, const std::string& to) {
        return text.replace(text.find(from), from.size(), to);
    };
    auto withWords = [&](std::vector<int32_t> words) {
        std::vector<int32_t> block = EncDecClass().ListClose(words, "");
        block[0] = static_cast<int32_t>(block.size() - 1);
        return good.substr(0, data) + WordBytes(block) + FileTrailerText();
    };
    std::vector<int32_t> hugeCount = MovieToWords(RichMovie());
    hugeCount[1] = 2147483647;
    std::vector<int32_t> longString = MovieToWords(RichMovie());
    longString[13] = 1000;  // the movie name's length, in a block of 4 words
    // Output settings: word 7 the height, 8 the width, 9 the channels, 10 the bits, 11 the rate.
    auto withOutput = [](std::size_t word, int32_t value, std::size_t word2 = 0, int32_t value2 = 0) {
        std::vector<int32_t> words = MovieToWords(RichMovie());
        words[word] = value;
        if (word2 != 0) words[word2] = value2;
        return words;
    };
    auto withFps = [](double fps) {
        MovieDbRec movie = RichMovie();
        movie.OutFps = fps;
        return MovieToWords(movie);
    };
    std::vector<int32_t> badIndex = MovieToWords(RichMovie());
    badIndex.back() = 9;  // the unused clip
    // A flipped byte in the last word of the block: the check word no longer matches. (A flip
    // elsewhere may change a value without breaking the check; the parsing checks catch the rest.)
    std::string flipped = good;
    flipped[good.size() - 9 - 2] ^= 0x10;
    std::string hugeBlock = good;
    hugeBlock.replace(data, 4, std::string("\xFF\xFF\xFF\x7F", 4));

    const struct {
        const char* name;
        std::string bytes;
        const char* title;
        const char* text;  // part of the message
    } cases[] = {
        {"version 9", replaced(good, "File Version=1", "File Version=9"), "Error Loading File",
         "9, which is newer"},
        {"version text", replaced(good, "File Version=1", "File Version=abc"), "Error Loading File",
         "not a project file"},
        {"no version line", replaced(good, "File Version=1", "File Vers=1"), "Error Loading File",
         "not a project file"},
        {"empty file", "", "Error Loading File", "not a project file"},
        {"text file", "hello\r\nworld\r\n", "Error Loading File", "not a project file"},
        {"no data marker", replaced(good, "Data=", "Dat="), "Error Loading File", "Filed to find Data"},
        {"truncated", good.substr(0, good.size() - 30), "Error Loading File", "claims"},
        {"ends after the marker", good.substr(0, data), "Error Loading File", "ends right after"},
        {"flipped byte", flipped, "Error Loading File", "check word"},
        {"block of 2^31 - 1 words", hugeBlock, "Error Loading File", "claims 2147483647"},
        {"clip count 2^31 - 1", withWords(hugeCount), "Error Loading File", "number of clips (2147483647)"},
        {"string beyond its block", withWords(longString), "Error Loading File", "movie name"},
        {"clip index out of range", withWords(badIndex), "Error Loading File", "names no clip"},
        {"3 output channels", withWords(withOutput(9, 3)), "Error Loading File", "Output channels 3"},
        {"0 output channels", withWords(withOutput(9, 0)), "Error Loading File", "Output channels 0"},
        {"12 output bits", withWords(withOutput(10, 12)), "Error Loading File", "Output bits 12"},
        {"rate of 100 Hz", withWords(withOutput(11, 100)), "Error Loading File", "sampling rate 100 Hz"},
        {"0.01 frames a second", withWords(withFps(0.01)), "Error Loading File", "FPS) 0.01 is too low"},
        {"2000 frames a second", withWords(withFps(2000)), "Error Loading File", "FPS) 2000 is too high"},
        {"height 30000", withWords(withOutput(7, 30000)), "Error Loading File",
         "Frame Height 30000 is too high"},
        {"width 20000 x height 18976", withWords(withOutput(8, 20000, 7, 18976)), "Error Loading File",
         "Frame size 20000 x 18976 is too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedInteraction seam;
        ScopedInteraction scope(seam);
        const std::string path = folder.Write("damaged.CbMov", c.bytes);
        OpenSaveClass reader;
        EXPECT_FALSE(reader.LoadMovieSource(path));
        ASSERT_EQ(seam.messages.size(), 1u);
        EXPECT_EQ(seam.messages[0].title, c.title);
        EXPECT_NE(seam.messages[0].text.find(path), std::string::npos) << "names the project";
        EXPECT_NE(seam.messages[0].text.find(c.text), std::string::npos) << seam.messages[0].text;
    }
}

TEST(OpenSaveClass, ImpossibleClipValuesAreRefusedNamingTheClipAndTheField) {
    ScratchFolder folder;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // RichMovie: clip 1 is a video, clip 2 a sound, clip 3 a picture.
    const struct {
        int clip;
        std::function<void(ClipRec&)> change;
        const char* text;  // part of the message; null: the project loads
    } cases[] = {
        {2, [](ClipRec& c) { c.ClipType = 7; }, "Clip 2 (clip 2): Clip type 7"},
        {1, [](ClipRec& c) { c.ClipType = 0; }, "Clip 1 (clip 1): Clip type 0"},
        {1, [](ClipRec& c) { c.CropTop = -1; }, "Clip 1 (clip 1): Crop Top -1"},
        {3, [](ClipRec& c) { c.CropRight = -5; }, "Clip 3 (clip 3): Crop Right -5"},
        {2, [](ClipRec& c) { c.OverlayDelay = -0.5; }, "Clip 2 (clip 2): Overlay delay -0.5"},
        {3, [](ClipRec& c) { c.OverlayDelay = std::numeric_limits<double>::infinity(); }, "Overlay delay"},
        {3, [](ClipRec& c) { c.PicDuration = -1; }, "Clip 3 (clip 3): Picture duration -1"},
        {3, [nan](ClipRec& c) { c.PicDuration = nan; }, "Clip 3 (clip 3): Picture duration NaN"},
        {1, [nan](ClipRec& c) { c.SrcFps = nan; }, "Clip 1 (clip 1): Source FPS NaN"},
        {1, [](ClipRec& c) { c.SrcFps = -25; }, "Clip 1 (clip 1): Source FPS -25"},
        {1, [](ClipRec& c) { c.SrcWidth = 0; }, "Clip 1 (clip 1): Source size 0 x 240"},
        {3, [](ClipRec& c) { c.SrcHeight = -2; }, "Clip 3 (clip 3): Source size 320 x -2"},
        // What stored files legitimately hold: a sound without a size or rate, a picture shown for
        // 0 seconds, a long delay, a video of 0 frames a second.
        {2, [](ClipRec& c) { c.SrcWidth = c.SrcHeight = 0, c.SrcFps = 0, c.PicDuration = 0; }, nullptr},
        {3, [](ClipRec& c) { c.PicDuration = 0, c.OverlayDelay = 5000; }, nullptr},
        {1, [](ClipRec& c) { c.SrcFps = 0, c.CropTop = c.CropBottom = 0; }, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "loads");
        MovieDbRec movie = RichMovie();
        c.change(movie.Clips[static_cast<std::size_t>(c.clip)]);
        ScriptedInteraction seam;
        ScopedInteraction scope(seam);
        const std::string path = folder.Write("impossible.CbMov", OpenSaveClass::ProjectFileBytes(movie));
        NoSourceProbe probe;
        OpenSaveClass reader(probe);
        if (!c.text) {
            EXPECT_TRUE(reader.LoadMovieSource(path));
            continue;
        }
        EXPECT_FALSE(reader.LoadMovieSource(path));
        ASSERT_EQ(seam.messages.size(), 1u);
        EXPECT_EQ(seam.messages[0].title, "Error Loading File");
        EXPECT_NE(seam.messages[0].text.find(path), std::string::npos) << "names the project";
        EXPECT_NE(seam.messages[0].text.find(c.text), std::string::npos) << seam.messages[0].text;
    }
}

TEST(OpenSaveClass, RelativeClipPathsLeadFromTheProjectsFolderFirst) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "project");
    std::filesystem::create_directories(folder / "clips");
    std::filesystem::create_directories(folder / "elsewhere/clips");
    const std::string besideProject = folder.Write("clips/a.avi", "x");
    folder.Write("elsewhere/clips/a.avi", "x");  // what the current folder would find
    const std::string onlyHere =
        folder.Write("elsewhere/only.wav", "x");  // found from the current folder only
    const std::string absolute = folder.Write("elsewhere/clips/abs.bmp", "x");
    folder.Write("project/abs.bmp", "x");  // an absolute path that exists is never relocated
    MovieDbRec movie = RichMovie();
    movie.Clips[1].FilePath = "../clips/a.avi";
    movie.Clips[2].FilePath = "only.wav";
    movie.Clips[3].FilePath = absolute;
    const std::string path = folder.Write("project/p.CbMov", OpenSaveClass::ProjectFileBytes(movie));
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(folder / "elsewhere");
    ScriptedInteraction seam;
    ScopedInteraction scope(seam);
    NoSourceProbe probe;
    OpenSaveClass reader(probe);
    const bool loaded = reader.LoadMovieSource(path);
    std::filesystem::current_path(saved);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(seam.messages.empty()) << seam.messages[0].text;
    EXPECT_EQ(std::filesystem::canonical(reader.Local().Clips[1].FilePath),
              std::filesystem::canonical(besideProject));
    EXPECT_EQ(std::filesystem::canonical(std::filesystem::path(folder / "elsewhere") /
                                         reader.Local().Clips[2].FilePath),
              std::filesystem::canonical(onlyHere));
    EXPECT_EQ(reader.Local().Clips[3].FilePath, absolute);
}

TEST(OpenSaveClass, SourcesMovedWithTheProjectAreFoundWithoutAMessage) {
    ScratchFolder folder;
    MovieDbRec movie = RichMovie();
    movie.Clips[1].FilePath = "C:\\Clips\\holiday.avi";
    movie.Clips[2].FilePath = "/old/place/sound.wav";
    movie.Clips[3].FilePath = "D:\\pics/sun.bmp";
    for (const char* name : {"holiday.avi", "sound.wav", "sun.bmp"}) folder.Write(name, "x");
    const std::string path = folder.Write("p.CbMov", OpenSaveClass::ProjectFileBytes(movie));
    ScriptedInteraction seam;
    ScopedInteraction scope(seam);
    NoSourceProbe probe;
    OpenSaveClass reader(probe);
    ASSERT_TRUE(reader.LoadMovieSource(path));
    EXPECT_TRUE(seam.messages.empty()) << seam.messages[0].text;
    EXPECT_EQ(reader.Local().Clips[1].FilePath, folder / "holiday.avi");
    EXPECT_EQ(reader.Local().Clips[2].FilePath, folder / "sound.wav");
    EXPECT_EQ(reader.Local().Clips[3].FilePath, folder / "sun.bmp");
}

TEST(OpenSaveClass, ChangedSourcesAreRefreshedWithTheirWarnings) {
    ScratchFolder folder;
    MovieDbRec movie;
    ClearMovie(movie);
    ClipRec video;
    video.ClipType = ClipVideo, video.ClipName = "v", video.FilePath = folder.Write("v.avi", "x");
    video.SrcWidth = 320, video.SrcHeight = 240, video.SrcFps = 25, video.FrameCount = 10;
    video.UseFirst = 3, video.UseLast = 8;
    ClipRec picture;
    picture.ClipType = ClipPicture, picture.ClipName = "p", picture.FilePath = folder.Write("p.bmp", "x");
    picture.SrcWidth = 300, picture.SrcHeight = 200, picture.CropTop = 100, picture.CropBottom = 100;
    picture.CropLeft = 149, picture.CropRight = 149;  // 298 = 300 - 2 is still allowed
    ClipRec sound;
    sound.ClipType = ClipAudio, sound.ClipName = "s", sound.FilePath = video.FilePath;
    movie.Clips = {ClipRec{}, video, picture, sound};
    movie.ClipCount = 3;
    const std::string path = folder.Write("p.CbMov", OpenSaveClass::ProjectFileBytes(movie));

    FakeProbe probe;
    probe.videos[video.FilePath] = {352, 288, 29.97, 5};
    probe.pictures[picture.FilePath] = {300, 200};
    probe.videoSounds[video.FilePath] = {"/work/x.wav", 16, 2, 44100, 88200, 2.0};
    ScriptedInteraction seam;
    ScopedInteraction scope(seam);
    OpenSaveClass reader(probe);
    ASSERT_TRUE(reader.LoadMovieSource(path));
    ASSERT_EQ(seam.messages.size(), 2u);
    EXPECT_EQ(seam.messages[0].text,
              "Clip name = v\r\nFile name = " + video.FilePath +
                  "\r\nCurrent picture size is different from original picture size\r\n"
                  "Original Size = w320 x h240\r\nCurrent Size = w352 x h288\r\n"
                  "Current movie speed is different from the original\r\n"
                  "Original FPS = 25\r\nCurrent FPS = 29.97\r\n"
                  "Number of frames does not match\r\n"
                  "Range to use - is reset to full clip length\r\n");
    EXPECT_EQ(seam.messages[1].text,
              "Clip name = p\r\nFile name = " + picture.FilePath +
                  "\r\nCrop top + bottom exceeded the height and were reset to zero\r\n");
    const MovieDbRec& back = reader.Local();
    EXPECT_EQ(back.Clips[1].UseFirst, 1);
    EXPECT_EQ(back.Clips[1].UseLast, 5);
    EXPECT_EQ(back.Clips[1].SrcWidth, 352);
    EXPECT_EQ(back.Clips[2].CropTop + back.Clips[2].CropBottom, 0);
    EXPECT_EQ(back.Clips[2].CropLeft, 149);
    EXPECT_EQ(back.Clips[3].AudioFile, "/work/x.wav");
    EXPECT_EQ(back.Clips[3].AudioFrames, 88200);
    EXPECT_EQ(back.Clips[3].AudioDuration, 2.0);
}

TEST(OpenSaveClass, TheTimesOfPicturesAtUnevenIntervalsAreReadFromTheFileNotFromTheProject) {
    // Three pictures at 0, 0.1 and 0.5 s, the last ending at 0.6 s: 5 a second on average.
    ScratchFolder folder;
    MovieDbRec movie;
    ClearMovie(movie);
    ClipRec video;
    video.ClipType = ClipVideo, video.ClipName = "v", video.FilePath = folder.Write("v.mp4", "x");
    video.SrcWidth = 320, video.SrcHeight = 240, video.SrcFps = 5, video.FrameCount = 3;
    video.UseFirst = 2, video.UseLast = 3;
    movie.Clips = {ClipRec{}, video};
    movie.ClipCount = 1;
    const std::string bytes = OpenSaveClass::ProjectFileBytes(movie);
    const std::string path = folder.Write("p.CbMov", bytes);

    auto times = std::make_shared<PictureTimes>();
    times->starts = {0, 1, 5};
    times->end = 6;
    times->ticksPerSecond = FrameRateRatio{10, 1};
    FakeProbe probe;
    probe.videos[video.FilePath] = {320, 240, 5, 3, times};
    ScriptedInteraction seam;
    ScopedInteraction scope(seam);
    OpenSaveClass reader(probe);
    ASSERT_TRUE(reader.LoadMovieSource(path));
    EXPECT_TRUE(seam.messages.empty()) << seam.messages.front().text;
    const ClipRec& loaded = reader.Local().Clips[1];
    EXPECT_EQ(loaded.Times, times);
    EXPECT_DOUBLE_EQ(ClipDuration(loaded, true), 0.5);  // from 0.1 s to the end at 0.6 s
    EXPECT_DOUBLE_EQ(UsedStartSeconds(loaded), 0.1);
    EXPECT_EQ(OpenSaveClass::ProjectFileBytes(reader.Local()), bytes) << "the project format changed";
}

TEST(OpenProjectFromCommandLine, QuotedPathsAndAnyCaseOfTheEnding) {
    const struct {
        const char* text;
        const char* path;
    } cases[] = {
        {"", ""},
        {"  /a/b.CbMov  ", "/a/b.CbMov"},
        {"\" /a/my movie.CBMOV \"", "/a/my movie.CBMOV"},
        {"/a/b.avi", ""},
        {"\"/a/b.cbmov", "\"/a/b.cbmov"},  // one quote only: the quote stays
        {".cbmov", ".cbmov"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ProjectPathFromCommandLine(c.text), c.path);
    }
}

TEST(OpenProjectFromCommandLine, OpensTheProjectIntoTheSession) {
    ScratchFolder folder;
    MovieDbRec movie = RichMovie();
    movie.ProjectPath = "/somewhere/else.CbMov";
    const std::string path = folder.Write("My Movie.CBMOV", OpenSaveClass::ProjectFileBytes(movie));
    ScriptedInteraction seam;
    ScopedInteraction scope(seam);
    ScriptedView view;
    ScopedView viewScope(view);
    UntouchedSession untouched;
    Session& session = untouched.session;
    EXPECT_FALSE(OpenProjectFromCommandLine(session, "\"" + folder / "missing.CbMov\""));
    EXPECT_EQ(session.Movie().MovieName, "untouched");
    const uint64_t before = session.Revision();
    ASSERT_TRUE(OpenProjectFromCommandLine(session, " \"" + path + "\" "));
    EXPECT_EQ(session.Movie().MovieName, "Fête d'été");
    EXPECT_EQ(session.Movie().ProjectPath, path);
    EXPECT_GT(session.Revision(), before);
    EXPECT_EQ(view.requests,
              (std::vector<std::string>{"DrawMovieTracks", "DrawUnusedTrack", "DrawClipPanel"}));
}

}  // namespace
}  // namespace composer
