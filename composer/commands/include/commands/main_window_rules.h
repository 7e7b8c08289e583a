#pragma once
// The main window's rules that need no window: its title, the remembered dialog folders and the
// file dialogs' filters as the desktop's dialog takes them.
#include <string>
#include <vector>

#include "document/movie_records.h"

namespace composer {

// "Cinebrix Composer - " + movie title + " [" + the project file's name, or "New file" + "]".
std::string MainWindowTitle(const MovieDbRec& movie);

// The folder a remembered file name starts its dialog in: the text up to and including its last
// separator ('/' or '\'), or "" when it is blank or names no folder.
std::string InitialFolderOf(const std::string& rememberedFile);

// "description|patterns|..." as one entry per pair for the desktop dialog, which reads the
// patterns from the entry's last parentheses: "Picture files (bmp, jpg, gif) (*.bmp *.jpg *.gif)";
// a description that already ends in its patterns is kept as it is.
std::vector<std::string> DialogFilters(const std::string& filter);

}  // namespace composer
