// Encoder settings that must reach the encoder, and write failures that must be reported.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "frame/error.h"
#include "stopped_run.h"
#include "writer/avi_writer_engine.h"
#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;

std::uintmax_t WrittenSize(std::uint32_t handler, int quality, int bytesPerSecond) {
    const std::string path = ScratchPath("rate.avi");
    AviWriterEngine writer;
    writer.properties().setCompressorHandler(handler);
    writer.properties().setQuality(quality);
    writer.properties().setBytesPerSecond(bytesPerSecond);
    writer.properties().setKeyFrameRate(25);
    writer.createNew(path, 128, 96);
    for (int i = 0; i < 25; ++i) {
        PaintPattern(writer.frameBitmap(), i);
        writer.writeCurrentFrame();
    }
    writer.close();
    return std::filesystem::file_size(path);
}

TEST(WriterEncoderSettings, QualityAndDataRateChangeTheEncodedSize) {
    constexpr std::uint32_t kMjpg = FourCC("MJPG");
    constexpr std::uint32_t kXvid = XviDMpeg4Compressor;
    EXPECT_GT(WrittenSize(kMjpg, 10000, 0), 2 * WrittenSize(kMjpg, 0, 0));
    EXPECT_GT(WrittenSize(kXvid, 7000, 100000), 2 * WrittenSize(kXvid, 7000, 4000));
}

// A file-size limit stands in for a full disk: writes past it fail instead of ending the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(WriterFailures, AFullDiskIsReportedNotIgnored) {
    const std::string path = ScratchPath("full.avi");
    AviWriterEngine writer;
    writer.properties().setCompressorHandler(Uncompressed);
    int written = 0;
    std::string message;
    {
        const FileSizeLimit limit(1 << 20);
        writer.createNew(path, 160, 120);  // 57,600 bytes a frame
        try {
            for (; written < 100; ++written) writer.writeCurrentFrame();
        } catch (const Error& error) {
            message = error.what();
        }
        EXPECT_EQ(message, "Cannot write AVI frame");
        EXPECT_LT(written, 30) << "reported soon after the limit of about 18 frames";
        EXPECT_TRUE(writer.isOpen()) << "a failed frame leaves the writer writing";
        EXPECT_THROW(writer.close(), Error) << "the file could not be completed";
    }
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(std::filesystem::exists(path)) << "an incomplete file never takes the name";
    EXPECT_FALSE(cb::testing::FolderHolds(std::filesystem::path(path).parent_path(), "full.avi.partial-"));
}

}  // namespace
}  // namespace vidmill::writer
