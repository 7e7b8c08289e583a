// The timeline plan: durations, frame counts, which clip and source frame every output frame shows,
// the overlay layers and the sound events, including the shared frame of arranged clips and overlays
// shown from their delay; videos whose pictures come at uneven intervals placed by their times.
#include "document/movie_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "document/movie_db.h"
#include "document/output_repair.h"

namespace composer {
namespace {

ClipRec Picture(double seconds, double delay = 0) {
    ClipRec clip;
    clip.ClipType = ClipPicture;
    clip.PicDuration = seconds;
    clip.OverlayDelay = delay;
    return clip;
}

ClipRec Video(int32_t useFirst, int32_t useLast, double srcFps, double delay = 0) {
    ClipRec clip;
    clip.ClipType = ClipVideo;
    clip.UseFirst = useFirst;
    clip.UseLast = useLast;
    clip.FrameCount = useLast;
    clip.SrcFps = srcFps;
    clip.OverlayDelay = delay;
    return clip;
}

ClipRec Sound(double seconds, double delay = 0) {
    ClipRec clip;
    clip.ClipType = ClipAudio;
    clip.AudioDuration = seconds;
    clip.OverlayDelay = delay;
    return clip;
}

struct Entry {
    int32_t clip;
    std::vector<int32_t> overlays;
};

MovieDbRec MakeMovie(double fps, const std::vector<ClipRec>& clips, const std::vector<Entry>& entries) {
    MovieDbRec movie;
    ClearMovie(movie);
    movie.OutFps = fps;
    for (const ClipRec& clip : clips) movie.Clips.push_back(clip);
    movie.ClipCount = static_cast<int32_t>(clips.size());
    for (const Entry& entry : entries) {
        ArrangeRec rec;
        rec.ClipIndex = entry.clip;
        for (int32_t overlay : entry.overlays) rec.Overlays.push_back(overlay);
        rec.OverlayCount = static_cast<int32_t>(entry.overlays.size());
        movie.Arranged.push_back(rec);
    }
    movie.ArrangedCount = static_cast<int32_t>(entries.size());
    return movie;
}

// The main track as text, one "clip:frame" per output frame 1 .. TotalFrames ("-" for none).
std::string MainTrack(const MoviePlan& plan) {
    std::string text;
    for (int32_t f = 1; f <= plan.TotalFrames; ++f) {
        if (!text.empty()) text += ' ';
        const FrameRow& row = plan.FrameRows[f];
        text += row.MainClip == 0 ? "-" : std::to_string(row.MainClip) + ":" + std::to_string(row.MainFrame);
    }
    return text;
}

// The frames 0 .. TotalFrames that carry layers, as "frame=clip:frame,clip:frame".
std::string LayerTrack(const MoviePlan& plan) {
    std::string text;
    for (int32_t f = 0; f <= plan.TotalFrames; ++f) {
        const FrameRow& row = plan.FrameRows[f];
        if (row.LayerCount == 0) continue;
        if (!text.empty()) text += ' ';
        text += std::to_string(f) + "=";
        for (int32_t k = 1; k <= row.LayerCount; ++k)
            text += (k > 1 ? "," : "") + std::to_string(row.Layers[k].Clip) + ":" +
                    std::to_string(row.Layers[k].Frame);
    }
    return text;
}

std::string Repeat(const std::string& item, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? " " : "") + item;
    return text;
}

struct PlanCase {
    const char* name;
    MovieDbRec movie;
    double duration;
    int32_t totalFrames;
    std::string mainTrack;
    std::string layers;
};

TEST(BuildMoviePlan, WorkedTimings) {
    const std::vector<PlanCase> cases = {
        {"no arranged clips", MakeMovie(25, {Picture(2)}, {}), 0, 0, "", ""},
        {"one picture of 2 s: F2 = 51 lowered to 50", MakeMovie(25, {Picture(2)}, {{1, {}}}), 2, 50,
         Repeat("1:1", 50), ""},
        {"two pictures of 1 s: the second takes the shared frame 26",
         MakeMovie(25, {Picture(1), Picture(1)}, {{1, {}}, {2, {}}}), 2, 50,
         Repeat("1:1", 25) + " " + Repeat("2:1", 25), ""},
        {"video 3..7 of 10 fps at 20 fps", MakeMovie(20, {Video(3, 7, 10)}, {{1, {}}}), 0.5, 10,
         "1:3 1:3 1:4 1:4 1:5 1:5 1:6 1:6 1:7 1:7", ""},
        // Frame f shows the time (f - 1) / 25: the overlay from 1.00 s (frame 26) to 1.96 s (frame 50).
        {"overlay picture of 1 s, delay 1, on a 3 s picture: frames 26 .. 50",
         MakeMovie(25, {Picture(3), Picture(1, 1)}, {{1, {2}}}), 3, 75, Repeat("1:1", 75),
         [] {
             std::string text;
             for (int f = 26; f <= 50; ++f) text += (f > 26 ? " " : "") + std::to_string(f) + "=2:1";
             return text;
         }()},
        {"sound on the arranged track takes no time",
         MakeMovie(25, {Picture(1), Sound(5), Picture(1)}, {{1, {}}, {2, {}}, {3, {}}}), 2, 50,
         Repeat("1:1", 25) + " " + Repeat("3:1", 25), ""},
        {"overlay video at delay 0 shows its first picture on the first frame, each picture once",
         MakeMovie(10, {Picture(0.5), Video(1, 2, 10)}, {{1, {2}}}), 0.5, 5, Repeat("1:1", 5), "1=2:1 2=2:2"},
        {"an overlay past the arranged clips lengthens the movie",
         MakeMovie(10, {Picture(0.2), Picture(0.3, 0.1)}, {{1, {2}}}), 0.4, 4, "1:1 1:1 1:1 -",
         "2=2:1 3=2:1 4=2:1"},
        {"layers in entry order, then overlay order",
         MakeMovie(10, {Picture(0.2), Picture(0.1), Picture(0.1), Picture(0.2), Picture(0.1)},
                   {{1, {2, 3}}, {4, {5}}}),
         0.4, 4, "1:1 1:1 4:1 4:1", "1=2:1,3:1 3=5:1"},
        {"an overlay starting with an arranged clip covers its frames",
         MakeMovie(10, {Picture(0.2), Picture(0.2), Picture(0.2, 0)}, {{1, {}}, {2, {3}}}), 0.4, 4,
         "1:1 1:1 2:1 2:1", "3=3:1 4=3:1"},
        {"halves round to even: 12.5 frames make 12", MakeMovie(25, {Picture(0.5)}, {{1, {}}}), 0.5, 12,
         Repeat("1:1", 12), ""},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MoviePlan plan = BuildMoviePlan(c.movie);
        EXPECT_DOUBLE_EQ(plan.MovieDuration, c.duration);
        EXPECT_EQ(plan.TotalFrames, c.totalFrames);
        ASSERT_EQ(plan.FrameRows.size(), static_cast<std::size_t>(plan.TotalFrames) + 1);
        EXPECT_EQ(plan.FrameRows[0].MainClip, 0);
        EXPECT_EQ(MainTrack(plan), c.mainTrack);
        EXPECT_EQ(LayerTrack(plan), c.layers);
        EXPECT_EQ(plan.AudioEventCount, 0);
    }
}

TEST(BuildMoviePlan, SoundOverlaysBecomeEventsAndDoNotLengthenTheMovie) {
    // 2 s of pictures; a 10 s sound at delay 0.5 on the first, a 1 s sound on the second.
    const MovieDbRec movie =
        MakeMovie(25, {Picture(1), Sound(10, 0.5), Picture(1), Sound(1)}, {{1, {2}}, {3, {4}}});
    const MoviePlan plan = BuildMoviePlan(movie);
    EXPECT_DOUBLE_EQ(plan.MovieDuration, 2);
    EXPECT_EQ(plan.TotalFrames, 50);
    EXPECT_EQ(LayerTrack(plan), "");
    ASSERT_EQ(plan.AudioEventCount, 2);
    ASSERT_EQ(plan.AudioEvents.size(), 3u);
    EXPECT_EQ(plan.AudioEvents[1].Clip, 2);
    EXPECT_DOUBLE_EQ(plan.AudioEvents[1].StartTime, 0.5);
    EXPECT_DOUBLE_EQ(plan.AudioEvents[1].EndTime, 10.5);
    EXPECT_EQ(plan.AudioEvents[2].Clip, 4);
    EXPECT_DOUBLE_EQ(plan.AudioEvents[2].StartTime, 1);
    EXPECT_DOUBLE_EQ(plan.AudioEvents[2].EndTime, 2);
}

TEST(BuildMoviePlan, OutputSettingsThatCannotRenderAreRepaired) {
    MovieDbRec movie = MakeMovie(0, {Picture(1)}, {{1, {}}});
    movie.OutWidth = 0;
    movie.OutHeight = -3;
    EXPECT_EQ(BuildMoviePlan(movie).TotalFrames, 25);  // planned at 25 fps
    EXPECT_TRUE(RepairOutputSettings(movie));
    EXPECT_EQ(movie.OutFps, 25);
    EXPECT_EQ(movie.OutWidth, 400);
    EXPECT_EQ(movie.OutHeight, 300);
    EXPECT_FALSE(RepairOutputSettings(movie));
    movie.OutFps = 12.5;
    movie.OutWidth = 1;
    movie.OutHeight = 1;
    EXPECT_FALSE(RepairOutputSettings(movie));
    EXPECT_EQ(movie.OutFps, 12.5);
}

TEST(BuildMoviePlan, PlacesNamingNoClipPlayNothing) {
    // A damaged record must not make the plan read outside the clips.
    MovieDbRec movie = MakeMovie(10, {Picture(0.3)}, {{7, {1, -2}}, {1, {}}});
    const MoviePlan plan = BuildMoviePlan(movie);
    EXPECT_EQ(plan.TotalFrames, 3);
    EXPECT_EQ(MainTrack(plan), "1:1 1:1 1:1");
}

TEST(BuildMoviePlan, DurationsThatAreNoNumberTakeNoTime) {
    // A video rate of 0 and stored durations that are not finite, as a damaged project may hold.
    const MovieDbRec movie = MakeMovie(10,
                                       {Picture(0.3), Video(1, 5, 0), Picture(std::nan("")),
                                        Picture(std::numeric_limits<double>::infinity(), 0.1),
                                        Sound(std::numeric_limits<double>::infinity())},
                                       {{1, {4, 5}}, {2, {}}, {3, {}}});
    const MoviePlan plan = BuildMoviePlan(movie);
    EXPECT_DOUBLE_EQ(plan.MovieDuration, 0.3);
    EXPECT_EQ(plan.TotalFrames, 3);
    EXPECT_EQ(plan.AudioEventCount, 1);
    EXPECT_EQ(plan.AudioEvents[1].EndTime, plan.AudioEvents[1].StartTime);
}

}  // namespace
}  // namespace composer

