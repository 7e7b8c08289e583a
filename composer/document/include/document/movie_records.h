#pragma once
// The records of the movie document. They are plain values: copying a record copies its strings
// and arrays. Every array is 1-based as the project file counts: a vector sized count + 1 whose
// entry 0 is never used; valid entries are 1 .. count. A new record's arrays hold only entry 0.
// The times of a video's pictures are shared between copies: they are read from the file and never
// changed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/picture_times.h"

namespace composer {

// What a clip is; the values are those of ClipRec::ClipType and of the project file.
enum ClipType : int32_t {
    ClipVideo = 1,    // a video file: AVI, or MP4, MOV, MKV, WebM... (clip_file_kinds.h lists them)
    ClipAudio = 2,    // a sound file (WAV, MP3, FLAC, Ogg...), or the sound track of a video file
    ClipPicture = 3,  // a picture file: BMP, JPEG, GIF, PNG, TIFF or WebP
};

// One transparent colour. The three bytes lie in the order of the bytes of a 0x00BBGGRR colour value.
struct TransColorRec {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    int32_t Tolerance = 0;  // allowed variation around the colour, percent
};

// One use of one source file.
struct ClipRec {
    int32_t ClipType = 0;       // ClipVideo, ClipAudio or ClipPicture
    std::string FilePath;       // source file; for the sound track of a video, the video's path
    std::string ClipName;       // display name
    double OverlayDelay = 0.0;  // seconds after the start of its arranged clip, when used as an overlay
    std::vector<TransColorRec> TransColors = std::vector<TransColorRec>(1);  // 1 .. TransColorCount
    int32_t TransColorCount = 0;
    int32_t CropTop = 0;  // pixels cut off each edge of every frame
    int32_t CropBottom = 0;
    int32_t CropLeft = 0;
    int32_t CropRight = 0;
    double SrcFps = 0.0;     // video: frames per second of the source
    int32_t FrameCount = 0;  // video: frames in the source
    int32_t SrcWidth = 0;    // video and picture: size of a source frame in pixels
    int32_t SrcHeight = 0;
    int32_t UseFirst = 1;  // video: first frame of the used range, 1-based
    int32_t UseLast = 0;   // video: last frame of the used range, inclusive (FrameCount once known)
    int32_t CurFrame = 0;  // frame shown first in the clip window and used by the mask window, 1-based
    // video whose pictures come at uneven intervals: when each is shown, one a frame, as the file
    // says when it was last read; null for one constant rate and before the file is read; not stored
    std::shared_ptr<const PictureTimes> Times;
    double AudioDuration = 0.0;  // audio: seconds of sound (= AudioFrames / AudioRate)
    int32_t AudioBits = 0;       // audio: 8 or 16
    int32_t AudioChannels = 0;   // audio: 1 mono, 2 stereo
    int32_t AudioRate = 0;       // audio: samples per second
    int32_t AudioFrames = 0;     // audio: sample frames; not stored in the project file
    std::string AudioFile;       // the WAV file that carries the sound; not stored
    // audio: why the sound was found damaged or unreadable when it was last read (so that a render
    // names it); "" when whole; not stored
    std::string AudioProblem;
    // The decoded-sound cache of the output mixer; filled only by the decoding step, cleared in a
    // clone, not stored.
    std::string CacheLeftFile;   // file-backed buffer of the left (or only) channel
    std::string CacheRightFile;  // file-backed buffer of the right channel; empty for mono
    int32_t CacheBits = 0;
    int32_t CacheChannels = 0;
    int32_t CacheRate = 0;
    int32_t CacheFrames = 0;
    double PicDuration = 0.0;  // picture: seconds shown in the movie (1.0 when added)
};

// One entry of the arranged (main) track.
struct ArrangeRec {
    int32_t ClipIndex = 0;                                    // index in Clips of the arranged clip
    std::vector<int32_t> Overlays = std::vector<int32_t>(1);  // clip indices, 1 .. OverlayCount, attach order
    int32_t OverlayCount = 0;
};

// The whole movie.
struct MovieDbRec {
    std::string MovieName;
    std::vector<ClipRec> Clips = std::vector<ClipRec>(1);  // 1 .. ClipCount
    int32_t ClipCount = 0;
    int32_t CurClip = 0;                                            // the current clip; 0 = none
    std::vector<ArrangeRec> Arranged = std::vector<ArrangeRec>(1);  // the main track in play order
    int32_t ArrangedCount = 0;
    std::vector<int32_t> Unused = std::vector<int32_t>(1);  // clip indices on the unused shelf
    int32_t UnusedCount = 0;
    std::string ProjectPath;  // the .CbMov file; empty for a new movie
    std::string OutputPath;   // the movie file most recently rendered
    double OutFps = 25.0;
    int32_t OutWidth = 352;
    int32_t OutHeight = 288;
    int32_t OutChannels = 2;
    int32_t OutBits = 16;
    int32_t OutRate = 22050;
};

}  // namespace composer
