#pragma once
// Where the mixer window and its dividing line go, from the stored settings, with every fallback.
// Window positions are stored in twips (15 per pixel); the dividing line in the window's pixels.
#include <string>

namespace composer {

inline constexpr int kTwipsPerPixel = 15;
int PixelsToTwips(int pixels);
int TwipsToPixels(int twips);  // rounded, halves to even

// Top, left, height and width in twips.
struct WindowPlacement {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
};

// The mixer's place from the stored "top,left,height,width" inside a main window whose inner area
// is innerWidth x innerHeight twips. A text without exactly four parts counts as "-1,-1,-1,-1".
// Out of range: top min(0.35 x H, 3500), left 0, height H - that top - 320 (at least 4000), width
// W - 320 (at least 3000), so by default the mixer fills the main window below the clip window.
WindowPlacement RestoreMixerPlacement(const std::string& stored, int innerWidth, int innerHeight);
std::string StoredPlacement(const WindowPlacement& placement);
// The four parts of a stored "top,left,height,width"; all -1 when the text has not exactly four.
WindowPlacement StoredPlacementParts(const std::string& stored);

// The dividing line's top from the stored "top,0" for a window of innerHeight pixels: outside
// 40 .. 0.9 x the height (or malformed) it is 0.666 x the height, and at least 40.
int RestoreDividerTop(const std::string& stored, int innerHeight);
std::string StoredBoxHeights(int dividerTop);

// The line's top as laid out: at most innerHeight - lineHeight - 30, at least 40.
int LayoutDividerTop(int top, int innerHeight, int lineHeight);

}  // namespace composer
