// A new file that takes the place of an old one only when it is whole.
//
// The content is written under a unique name beside the target ("movie.avi.partial-4711-1"), in
// the target's own folder, so that putting it in place is a rename and never a copy; a target
// name too long for the suffix is shortened in the middle (PartialFileName). Until then the
// target keeps its old content; a writer that fails or is stopped removes the partial file and
// leaves the target as it was, and a record of the partial file lets a later run remove it when
// this one is killed (RemoveStalePartialFiles).
#pragma once

#include <optional>
#include <string>

#include "cbplatform/com_types.h"
#include "cbplatform/partial_files.h"

namespace cb {

class CB_PLATFORM_API StagedFile {
  public:
    // Reserves a new, empty file beside `target`, or beside the file it names when it is a
    // symbolic link (the link stays a link). Nothing, with errno set, when the target exists and
    // is not a regular file (a folder, a device) or when its folder takes no new file.
    static std::optional<StagedFile> Reserve(const std::string& target);
    // Why Reserve failed with `error` (its errno), as a reason for the user: "it is not a regular
    // file" for a device or pipe of that name (/dev/null), else the system's text for `error`.
    static std::string FailureText(const std::string& target, int error);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    // Removes the partial file unless it was put in place.
    ~StagedFile();

    // Where the new content is written.
    const std::string& path() const { return path_; }
    // The file it replaces.
    const std::string& target() const { return target_; }

    // Renames the file over the target; the target's permission bits carry over. False, with
    // errno set, when the rename fails: the partial file is removed then and the target unchanged.
    bool commit();
    // Removes the partial file now.
    void discard();

  private:
    StagedFile(std::string target, std::string path, PartialRecord record)
        : target_(std::move(target)), path_(std::move(path)), record_(std::move(record)) {}

    std::string target_;
    std::string path_;  // empty once committed or discarded
    PartialRecord record_;
};

}  // namespace cb
