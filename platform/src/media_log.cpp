#include "cbplatform/media_log.h"

extern "C" {
#include <libavutil/log.h>
}

namespace cb {

void QuietMediaLog() { av_log_set_level(AV_LOG_FATAL); }

}  // namespace cb
