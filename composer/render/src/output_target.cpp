#include "output_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/failure.h"
#include "base/files.h"
#include "cbplatform/file_checks.h"
#include "media/containers/container_movie_writer.h"
#include "media/library/velc_avi_writer_class.h"
#include "render/output_name.h"

namespace composer {
namespace {

constexpr const char* kLineEnd = "\r\n";

// A file marked read-only is the user's way of keeping it: it is not replaced by a movie, although
// the folder would allow it.
bool ReadOnlyFile(const std::string& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 && (facts.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// The new movie takes the old one's place by a rename in its folder, which the folder must allow.
bool Replaceable(const std::string& path) {
    if (!FileExists(path)) return true;
    return !ReadOnlyFile(path) && ::access(cb::FolderOf(path).c_str(), W_OK | X_OK) == 0;
}

std::optional<std::string> OwnFileRefusal(const MovieDbRec& movie, const std::string& fileName) {
    const std::string never = "A movie is never written over what it is made from: choose another file.";
    if (cb::SameFile(fileName, movie.ProjectPath)) {
        return "The file " + fileName + kLineEnd + "is the project file of this movie." + kLineEnd + never;
    }
    for (int32_t i = 1; i <= movie.ClipCount && i < static_cast<int32_t>(movie.Clips.size()); ++i) {
        const ClipRec& clip = movie.Clips[static_cast<std::size_t>(i)];
        if (!cb::SameFile(fileName, clip.FilePath)) continue;
        return "The file " + fileName + kLineEnd + "is the source of the clip " + clip.ClipName +
               " of this movie." + kLineEnd + never;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> OutputRefusal(const MovieDbRec& movie, const std::string& fileName) {
    if (auto refusal = OwnFileRefusal(movie, fileName)) return refusal;
    if (auto refusal = OutputNameRefusal(fileName)) return refusal;
    if (ShareFormatOfFile(fileName) != ShareFormat::None) {
        const std::string problem = ShareFrameSizeProblem(movie.OutWidth, movie.OutHeight);
        if (!problem.empty()) return problem;
    }
    if (Replaceable(fileName)) return std::nullopt;
    return "The file " + fileName + kLineEnd + "already exists and could not be deleted" + kLineEnd +
           "please delete it and try again";
}

std::optional<std::string> CompressorSizeRefusal(const MovieDbRec& movie, const std::string& fileName,
                                                 RenderOptions& options) {
    if (ShareFormatOfFile(fileName) != ShareFormat::None || options.showCompressorDialog) return std::nullopt;
    VelcAviWriterClass::CheckCompressor(options.compressor);
    std::optional<std::string> problem;
    try {
        problem = VelcAviWriterClass::FrameSizeProblem(options.compressor, movie.OutWidth, movie.OutHeight);
    } catch (const Failure& unreachable) {
        problem = unreachable.what();
    }
    if (!problem) return std::nullopt;
    return "The movie cannot be written to " + fileName + kLineEnd + *problem + kLineEnd +
           "Choose another compressor or another frame size in the movie's properties.";
}

std::string WriteFailureReason(const std::string& writerMessage, const std::string& folder) {
    if (!cb::FailedForWantOfRoom(writerMessage, folder)) return writerMessage;
    return writerMessage + kLineEnd + folder + ": " + std::strerror(ENOSPC);
}

}  // namespace composer
