// The extension of a file name: from the last point of its last path component on.
#pragma once

#include <string>

namespace vidmill::imaging {

// ".tiff" for "shots/a.tiff"; empty when the last component has no point.
std::string Extension(const std::string& fileName);
// Extension() in ASCII upper case: ".TIFF".
std::string UpperCaseExtension(const std::string& fileName);
// The name with its extension replaced by newExtension (appended when it has none).
std::string ReplaceExtension(const std::string& fileName, const std::string& newExtension);

}  // namespace vidmill::imaging
