#pragma once
// The file-choice operations that feed the clip, output and project commands. Each fills a file
// dialog (through the interaction seam) with its filter, default extension and title, and checks the
// lower-cased ending of the chosen name; a wrong ending shows its message and gives "". Cancel gives "".
#include <string>

namespace composer {

// The three file dialogs of the main window; each remembers the last file name it showed or returned.
// The main window fills them from the settings "LastFileClip", "LastFileOutput", "LastFileSource".
struct FileDialogMemory {
    std::string FileName;
    std::string InitialFolder;  // where the dialog starts when it has no file name to show
};
extern FileDialogMemory CmnDlgClips;   // the four clip choices
extern FileDialogMemory CmnDlgOutput;  // the output movie
extern FileDialogMemory CmnDlgCbMov;   // project files

// "All supported files" of video, then AVI files, then all files: what a movie can be opened from.
std::string VideoFilesFilter();

// The clip dialogs accept every file of their kinds that clip_file_kinds lists.
std::string ChooseVideoFile();      // .avi, .mp4, .mov, .mkv, .webm ...
std::string ChoosePictureFile();    // .bmp, .jpg, .gif, .png, .tiff, .webp ...
std::string ChooseAnyClipFile();    // any of the three
std::string ChooseWavFile();        // .wav, .mp3, .flac, .ogg, .m4a ...
std::string ChooseOutputAviFile();  // save: .avi, .mp4, .mkv, .webm
std::string ChooseProjectToOpen();  // .CbMov
std::string ChooseProjectToSave();  // save: .CbMov

}  // namespace composer
