// Whether a compressor really writes: a small frame is encoded the way the writer would encode it
// and decoded again by the decoder of the code written into the file, so that the compressor list
// never offers a compressor whose files nobody can read back.
#pragma once

#include "compressors/compressor_catalog.h"

namespace vidmill::compressors {

// How a frame fared: coded and decoded back, refused by every input layout the encoder was opened
// with, or coded into something that does not decode back at that size.
enum class RoundTrip { DecodesBack, DoesNotOpen, DoesNotDecode };

// The round trip of one width x height frame through the handler's encoder and back, as below.
RoundTrip TryRoundTrip(const CompressorInfo& compressor, int width, int height);

// True when the writer's encoder for the handler opens for a width x height frame (24-bit first,
// else 32-bit, as the writer tries them) and the picture it makes decodes back to that size.
// "DIB " always writes; a code without an encoder never does.
bool EncodesAndDecodesBack(const CompressorInfo& compressor, int width, int height);

}  // namespace vidmill::compressors
