#pragma once
// The main window's menu commands on the session's movie, through the interaction and view seams,
// so that they run and are tested without a window. The window adds its title, its windows and
// the render on a worker thread.
#include <string>

#include "document/movie_changes.h"
#include "document/session.h"

namespace composer {

// Before New, Open or closing drop a movie that changed since it was opened or saved: "Do you
// want to save the changes to <title>?" (Yes / No / Cancel). Yes saves as Save does and goes on
// only when it was saved; No goes on; Cancel stops. An unchanged movie goes on without a question.
bool MayDropMovie(Session& session, SavedMovieMark& mark);

// New: "Create new blank file?" (Yes / No), then the question above; on Yes a new empty movie,
// redrawn. Returns whether the movie was replaced.
bool NewMovieCommand(Session& session, SavedMovieMark& mark);

// Open: the question above, the project dialog, then the load; a loaded project becomes the
// movie, with its path, and is redrawn. A failed load leaves the movie (the reader says why).
bool OpenProjectCommand(Session& session, SavedMovieMark& mark);

enum class SaveMode { Save, SaveAs };

// Save to the project file when it exists (else as Save As); Save As asks for the file. The path
// becomes the movie's project path. Returns whether the project was saved.
bool SaveProjectCommand(Session& session, SavedMovieMark& mark, SaveMode mode);

enum class ClipFileKind { Video, Picture, Audio };

// Add Video Clip, Add Picture, Add Audio: the clip dialog, then the clip appended to the arranged
// track; a file that cannot be added gives path CR LF "Failed to add this file" and why (FailedToAddMessage).
bool AddClipCommand(Session& session, ClipFileKind kind);

// The three file dialogs' remembered files ("LastFileClip", "LastFileSource", "LastFileOutput" of
// section "General"): at load each dialog starts in its remembered file's folder; at close each
// dialog's last file name is stored (a dialog not used in the session keeps the remembered one).
enum class RememberMode { Load = 1, Store = 2 };
void RememberFolders(FileDialogMemories& memories, RememberMode mode);

// The page of a help topic (100 contents, 1020 features, 700 how to, 1040 licence): in `helpFolder`
// (the session's, beside the program), else in the installed share folder; "" when neither has it.
std::string HelpTopicPage(const std::string& helpFolder, int topic);

}  // namespace composer
