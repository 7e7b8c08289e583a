#include "document/file_choice.h"

#include <initializer_list>
#include <vector>

#include "base/interaction.h"
#include "base/text_number.h"

namespace composer {

FileDialogMemory CmnDlgClips;
FileDialogMemory CmnDlgOutput;
FileDialogMemory CmnDlgCbMov;

namespace {

constexpr const char* kAviFilter = "AVI files (*.avi)|*.avi|All files (*.*)|*.*";
constexpr const char* kPictureFilter = "Picture files (bmp, jpg, gif)|*.bmp;*.jpg;*.gif|All files (*.*)|*.*";
constexpr const char* kAnyClipFilter =
    "Any clip (avi, bmp, jpg, gif, wav)|*.avi;*.bmp;*.jpg;*.gif;*.wav|AVI files (*.avi)|*.avi|"
    "Picture files (bmp, jpg, gif)|*.bmp;*.jpg;*.gif|Wave Files (*.wav)|*.wav|All files (*.*)|*.*";
constexpr const char* kWavFilter = "Wave Files (*.wav)|*.wav|All files (*.*)|*.*";
constexpr const char* kProjectFilter = "Cinebrix Source files (*.CbMov)|*.CbMov|All files (*.*)|*.*";

struct Choice {
    FileDialogMemory& dialog;
    FileDialogMode mode;
    const char* filter;
    const char* defaultExtension;
    const char* title;
    std::vector<std::string> endings;  // lower case, with the dot
    const char* wrongEnding;
};

bool HasEnding(const std::string& path, const std::vector<std::string>& endings) {
    const std::string lower = LowerAscii(path);
    for (const std::string& ending : endings)
        if (lower.ends_with(ending)) return true;
    return false;
}

std::string Choose(const Choice& choice) {
    FileChoiceRequest request;
    request.mode = choice.mode;
    request.title = choice.title;
    request.filter = choice.filter;
    request.filterIndex = 1;
    request.defaultExtension = choice.defaultExtension;
    request.hideReadOnly = true;
    if (choice.mode == FileDialogMode::Open) {
        request.fileMustExist = true;
        // An open dialog does not offer a previous name of another kind.
        if (!HasEnding(choice.dialog.FileName, choice.endings)) choice.dialog.FileName.clear();
    } else {
        request.overwritePrompt = true;
        request.pathMustExist = true;
    }
    request.fileName = choice.dialog.FileName;
    request.initialFolder = choice.dialog.InitialFolder;
    const std::optional<std::string> chosen = UI().ChooseFile(request);
    if (!chosen || chosen->empty()) return {};
    choice.dialog.FileName = *chosen;
    if (!HasEnding(*chosen, choice.endings)) {
        MsgBox(choice.wrongEnding);
        return {};
    }
    return *chosen;
}

}  // namespace

std::string ChooseVideoFile() {
    return Choose({CmnDlgClips,
                   FileDialogMode::Open,
                   kAviFilter,
                   "avi",
                   "Select a Video Clip file to add",
                   {".avi"},
                   "You need to select .avi file to read clip"});
}

std::string ChoosePictureFile() {
    return Choose({CmnDlgClips,
                   FileDialogMode::Open,
                   kPictureFilter,
                   "",
                   "Select a Picture file to add",
                   {".bmp", ".jpg", ".gif"},
                   "You need to select .bmp, .jpg or .gif file to read picture"});
}

std::string ChooseAnyClipFile() {
    return Choose({CmnDlgClips,
                   FileDialogMode::Open,
                   kAnyClipFilter,
                   "",
                   "Select a Picture file to add",
                   {".avi", ".bmp", ".jpg", ".gif", ".wav"},
                   "You need to select .avi, .bmp, .jpg, .gif or .wav file to read"});
}

std::string ChooseWavFile() {
    return Choose({CmnDlgClips,
                   FileDialogMode::Open,
                   kWavFilter,
                   "",
                   "Select a Audio '.wav' file to add",
                   {".wav"},
                   "You need to select .wav file to read clip"});
}

std::string ChooseOutputAviFile() {
    return Choose({CmnDlgOutput,
                   FileDialogMode::Save,
                   kAviFilter,
                   "avi",
                   "Select a AVI file name to save output movie",
                   {".avi"},
                   "You need to select .avi file to write output movie"});
}

std::string ChooseProjectToOpen() {
    return Choose({CmnDlgCbMov,
                   FileDialogMode::Open,
                   kProjectFilter,
                   "CbMov",
                   "Select a Cinebrix Source files (*.CbMov) file to open",
                   {".cbmov"},
                   "You need to select .CbMov file to open"});
}

std::string ChooseProjectToSave() {
    return Choose({CmnDlgCbMov,
                   FileDialogMode::Save,
                   kProjectFilter,
                   "CbMov",
                   "Select a Cinebrix Source files (*.CbMov) file name to save",
                   {".cbmov"},
                   "You need to select .CbMov file to save"});
}

}  // namespace composer
