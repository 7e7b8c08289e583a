#include "ui/clip_window.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <optional>
#include <utility>

#include "base/app_state.h"
#include "base/duration.h"
#include "base/failure.h"
#include "base/files.h"
#include "base/interaction.h"
#include "base/text_number.h"
#include "base/view.h"
#include "commands/clip_panel.h"
#include "commands/clip_window_rules.h"
#include "document/movie_db.h"
#include "document/own_sound.h"
#include "media/sound/dx8_play_class.h"
#include "ui/command_strip.h"
#include "ui/entry_dialogs.h"
#include "ui/mask_window.h"
#include "ui/notice_dialogs.h"

namespace composer {

namespace {

const QString kNoneTitle = QStringLiteral(" Current Clip: [None]");
const QString kDelayHelp =
    QStringLiteral("Delay time of clip from the attached clip's start time. This is used only for overlay.");
const QString kCropHelp = QStringLiteral("Crop edges.");
const QString kTransparentHelp = QStringLiteral("Set transparent colors to mask.");

// The current clip, or null when there is none; the second form for a change of the clip.
const ClipRec* CurrentClip(const MovieDbRec& movie) { return ClipAt(movie, movie.CurClip); }

ClipRec* CurrentClip(MovieDbRec& movie) {
    if (ClipAt(movie, movie.CurClip) == nullptr) return nullptr;
    return &movie.Clips[static_cast<std::size_t>(movie.CurClip)];
}

// A path shortened with " .. " in its middle to fit a width.
QString ShortPath(const QFontMetrics& metrics, const QString& text, int width) {
    QString shown = metrics.elidedText(text, Qt::ElideMiddle, width);
    shown.replace(QChar(0x2026), QStringLiteral(" .. "));
    return shown;
}

}  // namespace

// ShowClipPic: the strip of frames of a video, the picture of a picture clip, or the missing
// file's text, painted in one go.
class ClipStrip : public QWidget {
  public:
    ClipStrip(ThumbnailCache& thumbnails, const Session& session, QWidget* parent)
        : QWidget(parent), thumbnails_(thumbnails), session_(session) {
        setObjectName(QStringLiteral("ShowClipPic"));
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
        setStatusTip(QStringLiteral("Current clip's frames are shown here to edit"));
        setMinimumHeight(80);
    }
    const std::vector<int32_t>& Shown() const { return shown_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        shown_.clear();
        const ClipRec* clip = CurrentClip(session_.Movie());
        if (clip == nullptr || clip->ClipType == ClipAudio) return;
        if (!FileExists(clip->FilePath)) {
            painter.drawText(rect().adjusted(8, 8, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                             QStringLiteral(" File not found"));
            return;
        }
        if (clip->ClipType == ClipPicture) {
            DrawImage(painter, *clip, 1, QRect(4, 4, width() - 8, height() - 8));
            DrawProblem(painter, *clip);
            return;
        }
        const int labelHeight = painter.fontMetrics().lineSpacing() + 4;
        const int frameHeight = height() - labelHeight - 8;
        shown_ = StripFrames(*clip, session_.view.clipViewScale, width() - 4);
        int x = 4;
        for (const int32_t frame : shown_) {
            const QRect box(x, 4, kStripFrameWidth, frameHeight);
            // The label right under the picture, which a tall strip does not stretch.
            const int pictureBottom = DrawImage(painter, *clip, frame, box);
            const bool used = frame >= clip->UseFirst && frame <= clip->UseLast;
            painter.setPen(palette().color(used ? QPalette::Text : QPalette::PlaceholderText));
            painter.drawText(QRect(x, pictureBottom + 2, kStripFrameWidth, labelHeight),
                             Qt::AlignHCenter | Qt::AlignTop,
                             QString::fromStdString(StripFrameLabel(*clip, frame)));
            x += kStripPitch;
        }
        DrawProblem(painter, *clip);
    }

  private:
    // Why the clip's pictures cannot be shown, over the empty boxes.
    void DrawProblem(QPainter& painter, const ClipRec& clip) {
        const std::string& problem = thumbnails_.Problem(clip.FilePath);
        if (problem.empty()) return;
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         QStringLiteral(" Cannot read this file: ") + QString::fromStdString(problem));
    }

