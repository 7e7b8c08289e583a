#include "base/view.h"

namespace composer {

namespace {

View* installed = nullptr;

ConsoleView& Console() {
    static ConsoleView console;
    return console;
}

}  // namespace

View& Views() { return installed ? *installed : Console(); }
void SetView(View* view) { installed = view; }
View* InstalledView() { return installed; }

void DrawMovieTracks() { Views().DrawMovieTracks(); }
void DrawUnusedTrack() { Views().DrawUnusedTrack(); }
void DrawClipPanel() { Views().DrawClipPanel(); }

ScopedView::ScopedView(View& view) : previous_(installed) { installed = &view; }
ScopedView::~ScopedView() { installed = previous_; }

}  // namespace composer
