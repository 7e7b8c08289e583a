#include "demo_patterns.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace demo {

namespace {

constexpr Rgb kBars[] = {{235, 235, 235}, {235, 235, 16}, {16, 235, 235}, {16, 235, 16},
                         {235, 16, 235},  {235, 16, 16},  {16, 16, 235},  {40, 40, 40}};

void FillRect(Image& image, int32_t top, int32_t left, int32_t height, int32_t width, Rgb colour) {
    for (int32_t row = std::max(top, 0); row < std::min(top + height, image.height); ++row) {
        for (int32_t column = std::max(left, 0); column < std::min(left + width, image.width); ++column) {
            image.At(row, column) = colour;
        }
    }
}

int16_t Sine(double seconds, double frequency, double amplitude) {
    return static_cast<int16_t>(
        std::lround(amplitude * std::sin(2.0 * std::numbers::pi * frequency * seconds)));
}

}  // namespace

void DrawMovingBars(int32_t frame, Image& image) {
    const int32_t barWidth = std::max(image.width / 8, 1);
    for (int32_t row = 0; row < image.height; ++row) {
        for (int32_t column = 0; column < image.width; ++column) {
            image.At(row, column) = kBars[((column + frame * 4) / barWidth) % 8];
        }
    }
    const int32_t side = image.height / 4;
    const int32_t travel = std::max(image.width - side, 1);
    FillRect(image, image.height / 2 - side / 2, (frame * 6) % travel, side, side, {255, 255, 255});
    // One small box per ten frames along the bottom edge, so that each frame tells where it lies.
    for (int32_t box = 0; box <= frame / 10; ++box) {
        FillRect(image, image.height - 14, 4 + box * 12, 10, 10, {0, 0, 0});
    }
}

void DrawBouncingBall(int32_t frame, Image& image) {
    std::fill(image.pixels.begin(), image.pixels.end(), kKeyGreen);
    const double radius = image.height / 5.0;
    const double phase = frame / 25.0;
    const double centreX = radius + (image.width - 2 * radius) * (0.5 + 0.5 * std::sin(phase * 2.1));
    const double centreY = radius + (image.height - 2 * radius) * std::abs(std::cos(phase * 3.3));
    for (int32_t row = 0; row < image.height; ++row) {
        for (int32_t column = 0; column < image.width; ++column) {
            const double distance = std::hypot(column + 0.5 - centreX, row + 0.5 - centreY);
            if (distance <= radius - 3)
                image.At(row, column) = {220, 30, 30};
            else if (distance <= radius)
                image.At(row, column) = {60, 0, 0};
        }
    }
}

Image MakeBadge(int32_t width, int32_t height) {
    Image image{width, height, std::vector<Rgb>(static_cast<std::size_t>(width) * height, kStillBackground)};
    FillRect(image, height / 8, width / 8, height * 3 / 4, width * 3 / 4, {20, 60, 200});
    FillRect(image, height / 4, width / 4, height / 2, width / 2, {250, 150, 20});
    FillRect(image, height * 3 / 8, width * 3 / 8, height / 4, width / 4, {20, 60, 200});
    return image;
}

int16_t SteppedTone(int64_t index, int32_t sampleRate) {
    const double seconds = static_cast<double>(index) / sampleRate;
    constexpr double kSteps[] = {330.0, 392.0, 440.0, 523.25};
    return Sine(seconds, kSteps[static_cast<int64_t>(seconds * 2.0) % 4], 6000.0);
}

int16_t SwellingChord(int64_t index, int32_t sampleRate) {
    const double seconds = static_cast<double>(index) / sampleRate;
    const double swell = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * seconds / 3.0);
    return static_cast<int16_t>(Sine(seconds, 220.0, 5000.0 * swell) + Sine(seconds, 277.18, 4000.0 * swell));
}

}  // namespace demo
