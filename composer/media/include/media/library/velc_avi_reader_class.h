#pragma once
// VelcAviReaderClass: the program's reader of AVI files over one library AviReader; the clip source
// (clip_source.h) reads AVI files through it, and other containers through its FFmpeg back end.
// Frame numbers are 1-based here (frame 1 is the library's frame 0). It keeps the open file's frame
// size, rate and count in public fields, and makes a WAV copy of the sound track in the work
// folder: the library's copy when that is PCM, otherwise the sound layer's decoding of it.
//
// Lifecycle: closed -> ReadAvi_OpenFile true -> open (frames any number of times, ExtractWavFile)
// -> ReadAVI_CloseFile -> closed. Destroying the wrapper closes it, which deletes a WAV copy that
// was not taken with GetWavFile. Opening another file while open replaces the library reader; the
// old WAV copy stays the wrapper's until the next close.
#include <cstdint>
#include <memory>
#include <string>

#include "base/app_state.h"
#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"
#include "media/pixels/work_surface.h"
#include "vidmill/vidmill.h"

namespace composer {

class VelcAviReaderClass {
  public:
    VelcAviReaderClass() = default;
    ~VelcAviReaderClass();
    VelcAviReaderClass(const VelcAviReaderClass&) = delete;
    VelcAviReaderClass& operator=(const VelcAviReaderClass&) = delete;

    // Public fields; each is reset as the methods below say.
    std::string FileName;  // path of the open file, empty when closed
    int32_t Width = 0;     // frame size of the open file, 0 when closed
    int32_t Height = 0;
    double FramesPerSecond = 0;  // 0 when closed
    int32_t FrameCount = 0;      // 0 when closed
    bool IsOpen = false;
    bool HasWav = false;           // a WAV copy exists and the description below is valid
    int32_t WavBitsPerSample = 0;  // 8 or 16
    int32_t WavChannels = 0;       // 1 or 2
    int32_t WavSampleRate = 0;     // sample frames per second
    int32_t WavSampleCount = 0;    // sample frames
    float WavDuration = 0;         // WavSampleCount / WavSampleRate, seconds
    // Where the compressed-audio notice is remembered as shown (the session's); none: it is shown
    // every time it applies.
    NoticeFlags* Notices = nullptr;

    // Makes a WAV copy of the open file's sound track (deleting the wrapper's previous copy first):
    // the library's copy when the program's WAV reader accepts it; otherwise the sound layer
    // decodes that copy into a new PCM WAV file. When the sound layer is unavailable the user is
    // told once per run (message and the DirectX notice). Hourglass meanwhile. False when closed
    // or when no readable WAV file came out; library failures give false, never an error.
    bool ExtractWavFile();

    // When HasWav: hands the WAV copy's path to the caller, who then owns the file (the wrapper no
    // longer deletes it). Otherwise empty text.
    std::string GetWavFile();

    // Resets every field, deletes the wrapper's WAV copy, closes and releases the library reader.
    // Safe in any state, any number of times.
    void ReadAVI_CloseFile();

    // The frame (1-based) converted into AviReaderPixels() at Width x Height. False when closed.
    // Throws Failure with the library's message when the frame cannot be read.
    bool ReadAvi_GetOneFrameAsPixels(int32_t frameNumber);

    // The frame (1-based) as a new picture the caller owns. False, picture untouched, when closed.
    // Throws Failure with the library's message when the frame cannot be read.
    bool ReadAvi_GetOneFrameAsPicture(int32_t frameNumber, cb::ComPtr<IPicture>& picture);

    // Opens the file through a new library reader. False, with the wrapper closed, when it cannot be
    // opened or the library cannot be created (not installed or not registered); OpenFile says why.
    bool ReadAvi_OpenFile(const std::string& fileName);

    // ReadAvi_OpenFile that says why: throws Failure with the file and the reason (the library's
    // text, or that the library is missing), the wrapper closed.
    void OpenFile(const std::string& fileName);

  private:
    void ResetFields();
    void ResetWavFields();
    bool TakeWavDescription(const std::string& wavFile);
    bool DecodeWithSoundLayer(const std::string& libraryCopy);
    void ReleaseLibraryReader();
    cb::ComPtr<vidmill::IAviFrame> Frame(int32_t frameNumber);

    cb::ComPtr<vidmill::IAviReader> reader_;
    bool readerExists_ = false;
    std::string WavTempFile;  // the WAV copy while the wrapper owns it
};

// The pixel buffer ReadAvi_GetOneFrameAsPixels fills (layout of PictureOperation.h), program-wide
// and used by no other routine.
PixelBuffer& AviReaderPixels();

}  // namespace composer
