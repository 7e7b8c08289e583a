// The machine's sound output through Qt Multimedia: a QAudioSink pulling samples from the cursor.
// Qt's audio backends need an event loop, so playing requires the program's QCoreApplication; a
// program without one (the headless command line) has no sound output.
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>

#include "sound_output.h"

namespace cb::sound {
namespace {

// The sink reads the decoded sound from the cursor, moving the play position as it goes.
class CursorDevice final : public QIODevice {
  public:
    explicit CursorDevice(std::shared_ptr<PcmCursor> cursor) : cursor_(std::move(cursor)) {}
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 size) override {
        return static_cast<qint64>(cursor_->Pull(data, static_cast<std::size_t>(size)));
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    std::shared_ptr<PcmCursor> cursor_;
};

QAudioFormat QtFormat(const PcmFormat& format) {
    QAudioFormat qtFormat;
    qtFormat.setSampleRate(format.sampleRate);
    qtFormat.setChannelCount(format.channels);
    qtFormat.setSampleFormat(format.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return qtFormat;
}

class QtOutput final : public SoundOutput {
  public:
    bool Start(std::shared_ptr<PcmCursor> cursor) override {
        Stop();
        if (!QCoreApplication::instance()) return false;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        const QAudioFormat format = QtFormat(cursor->format());
        if (device.isNull() || !device.isFormatSupported(format)) return false;
        cursor_ = cursor;
        startBytes_ = cursor->positionBytes();
        source_ = std::make_unique<CursorDevice>(std::move(cursor));
        source_->open(QIODevice::ReadOnly);
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->start(source_.get());
        if (sink_->error() == QAudio::NoError) return true;
        Stop();
        return false;
    }

    // The sink reads ahead of what is heard; the cursor is put back to the first sample not heard.
    void Stop() override {
        if (!sink_) return;
        // Idle with nothing left to read: the whole sound was heard and the cursor stays at the end.
        const bool finished = sink_->state() == QAudio::IdleState && cursor_->AtEnd();
        const qint64 heardMicroseconds = sink_->processedUSecs();
        sink_->stop();
        const PcmFormat& format = cursor_->format();
        const qint64 heardFrames = heardMicroseconds * format.sampleRate / 1000000;
        if (!finished) cursor_->Seek(startBytes_ + heardFrames * format.BlockBytes());
        sink_.reset();
        source_.reset();
        cursor_.reset();
    }

    std::int64_t PlayedMicroseconds() const override { return sink_ ? sink_->processedUSecs() : -1; }

    ~QtOutput() override { Stop(); }

  private:
    std::shared_ptr<PcmCursor> cursor_;
    std::unique_ptr<CursorDevice> source_;
    std::unique_ptr<QAudioSink> sink_;
    std::int64_t startBytes_ = 0;
};

}  // namespace

std::unique_ptr<SoundOutput> MakeMachineOutput() { return std::make_unique<QtOutput>(); }

}  // namespace cb::sound
