#include "ui/play_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/app_state.h"
#include "base/files.h"
#include "base/interaction.h"
#include "commands/play_window_rules.h"
#include "document/file_choice.h"
#include "document/movie_db.h"
#include "ui/pixel_image.h"

namespace composer {

namespace {

constexpr int kSliderSteps = 1000;

}  // namespace

// PlayPic: the frame shown, scaled into the surface keeping its shape.
class PlayPicture : public QWidget {
  public:
    explicit PlayPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("PlayPic"));
        setAutoFillBackground(true);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
    }
    void Show(QImage image) {
        image_ = std::move(image);
        note_.clear();
        repaint();
    }
    // A line over the picture saying why the frame due could not be shown; the picture before stays.
    void ShowNote(const QString& note) {
        note_ = note;
        update();
    }
    void Clear() {
        image_ = QImage();
        note_.clear();
        update();
    }
    const QImage& Image() const { return image_; }
    const QString& Note() const { return note_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (!image_.isNull()) {
            const QSize shown = image_.size().scaled(size(), Qt::KeepAspectRatio);
            if (scaled_.size() != shown || scaledFrom_ != image_.cacheKey()) {
                scaled_ = ScaledImage(image_, shown, scaler_);
                scaledFrom_ = image_.cacheKey();
            }
            painter.drawImage(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2),
                              scaled_);
        }
        if (!note_.isEmpty()) {
            painter.setPen(Qt::white);
            painter.drawText(rect().adjusted(4, 4, -4, -4),
                             Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, note_);
        }
    }

  private:
    QImage image_;
    // The frame filtered to the size shown, made again when the frame or the size changes.
    PixelScaler scaler_;
    QImage scaled_;
    qint64 scaledFrom_ = 0;
    QString note_;
};

PlayFrm::PlayFrm(QWidget* parent)
    : QWidget(parent),
      topFrame_(new QWidget(this)),
      picture_(new PlayPicture(this)),
      size_(new QLabel(QStringLiteral("Size: W x H"), topFrame_)),
      slider_(new QSlider(Qt::Horizontal, topFrame_)) {
    setObjectName(QStringLiteral("PlayFrm"));
    setWindowTitle(QStringLiteral("Play"));
    topFrame_->setObjectName(QStringLiteral("TopFrame"));
    auto* controls = new QWidget(topFrame_);
    controls->setObjectName(QStringLiteral("MMControl1"));
    controls->setStatusTip(QStringLiteral("Play controls."));
    auto* buttons = new QHBoxLayout(controls);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    auto add = [&](const char* name, QStyle::StandardPixmap icon, const QString& help,
                   void (PlayFrm::*command)()) {
        auto* button = new QToolButton(controls);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(style()->standardIcon(icon));
        button->setAutoRaise(true);
        button->setToolTip(help);
        button->setStatusTip(QStringLiteral("Play controls."));
        connect(button, &QToolButton::clicked, this, [this, command] { (this->*command)(); });
        buttons->addWidget(button);
    };
    add("PrevBtn", QStyle::SP_MediaSkipBackward, QStringLiteral("To the start"), &PlayFrm::Prev);
    add("PlayBtn", QStyle::SP_MediaPlay, QStringLiteral("Play"), &PlayFrm::Play);
    add("PauseBtn", QStyle::SP_MediaPause, QStringLiteral("Pause"), &PlayFrm::Pause);
    add("OpenBtn", QStyle::SP_DialogOpenButton, QStringLiteral("Open a movie file to play"),
        &PlayFrm::OpenFromDialog);
    add("CloseBtn", QStyle::SP_MediaStop, QStringLiteral("Close the file"), &PlayFrm::StopAndClose);
    slider_->setObjectName(QStringLiteral("PositionSlider"));
    slider_->setRange(0, kSliderSteps);
    slider_->setStatusTip(QStringLiteral("Play position. Drag to move."));
    connect(slider_, &QSlider::sliderPressed, this, [this] { sliderHeld_ = true; });
    connect(slider_, &QSlider::sliderReleased, this, [this] { sliderHeld_ = false; });
    // The position shown while playing is set with the signals blocked: a change is the user's.
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        if (!open_) return;
        player_.Seek(player_.Duration() * value / kSliderSteps);
        ShowDueFrame();
    });
    size_->setObjectName(QStringLiteral("SizeLbl"));
    size_->setStatusTip(QStringLiteral("Size of the playing video frame. Width x Height."));
    auto* top = new QHBoxLayout(topFrame_);
    top->setContentsMargins(2, 2, 2, 0);
    top->addWidget(controls);
    top->addWidget(slider_, 1);
    top->addWidget(size_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(topFrame_);
    layout->addWidget(picture_, 1);
    ticker_.setInterval(kTickMs);
    ticker_.setTimerType(Qt::PreciseTimer);
    connect(&ticker_, &QTimer::timeout, this, [this] { Tick(); });
    UpdateButtons();
}