namespace composer {
namespace {

// A picture shown for months or an overlay delayed past any movie would ask for millions of rows:
// the plan is refused with the length it would have, before a row is made.
TEST(MoviePlanLength, PlansBeyondTheLimitAreRefusedBeforeTheyAreBuilt) {
    const struct {
        const char* name;
        MovieDbRec movie;
        const char* text;  // nullptr: the plan is made
    } cases[] = {
        {"a picture of 1000 s", MakeMovie(25, {Picture(1000)}, {{1, {}}}), nullptr},
        {"picture of a year", MakeMovie(25, {Picture(365.0 * 24 * 3600)}, {{1, {}}}), "788400000 frames"},
        {"overlay delayed by 1e300 s", MakeMovie(25, {Picture(1), Picture(1, 1e300)}, {{1, {2}}}),
         "frames at 25"},
        {"endless delay",
         MakeMovie(25, {Picture(1), Picture(1, std::numeric_limits<double>::infinity())}, {{1, {2}}}),
         "endless"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const MoviePlan plan = BuildMoviePlan(c.movie);
            EXPECT_EQ(c.text, nullptr) << "made a plan of " << plan.TotalFrames << " frames";
            EXPECT_EQ(plan.TotalFrames, 25000);
        } catch (const MoviePlanTooLong& tooLong) {
            ASSERT_NE(c.text, nullptr) << tooLong.what();
            EXPECT_NE(std::string(tooLong.what()).find(c.text), std::string::npos) << tooLong.what();
        }
    }
}

}  // namespace
}  // namespace composer

