#pragma once
// The demo's pictures and sounds: deterministic patterns, so that every run writes the same files.
#include "demo_media.h"

namespace demo {

// The plain key colour behind the overlay clip's moving ball.
inline constexpr Rgb kKeyGreen{0, 255, 0};
// The background of the still picture that its overlay use leaves out.
inline constexpr Rgb kStillBackground{255, 255, 255};

// Colour bars sliding left with a white square crossing them and a frame counter of boxes.
void DrawMovingBars(int32_t frame, Image& image);
// A red ball with a dark rim bouncing across the plain key colour.
void DrawBouncingBall(int32_t frame, Image& image);
// A blue and orange badge on a white ground.
Image MakeBadge(int32_t width, int32_t height);

// A sine tone whose pitch steps every half second (the video's sound track).
int16_t SteppedTone(int64_t index, int32_t sampleRate);
// A soft chord of two tones that swells and fades (the separate sound).
int16_t SwellingChord(int64_t index, int32_t sampleRate);

}  // namespace demo
