// What the clip, mask, properties and play windows decide without a widget: the view-scale steps,
// moving through frames, the used range, the delay question's loop, the crop and tolerance checks,
// the colour-list edits, the preview's enlargement, where a dialog opens, the properties checks and the
// compressor list, the play window's sizes.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/scripted_interaction.h"
#include "commands/clip_panel.h"
#include "commands/clip_window_rules.h"
#include "commands/dialog_placement.h"
#include "commands/mask_rules.h"
#include "commands/movie_properties_rules.h"
#include "commands/play_window_rules.h"
#include "vidmill/vidmill.h"

namespace composer {
namespace {

ClipRec VideoClip(int32_t frames, double fps, int32_t curFrame) {
    ClipRec clip;
    clip.ClipType = ClipVideo;
    clip.FrameCount = frames;
    clip.SrcFps = fps;
    clip.CurFrame = curFrame;
    clip.UseFirst = 1;
    clip.UseLast = frames;
    return clip;
}

std::vector<std::string> Texts(const ScriptedInteraction& seam) {
    std::vector<std::string> texts;
    for (const auto& message : seam.messages) texts.push_back(message.text);
    return texts;
}

TEST(ClipWindowRules, ZoomStepsAndTheScaleLimits) {
    int32_t scale = 1;
    std::vector<int32_t> outSteps;
    for (int i = 0; i < 3; ++i) {
        scale = AcceptedViewScale(ZoomedScale(scale, ZoomStep::Out)).value_or(scale);
        outSteps.push_back(scale);
    }
    EXPECT_EQ(outSteps, (std::vector<int32_t>{2, 3, 5}));
    EXPECT_EQ(AcceptedViewScale(ZoomedScale(1, ZoomStep::In)), 1);  // 0.6 rounds to 1
    EXPECT_EQ(AcceptedViewScale(ZoomedScale(5, ZoomStep::In)), 3);
    EXPECT_EQ(AcceptedViewScale(ZoomedScale(900, ZoomStep::OneToOne)), 1);
    EXPECT_EQ(AcceptedViewScale(ZoomedScale(1000, ZoomStep::Out)), std::nullopt);  // 1666.7
    EXPECT_EQ(AcceptedViewScale(2000), std::nullopt);
    EXPECT_EQ(AcceptedViewScale(1500), 1500);
    EXPECT_EQ(AcceptedViewScale(0.4), std::nullopt);
    EXPECT_EQ(AcceptedViewScale(2.5), 2);  // halves to even
}

TEST(ClipWindowRules, ArrowsJumpAndGotoStayInsideTheClip) {
    ClipRec clip = VideoClip(5000, 25, 100);
    EXPECT_EQ(GotoFrame(clip, 90), 2250);  // 1:30
    EXPECT_EQ(GotoFrame(clip, 0), 1);
    EXPECT_EQ(GotoFrame(clip, 1000), 5000);
    EXPECT_EQ(JumpFrame(clip, -10), 1);
    EXPECT_EQ(JumpFrame(clip, 2), 150);
    EXPECT_EQ(JumpFrame(VideoClip(5000, 0, 100), 2), 100);  // no frame rate: stays

    StepFrames(clip, StepDirection::Back, 150);
    EXPECT_EQ(clip.CurFrame, 1);
    clip.CurFrame = 4990;
    StepFrames(clip, StepDirection::Forward, 25);
    EXPECT_EQ(clip.CurFrame, 5000);
    StepFrames(clip, StepDirection::Back, 25);
    EXPECT_EQ(clip.CurFrame, 4975);
}

TEST(ClipWindowRules, UsedRangeStartAndEnd) {
    ClipRec clip = VideoClip(500, 25, 300);
    clip.UseFirst = 200;
    clip.UseLast = 250;
    SetUseStart(clip);  // a start after the end: the end moves to the last frame
    EXPECT_EQ(clip.UseFirst, 300);
    EXPECT_EQ(clip.UseLast, 500);
    clip.CurFrame = 120;
    SetUseEnd(clip);  // an end before the start: the start moves to 1
    EXPECT_EQ(clip.UseFirst, 1);
    EXPECT_EQ(clip.UseLast, 120);
    clip.CurFrame = 50;
    SetUseStart(clip);
    EXPECT_EQ(clip.UseFirst, 50);
    EXPECT_EQ(clip.UseLast, 120);
}

TEST(ClipWindowRules, CurrentClipCheckNamesWhatIsMissing) {
    ScriptedInteraction seam;
    ScopedInteraction installed(seam);
    MovieDbRec movie;
    EXPECT_FALSE(CheckCurrentClip(movie));
    movie.ClipCount = 2;
    movie.Clips.resize(3);
    EXPECT_FALSE(CheckCurrentClip(movie));
    movie.CurClip = 3;
    EXPECT_FALSE(CheckCurrentClip(movie));
    movie.CurClip = 2;
    EXPECT_TRUE(CheckCurrentClip(movie));
    EXPECT_EQ(Texts(seam),
              (std::vector<std::string>{"First add a clip in the Movie Mixer Window",
                                        "Make one clip current in the mixer window to proceed",
                                        "Make one clip current in the mixer window to proceed"}));
}

TEST(ClipWindowRules, DelayQuestionAsksAgainUntilAValueIsMeant) {
    ScriptedInteraction seam;
    ScopedInteraction installed(seam);
    // 150 asks for confirmation; No asks again with 150; -3 asks again; 150 and Yes stores it.
    seam.inputAnswers = {"150", "-3", "150"};
    seam.messageAnswers = {MsgAnswer::No, MsgAnswer::Yes};
    EXPECT_EQ(AskSeconds(kDelayPrompt, 2.5), 150);
    ASSERT_EQ(seam.inputs.size(), 3u);
    EXPECT_EQ(seam.inputs[0].defaultText, "2.5");
    EXPECT_EQ(seam.inputs[1].defaultText, "150");
    EXPECT_EQ(seam.inputs[2].defaultText, "-3");
    EXPECT_EQ(seam.messages[0].text,
              "150 seconds?\r\nThis value looks like too long are you sure to use this value?");
    EXPECT_EQ(seam.messages[0].buttons, MsgButtons::YesNo);

    seam.inputAnswers = {"12.5s"};
    EXPECT_EQ(AskSeconds(kPictureDurationPrompt, 1), 12.5);
    seam.inputAnswers = {""};
    EXPECT_EQ(AskSeconds(kPictureDurationPrompt, 1), std::nullopt);
    seam.inputAnswers = {std::nullopt};
    EXPECT_EQ(AskSeconds(kPictureDurationPrompt, 1), std::nullopt);
}

TEST(ClipWindowRules, StoredPlacesOfTheClipAndPlayWindows) {
    // A main window of 30000 x 12000 twips.
    struct Case {
        std::string stored;
        WindowPlacement clip, play;
    };
    const Case cases[] = {
        {"100,200,4000,20000", {100, 200, 4000, 20000}, {100, 200, 4000, 20000}},
        {"-1,-1,-1,-1", {0, 0, 3500, 28000}, {0, 15000, 6000, 15000}},
        {"1,2,3", {0, 0, 3500, 28000}, {0, 15000, 6000, 15000}},  // not four parts
        {"11000,28000,500,2000", {0, 0, 3000, 28000}, {11000, 28000, 3000, 3000}},
        {"50,50,13000,31000", {50, 50, 3500, 28000}, {50, 50, 6000, 15000}},
    };
    auto same = [](const WindowPlacement& a, const WindowPlacement& b) {
        return a.top == b.top && a.left == b.left && a.height == b.height && a.width == b.width;
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(same(RestoreClipPlacement(c.stored, 30000, 12000), c.clip)) << c.stored;
        EXPECT_TRUE(same(RestorePlayPlacement(c.stored, 30000, 12000), c.play)) << c.stored;
    }
}

TEST(ClipWindowRules, DividingLineDocksAndKeepsBothWindowsUsable) {
    const QRect clipWindow(0, 10, 500, 250);  // bottom edge at y 260
    for (const auto& [other, docked] : std::vector<std::pair<QRect, bool>>{
             {{0, 260, 500, 300}, true},
             {{100, 264, 200, 300}, true},   // within the slack, partly side by side
             {{0, 265, 500, 300}, false},    // too far below
             {{500, 260, 500, 300}, false},  // beside, not below
             {{0, 0, 500, 300}, false}}) {
        EXPECT_EQ(DockedBelow(clipWindow, other), docked) << other.x() << "," << other.y();
    }
    // Without a window below: up to the area's bottom, and never under the smallest height.
    EXPECT_EQ(DropClipDivider(clipWindow, std::nullopt, 0, 700, 1000).upperHeight, 690);
    EXPECT_EQ(DropClipDivider(clipWindow, std::nullopt, 0, 700, -1000).upperHeight, kClipMinHeight);
    // A docked window follows the line and keeps its bottom and its smallest height.
    const DividerDrop down = DropClipDivider(clipWindow, QRect(0, 260, 500, 300), 120, 700, 500);
    EXPECT_EQ(down.upperHeight, 560 - 120 - 10);
    EXPECT_EQ(down.lower, QRect(0, 440, 500, 120));
}

TEST(ClipPanel, StripFramesLabelsAndFacts) {
    ClipRec clip = VideoClip(12, 25, 3);
    clip.UseFirst = 5;
    clip.UseLast = 9;
    clip.SrcWidth = 352;
    clip.SrcHeight = 288;
    clip.FilePath = "/clips/a.avi";
    // 180-unit frames 190 apart: 4 fit 750 units; the strip stops at the last frame.
    EXPECT_EQ(StripFrames(clip, 1, 750), (std::vector<int32_t>{3, 4, 5, 6}));
    EXPECT_EQ(StripFrames(clip, 4, 2000), (std::vector<int32_t>{3, 7, 11}));
    EXPECT_EQ(StripFrames(clip, 1, 179), std::vector<int32_t>{});
    clip.CurFrame = 0;
    EXPECT_EQ(StripFrames(clip, 1, 200), std::vector<int32_t>{1});
    EXPECT_EQ(StripFrameLabel(clip, 4), "Not used");
    EXPECT_EQ(StripFrameLabel(clip, 5), "1/00");
    EXPECT_EQ(StripFrameLabel(clip, 9), "5/00.16");
    EXPECT_EQ(StripFrameLabel(clip, 10), "Not used");
    EXPECT_EQ(ClipFacts(clip, true),
              (std::vector<std::string>{"First used frame: 5/00.16", "Used duration: 5/00.20",
                                        "Total duration: 12/00.48", "Frame Size: w352 x h288",
                                        "Frame Speed: 25 FPS", "File: /clips/a.avi"}));
    EXPECT_EQ(ClipFacts(clip, false), std::vector<std::string>{" File not found"});

    ClipRec sound;
    sound.ClipType = ClipAudio;
    sound.FilePath = "/s.wav";
    sound.AudioDuration = 65.5;
    sound.OverlayDelay = 2;
    sound.AudioChannels = 1;
    sound.AudioRate = 22050;
    sound.AudioBits = 8;
    EXPECT_EQ(ClipFacts(sound, true),
              (std::vector<std::string>{" Audio", " Duration: 01:05.50", " Delay: 02", "File: /s.wav", "Mono",
                                        "Format: 22050Hz, 8Bits"}));
    MovieDbRec movie;
    EXPECT_EQ(ClipPanelTitle(movie), " Current Clip: [None]");
    movie.Clips.push_back(sound);
    movie.Clips[1].ClipName = "Chord";
    movie.ClipCount = 1;
    movie.CurClip = 1;
    EXPECT_EQ(ClipPanelTitle(movie), " Current Clip: Chord [/s.wav]");
}

TEST(MaskRules, CropChecksOnA352x288Picture) {
    ScriptedInteraction seam;
    ScopedInteraction installed(seam);
    MaskEdit edit;
    edit.crop = {5, 6, 7, 8};
    EXPECT_TRUE(ApplyCropEntries(edit, {{CropEdge::Top, "286"}}, 352, 288));
    EXPECT_EQ(edit.crop.Top, 5);
    EXPECT_TRUE(ApplyCropEntries(edit, {{CropEdge::Top, "-1"}}, 352, 288));
    EXPECT_EQ(edit.crop.Top, 5);
    EXPECT_EQ(Texts(seam), (std::vector<std::string>{"Crop can not go near or more then size",
                                                     "Crop can not be less then zero"}));

    seam.messages.clear();
    edit.crop = {};
    ApplyCropEntries(edit, {{CropEdge::Bottom, "287"}}, 352, 288);
    EXPECT_EQ(edit.crop.Bottom, 0);
    // 286 passes the bottom box's own limit; with the top at 0 the total then leaves two rows,
    // which the total rule refuses.
    ApplyCropEntries(edit, {{CropEdge::Bottom, "286"}}, 352, 288);
    EXPECT_EQ(edit.crop.Bottom, 0);
    ApplyCropEntries(edit, {{CropEdge::Bottom, "285"}}, 352, 288);
    EXPECT_EQ(edit.crop.Bottom, 285);
    EXPECT_EQ(Texts(seam), (std::vector<std::string>{
                               "Crop can not go near or more then size",
                               "Total of top and bottom Crop can not go near or more then picture height"}));

    seam.messages.clear();
    edit.crop = {};
    ApplyCropEntries(edit, {{CropEdge::Left, "200"}, {CropEdge::Right, "150"}}, 352, 288);
    EXPECT_EQ(edit.crop.Left, 0);
    EXPECT_EQ(edit.crop.Right, 0);
    EXPECT_EQ(Texts(seam), (std::vector<std::string>{
                               "Total of left and right Crop can not go near or more then picture width"}));

    seam.messages.clear();
    ApplyCropEntries(edit, {{CropEdge::Top, "140"}, {CropEdge::Bottom, "146"}}, 352, 288);
    EXPECT_EQ(edit.crop.Top, 0);
    EXPECT_EQ(edit.crop.Bottom, 0);
    ApplyCropEntries(edit, {{CropEdge::Left, "200"}, {CropEdge::Right, "149"}}, 352, 288);
    EXPECT_EQ(edit.crop.Left, 200);
    EXPECT_EQ(edit.crop.Right, 149);
    EXPECT_FALSE(ApplyCropEntries(edit, {}, 352, 288));
}

TEST(MaskRules, ColourListEditsToleranceAndRows) {
    ScriptedInteraction seam;
    ScopedInteraction installed(seam);
    ClipRec clip;
    clip.TransColors = {{}, {1, 2, 3, 10}};
    clip.TransColorCount = 1;
    MaskEdit edit = MaskEditOf(clip);
    EXPECT_FALSE(ApplyTolerance(edit, "20"));  // no current colour
    edit.currentTolerance = 7;
    AddTransparentColor(edit, {0, 200, 0});
    AddTransparentColor(edit, {0, 200, 0});  // the same colour twice is allowed
    EXPECT_EQ(edit.count, 3);
    EXPECT_EQ(edit.current, 3);
    EXPECT_EQ(edit.colors[3].Tolerance, 7);
    for (const char* ignored : {"100", "-1"}) {
        EXPECT_FALSE(ApplyTolerance(edit, ignored)) << ignored;
        EXPECT_EQ(edit.colors[3].Tolerance, 7) << ignored;
    }
    EXPECT_EQ(ApplyTolerance(edit, "abc"), true);  // reads as 0
    EXPECT_TRUE(ApplyTolerance(edit, "99"));
    EXPECT_EQ(edit.colors[3].Tolerance, 99);
    EXPECT_EQ(edit.currentTolerance, 99);
    EXPECT_TRUE(RecolorCurrent(edit, 0x102030));
    EXPECT_EQ(edit.colors[3].Red, 0x30);
    EXPECT_EQ(edit.colors[3].Blue, 0x10);

    edit.current = 2;
    seam.messageAnswers = {MsgAnswer::No, MsgAnswer::Yes};
    EXPECT_FALSE(DeleteCurrentColor(edit));
    EXPECT_TRUE(DeleteCurrentColor(edit));
    EXPECT_EQ(seam.messages[0].text, "Delete this color?");
    ASSERT_EQ(edit.count, 2);
    EXPECT_EQ(edit.colors.size(), 3u);
    EXPECT_EQ(edit.colors[2].Red, 0x30);  // the later entry moved up
    EXPECT_EQ(clip.TransColorCount, 1);   // the clip is untouched until written back
    WriteMaskEdit(edit, clip);
    EXPECT_EQ(clip.TransColorCount, 2);
    EXPECT_EQ(clip.TransColors[1].Tolerance, 10);

    EXPECT_EQ(ColorEntryAt(2, 0, 3), 1);
    EXPECT_EQ(ColorEntryAt(22, 0, 3), 1);
    EXPECT_EQ(ColorEntryAt(23, 0, 3), 0);  // between rows
    EXPECT_EQ(ColorEntryAt(24, 0, 3), 2);
    EXPECT_EQ(ColorEntryAt(2, 1, 3), 2);  // scrolled by one row
    EXPECT_EQ(ColorEntryAt(70, 0, 3), 0);
    EXPECT_EQ(StoredDisplayColor("-1", 128), 0x808080);
    EXPECT_EQ(StoredDisplayColor("16777216", 192), 0xC0C0C0);
    EXPECT_EQ(StoredDisplayColor("255", 192), 255);
}

TEST(MaskRules, PreviewZoomEnlargesSmallPicturesWithinItsRoom) {
    struct Case {
        int32_t width, height;
        int zoom;
    } cases[] = {
        {160, 120, 4},  // 640 x 480 exactly
        {161, 120, 3},  // a pixel wider no longer fits four times
        {320, 240, 2}, {352, 288, 1}, {1280, 720, 1}, {20, 20, 4}, {100, 400, 1}, {0, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MaskPreviewZoom(c.width, c.height), c.zoom) << c.width << "x" << c.height;
}

TEST(DialogPlacement, BelowTheWindowElseBesideItElseShorterBelowElseAsLowAsTheAreaAllows) {
    const QRect area(0, 20, 1200, 700);  // bottom edge at y 720
    const QRect clipWindow(10, 20, 1100, 220);
    const QSize minimum(600, 300);
    struct Case {
        QSize size;
        QRect place;
    } cases[] = {
        {{900, 480}, {10, 240, 900, 480}},   // room below
        {{900, 481}, {10, 240, 900, 480}},   // a pixel too tall for below, too wide beside: shorter
        {{1200, 300}, {0, 240, 1200, 300}},  // as wide as the area: moved left into it
        {{1300, 900}, {0, 240, 1300, 480}},  // larger than the area: as much as there is below
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogPlaceClearOf(area, clipWindow, c.size, minimum), c.place)
            << c.size.width() << "x" << c.size.height();
    // A narrow window leaves room to its right.
    EXPECT_EQ(DialogPlaceClearOf(area, QRect(0, 20, 500, 600), QSize(600, 400), minimum),
              QRect(500, 20, 600, 400));
    // Too little room below for the smallest dialog: as low as the area allows, over the window.
    EXPECT_EQ(DialogPlaceClearOf(area, QRect(10, 20, 1100, 500), QSize(900, 480), minimum),
              QRect(10, 240, 900, 480));
}

TEST(MoviePropertiesRules, ChecksInOrderWithTheirLimits) {
    struct Case {
        std::string fps, width, height, failure;
    };
    const Case cases[] = {
        {"0.1", "352", "288", "Frames Per Seconds (FPS) is too low"},
        {"1000.5", "1", "288", "Frames Per Seconds (FPS) is too high"},
        {"1000", "352", "288", ""},
        {"25fps", "2", "20000", ""},  // the leading number is read
        {"25", "1", "288", "Frame Width is too low"},
        {"25", "20001", "288", "Frame Width is too high"},
        {"25", "352", "1", "Frame Height is too low"},
        {"25", "352", "20001", "Frame Height is too high"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoviePropertiesFailure(c.fps, c.width, c.height),
                  c.failure.empty() ? "" : c.failure + "\r\nPlease correct it")
            << c.fps << " " << c.width << " " << c.height;
}

TEST(MoviePropertiesRules, CompressorListAndWhatOkStores) {
    const std::vector<CompressorEntry> writing{{vidmill::FourCC("DIB "), "Uncompressed"},
                                               {vidmill::FourCC("MSVC"), "Video 1"},
                                               {vidmill::FourCC("MJPG"), "Motion JPEG"}};
    const CompressorChoices choices = CompressorChoicesFor(writing, 0);
    ASSERT_EQ(choices.entries.size(), 4u);
    EXPECT_EQ(choices.entries[0].name, "No compression");
    EXPECT_EQ(choices.entries[0].handler, 0);
    EXPECT_EQ(choices.entries[2].name, "Video 1");
    EXPECT_EQ(choices.selected, 2u);
    EXPECT_EQ(CompressorChoicesFor(writing, vidmill::FourCC("MJPG")).selected, 3u);
    EXPECT_EQ(CompressorChoicesFor({writing[0]}, 0).selected, 0u);  // no Video 1: "No compression"

    MovieDbRec movie;
    int32_t compressor = 0;
    OutputCoding coding;
    ApplyMovieProperties(
        {"Holiday", "29.97", "640", "480", vidmill::FourCC("MJPG"), 1, 8, 11025, {25, 23, "slow"}}, movie,
        compressor, coding);
    EXPECT_EQ(coding.keyFrameInterval, 25);
    EXPECT_EQ(coding.shareQuality, 23);
    EXPECT_EQ(coding.sharePreset, "slow");
    EXPECT_EQ(movie.MovieName, "Holiday");
    EXPECT_EQ(movie.OutFps, 29.97);
    EXPECT_EQ(movie.OutWidth, 640);
    EXPECT_EQ(movie.OutHeight, 480);
    EXPECT_EQ(compressor, vidmill::FourCC("MJPG"));
    EXPECT_EQ(movie.OutChannels, 1);
    EXPECT_EQ(movie.OutBits, 8);
    EXPECT_EQ(movie.OutRate, 11025);
}

TEST(PlayWindowRules, SizesAndTheMissingFileMessage) {
    EXPECT_EQ(PlaySizeLabel(0, 0), "Size: w0 x h0");
    EXPECT_EQ(PlaySurfaceSize(0, 0), QSize(400, 300));
    EXPECT_EQ(PlaySurfaceSize(1, 2), QSize(400, 2));
    EXPECT_EQ(PlaySurfaceSize(352, 288), QSize(352, 288));
    EXPECT_EQ(PlayFileNotFoundMessage("/tmp/work/part3.avi", "/tmp/work"), "File not found to play");
    EXPECT_EQ(PlayFileNotFoundMessage("/home/me/clip.avi", "/tmp/work"),
              "/home/me/clip.avi\r\nFile not found to play");
}

}  // namespace
}  // namespace composer
