#include "document/enc_dec.h"

#include <utility>

#include "base/rounding.h"
#include "base/text_number.h"
#include "document/ansi_text.h"

namespace composer {

namespace {

constexpr std::size_t kShortestKey = 4;

// The partner position of position i (1 .. count) in the mixing pass that starts at `start`.
std::size_t MixPartner(std::size_t i, std::size_t start, std::size_t count) {
    std::size_t j = i + start;
    if (j > count) j -= count;
    return j;
}

// Where the mixing pass starts for `count` words: the seed, scaled into range when it is past the
// end, and the middle when it would start on the first or the last word.
std::size_t MixStart(uint32_t seed, std::size_t count) {
    auto start = static_cast<int64_t>(seed);
    const auto p = static_cast<int64_t>(count);
    if (start > p) start = RoundToInt64(seed / 256.0 * static_cast<double>(p));
    if (start < 1 || start == p) start = RoundToInt64(static_cast<double>(p) / 2.0);
    return static_cast<std::size_t>(start);
}

}  // namespace

std::string EncDecClass::ArrangeKey(const std::string& key) {
    std::string k = Utf8ToAnsi(TrimSpaces(key));
    if (k.empty()) k = kDefaultKey;
    if (k.size() < kShortestKey) k += std::string(kPadString).substr(0, kShortestKey - k.size());
    // Positions i and L - i (1-based), in order, on the string as the earlier swaps left it: for
    // some odd lengths the last swap undoes the one before, which files rely on.
    const std::size_t length = k.size();
    const auto swaps = static_cast<std::size_t>(RoundToInt64(static_cast<double>(length) / 2.0));
    for (std::size_t i = 1; i <= swaps; ++i) std::swap(k[i - 1], k[length - i - 1]);
    return k;
}

EncDecClass::PreparedKey EncDecClass::PrepareKey(const std::string& key) {
    const std::string arranged = ArrangeKey(key);
    PreparedKey prepared;
    for (std::size_t i = 0; i < arranged.size(); ++i) {
        const uint32_t code = static_cast<unsigned char>(arranged[i]);
        prepared.words.push_back((i == 0 ? 0x00FF00FFu : 0x000000FFu) + 256u * code);
    }
    prepared.seed = arranged.size() % 2 == 1 ? 0xFFu : 0u;
    return prepared;
}

std::vector<int32_t> EncDecClass::ListClose(const std::vector<int32_t>& words, const std::string& key) const {
    const PreparedKey prepared = PrepareKey(key);
    const std::size_t length = prepared.words.size();
    // T(1 .. N) are the words after entry 0, then the integrity word; P = N + 1.
    const std::size_t count = words.empty() ? 1 : words.size();
    std::vector<uint32_t> out(count + 1, 0);
    for (std::size_t idx = 1; idx <= count; ++idx) {
        const uint32_t plain = idx < words.size() ? static_cast<uint32_t>(words[idx]) : kIntegrityWord;
        out[idx] = plain ^ prepared.words[(idx - 1) % length] ^ out[idx - 1];
    }
    const std::size_t start = MixStart(prepared.seed, count);
    for (std::size_t i = 1; i <= count; ++i) out[i] ^= out[MixPartner(i, start, count)];
    return std::vector<int32_t>(out.begin(), out.end());
}

std::vector<int32_t> EncDecClass::ListOpen(const std::vector<int32_t>& words, const std::string& key) const {
    if (words.size() < 2) return std::vector<int32_t>(1, 0);
    const PreparedKey prepared = PrepareKey(key);
    const std::size_t length = prepared.words.size();
    const std::size_t count = words.size() - 1;
    std::vector<uint32_t> mixed(words.begin(), words.end());
    mixed[0] = 0;  // the chaining began from zero; entry 0 holds the caller's count
    const std::size_t start = MixStart(prepared.seed, count);
    for (std::size_t i = count; i >= 1; --i) mixed[i] ^= mixed[MixPartner(i, start, count)];
    std::vector<int32_t> plain(count + 1, 0);
    for (std::size_t idx = 1; idx <= count; ++idx)
        plain[idx] = static_cast<int32_t>(mixed[idx] ^ prepared.words[(idx - 1) % length] ^ mixed[idx - 1]);
    if (plain[count] != kIntegrityWord) return std::vector<int32_t>(1, 0);
    plain.pop_back();
    return plain;
}

}  // namespace composer
