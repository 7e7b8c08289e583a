#include "writer/packet_spool.h"

#include <unistd.h>

#include <cstdint>

#include "cbplatform/anonymous_file.h"

namespace vidmill::writer {
namespace {

struct RecordHeader {
    std::int64_t pts;
    std::int64_t dts;
    std::int64_t duration;
    std::int32_t size;
    std::int32_t flags;
};
static_assert(sizeof(RecordHeader) == 32);

std::FILE* OpenSpool(const std::string& folder) {
    const int descriptor = cb::OpenAnonymousFile(folder);
    if (descriptor < 0) return nullptr;
    std::FILE* file = ::fdopen(descriptor, "w+b");
    if (file == nullptr) ::close(descriptor);
    return file;
}

}  // namespace

PacketSpool::PacketSpool(const std::string& folder) : file_(OpenSpool(folder)) {}

bool PacketSpool::append(const AVPacket& packet) {
    if (!file_ || packet.size < 0) return false;
    const RecordHeader header{packet.pts, packet.dts, packet.duration, packet.size, packet.flags};
    if (std::fwrite(&header, sizeof header, 1, file_.get()) != 1) return false;
    if (packet.size > 0 &&
        std::fwrite(packet.data, static_cast<std::size_t>(packet.size), 1, file_.get()) != 1)
        return false;
    return true;
}

bool PacketSpool::rewind() {
    failed_ = !file_ || std::fflush(file_.get()) != 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0;
    return !failed_;
}

bool PacketSpool::next(AVPacket& packet) {
    av_packet_unref(&packet);
    RecordHeader header{};
    const std::size_t got = std::fread(&header, 1, sizeof header, file_.get());
    if (got == 0 && std::feof(file_.get())) return false;
    if (got != sizeof header || header.size < 0 || av_new_packet(&packet, header.size) < 0 ||
        (header.size > 0 &&
         std::fread(packet.data, static_cast<std::size_t>(header.size), 1, file_.get()) != 1)) {
        failed_ = true;
        return false;
    }
    packet.pts = header.pts;
    packet.dts = header.dts;
    packet.duration = header.duration;
    packet.flags = header.flags;
    return true;
}

}  // namespace vidmill::writer
