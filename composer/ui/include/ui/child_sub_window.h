#pragma once
// The frame of a child window of the main window that the user can only minimize (the mixer, clip
// and play windows): closing it minimizes it, and the program's exit unloads it after storing its
// place ("Window Position" of its settings section) when it is in its normal state.
#include <QMdiSubWindow>
#include <functional>
#include <string>

#include "commands/mixer_placement.h"

namespace composer {

class ChildSubWindow : public QMdiSubWindow {
  public:
    // `restore` turns the stored text and the work area's inner size (twips) into a place.
    using PlacementRule = std::function<WindowPlacement(const std::string& stored, int width, int height)>;
    ChildSubWindow(QWidget* content, std::string section, PlacementRule rule);

    // Load: the stored place inside a work area of the given size in pixels.
    void RestorePlacement(QSize workArea);
    // Exit: stores the place when the window is in its normal state (and then runs `whenNormal`,
    // which stores what else the window keeps), runs `beforeClose`, then closes for good.
    void Unload(const std::function<void()>& whenNormal = {}, const std::function<void()>& beforeClose = {});

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::string section_;
    PlacementRule rule_;
    bool unloading_ = false;
};

}  // namespace composer
