#pragma once
// The mixer window "Movie Clips: (Mixer/Sequencer)": the upper box with the arranged and overlay
// rows, the lower box with the unused shelf, the line between them that the user drags to size
// them, the command labels over the current clip, the part test play commands and the progress
// bar of a render with its Cancel button. What the commands do to the movie lives in
// document/track_moves.h, document/clip_commands.h and ui/mixer_commands.h; this is the widget side.
#include <QWidget>
#include <functional>
#include <string>

#include "document/session.h"
#include "ui/child_sub_window.h"
#include "ui/thumbnail_cache.h"

class QProgressBar;
class QToolButton;

namespace composer {

class CommandStrip;
class TrackBox;

class MixerWindow : public QWidget {
  public:
    explicit MixerWindow(Session& session, QWidget* parent = nullptr);

    // The view requests: the arranged and overlay rows, and the unused shelf, with their command
    // strips, "Add" labels, scroll ranges and help lines.
    void RedrawMovieTracks();
    void RedrawUnusedTrack();

    // The dividing line: its top (pixels from the window's top) as stored, then laid out.
    int DividerTop() const { return dividerTop_; }
    void RestoreDividerTop(const std::string& stored);
    void LayoutBoxes();

    // Commands that change the movie are off while a render runs.
    void SetEditingEnabled(bool enabled);

    // The render's progress bar (cleared and shown, fraction, text, hidden) and its Cancel button.
    void ProgressClear();
    void ProgressFraction(double fraction);
    void ProgressText(const std::string& text);
    void ProgressHide();
    void SetCancelHandler(std::function<void()> handler) { onCancel_ = std::move(handler); }
    void SetPartPlayHandler(std::function<void()> handler) { onPartPlay_ = std::move(handler); }

    TrackBox* MovieBox() const { return movieBox_; }
    TrackBox* UnusedBox() const { return unusedBox_; }
    QWidget* DividerLine() const { return line_; }
    QProgressBar* ProgressBar() const { return progress_; }
    QToolButton* Command(const char* objectName) const;
    ThumbnailCache& Thumbnails() { return thumbnails_; }

    static constexpr int kLineHeight = 6;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildCommands();
    void BuildPartPlay();
    void PlaceMovieStrips();
    void PlaceUnusedStrip();
    void PlaceTitleControls();
    void UpdateScrollRanges();
    void PressInMovieBox(QPoint at);
    void PressInUnusedBox(QPoint at);
    void RunAndRedraw(const std::function<void()>& command);

    Session& session_;
    ThumbnailCache thumbnails_;
    TrackBox* movieBox_;
    TrackBox* unusedBox_;
    QWidget* line_;
    QWidget* dragShadow_;
    CommandStrip* movieCmd_;
    CommandStrip* overlayCmd_;
    CommandStrip* unusedCmd_;
    QToolButton* movieAdd_;
    QToolButton* unusedAdd_;
    QToolButton* partPlay_[3] = {};
    QProgressBar* progress_;
    QToolButton* cancel_;
    std::function<void()> onCancel_;
    std::function<void()> onPartPlay_;
    int dividerTop_ = 40;
    bool dragging_ = false;
    int dragStartY_ = 0;
    int dragStartTop_ = 0;
    bool loading_ = true;
};

// The mixer's frame inside the main window's work area: closing it only minimizes it; the program
// unloads it at exit, when it stores its place and the height of its boxes.
class MixerSubWindow : public ChildSubWindow {
  public:
    explicit MixerSubWindow(MixerWindow* mixer);
    MixerWindow* Mixer() const { return mixer_; }

    // Load: the stored place ("Window Position", "Box Heights" of section "Mixer Window") inside a
    // work area of the given size in pixels, with their fallbacks.
    void RestorePlacement(QSize workArea);
    // Exit: stores the place and the box heights when the window is in its normal state, then
    // closes for good.
    void Unload();

  private:
    MixerWindow* mixer_;
};

}  // namespace composer
