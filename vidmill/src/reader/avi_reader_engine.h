// The AVI reader without its component shell: Open, the file's facts, frames by index, the sound
// track copied into a WAV file, Close.
//
// Frame n is the n-th frame of the first video stream in the order frames are shown (pictures the
// file stores in another order, B-frames, are put back in it). The frame count is the length
// in the stream header, so empty ("drop") chunks count: they show the frame before them. Frames
// asked for in increasing order are decoded without seeking; a step backwards, or forward past a
// key frame, seeks to the key frame at or before the wanted frame and decodes from there. The
// decoder and the last decoded frame stay between calls.
//
// Every failure throws vidmill::Error with the message callers see.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cbplatform/bitmap.h"

namespace vidmill::reader {

// What the headers of an open file say.
struct AviFileFacts {
    int width = 0;  // main header frame size
    int height = 0;
    double framesPerSecond = 0;           // 1e6 / the main header's microseconds per frame (else the
                                          // video stream header's rate / scale)
    std::int32_t bytesPerSecond = 0;      // main header: maximum bytes per second
    int frameCount = 0;                   // video stream header length; 0 without video
    std::int32_t quality = 0;             // video stream header quality; 0 without video
    std::uint32_t compressorHandler = 0;  // video stream header handler code; 0 without video
    bool hasSound = false;                // the file holds a sound stream
};

class AviReaderEngine {
  public:
    AviReaderEngine();
    ~AviReaderEngine();
    AviReaderEngine(const AviReaderEngine&) = delete;
    AviReaderEngine& operator=(const AviReaderEngine&) = delete;

    // Opens the file. Fails when a file is open already (kAlreadyOpenMessage), with "Cannot open
    // AVI file NAME: REASON" (the system's reason, "not a regular file", "not an AVI file" or "its
    // chunks cannot be read") and "Cannot read AVI file header"; a failed open leaves the reader closed.
    void open(const std::string& fileName);
    // Drops the decoder, the last frame and the file. Never fails.
    void close();
    bool isOpen() const;

    // The facts of the open file; kNotReadingMessage when closed.
    const AviFileFacts& facts() const;
    // The open file's name as Open was given it; kNotReadingMessage when closed. Outputs are
    // checked against it so that nothing the reader writes takes the place of the file it reads.
    const std::string& path() const;

    // Frame `index` as a 32-bit bitmap (blue first, rows bottom-up; the fourth byte is the frame's
    // alpha, 0xFF where it has none) of the file's frame size, valid until the next call. Fails when closed,
    // without video frames ("Cannot read AVI file because AVI does not contain video frames"), without a
    // decoder for the stream
    // ("Cannot decompress AVI file content. Install corresponding compressor") and for a frame that
    // cannot be decoded or lies outside 0 .. frameCount - 1 ("Cannot decompress AVI file content").
    const cb::Bitmap& frameAt(int index);
    // The same frame shared rather than copied, for a picture: the reader never writes into a
    // bitmap handed out this way, and its holders must not write into it either.
    std::shared_ptr<cb::Bitmap> sharedFrameAt(int index);

    // How often frame reading has started again at a key frame (or the file's start) instead of
    // going on from where it was: for checking that sequential reading never seeks.
    int seekCount() const;

    // Copies the first sound stream into a WAV file in its stored format, written aside and renamed
    // into place when complete (a failure leaves an existing file of that name as it was). Fails when
    // closed and with "AVI file does not contain sound track", "Cannot write over the AVI file being
    // read "NAME"" (the name is the open file's, links and ".." seen through), "Cannot create WAV
    // file "NAME"" and the read messages.
    void extractWav(const std::string& wavFileName);

    // Messages shared with the component shell.
    static const char* const kNotReadingMessage;
    static const char* const kAlreadyOpenMessage;
    static const char* const kNoFramesMessage;
    static const char* const kCannotDecompressMessage;

  private:
    struct Session;
    Session& session() const;

    std::unique_ptr<Session> session_;
};

}  // namespace vidmill::reader
