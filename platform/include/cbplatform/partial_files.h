// The names of partial files and the record that lets a later run clear up after a run that died.
//
// A partial file lies beside its target ("movie.avi.partial-4711-1"), wherever the user writes.
// A run that ends normally or by a signal removes it, but one that is killed (SIGKILL, a crash,
// an abort, a power cut) cannot. So while a partial file exists, a small record of it is kept in
// this user's state folder, naming the file, the process that writes it and when that process
// started; at start the program and the tool remove the partial files whose process is gone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cbplatform/com_types.h"

namespace cb {

// The name of the partial file number `counter` of process `processId` for a target called
// `targetName` (a name, no folder), in a folder whose names hold at most `nameMaxBytes` bytes:
// "TARGET.partial-PID-N". A target name too long for that keeps its start and its end (so its
// extension) around a "~" and a hash of the whole name, cut between UTF-8 characters.
CB_PLATFORM_API std::string PartialFileName(const std::string& targetName, std::int64_t processId,
                                            unsigned counter, std::size_t nameMaxBytes);

// Whether `name` (no folder) is the name of a partial file of process `processId`.
CB_PLATFORM_API bool IsPartialFileName(const std::string& name, std::int64_t processId);

// Where the records are kept: $XDG_STATE_HOME/cinebrix/partial, else ~/.local/state/cinebrix/partial.
CB_PLATFORM_API std::string PartialRecordFolder();

// The record of one partial file of this process; the record file is removed when this goes.
class CB_PLATFORM_API PartialRecord {
  public:
    // Writes a record for `partialPath` (made absolute) in `recordFolder`. An empty record when it
    // cannot be written: the partial file is still removed by its writer, only a killed run
    // would leave it.
    static PartialRecord Write(const std::string& partialPath, const std::string& recordFolder);

    PartialRecord() = default;
    PartialRecord(PartialRecord&& other) noexcept;
    PartialRecord& operator=(PartialRecord&& other) noexcept;
    PartialRecord(const PartialRecord&) = delete;
    PartialRecord& operator=(const PartialRecord&) = delete;
    ~PartialRecord();

    // The record file; empty when none was written or it was removed.
    const std::string& path() const { return path_; }
    // Removes the record file now.
    void remove();

  private:
    explicit PartialRecord(std::string path) : path_(std::move(path)) {}
    std::string path_;
};

// Whether a process of that id exists (also one of another user). Ids of 0 and below, which name
// no single process, count as existing, so that nothing is removed for them.
CB_PLATFORM_API bool ProcessExists(std::int64_t processId);

// When process `processId` started (in clock ticks after boot, from /proc); nothing when it does
// not run or that cannot be read.
CB_PLATFORM_API std::optional<std::uint64_t> ProcessStartTime(std::int64_t processId);

// Removes what the records in `recordFolder` name for processes that are gone (no such process,
// or one of that id that started at another time): the partial file, when it is a regular file
// of this user named as a partial file of that process (anything else is left alone), and the
// record. Records of running processes stay.
CB_PLATFORM_API void RemoveStalePartialFiles(const std::string& recordFolder = PartialRecordFolder());

}  // namespace cb
