// The AVI writer without its component shell: CreateNew, the frame being composed, writing it
// (watermark, intermediate frames, key-frame rule, frame counter), the sound track and Close.
//
// Frames are encoded as they come and written straight into the new file. A sound track may come
// at any time: it is kept in a temporary spool and written after the last frame at Close, into
// room the file's header kept for it, so no frame is ever copied. Nothing of the movie is held in
// memory beyond one frame.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cbplatform/bitmap.h"
#include "cbplatform/compressor_dialog.h"
#include "writer/writer_properties.h"

namespace vidmill::writer {

class AviWriterEngine {
  public:
    // Drawn over each frame just before it is written: the frame, the frames written so far
    // (intermediate frames included) and the frame rate.
    using FrameOverlay = std::function<void(cb::Bitmap& frame, int frameCounter, double framesPerSecond)>;

    // The compression options a CreateNew starts from; the options dialog may change them for
    // that file (the writer's properties stay as they are).
    using CompressionOptions = cb::CompressorOptions;
    // Shows the compressor options dialog over parentWindow; false when the user cancels.
    using OptionsDialog = std::function<bool(CompressionOptions& options, std::int32_t parentWindow)>;

    AviWriterEngine();
    // Performs Close; a failure to complete the file is not reported from here.
    ~AviWriterEngine();
    AviWriterEngine(const AviWriterEngine&) = delete;
    AviWriterEngine& operator=(const AviWriterEngine&) = delete;

    WriterProperties& properties() { return properties_; }
    const WriterProperties& properties() const { return properties_; }
    void setFrameOverlay(FrameOverlay overlay) { overlay_ = std::move(overlay); }
    // Asked when ShowDialog is set or the handler is 0, in place of the dialog the host program
    // registered with the platform. Without either the options stand as they are, and handler 0
    // writes uncompressed frames.
    void setOptionsDialog(OptionsDialog dialog) { optionsDialog_ = std::move(dialog); }

    // Starts the file with the current properties. It is written under a name of its own beside
    // fileName and takes that name at Close, so an existing file is replaced only by a complete
    // one. Fails in writing mode, for a width or height below 1, when the file cannot be created
    // (also when fileName is a folder or device), and when the compressor cannot take frames of
    // this size; a failure leaves no file and whatever had the name as it was. A cancelled
    // options dialog reports AbortError ("Operation aborted") and leaves the writer closed.
    void createNew(const std::string& fileName, int width, int height, std::int32_t parentWindow = 0);
    bool isOpen() const;

    // The frame being composed: the size of CreateNew, 24, 32 or 8 bits per pixel. Writing mode only.
    cb::Bitmap& frameBitmap();
    // Writes the composed frame (after its intermediate frames). Fails outside writing mode and
    // with "Cannot write AVI frame"; the frames written before stay in the file. After a stop
    // signal (cb::StopSignal) fails with AbortError before writing anything.
    void writeCurrentFrame();
    // Position of the next frame in the stream.
    int frameCounter() const;

    // Takes the first sound stream of a WAV or AVI file in its stored format, once per file.
    // With cutWav it ends at the sample of the last frame written so far, plus one.
    void addWav(const std::string& fileName, bool cutWav);

    // Completes the file, gives it its name and leaves writing mode. The writer is closed even
    // when completing fails; that failure is then reported ("Cannot write AVI file" and the like,
    // with the system's reason when there is one), the partial file is removed and whatever had
    // the name keeps it.
    void close();

    // Messages shared with the component shell.
    static const char* const kNotWritingMessage;

  private:
    struct Session;
    void requireOpen() const;
    void writeFrameAt(const cb::Bitmap& frame);
    CompressionOptions chooseOptions(std::int32_t parentWindow) const;

    WriterProperties properties_;
    FrameOverlay overlay_;
    OptionsDialog optionsDialog_;
    std::unique_ptr<Session> session_;
};

}  // namespace vidmill::writer
