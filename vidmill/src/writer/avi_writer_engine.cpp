#include "writer/avi_writer_engine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "cbplatform/file_checks.h"
#include "cbplatform/staged_file.h"
#include "cbplatform/stop_signals.h"
#include "frame/error.h"
#include "writer/avi_container.h"
#include "writer/avi_formats.h"
#include "writer/default_palette.h"
#include "writer/ffmpeg_owners.h"
#include "writer/frame_blend.h"
#include "writer/frame_coder.h"
#include "writer/key_frame_schedule.h"
#include "writer/sound_track.h"

namespace vidmill::writer {

const char* const AviWriterEngine::kNotWritingMessage =
    "AviWriter object is not in Writing mode. Firstly call CreateNew method";

struct AviWriterEngine::Session {
    int rate = 0;
    // The file is written under a name of its own beside the target and takes the target's name
    // only when Close has completed it; a session that ends otherwise removes it.
    std::optional<cb::StagedFile> staged;
    std::unique_ptr<AviContainer> output;
    std::unique_ptr<FrameCoder> coder;
    KeyFrameSchedule keyFrames;
    cb::Bitmap frame;
    cb::Bitmap previous;
    cb::Bitmap between;
    bool hasPrevious = false;
    int interFrames = 0;
    int frameCounter = 0;
    std::unique_ptr<SoundTrack> sound;
    AviSoundFormat soundFormat;
};

namespace {

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Writes the packets that the coder hands out into the video stream of the file.
PacketSink VideoSink(AviContainer& output) {
    return [&output](AVPacket& packet) {
        if (!output.writeVideo(packet.data, static_cast<std::size_t>(packet.size),
                               (packet.flags & AV_PKT_FLAG_KEY) != 0))
            throw Error("Cannot write AVI frame");
    };
}

// The sound track follows the last frame: the video is never copied to make room for it.
void WriteSoundTrack(AviContainer& output, SoundTrack& sound, const AviSoundFormat& format) {
    PacketPtr packet(av_packet_alloc());
    if (!packet || !output.setSound(format) || !sound.packets().rewind())
        throw Error("Cannot write AVI audio stream");
    while (sound.packets().next(*packet)) {
        if (!output.writeSound(packet->data, static_cast<std::size_t>(packet->size)))
            throw Error("Cannot write AVI audio stream");
    }
    if (sound.packets().failed()) throw Error("Cannot read WAV audio stream");
}

}  // namespace

AviWriterEngine::AviWriterEngine() = default;

AviWriterEngine::~AviWriterEngine() {
    try {
        close();
    } catch (const Error&) {
        // Destruction cannot report; callers that care call Close first.
    }
}

bool AviWriterEngine::isOpen() const { return session_ != nullptr; }

void AviWriterEngine::requireOpen() const {
    if (!session_) throw Error(kNotWritingMessage);
}

int AviWriterEngine::frameCounter() const { return session_ ? session_->frameCounter : 0; }

cb::Bitmap& AviWriterEngine::frameBitmap() {
    requireOpen();
    return session_->frame;
}

AviWriterEngine::CompressionOptions AviWriterEngine::chooseOptions(std::int32_t parentWindow) const {
    CompressionOptions options{properties_.compressorHandler(), properties_.quality(),
                               properties_.keyFrameRate(), properties_.bytesPerSecond()};
    const bool ask = properties_.showDialog() || options.handler == 0;
    if (!ask) return options;
    const bool accepted = optionsDialog_
                              ? optionsDialog_(options, parentWindow)
                              : cb::ShowCompressorDialog(options, parentWindow) == cb::DialogAnswer::Accepted;
    if (!accepted) throw AbortError();
    return options;
}

void AviWriterEngine::createNew(const std::string& fileName, int width, int height,
                                std::int32_t parentWindow) {
    if (session_) throw Error("Cannot create new AVI in writing mode. Call Close method firstly");
    if (width < 1) throw Error("Invalid Width parameter of CreateNew method call");
    if (height < 1) throw Error("Invalid Height parameter of CreateNew method call");

    auto session = std::make_unique<Session>();
    session->rate = properties_.streamRate();
    session->interFrames = properties_.interFrames();
    // A rate that no stream can have is refused before anything is written.
    if (session->rate < 1) throw Error("Cannot create AVI stream");
    // An existing file is replaced only by a complete one, at Close; a device or folder of that
    // name is never replaced.
    session->staged = cb::StagedFile::Reserve(fileName);
    if (!session->staged)
        throw Error("Cannot create AVI file \"" + fileName +
                    "\": " + cb::StagedFile::FailureText(fileName, errno));
    session->output = AviContainer::Create(session->staged->path());
    if (!session->output) throw Error("Cannot create AVI file \"" + fileName + "\": " + std::strerror(errno));

    const CompressionOptions options = chooseOptions(parentWindow);
    VideoSettings settings;
    settings.handler = options.handler;
    settings.width = width;
    settings.height = height;
    settings.rate = session->rate;
    settings.quality = options.quality;
    settings.bytesPerSecond = options.bytesPerSecond;
    settings.keyFrameRate = options.keyFrameRate;
    session->coder = OpenFrameCoder(settings);

    session->frame = cb::Bitmap(width, height, session->coder->bitsPerPixel());
    if (session->frame.bitsPerPixel() == 8) SetDefaultPalette(session->frame);

    const CodecParametersPtr parameters(avcodec_parameters_alloc());
    if (parameters == nullptr) throw Error("Cannot create AVI stream");
    session->coder->describe(*parameters);
    AviVideoFormat video = VideoFormatOf(*parameters, session->frame.palette());
    video.scale = 1000;
    video.rate = static_cast<std::uint32_t>(session->rate);
    if (!session->output->start(video)) throw Error("Cannot create AVI stream");
    session_ = std::move(session);
}

void AviWriterEngine::writeFrameAt(const cb::Bitmap& frame) {
    Session& session = *session_;
    session.keyFrames.encode(*session.coder, frame, session.frameCounter, properties_.keyFrameRate(),
                             VideoSink(*session.output));
    ++session.frameCounter;
}

void AviWriterEngine::writeCurrentFrame() {
    requireOpen();
    // A stop asked for by a signal ends a long call (AddAvi, AddImages) at the next frame.
    if (cb::StopSignal() != 0) throw AbortError();
    Session& session = *session_;
    if (overlay_) overlay_(session.frame, session.frameCounter, properties_.framesPerSecond());
    const int steps = session.interFrames;
    if (steps > 0 && session.hasPrevious) {
        for (int step = 1; step <= steps; ++step) {
            BlendFrames(session.previous, session.frame, step, steps, session.between);
            writeFrameAt(session.between);
        }
    }
    writeFrameAt(session.frame);
    if (steps > 0) {
        if (!session.hasPrevious) {
            session.previous = session.frame;
            session.between = session.frame;
            session.hasPrevious = true;
        } else {
            std::memcpy(session.previous.bits(), session.frame.bits(), session.frame.sizeBytes());
        }
    }
}

void AviWriterEngine::addWav(const std::string& fileName, bool cutWav) {
    requireOpen();
    if (!FileExists(fileName)) throw Error("WAV file \"" + fileName + "\" not found");
    Session& session = *session_;
    if (session.sound) throw Error("Sound track is already written to AVI file");
    auto sound = SoundTrack::Read(fileName, cutWav, session.frameCounter, session.rate,
                                  cb::FolderOf(session.staged->path()));
    const std::optional<AviSoundFormat> format = SoundFormatOf(sound->parameters());
    if (!format || !AviContainer::SoundFormatFits(*format)) throw Error("Cannot create AVI audio stream");
    session.sound = std::move(sound);
    session.soundFormat = *format;
}

void AviWriterEngine::close() {
    if (!session_) return;
    // The writer is closed whatever happens below; when the file cannot be completed, the session
    // takes its partial file with it and whatever had the name before keeps it.
    const std::unique_ptr<Session> session = std::move(session_);
    try {
        session->coder->flush(VideoSink(*session->output));
        if (session->sound) WriteSoundTrack(*session->output, *session->sound, session->soundFormat);
    } catch (const Error& error) {
        throw SystemFailure(error.what(), session->output->systemError());
    }
    if (!session->output->finish())
        throw SystemFailure("Cannot write AVI file", session->output->systemError());
    if (!session->staged->commit()) throw SystemFailure("Cannot write AVI file", errno);
}

}  // namespace vidmill::writer
