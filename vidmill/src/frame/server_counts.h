// The server's object and lock counts, which decide whether the library may be unloaded.
#pragma once

namespace vidmill {

// Counts an object made (true) or destroyed (false).
void CountObject(bool created);
long ObjectCount();
// Counts a LockServer(TRUE) (true) or LockServer(FALSE) (false).
void CountLock(bool locked);
long LockCount();

}  // namespace vidmill
