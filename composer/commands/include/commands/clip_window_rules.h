#pragma once
// What the clip window decides without a widget: the view-scale steps and limits, moving through
// the frames (arrows, Jump, Goto), the used range, the current-clip check, the delay and duration
// questions with their re-ask loops, the window's stored place, and its dividing line.
#include <QRect>
#include <cstdint>
#include <optional>
#include <string>

#include "commands/mixer_placement.h"
#include "document/movie_records.h"

namespace composer {

inline constexpr int32_t kMaxViewScale = 1500;

enum class ZoomStep { In, Out, OneToOne };

// The new view scale before the limits: in x 0.6, out / 0.6, 1:1 gives 1.
double ZoomedScale(int32_t scale, ZoomStep step);

// A proposed view scale rounded (halves to even); nothing when it lies outside 1 .. 1500, which
// leaves the scale as it was.
std::optional<int32_t> AcceptedViewScale(double proposed);

// The arrows: back (1) moves CurFrame back by the scale, not below 1; forward (2) forward by the
// scale, not beyond FrameCount.
enum class StepDirection { Back = 1, Forward = 2 };
void StepFrames(ClipRec& clip, StepDirection direction, int32_t scale);

// Jump by seconds from CurFrame, and Goto a time: the frame, limited to 1 .. FrameCount. A clip
// without a frame rate stays where it is.
int32_t JumpFrame(const ClipRec& clip, double seconds);
int32_t GotoFrame(const ClipRec& clip, double seconds);

// "Start" and "End" of the used range at CurFrame; an end before the start moves the start to 1,
// a start after the end moves the end to the last frame.
void SetUseStart(ClipRec& clip);
void SetUseEnd(ClipRec& clip);

// Whether the window's commands may run: with no clips "First add a clip in the Movie Mixer Window",
// with no current clip "Make one clip current in the mixer window to proceed" (false after either).
bool CheckCurrentClip(const MovieDbRec& movie);

// The overlay-delay and picture-duration questions: the input box with the current value; an
// empty answer or Cancel gives nothing; a negative value asks again; above 100 seconds it asks
// whether the value is meant (No asks again with the answer as the default).
std::optional<double> AskSeconds(const std::string& prompt, double current);
inline constexpr const char* kDelayPrompt =
    "Enter the time (in seconds) to delay this clip when it is overlayed. (Delay is used only for overlay)";
inline constexpr const char* kPictureDurationPrompt =
    "Enter the duration (in seconds) to show this picture in the movie";

// The clip window's place from the stored "top,left,height,width" (twips) inside a main window whose
// inner area is innerWidth x innerHeight twips, with its fallbacks; width and height at least 3000.
WindowPlacement RestoreClipPlacement(const std::string& stored, int innerWidth, int innerHeight);

// The dividing line along the clip window's bottom edge, dropped `dragged` pixels below where it was
// taken: the clip window's new height, at least kClipMinHeight (its smallest stored height) and
// not beyond the bottom of a work area `areaHeight` high. A window docked right below it (see
// DockedBelow) gives or takes the room: its top follows the line, its bottom stays, and it keeps
// at least `lowerMinHeight`. Nothing is stored: the windows' places are, at exit.
inline constexpr int kClipMinHeight = 200;  // 3000 twips
struct DividerDrop {
    int upperHeight;
    std::optional<QRect> lower;
};
DividerDrop DropClipDivider(const QRect& upper, const std::optional<QRect>& lower, int lowerMinHeight,
                            int areaHeight, int dragged);
// Whether `other` lies right below `upper` (its top within a few pixels of upper's bottom, the two
// overlapping side by side), so that the line sizes both.
bool DockedBelow(const QRect& upper, const QRect& other);

// The play window's place likewise: top 0 and half the inner size for the others when a value lies
// outside the main window; width and height at least 3000.
WindowPlacement RestorePlayPlacement(const std::string& stored, int innerWidth, int innerHeight);

}  // namespace composer
