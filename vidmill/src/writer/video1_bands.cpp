#include "writer/video1_bands.h"

namespace vidmill::writer {
namespace {

// The second byte of a code: 0x84..0x87 skip, below 0x80 a two- or eight-colour block
// (flags, then colours), anything else a block of the one colour the two bytes give.
bool IsSkip(std::uint8_t high) { return (high & 0xFC) == 0x84; }
bool HasFlags(std::uint8_t high) { return high < 0x80; }
// Of a flagged block: eight colours when the first colour's top bit is set, else two.
constexpr std::size_t kColourBytes = 2;

}  // namespace

std::optional<std::size_t> Video1CodesLength(std::span<const std::uint8_t> codes, int blocks) {
    std::size_t at = 0;
    int left = blocks;
    while (left > 0) {
        if (codes.size() - at < 2) return std::nullopt;
        const std::uint8_t low = codes[at];
        const std::uint8_t high = codes[at + 1];
        at += 2;
        if (IsSkip(high)) {
            const int skipped = ((high - 0x84) << 8) + low;
            if (skipped == 0 || skipped > left) return std::nullopt;
            left -= skipped;
            continue;
        }
        if (HasFlags(high)) {
            if (codes.size() - at < kColourBytes) return std::nullopt;
            const std::size_t colours = (codes[at + 1] & 0x80) != 0 ? 8 : 2;
            if (codes.size() - at < colours * kColourBytes) return std::nullopt;
            at += colours * kColourBytes;
        }
        --left;
    }
    return at;
}

bool JoinVideo1Bands(std::span<const Video1Band> bands, std::vector<std::uint8_t>& picture) {
    picture.clear();
    for (const Video1Band& band : bands) {
        const std::optional<std::size_t> length = Video1CodesLength(band.codes, band.blocks);
        if (!length) return false;
        picture.insert(picture.end(), band.codes.begin(),
                       band.codes.begin() + static_cast<std::ptrdiff_t>(*length));
    }
    picture.push_back(0);
    picture.push_back(0);
    return true;
}

}  // namespace vidmill::writer
