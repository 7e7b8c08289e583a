// Fuzz target: LoadMovieSource on any bytes. Every input must end in a load or a refusal through
// the interaction seam, never a crash, a leak or an allocation the file cannot account for.
// The first byte chooses what the rest is: odd, the file as it stands; even, the plain data words,
// which the harness enciphers into a well-formed file so that the parsing behind the check word is
// reached as often as the file layout.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/scripted_interaction.h"
#include "document/enc_dec.h"
#include "document/open_save_class.h"
#include "document/project_file.h"

namespace {

std::string WellFormedFile(const uint8_t* data, size_t size) {
    std::vector<int32_t> words(1 + size / 4);
    for (size_t i = 1; i < words.size(); ++i) std::memcpy(&words[i], data + 4 * (i - 1), 4);
    words[0] = static_cast<int32_t>(words.size() - 1);
    std::vector<int32_t> block = composer::EncDecClass().ListClose(words, "");
    block[0] = static_cast<int32_t>(block.size() - 1);
    return composer::FileHeaderText(std::tm{}) + composer::WordBytes(block) + composer::FileTrailerText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string bytes = (data[0] & 1) ? std::string(reinterpret_cast<const char*>(data + 1), size - 1)
                                            : WellFormedFile(data + 1, size - 1);
    static const std::string path = "/tmp/fuzz_project_file_" + std::to_string(::getpid()) + ".CbMov";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    composer::ScriptedInteraction seam;
    composer::ScopedInteraction scope(seam);
    composer::NoSourceProbe probe;
    composer::OpenSaveClass reader(probe);
    reader.LoadMovieSource(path);
    return 0;
}