    // Draws a frame at the top of its box; returns the bottom of what was drawn (the box's when the
    // frame cannot be shown).
    int DrawImage(QPainter& painter, const ClipRec& clip, int32_t frame, const QRect& box) {
        if (box.width() < 2 || box.height() < 2) return box.bottom();
        const qreal ratio = devicePixelRatioF();
        QImage image = thumbnails_.Thumbnail(clip, frame, box.size() * ratio);
        painter.setPen(palette().color(QPalette::Mid));
        if (image.isNull()) {
            painter.drawRect(box.adjusted(0, 0, -1, -1));
            return box.bottom();
        }
        image.setDevicePixelRatio(ratio);
        const QSizeF shown = image.deviceIndependentSize();
        const QPointF at(box.left() + (box.width() - shown.width()) / 2, box.top());
        painter.drawImage(at, image);
        return box.top() + static_cast<int>(std::ceil(shown.height())) - 1;
    }

    ThumbnailCache& thumbnails_;
    const Session& session_;
    std::vector<int32_t> shown_;
};

OneClip_Frm::OneClip_Frm(Session& session, QWidget* parent)
    : QWidget(parent),
      session_(session),
      strip_(new ClipStrip(thumbnails_, session, this)),
      videoFrame_(new QFrame(this)),
      audioFrame_(new QFrame(this)),
      pictureFrame_(new QFrame(this)),
      arrowTimer_(new QTimer(this)),
      line_(new QWidget(this)),
      dragShadow_(new QWidget(this)) {
    setObjectName(QStringLiteral("OneClip_Frm"));
    setWindowTitle(kNoneTitle);
    setMinimumSize(200, 160);
    arrowTimer_->setObjectName(QStringLiteral("ScrollTimer"));
    arrowTimer_->setInterval(kArrowRepeatMs);
    connect(arrowTimer_, &QTimer::timeout, this, [this] { Step(); });

    auto* controls = new QFrame(this);
    controls->setObjectName(QStringLiteral("ControlFrame"));
    auto* factGrid = new QGridLayout;
    factGrid->setContentsMargins(4, 0, 4, 0);
    factGrid->setVerticalSpacing(0);
    for (int i = 0; i < kFactCount; ++i) {
        facts_[i] = new QLabel(controls);
        facts_[i]->setObjectName(QStringLiteral("DispLbl%1").arg(i));
        facts_[i]->setMinimumWidth(120);
        factGrid->addWidget(facts_[i], i % 3, i / 3);
    }
    factGrid->setColumnStretch(0, 1);
    factGrid->setColumnStretch(1, 2);
    auto* commands = new QVBoxLayout;
    commands->setContentsMargins(0, 0, 0, 0);
    for (auto [frame, name] : {std::pair{videoFrame_, "ButnAviFrame"}, std::pair{audioFrame_, "ButnWavFrame"},
                               std::pair{pictureFrame_, "ButnPicFrame"}}) {
        frame->setObjectName(QString::fromLatin1(name));
        frame->setParent(controls);
        auto* rows = new QVBoxLayout(frame);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(0);
        rows->addLayout(new QHBoxLayout);
        rows->addLayout(new QHBoxLayout);
        commands->addWidget(frame);
        frame->hide();
    }
    BuildVideoCommands();
    BuildAudioCommands();
    BuildPictureCommands();
    for (QFrame* frame : {videoFrame_, audioFrame_, pictureFrame_})
        for (int row = 0; row < 2; ++row)
            static_cast<QHBoxLayout*>(frame->layout()->itemAt(row)->layout())->addStretch(1);
    auto* controlLayout = new QHBoxLayout(controls);
    controlLayout->setContentsMargins(0, 2, 0, 2);
    controlLayout->addLayout(factGrid, 3);
    controlLayout->addLayout(commands, 4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip_, 1);
    layout->addWidget(controls);
    line_->setObjectName(QStringLiteral("DragVImg"));
    line_->setFixedHeight(kLineHeight);
    line_->setCursor(Qt::SizeVerCursor);
    line_->setAutoFillBackground(true);
    line_->setBackgroundRole(QPalette::Mid);
    line_->setStatusTip(QStringLiteral("Drag this line to size the boxes."));
    line_->installEventFilter(this);
    layout->addWidget(line_);
    dragShadow_->setObjectName(QStringLiteral("DragPic"));
    dragShadow_->setAutoFillBackground(true);
    dragShadow_->setBackgroundRole(QPalette::Highlight);
    dragShadow_->hide();
}

OneClip_Frm::~OneClip_Frm() = default;

QToolButton* OneClip_Frm::AddCommand(QFrame* frame, const char* objectName, const QString& caption,
                                     const QString& help, std::function<void()> command) {
    QToolButton* button =
        MakeCommandLabel(frame, QString::fromLatin1(objectName), caption, help, std::move(command));
    static_cast<QHBoxLayout*>(frame->layout()->itemAt(0)->layout())->addWidget(button);
    return button;
}

QToolButton* OneClip_Frm::AddIconCommand(QFrame* frame, const char* objectName, const char* themeIcon,
                                         int fallback, const QString& help, std::function<void()> command) {
    QToolButton* button = AddCommand(frame, objectName, QString(), help, std::move(command));
    button->setIcon(QIcon::fromTheme(QString::fromLatin1(themeIcon),
                                     style()->standardIcon(static_cast<QStyle::StandardPixmap>(fallback))));
    return button;
}

void OneClip_Frm::AddArrow(QFrame* frame, const char* objectName, StepDirection direction, int fallbackIcon) {
    const char* theme = direction == StepDirection::Back ? "go-previous" : "go-next";
    QToolButton* arrow = AddIconCommand(frame, objectName, theme, fallbackIcon,
                                        QStringLiteral("Use this arrows to scroll the frames."), [] {});
    connect(arrow, &QToolButton::pressed, this, [this, direction] {
        heldArrow_ = static_cast<int>(direction);
        Step();
        arrowTimer_->start();
    });
    connect(arrow, &QToolButton::released, this, [this] {
        arrowTimer_->stop();
        heldArrow_ = 0;
        composer::DrawMovieTracks();
        composer::DrawUnusedTrack();
    });
}

void OneClip_Frm::BuildVideoCommands() {
    QFrame* frame = videoFrame_;
    AddArrow(frame, "ScrollImg1", StepDirection::Back, QStyle::SP_ArrowLeft);
    AddArrow(frame, "ScrollImg2", StepDirection::Forward, QStyle::SP_ArrowRight);
    AddCommand(frame, "JumpLbl0", QStringLiteral("Jump"),
               QStringLiteral("'Jump' and 'Goto' are used to quickly move around the frames"),
               [this] { Jump(false); });
    AddCommand(frame, "JumpLbl1", QStringLiteral("Goto"),
               QStringLiteral("'Jump' and 'Goto' are used to quickly move around the frames"),
               [this] { Jump(true); });
    AddCommand(frame, "RangeLbl0", QStringLiteral("Use Range"), QString(), [this] { ShowUseRange(); });
    AddCommand(
        frame, "RangeLbl1", QStringLiteral("Start"),
        QStringLiteral("Scroll the desired frame to first position and click 'Start' to set start of the "
                       "use range."),
        [this] { RunOnClip([this] { SetUseStart(*CurrentClip(session_.EditMovie())); }); });
    AddCommand(
        frame, "RangeLbl2", QStringLiteral("End"),
        QStringLiteral("Scroll the desired frame to first position and click 'End' to set start of the "
                       "use range."),
        [this] { RunOnClip([this] { SetUseEnd(*CurrentClip(session_.EditMovie())); }); });
    AddIconCommand(frame, "PlayImg", "media-playback-start", QStyle::SP_MediaPlay,
                   QStringLiteral("Play the current clip"), [this] { PlayVideoClip(); });
    AddCommand(frame, "OverLayLbl1", QStringLiteral("Delay"), kDelayHelp, [this] { AskDelay(); });
    // Second row: the view scale and the mask.
    auto* second = static_cast<QHBoxLayout*>(frame->layout()->itemAt(1)->layout());
    auto addSecond = [&](QToolButton* button) {
        static_cast<QHBoxLayout*>(frame->layout()->itemAt(0)->layout())->removeWidget(button);
        second->addWidget(button);
    };
    addSecond(AddIconCommand(frame, "ZoomImg1", "zoom-in", QStyle::SP_ArrowUp,
                             QStringLiteral("Zoom in - to show more number of frames."),
                             [this] { Zoom(ZoomStep::In); }));
    addSecond(AddIconCommand(frame, "ZoomImg2", "zoom-out", QStyle::SP_ArrowDown,
                             QStringLiteral("Zoom out - to show less number of frames."),
                             [this] { Zoom(ZoomStep::Out); }));
    addSecond(AddIconCommand(frame, "ZoomImg3", "zoom-original", QStyle::SP_BrowserReload,
                             QStringLiteral("Zoom 1:1 - to show all the frames"),
                             [this] { Zoom(ZoomStep::OneToOne); }));
    addSecond(AddCommand(
        frame, "ScaleLbl", QStringLiteral("view scale"),
        QStringLiteral(
            "View scale is used to set the zoom. One frame will be show for this many number of frames."),
        [this] { AskScale(); }));
    scaleShown_ = new QLabel(QStringLiteral("0"), frame);
    scaleShown_->setObjectName(QStringLiteral("ScaleDispLbl"));
    scaleShown_->setStatusTip(QStringLiteral("Showns the view scale, number of frames/seconds."));
    second->addWidget(scaleShown_);
    second->addSpacing(12);
    addSecond(
        AddCommand(frame, "OverLayLbl2", QStringLiteral("Crop"), kCropHelp, [this] { OpenMaskWindow(); }));
    addSecond(AddCommand(frame, "OverLayLbl6", QStringLiteral("Transparent"), kTransparentHelp,
                         [this] { OpenMaskWindow(); }));
}

void OneClip_Frm::BuildAudioCommands() {
    AddCommand(audioFrame_, "OverLayLbl3", QStringLiteral("Delay"), kDelayHelp, [this] { AskDelay(); });
    AddIconCommand(audioFrame_, "PlayBtn0", "media-playback-start", QStyle::SP_MediaPlay,
                   QStringLiteral("Play audio."), [this] { PlaySound(true); });
    AddIconCommand(audioFrame_, "PlayBtn1", "media-playback-stop", QStyle::SP_MediaStop,
                   QStringLiteral("Stop playing audio."), [this] { PlaySound(false); });
}

void OneClip_Frm::BuildPictureCommands() {
    AddCommand(pictureFrame_, "OverLayLbl4", QStringLiteral("Delay"), kDelayHelp, [this] { AskDelay(); });
    AddCommand(pictureFrame_, "OverLayLbl5", QStringLiteral("Crop"), kCropHelp, [this] { OpenMaskWindow(); });
    AddCommand(pictureFrame_, "OverLayLbl7", QStringLiteral("Transparent"), kTransparentHelp,
               [this] { OpenMaskWindow(); });
    AddCommand(pictureFrame_, "PicDurLbl", QStringLiteral("Duration"),
               QStringLiteral("Duration of the still picture."), [this] { AskPictureDuration(); });
}

QToolButton* OneClip_Frm::Command(const char* objectName) const {
    return findChild<QToolButton*>(QString::fromLatin1(objectName));
}

QWidget* OneClip_Frm::Strip() const { return strip_; }
QLabel* OneClip_Frm::Fact(int index) const { return facts_[index]; }
QWidget* OneClip_Frm::CommandFrame(const char* objectName) const {
    return findChild<QFrame*>(QString::fromLatin1(objectName));
}
const std::vector<int32_t>& OneClip_Frm::ShownFrames() const { return strip_->Shown(); }

void OneClip_Frm::DrawClipPanel() {
    setWindowTitle(QString::fromStdString(ClipPanelTitle(session_.Movie())));
    const ClipRec* clip = CurrentClip(session_.Movie());
    const std::vector<std::string> facts =
        clip == nullptr ? std::vector<std::string>{} : ClipFacts(*clip, FileExists(clip->FilePath));
    for (int i = 0; i < kFactCount; ++i) {
        const QString text =
            i < static_cast<int>(facts.size()) ? QString::fromStdString(facts[i]) : QString();
        facts_[i]->setToolTip(text);
        facts_[i]->setText(text.startsWith(QStringLiteral("File: "))
                               ? ShortPath(facts_[i]->fontMetrics(), text, std::max(facts_[i]->width(), 120))
                               : text);
    }
    const int32_t kind = clip == nullptr ? 0 : clip->ClipType;
    videoFrame_->setVisible(kind == ClipVideo);
    audioFrame_->setVisible(kind == ClipAudio);
    pictureFrame_->setVisible(kind == ClipPicture);
    if (clip != nullptr && kind == ClipVideo) {
        const double seconds = clip->SrcFps > 0 ? session_.view.clipViewScale / clip->SrcFps : 0.0;
        scaleShown_->setText(QString::fromStdString(FormatNumber(session_.view.clipViewScale) + "/" +
                                                    FormatDuration(seconds)));
    }
    strip_->update();
}

bool OneClip_Frm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != line_) return QWidget::eventFilter(watched, event);
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (mouse == nullptr) return false;
    const int y = mouse->globalPosition().toPoint().y();
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            dragging_ = true;
            dragStartY_ = y;
            // The shadow lies on the work area, so that it can follow the mouse below this window.
            auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
            QWidget* canvas =
                frame != nullptr && frame->parentWidget() != nullptr ? frame->parentWidget() : this;
            dragShadow_->setParent(canvas);
            shadowStart_ = line_->mapTo(canvas, QPoint(0, 0));
            dragShadow_->setGeometry(QRect(shadowStart_, line_->size()));
            dragShadow_->show();
            dragShadow_->raise();
            return true;
        }
        case QEvent::MouseMove:
            if (dragging_) dragShadow_->move(shadowStart_ + QPoint(0, y - dragStartY_));
            return true;
        case QEvent::MouseButtonRelease:
            dragShadow_->hide();
            if (dragging_) {
                dragging_ = false;
                DropDivider(y - dragStartY_);
            }
            return true;
        default:
            return false;
    }
}

