#include "imaging/file_extension.h"

#include <algorithm>
#include <cctype>

namespace vidmill::imaging {
namespace {

// Where the extension starts; npos when there is none.
std::string::size_type ExtensionStart(const std::string& fileName) {
    const std::string::size_type point = fileName.find_last_of('.');
    if (point == std::string::npos) return point;
    const std::string::size_type separator = fileName.find_last_of('/');
    if (separator != std::string::npos && separator > point) return std::string::npos;
    return point;
}

}  // namespace

std::string Extension(const std::string& fileName) {
    const std::string::size_type start = ExtensionStart(fileName);
    return start == std::string::npos ? std::string() : fileName.substr(start);
}

std::string UpperCaseExtension(const std::string& fileName) {
    std::string extension = Extension(fileName);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension;
}

std::string ReplaceExtension(const std::string& fileName, const std::string& newExtension) {
    const std::string::size_type start = ExtensionStart(fileName);
    return (start == std::string::npos ? fileName : fileName.substr(0, start)) + newExtension;
}

}  // namespace vidmill::imaging
