#include "reader/avi_reader_engine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "frame/error.h"
#include "frame/tag_code.h"
#include "reader/avi_demuxer.h"
#include "reader/avi_headers.h"
#include "reader/frame_decoder.h"
#include "reader/wav_extraction.h"

namespace vidmill::reader {

const char* const AviReaderEngine::kNotReadingMessage =
    "AviReader object is not in Reading mode. Firstly call Open method";
const char* const AviReaderEngine::kAlreadyOpenMessage =
    "Cannot open AVI in reading mode. Call Close method firstly";
const char* const AviReaderEngine::kNoFramesMessage =
    "Cannot read AVI file because AVI does not contain video frames";
const char* const AviReaderEngine::kCannotDecompressMessage = "Cannot decompress AVI file content";

namespace {

constexpr const char* kNoDecoderMessage =
    "Cannot decompress AVI file content. Install corresponding compressor";

bool SizeIsSane(std::int64_t width, std::int64_t height) {
    return width >= 0 && height >= 0 && width <= kMaxFrameSide && height <= kMaxFrameSide &&
           width * height <= kMaxFramePixels;
}

// "Cannot open AVI file", the file's name and why.
Error CannotOpen(const std::string& fileName, const std::string& reason) {
    return Error("Cannot open AVI file " + fileName + ": " + reason);
}

// Why the file cannot be read at all, in the system's words; empty when it can. A pipe or a
// device would block the reader, or never end: only regular files are read.
std::string UnreadableReason(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(fileName, error);
    if (error) return error.message();
    if (std::filesystem::is_directory(status)) return std::strerror(EISDIR);
    if (!std::filesystem::is_regular_file(status)) return "not a regular file";
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return std::strerror(errno);
    return {};
}

std::int32_t AsSigned(std::uint32_t value) { return static_cast<std::int32_t>(value); }

// The demuxer makes one stream per stream header, in file order; a stream of another kind there
// means the two readings of the file disagree, which only a damaged file does.
bool DemuxerAgrees(const AviDemuxer& demuxer, int index, AVMediaType type) {
    return index < demuxer.streamCount() && demuxer.stream(index).codecpar->codec_type == type;
}

// The stream types an AVI file holds: video, sound, MIDI, text and interleaved DV.
bool KnownStreamType(std::uint32_t type) {
    for (const char* known : {"vids", "auds", "mids", "txts", "iavs"})
        if (type == TagCode(known)) return true;
    return false;
}

// A stream header of a type no AVI file has is a damaged header: the stream it stands for (the
// video, say) would silently be missing. Names the first; empty when every type is known.
std::string UnknownStreamType(const AviHeaders& headers) {
    for (std::size_t i = 0; i < headers.streams.size(); ++i) {
        const std::uint32_t type = headers.streams[i].type;
        if (KnownStreamType(type)) continue;
        std::string name;
        for (int shift = 0; shift < 32; shift += 8) {
            const char c = static_cast<char>((type >> shift) & 0xFF);
            name += c >= 0x20 && c < 0x7F ? c : '?';
        }
        return "stream " + std::to_string(i + 1) + " is of the unknown type '" + name + "'";
    }
    return {};
}

}  // namespace

struct AviReaderEngine::Session {
    std::string path;
    AviHeaders headers;
    AviFileFacts facts;
    int videoStream = -1;
    int soundStream = -1;
    std::unique_ptr<AviDemuxer> demuxer;
    std::unique_ptr<FrameDecoder> decoder;  // made by the first frame read
};

AviReaderEngine::AviReaderEngine() = default;
AviReaderEngine::~AviReaderEngine() = default;

void AviReaderEngine::open(const std::string& fileName) {
    if (isOpen()) throw Error(kAlreadyOpenMessage);
    close();
    if (const std::string reason = UnreadableReason(fileName); !reason.empty())
        throw CannotOpen(fileName, reason);
    AviHeaderResult read = ReadAviHeaders(fileName);
    if (!read.headers && read.problem == AviHeaderProblem::NotAnAviFile)
        throw CannotOpen(fileName, "not an AVI file");
    auto session = std::make_unique<Session>();
    session->path = fileName;
    session->demuxer = AviDemuxer::Open(fileName);
    if (!session->demuxer) throw CannotOpen(fileName, "its chunks cannot be read");
    if (!read.headers) throw Error("Cannot read AVI file header");
    session->headers = std::move(*read.headers);
    const AviHeaders& headers = session->headers;
    if (const std::string unknown = UnknownStreamType(headers); !unknown.empty())
        throw CannotOpen(fileName, unknown);
    AviFileFacts& facts = session->facts;
    if (!SizeIsSane(headers.width, headers.height)) throw Error("Cannot read AVI file header");
    facts.width = static_cast<int>(headers.width);
    facts.height = static_cast<int>(headers.height);
    facts.bytesPerSecond = AsSigned(headers.maxBytesPerSecond);
    // The file's information record times the whole file by its main header (microseconds per
    // frame); a stream's own rate and scale supersede it only for that stream. Projects store the
    // file's rate, so that is what FramesPerSecond gives (NTSC: 1e6 / 33366, not 30000 / 1001).
    if (headers.microSecondsPerFrame > 0) facts.framesPerSecond = 1e6 / headers.microSecondsPerFrame;

    const AviDemuxer& demuxer = *session->demuxer;
    const int video = FirstStreamOfType(headers, TagCode("vids"));
    if (video >= 0) {
        if (!DemuxerAgrees(demuxer, video, AVMEDIA_TYPE_VIDEO)) throw Error("Cannot read AVI file content");
        const AviStreamHeader& stream = headers.streams[static_cast<std::size_t>(video)];
        facts.frameCount =
            static_cast<int>(std::min<std::uint32_t>(stream.length, std::numeric_limits<int>::max()));
        facts.quality = AsSigned(stream.quality);
        facts.compressorHandler = stream.handler;
        // A main header without a timing: the video stream's rate stands in.
        if (headers.microSecondsPerFrame == 0 && stream.scale > 0)
            facts.framesPerSecond = static_cast<double>(stream.rate) / stream.scale;
        // A main header without a frame size: the stream's own format has it.
        const AVCodecParameters& codec = *demuxer.stream(video).codecpar;
        if ((facts.width == 0 || facts.height == 0) && SizeIsSane(codec.width, codec.height)) {
            facts.width = codec.width;
            facts.height = codec.height;
        }
        session->videoStream = video;
        session->demuxer->selectStream(video);
    }
    const int sound = FirstStreamOfType(headers, TagCode("auds"));
    if (sound >= 0 && DemuxerAgrees(demuxer, sound, AVMEDIA_TYPE_AUDIO)) {
        session->soundStream = sound;
        facts.hasSound = true;
    }
    session_ = std::move(session);
}

void AviReaderEngine::close() { session_.reset(); }

bool AviReaderEngine::isOpen() const { return session_ != nullptr; }

AviReaderEngine::Session& AviReaderEngine::session() const {
    if (!session_) throw Error(kNotReadingMessage);
    return *session_;
}

const AviFileFacts& AviReaderEngine::facts() const { return session().facts; }

const std::string& AviReaderEngine::path() const { return session().path; }

const cb::Bitmap& AviReaderEngine::frameAt(int index) { return *sharedFrameAt(index); }

std::shared_ptr<cb::Bitmap> AviReaderEngine::sharedFrameAt(int index) {
    Session& open = session();
    if (open.facts.frameCount == 0) throw Error(kNoFramesMessage);
    if (!open.decoder) {
        auto decoder = std::make_unique<FrameDecoder>(*open.demuxer, open.facts.width, open.facts.height);
        if (decoder->open() != FrameDecoder::Open::Ready) throw Error(kNoDecoderMessage);
        open.decoder = std::move(decoder);
    }
    if (index < 0 || index >= open.facts.frameCount) throw Error(kCannotDecompressMessage);
    std::shared_ptr<cb::Bitmap> frame = open.decoder->frame(index);
    if (!frame) throw Error(kCannotDecompressMessage);
    return frame;
}

int AviReaderEngine::seekCount() const {
    const Session& open = session();
    return open.decoder ? open.decoder->seekCount() : 0;
}

void AviReaderEngine::extractWav(const std::string& wavFileName) {
    Session& open = session();
    if (open.soundStream < 0) throw Error("AVI file does not contain sound track");
    ExtractSoundTrack(open.path, open.soundStream,
                      open.headers.streams[static_cast<std::size_t>(open.soundStream)], wavFileName);
}

}  // namespace vidmill::reader
