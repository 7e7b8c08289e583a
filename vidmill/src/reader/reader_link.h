// The link from handed-out frame and enumerator objects to their reader. The reader clears it when
// it is destroyed; the objects stay alive for their holders and then report that their reader is
// gone. They never keep the reader alive themselves.
#pragma once

#include <memory>

namespace vidmill {

class TAviReader;

struct ReaderLink {
    TAviReader* reader = nullptr;
};
using ReaderLinkPtr = std::shared_ptr<ReaderLink>;

// Literal text, the same in every language of the library.
inline constexpr char kReaderFreedMessage[] = "AviReader object already freed";

}  // namespace vidmill
