// The session: every change of the movie is counted, reading is not, and a copy is a snapshot that
// later changes of the original do not reach.
#include "document/session.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace composer