void OneClip_Frm::DropDivider(int dragged) {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame == nullptr || frame->mdiArea() == nullptr || frame->isMinimized() || frame->isMaximized())
        return;
    QMdiSubWindow* below = nullptr;
    for (QMdiSubWindow* other : frame->mdiArea()->subWindowList()) {
        if (other == frame || !other->isVisible() || other->isMinimized() || other->isMaximized()) continue;
        if (DockedBelow(frame->geometry(), other->geometry())) {
            below = other;
            break;
        }
    }
    const std::optional<QRect> lower = below != nullptr ? std::optional(below->geometry()) : std::nullopt;
    const int lowerMin = below != nullptr ? below->minimumSizeHint().height() : 0;
    const DividerDrop drop =
        DropClipDivider(frame->geometry(), lower, lowerMin, frame->mdiArea()->viewport()->height(), dragged);
    frame->resize(frame->width(), drop.upperHeight);
    if (below != nullptr && drop.lower) below->setGeometry(*drop.lower);
}

void OneClip_Frm::RunOnClip(const std::function<void()>& command) {
    if (!CheckCurrentClip(session_.Movie())) return;
    GuardCommand(kProgramTitle, command);
    DrawClipPanel();
    composer::DrawMovieTracks();
    composer::DrawUnusedTrack();
}

