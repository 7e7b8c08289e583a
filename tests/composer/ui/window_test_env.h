#pragma once
// What the window tests share: the application object and small picture movies.
#include <QApplication>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "document/movie_records.h"

namespace composer {

QApplication& UiTestApp();

struct TestEntry {
    int32_t clip;
    std::vector<int32_t> overlays;
};

// A movie of picture clips, clip n from files[n - 1], on the given tracks; clip 1 is current.
MovieDbRec PictureMovie(const std::vector<std::string>& files, const std::vector<TestEntry>& arranged,
                        const std::vector<int32_t>& unused);

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
