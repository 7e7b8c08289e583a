#pragma once
// Application state kept by the start-up module for the whole run. The names are those the rest of
// the program uses; every routine of the program may read them.
#include <cstdint>
#include <string>

namespace composer {

// The program's title, used in window titles and as the default title of every message box.
inline constexpr const char* kProgramTitle = "Cinebrix Composer";
// The release name quoted in the low-memory message.
inline constexpr const char* kProgramRelease = "Oct2003";

extern std::string AppFolder;     // folder of the program file, no trailing separator
extern std::string TempFolder;    // system temporary folder (or AppFolder), no trailing separator
extern std::string WorkFolder;    // this run's folder inside TempFolder; holds every temporary file
extern std::string HelpFilePath;  // the help pages the help commands open; empty when cleared
extern bool ShowUserGuide;        // whether user-guide tips are shown at all
extern int32_t MemoryBudget;      // bytes that in-memory buffers may use; at least 10,000,000
extern int32_t TempFileCounter;   // last number used for a temporary file name; 0 at start
extern int32_t OutCompressor;     // handler code of the output video compressor; 0 = "No compression"
extern double TestPlayStart;      // seconds into the movie where a part test play starts
extern double TestPlayDuration;   // seconds of a part test play
extern int32_t UnusedTrackX;      // x of the first box of the mixer's unused track
extern int32_t ArrangedTrackX;    // x of the first box of the mixer's arranged and overlay tracks
extern int32_t ClipViewScale;     // the clip window shows one frame for every ClipViewScale frames

// How the output's frames are coded beyond the choice of compressor.
struct OutputCoding {
    int32_t keyFrameInterval = 0;        // frames between key frames; 0 = the compressor's own
    int32_t shareQuality = 20;           // constant rate factor of an .mp4, .mkv or .webm movie
    std::string sharePreset = "medium";  // the H.264 encoder's speed for those movies
    bool sharpPixels = false;            // scale pictures point-sampled instead of filtered
};
extern OutputCoding OutCoding;

// The lower limit of MemoryBudget, and its value before CheckPhysicalMemory has run.
inline constexpr int32_t kMinimumMemoryBudget = 10'000'000;

}  // namespace composer
