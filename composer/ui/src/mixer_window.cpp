#include "ui/mixer_window.h"

#include <QMdiArea>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>

#include "base/app_state.h"
#include "base/failure.h"
#include "base/interaction.h"
#include "base/settings.h"
#include "base/view.h"
#include "commands/mixer_commands.h"
#include "commands/mixer_hit_test.h"
#include "commands/mixer_placement.h"
#include "document/clip_commands.h"
#include "document/movie_db.h"
#include "document/track_geometry.h"
#include "document/track_moves.h"
#include "ui/command_strip.h"
#include "ui/track_box.h"

namespace composer {

namespace {

constexpr const char* kSection = "Mixer Window";
const QString kShiftLeftHelp = QStringLiteral("Shifts this clip to the left by one position.");
const QString kShiftRightHelp = QStringLiteral("Shifts this clip to the right by one position.");
const QString kCloneHelp =
    QStringLiteral("Clones the current clip at this position. Video, Picture or Audio.");
const QString kAddHereHelp = QStringLiteral("Adds a new clip at this position. Video, Picture or Audio.");
const QString kRemoveHelp =
    QStringLiteral("Removes this clip from this movie. Original source file is not distrubed.");
const QString kRenameHelp = QStringLiteral("Click to rename this clip.");

// The columns a row needs: its boxes and the "Add" after them.
int32_t MovieColumns(const MovieDbRec& movie) {
    int32_t columns = movie.ArrangedCount + 1;
    for (const OverlayColumn& placed : OverlayColumns(movie)) columns = std::max(columns, placed.column);
    return columns;
}

void SetRange(QScrollBar* bar, int32_t columns, int32_t trackX, int width) {
    const QSignalBlocker quiet(bar);
    bar->setRange(0, std::max(columns - 1, 0));
    bar->setPageStep(std::max(width / kBoxPitch, 1));
    bar->setValue((kFirstTrackX - trackX) / kBoxPitch);
}

}  // namespace

MixerWindow::MixerWindow(Session& session, QWidget* parent)
    : QWidget(parent),
      session_(session),
      movieBox_(new TrackBox(TrackBoxKind::Movie, thumbnails_, session, this)),
      unusedBox_(new TrackBox(TrackBoxKind::Unused, thumbnails_, session, this)),
      line_(new QWidget(this)),
      dragShadow_(new QWidget(this)),
      movieCmd_(new CommandStrip(QStringLiteral("MovieCmdPic"), movieBox_)),
      overlayCmd_(new CommandStrip(QStringLiteral("MovieOLayCmdPic"), movieBox_)),
      unusedCmd_(new CommandStrip(QStringLiteral("UnuseCmdPic"), unusedBox_)),
      movieAdd_(nullptr),
      unusedAdd_(nullptr),
      progress_(new QProgressBar(movieBox_)),
      cancel_(nullptr) {
    setObjectName(QStringLiteral("Mixer_Frm"));
    setWindowTitle(QStringLiteral("Movie Clips: (Mixer/Sequencer)"));
    setMinimumSize(200, 120);
    line_->setObjectName(QStringLiteral("DragVImg"));
    line_->setCursor(Qt::SizeVerCursor);
    line_->setAutoFillBackground(true);
    line_->setBackgroundRole(QPalette::Mid);
    line_->setStatusTip(QStringLiteral("Drag this line to size the boxes."));
    line_->installEventFilter(this);
    dragShadow_->setObjectName(QStringLiteral("DragPic"));
    dragShadow_->setAutoFillBackground(true);
    dragShadow_->setBackgroundRole(QPalette::Highlight);
    dragShadow_->hide();
    movieBox_->SetPlaceholders(true);
    unusedBox_->SetPlaceholders(true);
    movieBox_->SetPressHandler([this](QPoint at) { PressInMovieBox(at); });
    // Files dropped from the file manager are added as the row's "Add" would, unless a render runs.
    for (TrackBox* box : {movieBox_, unusedBox_}) {
        box->setAcceptDrops(true);
        const MixerAdd where = box == movieBox_ ? MixerAdd::ArrangedEnd : MixerAdd::UnusedEnd;
        box->SetDropHandler([this, where](const std::vector<std::string>& files) {
            if (movieAdd_->isEnabled())
                RunAndRedraw([this, &files, where] { AddDroppedFiles(session_, files, where); });
        });
    }
    unusedBox_->SetPressHandler([this](QPoint at) { PressInUnusedBox(at); });
    connect(movieBox_->scrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        session_.view.arrangedTrackX = TrackXOfScroll(value);
        RedrawMovieTracks();
    });
    connect(unusedBox_->scrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        session_.view.unusedTrackX = TrackXOfScroll(value);
        RedrawUnusedTrack();
    });
    BuildCommands();
    BuildPartPlay();
    progress_->setObjectName(QStringLiteral("ProgressPic"));
    progress_->setRange(0, 1000);
    progress_->setFixedHeight(TrackBox::kTitleHeight - 2);
    progress_->hide();
    loading_ = false;
}

