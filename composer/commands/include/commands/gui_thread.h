#pragma once
// Running a piece of work on the thread of the windows. The render runs on a worker thread and
// reaches the user through the seams; every widget call it causes must happen on the GUI thread.
#include <functional>

namespace composer {

// Whether the caller is the GUI thread (also true before the application object exists).
bool OnGuiThread();

// Runs `work` on the GUI thread and waits for it: at once when called there.
void RunOnGuiThread(const std::function<void()>& work);

// Queues `work` for the GUI thread without waiting: at once when called there.
void PostToGuiThread(std::function<void()> work);

}  // namespace composer