namespace composer {
namespace {

// Every output frame of one long video against the rule, with the rates given as exact ratios: the
// source frame shown at output time t = (f - 1) / out is the last one whose time k / src is <= t,
// that is k x srcDen x outNum <= (f - 1) x srcNum x outDen < (k + 1) x srcDen x outNum. The plan
// only sees the rates as floating-point numbers.
TEST(SourceFrames, EachOutputFrameShowsTheLastPictureAtOrBeforeItsTime) {
    const struct {
        int64_t srcNum, srcDen, outNum, outDen;
    } cases[] = {
        {25, 1, 25, 1},
        {50, 1, 50, 1},
        {60, 1, 60, 1},
        {30000, 1001, 30000, 1001},
        {24000, 1001, 24000, 1001},
        {25, 1, 30, 1},
        {30, 1, 25, 1},
        {30000, 1001, 25, 1},
        {25, 1, 30000, 1001},
        {24, 1, 60, 1},
        {2997, 100, 30000, 1001},
    };
    constexpr int64_t kSourceFrames = 3600;
    for (const auto& c : cases) {
        const double src = static_cast<double>(c.srcNum) / static_cast<double>(c.srcDen);
        const double out = static_cast<double>(c.outNum) / static_cast<double>(c.outDen);
        SCOPED_TRACE(std::to_string(c.srcNum) + "/" + std::to_string(c.srcDen) + " into " +
                     std::to_string(c.outNum) + "/" + std::to_string(c.outDen));
        const MoviePlan plan = BuildMoviePlan(MakeMovie(out, {Video(1, kSourceFrames, src)}, {{1, {}}}));
        ASSERT_GT(plan.TotalFrames, 0);
        int64_t wrong = 0;
        int32_t firstWrong = 0;
        for (int32_t f = 1; f <= plan.TotalFrames; ++f) {
            const FrameRow& row = plan.FrameRows[f];
            const int64_t k = row.MainFrame - 1;
            const int64_t time = (f - 1) * c.srcNum * c.outDen;  // (f - 1) / out, in units of 1 / (out x src)
            const bool atOrBefore = k * c.srcDen * c.outNum <= time;
            const bool lastSuch = (k + 1) * c.srcDen * c.outNum > time || row.MainFrame == kSourceFrames;
            if (row.MainClip != 1 || !atOrBefore || !lastSuch) {
                if (wrong++ == 0) firstWrong = f;
            }
        }
        EXPECT_EQ(wrong, 0) << "first at output frame " << firstWrong << ", which shows "
                            << plan.FrameRows[firstWrong].MainFrame;
        if (c.srcNum * c.outDen == c.outNum * c.srcDen) {
            // At the clip's own rate every picture is shown once, in order.
            EXPECT_EQ(plan.TotalFrames, kSourceFrames);
            EXPECT_EQ(plan.FrameRows[plan.TotalFrames].MainFrame, kSourceFrames);
        }
    }
}

TEST(SourceFrames, ATrimmedClipAfterAnotherStartsAtItsFirstUsedPicture) {
    // 13 frames trimmed off a 25 fps clip that follows a 0.52 s clip: frames 14 .. 40 shown once each.
    const MoviePlan plan =
        BuildMoviePlan(MakeMovie(25, {Video(1, 13, 25), Video(14, 40, 25)}, {{1, {}}, {2, {}}}));
    ASSERT_EQ(plan.TotalFrames, 40);
    for (int32_t f = 1; f <= 40; ++f) {
        EXPECT_EQ(plan.FrameRows[f].MainClip, f <= 13 ? 1 : 2) << f;
        EXPECT_EQ(plan.FrameRows[f].MainFrame, f) << f;
    }
}

// A clip recorded at 30, then 15, then 30 pictures a second, as its file stamps them on a clock of
// 30 ticks a second: pictures 0 .. 9 at ticks 0 .. 9, 10 .. 14 at ticks 10, 12 .. 18, 15 .. 24 at
// ticks 20 .. 29; the last one ends at tick 30. 25 pictures in 1 s: its average rate is 25.
ClipRec UnevenVideo(int32_t useFirst, int32_t useLast) {
    ClipRec clip = Video(useFirst, useLast, 25);
    clip.FrameCount = 25;
    auto times = std::make_shared<PictureTimes>();
    for (int64_t k = 0; k < 25; ++k) times->starts.push_back(k < 10 ? k : k < 15 ? 10 + 2 * (k - 10) : k + 5);
    times->end = 30;
    times->ticksPerSecond = FrameRateRatio{30, 1};
    clip.Times = times;
    return clip;
}

// Pictures at uneven intervals are shown by their own times: output frame f, at (f - 1) / out after
// the clip starts, shows the last used picture that started by then (counted from the first used
// one), checked here in whole numbers for every frame; the clip lasts from its first used picture's
// start to its last one's end, and its own sound starts at its first used picture's time.
TEST(SourceFrames, PicturesAtUnevenIntervalsArePlacedByTheirTimes) {
    const struct {
        const char* name;
        ClipRec clip;
        int64_t outNum, outDen;
        double delay;       // < 0: the arranged clip; else an overlay at this delay on a 2 s picture
        double duration;    // seconds on the timeline
        double soundStart;  // seconds into the file's sound of the first used picture
    } cases[] = {
        {"whole clip at 25 fps", UnevenVideo(1, 25), 25, 1, -1, 1.0, 0},
        {"whole clip at 30000/1001", UnevenVideo(1, 25), 30000, 1001, -1, 1.0, 0},
        {"whole clip at 60 fps", UnevenVideo(1, 25), 60, 1, -1, 1.0, 0},
        {"trimmed to pictures 8 .. 20 (ticks 7 .. 24, ending at 25)", UnevenVideo(8, 20), 25, 1, -1,
         18 / 30.0, 7 / 30.0},
        {"trimmed to the slow stretch", UnevenVideo(11, 15), 10, 1, -1, 10 / 30.0, 10 / 30.0},
        {"as an overlay delayed 0.2 s", UnevenVideo(1, 25), 25, 1, 0.2, 1.0, 0},
        {"trimmed overlay delayed 0.5 s", UnevenVideo(4, 22), 30, 1, 0.5, 24 / 30.0, 3 / 30.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double out = static_cast<double>(c.outNum) / static_cast<double>(c.outDen);
        ClipRec video = c.clip;
        video.FilePath = "/m/phone.mp4";
        ClipRec sound = Sound(1.0, c.delay < 0 ? 0 : c.delay);
        sound.FilePath = "/m/phone.mp4";
        MovieDbRec movie;
        if (c.delay < 0) {
            movie = MakeMovie(out, {video, sound}, {{1, {2}}});
        } else {
            video.OverlayDelay = c.delay;
            movie = MakeMovie(out, {Picture(2), video, sound}, {{1, {2, 3}}});
        }
        const int32_t clip = c.delay < 0 ? 1 : 2;
        EXPECT_NEAR(ClipDuration(video, true), c.duration, 1e-12);
        const MoviePlan plan = BuildMoviePlan(movie);
        ASSERT_EQ(plan.AudioEventCount, 1);
        EXPECT_NEAR(plan.AudioEvents[1].SourceStart, c.soundStart, 1e-12);
        EXPECT_NEAR(plan.AudioEvents[1].HeardLength, c.duration, 1e-12);

        const std::vector<int64_t>& starts = video.Times->starts;
        const int64_t origin = starts[static_cast<std::size_t>(video.UseFirst - 1)];
        const double start = c.delay < 0 ? 0 : c.delay;
        for (int32_t f = 1; f <= plan.TotalFrames; ++f) {
            const FrameRow& row = plan.FrameRows[f];
            int32_t frame = 0;
            if (c.delay < 0 && row.MainClip == clip) frame = row.MainFrame;
            for (int32_t k = 1; k <= row.LayerCount; ++k)
                if (row.Layers[k].Clip == clip) frame = row.Layers[k].Frame;
            // Whether the output frame's time is inside the clip's time on the timeline: (f - 1) / out
            // against start .. start + duration, the first frame of the clip being round(out x start + 1).
            const auto first = static_cast<int32_t>(std::lround(out * start + 1));
            const auto after = static_cast<int32_t>(std::lround(out * (start + c.duration) + 1));
            const bool inside = f >= first && (f < after || (c.delay < 0 && f <= plan.TotalFrames));
            ASSERT_EQ(frame != 0, inside) << "output frame " << f;
            if (!inside) continue;
            // The time since the clip's start is (f - first) x outDen / outNum s; a picture k has
            // started when (starts[k] - origin) / 30 <= that time.
            int32_t expected = video.UseFirst;
            for (int32_t k = video.UseFirst; k <= video.UseLast; ++k) {
                if ((starts[static_cast<std::size_t>(k - 1)] - origin) * c.outNum <=
                    (f - first) * c.outDen * 30)
                    expected = k;
            }
            EXPECT_EQ(frame, expected) << "output frame " << f;
        }
    }
}

TEST(SourceFrames, PictureTimesThatDoNotMatchTheClipAreLeftAside) {
    // Times read from a file that has changed since (another number of pictures) do not place the
    // frames: the clip runs at its rate as a clip without times does.
    ClipRec stale = UnevenVideo(1, 20);
    stale.FrameCount = 20;
    EXPECT_DOUBLE_EQ(ClipDuration(stale, true), 20 / 25.0);
    const MoviePlan plan = BuildMoviePlan(MakeMovie(25, {stale}, {{1, {}}}));
    ASSERT_EQ(plan.TotalFrames, 20);
    for (int32_t f = 1; f <= 20; ++f) EXPECT_EQ(plan.FrameRows[f].MainFrame, f);
}

// A sound clip of a video's own file (as adding a video makes it) on the entry of a video of that
// file plays the stretch of the file's sound that belongs to the used pictures; every other sound
// plays whole from its place.
TEST(OwnSound, PlaysTheStretchOfTheVideosUsedRange) {
    auto video = [](const char* path, int32_t first, int32_t last, double delay = 0) {
        ClipRec clip = Video(first, last, 25, delay);
        clip.FilePath = path;
        clip.FrameCount = 100;
        clip.ClipName = "clip";
        return clip;
    };
    auto sound = [](const char* path, double seconds, double delay = 0) {
        ClipRec clip = Sound(seconds, delay);
        clip.FilePath = path;
        clip.ClipName = "Audio of clip";
        return clip;
    };
    const struct {
        const char* name;
        MovieDbRec movie;
        double start, end, sourceStart, heard;  // heard < 0: the whole sound
    } cases[] = {
        {"arranged video trimmed to 14 .. 40: from 0.52 s for 1.08 s",
         MakeMovie(25, {video("/m/a.avi", 14, 40), sound("/m/a.avi", 4)}, {{1, {2}}}), 0, 1.08, 0.52, 1.08},
        {"the second of two trimmed clips: placed at its entry, from its own first frame",
         MakeMovie(25, {video("/m/a.avi", 1, 25), video("/m/a.avi", 51, 75), sound("/m/a.avi", 4)},
                   {{1, {}}, {2, {3}}}),
         1, 2, 2, 1},
        {"paths compared without letter case",
         MakeMovie(25, {video("/m/A.AVI", 26, 50), sound("/m/a.avi", 4)}, {{1, {2}}}), 0, 1, 1, 1},
        {"a renamed sound still follows its video",
         [&] {
             MovieDbRec movie = MakeMovie(25, {video("/m/a.avi", 26, 50), sound("/m/a.avi", 4)}, {{1, {2}}});
             movie.Clips[2].ClipName = "Narration";
             return movie;
         }(),
         0, 1, 1, 1},
        {"a video overlay's sound: its delay keeps its place",
         MakeMovie(25, {Picture(3), video("/m/a.avi", 26, 50, 0.5), sound("/m/a.avi", 4, 0.5)},
                   {{1, {2, 3}}}),
         0.5, 1.5, 1, 1},
        {"cut at the end of the file's sound",
         MakeMovie(25, {video("/m/a.avi", 76, 100), sound("/m/a.avi", 3.5)}, {{1, {2}}}), 0, 0.5, 3, 0.5},
        {"the sound of another file plays whole",
         MakeMovie(25, {video("/m/a.avi", 26, 50), sound("/m/b.avi", 4)}, {{1, {2}}}), 0, 4, 0, -1},
        {"a sound file over a video plays whole",
         MakeMovie(25, {video("/m/a.avi", 26, 50), sound("/m/a.wav", 4)}, {{1, {2}}}), 0, 4, 0, -1},
        {"an untrimmed video: the whole sound, cut at the video's end",
         MakeMovie(25, {video("/m/a.avi", 1, 100), sound("/m/a.avi", 4.1)}, {{1, {2}}}), 0, 4, 0, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MoviePlan plan = BuildMoviePlan(c.movie);
        ASSERT_EQ(plan.AudioEventCount, 1);
        const AudioEvent& event = plan.AudioEvents[1];
        EXPECT_NEAR(event.StartTime, c.start, 1e-9);
        EXPECT_NEAR(event.EndTime, c.end, 1e-9);
        EXPECT_NEAR(event.SourceStart, c.sourceStart, 1e-9);
        if (c.heard < 0)
            EXPECT_LT(event.HeardLength, 0);
        else
            EXPECT_NEAR(event.HeardLength, c.heard, 1e-9);
    }
}

}  // namespace
}  // namespace composer
