#include "document/file_choice.h"

#include <initializer_list>
#include <vector>

#include "base/interaction.h"
#include "base/text_number.h"
#include "document/clip_file_kinds.h"
#include "document/movie_records.h"

namespace composer {

namespace {

constexpr const char* kAllFiles = "All files (*.*)|*.*";
constexpr const char* kProjectFilter = "Cinebrix Source files (*.CbMov)|*.CbMov|All files (*.*)|*.*";

std::vector<std::string> Joined(std::initializer_list<const std::vector<std::string>*> lists) {
    std::vector<std::string> all;
    for (const std::vector<std::string>* list : lists) all.insert(all.end(), list->begin(), list->end());
    return all;
}

// "avi, mp4" and "*.avi;*.mp4" of a list of extensions.
std::string Names(const std::vector<std::string>& extensions) {
    std::string names;
    for (const std::string& extension : extensions)
        names += (names.empty() ? "" : ", ") + extension.substr(1);
    return names;
}

std::string Patterns(const std::vector<std::string>& extensions) {
    std::string patterns;
    for (const std::string& extension : extensions) patterns += (patterns.empty() ? "*" : ";*") + extension;
    return patterns;
}

// Every file the dialog accepts first, then the dialog's own entries.
std::string FilterOf(const std::vector<std::string>& accepted, const std::string& entries) {
    return "All supported files (" + Names(accepted) + ")|" + Patterns(accepted) + "|" + entries + kAllFiles;
}

struct Choice {
    FileDialogMemory& dialog;
    FileDialogMode mode;
    std::string filter;
    const char* defaultExtension;
    const char* title;
    std::vector<std::string> endings;  // lower case, with the dot
    std::string wrongEnding;
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

std::string VideoFilesFilter() { return FilterOf(ClipFileExtensions(ClipVideo), "AVI files (*.avi)|*.avi|"); }

std::string ChooseVideoFile(FileDialogMemory& memory) {
    const std::vector<std::string>& videos = ClipFileExtensions(ClipVideo);
    return Choose({memory, FileDialogMode::Open, FilterOf(videos, "AVI files (*.avi)|*.avi|"), "avi",
                   "Select a Video Clip file to add", videos,
                   "You need to select " + EndingList(videos) + " file to read clip"});
}

std::string ChoosePictureFile(FileDialogMemory& memory) {
    const std::vector<std::string>& pictures = ClipFileExtensions(ClipPicture);
    return Choose({memory, FileDialogMode::Open,
                   FilterOf(pictures, "Picture files (bmp, jpg, gif)|*.bmp;*.jpg;*.gif|"), "",
                   "Select a Picture file to add", pictures,
                   "You need to select " + EndingList(pictures) + " file to read picture"});
}

std::string ChooseAnyClipFile(FileDialogMemory& memory) {
    const std::vector<std::string> clips = Joined(
        {&ClipFileExtensions(ClipVideo), &ClipFileExtensions(ClipPicture), &ClipFileExtensions(ClipAudio)});
    return Choose(
        {memory, FileDialogMode::Open,
         FilterOf(clips,
                  "Any clip (avi, bmp, jpg, gif, wav)|*.avi;*.bmp;*.jpg;*.gif;*.wav|AVI files (*.avi)|*.avi|"
                  "Picture files (bmp, jpg, gif)|*.bmp;*.jpg;*.gif|Wave Files (*.wav)|*.wav|"),
         "", "Select a Picture file to add", clips,
         "You need to select " + EndingList(clips) + " file to read"});
}

std::string ChooseWavFile(FileDialogMemory& memory) {
    const std::vector<std::string>& sounds = ClipFileExtensions(ClipAudio);
    return Choose({memory, FileDialogMode::Open, FilterOf(sounds, "Wave Files (*.wav)|*.wav|"), "",
                   "Select a Audio '.wav' file to add", sounds,
                   "You need to select " + EndingList(sounds) + " file to read clip"});
}

// AVI first, as the movie has always been written; then the movies to share.
std::string ChooseOutputAviFile(FileDialogMemory& memory) {
    const std::vector<std::string>& movies = MovieFileExtensions();
    return Choose({memory, FileDialogMode::Save,
                   "AVI files (*.avi)|*.avi|MP4 movies (*.mp4)|*.mp4|Matroska movies (*.mkv)|*.mkv|"
                   "WebM movies (*.webm)|*.webm|" +
                       std::string(kAllFiles),
                   "avi", "Select a AVI file name to save output movie", movies,
                   "You need to select " + EndingList(movies) + " file to write output movie"});
}

std::string ChooseProjectToOpen(FileDialogMemory& memory) {
    return Choose({memory,
                   FileDialogMode::Open,
                   kProjectFilter,
                   "CbMov",
                   "Select a Cinebrix Source files (*.CbMov) file to open",
                   {".cbmov"},
                   "You need to select .CbMov file to open"});
}

std::string ChooseProjectToSave(FileDialogMemory& memory) {
    return Choose({memory,
                   FileDialogMode::Save,
                   kProjectFilter,
                   "CbMov",
                   "Select a Cinebrix Source files (*.CbMov) file name to save",
                   {".cbmov"},
                   "You need to select .CbMov file to save"});
}

}  // namespace composer
