// How quickly the mixer answers the user.
//
//   mixer_redraw_bench [FOLDER]
//       Writes a 200-clip project of pictures into FOLDER (default: a new temporary folder) and
//       prints, as the median of 9 runs:
//       - open: loading the project and drawing both mixer boxes with no picture decoded yet;
//       - redraw: selecting another clip and drawing both boxes again once the pictures are
//         decoded (the goal is one frame at 60 Hz, 16 ms);
//       - stalls: with the AVI library registered (CB_REGISTRY), the longest pause of the event loop
//         (and the 99th percentile) while a movie of the project renders on the worker thread
//         (goal: under 50 ms; a loaded machine adds its own scheduling pauses).
//       Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/folders.h"
#include "base/scripted_interaction.h"
#include "cbplatform/media_log.h"
#include "commands/render_runner.h"
#include "document/movie_db.h"
#include "document/open_project.h"
#include "document/open_save_class.h"
#include "document/session.h"
#include "media/media_source_probe.h"
#include "render/movie_render.h"
#include "ui/mixer_window.h"
#include "ui/track_box.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kClips = 200;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Milliseconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// 120 arranged clips (every third with an overlay), the rest on the shelf; pictures 320 x 240.
std::string WriteProject(const std::string& folder) {
    composer::MovieDbRec movie;
    composer::ClearMovie(movie);
    movie.MovieName = "Two hundred clips";
    for (int i = 1; i <= kClips; ++i) {
        QImage image(320, 240, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((i * 37) % 360, 200, 220));
        QPainter(&image).drawText(image.rect(), Qt::AlignCenter, QString::number(i));
        const std::string file = folder + "/clip" + std::to_string(i) + ".bmp";
        image.save(QString::fromStdString(file));
        composer::ClipRec clip;
        clip.ClipType = composer::ClipPicture;
        clip.FilePath = file;
        clip.ClipName = "clip" + std::to_string(i);
        clip.SrcWidth = 320;
        clip.SrcHeight = 240;
        clip.CurFrame = 1;
        clip.PicDuration = 0.2;
        movie.Clips.push_back(clip);
        ++movie.ClipCount;
    }
    int next = 1;
    for (int a = 1; a <= 120 && next <= kClips; ++a) {
        composer::ArrangeRec entry;
        entry.ClipIndex = next++;
        if (a % 3 == 0 && next <= kClips) {
            entry.Overlays.push_back(next++);
            entry.OverlayCount = 1;
        }
        movie.Arranged.push_back(entry);
        ++movie.ArrangedCount;
    }
    while (next <= kClips) {
        movie.Unused.push_back(next++);
        ++movie.UnusedCount;
    }
    movie.CurClip = 1;
    const std::string project = folder + "/bench.CbMov";
    composer::OpenSaveClass::WriteDataFile(movie, project);
    return project;
}

// Both boxes painted into an image, as the screen would get them.
void DrawBoth(composer::MixerWindow& mixer, QImage& canvas) {
    mixer.RedrawMovieTracks();
    mixer.RedrawUnusedTrack();
    QPainter painter(&canvas);
    mixer.MovieBox()->render(&painter);
    mixer.UnusedBox()->render(&painter, QPoint(0, mixer.MovieBox()->height()));
}

// The gaps between the ticks of a 5 ms timer while a render runs on the worker: the longest and the
// 99th percentile, in milliseconds. Nothing without the library.
struct Stalls {
    double longest = -1;
    double percentile99 = -1;
};

Stalls EventLoopStalls(composer::Session& session, const std::string& folder) {
    composer::ScriptedInteraction quiet;
    composer::ScopedInteraction installed(quiet);
    composer::RenderRunner runner;
    const std::string movie = folder + "/bench.avi";
    bool written = false;
    QEventLoop loop;
    runner.Start(
        session, movie, composer::RenderOptionsFromSettings(session),
        [movie](composer::MovieDbRec& m, composer::RenderOptions& options) {
            return composer::SaveMovie(m, movie, options).written;
        },
        [&](const composer::RenderOutcome& outcome) {
            written = outcome.written;
            loop.quit();
        });
    QElapsedTimer sinceTick;
    sinceTick.start();
    std::vector<double> gaps;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        gaps.push_back(static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    tick.start(5);
    loop.exec();
    if (!written || gaps.empty()) return {};
    std::sort(gaps.begin(), gaps.end());
    return {gaps.back(), gaps[gaps.size() * 99 / 100]};
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    cb::QuietMediaLog();
    QApplication application(argc, argv);
    std::string folder = argc > 1 ? argv[1] : "";
    if (folder.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "mixer-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data()) ? pattern : "/tmp";
    }
    composer::InitFolders();
    composer::MediaSourceProbe probe;
    composer::ScopedSourceProbe installedProbe(probe);
    const std::string project = WriteProject(folder);

    composer::Session session;
    composer::MixerWindow mixer(session);
    mixer.resize(1280, 700);
    mixer.LayoutBoxes();
    QImage canvas(1280, 700, QImage::Format_RGB32);
    std::vector<double> opens;
    for (int run = 0; run < 9; ++run) {
        mixer.Thumbnails().Clear();
        opens.push_back(Milliseconds([&] {
            composer::OpenProjectFromCommandLine(session, project);
            DrawBoth(mixer, canvas);
        }));
    }
    std::vector<double> redraws;
    for (int run = 0; run < 9; ++run) {
        redraws.push_back(Milliseconds([&] {
            composer::SelectClip(session.EditMovie(), run % 6 + 1);
            DrawBoth(mixer, canvas);
        }));
    }
    std::printf("open 200-clip project to a drawn mixer: %.1f ms (goal 500)\n", Median(opens));
    std::printf("redraw after a selection, pictures decoded: %.2f ms (goal 16)\n", Median(redraws));
    std::printf("boxes drawn: %d arranged and overlay, %d unused; pictures decoded: %d\n",
                mixer.MovieBox()->LastDrawnBoxes(), mixer.UnusedBox()->LastDrawnBoxes(),
                mixer.Thumbnails().Decodes());
    const Stalls stalls = EventLoopStalls(session, folder);
    if (stalls.longest < 0) {
        std::printf(
            "render stalls: not measured (register the AVI library with regsvr and set CB_REGISTRY)\n");
    } else {
        std::printf("event-loop pauses while rendering: longest %.0f ms, 99%% under %.0f ms (goal 50)\n",
                    stalls.longest, stalls.percentile99);
    }
    composer::RemoveWorkFolder();
    return 0;
}
