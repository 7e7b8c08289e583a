#pragma once
// The mask window "Set Mask (Crop and Transparent)" (MaskFrm): one frame of a video or picture clip
// with its cropped edges and its transparent pixels painted in their display colours, the four
// crop boxes, the list of transparent colours with their tolerances, and the share of the picture
// the colours make transparent. It edits a copy; OK writes it into the clip, Cancel drops it.
#include <QImage>
#include <QRect>
#include <QString>
#include <string>
#include <vector>

#include "commands/mask_rules.h"
#include "document/session.h"
#include "media/pixels/mask_preview.h"
#include "ui/help_line_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QScrollBar;

namespace composer {

class MaskPicture;
class ColorList;

class MaskFrm : public HelpLineDialog {
  public:
    explicit MaskFrm(Session& session, QWidget* parent = nullptr);

    // Prepares the window for clip `clipIndex` of the session's movie; the caller then shows it modally.
    void ShowThisClipPicture(int32_t clipIndex);
    // Moves the window (screen coordinates) into `area`, clear of `keepClear` where there is room.
    void PlaceClearOf(const QRect& area, const QRect& keepClear);

    // The commands, as the widgets run them.
    void ApplyCropEntries();
    void ApplyTolerance();
    void AddTransparentAt(int x, int y);
    void DrawMaskPreview();
    void DrawColorList();
    void SelectColorRow(int y);
    void ChooseCurrentColor();
    void DeleteCurrentColor();
    void ChooseDisplayColor(bool crop);
    // The colour of the frame's pixel (x, y) (red in bits 0-7); -1 outside the frame.
    int32_t FrameColorAt(int x, int y) const;
    void ShowPointer(int x, int y);

    bool accepted = false;
    const MaskEdit& Edit() const { return edit_; }
    const MaskPreviewCount& PreviewCount() const { return count_; }
    const QImage& PreviewImage() const { return preview_; }
    // How many screen pixels show one picture pixel each way.
    int PreviewZoom() const { return zoom_; }
    QLineEdit* CropBox(CropEdge edge) const { return crop_[static_cast<int>(edge)]; }
    QLineEdit* ToleranceBox() const { return tolerance_; }
    QWidget* Picture() const;
    QWidget* ColorListBox() const;
    QLabel* SizeLabel() const { return size_; }
    QLabel* ShareLabel() const { return share_; }
    QLabel* PositionLabel() const { return position_; }

    void done(int result) override;

  private:
    void BuildCropFrame(QWidget* parent);
    void BuildColorFrame(QWidget* parent);
    void LoadFrame(const ClipRec& clip);
    void ShowCropValues();
    void ShowCurrentColor();
    void Ok();

    Session& session_;
    MaskEdit edit_;
    int32_t clipIndex_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int zoom_ = 1;
    PixelBuffer frame_;
    PixelBuffer previewPixels_;
    QImage preview_;
    MaskPreviewCount count_;
    int32_t cropColor_ = 0;
    int32_t transColor_ = 0;
    bool cropChanged_[4] = {};
    bool toleranceChanged_ = false;

    MaskPicture* picture_;
    QScrollArea* pictureArea_;
    QLabel* size_;
    QLabel* position_;
    QLabel* colorAtMouse_;
    QLineEdit* crop_[4] = {};
    ColorList* list_ = nullptr;
    QScrollBar* listScroll_ = nullptr;
    QLineEdit* tolerance_ = nullptr;
    QPushButton* currentColor_ = nullptr;
    QPushButton* deleteColor_ = nullptr;
    QPushButton* cropColorButton_ = nullptr;
    QPushButton* transColorButton_ = nullptr;
    QLabel* share_ = nullptr;
};

}  // namespace composer
