// Composition speed of the movie render without the writer: every output frame of a cropped clip
// with a keyed overlay is composed into a picture, as the render does before it hands the frame on.
//
//   render_compose_bench MAIN.avi OVERLAY.avi [FRAMES]
//
// MAIN.avi is cropped by 16 pixels left and right and 12 top and bottom and stretched to 352 x 288;
// OVERLAY.avi is laid over it with pure green transparent at 10 %. The AVI library must be
// registered (CB_REGISTRY). render_bench.py makes such sources; its temporary folder is removed, so
// make them with ffmpeg as it does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/folders.h"
#include "document/movie_plan.h"
#include "frame_composer.h"
#include "render_layers.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_compose_bench MAIN.avi OVERLAY.avi [FRAMES]\n");
        return 2;
    }
    const int32_t frames = argc > 3 ? std::atoi(argv[3]) : 1500;
    composer::InitFolders();
    composer::MovieDbRec movie;
    movie.OutFps = 25;
    movie.OutWidth = 352;
    movie.OutHeight = 288;
    composer::ClipRec main;
    main.ClipType = composer::ClipVideo;
    main.FilePath = argv[1];
    main.ClipName = "Main";
    main.SrcFps = 25;
    main.FrameCount = frames;
    main.UseFirst = 1;
    main.UseLast = frames;
    main.CropTop = main.CropBottom = 12;
    main.CropLeft = main.CropRight = 16;
    composer::ClipRec overlay = main;
    overlay.FilePath = argv[2];
    overlay.ClipName = "Overlay";
    overlay.CropTop = overlay.CropBottom = overlay.CropLeft = overlay.CropRight = 0;
    overlay.TransColors.push_back({0, 255, 0, 10});
    overlay.TransColorCount = 1;
    movie.Clips = {composer::ClipRec{}, main, overlay};
    movie.ClipCount = 2;
    composer::ArrangeRec entry;
    entry.ClipIndex = 1;
    entry.Overlays = {0, 2};
    entry.OverlayCount = 1;
    movie.Arranged = {composer::ArrangeRec{}, entry};
    movie.ArrangedCount = 1;

    const composer::MoviePlan plan = composer::BuildMoviePlan(movie);
    std::string warnings;
    composer::RenderLayers layers(movie, warnings);
    composer::FrameComposer frameComposer(movie, layers);
    const auto started = std::chrono::steady_clock::now();
    int32_t composed = 0;
    for (int32_t f = 1; f <= plan.TotalFrames; ++f)
        composed += frameComposer.Compose(plan.FrameRows[f]) ? 1 : 0;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d frames composed in %.2f s: %.1f frames per second (sources %d x %d and %d x %d)\n",
                composed, seconds, composed / seconds, layers.Layer(0).sourceWidth,
                layers.Layer(0).sourceHeight, layers.OverlayLayers() > 0 ? layers.Layer(1).sourceWidth : 0,
                layers.OverlayLayers() > 0 ? layers.Layer(1).sourceHeight : 0);
    composer::RemoveWorkFolder();
    return 0;
}
