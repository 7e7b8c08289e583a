#pragma once
// Little-endian numbers in byte buffers, as the file formats under test store them. Bytes is any
// container of byte-sized elements (std::string, std::vector<char>, std::vector<std::uint8_t>);
// reading or writing past its end throws std::out_of_range, so a test aimed at the wrong offset
// fails instead of touching other memory.
#include <cstddef>
#include <cstdint>

namespace cb::testing {

// The count-byte (at most 4) little-endian number at offset at.
template <typename Bytes>
std::uint32_t LeValue(const Bytes& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value |=
            static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes.at(at + static_cast<std::size_t>(i))))
            << (8 * i);
    return value;
}

template <typename Bytes>
std::uint16_t Le16(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(LeValue(bytes, at, 2));
}

template <typename Bytes>
std::uint32_t Le32(const Bytes& bytes, std::size_t at) {
    return LeValue(bytes, at, 4);
}

// Overwrites count bytes at offset at with value, lowest byte first.
template <typename Bytes>
void PutLeValue(Bytes& bytes, std::size_t at, std::uint32_t value, int count) {
    using Byte = typename Bytes::value_type;
    for (int i = 0; i < count; ++i)
        bytes.at(at + static_cast<std::size_t>(i)) = static_cast<Byte>((value >> (8 * i)) & 0xFF);
}

template <typename Bytes>
void PutLe16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    PutLeValue(bytes, at, value, 2);
}

template <typename Bytes>
void PutLe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    PutLeValue(bytes, at, value, 4);
}

// Appends value as count bytes, lowest byte first.
template <typename Bytes>
void AppendLe(Bytes& bytes, std::uint32_t value, int count) {
    using Byte = typename Bytes::value_type;
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<Byte>((value >> (8 * i)) & 0xFF));
}

template <typename Bytes>
void AppendLe16(Bytes& bytes, std::uint16_t value) {
    AppendLe(bytes, value, 2);
}

template <typename Bytes>
void AppendLe32(Bytes& bytes, std::uint32_t value) {
    AppendLe(bytes, value, 4);
}

}  // namespace cb::testing
