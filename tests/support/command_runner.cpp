#include "command_runner.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace cb::testing {

std::string ScratchFile(const std::string& folder, const std::string& name) {
    const char* root = std::getenv("CB_TEST_TMP");
    const std::filesystem::path place =
        std::filesystem::path(root && *root ? root : "/tmp") / (folder + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(place);
    const std::filesystem::path path = place / name;
    std::filesystem::remove_all(path);
    return path.string();
}

std::vector<std::uint8_t> RunCommandBytes(const std::string& command) {
    struct PipeClose {
        void operator()(std::FILE* pipe) const { pclose(pipe); }
    };
    std::unique_ptr<std::FILE, PipeClose> pipe(popen((command + " 2>/dev/null").c_str(), "r"));
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::vector<std::uint8_t> output;
    std::array<std::uint8_t, 65536> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0)
        output.insert(output.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    return output;
}

std::string RunCommand(const std::string& command) {
    const auto bytes = RunCommandBytes(command);
    return std::string(bytes.begin(), bytes.end());
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace cb::testing
