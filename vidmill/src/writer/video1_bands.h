// Joining Video-1 pictures coded in horizontal bands into the picture of the whole frame.
//
// A Video-1 picture is a run of codes for its 4 x 4 blocks, row by row from the bottom block row
// up, each row left to right: a skip of n blocks, a block of one colour, of two colours, or of
// two colours per quarter. A frame cut into bands whose heights are multiples of 4 is therefore
// coded by the bottom band's codes, then the next band's, and so on up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vidmill::writer {

struct Video1Band {
    std::span<const std::uint8_t> codes;  // the band's picture as its encoder wrote it
    int blocks = 0;                       // 4 x 4 blocks in the band
};

// Bytes at the start of `codes` that describe exactly `blocks` blocks; nothing when the codes
// end early or a skip runs past the last block.
std::optional<std::size_t> Video1CodesLength(std::span<const std::uint8_t> codes, int blocks);

// The picture of bands given bottom band first: each band's codes, then the end mark.
// False (and `picture` unspecified) when a band's codes are damaged.
bool JoinVideo1Bands(std::span<const Video1Band> bands, std::vector<std::uint8_t>& picture);

}  // namespace vidmill::writer