void MixerWindow::BuildCommands() {
    auto run = [this](std::function<void()> command) { return [this, command] { RunAndRedraw(command); }; };
    auto rename = run([this] { RenameClip(session_.EditMovie()); });
    movieAdd_ = MakeCommandLabel(movieBox_, QStringLiteral("MovieAddLbl0"), QStringLiteral("Add"), QString(),
                                 run([this] { MixerAddCommand(session_, MixerAdd::ArrangedEnd); }));
    unusedAdd_ = MakeCommandLabel(unusedBox_, QStringLiteral("UnuseAddLbl0"), QStringLiteral("Add"),
                                  QString(), run([this] { MixerAddCommand(session_, MixerAdd::UnusedEnd); }));

    movieCmd_->Add(QStringLiteral("NameLbl0"), QStringLiteral("Name"), kRenameHelp, rename);
    movieCmd_->Add(QStringLiteral("MovieCloneLbl0"), QStringLiteral("Clone"), kCloneHelp,
                   run([this] { CloneClip(session_.EditMovie()); }));
    movieCmd_->Add(QStringLiteral("MovieShiftLbl0"), QStringLiteral("<--"), kShiftLeftHelp,
                   run([this] { ShiftArrangedClip(session_.EditMovie(), ShiftDirection::Left); }));
    movieCmd_->Add(QStringLiteral("MovieShiftLbl1"), QStringLiteral("-->"), kShiftRightHelp,
                   run([this] { ShiftArrangedClip(session_.EditMovie(), ShiftDirection::Right); }));
    movieCmd_->Add(QStringLiteral("MovieAddLbl1"), QStringLiteral("Add"), kAddHereHelp,
                   run([this] { MixerAddCommand(session_, MixerAdd::AtCurrentClip); }));
    movieCmd_->Add(QStringLiteral("MovieUnuseLbl"), QStringLiteral("Drop"),
                   QStringLiteral("Drop this clip straight down to unused."), run([this] {
                       DropArrangedClip(session_.EditMovie(), session_.view.arrangedTrackX,
                                        session_.view.unusedTrackX);
                   }));
    movieCmd_->Add(QStringLiteral("RemoveClipLbl0"), QStringLiteral("X"), kRemoveHelp,
                   run([this] { DeleteClip(session_.EditMovie()); }));

    overlayCmd_->Add(QStringLiteral("NameLbl0o"), QStringLiteral("Name"), kRenameHelp, rename);
    overlayCmd_->Add(QStringLiteral("RemoveClipLbl2"), QStringLiteral("X"), kRemoveHelp,
                     run([this] { DeleteClip(session_.EditMovie()); }));
    overlayCmd_->Add(QStringLiteral("OLayUnuseLbl"), QStringLiteral("Drop"),
                     QStringLiteral("Drops this clip straight down to unused."), run([this] {
                         DropOverlayClip(session_.EditMovie(), session_.view.arrangedTrackX,
                                         session_.view.unusedTrackX);
                     }));
    overlayCmd_->Add(QStringLiteral("MovieAddLbl2"), QStringLiteral("Add"), kAddHereHelp,
                     run([this] { MixerAddCommand(session_, MixerAdd::AtCurrentClip); }));
    overlayCmd_->Add(QStringLiteral("MovieOvlShiftLbl0"), QStringLiteral("<--"), kShiftLeftHelp,
                     run([this] { ShiftOverlayClip(session_.EditMovie(), ShiftDirection::Left); }));
    overlayCmd_->Add(QStringLiteral("MovieOvlShiftLbl1"), QStringLiteral("-->"), kShiftRightHelp,
                     run([this] { ShiftOverlayClip(session_.EditMovie(), ShiftDirection::Right); }));
    overlayCmd_->Add(QStringLiteral("MovieCloneLbl1"), QStringLiteral("Clone"), kCloneHelp,
                     run([this] { CloneClip(session_.EditMovie()); }));

    unusedCmd_->Add(QStringLiteral("NameLbl1"), QStringLiteral("Name"), kRenameHelp, rename);
    unusedCmd_->Add(
        QStringLiteral("UnuseOverlayLbl"), QStringLiteral("Overlay"),
        QStringLiteral("Overlays this clip and attachs it to the arranged clip that is straight up here."),
        run([this] {
            OverlayUnusedClip(session_.EditMovie(), session_.view.arrangedTrackX, session_.view.unusedTrackX);
        }));
    unusedCmd_->Add(QStringLiteral("UnuseCloneLbl"), QStringLiteral("Clone"), kCloneHelp,
                    run([this] { CloneClip(session_.EditMovie()); }));
    unusedCmd_->Add(QStringLiteral("RemoveClipLbl1"), QStringLiteral("X"), kRemoveHelp,
                    run([this] { DeleteClip(session_.EditMovie()); }));
    unusedCmd_->Add(
        QStringLiteral("UnuseArrangeLbl"), QStringLiteral("Arrange"),
        QStringLiteral("Arranges this clip in the main arranged track by moving straight up."), run([this] {
            ArrangeUnusedClip(session_.EditMovie(), session_.view.arrangedTrackX, session_.view.unusedTrackX);
        }));
    unusedCmd_->Add(QStringLiteral("UnuseAddLbl1"), QStringLiteral("Add"), kAddHereHelp,
                    run([this] { MixerAddCommand(session_, MixerAdd::AtCurrentClip); }));
    unusedCmd_->Add(QStringLiteral("UnuseShiftLbl0"), QStringLiteral("<--"), kShiftLeftHelp,
                    run([this] { ShiftUnusedClip(session_.EditMovie(), ShiftDirection::Left); }));
    unusedCmd_->Add(QStringLiteral("UnuseShiftLbl1"), QStringLiteral("-->"), kShiftRightHelp,
                    run([this] { ShiftUnusedClip(session_.EditMovie(), ShiftDirection::Right); }));
}

