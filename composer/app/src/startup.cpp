#include "app/startup.h"

#include "app/output_settings.h"
#include "base/app_state.h"
#include "base/failure.h"
#include "base/folders.h"
#include "base/guide.h"
#include "base/memory.h"
#include "base/settings.h"
#include "cbplatform/stop_signals.h"
#include "document/movie_db.h"

namespace composer {

void ResetTrackPositions() {
    UnusedTrackX = 20;
    ArrangedTrackX = 20;
    ClipViewScale = 1;
}

void RunStartupSteps() {
    InitFolders();
    CheckPhysicalMemory();
    ReadOutputSettings(MainDb);
    ReadUserGuideSetting();
    ResetTrackPositions();
    ClearMovie(MainDb);
}

void RunExitSteps(const std::function<void()>& windowSteps) {
    WriteOutputSettings(MainDb);
    if (windowSteps) windowSteps();
    ClearHelpFile();
    RemoveWorkFolder();
}

bool RunCommand(SettingsFiles settings, const std::function<bool()>& body) {
    SetSettingsFilesWritable(settings == SettingsFiles::Written);
    cb::InstallStopSignals();
    // Nothing may end the program without its exit steps, which remove the work folder.
    const bool succeeded = GuardCommand("cinebrix-composer", body);
    RunExitSteps();
    return succeeded;
}

}  // namespace composer
