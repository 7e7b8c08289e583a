#pragma once
// The clip window (OneClip_Frm): the current clip's frames as a strip starting at its CurFrame,
// one every clipViewScale frames of the session's view, with its facts, and the commands that set the used
// range, move through the frames, change the view scale, set the overlay delay and the picture duration, open
// the mask window and play the clip. What the commands decide is in ui/clip_window_rules.h.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "document/session.h"
#include "ui/thumbnail_cache.h"

class QFrame;
class QLabel;
class QTimer;
class QToolButton;

namespace composer {

class Dx8PlayClass;
class ClipStrip;
enum class StepDirection;
enum class ZoomStep;

class OneClip_Frm : public QWidget {
  public:
    explicit OneClip_Frm(Session& session, QWidget* parent = nullptr);
    ~OneClip_Frm() override;

    // The view request: the title, the strip, the facts and the command frame of the clip kind.
    void DrawClipPanel();

    // Plays a video file in the play window: (file, width, height).
    using PlayVideo = std::function<void(const std::string&, int, int)>;
    void SetPlayVideoHandler(PlayVideo handler) { playVideo_ = std::move(handler); }

    // Exit: stops and releases the sound player.
    void Unload();

    QToolButton* Command(const char* objectName) const;
    QWidget* Strip() const;
    QLabel* Fact(int index) const;
    QWidget* CommandFrame(const char* objectName) const;
    ThumbnailCache& Thumbnails() { return thumbnails_; }
    // The frames the strip drew last, in order.
    const std::vector<int32_t>& ShownFrames() const;
    // The dividing line along the bottom edge: dragging it sizes this window and a window docked
    // below it.
    QWidget* DividerLine() const { return line_; }

    static constexpr int kLineHeight = 6;

    static constexpr int kArrowRepeatMs = 40;
    static constexpr int kFactCount = 6;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildVideoCommands();
    void BuildAudioCommands();
    void BuildPictureCommands();
    QToolButton* AddCommand(QFrame* frame, const char* objectName, const QString& caption,
                            const QString& help, std::function<void()> command);
    QToolButton* AddIconCommand(QFrame* frame, const char* objectName, const char* themeIcon, int fallback,
                                const QString& help, std::function<void()> command);
    void AddArrow(QFrame* frame, const char* objectName, StepDirection direction, int fallbackIcon);
    // Runs a command when a clip is current, then redraws the panel and the mixer's rows.
    void RunOnClip(const std::function<void()>& command);
    void Step();
    void Jump(bool gotoTime);
    void Zoom(ZoomStep step);
    void AskScale();
    void ShowUseRange();
    void AskDelay();
    void AskPictureDuration();
    void OpenMaskWindow();
    void PlayVideoClip();
    void PlaySound(bool play);
    void DropDivider(int dragged);

    Session& session_;
    ThumbnailCache thumbnails_;
    ClipStrip* strip_;
    QLabel* facts_[kFactCount] = {};
    QFrame* videoFrame_;
    QFrame* audioFrame_;
    QFrame* pictureFrame_;
    QLabel* scaleShown_ = nullptr;
    QTimer* arrowTimer_;
    QWidget* line_;
    QWidget* dragShadow_;
    bool dragging_ = false;
    int dragStartY_ = 0;  // global
    QPoint shadowStart_;
    int heldArrow_ = 0;  // 0 none, 1 back, 2 forward
    double lastJump_ = 0;
    double lastGoto_ = 0;
    std::unique_ptr<Dx8PlayClass> sound_;
    PlayVideo playVideo_;
};

}  // namespace composer
