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

std::string ChooseVideoFile();      // .avi
std::string ChoosePictureFile();    // .bmp, .jpg, .gif
std::string ChooseAnyClipFile();    // .avi, .bmp, .jpg, .gif, .wav
std::string ChooseWavFile();        // .wav
std::string ChooseOutputAviFile();  // save: .avi
std::string ChooseProjectToOpen();  // .CbMov
std::string ChooseProjectToSave();  // save: .CbMov

}  // namespace composer
