#pragma once
// The file a render writes to: what it may not be, and why writing it failed.
#include <optional>
#include <string>

#include "document/movie_records.h"
#include "render/render_options.h"

namespace composer {

// Why the movie may not be written to fileName, as the message the user reads; nothing when it
// may. A movie is never written over what it is made from: one of its clips' files or its project
// file (links, hard links and ".." seen through). A name whose ending is no movie's is refused
// (OutputNameRefusal). A movie to share (.mp4, .mkv, .webm) larger than 4096 x 4096 pixels in all
// is refused with ShareFrameSizeProblem's text. An existing output that is read-only, or whose
// folder does not let it be replaced, is kept: "The file <name> / already exists and could not be
// deleted / please delete it and try again".
std::optional<std::string> OutputRefusal(const MovieDbRec& movie, const std::string& fileName);

// Why the AVI movie cannot be written with its compressor, told before anything is written: the
// compressor in use (the one CheckCompressor settles on, left in options.compressor) must code a
// frame of the movie's size that decodes back. Nothing for the movies to share, when the compressor
// is chosen in the library's dialog, and when it can.
std::optional<std::string> CompressorSizeRefusal(const MovieDbRec& movie, const std::string& fileName,
                                                 RenderOptions& options);

// The reason a write into `folder` failed, as the writer gave it, followed by
// "<folder>: No space left on device" when that is what it was.
std::string WriteFailureReason(const std::string& writerMessage, const std::string& folder);

}  // namespace composer
