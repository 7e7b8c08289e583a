#include "ui/main_commands.h"

#include <filesystem>
#include <utility>

#include "base/app_state.h"
#include "base/files.h"
#include "base/interaction.h"
#include "base/settings.h"
#include "base/view.h"
#include "document/add_clip.h"
#include "document/file_choice.h"
#include "document/movie_db.h"
#include "document/open_save_class.h"
#include "ui/main_window_rules.h"

namespace composer {

namespace {

void RedrawEverything() {
    DrawMovieTracks();
    DrawUnusedTrack();
    DrawClipPanel();
}

std::string ChooseClipFile(ClipFileKind kind) {
    switch (kind) {
        case ClipFileKind::Video:
            return ChooseVideoFile();
        case ClipFileKind::Picture:
            return ChoosePictureFile();
        case ClipFileKind::Audio:
            return ChooseWavFile();
    }
    return {};
}

}  // namespace

bool MayDropMovie(SavedMovieMark& mark) {
    if (!mark.Changed(MainDb)) return true;
    const std::string question = "Do you want to save the changes to " + MainDb.MovieName + "?";
    switch (MsgBox(question, MsgButtons::YesNoCancel, "", MsgIcon::Question)) {
        case MsgAnswer::Yes:
            return SaveProjectCommand(mark, SaveMode::Save);
        case MsgAnswer::No:
            return true;
        default:
            return false;
    }
}

bool NewMovieCommand(SavedMovieMark& mark) {
    if (!AskYesNo("Create new blank file?")) return false;
    if (!MayDropMovie(mark)) return false;
    ClearMovie();
    RedrawEverything();
    mark.Mark(MainDb);
    return true;
}

bool OpenProjectCommand(SavedMovieMark& mark) {
    if (!MayDropMovie(mark)) return false;
    const std::string path = ChooseProjectToOpen();
    if (path.empty()) return false;
    OpenSaveClass reader;
    if (!reader.LoadMovieSource(path)) return false;
    reader.DbLocalToMain();
    MainDb.ProjectPath = path;
    RedrawEverything();
    mark.Mark(MainDb);
    return true;
}

bool SaveProjectCommand(SavedMovieMark& mark, SaveMode mode) {
    std::string path;
    if (mode == SaveMode::Save && FileExists(MainDb.ProjectPath)) path = MainDb.ProjectPath;
    if (path.empty()) path = ChooseProjectToSave();
    if (path.empty()) return false;
    MainDb.ProjectPath = path;
    OpenSaveClass writer;
    if (!writer.SaveMovieSource(path)) return false;
    mark.Mark(MainDb);
    return true;
}

bool AddClipCommand(ClipFileKind kind) {
    const std::string path = ChooseClipFile(kind);
    if (path.empty()) return false;
    int32_t position = 0;
    int32_t overlayPosition = 0;
    if (const Outcome<int32_t> added = AddClip(path, TrackKind::None, position, overlayPosition); !added) {
        MsgBox(FailedToAddMessage(path, added.Reason()));
        return false;
    }
    if (kind != ClipFileKind::Video) DrawUnusedTrack();
    DrawMovieTracks();
    return true;
}

void RememberFolders(RememberMode mode) {
    const std::pair<FileDialogMemory*, const char*> dialogs[] = {
        {&CmnDlgClips, "LastFileClip"}, {&CmnDlgCbMov, "LastFileSource"}, {&CmnDlgOutput, "LastFileOutput"}};
    for (const auto& [dialog, key] : dialogs) {
        if (mode == RememberMode::Load) {
            dialog->InitialFolder = InitialFolderOf(ReadSetting("General", key));
        } else if (!dialog->FileName.empty()) {
            // A dialog not used in this session keeps the file remembered from before.
            WriteSetting("General", key, dialog->FileName);
        }
    }
}

std::string HelpTopicPage(int topic) {
    const std::string name = std::to_string(topic) + ".html";
    for (const std::string& folder : {HelpFilePath, AppFolder + "/../share/cinebrix-composer/help"}) {
        if (folder.empty()) continue;
        const std::string page = folder + "/" + name;
        if (FileExists(page)) return std::filesystem::weakly_canonical(page).string();
    }
    return {};
}

}  // namespace composer
