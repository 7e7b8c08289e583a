// The project cipher: key preparation, round trips for every key length, the integrity word, and
// words enciphered by an independent implementation of the same rules (data/cipher-vectors.txt).
#include "document/enc_dec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace composer {
namespace {

std::vector<int32_t> RandomWords(std::size_t count, uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<int32_t> words(count + 1);
    words[0] = static_cast<int32_t>(count);
    for (std::size_t i = 1; i <= count; ++i) words[i] = static_cast<int32_t>(generator());
    return words;
}

TEST(EncDecKey, PreparationTrimsPadsAndSwaps) {
    const struct {
        const char* key;
        const char* arranged;
    } cases[] = {
        {"Tembralico", "cilarbmeTo"},  // 10: 1<->9 .. 4<->6, then 5<->5
        {"a", "uqao"},                 // padded to "aquo", then 1<->3 and 2<->2
        {"ab", "qbau"},                // "abqu"
        {"abc", "cbaq"},               // "abcq"
        {"abcd", "cbad"},
        {"abcde", "dcbae"},              // 1<->4, 2<->3
        {"abcdefg", "fecdbag"},          // 1<->6, 2<->5, 3<->4, then 4<->3 undoes the third swap
        {"  seven77  ", "7nvees7"},      // trimmed to 7 characters
        {"abcdefghijk", "jihgefdcbak"},  // 11: the sixth swap undoes the fifth
    };
    for (const auto& c : cases) EXPECT_EQ(EncDecClass::ArrangeKey(c.key), c.arranged) << '"' << c.key << '"';
    EXPECT_EQ(EncDecClass::ArrangeKey(""), EncDecClass::ArrangeKey("Tembralico"));
    EXPECT_EQ(EncDecClass::ArrangeKey("   "), EncDecClass::ArrangeKey("Tembralico"));
}

TEST(EncDecKey, WordsAndSeed) {
    const EncDecClass::PreparedKey even = EncDecClass::PrepareKey("abcd");  // arranged "cbad"
    ASSERT_EQ(even.words.size(), 4u);
    EXPECT_EQ(even.words[0], 0x00FF00FFu + 256u * 'c');
    EXPECT_EQ(even.words[1], 0x000000FFu + 256u * 'b');
    EXPECT_EQ(even.seed, 0u);
    EXPECT_EQ(EncDecClass::PrepareKey("abcde").seed, 0xFFu);
    // Characters count by their single-byte code: "é" is 0xE9, whatever its UTF-8 length.
    const EncDecClass::PreparedKey accented = EncDecClass::PrepareKey("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    ASSERT_EQ(accented.words.size(), 4u);
    EXPECT_EQ(accented.words[3], 0x000000FFu + 256u * 0xE9u);
}

TEST(EncDec, RoundTripForEveryKeyLengthAndSize) {
    const EncDecClass cipher;
    const std::string letters = "Kx7 pQ-zR2m!";
    for (std::size_t keyLength = 0; keyLength <= letters.size(); ++keyLength) {
        const std::string key = letters.substr(0, keyLength);
        for (std::size_t count : {1u, 2u, 3u, 4u, 5u, 17u, 255u, 256u, 1000u}) {
            const std::vector<int32_t> words =
                RandomWords(count, static_cast<uint32_t>(keyLength * 7919 + count));
            std::vector<int32_t> closed = cipher.ListClose(words, key);
            ASSERT_EQ(closed.size(), count + 2);
            EXPECT_EQ(closed[0], 0);
            closed[0] = static_cast<int32_t>(count + 1);  // as the project file stores it
            std::vector<int32_t> opened = cipher.ListOpen(closed, key);
            ASSERT_EQ(opened.size(), count + 1) << "key length " << keyLength << ", " << count << " words";
            EXPECT_TRUE(std::equal(words.begin() + 1, words.end(), opened.begin() + 1))
                << "key length " << keyLength << ", " << count << " words";
        }
    }
}

TEST(EncDec, AnotherKeyOrADamagedBlockYieldsOnlyEntryZero) {
    const EncDecClass cipher;
    const std::vector<int32_t> words = RandomWords(40, 1);
    const std::vector<int32_t> closed = cipher.ListClose(words, "");
    // Each key character enciphers only the words at its own positions, so the integrity word notices
    // another key when that key differs in the character that enciphers the last word; these all do.
    for (const char* other : {"Zyxwvutsrq", "Tembralic", "a", "abcdefghijkl", "Kx7 pQ-zR2m!"})
        EXPECT_EQ(cipher.ListOpen(closed, other), std::vector<int32_t>{0}) << other;
    EXPECT_EQ(cipher.ListOpen(closed, "  Tembralico "), cipher.ListOpen(closed, ""));  // blanks are trimmed
    std::vector<int32_t> damaged = closed;
    damaged[41] ^= 0x10;
    EXPECT_EQ(cipher.ListOpen(damaged, ""), std::vector<int32_t>{0});
    std::vector<int32_t> shortened(closed.begin(), closed.end() - 1);
    EXPECT_EQ(cipher.ListOpen(shortened, ""), std::vector<int32_t>{0});
    EXPECT_EQ(cipher.ListOpen({}, ""), std::vector<int32_t>{0});
    EXPECT_EQ(cipher.ListOpen({5}, ""), std::vector<int32_t>{0});
}

TEST(EncDec, EmptyWordListGivesTheIntegrityWordOnly) {
    const EncDecClass cipher;
    const std::vector<int32_t> closed = cipher.ListClose({0}, "");
    EXPECT_EQ(closed.size(), 2u);
    EXPECT_EQ(cipher.ListOpen(closed, "").size(), 1u);
}

struct Vector {
    std::string key;
    std::vector<int32_t> in;
    std::vector<int32_t> out;
};

std::vector<int32_t> HexWords(const std::string& line) {
    std::istringstream fields(line.substr(3));
    std::vector<int32_t> words;
    std::string word;
    while (fields >> word) words.push_back(static_cast<int32_t>(std::stoul(word, nullptr, 16)));
    return words;
}

std::vector<Vector> ReadVectors() {
    std::ifstream in(CB_TEST_DATA_DIR "/cipher-vectors.txt");
    std::vector<Vector> vectors;
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("key ")) {
            vectors.push_back({line.substr(5, line.size() - 6), {}, {}});
        } else if (line.starts_with("in ") && !vectors.empty()) {
            vectors.back().in = HexWords(line);
        } else if (line.starts_with("out ") && !vectors.empty()) {
            vectors.back().out = HexWords(line);
        }
    }
    return vectors;
}

TEST(EncDec, MatchesTheKnownAnswers) {
    const std::vector<Vector> vectors = ReadVectors();
    ASSERT_EQ(vectors.size(), 5u);
    const EncDecClass cipher;
    for (const Vector& v : vectors) {
        ASSERT_FALSE(v.in.empty());
        EXPECT_EQ(cipher.ListClose(v.in, v.key), v.out) << "key \"" << v.key << '"';
        std::vector<int32_t> stored = v.out;
        stored[0] = static_cast<int32_t>(stored.size() - 1);
        std::vector<int32_t> opened = cipher.ListOpen(stored, v.key);
        ASSERT_EQ(opened.size(), v.in.size());
        EXPECT_TRUE(std::equal(v.in.begin() + 1, v.in.end(), opened.begin() + 1)) << "key \"" << v.key << '"';
    }
}

}  // namespace
}  // namespace composer
