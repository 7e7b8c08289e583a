#pragma once
// A render started from the windows runs on a worker thread, on a copy of the movie, so that the
// windows keep repainting and moving meanwhile. The engine reaches the user through the seams
// (whose Qt side hands every call to the GUI thread). When the worker ends, what the render learnt
// (the output path, the repaired output settings, the decoded sound caches) goes back into the
// session through Session::TakeRenderResults and the finish handler runs on the GUI thread.
#include <functional>
#include <memory>
#include <string>

#include "document/movie_records.h"
#include "document/session.h"
#include "render/render_options.h"

class QThread;

namespace composer {

struct RenderOutcome {
    bool written = false;  // the movie was written completely
    bool stopped = false;  // the user stopped it
    std::string fileName;  // the movie file
};

class RenderRunner {
  public:
    // The render itself: runs on the worker with the copy of the movie and the options (whose stop
    // request is the runner's).
    using Job = std::function<bool(MovieDbRec& movie, RenderOptions& options)>;
    using Finished = std::function<void(const RenderOutcome&)>;

    RenderRunner();
    ~RenderRunner();
    RenderRunner(const RenderRunner&) = delete;
    RenderRunner& operator=(const RenderRunner&) = delete;

    // Starts a render of a copy of the session's movie into fileName with the options; false when one
    // is already running. The session must outlive the render.
    bool Start(Session& session, const std::string& fileName, const RenderOptions& options, Job job,
               Finished finished);
    bool Running() const;
    // Asks the render to stop after its current frame; it then closes and removes the partial file.
    void RequestStop();
    // Waits for the worker, keeping the GUI thread's events flowing (the worker may be waiting for a
    // dialog). Returns whether it ended within the time.
    bool WaitUntilFinished(int milliseconds);

  private:
    struct Work;
    std::unique_ptr<QThread> thread_;
    std::shared_ptr<Work> work_;
};

}  // namespace composer
