#include "commands/clip_window_rules.h"

#include <algorithm>
#include <cstdlib>

#include "base/interaction.h"
#include "base/rounding.h"
#include "base/text_number.h"

namespace composer {

namespace {

int32_t LimitFrame(const ClipRec& clip, int64_t frame) {
    return static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(frame, clip.FrameCount), 1));
}

}  // namespace

double ZoomedScale(int32_t scale, ZoomStep step) {
    switch (step) {
        case ZoomStep::In:
            return scale * 0.6;
        case ZoomStep::Out:
            return scale / 0.6;
        case ZoomStep::OneToOne:
            break;
    }
    return 1;
}

std::optional<int32_t> AcceptedViewScale(double proposed) {
    const double rounded = RoundHalfEven(proposed);
    if (!(rounded >= 1 && rounded <= kMaxViewScale)) return std::nullopt;
    return static_cast<int32_t>(rounded);
}

void StepFrames(ClipRec& clip, StepDirection direction, int32_t scale) {
    if (direction == StepDirection::Back) {
        clip.CurFrame = std::max(clip.CurFrame - scale, 1);
    } else {
        clip.CurFrame = std::max(std::min(clip.CurFrame + scale, clip.FrameCount), 1);
    }
}

int32_t JumpFrame(const ClipRec& clip, double seconds) {
    if (clip.SrcFps == 0) return clip.CurFrame;
    return LimitFrame(clip, clip.CurFrame + RoundToInt64(seconds * clip.SrcFps));
}

int32_t GotoFrame(const ClipRec& clip, double seconds) {
    if (clip.SrcFps == 0) return clip.CurFrame;
    return LimitFrame(clip, RoundToInt64(seconds * clip.SrcFps));
}

void SetUseStart(ClipRec& clip) {
    clip.UseFirst = clip.CurFrame;
    if (clip.UseLast < clip.UseFirst) clip.UseLast = clip.FrameCount;
}

void SetUseEnd(ClipRec& clip) {
    clip.UseLast = clip.CurFrame;
    if (clip.UseFirst > clip.UseLast) clip.UseFirst = 1;
}

bool CheckCurrentClip(const MovieDbRec& movie) {
    if (movie.ClipCount < 1) {
        MsgBox("First add a clip in the Movie Mixer Window");
        return false;
    }
    if (movie.CurClip < 1 || movie.CurClip > movie.ClipCount) {
        MsgBox("Make one clip current in the mixer window to proceed");
        return false;
    }
    return true;
}

std::optional<double> AskSeconds(const std::string& prompt, double current) {
    std::string shown = FormatNumber(current);
    while (true) {
        const std::optional<std::string> answer = InputBox(prompt, "", shown);
        if (!answer || answer->empty()) return std::nullopt;
        shown = *answer;
        const double value = LeadingNumber(*answer);
        if (value < 0) continue;
        if (value <= 100) return value;
        if (AskYesNo(FormatNumber(value) +
                     " seconds?\r\nThis value looks like too long are you sure to use this value?"))
            return value;
    }
}

WindowPlacement RestoreClipPlacement(const std::string& stored, int innerWidth, int innerHeight) {
    WindowPlacement placement = StoredPlacementParts(stored);
    if (placement.top < 0 || placement.top > 0.9 * innerHeight) placement.top = 0;
    if (placement.left < 0 || placement.left > 0.9 * innerWidth) placement.left = 0;
    if (placement.height < 0 || placement.height > innerHeight)
        placement.height = std::min(RoundToInt32(0.35 * innerHeight), 3500);
    placement.height = std::max(placement.height, 3000);
    if (placement.width < 3000 || placement.width > innerWidth) placement.width = innerWidth - 2000;
    placement.width = std::max(placement.width, 3000);
    return placement;
}

WindowPlacement RestorePlayPlacement(const std::string& stored, int innerWidth, int innerHeight) {
    WindowPlacement placement = StoredPlacementParts(stored);
    if (placement.top < 0 || placement.top > innerHeight) placement.top = 0;
    if (placement.left < 0 || placement.left > innerWidth) placement.left = innerWidth / 2;
    if (placement.height < 0 || placement.height > innerHeight) placement.height = innerHeight / 2;
    if (placement.width < 0 || placement.width > innerWidth) placement.width = innerWidth / 2;
    placement.height = std::max(placement.height, 3000);
    placement.width = std::max(placement.width, 3000);
    return placement;
}

DividerDrop DropClipDivider(const QRect& upper, const std::optional<QRect>& lower, int lowerMinHeight,
                            int areaHeight, int dragged) {
    int most = areaHeight - upper.top();
    if (lower) most = std::min(most, lower->bottom() + 1 - lowerMinHeight - upper.top());
    const int height = std::max(std::min(upper.height() + dragged, most), kClipMinHeight);
    DividerDrop drop{height, std::nullopt};
    if (lower) {
        const int top = upper.top() + height;
        drop.lower = QRect(lower->left(), top, lower->width(), std::max(lower->bottom() + 1 - top, 0));
    }
    return drop;
}

bool DockedBelow(const QRect& upper, const QRect& other) {
    constexpr int kSlack = 4;
    const bool touching = std::abs(other.top() - (upper.bottom() + 1)) <= kSlack;
    const bool sideBySide = other.left() < upper.right() && upper.left() < other.right();
    return touching && sideBySide;
}

}  // namespace composer
