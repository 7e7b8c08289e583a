// The session: every change of the movie is counted, reading is not, and a copy is a snapshot that
// later changes of the original do not reach.
#include "document/session.h"

#include <gtest/gtest.h>

#include <string>

#include "document/movie_db.h"

namespace composer {
namespace {

TEST(Session, CountsEveryChangeOfTheMovieAndNoRead) {
    Session session;
    EXPECT_EQ(session.Revision(), 0u);
    EXPECT_EQ(session.Movie().ClipCount, 0);
    EXPECT_EQ(session.Revision(), 0u);  // reading is no change

    session.EditMovie().MovieName = "Trip";
    EXPECT_EQ(session.Revision(), 1u);
    ClearMovie(session.EditMovie());
    EXPECT_EQ(session.Revision(), 2u);

    MovieDbRec other;
    other.MovieName = "Other";
    session.ReplaceMovie(other);
    EXPECT_EQ(session.Revision(), 3u);
    EXPECT_EQ(session.Movie().MovieName, "Other");

    // The settings beside the movie are no change of it.
    session.output.compressor = 42;
    session.view.clipViewScale = 5;
    session.testPlay.durationSeconds = 2;
    EXPECT_EQ(session.Revision(), 3u);
}

TEST(Session, ACopyIsASnapshot) {
    Session session;
    session.EditMovie().MovieName = "Before";
    session.output.coding.sharePreset = "fast";
    session.dialogs.clips.FileName = "/clips/a.avi";
    const Session copy = session;
    session.EditMovie().MovieName = "After";
    session.output.coding.sharePreset = "slow";
    session.dialogs.clips.FileName = "/clips/b.avi";
    EXPECT_EQ(copy.Movie().MovieName, "Before");
    EXPECT_EQ(copy.output.coding.sharePreset, "fast");
    EXPECT_EQ(copy.dialogs.clips.FileName, "/clips/a.avi");
    EXPECT_EQ(copy.Revision(), 1u);
    EXPECT_EQ(session.Revision(), 2u);
}

// A movie of `count` clips, clip c read from "/clips/c.wav".
MovieDbRec ClipsMovie(int32_t count) {
    MovieDbRec movie;
    ClearMovie(movie);
    for (int32_t c = 1; c <= count; ++c) {
        ClipRec clip;
        clip.FilePath = "/clips/" + std::to_string(c) + ".wav";
        movie.Clips.push_back(clip);
    }
    movie.ClipCount = count;
    return movie;
}

TEST(Session, ARendersResultsComeBackOnlyForClipsThatAreStillTheSame) {
    Session session;
    session.ReplaceMovie(ClipsMovie(3));
    session.EditMovie().MovieName = "Trip";
    MovieDbRec rendered = session.Movie();  // the render's copy
    rendered.OutputPath = "/out/trip.avi";
    rendered.OutWidth = 640;  // repaired by the render
    rendered.OutRate = 44100;
    rendered.MovieName = "not a result";
    for (ClipRec& clip : rendered.Clips) {
        clip.CacheLeftFile = clip.FilePath + ".left";
        clip.CacheRate = 44100;
    }
    // Meanwhile clip 2 became another file and a fourth clip came.
    session.EditMovie().Clips[2].FilePath = "/clips/other.wav";
    session.EditMovie().Clips.push_back(ClipRec{});
    session.EditMovie().ClipCount = 4;
    const uint64_t before = session.Revision();

    session.TakeRenderResults(rendered);
    const MovieDbRec& movie = session.Movie();
    EXPECT_GT(session.Revision(), before);
    EXPECT_EQ(movie.OutputPath, "/out/trip.avi");
    EXPECT_EQ(movie.OutWidth, 640);
    EXPECT_EQ(movie.OutRate, 44100);
    EXPECT_EQ(movie.MovieName, "Trip");  // the render's copy carries nothing else back
    EXPECT_EQ(movie.Clips[1].CacheLeftFile, "/clips/1.wav.left");
    EXPECT_EQ(movie.Clips[1].CacheRate, 44100);
    EXPECT_EQ(movie.Clips[2].CacheLeftFile, "");  // its cache is of a file it no longer reads
    EXPECT_EQ(movie.Clips[3].CacheLeftFile, "/clips/3.wav.left");
    EXPECT_EQ(movie.Clips[4].CacheLeftFile, "");
    EXPECT_EQ(movie.ClipCount, 4);
}

}  // namespace
}  // namespace composer