void OneClip_Frm::Step() {
    ClipRec* clip = CurrentClip(session_.EditMovie());
    if (clip == nullptr || heldArrow_ == 0) return;
    StepFrames(*clip, static_cast<StepDirection>(heldArrow_), session_.view.clipViewScale);
    DrawClipPanel();
    strip_->repaint();  // at once, so a held arrow shows every step
}

void OneClip_Frm::Jump(bool gotoTime) {
    RunOnClip([this, gotoTime] {
        ClipRec& clip = *CurrentClip(session_.EditMovie());
        if (clip.SrcFps == 0) return;
        double& last = gotoTime ? lastGoto_ : lastJump_;
        const std::optional<std::string> text =
            gotoTime
                ? AskDurationText(this, QStringLiteral(" Go to"),
                                  QStringLiteral("Enter tim position to go to:"), QString(),
                                  QString::fromStdString(FormatNumber(last)))
                : AskDurationText(this, QStringLiteral(" Jump"), QStringLiteral("Enter duration to jump:"),
                                  QStringLiteral("Use - (negative) to jump back"),
                                  QString::fromStdString(FormatNumber(last)));
        if (!text || text->empty()) return;
        last = ParseDuration(*text);
        clip.CurFrame = gotoTime ? GotoFrame(clip, last) : JumpFrame(clip, last);
    });
}

