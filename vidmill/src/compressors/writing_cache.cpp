#include "compressors/writing_cache.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "cbplatform/staged_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswscale/swscale.h>
}

namespace vidmill::compressors {
namespace {

// Changes whenever the round trip itself changes what it accepts, so that older verdicts go.
constexpr char kCheckVersion[] = "writing check 1: 320 x 200, 24 then 32 bits, decoded back";
constexpr char kFirstLine[] = "vidmill compressor writing check";
// A file of the verdicts of every code there is stays far below this; a larger one is not ours.
constexpr std::uintmax_t kLargestFile = 64 * 1024;

// 64-bit FNV-1a: a short, stable name for the fingerprint text.
std::uint64_t TextHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string Hex(std::uint64_t value, int digits) {
    char text[17];
    std::snprintf(text, sizeof text, "%0*llx", digits, static_cast<unsigned long long>(value));
    return text;
}

std::string BuildLine(const std::string& fingerprint) { return "build " + Hex(TextHash(fingerprint), 16); }

// "44495620 yes": the handler as 8 hexadecimal digits and the verdict.
std::optional<std::pair<std::uint32_t, bool>> ParseVerdict(const std::string& line) {
    if (line.size() < 10 || line[8] != ' ') return std::nullopt;
    const std::string code = line.substr(0, 8);
    if (code.find_first_not_of("0123456789abcdef") != std::string::npos) return std::nullopt;
    const std::string answer = line.substr(9);
    if (answer != "yes" && answer != "no") return std::nullopt;
    return std::make_pair(static_cast<std::uint32_t>(std::stoul(code, nullptr, 16)), answer == "yes");
}

}  // namespace

std::string FfmpegBuildFingerprint() {
    std::ostringstream text;
    text << kCheckVersion << '\n'
         << av_version_info() << '\n'
         << "avcodec " << avcodec_version() << " avformat " << avformat_version() << " avutil "
         << avutil_version() << " swscale " << swscale_version() << '\n'
         << avcodec_configuration();
    return text.str();
}

std::string WritingCachePath() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/vidmill/writing-check";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/vidmill/writing-check";
    return "";
}

WritingVerdicts::WritingVerdicts(std::string path, std::string fingerprint)
    : path_(std::move(path)), fingerprint_(std::move(fingerprint)) {}

bool WritingVerdicts::verdict(std::uint32_t handler, const std::function<bool()>& check) {
    if (!loaded_) {
        known_ = load();
        loaded_ = true;
    }
    if (const auto found = known_.find(handler); found != known_.end()) return found->second;
    const bool writes = check();
    // Another process may have added verdicts since this one read the file: they are kept too.
    Verdicts merged = load();
    merged.insert(known_.begin(), known_.end());
    merged[handler] = writes;
    known_ = merged;
    save(known_);
    return writes;
}

WritingVerdicts::Verdicts WritingVerdicts::load() const {
    if (path_.empty()) return {};
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path_, error);
    if (error || size > kLargestFile) return {};
    std::ifstream in(path_);
    std::string line;
    if (!std::getline(in, line) || line != kFirstLine) return {};
    if (!std::getline(in, line) || line != BuildLine(fingerprint_)) return {};
    Verdicts verdicts;
    while (std::getline(in, line)) {
        const auto entry = ParseVerdict(line);
        if (!entry) return {};  // damaged: nothing in it is trusted
        verdicts[entry->first] = entry->second;
    }
    return verdicts;
}

void WritingVerdicts::save(const Verdicts& verdicts) const {
    if (path_.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
    if (error) return;
    std::optional<cb::StagedFile> staged = cb::StagedFile::Reserve(path_);
    if (!staged) return;
    {
        std::ofstream out(staged->path(), std::ios::trunc);
        out << kFirstLine << '\n' << BuildLine(fingerprint_) << '\n';
        for (const auto& [handler, writes] : verdicts)
            out << Hex(handler, 8) << (writes ? " yes\n" : " no\n");
        out.flush();
        if (!out) return;  // the staged file goes with its owner; the old file stays
    }
    staged->commit();
}

}  // namespace vidmill::compressors
