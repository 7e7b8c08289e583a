// Fuzz target: LoadMovieSource on any bytes. Every input must end in a load or a refusal through
// the interaction seam, never a crash, a leak or an allocation the file cannot account for.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "appgen/scripted_interaction.h"
#include "document/OpenSaveClass.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz_project_file_" + std::to_string(::getpid()) + ".CbMov";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    composer::ScriptedInteraction seam;
    composer::ScopedInteraction scope(seam);
    composer::NoSourceProbe probe;
    composer::OpenSaveClass reader(probe);
    reader.LoadMovieSource(path);
    return 0;
}