PlayFrm::~PlayFrm() { StopAndClose(); }

void PlayFrm::Load(const MovieDbRec& movie) {
    size_->setText(QStringLiteral("Output size: w%1 x h%2").arg(movie.OutWidth).arg(movie.OutHeight));
}

QWidget* PlayFrm::Picture() const { return picture_; }

QToolButton* PlayFrm::Command(const char* objectName) const {
    return findChild<QToolButton*>(QString::fromLatin1(objectName));
}

void PlayFrm::PlayAVIFile(const std::string& fileName, int width, int height, bool deleteAfter) {
    if (!FileExists(fileName)) {
        MsgBox(PlayFileNotFoundMessage(fileName, WorkFolder));
        return;
    }
    size_->setText(QString::fromStdString(PlaySizeLabel(width, height)));
    const QSize surface = PlaySurfaceSize(width, height);
    // The window around a picture of that size, under the controls.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (frame->isMinimized()) frame->showNormal();
        const QSize inner(std::max(surface.width() + 4, topFrame_->sizeHint().width() + 4),
                          topFrame_->sizeHint().height() + surface.height() + 4);
        frame->resize(inner + (frame->size() - size()));
    }
    picture_->Clear();
    StopAndClose();
    std::string reason;
    if (!player_.Open(fileName, reason)) {
        // The file is there but will not play: say so rather than show nothing.
        MsgBox(fileName + "\r\nThis file cannot be played: " + reason);
        if (deleteAfter) DeleteFileChecked(fileName);
        return;
    }
    fileName_ = fileName;
    deleteAfter_ = deleteAfter;
    open_ = true;
    Prev();
    Play();
}

void PlayFrm::StopAndClose() {
    if (!open_) return;
    ticker_.stop();
    player_.Close();
    open_ = false;
    shownFrame_ = 0;
    if (deleteAfter_) DeleteFileChecked(fileName_);
    deleteAfter_ = false;
    UpdateButtons();
}

void PlayFrm::Prev() {
    if (!open_) return;
    player_.Seek(0);
    ShowDueFrame();
}

void PlayFrm::Play() {
    if (!open_) return;
    player_.Play();
    ticker_.start();
    UpdateButtons();
}

void PlayFrm::Pause() {
    if (!open_) return;
    player_.Pause();
    ticker_.stop();
    UpdateButtons();
}

void PlayFrm::OpenFromDialog() {
    FileChoiceRequest request;
    request.title = "Open a movie to play";
    request.filter = VideoFilesFilter();
    request.fileMustExist = true;
    const std::optional<std::string> file = UI().ChooseFile(request);
    if (!file) return;
    std::string reason;
    AviPlayback probe;
    const bool readable = probe.Open(*file, reason);
    PlayAVIFile(*file, readable ? probe.Width() : 0, readable ? probe.Height() : 0, false);
}

void PlayFrm::Tick() {
    ShowDueFrame();
    if (!player_.Playing()) {
        ticker_.stop();
        UpdateButtons();
    }
}

QString PlayFrm::FrameNote() const { return picture_->Note(); }

void PlayFrm::ShowDueFrame() {
    const int32_t frame = player_.NextFrameToShow();
    if (!sliderHeld_ && player_.Duration() > 0) {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(
            static_cast<int>(std::lround(player_.Position() / player_.Duration() * kSliderSteps)));
    }
    if (frame == 0) return;
    if (!player_.ReadFrame(frame, pixels_)) {
        picture_->ShowNote(QString::fromStdString(PlayFrameProblem(frame, player_.FrameProblem())));
        return;
    }
    shownFrame_ = frame;
    picture_->Show(PixelBufferImage(pixels_, player_.Width(), player_.Height()));
    // The next frame decoded while this one shows, so it appears the moment it falls due.
    if (player_.Playing()) player_.PrepareNext();
}

void PlayFrm::UpdateButtons() {
    Command("PlayBtn")->setEnabled(open_ && !player_.Playing());
    Command("PauseBtn")->setEnabled(open_ && player_.Playing());
    Command("PrevBtn")->setEnabled(open_);
    Command("CloseBtn")->setEnabled(open_);
    slider_->setEnabled(open_);
}

}  // namespace composer
