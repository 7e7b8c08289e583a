#include "commands/gui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace composer {

bool OnGuiThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application == nullptr || QThread::currentThread() == application->thread();
}

void RunOnGuiThread(const std::function<void()>& work) {
    if (OnGuiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), work, Qt::BlockingQueuedConnection);
}

void PostToGuiThread(std::function<void()> work) {
    if (OnGuiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

}  // namespace composer
