#pragma once
// One of the mixer's two boxes: its title strip, its rows of clip boxes (painted in one go, only
// what is visible), its horizontal scroll bar, and the mouse presses that select clips.
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "document/session.h"

class QScrollBar;

namespace composer {

class ThumbnailCache;

enum class TrackBoxKind { Movie, Unused };

class TrackBox : public QWidget {
  public:
    TrackBox(TrackBoxKind kind, ThumbnailCache& thumbnails, const Session& session, QWidget* parent);

    TrackBoxKind kind() const { return kind_; }
    QScrollBar* scrollBar() const { return scroll_; }
    // Called with the press position in box units.
    void SetPressHandler(std::function<void(QPoint)> handler) { onPress_ = std::move(handler); }
    // Called with the local files dropped on the box (from the file manager).
    void SetDropHandler(std::function<void(const std::vector<std::string>&)> handler) {
        onDrop_ = std::move(handler);
    }
    // The start-up placeholder texts, shown until the box is first drawn for the movie.
    void SetPlaceholders(bool shown) { placeholders_ = shown; }
    // How many clip boxes the last paint drew.
    int LastDrawnBoxes() const { return drawnBoxes_; }

    static constexpr int kTitleHeight = 18;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void PaintTitle(QPainter& painter);
    void PaintPlaceholders(QPainter& painter);

    TrackBoxKind kind_;
    ThumbnailCache& thumbnails_;
    const Session& session_;
    QScrollBar* scroll_;
    std::function<void(QPoint)> onPress_;
    std::function<void(const std::vector<std::string>&)> onDrop_;
    bool placeholders_ = false;
    int drawnBoxes_ = 0;
};

}  // namespace composer
