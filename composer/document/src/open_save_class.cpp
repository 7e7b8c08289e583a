#include "document/open_save_class.h"

#include <unistd.h>

#include <ctime>
#include <exception>
#include <string>

#include "base/failure.h"
#include "base/files.h"
#include "base/folders.h"
#include "base/interaction.h"
#include "base/text_number.h"
#include "document/clip_limits.h"
#include "document/enc_dec.h"
#include "document/movie_db.h"
#include "document/project_file.h"
#include "document/project_file_move.h"
#include "document/project_words.h"
#include "document/source_refresh.h"

namespace composer {

namespace {

constexpr const char* kLoadErrorTitle = "Error Loading File";
constexpr const char* kOpenErrorTitle = "Error Opening File";

// A new, empty file beside the target whose name nobody else uses ("movie.CbMov.saving-Ab12Cd"),
// so staging a save never replaces a user's file; empty when the folder takes no new file.
std::string ReserveStagingName(const std::string& path) {
    std::string pattern = path + ".saving-XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) return "";
    ::close(descriptor);
    return pattern;
}

void ShowSourceList(const std::vector<std::string>& missing) {
    if (missing.empty()) return;
    std::string text = "Source file not found\r\n";
    for (const std::string& path : missing) text += path + "\r\n";
    MsgBox(text);
}

// Why the header does not name a project of the one file version this program reads; "" when it
// does. A file without the version line is not a project file at all.
std::string FileVersionProblem(const std::string& fileBytes) {
    const std::string version = HeaderValueInBytes(fileBytes, "File Version", "");
    if (version.empty()) return "is not a project file: it has no \"File Version=\" line.";
    const double number = LeadingNumber(version);
    if (number == 1) return "";
    if (number > 1)
        return "is of project file version " + version + ", which is newer than this program reads (1).";
    return "is not a project file: its file version \"" + version + "\" is not 1.";
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool OpenSaveClass::LoadMovieSource(const std::string& path) {
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        MsgBox("The project file " + path + " could not be read.", MsgButtons::OK, kLoadErrorTitle);
        return false;
    }
    const std::string versionProblem = FileVersionProblem(*bytes);
    if (!versionProblem.empty()) {
        MsgBox("The file " + path + " " + versionProblem, MsgButtons::OK, kLoadErrorTitle);
        return false;
    }
    if (!ReadDataBlock(*bytes, path)) return false;
    return GuardCommand(kOpenErrorTitle, [&] { CheckSources(path); });
}

bool OpenSaveClass::ReadDataBlock(const std::string& fileBytes, const std::string& path) {
    try {
        const std::optional<std::vector<int32_t>> block = DataBlockInBytes(fileBytes);
        if (!block) {
            MsgBox("Filed to find Data\r\n" + path, MsgButtons::OK, kLoadErrorTitle);
            return false;
        }
        const std::vector<int32_t> words = EncDecClass().ListOpen(*block, "");
        if (words.size() < 2) throw Failure("The data block is damaged: its check word does not match.");
        local_ = WordsToMovie(words);
        // Settings no movie can be made with, and clip values no editing produces, are refused
        // here, before a render acts on them.
        const std::string problem = MovieValuesProblem(local_);
        if (!problem.empty()) throw Failure(problem + ".");
        return true;
    } catch (...) {
        // A damaged block, or one too large for memory: nothing reaches the session either way.
        MsgBox("The project file " + path + " cannot be read. " + CurrentFailureText(), MsgButtons::OK,
               kLoadErrorTitle);
        return false;
    }
}

void OpenSaveClass::CheckSources(const std::string& path) {
    ShowSourceList(RelocateSources(local_, path));
    for (int32_t i = 1; i <= local_.ClipCount; ++i) {
        ClipRec& clip = local_.Clips[i];
        if (!FileExists(clip.FilePath)) continue;
        const std::string warnings = RefreshClip(clip, probe_);
        if (!warnings.empty())
            MsgBox("Clip name = " + clip.ClipName + "\r\nFile name = " + clip.FilePath + "\r\n" + warnings);
    }
}

void OpenSaveClass::DbLocalToMain(Session& session) const { session.ReplaceMovie(local_); }

std::string OpenSaveClass::ProjectFileBytes(const MovieDbRec& movie) {
    std::vector<int32_t> block = EncDecClass().ListClose(MovieToWords(movie), "");
    block[0] = static_cast<int32_t>(block.size() - 1);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FileHeaderText(local) + WordBytes(block) + FileTrailerText();
}

bool OpenSaveClass::WriteDataFile(const MovieDbRec& movie, const std::string& path) {
    const std::string temporary = NewTempFileName("CbMov");
    // The complete file is first put beside the target (the work folder may be on another file
    // system); only then does the old project go to the trash and the new one take its name.
    const std::string staged = ReserveStagingName(path);
    const bool ready =
        !staged.empty() && WriteWholeFile(temporary, ProjectFileBytes(movie)) && MoveFile(temporary, staged);
    DeleteFileChecked(temporary);
    if (!ready || (FileExists(path) && !DeleteFiles(path)) || !MoveFile(staged, path)) {
        if (!staged.empty()) DeleteFileChecked(staged);
        return false;
    }
    return true;
}

bool OpenSaveClass::SaveMovieSource(const MovieDbRec& movie, const std::string& path) {
    local_ = movie;
    std::string reason;
    try {
        if (WriteDataFile(local_, path)) return true;
    } catch (...) {
        reason = "\r\n" + CurrentFailureText();
    }
    MsgBox("The project could not be saved as " + path + "." + reason, MsgButtons::OK, "Error Saving File");
    return false;
}

}  // namespace composer
