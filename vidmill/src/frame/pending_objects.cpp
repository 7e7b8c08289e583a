// Objects whose members are not built yet: every member reports "Not implemented yet" with
// E_NOTIMPL. Each class leaves this file when its real implementation arrives.
#include "frame/class_table.h"

namespace vidmill {}  // namespace vidmill
