// The verdicts of the writing check kept between runs. Finding out whether a compressor writes opens
// its encoder and codes a frame, which for some encoders takes most of a second, so a listing of every
// compressor (the dialogs, `vidmill compressors`) would otherwise try them all on every run. One file in
// the user's cache folder holds the verdict of each handler code tried so far, under a fingerprint of
// the FFmpeg build they were found with; a file of another build, a damaged file or none at all counts
// as empty, and the next verdict replaces it. Every verdict in it comes from a round trip of that build,
// so a compressor that fails its round trip is never taken for one that writes.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace vidmill::compressors {

// Text that differs between FFmpeg builds: the version of each library the check goes through and
// the build's configuration, with the version of the check itself.
std::string FfmpegBuildFingerprint();

// $XDG_CACHE_HOME/vidmill/writing-check, else ~/.cache/vidmill/writing-check; empty when neither
// folder is known (nothing is kept then).
std::string WritingCachePath();

class WritingVerdicts {
  public:
    // Verdicts kept in the file at path (none kept when path is empty) for the build of fingerprint.
    WritingVerdicts(std::string path, std::string fingerprint);

    // The verdict for the handler: the one known in this process, else the file's, else what
    // check() finds, which is then kept in both. A file that cannot be written costs only the time.
    bool verdict(std::uint32_t handler, const std::function<bool()>& check);

  private:
    using Verdicts = std::map<std::uint32_t, bool>;
    // The file's verdicts when it holds this build's, else none.
    Verdicts load() const;
    void save(const Verdicts& verdicts) const;

    std::string path_;
    std::string fingerprint_;
    Verdicts known_;
    bool loaded_ = false;
};

}  // namespace vidmill::compressors
