#pragma once
// The file-choice operations that feed the clip, output and project commands. Each fills a file
// dialog (through the interaction seam) with its filter, default extension and title, and checks the
// lower-cased ending of the chosen name; a wrong ending shows its message and gives "". Cancel gives "".
#include <string>

namespace composer {

// A file dialog of the main window: it remembers the last file name it showed or returned. The session
// holds the three (document/session.h); the main window fills them from the settings "LastFileClip",
// "LastFileOutput", "LastFileSource".
struct FileDialogMemory {
    std::string FileName;
    std::string InitialFolder;  // where the dialog starts when it has no file name to show
};

// "All supported files" of video, then AVI files, then all files: what a movie can be opened from.
std::string VideoFilesFilter();

// The clip dialogs accept every file of their kinds that clip_file_kinds lists. Each choice starts from
// the dialog memory it is given and leaves the file shown or chosen in it.
std::string ChooseVideoFile(FileDialogMemory& memory);      // .avi, .mp4, .mov, .mkv, .webm ...
std::string ChoosePictureFile(FileDialogMemory& memory);    // .bmp, .jpg, .gif, .png, .tiff, .webp ...
std::string ChooseAnyClipFile(FileDialogMemory& memory);    // any of the three
std::string ChooseWavFile(FileDialogMemory& memory);        // .wav, .mp3, .flac, .ogg, .m4a ...
std::string ChooseOutputAviFile(FileDialogMemory& memory);  // save: .avi, .mp4, .mkv, .webm
std::string ChooseProjectToOpen(FileDialogMemory& memory);  // .CbMov
std::string ChooseProjectToSave(FileDialogMemory& memory);  // save: .CbMov

}  // namespace composer
