#include "document/open_project.h"

#include "base/files.h"
#include "base/text_number.h"
#include "base/view.h"
#include "document/open_save_class.h"

namespace composer {

std::string ProjectPathFromCommandLine(const std::string& text) {
    std::string path = TrimSpaces(text);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = TrimSpaces(path.substr(1, path.size() - 2));
    if (path.size() < 6 || LowerAscii(path.substr(path.size() - 6)) != ".cbmov") return {};
    return path;
}

bool OpenProjectFromCommandLine(Session& session, const std::string& text) {
    const std::string path = ProjectPathFromCommandLine(text);
    if (path.empty() || !FileExists(path)) return false;
    OpenSaveClass reader;
    if (!reader.LoadMovieSource(path)) return false;
    reader.DbLocalToMain(session);
    session.EditMovie().ProjectPath = path;
    DrawMovieTracks();
    DrawUnusedTrack();
    DrawClipPanel();
    return true;
}

}  // namespace composer
