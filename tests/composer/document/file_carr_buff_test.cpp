// The file-backed sample buffer: its first value, Slot0, growth, the window, range errors and the
// life of its backing file.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numeric>

#include "document/file_carr_buff_class.h"
#include "le_bytes.h"
#include "sound_test_env.h"

namespace composer {
namespace {

using testing::SoundTest;
using BufferTest = SoundTest;

// The values of a backing file, read as the file format says: raw little-endian 16-bit words.
std::vector<int16_t> FileValues(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<int16_t> values(bytes.size() / 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int16_t>(cb::testing::Le16(bytes, 2 * i));
    return values;
}

TEST_F(BufferTest, ANewBufferHoldsOneZeroInAFileOfTheWorkFolder) {
    FileCarrBuffClass buffer;
    EXPECT_EQ(buffer.Length(), 1);
    EXPECT_EQ(buffer.GetValue(1), 0);
    const std::string path = buffer.GetFilePath();
    EXPECT_EQ(std::filesystem::path(path).parent_path(), WorkFolder);
    EXPECT_EQ(FileValues(path), std::vector<int16_t>{0});
}

TEST_F(BufferTest, PositionZeroIsAValueInMemoryOnly) {
    FileCarrBuffClass buffer;
    buffer.SetValue(1, 5);
    buffer.SetValue(0, 77);
    EXPECT_EQ(buffer.GetValue(0), 77);
    EXPECT_EQ(buffer.Length(), 1);
    EXPECT_EQ(FileValues(buffer.GetFilePath()), std::vector<int16_t>{5});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BufferTest, AWritePastTheEndGrowsTheBuffer) {
    FileCarrBuffClass buffer;
    std::vector<int16_t> values(10);
    std::iota(values.begin(), values.end(), int16_t{101});
    buffer.WriteBlock(5, values);
    EXPECT_EQ(buffer.Length(), 14);
    std::vector<int16_t> expected{0, 0, 0, 0};
    expected.insert(expected.end(), values.begin(), values.end());
    EXPECT_EQ(FileValues(buffer.GetFilePath()), expected);
    std::vector<int16_t> readBack(14);
    buffer.ReadBlock(1, readBack);
    EXPECT_EQ(readBack, expected);
}

TEST_F(BufferTest, ValuesSurviveWindowChangesAndReachTheFile) {
    FileCarrBuffClass buffer;
    buffer.SetBlockLimit(4);
    buffer.SetLength(23, LengthFill::ZeroFill);
    for (int32_t p = 1; p <= 23; ++p) buffer.SetValue(p, static_cast<int16_t>(-p * 1000));
    EXPECT_LE(buffer.WinSize(), 4);
    std::vector<int16_t> expected(23);
    for (int32_t p = 23; p >= 1; --p) {
        expected[static_cast<size_t>(p - 1)] = static_cast<int16_t>(-p * 1000);
        EXPECT_EQ(buffer.GetValue(p), -p * 1000) << p;
    }
    EXPECT_EQ(FileValues(buffer.GetFilePath()), expected);
}

TEST_F(BufferTest, ACutBufferGrownAgainReadsZerosBeyondTheCut) {
    FileCarrBuffClass buffer;
    buffer.WriteBlock(1, std::vector<int16_t>{1, 2, 3, 4, 5, 6});
    buffer.SetLength(2, LengthFill::NoFill);
    EXPECT_EQ(buffer.Length(), 2);
    buffer.SetLength(6, LengthFill::NoFill);
    std::vector<int16_t> values(6, -1);
    buffer.ReadBlock(1, values);
    EXPECT_EQ(values, (std::vector<int16_t>{1, 2, 0, 0, 0, 0}));
}

TEST_F(BufferTest, RangeErrorsShowTheMessageAndChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(FileCarrBuffClass&)> act;
    };
    const Case cases[] = {
        {"read past the end",
         [](auto& b) {
             std::vector<int16_t> v(3, 9);
             b.ReadBlock(3, v);
             EXPECT_EQ(v, std::vector<int16_t>(3, 9));
         }},
        {"read at 0",
         [](auto& b) {
             std::vector<int16_t> v(1, 9);
             b.ReadBlock(0, v);
             EXPECT_EQ(v[0], 9);
         }},
        {"read beyond the limit",
         [](auto& b) {
             std::vector<int16_t> v(static_cast<size_t>(b.GetBlockLimit()) + 1);
             b.ReadBlock(1, v);
         }},
        {"write at 0", [](auto& b) { b.WriteBlock(0, std::vector<int16_t>{7}); }},
        {"write beyond the limit",
         [](auto& b) {
             b.WriteBlock(1, std::vector<int16_t>(static_cast<size_t>(b.GetBlockLimit()) + 1, 7));
         }},
        {"get past the end", [](auto& b) { EXPECT_EQ(b.GetValue(5), 0); }},
        {"get below 0", [](auto& b) { EXPECT_EQ(b.GetValue(-1), 0); }},
        {"set past the end", [](auto& b) { b.SetValue(5, 7); }},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        FileCarrBuffClass buffer;
        buffer.WriteBlock(1, std::vector<int16_t>{1, 2, 3, 4});
        c.act(buffer);
        ASSERT_EQ(MessageTexts(), std::vector<std::string>{"Out of limit - Error"}) << c.what;
        EXPECT_EQ(ui.messages[0].title, "Cinebrix Composer") << c.what;
        EXPECT_EQ(buffer.Length(), 4) << c.what;
        EXPECT_EQ(FileValues(buffer.GetFilePath()), (std::vector<int16_t>{1, 2, 3, 4})) << c.what;
    }
}

TEST_F(BufferTest, TheFileSurvivesOnlyAfterGetFilePathAndReset) {
    std::string kept, dropped;
    {
        FileCarrBuffClass buffer;
        buffer.WriteBlock(1, std::vector<int16_t>{11, 12});
        kept = buffer.GetFilePath();
        buffer.Reset();
        EXPECT_EQ(buffer.Length(), 1);  // a new, empty buffer
        EXPECT_EQ(buffer.GetValue(1), 0);
        EXPECT_NE(buffer.GetFilePath(), kept);
    }
    {
        FileCarrBuffClass buffer;
        dropped = buffer.GetFilePath();
    }
    EXPECT_EQ(FileValues(kept), (std::vector<int16_t>{11, 12}));
    EXPECT_FALSE(std::filesystem::exists(dropped));
    EXPECT_EQ(FilesInWorkFolder(), 1);  // the kept file only: the buffer's later file went with it
}

TEST_F(BufferTest, OpenFileWorksOnACopy) {
    const std::string source = PathFor("words.raw");
    std::ofstream(source, std::ios::binary).write("\x01\x00\xff\xff\x10", 5);  // 1, -1 and a stray byte
    FileCarrBuffClass buffer;
    buffer.OpenFile(source);
    EXPECT_EQ(buffer.Length(), 2);
    EXPECT_EQ(buffer.GetValue(1), 1);
    EXPECT_EQ(buffer.GetValue(2), -1);
    buffer.SetValue(1, 99);
    buffer.Flush();
    EXPECT_EQ(std::filesystem::file_size(source), 5u);
    EXPECT_EQ(FileValues(source)[0], 1);

    // The copy holds the contents the file had when it was opened, even once the file is gone.
    FileCarrBuffClass reader;
    reader.OpenFile(source);
    std::filesystem::remove(source);
    EXPECT_EQ(reader.GetValue(2), -1);
    EXPECT_EQ(FileValues(reader.GetFilePath()), (std::vector<int16_t>{1, -1}));

    buffer.OpenFile(PathFor("missing.raw"));
    EXPECT_EQ(buffer.Length(), 1);
    EXPECT_EQ(buffer.GetValue(1), 0);
}

TEST(BlockLimit, OneTwentiethOfTheBudgetInWholeGroupsOfFourBetweenAFloorAndACeiling) {
    const struct {
        int32_t budget;
        int32_t limit;
    } cases[] = {
        {10'000'000, 500'000},  {20'000'060, 1'000'000}, {41'942'960, 2'097'148},   {41'943'040, 0x200000},
        {41'943'140, 0x200000}, {100'000'000, 0x200000}, {2'147'483'647, 0x200000}, {0, 0x40000}};
    for (const auto& c : cases) EXPECT_EQ(BlockLimitForBudget(c.budget), c.limit) << c.budget;
}

}  // namespace
}  // namespace composer
