#pragma once
// The program's main window: a work area holding the mixer, clip and play windows, the menu bar, and the
// status bar whose help line every window writes to. Its commands are in ui/main_commands.h; here are the
// menus, the title, the renders on a worker thread, the help window and the close order: the output settings,
// the remembered folders, the windows, the help, the work folder.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "base/view.h"
#include "commands/render_runner.h"
#include "document/movie_changes.h"
#include "document/session.h"

class QAction;
class QMenu;
class QLabel;
class QMdiArea;
class QTextBrowser;

namespace composer {

class ChildSubWindow;
class MixerSubWindow;
class MixerWindow;
class OneClip_Frm;
class PlayFrm;

class MainWindow : public QMainWindow {
  public:
    // The exit steps of the program, which run the window's own steps in their middle. Without
    // them the window runs only its own steps.
    using ExitSteps = std::function<void(const std::function<void()>& windowSteps)>;

    explicit MainWindow(Session& session, ExitSteps exitSteps = {});
    ~MainWindow() override;

    // Load: the size (0.9 of the screen), the title, the help pages, the remembered folders, and
    // the mixer in its stored place. Call once, after show().
    void Load();

    void UpdateMainAppTitle();
    // Ends the program at once (a signal from the session): a render is stopped, no question is
    // asked, the exit steps run and the event loop ends with `status`.
    void EndSession(int status);
    // The movie as it is now counts as saved (after a command-line open).
    void MarkMovieSaved();

    MixerWindow* Mixer() const;
    MixerSubWindow* MixerFrame() const { return mixerFrame_; }
    OneClip_Frm* ClipWindow() const { return clip_; }
    ChildSubWindow* ClipFrame() const { return clipFrame_; }
    PlayFrm* PlayWindow() const { return play_; }
    ChildSubWindow* PlayFrame() const { return playFrame_; }
    QMdiArea* WorkArea() const { return workArea_; }
    QLabel* HelpLine() const { return helpLine_; }
    QTextBrowser* HelpBrowser() const { return helpBrowser_; }
    RenderRunner& Renders() { return renders_; }
    // The menu command with the given object name ("NewMnu", "SaveMnu1", "HelpMnu0" ...).
    QAction* Action(const char* objectName) const;

    // The commands that render on the worker thread: Save Movie asks for the file first.
    void SaveMovie();
    void SaveMovieTo(const std::string& fileName);
    void PartTestPlay();
    // Brings the play window up (from minimized, where it waits while idle) over the others.
    void ShowPlayWindow();
    void OpenHelpTopic(int topic);

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class WindowView;

    void BuildMenus();
    QAction* AddCommand(QMenu* menu, const char* objectName, const QString& caption,
                        std::function<void()> command);
    void RunCommand(const std::function<void()>& command);
    void StartRender(const std::string& fileName, RenderRunner::Job job,
                     std::function<void(const RenderOutcome&)> finished);
    void SetEditingEnabled(bool enabled);
    void RunExitSteps();

    Session& session_;
    ExitSteps exitSteps_;
    QMdiArea* workArea_;
    MixerSubWindow* mixerFrame_;
    OneClip_Frm* clip_;
    ChildSubWindow* clipFrame_;
    PlayFrm* play_;
    ChildSubWindow* playFrame_;
    QLabel* helpLine_;
    QTextBrowser* helpBrowser_ = nullptr;
    std::unique_ptr<WindowView> view_;
    SavedMovieMark mark_;
    RenderRunner renders_;
    bool closing_ = false;
};

}  // namespace composer
