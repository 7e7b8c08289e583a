#pragma once
// OpenSaveClass reads and writes project files (.CbMov, layout in project_file.h, data words in
// project_words.h). It works on a record of its own: a load fills it and only DbLocalToMain puts it
// into the session, so a failed load leaves the session's movie as it was; a save copies the movie it
// is given into it first.
#include <string>
#include <vector>

#include "document/movie_records.h"
#include "document/session.h"
#include "document/source_probe.h"

namespace composer {

class OpenSaveClass {
  public:
    // The refresh of loaded clips reads their sources through `probe`.
    explicit OpenSaveClass(SourceProbe& probe = Sources()) : probe_(probe) {}

    // Reads a project into the local record:
    // 1. "File Version" must read as 1 (a missing line reads "0"); otherwise false, without a message.
    // 2. The data block: no "Data=" gives "Filed to find Data" (title "Error Loading File"); a block that
    //    is truncated, fails its check word or holds counts or lengths it cannot hold gives a text
    //    saying what is wrong, with the same title.
    // 3. Clip sources that are missing are looked for in the project's folder; those found nowhere are
    //    listed in one message "Source file not found" CR LF + each path + CR LF.
    // 4. Every clip whose source exists is refreshed (source_refresh.h); each clip's warnings are shown
    //    in one message "Clip name = " name CR LF "File name = " path CR LF + the warnings.
    // Any other failure is shown with the title "Error Opening File". Returns true when loaded.
    bool LoadMovieSource(const std::string& path);

    // Puts a copy of the local record into the session as its movie.
    void DbLocalToMain(Session& session) const;

    // Copies `movie` into the local record and writes it to `path`: the whole file goes to a new
    // temporary file first, and only a complete file replaces the target; the replaced project goes
    // to the trash. A failure is shown with the title "Error Saving File"; returns whether it was saved.
    bool SaveMovieSource(const MovieDbRec& movie, const std::string& path);

    // Writes a record as a project file at `path` the same way (the body of SaveMovieSource).
    static bool WriteDataFile(const MovieDbRec& movie, const std::string& path);

    // The whole file of a record, saved at the current local time.
    static std::string ProjectFileBytes(const MovieDbRec& movie);

    // The local record.
    MovieDbRec& Local() { return local_; }

  private:
    bool ReadDataBlock(const std::string& fileBytes, const std::string& path);
    void CheckSources(const std::string& path);

    SourceProbe& probe_;
    MovieDbRec local_;
};

}  // namespace composer