void MixerWindow::BuildPartPlay() {
    partPlay_[0] = MakeCommandLabel(
        movieBox_, QStringLiteral("PartPlayLbl0"), QStringLiteral("Part Test Play"),
        QStringLiteral("Makes a part movie and plays (at the position shown for the shown duration)"),
        [this] {
            if (onPartPlay_) onPartPlay_();
        });
    partPlay_[1] = MakeCommandLabel(
        movieBox_, QStringLiteral("PartPlayLbl1"),
        QString::fromStdString(TestPlayStartCaption(session_.testPlay)),
        QStringLiteral("Part movie test play position. Click to change"), [this] {
            AskTestPlayStart(session_.testPlay);
            partPlay_[1]->setText(QString::fromStdString(TestPlayStartCaption(session_.testPlay)));
            PlaceTitleControls();
        });
    partPlay_[2] = MakeCommandLabel(
        movieBox_, QStringLiteral("PartPlayLbl2"),
        QString::fromStdString(TestPlayDurationCaption(session_.testPlay)),
        QStringLiteral("Part movie test play duration. Click to change"), [this] {
            AskTestPlayDuration(session_.testPlay);
            partPlay_[2]->setText(QString::fromStdString(TestPlayDurationCaption(session_.testPlay)));
            PlaceTitleControls();
        });
    cancel_ = MakeCommandLabel(movieBox_, QStringLiteral("CancelRenderLbl"), QStringLiteral("Cancel"),
                               QStringLiteral("Stops the render and removes the unfinished movie."), [this] {
                                   if (onCancel_) onCancel_();
                               });
    cancel_->hide();
    for (QToolButton* label : partPlay_) label->setFixedHeight(TrackBox::kTitleHeight);
    cancel_->setFixedHeight(TrackBox::kTitleHeight);
}

QToolButton* MixerWindow::Command(const char* objectName) const {
    return findChild<QToolButton*>(QString::fromLatin1(objectName));
}

