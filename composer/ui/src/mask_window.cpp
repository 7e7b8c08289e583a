#include "ui/mask_window.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "base/failure.h"
#include "base/files.h"
#include "base/interaction.h"
#include "base/settings.h"
#include "commands/dialog_placement.h"
#include "document/movie_db.h"
#include "media/clip_source.h"
#include "media/pixels/picture_operation.h"
#include "ui/pixel_image.h"

namespace composer {

namespace {

constexpr const char* kSection = "Clip Window";
constexpr int kListRows = 5;

QColor ColorOf(int32_t color) {
    const RgbBytes rgb = SplitColor(color);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

uint32_t PixelOf(int32_t color) {
    const RgbBytes rgb = SplitColor(color);
    return static_cast<uint32_t>(rgb.red) << 16 | static_cast<uint32_t>(rgb.green) << 8 | rgb.blue;
}

void ShowSwatch(QPushButton* button, int32_t color) {
    button->setStyleSheet(QStringLiteral("background-color: %1;").arg(ColorOf(color).name()));
}

}  // namespace

// DispPic: the preview, a small picture enlarged by whole pixels; the mouse shows which pixel it is
// over and a click adds that pixel's colour.
class MaskPicture : public QWidget {
  public:
    explicit MaskPicture(MaskFrm* mask) : QWidget(nullptr), mask_(mask) {
        setObjectName(QStringLiteral("DispPic"));
        setMouseTracking(true);
        setCursor(Qt::CrossCursor);
        setStatusTip(QStringLiteral("Click on the picture to make that position transparent."));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QImage& image = mask_->PreviewImage();
        painter.drawImage(QRect(QPoint(0, 0), image.size() * mask_->PreviewZoom()), image);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint pixel = PixelAt(event);
        mask_->ShowPointer(pixel.x(), pixel.y());
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const QPoint pixel = PixelAt(event);
        mask_->AddTransparentAt(pixel.x(), pixel.y());
    }

  private:
    QPoint PixelAt(const QMouseEvent* event) const {
        const QPoint at = event->position().toPoint();
        return {at.x() / mask_->PreviewZoom(), at.y() / mask_->PreviewZoom()};
    }

