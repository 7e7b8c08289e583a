#include "commands/render_runner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>

#include "base/app_state.h"
#include "base/failure.h"
#include "document/movie_db.h"

namespace composer {

struct RenderRunner::Work {
    MovieDbRec movie;
    RenderOptions options;
    std::atomic<bool> stop{false};
    RenderOutcome outcome;
    Job job;
};

RenderRunner::RenderRunner() = default;

RenderRunner::~RenderRunner() {
    if (Running()) {
        RequestStop();
        WaitUntilFinished(60'000);
    }
}

bool RenderRunner::Start(Session& session, const std::string& fileName, const RenderOptions& options, Job job,
                         Finished finished) {
    if (Running()) return false;
    auto work = std::make_shared<Work>();
    work->movie = session.Movie();
    work->options = options;
    work->options.stopRequest = &work->stop;
    work->outcome.fileName = fileName;
    work->job = std::move(job);
    work_ = work;
    thread_.reset(QThread::create([work] {
        work->outcome.written =
            GuardCommand(kProgramTitle, [&work] { return work->job(work->movie, work->options); });
        work->outcome.stopped = work->stop.load();
    }));
    QObject::connect(thread_.get(), &QThread::finished, QCoreApplication::instance(),
                     [work, &session, finished = std::move(finished)] {
                         session.TakeRenderResults(work->movie);
                         if (finished) finished(work->outcome);
                     });
    thread_->start();
    return true;
}

bool RenderRunner::Running() const { return thread_ && thread_->isRunning(); }

void RenderRunner::RequestStop() {
    if (Running() && work_) work_->stop = true;
}

bool RenderRunner::WaitUntilFinished(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (Running() && timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        thread_->wait(5);
    }
    // The finish handler is queued on the GUI thread: let it run.
    QCoreApplication::processEvents();
    return !Running();
}

}  // namespace composer
