// The clip operations: adding with every placement (and the sound track of a video), naming,
// cloning, deleting, renaming, the survey of the sources and the file choices.
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "base/scripted_interaction.h"
#include "base/view.h"
#include "document/add_clip.h"
#include "document/clip_commands.h"
#include "document/clip_file_kinds.h"
#include "document/file_choice.h"
#include "document/survey_sources.h"
#include "fake_probe.h"
#include "scratch_folder.h"

namespace composer {
namespace {

using testing::FakeProbe;
using testing::ScratchFolder;

std::vector<int32_t> Overlays(const MovieDbRec& movie, int32_t entry) {
    const ArrangeRec& arranged = movie.Arranged[entry];
    EXPECT_EQ(arranged.Overlays.size(), static_cast<std::size_t>(arranged.OverlayCount) + 1);
    return {arranged.Overlays.begin() + 1, arranged.Overlays.end()};
}

std::vector<int32_t> ArrangedClips(const MovieDbRec& movie) {
    EXPECT_EQ(movie.Arranged.size(), static_cast<std::size_t>(movie.ArrangedCount) + 1);
    std::vector<int32_t> clips;
    for (int32_t p = 1; p <= movie.ArrangedCount; ++p) clips.push_back(movie.Arranged[p].ClipIndex);
    return clips;
}

std::vector<int32_t> UnusedClips(const MovieDbRec& movie) {
    EXPECT_EQ(movie.Unused.size(), static_cast<std::size_t>(movie.UnusedCount) + 1);
    return {movie.Unused.begin() + 1, movie.Unused.end()};
}

// Source files in a scratch folder, known to a fake probe: pictures, a silent video, a video with
// a sound track and a WAV file.
class ClipOperations : public ::testing::Test {
  protected:
    ClipOperations() : seamScope(seam), viewScope(view) {
        ClearMovie(movie);
        for (const char* name : {"a.bmp", "b.jpg", "c.gif", "d.bmp", "new.bmp"})
            probe.pictures[folder.Write(name, "x")] = {320, 240};
        probe.videos[folder.Write("silent.avi", "x")] = {352, 288, 12.5, 40};
        const std::string talking = folder.Write("talk.AVI", "x");
        probe.videos[talking] = {640, 480, 25, 100};
        probe.videoSounds[talking] = {"/tmp/talk.wav", 16, 2, 44100, 176400, 4.0};
        probe.sounds[folder.Write("song.wav", "x")] = {folder / "song.wav", 8, 1, 11025, 22050, 2.0};
        probe.videos[folder.Write("empty.avi", "x")] = {352, 288, 25, 0};
        folder.Write("notes.txt", "x");
        folder.Write("broken.bmp", "x");  // unknown to the probe: unreadable
    }

    Outcome<int32_t> Add(const std::string& name, TrackKind placement, int32_t position = 0,
                         int32_t overlayPosition = 0) {
        return AddClip(movie, folder / name, placement, position, overlayPosition, probe);
    }

    // Arranged a (overlay d), b; unused c: clips 1 a, 2 b, 3 c, 4 d.
    void FourClips() {
        ASSERT_TRUE(Add("a.bmp", TrackKind::None));
        ASSERT_TRUE(Add("b.jpg", TrackKind::None));
        ASSERT_TRUE(Add("c.gif", TrackKind::Unused));
        ASSERT_TRUE(Add("d.bmp", TrackKind::Overlay, 1));
        view.requests.clear();
    }

