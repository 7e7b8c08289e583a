#include "media/media_source_probe.h"

#include "media/decode_clip_audio.h"
#include "media/image_reader_class.h"
#include "media/velc_avi_reader_class.h"
#include "media/wav_oper_mod.h"

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

}  // namespace

std::optional<VideoFacts> MediaSourceProbe::ProbeVideo(const std::string& path) {
    VelcAviReaderClass reader;
    if (!reader.ReadAvi_OpenFile(path)) return std::nullopt;
    return VideoFacts{reader.Width, reader.Height, reader.FramesPerSecond, reader.FrameCount};
}

std::optional<PictureFacts> MediaSourceProbe::ProbePicture(const std::string& path) {
    ImageReaderClass reader;
    if (!reader.ReadImg_ReadFile(path)) return std::nullopt;
    return PictureFacts{reader.width, reader.height};
}

std::optional<AudioFacts> MediaSourceProbe::ProbeAudio(const std::string& path) {
    WavFormatRec format;
    if (!ReadWavHeader(path, format)) return std::nullopt;
    return FactsOf(path, format);
}

std::optional<AudioFacts> MediaSourceProbe::ProbeVideoSound(const std::string& path) {
    VelcAviReaderClass reader;
    if (!reader.ReadAvi_OpenFile(path) || !reader.ExtractWavFile()) return std::nullopt;
    const std::string wavFile = reader.GetWavFile();
    WavFormatRec format;
    if (wavFile.empty() || !ReadWavHeader(wavFile, format)) return std::nullopt;
    return FactsOf(wavFile, format);
}

void MediaSourceProbe::DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex) {
    composer::DecodeClipAudio(movie, clipIndex);
}

}  // namespace composer