void OneClip_Frm::Zoom(ZoomStep step) {
    RunOnClip([this, step] {
        if (const std::optional<int32_t> scale =
                AcceptedViewScale(ZoomedScale(session_.view.clipViewScale, step)))
            session_.view.clipViewScale = *scale;
    });
}

void OneClip_Frm::AskScale() {
    RunOnClip([this] {
        const std::optional<std::string> text = AskViewScaleText(this, session_.view.clipViewScale);
        if (!text) return;
        if (const std::optional<int32_t> scale = AcceptedViewScale(LeadingNumber(*text)))
            session_.view.clipViewScale = *scale;
    });
}

void OneClip_Frm::ShowUseRange() {
    RunOnClip([] {
        MsgBox(
            "Scroll the frames and bring the desired frame to the first position and ..\r\n"
            "Click 'Start' to make it as the first frame\r\n"
            "Click 'End' to make it as the last frame.\r\n"
            "Frames with in this range will be used for movie.");
    });
}

void OneClip_Frm::AskDelay() {
    RunOnClip([this] {
        ClipRec& clip = *CurrentClip(session_.EditMovie());
        if (const std::optional<double> seconds = AskSeconds(kDelayPrompt, clip.OverlayDelay))
            clip.OverlayDelay = *seconds;
    });
}