void MixerWindow::RunAndRedraw(const std::function<void()>& command) { GuardCommand(kProgramTitle, command); }

void MixerWindow::PlaceTitleControls() {
    int right = movieBox_->width() - 4;
    for (int i = 2; i >= 0; --i) {
        partPlay_[i]->adjustSize();
        partPlay_[i]->setFixedHeight(TrackBox::kTitleHeight);
        right -= partPlay_[i]->width();
        partPlay_[i]->move(right, 0);
    }
    cancel_->adjustSize();
    cancel_->setFixedHeight(TrackBox::kTitleHeight);
    right -= cancel_->width() + 8;
    cancel_->move(right, 0);
    const int barWidth = std::clamp(movieBox_->width() / 4, 60, 240);
    right -= barWidth + 4;
    progress_->setGeometry(right, 1, barWidth, TrackBox::kTitleHeight - 2);
}

void MixerWindow::UpdateScrollRanges() {
    SetRange(movieBox_->scrollBar(), MovieColumns(session_.Movie()), session_.view.arrangedTrackX,
             movieBox_->width());
    SetRange(unusedBox_->scrollBar(), session_.Movie().UnusedCount + 1, session_.view.unusedTrackX,
             unusedBox_->width());
}

void MixerWindow::PlaceMovieStrips() {
    const MovieDbRec& movie = session_.Movie();
    const int32_t trackX = session_.view.arrangedTrackX;
    movieCmd_->hide();
    overlayCmd_->hide();
    const TrackPlace place = FindCurClip(session_.Movie());
    const QString name =
        place.kind == TrackKind::None
            ? QString()
            : QString::fromStdString(movie.Clips[static_cast<std::size_t>(movie.CurClip)].ClipName);
    if (place.kind == TrackKind::Arranged) {
        movieCmd_->findChild<QToolButton*>(QStringLiteral("NameLbl0"))->setText(name);
        movieCmd_->Fit();
        movieCmd_->move(BoxLeft(trackX, place.position), kRowTop - movieCmd_->height());
        movieCmd_->show();
        movieCmd_->raise();
    } else if (place.kind == TrackKind::Overlay) {
        overlayCmd_->findChild<QToolButton*>(QStringLiteral("NameLbl0o"))->setText(name);
        overlayCmd_->Fit();
        const int32_t column = OverlayColumnOf(movie, place.position, place.overlayPosition);
        overlayCmd_->move(BoxLeft(trackX, column), kOverlayRowTop - overlayCmd_->height());
        overlayCmd_->show();
        overlayCmd_->raise();
    }
    movieAdd_->adjustSize();
    movieAdd_->move(BoxLeft(trackX, movie.ArrangedCount + 1), kRowTop);
    const QString help = QString::fromStdString(MovieAddHelp(movie));
    movieAdd_->setStatusTip(help);
    movieAdd_->setToolTip(help);
}

void MixerWindow::PlaceUnusedStrip() {
    const MovieDbRec& movie = session_.Movie();
    const int32_t trackX = session_.view.unusedTrackX;
    unusedCmd_->hide();
    const TrackPlace place = FindCurClip(session_.Movie());
    if (place.kind == TrackKind::Unused) {
        unusedCmd_->findChild<QToolButton*>(QStringLiteral("NameLbl1"))
            ->setText(QString::fromStdString(movie.Clips[static_cast<std::size_t>(movie.CurClip)].ClipName));
        unusedCmd_->Fit();
        unusedCmd_->move(BoxLeft(trackX, place.position), kRowTop - unusedCmd_->height());
        unusedCmd_->show();
        unusedCmd_->raise();
    }
    unusedAdd_->adjustSize();
    unusedAdd_->move(BoxLeft(trackX, movie.UnusedCount + 1), kRowTop);
    const QString help = QString::fromStdString(UnusedAddHelp(movie));
    unusedAdd_->setStatusTip(help);
    unusedAdd_->setToolTip(help);
}

void MixerWindow::RedrawMovieTracks() {
    movieBox_->SetPlaceholders(false);
    UpdateScrollRanges();
    PlaceMovieStrips();
    movieBox_->update();
}

void MixerWindow::RedrawUnusedTrack() {
    unusedBox_->SetPlaceholders(false);
    UpdateScrollRanges();
    PlaceUnusedStrip();
    unusedBox_->update();
}

