#pragma once
// VelcAviWriterClass: the program's writer of the output movie, over one library AviWriter. It
// makes sure the requested video compressor exists before the file is created, writes frames given
// as pictures at their own size, and adds at most one sound track in its whole life: the render
// driver uses a fresh wrapper per output file.
//
// Lifecycle: new -> WriteAvi_CreateNewFile true -> open (pictures, one sound track) ->
// WriteAVI_CloseFile -> closed. Destroying the wrapper closes it.
#include <cstdint>
#include <optional>
#include <string>

#include "cbplatform/com_types.h"
#include "cbplatform/handles.h"
#include "cbplatform/ipicture.h"
#include "vidmill/vidmill.h"

namespace composer {

class VelcAviWriterClass {
  public:
    VelcAviWriterClass() = default;
    ~VelcAviWriterClass();
    VelcAviWriterClass(const VelcAviWriterClass&) = delete;
    VelcAviWriterClass& operator=(const VelcAviWriterClass&) = delete;

    bool IsOpen = false;  // an output file is open for writing

    // Adds the whole WAV file as the sound track. Nothing when not open. A second call on the same
    // wrapper throws Failure "Tried to add Multiple audio to AVI file" and adds nothing. Throws
    // Failure with the library's message when it refuses the file (for example WAV file "<name>"
    // not found).
    void WriteAVI_AddAudio(const std::string& wavFileName);

    // Appends the picture as the next frame, drawn at the frame size from its top-left part without
    // stretching. False when not open. Throws Failure with the library's message when the
    // frame cannot be written.
    bool WriteAvi_AddPicture(IPicture* picture);

    // Creates the file through a new library writer with the compressor code (checked and replaced
    // in the caller's variable by CheckCompressor first), the rate, whether the compressor dialog
    // is shown and the frames between key frames (0: KeyFrameIntervalFor the compressor). False,
    // with the wrapper closed, when the library refuses (bad size, file cannot be created,
    // compressor unusable, dialog cancelled) or cannot be created; no message is shown. CreateNewFile
    // says why.
    bool WriteAvi_CreateNewFile(const std::string& fileName, int32_t width, int32_t height,
                                double framesPerSecond, int32_t& compressorCode, bool showDialog,
                                int32_t keyFrameInterval = 0);

    // WriteAvi_CreateNewFile that says why: throws Failure with the reason alone (the library's text,
    // "The AVI library did not open the file.", or that the library is missing), the wrapper closed.
    // The file is not named: a caller may write under a name of its own and name the user's file.
    void CreateNewFile(const std::string& fileName, int32_t width, int32_t height, double framesPerSecond,
                       int32_t& compressorCode, bool showDialog, int32_t keyFrameInterval = 0);

    // Completes and closes the file and releases the library writer. Safe in any state. The
    // library's message when the file could not be completed (it then keeps no file under the
    // name); nothing otherwise.
    std::optional<std::string> WriteAVI_CloseFile();

    // Leaves the code when an installed compressor with that handler is valid and can write;
    // otherwise sets it to "MSVC". When listing the compressors fails: "DIB " and a message box
    // with the failure's text, titled "Failed in finding the Codecs".
    static void CheckCompressor(int32_t& compressorCode);

    // Why the compressor of the code cannot write frames of width x height, as the library says it
    // ("The compressor NAME (CODE) cannot write W x H frames: REASON"), followed by the nearest one or
    // two sizes it writes (". The nearest sizes it can write are A and B.", from each side rounded down
    // and up to multiples of 2, 4, 8 and 16, tried nearest first); nothing when it can, and for
    // code 0 (the compressor is chosen in the library's dialog). The library codes and decodes one
    // frame in a child process, so an encoder that crashes on the size does not end the program.
    // Throws Failure when the library cannot be reached.
    static std::optional<std::string> FrameSizeProblem(int32_t compressorCode, int32_t width, int32_t height);

    // Frames between key frames when the user chose none: the compressor's own default when it has
    // one, else one key frame a second (at least every frame). Inter-frame compressors code the
    // frames between as changes, so a movie of few changes stays small and can still be sought.
    static int32_t KeyFrameIntervalFor(int32_t compressorCode, double framesPerSecond);

  private:
    cb::ComPtr<vidmill::IAviWriter> writer_;
    bool writerExists_ = false;
    bool SoundAdded = false;  // set by the first WriteAVI_AddAudio; never reset
};

}  // namespace composer
