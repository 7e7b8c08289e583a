#include "ui/track_painter.h"

#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QString>

#include "base/duration.h"
#include "base/files.h"
#include "document/movie_plan.h"
#include "document/track_geometry.h"
#include "ui/thumbnail_cache.h"

namespace composer {

namespace {

constexpr int kMarkMargin = 12;
constexpr int kCaptionPixels = 11;
constexpr int kTextInset = 4;

QString Text(const std::string& text) { return QString::fromStdString(text); }

bool Visible(const QRect& box, int visibleWidth) { return box.right() >= 0 && box.left() < visibleWidth; }

QFont CaptionFont(const QPainter& painter) {
    QFont font = painter.font();
    font.setPixelSize(kCaptionPixels);
    return font;
}

// Lines of text from the top left of a rectangle.
void DrawLines(QPainter& painter, const QRect& area, const QStringList& lines) {
    const int step = painter.fontMetrics().lineSpacing();
    int y = area.top() + kTextInset;
    for (const QString& line : lines) {
        painter.drawText(QRect(area.left() + kTextInset, y, area.width() - 2 * kTextInset, step),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
        y += step;
    }
}

// The sound clip's lines; an overlay also tells its delay.
QStringList AudioLines(const ClipRec& clip, bool overlay) {
    QStringList lines{QStringLiteral(" Audio"), Text(" Duration: " + FormatDuration(clip.AudioDuration))};
    if (overlay) lines << Text(" Delay: " + FormatDuration(clip.OverlayDelay));
    return lines;
}

// One box: the frame, then the picture, the sound's lines or the missing file's text.
void DrawBox(const TrackPaint& paint, const QRect& box, int32_t clipIndex, bool overlay,
             const char* missingText) {
    QPainter& painter = paint.painter;
    const ClipRec& clip = paint.movie.Clips[static_cast<std::size_t>(clipIndex)];
    const QPalette palette;
    if (clipIndex == paint.movie.CurClip) {
        painter.setPen(QPen(CurrentClipMarkColor(), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(-kMarkMargin, -kMarkMargin, kMarkMargin, kMarkMargin));
    }
    painter.setPen(palette.color(QPalette::Mid));
    painter.setBrush(palette.color(QPalette::AlternateBase));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette.color(QPalette::Text));
    if (clip.ClipType == ClipAudio) {
        DrawLines(painter, box, AudioLines(clip, overlay));
        return;
    }
    if (!FileExists(clip.FilePath)) {
        DrawLines(painter, box, {QString::fromLatin1(missingText)});
        return;
    }
    const QRect inside = box.adjusted(1, 1, -1, -1);
    const int32_t frame = clip.CurFrame < 1 ? 1 : clip.CurFrame;
    QImage image = paint.thumbnails.Thumbnail(clip, frame, inside.size() * paint.pixelRatio);
    if (image.isNull()) return;
    image.setDevicePixelRatio(paint.pixelRatio);
    const QSizeF shown = image.deviceIndependentSize();
    const QPointF at(inside.left() + (inside.width() - shown.width()) / 2,
                     inside.top() + (inside.height() - shown.height()) / 2);
    painter.drawImage(at, image);
}

// A caption line under a box.
void DrawCaption(QPainter& painter, const QRect& box, int line, const QString& text) {
    const int step = painter.fontMetrics().lineSpacing();
    painter.drawText(
        QRect(box.left(), box.bottom() + 2 + line * step, box.width() + kBoxPitch - kBoxWidth, step),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        painter.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
}

}  // namespace

QColor CurrentClipMarkColor() {
    constexpr int32_t kMark = 0x808000;  // 0x00BBGGRR
    return QColor(kMark & 0xFF, (kMark >> 8) & 0xFF, (kMark >> 16) & 0xFF);
}

QRect BoxRect(int32_t trackX, int32_t column, int32_t rowTop) {
    return QRect(BoxLeft(trackX, column), rowTop, kBoxWidth, kRowBottom - kRowTop);
}

int PaintMovieTracks(const TrackPaint& paint) {
    QPainter& painter = paint.painter;
    const QFont saved = painter.font();
    int drawn = 0;
    double start = 0;
    for (int32_t i = 1; i <= paint.movie.ArrangedCount; ++i) {
        const int32_t clip = paint.movie.Arranged[static_cast<std::size_t>(i)].ClipIndex;
        const double duration = ClipDuration(paint.movie.Clips[static_cast<std::size_t>(clip)], true);
        const QRect box = BoxRect(paint.trackX, i, kRowTop);
        if (Visible(box, paint.visibleWidth)) {
            painter.setFont(saved);
            DrawBox(paint, box, clip, false, " File not found");
            painter.setFont(CaptionFont(painter));
            DrawCaption(painter, box, 0,
                        Text("At " + FormatDuration(start) + " [" + FormatDuration(duration) + "]"));
            ++drawn;
        }
        start += duration;
    }
    for (const OverlayColumn& placed : OverlayColumns(paint.movie)) {
        const QRect box = BoxRect(paint.trackX, placed.column, kOverlayRowTop);
        if (!Visible(box, paint.visibleWidth)) continue;
        const ClipRec& clip = paint.movie.Clips[static_cast<std::size_t>(placed.clip)];
        painter.setFont(saved);
        DrawBox(paint, box, placed.clip, true, " File not found");
        if (clip.ClipType != ClipAudio) {
            painter.setFont(CaptionFont(painter));
            DrawCaption(painter, box, 0,
                        Text("Delay: " + FormatDuration(clip.OverlayDelay) + " [" +
                             FormatDuration(ClipDuration(clip, false)) + "]"));
        }
        ++drawn;
    }
    painter.setFont(saved);
    return drawn;
}

int PaintUnusedTrack(const TrackPaint& paint) {
    QPainter& painter = paint.painter;
    const QFont saved = painter.font();
    int drawn = 0;
    for (int32_t n = 1; n <= paint.movie.UnusedCount; ++n) {
        const QRect box = BoxRect(paint.trackX, n, kRowTop);
        if (!Visible(box, paint.visibleWidth)) continue;
        const int32_t clipIndex = paint.movie.Unused[static_cast<std::size_t>(n)];
        const ClipRec& clip = paint.movie.Clips[static_cast<std::size_t>(clipIndex)];
        painter.setFont(saved);
        DrawBox(paint, box, clipIndex, false, "File not found");
        painter.setFont(CaptionFont(painter));
        DrawCaption(painter, box, 0, Text(clip.ClipName));
        DrawCaption(painter, box, 1, Text(FormatDuration(ClipDuration(clip, false))));
        ++drawn;
    }
    painter.setFont(saved);
    return drawn;
}

}  // namespace composer
