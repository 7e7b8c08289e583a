#include "demo_project.h"

#include "demo_media.h"
#include "demo_patterns.h"

namespace demo {

namespace {

constexpr int32_t kRate = 22050;

// bars.avi: 4 s of 320 x 240 at 25 frames per second with its sound track.
constexpr AviClipSpec kBars{320, 240, 25, 100, kRate};
// ball.avi: 3 s of 160 x 120, no sound.
constexpr AviClipSpec kBall{160, 120, 25, 75, 0};
constexpr int32_t kBadgeWidth = 200;
constexpr int32_t kBadgeHeight = 150;
constexpr double kChordSeconds = 4.0;
constexpr int32_t kBallKeyTolerance = 45;

composer::ClipRec VideoClip(const std::string& path, const std::string& name, const AviClipSpec& spec) {
    composer::ClipRec clip;
    clip.ClipType = composer::ClipVideo;
    clip.FilePath = path;
    clip.ClipName = name;
    clip.SrcFps = spec.framesPerSecond;
    clip.FrameCount = spec.frameCount;
    clip.SrcWidth = spec.width;
    clip.SrcHeight = spec.height;
    clip.UseFirst = 1;
    clip.UseLast = spec.frameCount;
    clip.CurFrame = 1;
    return clip;
}

composer::ClipRec PictureClip(const std::string& path, const std::string& name, double seconds) {
    composer::ClipRec clip;
    clip.ClipType = composer::ClipPicture;
    clip.FilePath = path;
    clip.ClipName = name;
    clip.SrcWidth = kBadgeWidth;
    clip.SrcHeight = kBadgeHeight;
    clip.PicDuration = seconds;
    return clip;
}

composer::ClipRec SoundClip(const std::string& path, const std::string& name, double seconds) {
    composer::ClipRec clip;
    clip.ClipType = composer::ClipAudio;
    clip.FilePath = path;
    clip.ClipName = name;
    clip.AudioDuration = seconds;
    clip.AudioBits = 16;
    clip.AudioChannels = 1;
    clip.AudioRate = kRate;
    clip.AudioFrames = static_cast<int32_t>(seconds * kRate);
    return clip;
}

void AddTransparent(composer::ClipRec& clip, Rgb colour, int32_t tolerancePercent) {
    clip.TransColors.push_back({colour.red, colour.green, colour.blue, tolerancePercent});
    clip.TransColorCount = static_cast<int32_t>(clip.TransColors.size()) - 1;
}

int32_t AddClip(composer::MovieDbRec& movie, composer::ClipRec clip) {
    movie.Clips.push_back(std::move(clip));
    return movie.ClipCount = static_cast<int32_t>(movie.Clips.size()) - 1;
}

void Arrange(composer::MovieDbRec& movie, int32_t clip, std::initializer_list<int32_t> overlays) {
    composer::ArrangeRec entry;
    entry.ClipIndex = clip;
    entry.Overlays.insert(entry.Overlays.end(), overlays);
    entry.OverlayCount = static_cast<int32_t>(overlays.size());
    movie.Arranged.push_back(std::move(entry));
    movie.ArrangedCount = static_cast<int32_t>(movie.Arranged.size()) - 1;
}

}  // namespace

void WriteDemoClips(const std::string& folder) {
    WriteAviClip(folder + "/bars.avi", kBars, DrawMovingBars,
                 [](int64_t i) { return SteppedTone(i, kRate); });
    WriteAviClip(folder + "/ball.avi", kBall, DrawBouncingBall, {});
    WriteBmp(folder + "/badge.bmp", MakeBadge(kBadgeWidth, kBadgeHeight));
    WriteWav(folder + "/chord.wav", kRate, static_cast<int64_t>(kChordSeconds * kRate),
             [](int64_t i) { return SwellingChord(i, kRate); });
}

composer::MovieDbRec DemoMovie(const std::string& folder) {
    composer::MovieDbRec movie;
    movie.MovieName = "Cinebrix demo";

    // The arranged video plays its frames 11 .. 90 (3.2 s) with a margin cropped off every edge.
    composer::ClipRec bars = VideoClip(folder + "/bars.avi", "Moving bars", kBars);
    bars.UseFirst = 11;
    bars.UseLast = 90;
    bars.CurFrame = 11;
    bars.CropTop = 12;
    bars.CropBottom = 12;
    bars.CropLeft = 16;
    bars.CropRight = 16;
    const int32_t barsClip = AddClip(movie, bars);

    const int32_t badgeClip = AddClip(movie, PictureClip(folder + "/badge.bmp", "Badge", 2.0));

    // The ball comes in half a second after the bars start; its key green is left out through a
    // tolerance wide enough for the lossy clip: the encoder's 4 x 4 blocks on the ball's edge mix
    // green into the rim, and those greens must go too. No colour of the ball comes near: its
    // green channel stays below 40 % of the key's.
    composer::ClipRec ball = VideoClip(folder + "/ball.avi", "Bouncing ball", kBall);
    ball.OverlayDelay = 0.5;
    AddTransparent(ball, kKeyGreen, kBallKeyTolerance);
    const int32_t ballClip = AddClip(movie, ball);

    // The badge again, cropped to its centre with its white ground left out exactly, 1.2 s into the
    // badge's own turn and on for 1.5 s: past the movie's last picture, over black.
    composer::ClipRec corner = PictureClip(folder + "/badge.bmp", "Badge overlay", 1.5);
    corner.OverlayDelay = 1.2;
    corner.CropTop = 10;
    corner.CropBottom = 10;
    corner.CropLeft = 10;
    corner.CropRight = 10;
    AddTransparent(corner, kStillBackground, 0);
    const int32_t cornerClip = AddClip(movie, corner);

    composer::ClipRec chord = SoundClip(folder + "/chord.wav", "Chord", kChordSeconds);
    chord.OverlayDelay = 0.25;
    const int32_t chordClip = AddClip(movie, chord);

    const int32_t barsSoundClip =
        AddClip(movie, SoundClip(folder + "/bars.avi", "Bars sound track",
                                 static_cast<double>(kBars.frameCount) / kBars.framesPerSecond));

    Arrange(movie, barsClip, {ballClip, barsSoundClip});
    Arrange(movie, badgeClip, {chordClip, cornerClip});
    movie.CurClip = barsClip;
    movie.OutFps = 25.0;
    movie.OutWidth = 352;
    movie.OutHeight = 288;
    movie.OutChannels = 2;
    movie.OutBits = 16;
    movie.OutRate = kRate;
    return movie;
}

}  // namespace demo
