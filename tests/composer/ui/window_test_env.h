#pragma once
// What the window tests share: the application object and small picture movies.
#include <QApplication>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "document/movie_records.h"
#include "picture_movie.h"

namespace composer {

QApplication& UiTestApp();

// Registers the AVI library in a registry of this test run (CB_REGISTRY), for the tests that read
// or write movies through it.
void RegisterLibraryForTests(const std::string& regsvr, const std::string& library);

// Answers the next modal dialog of type Dialog once it shows (the window under test opens it with
// exec()): `answer` fills and closes it as a user would.
template <typename Dialog>
void WhenDialogShows(std::function<void(Dialog&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        poll->stop();
        poll->deleteLater();
        answer(*dialog);
    });
    poll->start(5);
}

}  // namespace composer
