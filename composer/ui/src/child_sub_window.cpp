#include "ui/child_sub_window.h"

#include <QCloseEvent>

#include "base/settings.h"

namespace composer {

ChildSubWindow::ChildSubWindow(QWidget* content, std::string section, PlacementRule rule)
    : section_(std::move(section)), rule_(std::move(rule)) {
    setWidget(content);
    setWindowTitle(content->windowTitle());
    connect(content, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
}

void ChildSubWindow::RestorePlacement(QSize workArea) {
    const WindowPlacement placement =
        rule_(ReadSetting(section_, "Window Position", "-1,-1,-1,-1"), PixelsToTwips(workArea.width()),
              PixelsToTwips(workArea.height()));
    setGeometry(TwipsToPixels(placement.left), TwipsToPixels(placement.top), TwipsToPixels(placement.width),
                TwipsToPixels(placement.height));
}

void ChildSubWindow::Unload(const std::function<void()>& whenNormal,
                            const std::function<void()>& beforeClose) {
    if (!isMinimized() && !isMaximized()) {
        const QRect place = geometry();
        WriteSetting(section_, "Window Position",
                     StoredPlacement({PixelsToTwips(place.top()), PixelsToTwips(place.left()),
                                      PixelsToTwips(place.height()), PixelsToTwips(place.width())}));
        if (whenNormal) whenNormal();
    }
    if (beforeClose) beforeClose();
    unloading_ = true;
    close();
}

void ChildSubWindow::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    event->ignore();
    showMinimized();
}

}  // namespace composer
