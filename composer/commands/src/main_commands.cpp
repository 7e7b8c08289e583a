#include "commands/main_commands.h"

#include <filesystem>
#include <utility>

#include "base/app_state.h"
#include "base/files.h"
#include "base/interaction.h"
#include "base/settings.h"
#include "base/view.h"
#include "commands/main_window_rules.h"
#include "document/add_clip.h"
#include "document/file_choice.h"
#include "document/movie_db.h"
#include "document/open_save_class.h"

namespace composer {

namespace {

void RedrawEverything() {
    DrawMovieTracks();
    DrawUnusedTrack();
    DrawClipPanel();
}

std::string ChooseClipFile(FileDialogMemory& dialog, ClipFileKind kind) {
    switch (kind) {
        case ClipFileKind::Video:
            return ChooseVideoFile(dialog);
        case ClipFileKind::Picture:
            return ChoosePictureFile(dialog);
        case ClipFileKind::Audio:
            return ChooseWavFile(dialog);
    }
    return {};
}

}  // namespace

bool MayDropMovie(Session& session, SavedMovieMark& mark) {
    if (!mark.Changed(session.Movie())) return true;
    const std::string question = "Do you want to save the changes to " + session.Movie().MovieName + "?";
    switch (MsgBox(question, MsgButtons::YesNoCancel, "", MsgIcon::Question)) {
        case MsgAnswer::Yes:
            return SaveProjectCommand(session, mark, SaveMode::Save);
        case MsgAnswer::No:
            return true;
        default:
            return false;
    }
}

bool NewMovieCommand(Session& session, SavedMovieMark& mark) {
    if (!AskYesNo("Create new blank file?")) return false;
    if (!MayDropMovie(session, mark)) return false;
    ClearMovie(session.EditMovie());
    RedrawEverything();
    mark.Mark(session.Movie());
    return true;
}

bool OpenProjectCommand(Session& session, SavedMovieMark& mark) {
    if (!MayDropMovie(session, mark)) return false;
    const std::string path = ChooseProjectToOpen(session.dialogs.projects);
    if (path.empty()) return false;
    OpenSaveClass reader;
    if (!reader.LoadMovieSource(path)) return false;
    reader.DbLocalToMain(session);
    session.EditMovie().ProjectPath = path;
    RedrawEverything();
    mark.Mark(session.Movie());
    return true;
}

bool SaveProjectCommand(Session& session, SavedMovieMark& mark, SaveMode mode) {
    std::string path;
    if (mode == SaveMode::Save && FileExists(session.Movie().ProjectPath)) path = session.Movie().ProjectPath;
    if (path.empty()) path = ChooseProjectToSave(session.dialogs.projects);
    if (path.empty()) return false;
    session.EditMovie().ProjectPath = path;
    OpenSaveClass writer;
    if (!writer.SaveMovieSource(session.Movie(), path)) return false;
    mark.Mark(session.Movie());
    return true;
}

bool AddClipCommand(Session& session, ClipFileKind kind) {
    const std::string path = ChooseClipFile(session.dialogs.clips, kind);
    if (path.empty()) return false;
    int32_t position = 0;
    int32_t overlayPosition = 0;
    if (const Outcome<int32_t> added =
            AddClip(session.EditMovie(), path, TrackKind::None, position, overlayPosition);
        !added) {
        for (const std::string& message : RefusedClipMessages(path, added.Reason())) MsgBox(message);
        return false;
    }
    if (kind != ClipFileKind::Video) DrawUnusedTrack();
    DrawMovieTracks();
    return true;
}

void RememberFolders(FileDialogMemories& memories, RememberMode mode) {
    const std::pair<FileDialogMemory*, const char*> dialogs[] = {{&memories.clips, "LastFileClip"},
                                                                 {&memories.projects, "LastFileSource"},
                                                                 {&memories.output, "LastFileOutput"}};
    for (const auto& [dialog, key] : dialogs) {
        if (mode == RememberMode::Load) {
            dialog->InitialFolder = InitialFolderOf(ReadSetting("General", key));
        } else if (!dialog->FileName.empty()) {
            // A dialog not used in this session keeps the file remembered from before.
            WriteSetting("General", key, dialog->FileName);
        }
    }
}

std::string HelpTopicPage(const std::string& helpFolder, int topic) {
    const std::string name = std::to_string(topic) + ".html";
    for (const std::string& folder : {helpFolder, AppFolder + "/../share/cinebrix-composer/help"}) {
        if (folder.empty()) continue;
        const std::string page = folder + "/" + name;
        if (FileExists(page)) return std::filesystem::weakly_canonical(page).string();
    }
    return {};
}

}  // namespace composer
