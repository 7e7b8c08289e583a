#pragma once
// A sound event of the timeline plan: an audio clip heard from StartTime to EndTime (seconds on the
// movie timeline). The plan keeps them 1-based (entry 0 unused), as AudioEvents 1 .. AudioEventCount.
#include <cstdint>

namespace composer {

struct AudioEvent {
    int32_t Clip = 0;           // clip index
    double StartTime = 0.0;     // seconds
    double EndTime = 0.0;       // StartTime + the clip's AudioDuration, or + HeardLength when that is set
    double SourceStart = 0.0;   // seconds into the clip's sound of the first sample heard
    double HeardLength = -1.0;  // seconds of it heard; below 0: the whole sound from SourceStart
};

}  // namespace composer
