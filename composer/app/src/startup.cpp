#include "app/startup.h"

#include "app/output_settings.h"
#include "base/failure.h"
#include "base/folders.h"
#include "base/guide.h"
#include "base/memory.h"
#include "base/settings.h"
#include "cbplatform/stop_signals.h"
#include "document/movie_db.h"

namespace composer {

void ResetTrackPositions(Session& session) { session.view = MixerView{}; }

void RunStartupSteps(Session& session) {
    InitFolders();
    CheckPhysicalMemory(session.memoryBudget);
    ReadOutputSettings(session);
    ReadUserGuideSetting(session);
    ResetTrackPositions(session);
    ClearMovie(session.EditMovie());
}

void RunExitSteps(Session& session, const std::function<void()>& windowSteps) {
    WriteOutputSettings(session);
    if (windowSteps) windowSteps();
    session.helpFolder.clear();
    RemoveWorkFolder();
}

bool RunCommand(Session& session, SettingsFiles settings, const std::function<bool()>& body) {
    SetSettingsFilesWritable(settings == SettingsFiles::Written);
    cb::InstallStopSignals();
    // Nothing may end the program without its exit steps, which remove the work folder.
    const bool succeeded = GuardCommand("cinebrix-composer", body);
    RunExitSteps(session);
    return succeeded;
}

}  // namespace composer