    MaskFrm* mask_;
};

// ColorLstPic: one row of 22 pixels per colour: its swatch, its channels and its tolerance.
class ColorList : public QWidget {
  public:
    ColorList(MaskFrm* mask, QScrollBar* scroll) : QWidget(nullptr), mask_(mask), scroll_(scroll) {
        setObjectName(QStringLiteral("ColorLstPic"));
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
        setFixedSize(200, kListRows * kColorRowPitch + 4);
        setStatusTip(
            QStringLiteral("Click on the picture to add a transparent color. Click on 'X' button to "
                           "delete a transparent color."));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const MaskEdit& edit = mask_->Edit();
        for (int32_t entry = 1; entry <= edit.count; ++entry) {
            const int top = ColorRowTop(entry, scroll_->value());
            if (top > height() || top + 20 < 0) continue;
            const TransColorRec& color = edit.colors[static_cast<std::size_t>(entry)];
            const QRect row(2, top, width() - 4, 20);
            if (entry == edit.current) painter.fillRect(row, palette().color(QPalette::Highlight));
            painter.fillRect(QRect(4, top + 2, 28, 16), QColor(color.Red, color.Green, color.Blue));
            painter.setPen(
                palette().color(entry == edit.current ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(row.adjusted(36, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                             QStringLiteral("%1: %2, %3, %4  %5 %")
                                 .arg(entry)
                                 .arg(color.Red)
                                 .arg(color.Green)
                                 .arg(color.Blue)
                                 .arg(color.Tolerance));
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        mask_->SelectColorRow(event->position().toPoint().y());
    }

  private:
    MaskFrm* mask_;
    QScrollBar* scroll_;
};

MaskFrm::MaskFrm(Session& session, QWidget* parent)
    : HelpLineDialog(parent),
      session_(session),
      picture_(new MaskPicture(this)),
      pictureArea_(new QScrollArea(this)),
      size_(new QLabel(QStringLiteral("Size: w0 x h0"), this)),
      position_(new QLabel(QStringLiteral("x0, y0"), this)),
      colorAtMouse_(new QLabel(this)) {
    setObjectName(QStringLiteral("MaskFrm"));
    setWindowTitle(QStringLiteral("Set Mask (Crop and Transparent)"));
    cropColor_ = StoredDisplayColor(ReadSetting(kSection, "CropColor", "-1"), 192);
    transColor_ = StoredDisplayColor(ReadSetting(kSection, "TransColor", "-1"), 128);
    pictureArea_->setWidget(picture_);
    // The picture at its pixel size in the middle, on the window's own ground, so that the grey
    // display colours stand out from the margin.
    pictureArea_->setAlignment(Qt::AlignCenter);
    pictureArea_->setBackgroundRole(QPalette::Window);
    pictureArea_->horizontalScrollBar()->setObjectName(QStringLiteral("HScroll1"));
    pictureArea_->verticalScrollBar()->setObjectName(QStringLiteral("VScroll1"));
    size_->setObjectName(QStringLiteral("SizeLbl"));
    size_->setStatusTip(QStringLiteral("Size of the picture in Pixels. Width x Height."));
    position_->setObjectName(QStringLiteral("XYposLbl"));
    colorAtMouse_->setObjectName(QStringLiteral("ColorAtMousePosLbl"));
    colorAtMouse_->setFixedSize(40, 16);
    colorAtMouse_->setAutoFillBackground(true);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* info = new QHBoxLayout;
    info->addWidget(size_);
    info->addWidget(position_);
    info->addWidget(colorAtMouse_);
    info->addStretch(1);
    sideLayout->addLayout(info);
    sideLayout->addWidget(new QLabel(QStringLiteral("Click on the picture to add transparent color"), side));
    BuildCropFrame(side);
    BuildColorFrame(side);
    auto* buttons = new QDialogButtonBox(side);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkButton"));
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    sideLayout->addStretch(1);
    sideLayout->addWidget(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pictureArea_, 1);
    layout->addWidget(side);
}

void MaskFrm::BuildCropFrame(QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("Crop Edges:"), parent);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    const QString captions[] = {QStringLiteral("Top:"), QStringLiteral("Botm.:"), QStringLiteral("Left:"),
                                QStringLiteral("Right:")};
    for (int i = 0; i < 4; ++i) {
        crop_[i] = new QLineEdit(frame);
        crop_[i]->setObjectName(QStringLiteral("CropTxt%1").arg(i));
        crop_[i]->setMaximumWidth(70);
        connect(crop_[i], &QLineEdit::textEdited, this, [this, i] { cropChanged_[i] = true; });
        connect(crop_[i], &QLineEdit::editingFinished, this, [this] { ApplyCropEntries(); });
        grid->addWidget(new QLabel(captions[i], frame), i / 2, (i % 2) * 2);
        grid->addWidget(crop_[i], i / 2, (i % 2) * 2 + 1);
    }
    parent->layout()->addWidget(frame);
}

void MaskFrm::BuildColorFrame(QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("Transparent colors"), parent);
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(frame);
    listScroll_ = new QScrollBar(Qt::Vertical, frame);
    listScroll_->setObjectName(QStringLiteral("ColorLstVScroll"));
    list_ = new ColorList(this, listScroll_);
    list_->setParent(frame);
    connect(listScroll_, &QScrollBar::valueChanged, this, [this] { DrawColorList(); });
    auto* listRow = new QHBoxLayout;
    listRow->setSpacing(0);
    listRow->addWidget(list_);
    listRow->addWidget(listScroll_);
    share_ = new QLabel(frame);
    share_->setObjectName(QStringLiteral("TransShareLbl"));
    share_->setWordWrap(true);
    share_->setMinimumWidth(90);
    share_->setStatusTip(
        QStringLiteral("Share of the picture inside the crop edges that these colors make "
                       "transparent."));
    listRow->addWidget(share_, 1);
    grid->addLayout(listRow, 0, 0, 1, 4);
    tolerance_ = new QLineEdit(frame);
    tolerance_->setObjectName(QStringLiteral("TolEditTxt"));
    tolerance_->setMaximumWidth(50);
    tolerance_->setStatusTip(QStringLiteral("Percentage variation for current transparent color."));
    connect(tolerance_, &QLineEdit::textEdited, this, [this] { toleranceChanged_ = true; });
    connect(tolerance_, &QLineEdit::editingFinished, this, [this] { ApplyTolerance(); });
    currentColor_ = new QPushButton(frame);
    currentColor_->setObjectName(QStringLiteral("TransCurColorBtn"));
    currentColor_->setFixedWidth(40);
    currentColor_->setStatusTip(QStringLiteral("Current transparent color. Click to change."));
    connect(currentColor_, &QPushButton::clicked, this, [this] { ChooseCurrentColor(); });
    deleteColor_ = new QPushButton(QStringLiteral("X"), frame);
    deleteColor_->setObjectName(QStringLiteral("TransCurDeleteBtn"));
    deleteColor_->setFixedWidth(30);
    deleteColor_->setStatusTip(QStringLiteral("Deletes the current transparent color."));
    connect(deleteColor_, &QPushButton::clicked, this, [this] { DeleteCurrentColor(); });
    grid->addWidget(new QLabel(QStringLiteral("Tolerance %:"), frame), 1, 0);
    grid->addWidget(tolerance_, 1, 1);
    grid->addWidget(currentColor_, 1, 2);
    grid->addWidget(deleteColor_, 1, 3);

    cropColorButton_ = new QPushButton(QStringLiteral("Crop"), frame);
    cropColorButton_->setObjectName(QStringLiteral("CropColorBtn"));
    cropColorButton_->setStatusTip(
        QStringLiteral("Color in which cropped edges are shown. Click to change."));
    connect(cropColorButton_, &QPushButton::clicked, this, [this] { ChooseDisplayColor(true); });
    transColorButton_ = new QPushButton(QStringLiteral("Transparent"), frame);
    transColorButton_->setObjectName(QStringLiteral("TransColorBtn"));
    transColorButton_->setStatusTip(
        QStringLiteral("Color in which transparent area are shown. Click to change."));
    connect(transColorButton_, &QPushButton::clicked, this, [this] { ChooseDisplayColor(false); });
    ShowSwatch(cropColorButton_, cropColor_);
    ShowSwatch(transColorButton_, transColor_);
    auto* show = new QHBoxLayout;
    show->addWidget(new QLabel(QStringLiteral("Show color:"), frame));
    show->addWidget(cropColorButton_);
    show->addWidget(transColorButton_);
    grid->addLayout(show, 2, 0, 1, 4);
    parent->layout()->addWidget(frame);
}

QWidget* MaskFrm::Picture() const { return picture_; }
QWidget* MaskFrm::ColorListBox() const { return list_; }

void MaskFrm::ShowThisClipPicture(int32_t clipIndex) {
    clipIndex_ = clipIndex;
    const ClipRec& clip = session_.Movie().Clips[static_cast<std::size_t>(clipIndex)];
    edit_ = MaskEditOf(clip);
    size_->setText(QStringLiteral("Size: w%1 x h%2").arg(clip.SrcWidth).arg(clip.SrcHeight));
    ShowCropValues();
    frame_.clear();
    width_ = height_ = 0;
    if (!FileExists(clip.FilePath)) {
        MsgBox(clip.FilePath + "\r\nFile not found");
    } else {
        LoadFrame(clip);
    }
    zoom_ = MaskPreviewZoom(width_, height_);
    const QSize shown(std::max(width_ * zoom_, 1), std::max(height_ * zoom_, 1));
    picture_->setFixedSize(shown);
    if (const QScreen* screen = this->screen()) {
        const QSize room = screen->availableGeometry().size() * 9 / 10;
        const QSize wanted(shown.width() + 24 + sizeHint().width() - pictureArea_->sizeHint().width(),
                           std::max(shown.height() + 24, sizeHint().height()));
        resize(wanted.boundedTo(room));
    }
    ShowCurrentColor();
    DrawColorList();
    DrawMaskPreview();
}

void MaskFrm::PlaceClearOf(const QRect& area, const QRect& keepClear) {
    resize(size().boundedTo(area.size()));
    // What the window frame adds around the dialog (nothing before the desktop has framed it).
    const QSize frame = frameGeometry().size() - size();
    const QRect place = DialogPlaceClearOf(area, keepClear, size() + frame, minimumSizeHint() + frame);
    resize(place.size() - frame);
    move(place.topLeft());
}

void MaskFrm::LoadFrame(const ClipRec& clip) {
    if (clip.ClipType != ClipPicture && clip.ClipType != ClipVideo) return;
    try {
        const std::unique_ptr<ClipSource> source = OpenClipSource(clip);
        const int32_t frame =
            clip.ClipType == ClipVideo ? std::clamp(clip.CurFrame, 1, std::max(source->FrameCount(), 1)) : 1;
        source->Pixels(frame, frame_);
        width_ = source->Width();
        height_ = source->Height();
    } catch (const std::exception&) {
        MsgBox(CurrentFailureText());
        frame_.clear();
        width_ = height_ = 0;
    }
}

void MaskFrm::ShowCropValues() {
    for (int i = 0; i < 4; ++i) {
        crop_[i]->setText(QString::number(CropValue(edit_.crop, static_cast<CropEdge>(i))));
        cropChanged_[i] = false;
    }
}

void MaskFrm::ShowCurrentColor() {
    const bool current = edit_.current >= 1 && edit_.current <= edit_.count;
    currentColor_->setEnabled(current);
    deleteColor_->setEnabled(current);
    if (current) {
        const TransColorRec& color = edit_.colors[static_cast<std::size_t>(edit_.current)];
        ShowSwatch(currentColor_, color.Red | (color.Green << 8) | (color.Blue << 16));
        tolerance_->setText(QString::number(color.Tolerance));
    } else {
        currentColor_->setStyleSheet(QString());
        tolerance_->setText(QString::number(edit_.currentTolerance));
    }
    toleranceChanged_ = false;
}

void MaskFrm::ApplyCropEntries() {
    std::vector<CropEntry> changed;
    for (int i = 0; i < 4; ++i)
        if (cropChanged_[i]) changed.push_back({static_cast<CropEdge>(i), crop_[i]->text().toStdString()});
    if (changed.empty()) return;
    const bool redraw = composer::ApplyCropEntries(edit_, changed, width_, height_);
    ShowCropValues();
    if (redraw) DrawMaskPreview();
}

void MaskFrm::ApplyTolerance() {
    if (!toleranceChanged_) return;
    toleranceChanged_ = false;
    if (composer::ApplyTolerance(edit_, tolerance_->text().toStdString())) {
        DrawColorList();
        DrawMaskPreview();
    }
}

int32_t MaskFrm::FrameColorAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || frame_.empty()) return -1;
    const uint32_t pixel = frame_[PixelIndex(width_, height_, y, x)];
    return static_cast<int32_t>(((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16));
}

void MaskFrm::AddTransparentAt(int x, int y) {
    const int32_t color = FrameColorAt(x, y);
    if (color < 0) return;
    composer::AddTransparentColor(edit_, SplitColor(color));
    ShowCurrentColor();
    listScroll_->setRange(0, std::max(edit_.count - kListRows, 0));
    listScroll_->setValue(listScroll_->maximum());
    DrawColorList();
    DrawMaskPreview();
}

void MaskFrm::ShowPointer(int x, int y) {
    position_->setText(QStringLiteral("x%1, y%2").arg(x).arg(y));
    const int32_t color = FrameColorAt(x, y);
    if (color >= 0) {
        QPalette palette = colorAtMouse_->palette();
        palette.setColor(QPalette::Window, ColorOf(color));
        colorAtMouse_->setPalette(palette);
    }
}

void MaskFrm::DrawMaskPreview() {
    WaitCursor hourglass;
    count_ = BuildMaskPreview(frame_, width_, height_, edit_.crop, edit_.colors, edit_.count,
                              {PixelOf(cropColor_), PixelOf(transColor_)}, previewPixels_);
    preview_ = PixelBufferImage(previewPixels_, width_, height_);
    share_->setText(edit_.count == 0 || count_.keptPixels == 0
                        ? QString()
                        : QStringLiteral("%1 % of the picture is transparent")
                              .arg(count_.TransparentShare() * 100.0, 0, 'f', 1));
    picture_->update();
}

void MaskFrm::DrawColorList() {
    listScroll_->setRange(0, std::max(edit_.count - kListRows, 0));
    list_->update();
}

void MaskFrm::SelectColorRow(int y) {
    const int32_t entry = ColorEntryAt(y, listScroll_->value(), edit_.count);
    if (entry == 0) return;
    edit_.current = entry;
    ShowCurrentColor();
    DrawColorList();
}

void MaskFrm::ChooseCurrentColor() {
    if (edit_.current < 1 || edit_.current > edit_.count) return;
    const TransColorRec& color = edit_.colors[static_cast<std::size_t>(edit_.current)];
    const std::optional<int32_t> chosen =
        UI().ChooseColor(color.Red | (color.Green << 8) | (color.Blue << 16));
    if (!chosen || !RecolorCurrent(edit_, *chosen)) return;
    ShowCurrentColor();
    DrawColorList();
    DrawMaskPreview();
}

void MaskFrm::DeleteCurrentColor() {
    if (!composer::DeleteCurrentColor(edit_)) return;
    ShowCurrentColor();
    DrawColorList();
    DrawMaskPreview();
}

void MaskFrm::ChooseDisplayColor(bool crop) {
    int32_t& color = crop ? cropColor_ : transColor_;
    const std::optional<int32_t> chosen = UI().ChooseColor(color);
    if (!chosen) return;
    color = *chosen;
    ShowSwatch(crop ? cropColorButton_ : transColorButton_, color);
    DrawMaskPreview();
}

void MaskFrm::Ok() {
    ApplyCropEntries();
    ApplyTolerance();
    accepted = true;
    WriteMaskEdit(edit_, session_.EditMovie().Clips[static_cast<std::size_t>(clipIndex_)]);
    accept();
}

void MaskFrm::done(int result) {
    WriteSetting(kSection, "CropColor", std::to_string(cropColor_));
    WriteSetting(kSection, "TransColor", std::to_string(transColor_));
    HelpLineDialog::done(result);
}

}  // namespace composer
