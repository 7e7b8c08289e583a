// The compressors listed on this machine and the writing check behind SupportsWriting.
#include <gtest/gtest.h>

#include <set>

#include "cbplatform/ffmpeg_owners.h"
#include "compressors/compressor_catalog.h"
#include "compressors/compressor_cursor.h"
#include "compressors/round_trip.h"
#include "frame/tag_code.h"
#include "vidmill/vidmill.h"

namespace vidmill::compressors {
namespace {

const CompressorInfo& Listed(const char* code) {
    const CompressorInfo* entry = FindCompressor(TagCode(code));
    if (entry == nullptr) throw std::runtime_error(std::string("not listed: ") + code);
    return *entry;
}

TEST(CompressorList, OneEntryPerHandlerWithinTheFieldSizes) {
    const auto& list = InstalledCompressors();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().handler, static_cast<std::uint32_t>(Uncompressed)) << "\"DIB \" comes first";
    std::set<std::uint32_t> handlers;
    for (const auto& entry : list) {
        EXPECT_TRUE(handlers.insert(entry.handler).second) << entry.name;
        EXPECT_FALSE(entry.name.empty());
        EXPECT_LE(entry.name.size(), 16u) << entry.name;
        EXPECT_LE(entry.description.size(), 128u) << entry.name;
        EXPECT_LE(entry.driver.size(), 128u) << entry.name;
        EXPECT_FALSE(entry.supportsDraw) << entry.name;
    }
}

TEST(CompressorList, TheCommonCodecsAreListedAndWritable) {
    const struct {
        const char* code;
        const char* encoder;  // null for the uncompressed store
    } cases[] = {
        {"DIB ", nullptr},     {"MSVC", "msvideo1"}, {"CRAM", "msvideo1"}, {"cvid", "cinepak"},
        {"HFYU", "huffyuv"},   {"XVID", "mpeg4"},    {"DIVX", "mpeg4"},    {"FMP4", "mpeg4"},
        {"MP42", "msmpeg4v2"}, {"MP43", "msmpeg4"},  {"DIV3", "msmpeg4"},  {"MJPG", "mjpeg"},
        {"FFV1", "ffv1"},
    };
    for (const auto& c : cases) {
        const CompressorInfo& entry = Listed(c.code);
        EXPECT_STREQ(entry.encoder != nullptr ? entry.encoder->name : nullptr, c.encoder) << c.code;
        EXPECT_TRUE(SupportsWriting(entry)) << c.code;
        // The round trip itself, whatever verdicts an earlier run left in the cache.
        EXPECT_TRUE(EncodesAndDecodesBack(entry, 320, 200)) << c.code;
    }
}

TEST(CompressorList, WritingCheckReallyOpensTheEncoder) {
    // H.261 takes only 176 x 144 and 352 x 288 pictures: listed, but not able to write 320 x 200.
    const CompressorInfo* h261 = FindCompressor(TagCode("H261"));
    if (h261 == nullptr) GTEST_SKIP() << "no H.261 encoder in this FFmpeg";
    EXPECT_FALSE(SupportsWriting(*h261));
    EXPECT_FALSE(EncodesAndDecodesBack(*h261, 320, 200));
}

TEST(CompressorList, CodesWithoutAnEncoderAreNotListed) {
    for (const LONG code :
         std::initializer_list<LONG>{Indeo5Compressor, IntelIndeo32Compressor, IntelIndeo45Compressor,
                                     IntelIYUVCompressor, LeadMJpegCompressor, 0, FourCC("ZZZZ")})
        EXPECT_EQ(FindCompressor(static_cast<std::uint32_t>(code)), nullptr) << code;
}

TEST(CompressorList, DefaultsAskTheEncoder) {
    EXPECT_EQ(DefaultKeyFrameRate(Listed("MJPG")), 1) << "every motion JPEG frame is a key frame";
    EXPECT_GT(DefaultKeyFrameRate(Listed("XVID")), 1);
    // Video-1 starts a key frame once more than its minimum interval has passed: the interval its
    // encoder keeps unasked.
    const cb::CodecContextPtr video1(avcodec_alloc_context3(avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1)));
    ASSERT_TRUE(video1);
    EXPECT_EQ(DefaultKeyFrameRate(Listed("MSVC")), video1->keyint_min + 1);
    EXPECT_EQ(DefaultKeyFrameRate(Listed("DIB ")), 0);
    EXPECT_GT(DefaultQuality(Listed("XVID")), 0);
    EXPECT_EQ(DefaultQuality(Listed("HFYU")), 0) << "a lossless codec has no quality to set";
    EXPECT_EQ(DefaultQuality(Listed("DIB ")), 0);
}

CompressorInfo Entry(const char* code) {
    CompressorInfo info;
    info.handler = TagCode(code);
    info.name = code;
    return info;
}

// The handlers a cursor visits from Reset to the end.
std::vector<std::string> Walk(const std::vector<CompressorInfo>& list) {
    CompressorCursor cursor(list);
    std::vector<std::string> visited;
    for (bool more = cursor.valid(); more; more = cursor.next()) visited.push_back(cursor.current()->name);
    EXPECT_FALSE(cursor.valid());
    EXPECT_EQ(cursor.current(), nullptr);
    EXPECT_FALSE(cursor.next()) << "an invalid cursor stays invalid";
    return visited;
}

TEST(CompressorCursor, PassesOverConsecutiveEntriesOfOneHandler) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(Walk({}), Names{});
    EXPECT_EQ(Walk({Entry("MSVC")}), Names{"MSVC"});
    EXPECT_EQ(Walk({Entry("MSVC"), Entry("MSVC"), Entry("cvid")}), (Names{"MSVC", "cvid"}));
    EXPECT_EQ(Walk({Entry("cvid"), Entry("MSVC"), Entry("MSVC")}), (Names{"cvid", "MSVC"}));
    // Only neighbours are merged: the same code further on is visited again.
    EXPECT_EQ(Walk({Entry("MSVC"), Entry("cvid"), Entry("MSVC")}), (Names{"MSVC", "cvid", "MSVC"}));
}

}  // namespace
}  // namespace vidmill::compressors