    ScratchFolder folder;
    FakeProbe probe;
    MovieDbRec movie;
    ScriptedInteraction seam;
    ScopedInteraction seamScope;
    ScriptedView view;
    ScopedView viewScope;
};

TEST_F(ClipOperations, AddPlacesTheClipAndReportsWhereItWent) {
    const struct {
        const char* name;
        TrackKind placement;
        int32_t position, overlayPosition;    // asked
        int32_t placedAt, placedOverlay;      // written back
        std::vector<int32_t> arranged;        // clip indices afterwards
        std::vector<int32_t> firstOverlays;   // of arranged entry 1
        std::vector<int32_t> secondOverlays;  // of arranged entry 2
        std::vector<int32_t> unused;
    } cases[] = {
        {"at the end", TrackKind::None, 1, 0, 3, 0, {1, 2, 5}, {4}, {}, {3}},
        {"arranged first", TrackKind::Arranged, 1, 0, 1, 0, {5, 1, 2}, {}, {4}, {3}},
        {"arranged 0 = end", TrackKind::Arranged, 0, 0, 3, 0, {1, 2, 5}, {4}, {}, {3}},
        {"arranged past the end", TrackKind::Arranged, 9, 0, 3, 0, {1, 2, 5}, {4}, {}, {3}},
        {"arranged negative", TrackKind::Arranged, -2, 0, 3, 0, {1, 2, 5}, {4}, {}, {3}},
        {"overlay of 0 = of 1, at end", TrackKind::Overlay, 0, 0, 1, 2, {1, 2}, {4, 5}, {}, {3}},
        {"overlay before the first", TrackKind::Overlay, 1, 1, 1, 1, {1, 2}, {5, 4}, {}, {3}},
        {"overlay of entry 2", TrackKind::Overlay, 2, 7, 2, 1, {1, 2}, {4}, {5}, {3}},
        {"overlay past the last entry", TrackKind::Overlay, 9, 0, 2, 1, {1, 2}, {4}, {5}, {3}},
        {"unused first", TrackKind::Unused, 1, 0, 1, 0, {1, 2}, {4}, {}, {5, 3}},
        {"unused 0 = end", TrackKind::Unused, 0, 0, 2, 0, {1, 2}, {4}, {}, {3, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearMovie(movie);
        FourClips();
        int32_t position = c.position, overlayPosition = c.overlayPosition;
        ASSERT_TRUE(AddClip(movie, folder / "new.bmp", c.placement, position, overlayPosition, probe));
        EXPECT_EQ(position, c.placedAt);
        if (c.placement == TrackKind::Overlay) {
            EXPECT_EQ(overlayPosition, c.placedOverlay);
        }
        EXPECT_EQ(movie.ClipCount, 5);
        EXPECT_EQ(movie.Clips.size(), 6u);
        EXPECT_EQ(movie.CurClip, 5);
        EXPECT_EQ(ArrangedClips(movie), c.arranged);
        EXPECT_EQ(Overlays(movie, 1), c.firstOverlays);
        EXPECT_EQ(Overlays(movie, 2), c.secondOverlays);
        EXPECT_EQ(UnusedClips(movie), c.unused);
        const std::string redrawn = c.placement == TrackKind::Unused ? "DrawUnusedTrack" : "DrawMovieTracks";
        EXPECT_EQ(view.requests, (std::vector<std::string>{redrawn, "DrawClipPanel"}));
    }
}

TEST_F(ClipOperations, NewClipsAreFilledByKindAndNamed) {
    ASSERT_TRUE(Add("a.bmp", TrackKind::None));
    ASSERT_TRUE(Add("silent.avi", TrackKind::None));
    ASSERT_TRUE(Add("song.wav", TrackKind::Unused));
    // The same file again, named by its index; the comparison ignores case.
    const std::string again = folder / "a.bmp";
    movie.Clips[2].FilePath = folder / "SILENT.AVI";
    int32_t position = 0, overlay = 0;
    ASSERT_TRUE(AddClip(movie, folder / "silent.avi", TrackKind::None, position, overlay, probe));
    ASSERT_TRUE(AddClip(movie, again, TrackKind::Unused, position, overlay, probe));
    ASSERT_EQ(movie.ClipCount, 5);

    const ClipRec& picture = movie.Clips[1];
    EXPECT_EQ(picture.ClipName, "a.bmp");
    EXPECT_EQ(picture.ClipType, ClipPicture);
    EXPECT_EQ(picture.FilePath, folder / "a.bmp");
    EXPECT_EQ(picture.SrcWidth, 320);
    EXPECT_EQ(picture.SrcHeight, 240);
    EXPECT_EQ(picture.PicDuration, 1.0);
    EXPECT_EQ(picture.CurFrame, 1);
    EXPECT_EQ(picture.TransColorCount, 0);
    EXPECT_EQ(picture.TransColors.size(), 1u);
    EXPECT_EQ(picture.CropTop + picture.CropBottom + picture.CropLeft + picture.CropRight, 0);

    const ClipRec& video = movie.Clips[2];
    EXPECT_EQ(video.ClipName, "silent.avi");
    EXPECT_EQ(video.ClipType, ClipVideo);
    EXPECT_EQ(video.SrcFps, 12.5);
    EXPECT_EQ(video.FrameCount, 40);
    EXPECT_EQ(video.SrcWidth, 352);
    EXPECT_EQ(video.UseFirst, 1);
    EXPECT_EQ(video.UseLast, 40);
    EXPECT_EQ(video.CurFrame, 1);

    const ClipRec& sound = movie.Clips[3];
    EXPECT_EQ(sound.ClipName, "Audio_song.wav");
    EXPECT_EQ(sound.ClipType, ClipAudio);
    EXPECT_EQ(sound.AudioFile, folder / "song.wav");
    EXPECT_EQ(sound.AudioBits, 8);
    EXPECT_EQ(sound.AudioChannels, 1);
    EXPECT_EQ(sound.AudioRate, 11025);
    EXPECT_EQ(sound.AudioFrames, 22050);
    EXPECT_EQ(sound.AudioDuration, 2.0);
    EXPECT_TRUE(probe.decoded.empty());  // a WAV clip decodes when the mixer needs it

    EXPECT_EQ(movie.Clips[4].ClipName, "silent.avi_New_4");
    EXPECT_EQ(movie.Clips[5].ClipName, "a.bmp_New_5");
    // The path of an existing clip, passed as it stands in the record that grows.
    ASSERT_TRUE(
        AddClip(movie, movie.Clips[movie.ClipCount].FilePath, TrackKind::None, position, overlay, probe));
    EXPECT_EQ(movie.Clips[6].FilePath, again);
    EXPECT_EQ(movie.Clips[6].ClipName, "a.bmp_New_6");
}

TEST_F(ClipOperations, AVideoWithSoundBringsItsSoundTrackClip) {
    const struct {
        const char* name;
        TrackKind placement;
        int32_t position, overlayPosition;
        std::vector<int32_t> arranged, firstOverlays, secondOverlays, unused;
    } cases[] = {
        // Clips 1 .. 4 as in FourClips; the video becomes 5, its sound 6.
        {"at the end", TrackKind::None, 0, 0, {1, 2, 5}, {4}, {}, {3}},
        {"arranged first", TrackKind::Arranged, 1, 0, {5, 1, 2}, {6}, {4}, {3}},
        {"overlay before d", TrackKind::Overlay, 1, 1, {1, 2}, {5, 6, 4}, {}, {3}},
        {"unused first", TrackKind::Unused, 1, 0, {1, 2}, {4}, {}, {5, 6, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearMovie(movie);
        probe.decoded.clear();
        FourClips();
        ASSERT_TRUE(Add("talk.AVI", c.placement, c.position, c.overlayPosition));
        ASSERT_EQ(movie.ClipCount, 6);
        EXPECT_EQ(movie.CurClip, 5);  // the video, not its sound
        EXPECT_EQ(ArrangedClips(movie), c.arranged);
        EXPECT_EQ(Overlays(movie, 1), c.firstOverlays);
        if (c.placement == TrackKind::None) {
            EXPECT_EQ(Overlays(movie, 3), std::vector<int32_t>{6});
        }
        if (movie.ArrangedCount >= 2) {
            EXPECT_EQ(Overlays(movie, 2), c.secondOverlays);
        }
        EXPECT_EQ(UnusedClips(movie), c.unused);
        const ClipRec& sound = movie.Clips[6];
        EXPECT_EQ(sound.ClipType, ClipAudio);
        EXPECT_EQ(sound.FilePath, folder / "talk.AVI");
        EXPECT_EQ(sound.ClipName, "Audio of talk.AVI");
        EXPECT_EQ(sound.AudioFile, "/tmp/talk.wav");
        EXPECT_EQ(sound.AudioDuration, 4.0);
        EXPECT_EQ(sound.AudioFrames, 176400);
        EXPECT_EQ(probe.decoded, std::vector<int32_t>{6});
        EXPECT_EQ(sound.CacheLeftFile, "decoded");
    }
    // A second copy of the video: the sound clip follows the video clip's name.
    ASSERT_TRUE(Add("talk.AVI", TrackKind::None));
    EXPECT_EQ(movie.Clips[7].ClipName, "talk.AVI_New_7");
    EXPECT_EQ(movie.Clips[8].ClipName, "Audio of talk.AVI_New_7");
}

TEST_F(ClipOperations, TodaysVideoPictureAndSoundFilesMakeClipsOfTheThreeKinds) {
    const struct {
        const char* name;
        int32_t clipType;
    } cases[] = {
        {"phone.MP4", ClipVideo},   {"camera.mov", ClipVideo},   {"download.mkv", ClipVideo},
        {"web.webm", ClipVideo},    {"still.png", ClipPicture},  {"scan.tiff", ClipPicture},
        {"shot.webp", ClipPicture}, {"photo.jpeg", ClipPicture}, {"song.mp3", ClipAudio},
        {"take.flac", ClipAudio},   {"voice.ogg", ClipAudio},    {"note.opus", ClipAudio},
        {"tune.m4a", ClipAudio},
    };
    for (const auto& c : cases) {
        const std::string path = folder.Write(c.name, "x");
        if (c.clipType == ClipVideo) probe.videos[path] = {1280, 720, 30, 90};
        if (c.clipType == ClipPicture) probe.pictures[path] = {800, 600};
        if (c.clipType == ClipAudio) probe.sounds[path] = {"/tmp/decoded.wav", 16, 2, 48000, 96000, 2.0};
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t before = movie.ClipCount;
        ASSERT_TRUE(Add(c.name, TrackKind::Unused));
        const ClipRec& clip = movie.Clips[static_cast<std::size_t>(before + 1)];
        EXPECT_EQ(clip.ClipType, c.clipType);
        EXPECT_EQ(clip.FilePath, folder / c.name);
        if (c.clipType == ClipVideo) {
            EXPECT_EQ(clip.FrameCount, 90);
        }
        if (c.clipType == ClipAudio) {
            EXPECT_EQ(clip.AudioFile, "/tmp/decoded.wav");
        }
    }
    // The extension is the last component's; a dot in a folder name is not one.
    EXPECT_EQ(ClipTypeOfFile("/media/clips.mp4/readme"), 0);
    EXPECT_EQ(ClipTypeOfFile("C:\\Movies\\HOLIDAY.MKV"), ClipVideo);
    EXPECT_EQ(ClipTypeOfFile("song.mp3.txt"), 0);
}

TEST_F(ClipOperations, RefusedFilesChangeNothing) {
    FourClips();
    const MovieDbRec before = movie;
    const struct {
        const char* name;
        TrackKind placement;
        const char* message;  // nullptr: no message before "Failed to add this file"
        const char* reason;   // what the refusal says for the command to show
    } cases[] = {
        {"missing.bmp", TrackKind::None, "File not found\r\n", "the file is missing or not a regular file"},
        {"notes.txt", TrackKind::None, nullptr, "it is not a video, picture or sound file"},
        {"broken.bmp", TrackKind::None, nullptr, ""},  // the probe's own reason, which this one does not give
        {"empty.avi", TrackKind::Unused, nullptr, "it holds no frames"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        seam.messages.clear();
        const Outcome<int32_t> added = Add(c.name, c.placement);
        EXPECT_FALSE(added);
        EXPECT_EQ(added.Reason(), c.reason);
        EXPECT_EQ(movie.ClipCount, before.ClipCount);
        EXPECT_EQ(movie.Clips.size(), before.Clips.size());
        EXPECT_EQ(ArrangedClips(movie), ArrangedClips(before));
        EXPECT_EQ(UnusedClips(movie), UnusedClips(before));
        EXPECT_EQ(movie.CurClip, before.CurClip);
        // Adding shows nothing itself: the command that asked shows what the refusal gives.
        EXPECT_TRUE(seam.messages.empty());
        const std::string path = folder / c.name;
        std::vector<std::string> expected;
        if (c.message) expected.push_back(c.message + path);
        expected.push_back(FailedToAddMessage(path, c.reason));
        EXPECT_EQ(RefusedClipMessages(path, added.Reason()), expected);
    }
    EXPECT_TRUE(view.requests.empty());
    // An overlay needs an arranged entry to hang on.
    ClearMovie(movie);
    EXPECT_EQ(Add("a.bmp", TrackKind::Overlay, 1, 0).Reason(), "there is no arranged clip to lay it over");
    EXPECT_EQ(movie.ClipCount, 0);
}

TEST_F(ClipOperations, CloneInsertsTheCopyRightAfterTheClip) {
    FourClips();
    movie.Clips[4].TransColors.push_back({1, 2, 3, 40});
    movie.Clips[4].TransColorCount = 1;
    const struct {
        int32_t current;
        std::vector<int32_t> arranged, firstOverlays, unused;
        const char* redrawn;
    } cases[] = {
        {4, {1, 2}, {4, 5}, {3}, "DrawMovieTracks"},  // an overlay: after it in the same list
        {1, {1, 5, 2}, {4}, {3}, "DrawMovieTracks"},  // arranged: a new entry without overlays
        {3, {1, 2}, {4}, {3, 5}, "DrawUnusedTrack"},  // on the shelf
    };
    const MovieDbRec base = movie;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        movie = base;
        view.requests.clear();
        movie.CurClip = c.current;
        CloneClip(movie);
        ASSERT_EQ(movie.ClipCount, 5);
        EXPECT_EQ(movie.CurClip, 5);
        EXPECT_EQ(movie.Clips[5].ClipName, movie.Clips[c.current].ClipName + "_Clone");
        EXPECT_EQ(movie.Clips[5].FilePath, movie.Clips[c.current].FilePath);
        EXPECT_EQ(movie.Clips[5].TransColorCount, movie.Clips[c.current].TransColorCount);
        // The copy is a clip of its own: changing its colours leaves the original's alone.
        movie.Clips[5].TransColors.back().Tolerance = 99;
        EXPECT_NE(movie.Clips[c.current].TransColors.back().Tolerance, 99);
        EXPECT_EQ(ArrangedClips(movie), c.arranged);
        EXPECT_EQ(Overlays(movie, 1), c.firstOverlays);
        if (c.current == 1) {
            EXPECT_EQ(Overlays(movie, 2), std::vector<int32_t>{});
        }
        EXPECT_EQ(UnusedClips(movie), c.unused);
        EXPECT_EQ(view.requests, (std::vector<std::string>{"DrawClipPanel", c.redrawn}));
    }
    EXPECT_EQ(movie.Clips[5].ClipName, "c.gif_Clone");
    // A sound's copy decodes its own sound.
    movie = base;
    movie.Clips[3].ClipType = ClipAudio;
    movie.Clips[3].CacheLeftFile = "left", movie.Clips[3].CacheRightFile = "right";
    movie.Clips[3].CacheBits = 16, movie.Clips[3].CacheChannels = 2, movie.Clips[3].CacheRate = 8000;
    movie.Clips[3].CacheFrames = 99;
    movie.Clips[3].AudioRate = 8000;
    movie.CurClip = 3;
    CloneClip(movie);
    const ClipRec& copy = movie.Clips[5];
    EXPECT_EQ(copy.CacheLeftFile + copy.CacheRightFile, "");
    EXPECT_EQ(copy.CacheBits + copy.CacheChannels + copy.CacheRate + copy.CacheFrames, 0);
    EXPECT_EQ(copy.AudioRate, 8000);
    EXPECT_EQ(movie.Clips[3].CacheLeftFile, "left");
}

TEST_F(ClipOperations, CommandsWithoutACurrentClipOnATrackDoNothing) {
    FourClips();
    // Clip 5 stands nowhere.
    movie.Clips.emplace_back();
    movie.ClipCount = 5;
    for (int32_t current : {0, 5, 6, -1}) {
        SCOPED_TRACE(current);
        movie.CurClip = current;
        const MovieDbRec before = movie;
        CloneClip(movie);
        DeleteClip(movie);
        RenameClip(movie);
        EXPECT_EQ(movie.ClipCount, 5);
        EXPECT_EQ(ArrangedClips(movie), ArrangedClips(before));
        EXPECT_EQ(Overlays(movie, 1), Overlays(before, 1));
        EXPECT_EQ(UnusedClips(movie), UnusedClips(before));
    }
    EXPECT_TRUE(seam.messages.empty());
    EXPECT_TRUE(seam.inputs.empty());
    EXPECT_TRUE(view.requests.empty());
}

TEST_F(ClipOperations, DeleteIsRefusedForAnArrangedClipWithOverlays) {
    FourClips();
    ASSERT_TRUE(Add("b.jpg", TrackKind::Overlay, 1));
    movie.CurClip = 1;
    DeleteClip(movie);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(
        seam.messages[0].text,
        "There are 2 overlay (dependent) clips.\r\nDrop them or delete them before deleting this clip.");
    EXPECT_EQ(seam.messages[0].title, "Delete Failed");
    EXPECT_EQ(movie.ClipCount, 5);
    // Anything but Yes keeps the clip.
    seam.messages.clear();
    movie.CurClip = 2;
    seam.messageAnswers = {MsgAnswer::No};
    DeleteClip(movie);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, "Are you sure to delete this clip?");
    EXPECT_EQ(seam.messages[0].title, "Delete clip");
    EXPECT_EQ(seam.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(movie.ClipCount, 5);
}

TEST_F(ClipOperations, DeleteRenumbersTheClipsAndSelectsTheClipAtTheSamePlace) {
    FourClips();
    ASSERT_TRUE(Add("new.bmp", TrackKind::Overlay, 1));  // 5: second overlay of entry 1
    ASSERT_TRUE(Add("silent.avi", TrackKind::Unused));   // 6: after c on the shelf
    const MovieDbRec base = movie;
    const struct {
        int32_t deleted;
        std::vector<int32_t> arranged, firstOverlays, unused;
        int32_t selected;
    } cases[] = {
        {2, {1}, {3, 4}, {2, 5}, 1},  // arranged, past the end: the last entry's clip
        {4, {1, 2}, {4}, {3, 5}, 4},  // overlay 1: the overlay now there (5 -> 4)
        {5, {1, 2}, {4}, {3, 5}, 4},  // the last overlay: the one before it
        {3, {1, 2}, {3, 4}, {5}, 5},  // unused 1: the shelf entry now there (6 -> 5)
        {6, {1, 2}, {4, 5}, {3}, 3},  // the last unused: the last shelf entry
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deleted);
        movie = base;
        view.requests.clear();
        seam.messageAnswers = {MsgAnswer::Yes};
        movie.CurClip = c.deleted;
        const std::string nameAfter = c.deleted < 6 ? base.Clips[c.deleted + 1].ClipName : "";
        DeleteClip(movie);
        ASSERT_EQ(movie.ClipCount, 5);
        ASSERT_EQ(movie.Clips.size(), 6u);
        if (!nameAfter.empty()) {
            EXPECT_EQ(movie.Clips[c.deleted].ClipName, nameAfter);
        }
        EXPECT_EQ(ArrangedClips(movie), c.arranged);
        EXPECT_EQ(Overlays(movie, 1), c.firstOverlays);
        EXPECT_EQ(UnusedClips(movie), c.unused);
        EXPECT_EQ(movie.CurClip, c.selected);
        EXPECT_EQ(view.requests,
                  (std::vector<std::string>{"DrawClipPanel", "DrawMovieTracks", "DrawUnusedTrack"}));
    }
}

TEST_F(ClipOperations, DeletingTheLastOverlaySelectsItsArrangedClipAndTheLastClipSelectsNothing) {
    ASSERT_TRUE(Add("a.bmp", TrackKind::None));
    ASSERT_TRUE(Add("b.jpg", TrackKind::Overlay, 1));
    ASSERT_TRUE(Add("c.gif", TrackKind::Unused));
    seam.messageAnswers = {MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes};
    movie.CurClip = 2;
    DeleteClip(movie);
    EXPECT_EQ(movie.CurClip, 1);
    EXPECT_EQ(movie.Arranged[1].OverlayCount, 0);
    movie.CurClip = 2;  // c, the only unused clip: the shelf is empty afterwards, so clip 1
    DeleteClip(movie);
    EXPECT_EQ(movie.CurClip, 1);
    EXPECT_EQ(movie.UnusedCount, 0);
    DeleteClip(movie);
    EXPECT_EQ(movie.ClipCount, 0);
    EXPECT_EQ(movie.ArrangedCount, 0);
    EXPECT_EQ(movie.CurClip, 0);
    EXPECT_EQ(movie.Clips.size() + movie.Arranged.size() + movie.Unused.size(), 3u);
}

TEST_F(ClipOperations, RenameKeepsTheNameOnAnEmptyAnswerOrCancel) {
    FourClips();
    const struct {
        int32_t current;
        std::optional<std::string> answer;
        const char* name;
        std::vector<std::string> redraws;
    } cases[] = {
        {3, std::string(""), "c.gif", {}},
        {3, std::nullopt, "c.gif", {}},
        {3, std::string("Sunset"), "Sunset", {"DrawUnusedTrack"}},
        {4, std::string("Logo"), "Logo", {"DrawMovieTracks"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        seam.inputs.clear();
        view.requests.clear();
        movie.CurClip = c.current;
        const std::string before = movie.Clips[c.current].ClipName;
        seam.inputAnswers = {c.answer};
        RenameClip(movie);
        ASSERT_EQ(seam.inputs.size(), 1u);
        EXPECT_EQ(seam.inputs[0].prompt, "Enter new name for clip");
        EXPECT_EQ(seam.inputs[0].title, "Rename Clip");
        EXPECT_EQ(seam.inputs[0].defaultText, before);
        EXPECT_EQ(movie.Clips[c.current].ClipName, c.name);
        EXPECT_EQ(view.requests, c.redraws);
    }
}

TEST(SurveySources, LabelsOfWhatTheSourcesHold) {
    auto clip = [](int32_t type, double fps, int32_t width, int32_t height, int32_t bits, int32_t channels,
                   int32_t rate) {
        ClipRec c;
        c.ClipType = type, c.SrcFps = fps, c.SrcWidth = width, c.SrcHeight = height;
        c.AudioBits = bits, c.AudioChannels = channels, c.AudioRate = rate;
        return c;
    };
    MovieDbRec movie;
    ClearMovie(movie);
    movie.Clips = {ClipRec{},
                   clip(ClipVideo, 29.97, 320, 480, 8, 1, 8000),   // sound fields of a video are ignored
                   clip(ClipPicture, 99, 800, 200, 0, 0, 0),       // so is the rate of a picture
                   clip(ClipAudio, 50, 4000, 4000, 16, 2, 44100),  // and the size of a sound
                   clip(ClipAudio, 0, 0, 0, 16, 2, 22050)};
    movie.ClipCount = 4;
    SourceSurvey survey = SurveySources(movie);
    EXPECT_EQ(survey.FpsLabel, "Largest FPS found in your source clip is: 29.97");
    EXPECT_EQ(survey.WidthLabel, "Largest Width found in your source clip is:800");
    EXPECT_EQ(survey.HeightLabel, "Largest Height found in your source clip is:480");
    EXPECT_EQ(survey.ChannelsLabel, "Stereo - found in source file");
    EXPECT_EQ(survey.BitsLabel, "16 bits - found in source file");
    EXPECT_EQ(survey.MaxRateLabel, "Maximum 44100 found in source file");
    EXPECT_EQ(survey.MinRateLabel, "Minimum 22050 found in source file");

    movie.Clips.push_back(clip(ClipAudio, 0, 0, 0, 8, 1, 200000));
    movie.ClipCount = 5;
    survey = SurveySources(movie);
    EXPECT_EQ(survey.ChannelsLabel, "Both - found in source file");
    EXPECT_EQ(survey.BitsLabel, "Both - found in source file");
    EXPECT_EQ(survey.MaxRateLabel, "Maximum 200000 found in source file");
    EXPECT_EQ(survey.MinRateLabel, "Minimum 22050 found in source file");

    movie.Clips = {ClipRec{}, clip(ClipAudio, 0, 0, 0, 8, 1, 200000)};
    movie.ClipCount = 1;
    survey = SurveySources(movie);
    EXPECT_EQ(survey.ChannelsLabel, "Mono - found in source file");
    EXPECT_EQ(survey.BitsLabel, "8 bits - found in source file");
    EXPECT_EQ(survey.MinRateLabel, "Minimum 100000 found in source file");  // the smallest starts there
    EXPECT_EQ(survey.FpsLabel, "Largest FPS found in your source clip is: 0");
}

TEST(SurveySources, RepairsTheOutputSettingsAndClearsTheLabelsWithoutClips) {
    const struct {
        double fps;
        int32_t width, height;
        double fpsAfter;
        int32_t widthAfter, heightAfter;
    } cases[] = {{0, 0, 0, 25, 400, 300},
                 {-1, -5, 1, 25, 400, 1},
                 {12.5, 1, -1, 12.5, 1, 300},
                 {30, 720, 576, 30, 720, 576}};
    for (const auto& c : cases) {
        MovieDbRec movie;
        ClearMovie(movie);
        movie.OutFps = c.fps, movie.OutWidth = c.width, movie.OutHeight = c.height;
        const SourceSurvey survey = SurveySources(movie);
        EXPECT_EQ(movie.OutFps, c.fpsAfter);
        EXPECT_EQ(movie.OutWidth, c.widthAfter);
        EXPECT_EQ(movie.OutHeight, c.heightAfter);
        EXPECT_EQ(survey.FpsLabel + survey.WidthLabel + survey.HeightLabel + survey.ChannelsLabel +
                      survey.BitsLabel + survey.MaxRateLabel + survey.MinRateLabel,
                  "");
    }
}

TEST(FileChoice, EachChoiceFillsItsDialogAndChecksTheEnding) {
    using Chooser = std::string (*)(FileDialogMemory&);
    const struct {
        Chooser choose;
        FileDialogMode mode;
        const char* filter;
        const char* extension;
        const char* title;
        const char* good;   // a name it takes
        const char* wrong;  // the message for a name it does not take
    } cases[] = {
        // The clip dialogs offer every file of their kinds first, then their classic entries.
        {ChooseVideoFile, FileDialogMode::Open,
         "All supported files (avi, mp4, m4v, mov, mkv, webm, "
         "3gp)|*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm;*.3gp|"
         "AVI files (*.avi)|*.avi|All files (*.*)|*.*",
         "avi", "Select a Video Clip file to add", "/m/Phone.MP4",
         "You need to select .avi, .mp4, .m4v, .mov, .mkv, .webm or .3gp file to read clip"},
        {ChoosePictureFile, FileDialogMode::Open,
         "All supported files (bmp, jpg, jpeg, gif, png, tif, tiff, "
         "webp)|*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.tif;*.tiff;*.webp|"
         "Picture files (bmp, jpg, gif)|*.bmp;*.jpg;*.gif|All files (*.*)|*.*",
         "", "Select a Picture file to add", "/m/p.WebP",
         "You need to select .bmp, .jpg, .jpeg, .gif, .png, .tif, .tiff or .webp file to read picture"},
        {ChooseAnyClipFile, FileDialogMode::Open,
         "All supported files (avi, mp4, m4v, mov, mkv, webm, 3gp, bmp, jpg, jpeg, gif, png, tif, tiff, "
         "webp, wav, mp3, flac, ogg, oga, opus, m4a, aac)|"
         "*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm;*.3gp;*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.tif;*.tiff;*.webp;*."
         "wav;*.mp3;*.flac;*.ogg;*.oga;*.opus;*.m4a;*.aac|"
         "Any clip (avi, bmp, jpg, gif, wav)|*.avi;*.bmp;*.jpg;*.gif;*.wav|AVI files (*.avi)|*.avi|"
         "Picture files (bmp, jpg, gif)|*.bmp;*.jpg;*.gif|Wave Files (*.wav)|*.wav|All files (*.*)|*.*",
         "", "Select a Picture file to add", "/m/s.flac",
         "You need to select .avi, .mp4, .m4v, .mov, .mkv, .webm, .3gp, .bmp, .jpg, .jpeg, .gif, .png, .tif, "
         ".tiff, .webp, .wav, .mp3, .flac, .ogg, .oga, .opus, .m4a or .aac file to read"},
        {ChooseWavFile, FileDialogMode::Open,
         "All supported files (wav, mp3, flac, ogg, oga, opus, m4a, "
         "aac)|*.wav;*.mp3;*.flac;*.ogg;*.oga;*.opus;*.m4a;*.aac|"
         "Wave Files (*.wav)|*.wav|All files (*.*)|*.*",
         "", "Select a Audio '.wav' file to add", "/m/s.M4A",
         "You need to select .wav, .mp3, .flac, .ogg, .oga, .opus, .m4a or .aac file to read clip"},
        {ChooseOutputAviFile, FileDialogMode::Save,
         "AVI files (*.avi)|*.avi|MP4 movies (*.mp4)|*.mp4|Matroska movies (*.mkv)|*.mkv|WebM movies "
         "(*.webm)|*.webm|All files (*.*)|*.*",
         "avi", "Select a AVI file name to save output movie", "/m/out.mp4",
         "You need to select .avi, .mp4, .mkv or .webm file to write output movie"},
        {ChooseProjectToOpen, FileDialogMode::Open,
         "Cinebrix Source files (*.CbMov)|*.CbMov|All files (*.*)|*.*", "CbMov",
         "Select a Cinebrix Source files (*.CbMov) file to open", "/m/p.cbmov",
         "You need to select .CbMov file to open"},
        {ChooseProjectToSave, FileDialogMode::Save,
         "Cinebrix Source files (*.CbMov)|*.CbMov|All files (*.*)|*.*", "CbMov",
         "Select a Cinebrix Source files (*.CbMov) file name to save", "/m/p.CbMov",
         "You need to select .CbMov file to save"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        ScriptedInteraction seam;
        ScopedInteraction scope(seam);
        FileDialogMemory dialog;
        dialog.FileName = "/m/previous.xyz";
        seam.fileAnswers = {std::string(c.good), std::string("/m/notes.txt"), std::nullopt};
        EXPECT_EQ(c.choose(dialog), c.good);
        EXPECT_EQ(c.choose(dialog), "");
        EXPECT_EQ(c.choose(dialog), "");  // cancelled
        ASSERT_EQ(seam.fileRequests.size(), 3u);
        const FileChoiceRequest& request = seam.fileRequests[0];
        EXPECT_EQ(request.mode, c.mode);
        EXPECT_EQ(request.filter, c.filter);
        EXPECT_EQ(request.filterIndex, 1);
        EXPECT_EQ(request.defaultExtension, c.extension);
        EXPECT_EQ(request.title, c.title);
        EXPECT_TRUE(request.hideReadOnly);
        EXPECT_EQ(request.fileMustExist, c.mode == FileDialogMode::Open);
        EXPECT_EQ(request.overwritePrompt, c.mode == FileDialogMode::Save);
        EXPECT_EQ(request.pathMustExist, c.mode == FileDialogMode::Save);
        // An open dialog does not show a previous name of another kind; a save dialog keeps it.
        EXPECT_EQ(request.fileName, c.mode == FileDialogMode::Open ? "" : "/m/previous.xyz");
        EXPECT_EQ(seam.fileRequests[1].fileName, c.good);  // the dialog remembers the last choice
        ASSERT_EQ(seam.messages.size(), 1u);
        EXPECT_EQ(seam.messages[0].text, c.wrong);
    }
}

}  // namespace
}  // namespace composer
