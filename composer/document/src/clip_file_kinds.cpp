#include "document/clip_file_kinds.h"

#include <algorithm>

#include "base/text_number.h"
#include "document/movie_records.h"

namespace composer {
namespace {

const std::vector<std::string> kVideo{".avi", ".mp4", ".m4v", ".mov", ".mkv", ".webm", ".3gp"};
const std::vector<std::string> kPicture{".bmp", ".jpg", ".jpeg", ".gif", ".png", ".tif", ".tiff", ".webp"};
const std::vector<std::string> kAudio{".wav", ".mp3", ".flac", ".ogg", ".oga", ".opus", ".m4a", ".aac"};
const std::vector<std::string> kNone;
const std::vector<std::string> kMovies{".avi", ".mp4", ".mkv", ".webm"};

bool Holds(const std::vector<std::string>& extensions, const std::string& extension) {
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

}  // namespace

std::string FileExtension(const std::string& path) {
    const std::size_t name = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (name != std::string::npos && dot < name)) return "";
    return LowerAscii(path.substr(dot));
}

int32_t ClipTypeOfFile(const std::string& path) {
    const std::string extension = FileExtension(path);
    if (Holds(kVideo, extension)) return ClipVideo;
    if (Holds(kPicture, extension)) return ClipPicture;
    if (Holds(kAudio, extension)) return ClipAudio;
    return 0;
}

const std::vector<std::string>& ClipFileExtensions(int32_t clipType) {
    switch (clipType) {
        case ClipVideo:
            return kVideo;
        case ClipPicture:
            return kPicture;
        case ClipAudio:
            return kAudio;
        default:
            return kNone;
    }
}

const std::vector<std::string>& MovieFileExtensions() { return kMovies; }

bool IsMovieFileName(const std::string& path) { return Holds(kMovies, FileExtension(path)); }

std::string EndingList(const std::vector<std::string>& extensions) {
    std::string list;
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        if (i > 0) list += i + 1 == extensions.size() ? " or " : ", ";
        list += extensions[i];
    }
    return list;
}

bool IsAviFile(const std::string& path) { return FileExtension(path) == ".avi"; }

}  // namespace composer
