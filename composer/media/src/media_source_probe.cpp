#include "media/media_source_probe.h"

#include "base/disk_full.h"
#include "base/failure.h"
#include "document/clip_file_kinds.h"
#include "media/clip_source.h"
#include "media/library/velc_avi_reader_class.h"
#include "media/sound/decode_clip_audio.h"
#include "media/sound/wav_oper_mod.h"
#include "media/sound/wav_reader_class.h"

namespace composer {

namespace {

constexpr const char* kNoSoundTrack = "its sound track cannot be read";

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

// The facts of a WAV copy the caller now owns; a copy whose header does not read is no sound track.
AudioFacts FactsOfCopy(const std::string& wavFile) {
    WavFormatRec format;
    if (wavFile.empty() || !ReadWavHeader(wavFile, format)) throw Failure(kNoSoundTrack);
    return FactsOf(wavFile, format);
}

// An AVI file's sound track, copied by the library (and decoded by the sound layer when compressed).
AudioFacts AviSoundTrack(const std::string& path, NoticeFlags* notices) {
    VelcAviReaderClass reader;
    reader.Notices = notices;
    reader.OpenFile(path);
    if (!reader.ExtractWavFile()) throw Failure(kNoSoundTrack);
    return FactsOfCopy(reader.GetWavFile());
}

// The sound track of a video in another container, decoded by the sound layer into a PCM WAV file.
AudioFacts ContainerSoundTrack(const std::string& path, NoticeFlags* notices) {
    (void)OpenClipSource(ClipVideo, path);  // a video that does not open is refused for that reason
    WavReaderClass sound;
    sound.Notices = notices;
    if (!sound.ReadWav_OpenFile(path)) throw Failure(kNoSoundTrack);
    const std::string decoded = sound.ReadWav_GetWavFile();
    if (decoded == path) throw Failure(kNoSoundTrack);  // never the user's own file as a work copy
    return FactsOfCopy(decoded);
}

}  // namespace

template <typename Facts, typename Read>
Outcome<Facts> MediaSourceProbe::Probe(Read&& read) {
    try {
        return read();
    } catch (const DiskFullError&) {
        throw;  // a full work folder fails the work that needed the copy, not just this source
    } catch (...) {
        return Outcome<Facts>::Refused(CurrentFailureReason());
    }
}

Outcome<VideoFacts> MediaSourceProbe::ProbeVideo(const std::string& path) {
    return Probe<VideoFacts>([&] {
        const std::unique_ptr<ClipSource> source = OpenClipSource(ClipVideo, path);
        // A video whose first frame does not decode is as good as unreadable: it would render blank.
        if (source->FrameCount() >= 1) {
            try {
                (void)source->Picture(1);
            } catch (const Failure&) {
                throw Failure("frame 1 does not decode");
            }
        }
        return VideoFacts{source->Width(), source->Height(), source->FramesPerSecond(), source->FrameCount(),
                          source->Times()};
    });
}

Outcome<PictureFacts> MediaSourceProbe::ProbePicture(const std::string& path) {
    return Probe<PictureFacts>([&] {
        const std::unique_ptr<ClipSource> source = OpenClipSource(ClipPicture, path);
        return PictureFacts{source->Width(), source->Height()};
    });
}

// Sound files in any format the sound component decodes: PCM WAV as it is, anything else (float,
// 24-bit, ADPCM, mu-law, A-law, MP3 in WAV ...) decoded into a PCM WAV in the work folder, which
// then carries the clip's sound.
Outcome<AudioFacts> MediaSourceProbe::ProbeAudio(const std::string& path) {
    return Probe<AudioFacts>([&] {
        WavReaderClass reader;
        reader.Notices = notices_;
        reader.OpenFile(path);
        AudioFacts facts =
            FactsOf(reader.ReadWav_GetWavFile(),
                    WavFormatRec{reader.Bits, reader.Channels, reader.SampleRate, reader.Frames});
        facts.damage = reader.Damage;
        return facts;
    });
}

Outcome<AudioFacts> MediaSourceProbe::ProbeVideoSound(const std::string& path) {
    return Probe<AudioFacts>([&] {
        return IsAviFile(path) ? AviSoundTrack(path, notices_) : ContainerSoundTrack(path, notices_);
    });
}

void MediaSourceProbe::DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex) {
    composer::DecodeClipAudio(movie, clipIndex);
}

}  // namespace composer
