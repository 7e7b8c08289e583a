#include "writer/avi_writer_engine.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "frame/error.h"
#include "writer/avi_output.h"
#include "writer/default_palette.h"
#include "writer/frame_blend.h"
#include "writer/frame_coder.h"
#include "writer/interleaved_copy.h"
#include "writer/sound_track.h"
#include "writer/video_rate_header.h"

namespace vidmill::writer {

const char* const AviWriterEngine::kNotWritingMessage =
    "AviWriter object is not in Writing mode. Firstly call CreateNew method";

struct AviWriterEngine::Session {
    std::string fileName;
    int rate = 0;
    std::unique_ptr<AviOutput> output;
    int videoStream = -1;
    std::unique_ptr<FrameCoder> coder;
    cb::Bitmap frame;
    cb::Bitmap previous;
    cb::Bitmap between;
    bool hasPrevious = false;
    int interFrames = 0;
    int frameCounter = 0;
    std::unique_ptr<SoundTrack> sound;
};

namespace {

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Writes the packets that the coder hands out into the video stream of the file.
PacketSink VideoSink(AviOutput& output, int stream) {
    return [&output, stream](AVPacket& packet) {
        if (!output.write(packet, stream, false)) throw Error("Cannot write AVI frame");
    };
}

// The file written so far holds the video alone: it becomes the source of the final copy with
// the sound. When that copy fails, the file goes back to the video written so far.
void AddSoundTrack(const std::string& fileName, SoundTrack& sound) {
    const std::string videoPath = fileName + ".video-spool";
    std::error_code error;
    std::filesystem::rename(fileName, videoPath, error);
    if (error) throw Error("Cannot write AVI file");
    try {
        WriteInterleaved(videoPath, sound, fileName);
    } catch (const Error&) {
        std::filesystem::rename(videoPath, fileName, error);
        throw;
    }
    std::filesystem::remove(videoPath, error);
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
    CompressionOptions options{properties_.compressorHandler(), properties_.quality(), properties_.keyFrameRate(),
                               properties_.bytesPerSecond()};
    const bool ask = properties_.showDialog() || options.handler == 0;
    if (!ask) return options;
    const bool accepted = optionsDialog_ ? optionsDialog_(options, parentWindow)
                                         : cb::ShowCompressorDialog(options, parentWindow) == cb::DialogAnswer::Accepted;
    if (!accepted) throw AbortError();
    return options;
}

void AviWriterEngine::createNew(const std::string& fileName, int width, int height, std::int32_t parentWindow) {
    if (session_) throw Error("Cannot create new AVI in writing mode. Call Close method firstly");
    if (width < 1) throw Error("Invalid Width parameter of CreateNew method call");
    if (height < 1) throw Error("Invalid Height parameter of CreateNew method call");

    auto session = std::make_unique<Session>();
    session->fileName = fileName;
    session->rate = properties_.streamRate();
    session->interFrames = properties_.interFrames();
    // Only a file is replaced: a device or folder of that name is left alone (and refused below).
    if (FileExists(fileName)) std::remove(fileName.c_str());
    session->output = AviOutput::Create(fileName);
    if (!session->output) throw Error("Cannot create AVI file \"" + fileName + "\"");
    if (session->rate < 1) throw Error("Cannot create AVI stream");

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

    AVCodecParameters* parameters = avcodec_parameters_alloc();
    if (parameters == nullptr) throw Error("Cannot create AVI stream");
    session->coder->describe(*parameters);
    session->videoStream = session->output->addStream(*parameters, AVRational{1000, session->rate});
    avcodec_parameters_free(&parameters);
    if (session->videoStream < 0) throw Error("Cannot create AVI stream");
    if (!session->output->start()) throw Error(kCompressorUnusableMessage);

    session->frame = cb::Bitmap(width, height, session->coder->bitsPerPixel());
    if (session->frame.bitsPerPixel() == 8) SetDefaultPalette(session->frame);
    session_ = std::move(session);
}

void AviWriterEngine::writeFrameAt(const cb::Bitmap& frame) {
    Session& session = *session_;
    const bool keyFrame = IsKeyFramePosition(session.frameCounter, properties_.keyFrameRate());
    session.coder->encode(frame, session.frameCounter, keyFrame, VideoSink(*session.output, session.videoStream));
    ++session.frameCounter;
}

void AviWriterEngine::writeCurrentFrame() {
    requireOpen();
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
    auto sound = SoundTrack::Read(fileName, cutWav, session.frameCounter, session.rate);
    if (avformat_query_codec(av_guess_format("avi", nullptr, nullptr), sound->parameters().codec_id,
                             FF_COMPLIANCE_NORMAL) != 1)
        throw Error("Cannot create AVI audio stream");
    session.sound = std::move(sound);
}

void AviWriterEngine::close() {
    if (!session_) return;
    // The writer is closed whatever happens below; a failure is reported after the cleanup.
    const std::unique_ptr<Session> session = std::move(session_);
    try {
        session->coder->flush(VideoSink(*session->output, session->videoStream));
    } catch (const Error&) {
        session->output->finish();
        throw;
    }
    if (!session->output->finish()) throw Error("Cannot write AVI file");
    if (session->sound) AddSoundTrack(session->fileName, *session->sound);
    if (!WriteVideoRate(session->fileName, 1000, session->rate)) throw Error("Cannot write AVI file");
}

}  // namespace vidmill::writer
