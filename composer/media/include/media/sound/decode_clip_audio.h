#pragma once
// Decoding a clip's sound into the file-backed buffers its cache fields name, ready for the mix.
//
// The decoded and converted buffers of a clip are cached in its record (CacheLeftFile,
// CacheRightFile, CacheBits, CacheChannels, CacheRate, CacheFrames) and reused by later renders as
// long as the output format is unchanged; a rate change always starts again from the samples as
// decoded from the clip's WAV file.
#include <cstdint>

#include "document/file_carr_buff_class.h"
#include "document/movie_records.h"

namespace composer {

// Decodes clip `clipIndex`'s AudioFile into buffers whose files are named in its cache fields, with
// the wait cursor shown. On failure the cache names are left empty.
void DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex, int32_t blockLimit = kDefaultBlockLimit);

}  // namespace composer
