#include "commands/mask_rules.h"

#include <algorithm>

#include "base/interaction.h"
#include "base/rounding.h"
#include "base/text_number.h"

namespace composer {

MaskEdit MaskEditOf(const ClipRec& clip) {
    MaskEdit edit;
    edit.crop = {clip.CropTop, clip.CropBottom, clip.CropLeft, clip.CropRight};
    const std::size_t kept =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(clip.TransColorCount, 0)),
                              clip.TransColors.empty() ? 0 : clip.TransColors.size() - 1);
    edit.colors.assign(clip.TransColors.begin(),
                       clip.TransColors.begin() + static_cast<std::ptrdiff_t>(kept + 1));
    if (edit.colors.empty()) edit.colors.resize(1);
    edit.count = static_cast<int32_t>(kept);
    return edit;
}

void WriteMaskEdit(const MaskEdit& edit, ClipRec& clip) {
    clip.CropTop = edit.crop.Top;
    clip.CropBottom = edit.crop.Bottom;
    clip.CropLeft = edit.crop.Left;
    clip.CropRight = edit.crop.Right;
    clip.TransColors = edit.colors;
    clip.TransColorCount = edit.count;
}

int32_t& CropValue(CropMargins& crop, CropEdge edge) {
    switch (edge) {
        case CropEdge::Top:
            return crop.Top;
        case CropEdge::Bottom:
            return crop.Bottom;
        case CropEdge::Left:
            return crop.Left;
        case CropEdge::Right:
            break;
    }
    return crop.Right;
}

namespace {

bool WithinLimit(CropEdge edge, int32_t value, int32_t width, int32_t height) {
    switch (edge) {
        case CropEdge::Top:
            return value < height - 2;
        case CropEdge::Bottom:
            return value <= height - 2;
        case CropEdge::Left:
        case CropEdge::Right:
            break;
    }
    return value <= width - 2;
}

}  // namespace

bool ApplyCropEntries(MaskEdit& edit, const std::vector<CropEntry>& changed, int32_t width, int32_t height) {
    for (const CropEntry& entry : changed) {
        const int32_t value = RoundToInt32(LeadingNumber(entry.text));
        if (value < 0) {
            MsgBox("Crop can not be less then zero");
        } else if (!WithinLimit(entry.edge, value, width, height)) {
            MsgBox("Crop can not go near or more then size");
        } else {
            CropValue(edit.crop, entry.edge) = value;
        }
    }
    if (edit.crop.Left + edit.crop.Right >= width - 2) {
        MsgBox("Total of left and right Crop can not go near or more then picture width");
        edit.crop.Left = 0;
        edit.crop.Right = 0;
    }
    if (edit.crop.Top + edit.crop.Bottom >= height - 2) {
        MsgBox("Total of top and bottom Crop can not go near or more then picture height");
        edit.crop.Top = 0;
        edit.crop.Bottom = 0;
    }
    return !changed.empty();
}

bool ApplyTolerance(MaskEdit& edit, const std::string& text) {
    if (edit.current < 1 || edit.current > edit.count) return false;
    const int32_t value = RoundToInt32(LeadingNumber(text));
    if (value < 0 || value > 99) return false;
    edit.colors[static_cast<std::size_t>(edit.current)].Tolerance = value;
    edit.currentTolerance = value;
    return true;
}

void AddTransparentColor(MaskEdit& edit, RgbBytes color) {
    edit.colors.resize(static_cast<std::size_t>(edit.count) + 1);
    edit.colors.push_back({color.red, color.green, color.blue, edit.currentTolerance});
    ++edit.count;
    edit.current = edit.count;
}

bool RecolorCurrent(MaskEdit& edit, int32_t color) {
    if (edit.current < 1 || edit.current > edit.count) return false;
    const RgbBytes rgb = SplitColor(color);
    TransColorRec& entry = edit.colors[static_cast<std::size_t>(edit.current)];
    entry.Red = rgb.red;
    entry.Green = rgb.green;
    entry.Blue = rgb.blue;
    return true;
}

bool DeleteCurrentColor(MaskEdit& edit) {
    if (edit.current < 1 || edit.current > edit.count) return false;
    if (!AskYesNo("Delete this color?")) return false;
    edit.colors.erase(edit.colors.begin() + edit.current);
    --edit.count;
    edit.current = std::min(edit.current, edit.count);
    return true;
}

int ColorRowTop(int32_t entry, int scroll) { return (entry - scroll - 1) * kColorRowPitch + 2; }

int32_t ColorEntryAt(int y, int scroll, int32_t count) {
    for (int32_t entry = 1; entry <= count; ++entry) {
        const int top = ColorRowTop(entry, scroll);
        if (y >= top && y <= top + 20) return entry;
    }
    return 0;
}

int32_t StoredDisplayColor(const std::string& stored, int grey) {
    const double value = LeadingNumber(stored);
    if (value < 0 || value > 16'777'215) return grey | (grey << 8) | (grey << 16);
    return RoundToInt32(value);
}

int MaskPreviewZoom(int32_t width, int32_t height) {
    constexpr int32_t kRoomWidth = 640;
    constexpr int32_t kRoomHeight = 480;
    constexpr int32_t kMostZoom = 4;
    if (width < 1 || height < 1) return 1;
    return std::clamp(std::min(kRoomWidth / width, kRoomHeight / height), 1, kMostZoom);
}

}  // namespace composer
