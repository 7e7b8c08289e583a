#pragma once
// EncDecClass scrambles the data words of a project file so that the block does not read as plain
// numbers and text, and appends an integrity word that shows a damaged block on reading. It is a
// keyed reversible scrambling, not real secrecy. An empty key selects the built-in default key,
// which is what project files use.
#include <cstdint>
#include <string>
#include <vector>

namespace composer {

class EncDecClass {
  public:
    static constexpr const char* kDefaultKey = "Tembralico";
    static constexpr const char* kPadString = "quorl";  // lengthens keys shorter than 4 characters
    static constexpr int32_t kIntegrityWord = 379;

    // Enciphers words D(0 .. N); D(0) is not enciphered. Returns O(0 .. N + 1): the words and the
    // integrity word, enciphered; O(0) is 0 for the caller to fill (the project file stores N + 1 there).
    std::vector<int32_t> ListClose(const std::vector<int32_t>& words, const std::string& key) const;

    // Deciphers W(0 .. M); W(0) is ignored. Returns D(0 .. M - 1) with the integrity word removed and
    // D(0) = 0, or a vector holding only entry 0 when the integrity word does not match (another key,
    // a damaged block, or fewer than one word).
    std::vector<int32_t> ListOpen(const std::vector<int32_t>& words, const std::string& key) const;

    // The prepared key: trimmed, the default when empty, padded to 4 characters, its characters
    // swapped; one word per character. Exposed for tests.
    struct PreparedKey {
        std::vector<uint32_t> words;  // K(1 .. L) at [0 .. L - 1]
        uint32_t seed = 0;            // 0xFF for an odd length, 0 for an even one
    };
    static std::string ArrangeKey(const std::string& key);  // steps 1 to 3, as text of code-page bytes
    static PreparedKey PrepareKey(const std::string& key);
};

}  // namespace composer
