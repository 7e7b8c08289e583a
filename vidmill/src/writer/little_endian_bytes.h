// Little-endian fields of file headers and indexes, gathered into bytes before they are written.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/tag_code.h"

namespace vidmill::writer {

struct LittleEndianBytes {
    std::vector<std::uint8_t> data;

    void u8(std::uint8_t value) { data.push_back(value); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    void tag(const char (&name)[5]) { u32(TagCode(name)); }
    void append(const std::vector<std::uint8_t>& bytes) {
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    void padToEven() {
        if (data.size() % 2 != 0) u8(0);
    }
};

}  // namespace vidmill::writer
