#pragma once
// The view seam: the document and the engine ask for redraws of the mixer's tracks and of the
// current-clip panel; the windows fulfil the requests, and headless nothing is drawn.
#include <string>
#include <vector>

namespace composer {

class View {
  public:
    virtual ~View() = default;
    virtual void DrawMovieTracks() = 0;  // the arranged and overlay tracks
    virtual void DrawUnusedTrack() = 0;  // the unused shelf
    virtual void DrawClipPanel() = 0;    // the current-clip information panel
};

// Headless: every request is ignored.
class ConsoleView : public View {
  public:
    void DrawMovieTracks() override {}
    void DrawUnusedTrack() override {}
    void DrawClipPanel() override {}
};

// Tests: records the requests in order, by name ("DrawMovieTracks", ...).
class ScriptedView : public View {
  public:
    std::vector<std::string> requests;
    void DrawMovieTracks() override { requests.emplace_back("DrawMovieTracks"); }
    void DrawUnusedTrack() override { requests.emplace_back("DrawUnusedTrack"); }
    void DrawClipPanel() override { requests.emplace_back("DrawClipPanel"); }
};

// The view in use; a ConsoleView until something is installed.
View& Views();
// Installs a view (not owned; it must outlive its use). nullptr returns to the console view.
void SetView(View* view);
View* InstalledView();

// The three redraw requests, sent to the view in use.
void DrawMovieTracks();
void DrawUnusedTrack();
void DrawClipPanel();

// Installs a view for the lifetime of the object and restores the previous one after.
class ScopedView {
  public:
    explicit ScopedView(View& view);
    ~ScopedView();
    ScopedView(const ScopedView&) = delete;
    ScopedView& operator=(const ScopedView&) = delete;

  private:
    View* previous_;
};

}  // namespace composer
