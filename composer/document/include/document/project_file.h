#pragma once
// The bytes of a project file (.CbMov):
//   "CbMov" CR LF, "File Description=Cinebrix Composer Source File" CR LF, "Saved By=Cinebrix Composer"
//   CR LF, "Version=Oct2003" CR LF, "Web Site=" CR LF, "File Version=1" CR LF,
//   "Time=dd-MMM-yyyy/hh:mm:ss" CR LF, "Data=" (no line end), then the enciphered block: word M and
//   M words, then the word 0 and "EOF" CR LF. Words are 32-bit little-endian.
// Readers find the header values and the block by searching for CR LF + key + "=" without regard to
// case, so the other header lines are informative only.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace composer {

// Header lines 1 to 8, saved at the given local time.
std::string FileHeaderText(const std::tm& localTime);
// The word 0 and "EOF" CR LF.
std::string FileTrailerText();
// Words as little-endian bytes.
std::string WordBytes(const std::vector<int32_t>& words);

// The value of a header key in the first K bytes of a file's bytes (K = 1000, or the length minus the
// marker's length when that is larger): the text after CR LF + key + "=" up to the next CR LF. The
// default when the marker or the line end is missing.
std::string HeaderValueInBytes(const std::string& fileBytes, const std::string& key,
                               const std::string& defaultValue);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// The enciphered block after "Data=": W(0 .. M) with W(0) set to 0, ready for ListOpen. Throws
// Failure when M is negative or more words than the file holds. nullopt when there is no
// "Data=" marker.
std::optional<std::vector<int32_t>> DataBlockInBytes(const std::string& fileBytes);

}  // namespace composer
