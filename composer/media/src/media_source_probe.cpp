#include "media/media_source_probe.h"

#include <exception>

#include "base/files.h"
#include "media/decode_clip_audio.h"
#include "media/image_reader_class.h"
#include "media/velc_avi_reader_class.h"
#include "media/wav_oper_mod.h"
#include "media/wav_reader_class.h"

namespace composer {

namespace {

AudioFacts FactsOf(const std::string& wavFile, const WavFormatRec& format) {
    AudioFacts facts;
    facts.audioFile = wavFile;
    facts.bits = format.BitsPerSample;
    facts.channels = format.Channels;
    facts.rate = format.SampleRate;
    facts.frames = format.Frames;
    facts.duration = format.SampleRate > 0 ? static_cast<double>(format.Frames) / format.SampleRate : 0.0;
    return facts;
}

// A video whose first frame does not decode is as good as unreadable: it would render blank.
bool FirstFrameDecodes(VelcAviReaderClass& reader) {
    if (reader.FrameCount < 1) return true;
    cb::ComPtr<IPicture> picture;
    try {
        return reader.ReadAvi_GetOneFrameAsPicture(1, picture) && picture;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::optional<VideoFacts> MediaSourceProbe::ProbeVideo(const std::string& path) {
    lastProblem_.clear();
    VelcAviReaderClass reader;
    reader.Notices = notices_;
    if (!reader.ReadAvi_OpenFile(path)) {
        lastProblem_ = reader.LastFailure;
        return std::nullopt;
    }
    if (!FirstFrameDecodes(reader)) {
        lastProblem_ = "frame 1 does not decode";
        return std::nullopt;
    }
    return VideoFacts{reader.Width, reader.Height, reader.FramesPerSecond, reader.FrameCount, reader.Times};
}

std::optional<PictureFacts> MediaSourceProbe::ProbePicture(const std::string& path) {
    lastProblem_.clear();
    ImageReaderClass reader;
    if (!reader.ReadImg_ReadFile(path)) {
        lastProblem_ = reader.Problem;
        return std::nullopt;
    }
    return PictureFacts{reader.width, reader.height};
}

// Sound files in any format the sound component decodes: PCM WAV as it is, anything else (float,
// 24-bit, ADPCM, mu-law, A-law, MP3 in WAV ...) decoded into a PCM WAV in the work folder, which
// then carries the clip's sound.
std::optional<AudioFacts> MediaSourceProbe::ProbeAudio(const std::string& path) {
    lastProblem_.clear();
    WavReaderClass reader;
    reader.Notices = notices_;
    if (!reader.ReadWav_OpenFile(path)) {
        lastProblem_ = reader.Problem;
        return std::nullopt;
    }
    AudioFacts facts = FactsOf(reader.ReadWav_GetWavFile(),
                               WavFormatRec{reader.Bits, reader.Channels, reader.SampleRate, reader.Frames});
    facts.damage = reader.Damage;
    return facts;
}

std::optional<AudioFacts> MediaSourceProbe::ProbeVideoSound(const std::string& path) {
    lastProblem_.clear();
    VelcAviReaderClass reader;
    reader.Notices = notices_;
    if (!reader.ReadAvi_OpenFile(path)) {
        lastProblem_ = reader.LastFailure;
        return std::nullopt;
    }
    if (!reader.ExtractWavFile()) {
        lastProblem_ = "its sound track cannot be read";
        return std::nullopt;
    }
    const std::string wavFile = reader.GetWavFile();
    WavFormatRec format;
    if (wavFile.empty() || !ReadWavHeader(wavFile, format)) {
        lastProblem_ = "its sound track cannot be read";
        return std::nullopt;
    }
    return FactsOf(wavFile, format);
}

void MediaSourceProbe::DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex) {
    composer::DecodeClipAudio(movie, clipIndex);
}

}  // namespace composer