void OneClip_Frm::AskPictureDuration() {
    RunOnClip([this] {
        ClipRec& clip = *CurrentClip(session_.EditMovie());
        if (const std::optional<double> seconds = AskSeconds(kPictureDurationPrompt, clip.PicDuration))
            clip.PicDuration = *seconds;
    });
}

void OneClip_Frm::OpenMaskWindow() {
    RunOnClip([this] {
        MaskFrm mask(session_, this);
        mask.ShowThisClipPicture(session_.Movie().CurClip);
        // In the main window's work area, clear of this window's strip and commands where there is room.
        if (const auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()); frame && frame->mdiArea()) {
            const QWidget* area = frame->mdiArea()->viewport();
            mask.PlaceClearOf(QRect(area->mapToGlobal(QPoint(0, 0)), area->size()),
                              QRect(frame->mapToGlobal(QPoint(0, 0)), frame->size()));
        }
        mask.exec();
    });
}

void OneClip_Frm::PlayVideoClip() {
    RunOnClip([this] {
        const ClipRec& clip = *CurrentClip(session_.Movie());
        if (playVideo_) playVideo_(clip.FilePath, clip.SrcWidth, clip.SrcHeight);
    });
}

void OneClip_Frm::PlaySound(bool play) {
    if (!sound_) {
        sound_ = std::make_unique<Dx8PlayClass>();
        sound_->Notices = &session_.notices;
        if (!sound_->DxAvailable) {
            Dx8Frm notice(this);
            notice.exec();
        }
    }
    if (!sound_->DxAvailable) return;
    if (!play) {
        sound_->StopPlay();
        return;
    }
    const ClipRec* clip = CurrentClip(session_.Movie());
    if (clip == nullptr) return;
    // A clip loaded from a project may not have its sound copy yet: its own file then. A video's own
    // sound is heard as the movie has it: with the video's used pictures only.
    const std::string file = clip->AudioFile.empty() ? clip->FilePath : clip->AudioFile;
    const std::optional<SoundSpan> span = OwnSoundSpanOf(session_.Movie(), session_.Movie().CurClip);
    if ((sound_->FileName != file || sound_->Span != span) && !sound_->LoadWaveFile(file, span)) {
        MsgBox("Failed to create sound drive to play");
        return;
    }
    if (const std::optional<std::string> notice = sound_->PlayWav()) MsgBox(*notice);
}

void OneClip_Frm::Unload() {
    arrowTimer_->stop();
    if (sound_) sound_->Cleanup();
    sound_.reset();
}

}  // namespace composer
