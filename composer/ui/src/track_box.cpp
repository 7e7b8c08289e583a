#include "ui/track_box.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>

#include "base/app_state.h"
#include "document/movie_db.h"
#include "ui/track_painter.h"

namespace composer {

TrackBox::TrackBox(TrackBoxKind kind, ThumbnailCache& thumbnails, const Session& session, QWidget* parent)
    : QWidget(parent),
      kind_(kind),
      thumbnails_(thumbnails),
      session_(session),
      scroll_(new QScrollBar(Qt::Horizontal, this)) {
    setObjectName(kind == TrackBoxKind::Movie ? QStringLiteral("MoviePic") : QStringLiteral("UnusedPic"));
    scroll_->setObjectName(kind == TrackBoxKind::Movie ? QStringLiteral("MovieScroll")
                                                       : QStringLiteral("UnusedScroll"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setStatusTip(
        kind == TrackBoxKind::Movie
            ? QStringLiteral("Main arranged clips and overlay clips attached to that are shown here.")
            : QStringLiteral("Unused clips are shown here."));
}

void TrackBox::resizeEvent(QResizeEvent*) {
    const int barHeight = scroll_->sizeHint().height();
    scroll_->setGeometry(0, height() - barHeight, width(), barHeight);
}

void TrackBox::PaintTitle(QPainter& painter) {
    const QRect strip(0, 0, width(), kTitleHeight);
    painter.fillRect(strip, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(strip.bottomLeft(), strip.bottomRight());
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(
        strip.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
        kind_ == TrackBoxKind::Movie ? QStringLiteral(" Arranged Clips") : QStringLiteral(" Unused Clips"));
    painter.setFont(font());
}

void TrackBox::PaintPlaceholders(QPainter& painter) {
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int x = session_.view.arrangedTrackX;
    const int line = painter.fontMetrics().height();
    auto at = [&](int y, const QString& text) {
        painter.drawText(QRect(x, y, width() - x, line), Qt::AlignLeft, text);
    };
    if (kind_ == TrackBoxKind::Movie) {
        at(60, QStringLiteral("'Main Arranged' clips will be shown here. Click Add to start"));
        at(235, QStringLiteral("'Overlay' clips will be shown here"));
    } else {
        at(60, QStringLiteral("'Unused' clips will be shown here"));
    }
}

void TrackBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintTitle(painter);
    if (placeholders_) {
        PaintPlaceholders(painter);
        drawnBoxes_ = 0;
        return;
    }
    const MixerView& view = session_.view;
    const TrackPaint paint{
        painter,     session_.Movie(),
        thumbnails_, kind_ == TrackBoxKind::Movie ? view.arrangedTrackX : view.unusedTrackX,
        width(),     devicePixelRatioF()};
    drawnBoxes_ = kind_ == TrackBoxKind::Movie ? PaintMovieTracks(paint) : PaintUnusedTrack(paint);
}

namespace {

std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (data == nullptr) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    return files;
}

}  // namespace

void TrackBox::dragEnterEvent(QDragEnterEvent* event) {
    if (onDrop_ && isEnabled() && !LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TrackBox::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = LocalFiles(event->mimeData());
    if (!onDrop_ || files.empty()) return;
    event->acceptProposedAction();
    onDrop_(files);
}

void TrackBox::mousePressEvent(QMouseEvent* event) {
    if (onPress_) onPress_(event->position().toPoint());
}

}  // namespace composer
