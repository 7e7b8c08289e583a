#pragma once
// What every layer may read: the title, the run's folders (set by InitFolders before other threads run) and
// the temporary-name counter (one per work folder, shared by all threads naming files there, so no copy
// of the session has its own); and the records of the settings the session (document/session.h) holds.
#include <atomic>
#include <cstdint>
#include <string>

namespace composer {

// The program's title, used in window titles and as the default title of every message box.
inline constexpr const char* kProgramTitle = "Cinebrix Composer";
// The release name quoted in the low-memory message.
inline constexpr const char* kProgramRelease = "Oct2003";

extern std::string AppFolder;   // folder of the program file, no trailing separator
extern std::string TempFolder;  // system temporary folder (or AppFolder), no trailing separator
extern std::string WorkFolder;  // this run's folder inside TempFolder; holds every temporary file
// The last number used for a temporary file name; 0 at start. Every thread names its files in the one
// work folder (a render on the worker as much as the windows), so the numbers are drawn atomically.
extern std::atomic<int32_t> TempFileCounter;

// The notices shown at most once per run: whether each was shown. An object that may show one is given
// the flags to remember it in; one given none shows its notice every time.
struct NoticeFlags {
    bool compressedAudioShown = false;  // compressed sound cannot be turned into plain WAV
    bool noSoundDeviceShown = false;    // there is no sound device to play on
};

// How the output's frames are coded beyond the choice of compressor.
struct OutputCoding {
    int32_t keyFrameInterval = 0;        // frames between key frames; 0 = the compressor's own
    int32_t shareQuality = 20;           // constant rate factor of an .mp4, .mkv or .webm movie
    std::string sharePreset = "medium";  // the H.264 encoder's speed for those movies
    bool sharpPixels = false;            // scale pictures point-sampled instead of filtered
};

// The output movie's coding choices that are no part of a movie record (the settings file keeps them).
struct OutputChoices {
    int32_t compressor = 0;  // handler code of the output video compressor; 0 = "No compression"
    OutputCoding coding;
};

// The part test play: which seconds of the movie it renders and plays.
struct TestPlaySpan {
    double startSeconds = 0.0;      // where it starts
    double durationSeconds = 10.0;  // how long it is
};

// Where the mixer's tracks are scrolled to and how far the clip window steps.
struct MixerView {
    int32_t unusedTrackX = 20;    // x of the first box of the mixer's unused track
    int32_t arrangedTrackX = 20;  // x of the first box of the mixer's arranged and overlay tracks
    int32_t clipViewScale = 1;    // the clip window shows one frame for every clipViewScale frames
};

// The lower limit of the memory budget, and its value before CheckPhysicalMemory has run.
inline constexpr int32_t kMinimumMemoryBudget = 10'000'000;

}  // namespace composer
