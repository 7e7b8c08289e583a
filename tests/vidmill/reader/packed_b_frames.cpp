#include "packed_b_frames.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "reader_test_support.h"

namespace vidmill::reader::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Chunk {
    std::string id;
    Bytes data;
};

constexpr std::uint8_t kVopStart[] = {0, 0, 1, 0xB6};
constexpr int kVopTypeB = 2;
constexpr std::uint32_t kKeyFrameFlag = 0x10;

std::uint32_t Le32(const Bytes& bytes, std::size_t at) {
    if (at + 4 > bytes.size()) throw std::runtime_error("AVI file cut short");
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void PutLe32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutId(Bytes& out, const std::string& id) { out.insert(out.end(), id.begin(), id.end()); }

std::string IdAt(const Bytes& bytes, std::size_t at) {
    return {reinterpret_cast<const char*>(bytes.data() + at), 4};
}

void PutChunk(Bytes& out, const std::string& id, const Bytes& data) {
    PutId(out, id);
    PutLe32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2 != 0) out.push_back(0);
}

// Copies the header chunks between begin and end, with the super indexes ('indx') made filler: the
// rewritten file has only the legacy index.
void CopyHeaderChunks(const Bytes& in, std::size_t begin, std::size_t end, Bytes& out) {
    for (std::size_t at = begin; at + 8 <= end;) {
        const std::string id = IdAt(in, at);
        const std::uint32_t size = Le32(in, at + 4);
        if (id == "LIST") {
            out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(at),
                       in.begin() + static_cast<std::ptrdiff_t>(at + 12));
            CopyHeaderChunks(in, at + 12, at + 8 + size, out);
        } else {
            PutChunk(out, id == "indx" ? "JUNK" : id,
                     Bytes(in.begin() + static_cast<std::ptrdiff_t>(at + 8),
                           in.begin() + static_cast<std::ptrdiff_t>(at + 8 + size)));
        }
        at += 8 + size + size % 2;
    }
}

// The data chunks of a 'movi' list in file order, without the stream indexes ('ix00' ...).
std::vector<Chunk> MoviChunks(const Bytes& in, std::size_t begin, std::size_t end) {
    std::vector<Chunk> chunks;
    for (std::size_t at = begin; at + 8 <= end;) {
        const std::string id = IdAt(in, at);
        const std::uint32_t size = Le32(in, at + 4);
        if (id.rfind("ix", 0) != 0)
            chunks.push_back({id, Bytes(in.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                        in.begin() + static_cast<std::ptrdiff_t>(at + 8 + size))});
        at += 8 + size + size % 2;
    }
    return chunks;
}

std::size_t FindVop(const Bytes& data) {
    for (std::size_t i = 0; i + 5 <= data.size(); ++i)
        if (std::equal(std::begin(kVopStart), std::end(kVopStart),
                       data.begin() + static_cast<std::ptrdiff_t>(i)))
            return i;
    throw std::runtime_error("video chunk without a picture");
}

int VopType(const Bytes& data) { return data[FindVop(data) + 4] >> 6; }

// A P picture with no coded data: the picture before shown again. Its header holds the time
// increment in as many bits as the time resolution (the frame rate) needs.
Bytes NotCodedVop(int framesPerSecond) {
    int incrementBits = 1;
    while ((1 << incrementBits) < framesPerSecond) ++incrementBits;
    std::string bits =
        "01"
        "0"
        "1" +
        std::string(static_cast<std::size_t>(incrementBits), '0') +
        "1"
        "0";
    bits += '0';  // stuffing to the byte boundary: a zero, then ones
    while (bits.size() % 8 != 0) bits += '1';
    Bytes vop(std::begin(kVopStart), std::end(kVopStart));
    for (std::size_t i = 0; i < bits.size(); i += 8)
        vop.push_back(static_cast<std::uint8_t>(std::stoi(bits.substr(i, 8), nullptr, 2)));
    return vop;
}

// The pictures in decoding order, one chunk per frame: a reference picture followed by B-frames
// becomes the reference with the first B-frame, the other B-frames each alone, then a not-coded
// picture; the chunk count stays the frame count.
std::vector<Bytes> Pack(const std::vector<Bytes>& pictures, int framesPerSecond) {
    std::vector<Bytes> packed;
    for (std::size_t i = 0; i < pictures.size();) {
        const bool followedByB = VopType(pictures[i]) != kVopTypeB && i + 1 < pictures.size() &&
                                 VopType(pictures[i + 1]) == kVopTypeB;
        if (!followedByB) {
            packed.push_back(pictures[i++]);
            continue;
        }
        Bytes both = pictures[i];
        both.insert(both.end(), pictures[i + 1].begin(), pictures[i + 1].end());
        packed.push_back(std::move(both));
        for (i += 2; i < pictures.size() && VopType(pictures[i]) == kVopTypeB; ++i)
            packed.push_back(pictures[i]);
        packed.push_back(NotCodedVop(framesPerSecond));
    }
    // Decoders know a packed stream by this marker in its user data.
    const std::string marker = "DivX503b1393p";
    Bytes userData = {0, 0, 1, 0xB2};
    userData.insert(userData.end(), marker.begin(), marker.end());
    Bytes& first = packed.front();
    first.insert(first.begin() + static_cast<std::ptrdiff_t>(FindVop(first)), userData.begin(),
                 userData.end());
    return packed;
}

}  // namespace

void PackBFrames(const std::string& source, const std::string& target, int framesPerSecond) {
    const Bytes in = ReadFileBytes(source);
    if (in.size() < 12 || IdAt(in, 0) != "RIFF" || IdAt(in, 8) != "AVI ")
        throw std::runtime_error("not an AVI file");
    Bytes head;
    std::vector<Chunk> chunks;
    for (std::size_t at = 12; at + 8 <= in.size();) {
        const std::uint32_t size = Le32(in, at + 4);
        if (IdAt(in, at) == "LIST" && IdAt(in, at + 8) == "movi")
            chunks = MoviChunks(in, at + 12, at + 8 + size);
        else if (IdAt(in, at) != "idx1")
            CopyHeaderChunks(in, at, at + 8 + size + size % 2, head);
        at += 8 + size + size % 2;
    }
    std::vector<Bytes> pictures;
    for (const Chunk& chunk : chunks)
        if (chunk.id == "00dc") pictures.push_back(chunk.data);
    if (pictures.empty()) throw std::runtime_error("no video chunks");
    const std::vector<Bytes> packed = Pack(pictures, framesPerSecond);

    Bytes movi;
    Bytes index;
    std::size_t next = 0;
    for (Chunk& chunk : chunks) {
        bool key = true;
        if (chunk.id == "00dc") {
            chunk.data = packed[next++];
            key = chunk.data.size() > 8 && VopType(chunk.data) == 0;
        }
        PutId(index, chunk.id);
        PutLe32(index, key ? kKeyFrameFlag : 0);
        PutLe32(index, static_cast<std::uint32_t>(4 + movi.size()));  // from the list type 'movi'
        PutLe32(index, static_cast<std::uint32_t>(chunk.data.size()));
        PutChunk(movi, chunk.id, chunk.data);
    }
    Bytes body;
    PutId(body, "AVI ");
    body.insert(body.end(), head.begin(), head.end());
    PutId(body, "LIST");
    PutLe32(body, static_cast<std::uint32_t>(movi.size() + 4));
    PutId(body, "movi");
    body.insert(body.end(), movi.begin(), movi.end());
    PutChunk(body, "idx1", index);
    Bytes out;
    PutId(out, "RIFF");
    PutLe32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    WriteFileBytes(target, out);
}

}  // namespace vidmill::reader::testing
