// The last step of a file with sound: the video already written and the spooled sound track are
// copied into the final file, interleaved by time so that players can stream it.
#pragma once

#include <string>

#include "writer/sound_track.h"

namespace vidmill::writer {

// Writes target from the video stream of the AVI file videoPath and the sound track.
// Throws Error when reading the video, writing the target or the sound fails.
void WriteInterleaved(const std::string& videoPath, SoundTrack& sound, const std::string& target);

}  // namespace vidmill::writer
