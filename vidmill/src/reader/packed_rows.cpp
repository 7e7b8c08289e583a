#include "reader/packed_rows.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vidmill::reader {
namespace {

inline std::uint16_t Load16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

inline void Store(std::uint8_t* pixel, unsigned blue, unsigned green, unsigned red, unsigned alpha) {
    pixel[0] = static_cast<std::uint8_t>(blue);
    pixel[1] = static_cast<std::uint8_t>(green);
    pixel[2] = static_cast<std::uint8_t>(red);
    pixel[3] = static_cast<std::uint8_t>(alpha);
}

// Widens a 5-bit value to 8 bits by repeating its high bits, as the scaler does.
constexpr unsigned Widen5(unsigned value) { return value << 3 | value >> 2; }
constexpr unsigned Widen6(unsigned value) { return value << 2 | value >> 4; }

template <bool SixBitGreen>
void SixteenBitScalar(const std::uint8_t* source, std::uint8_t* destination, int pixels) {
    for (int i = 0; i < pixels; ++i, source += 2, destination += 4) {
        const unsigned value = Load16(source);
        const unsigned green = SixBitGreen ? Widen6((value >> 5) & 0x3F) : Widen5((value >> 5) & 0x1F);
        const unsigned red = SixBitGreen ? Widen5((value >> 11) & 0x1F) : Widen5((value >> 10) & 0x1F);
        Store(destination, Widen5(value & 0x1F), green, red, 0xFF);
    }
}

#ifdef __SSE2__
// Eight pixels at a time: the three fields widened in 16-bit lanes, then interleaved into BGRA.
template <bool SixBitGreen>
void SixteenBit(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    const __m128i low5 = _mm_set1_epi16(0x1F);
    const __m128i low6 = _mm_set1_epi16(0x3F);
    const __m128i opaque = _mm_set1_epi16(static_cast<short>(0xFF00));
    int i = 0;
    for (; i + 8 <= pixels; i += 8) {
        const __m128i value = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 2 * i));
        const __m128i blue = _mm_and_si128(value, low5);
        __m128i green, red;
        if constexpr (SixBitGreen) {
            green = _mm_and_si128(_mm_srli_epi16(value, 5), low6);
            red = _mm_and_si128(_mm_srli_epi16(value, 11), low5);
            green = _mm_or_si128(_mm_slli_epi16(green, 2), _mm_srli_epi16(green, 4));
        } else {
            green = _mm_and_si128(_mm_srli_epi16(value, 5), low5);
            red = _mm_and_si128(_mm_srli_epi16(value, 10), low5);
            green = _mm_or_si128(_mm_slli_epi16(green, 3), _mm_srli_epi16(green, 2));
        }
        const __m128i wideBlue = _mm_or_si128(_mm_slli_epi16(blue, 3), _mm_srli_epi16(blue, 2));
        const __m128i wideRed = _mm_or_si128(_mm_slli_epi16(red, 3), _mm_srli_epi16(red, 2));
        const __m128i blueGreen = _mm_or_si128(wideBlue, _mm_slli_epi16(green, 8));
        const __m128i redAlpha = _mm_or_si128(wideRed, opaque);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 4 * i),
                         _mm_unpacklo_epi16(blueGreen, redAlpha));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 4 * i + 16),
                         _mm_unpackhi_epi16(blueGreen, redAlpha));
    }
    SixteenBitScalar<SixBitGreen>(source + 2 * i, destination + 4 * i, pixels - i);
}
#else
template <bool SixBitGreen>
void SixteenBit(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    SixteenBitScalar<SixBitGreen>(source, destination, pixels);
}
#endif

void Bgr24(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    for (int i = 0; i < pixels; ++i, source += 3, destination += 4)
        Store(destination, source[0], source[1], source[2], 0xFF);
}

void Rgb24(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    for (int i = 0; i < pixels; ++i, source += 3, destination += 4)
        Store(destination, source[2], source[1], source[0], 0xFF);
}

void Bgra(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    std::memcpy(destination, source, static_cast<std::size_t>(pixels) * 4);
}

void Bgr0(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    for (int i = 0; i < pixels; ++i, source += 4, destination += 4)
        Store(destination, source[0], source[1], source[2], 0xFF);
}

// Palette entries are 0xAARRGGBB numbers, as FFmpeg keeps them.
void Pal8(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t* palette) {
    for (int i = 0; i < pixels; ++i, destination += 4) {
        const std::uint32_t entry = palette[source[i]];
        Store(destination, entry & 0xFF, (entry >> 8) & 0xFF, (entry >> 16) & 0xFF, entry >> 24);
    }
}

}  // namespace

PackedFormat FindPackedFormat(AVPixelFormat format) {
    switch (format) {
        case AV_PIX_FMT_RGB555LE:
            return {&SixteenBit<false>, 2, false};
        case AV_PIX_FMT_RGB565LE:
            return {&SixteenBit<true>, 2, false};
        case AV_PIX_FMT_BGR24:
            return {&Bgr24, 3, false};
        case AV_PIX_FMT_RGB24:
            return {&Rgb24, 3, false};
        case AV_PIX_FMT_BGRA:
            return {&Bgra, 4, false};
        case AV_PIX_FMT_BGR0:
            return {&Bgr0, 4, false};
        case AV_PIX_FMT_PAL8:
            return {&Pal8, 1, true};
        default:
            return {};
    }
}

}  // namespace vidmill::reader
