#include "document/project_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/app_state.h"
#include "base/text_number.h"
#include "document/project_words.h"

namespace composer {

namespace {

constexpr std::size_t kHeaderScanBytes = 1000;

// Position just after CR LF + key + "=" in the bytes the header search looks at; npos when absent.
std::size_t FindMarkerEnd(const std::string& fileBytes, const std::string& key) {
    const std::string marker = LowerAscii("\r\n" + key + "=");
    const std::size_t scan = std::min(
        fileBytes.size(),
        std::max(kHeaderScanBytes, fileBytes.size() > marker.size() ? fileBytes.size() - marker.size() : 0));
    const std::string text = LowerAscii(std::string_view(fileBytes).substr(0, scan));
    const std::size_t at = text.find(marker);
    return at == std::string::npos ? at : at + marker.size();
}

uint32_t WordAt(const std::string& bytes, std::size_t offset) {
    uint32_t word = 0;
    for (int i = 3; i >= 0; --i)
        word = (word << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return word;
}

}  // namespace

std::string FileHeaderText(const std::tm& localTime) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char time[32];
    std::snprintf(time, sizeof time, "%02d-%s-%04d/%02d:%02d:%02d", localTime.tm_mday,
                  kMonths[localTime.tm_mon % 12], localTime.tm_year + 1900, localTime.tm_hour,
                  localTime.tm_min, localTime.tm_sec);
    return std::string("CbMov\r\n") + "File Description=" + kProgramTitle + " Source File\r\n" +
           "Saved By=" + kProgramTitle + "\r\n" + "Version=" + kProgramRelease + "\r\n" + "Web Site=\r\n" +
           "File Version=1\r\n" + "Time=" + time + "\r\n" + "Data=";
}

std::string FileTrailerText() { return std::string(4, '\0') + "EOF\r\n"; }

std::string WordBytes(const std::vector<int32_t>& words) {
    std::string bytes;
    bytes.reserve(words.size() * 4);
    for (const int32_t word : words)
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>(static_cast<uint32_t>(word) >> (8 * i));
    return bytes;
}

std::string HeaderValueInBytes(const std::string& fileBytes, const std::string& key,
                               const std::string& defaultValue) {
    const std::size_t start = FindMarkerEnd(fileBytes, key);
    if (start == std::string::npos) return defaultValue;
    const std::size_t end = fileBytes.find("\r\n", start);
    if (end == std::string::npos) return defaultValue;
    return fileBytes.substr(start, end - start);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::optional<std::vector<int32_t>> DataBlockInBytes(const std::string& fileBytes) {
    const std::size_t start = FindMarkerEnd(fileBytes, "Data");
    if (start == std::string::npos) return std::nullopt;
    const std::size_t availableWords = (fileBytes.size() - start) / 4;
    if (availableWords < 1) throw Failure("The file ends right after \"Data=\".");
    const auto lastIndex = static_cast<int32_t>(WordAt(fileBytes, start));
    if (lastIndex < 0 || static_cast<uint64_t>(lastIndex) + 1 > availableWords)
        throw Failure("The data block claims " + std::to_string(lastIndex) + " words, but the file holds " +
                      std::to_string(availableWords - 1) + " after it.");
    std::vector<int32_t> words(static_cast<std::size_t>(lastIndex) + 1);
    for (std::size_t i = 1; i < words.size(); ++i)
        words[i] = static_cast<int32_t>(WordAt(fileBytes, start + 4 * i));
    words[0] = 0;
    return words;
}

}  // namespace composer
