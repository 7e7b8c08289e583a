#pragma once
// Which files make which kind of clip, by the extension of their name: videos of any container the
// media layer reads, pictures, and sounds. Adding a clip, refreshing a loaded project and the file
// dialogs' filters all go by this one list.
#include <cstdint>
#include <string>
#include <vector>

namespace composer {

// The lower-cased extension of the path's last component, with its dot (".mp4"); empty when none.
std::string FileExtension(const std::string& path);

// ClipVideo, ClipPicture or ClipAudio for a file of that kind; 0 for a file no clip is made of.
int32_t ClipTypeOfFile(const std::string& path);

// The extensions (with their dots) of one clip kind, the classic ones first.
const std::vector<std::string>& ClipFileExtensions(int32_t clipType);

// The extensions (with their dots) of the movies the render writes: AVI first, then the movies to
// share (MP4, Matroska, WebM).
const std::vector<std::string>& MovieFileExtensions();

// Whether the render writes a movie under this name: it ends in one of MovieFileExtensions, in any
// case. Any other name would get an AVI file that its ending misnames.
bool IsMovieFileName(const std::string& path);

// ".avi, .mp4 or .webm": a list of extensions as a message names them.
std::string EndingList(const std::vector<std::string>& extensions);

// Whether the file is one the AVI library reads itself (an AVI file), not the media layer.
bool IsAviFile(const std::string& path);

}  // namespace composer
