#include "render/output_name.h"

#include "document/clip_file_kinds.h"

namespace composer {

std::optional<std::string> OutputNameRefusal(const std::string& fileName) {
    if (IsMovieFileName(fileName)) return std::nullopt;
    return "The file " + fileName + "\r\nis not written: a movie is written as a " +
           EndingList(MovieFileExtensions()) + " file.";
}

}  // namespace composer
