#include "ui/help_line_dialog.h"

#include <QStatusTipEvent>

#include "base/guide.h"

namespace composer {

bool HelpLineDialog::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowStatusHelp(static_cast<QStatusTipEvent*>(event)->tip().toStdString());
        return true;
    }
    return QDialog::event(event);
}

}  // namespace composer
