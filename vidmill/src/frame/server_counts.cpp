#include "frame/server_counts.h"

#include <atomic>

namespace vidmill {

namespace {
std::atomic<long> objects{0};
std::atomic<long> locks{0};
}  // namespace

void CountObject(bool created) { objects.fetch_add(created ? 1 : -1, std::memory_order_acq_rel); }
long ObjectCount() { return objects.load(std::memory_order_acquire); }
void CountLock(bool locked) { locks.fetch_add(locked ? 1 : -1, std::memory_order_acq_rel); }
long LockCount() { return locks.load(std::memory_order_acquire); }

}  // namespace vidmill