void MixerWindow::PressInMovieBox(QPoint at) {
    const int32_t clip = MovieBoxClipAt(session_.Movie(), session_.view.arrangedTrackX, at.x(), at.y());
    if (clip == 0) return;
    const bool wasOnShelf = FindCurClip(session_.Movie()).kind == TrackKind::Unused;
    SelectClip(session_.EditMovie(), clip);
    DrawClipPanel();
    RedrawMovieTracks();
    if (wasOnShelf) RedrawUnusedTrack();
}

void MixerWindow::PressInUnusedBox(QPoint at) {
    const int32_t clip = UnusedBoxClipAt(session_.Movie(), session_.view.unusedTrackX, at.x(), at.y());
    if (clip == 0) return;
    const TrackKind before = FindCurClip(session_.Movie()).kind;
    const bool wasInMovieBox = before == TrackKind::Arranged || before == TrackKind::Overlay;
    SelectClip(session_.EditMovie(), clip);
    DrawClipPanel();
    RedrawUnusedTrack();
    if (wasInMovieBox) RedrawMovieTracks();
}

void MixerWindow::RestoreDividerTop(const std::string& stored) {
    dividerTop_ = composer::RestoreDividerTop(stored, height());
    LayoutBoxes();
}

void MixerWindow::LayoutBoxes() {
    dividerTop_ = LayoutDividerTop(dividerTop_, height(), kLineHeight);
    movieBox_->setGeometry(0, 0, width(), dividerTop_);
    line_->setGeometry(0, dividerTop_, width(), kLineHeight);
    const int unusedTop = dividerTop_ + kLineHeight;
    unusedBox_->setGeometry(0, unusedTop, width(), std::max(height() - unusedTop, 0));
    PlaceTitleControls();
    UpdateScrollRanges();
}

void MixerWindow::resizeEvent(QResizeEvent*) {
    if (loading_ || isMinimized()) return;
    LayoutBoxes();
}

bool MixerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != line_) return QWidget::eventFilter(watched, event);
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (mouse == nullptr) return false;
    const int y = mapFromGlobal(mouse->globalPosition().toPoint()).y();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            dragging_ = true;
            dragStartY_ = y;
            dragStartTop_ = dividerTop_;
            dragShadow_->setGeometry(line_->geometry());
            dragShadow_->show();
            dragShadow_->raise();
            return true;
        case QEvent::MouseMove:
            if (dragging_) {
                dividerTop_ = dragStartTop_ + (y - dragStartY_);
                line_->move(0, dividerTop_);
                dragShadow_->move(0, dividerTop_);
            }
            return true;
        case QEvent::MouseButtonRelease:
            if (dragging_) {
                dragging_ = false;
                LayoutBoxes();
            }
            dragShadow_->hide();
            return true;
        default:
            return false;
    }
}

void MixerWindow::SetEditingEnabled(bool enabled) {
    for (CommandStrip* strip : {movieCmd_, overlayCmd_, unusedCmd_}) strip->setEnabled(enabled);
    for (QToolButton* label : {movieAdd_, unusedAdd_, partPlay_[0], partPlay_[1], partPlay_[2]})
        label->setEnabled(enabled);
    cancel_->setVisible(!enabled);
    PlaceTitleControls();
}

void MixerWindow::ProgressClear() {
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%p%"));
    progress_->show();
}

void MixerWindow::ProgressFraction(double fraction) {
    progress_->setValue(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * progress_->maximum()));
}

void MixerWindow::ProgressText(const std::string& text) {
    progress_->setFormat(QString::fromStdString(text));
}

void MixerWindow::ProgressHide() { progress_->hide(); }

MixerSubWindow::MixerSubWindow(MixerWindow* mixer)
    : ChildSubWindow(mixer, kSection, RestoreMixerPlacement), mixer_(mixer) {
    setObjectName(QStringLiteral("MixerSubWindow"));
}

void MixerSubWindow::RestorePlacement(QSize workArea) {
    ChildSubWindow::RestorePlacement(workArea);
    mixer_->RestoreDividerTop(ReadSetting(kSection, "Box Heights", "-1,-1"));
}

void MixerSubWindow::Unload() {
    ChildSubWindow::Unload(
        [this] { WriteSetting(kSection, "Box Heights", StoredBoxHeights(mixer_->DividerTop())); });
}

}  // namespace composer
