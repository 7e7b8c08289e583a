#include "reader/wav_extraction.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <optional>

#include "cbplatform/file_owner.h"
#include "cbplatform/sound.h"
#include "cbplatform/staged_file.h"
#include "frame/error.h"
#include "reader/avi_demuxer.h"
#include "reader/movi_scan.h"
#include "reader/output_over_source.h"

namespace vidmill::reader {
namespace {

// The smallest format record that names the sample layout (a PCM WAV format).
constexpr std::size_t kMinFormatBytes = 16;

// A WAV file being written: the header first, written again with the sizes at the end. The bytes
// go to a partial file beside the target, which takes the target's name only once complete; a
// writer that stops before removes it, and whatever had the name keeps it.
class WavFileWriter {
  public:
    explicit WavFileWriter(const std::string& target) : staged_(cb::StagedFile::Reserve(target)) {
        if (staged_) file_.reset(std::fopen(staged_->path().c_str(), "wb"));
    }
    bool created() const { return file_ != nullptr; }

    bool writeHeader(const std::vector<std::uint8_t>& format) {
        format_ = format;
        const std::vector<std::uint8_t> header = cb::sound::MakeWavHeader(format_, 0, true);
        return write(header.data(), header.size());
    }
    bool writeData(const std::uint8_t* bytes, std::size_t count) {
        dataBytes_ += count;
        return write(bytes, count);
    }
    // Pads the data, fills in the sizes, closes the file and puts it in place of the target.
    bool complete() {
        if (dataBytes_ & 1) {
            const std::uint8_t pad = 0;
            if (!write(&pad, 1)) return false;
        }
        if (written_ - 8 > std::numeric_limits<std::uint32_t>::max()) return false;
        const std::vector<std::uint8_t> header =
            cb::sound::MakeWavHeader(format_, static_cast<std::uint32_t>(dataBytes_), true);
        if (std::fseek(file_.get(), 0, SEEK_SET) != 0 ||
            std::fwrite(header.data(), 1, header.size(), file_.get()) != header.size())
            return false;
        return std::fclose(file_.release()) == 0 && staged_->commit();
    }

  private:
    bool write(const void* bytes, std::size_t count) {
        written_ += count;
        return count == 0 || std::fwrite(bytes, 1, count, file_.get()) == count;
    }

    std::optional<cb::StagedFile> staged_;  // declared first: the file is closed before it is removed
    cb::FilePtr file_;
    std::vector<std::uint8_t> format_;
    std::uint64_t written_ = 0;
    std::uint64_t dataBytes_ = 0;
};

}  // namespace

void ExtractSoundTrack(const std::string& aviPath, int streamIndex, const AviStreamHeader& header,
                       const std::string& wavPath) {
    const std::vector<std::uint8_t>& format = header.format;
    RefuseOutputOverSource(aviPath, wavPath);
    WavFileWriter wav(wavPath);
    if (!wav.created()) throw Error("Cannot create WAV file \"" + wavPath + "\"");
    if (format.empty()) throw Error("Cannot read WAV file format");
    if (format.size() < kMinFormatBytes) throw Error("Cannot read AVI sound track format");
    if (!wav.writeHeader(format)) throw Error("Cannot set WAV stream format");

    auto demuxer = AviDemuxer::Open(aviPath, PacketParsing::StoredChunks);
    if (!demuxer || streamIndex >= demuxer->streamCount()) throw Error("Cannot read AVI sound track stream");
    demuxer->selectStream(streamIndex);
    // The demuxer, looking for chunks past a damaged one (an index whose size runs past the end of
    // the file), can take index entries or other bytes for chunks of the stream: only what lies in
    // the stream's own chunks of a 'movi' list is sound.
    const MoviChunks& stored = demuxer->chunks();
    cb::PacketPtr packet(av_packet_alloc());
    if (!packet) throw std::bad_alloc();
    std::uint64_t bytes = 0;
    std::uint64_t chunks = 0;
    while (demuxer->readPacket(*packet)) {
        if (packet->pos < 0 || !InsideChunkOf(stored, streamIndex, static_cast<std::uint64_t>(packet->pos)))
            continue;
        if (!wav.writeData(packet->data, static_cast<std::size_t>(packet->size)))
            throw Error("Cannot create WAV stream");
        bytes += static_cast<std::uint64_t>(packet->size);
        ++chunks;
    }
    // The declared length counts samples of sampleSize bytes, or chunks when the size varies,
    // empty ones included (writers fill gaps in compressed sound with them; they hold nothing).
    const bool complete = header.sampleSize > 0
                              ? bytes >= static_cast<std::uint64_t>(header.length) * header.sampleSize
                              : chunks + demuxer->emptyChunkCount(streamIndex) >= header.length;
    if (!complete) throw Error("Cannot read AVI sound track stream");
    if (!wav.complete()) throw Error("Cannot create WAV stream");
}

}  // namespace vidmill::reader
