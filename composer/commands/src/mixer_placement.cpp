#include "commands/mixer_placement.h"

#include <algorithm>
#include <vector>

#include "base/rounding.h"
#include "base/text_number.h"

namespace composer {

namespace {

// The whole numbers of a comma-separated text, or the default when it has not exactly `parts`.
std::vector<int> StoredNumbers(const std::string& stored, std::size_t parts) {
    std::vector<int> numbers;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = stored.find(',', start);
        numbers.push_back(RoundToInt32(LeadingNumber(stored.substr(start, comma - start))));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (numbers.size() != parts) numbers.assign(parts, -1);
    return numbers;
}

}  // namespace

int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }
int TwipsToPixels(int twips) { return RoundToInt32(static_cast<double>(twips) / kTwipsPerPixel); }

WindowPlacement RestoreMixerPlacement(const std::string& stored, int innerWidth, int innerHeight) {
    const std::vector<int> parts = StoredNumbers(stored, 4);
    const int defaultTop = std::min(RoundToInt32(0.35 * innerHeight), 3500);
    WindowPlacement placement{parts[0], parts[1], parts[2], parts[3]};
    if (placement.top < 0 || placement.top > 0.9 * innerHeight) placement.top = defaultTop;
    if (placement.left < 0 || placement.left > 0.9 * innerWidth) placement.left = 0;
    if (placement.height < 4000 || placement.height > innerHeight)
        placement.height = std::max(innerHeight - defaultTop - 320, 4000);
    if (placement.width < 3000 || placement.width > innerWidth)
        placement.width = std::max(innerWidth - 320, 3000);
    return placement;
}

WindowPlacement StoredPlacementParts(const std::string& stored) {
    const std::vector<int> parts = StoredNumbers(stored, 4);
    return {parts[0], parts[1], parts[2], parts[3]};
}

std::string StoredPlacement(const WindowPlacement& placement) {
    return FormatNumber(placement.top) + "," + FormatNumber(placement.left) + "," +
           FormatNumber(placement.height) + "," + FormatNumber(placement.width);
}

int RestoreDividerTop(const std::string& stored, int innerHeight) {
    int top = StoredNumbers(stored, 2)[0];
    if (top < 40 || top > 0.9 * innerHeight) top = RoundToInt32(0.666 * innerHeight);
    return std::max(top, 40);
}

std::string StoredBoxHeights(int dividerTop) { return FormatNumber(dividerTop) + ",0"; }

int LayoutDividerTop(int top, int innerHeight, int lineHeight) {
    top = std::min(top, innerHeight - lineHeight - 30);
    return std::max(top, 40);
}

}  // namespace composer
