// Partial files: their names stay within the folder's name limit beside their target, and the
// records that let a later run remove what a killed run left, and nothing else.
#include "cbplatform/partial_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "cbplatform/staged_file.h"
#include "scratch_folder.h"

namespace cb {
namespace {

namespace fs = std::filesystem;
using composer::testing::ScratchFolder;

constexpr std::size_t kNameMax = 255;

// Whether the bytes are whole UTF-8 characters (a cut through one would show as garbage).
bool WholeUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 4;
        if (at + length > text.size()) return false;
        for (std::size_t next = at + 1; next < at + length; ++next)
            if ((static_cast<unsigned char>(text[next]) & 0xC0) != 0x80) return false;
        at += length;
    }
    return true;
}

TEST(PartialFileName, StaysWithinTheLimitAndKeepsBothEndsOfALongName) {
    const std::string suffix = ".partial-4711-12";
    const struct {
        const char* what;
        std::string target;
    } rows[] = {
        {"short", "movie.avi"},
        {"exactly fitting", std::string(kNameMax - suffix.size(), 'a')},
        {"one byte over", std::string(kNameMax - suffix.size() + 1, 'a')},
        {"255 bytes", std::string(251, 'b') + ".avi"},
        {"two-byte characters", std::string(1, 'x') +
                                    [] {
                                        std::string umlauts;
                                        for (int i = 0; i < 127; ++i) umlauts += "\xC3\xA4";  // ä
                                        return umlauts;
                                    }()},
        {"four-byte characters",
         [] {
             std::string faces;
             for (int i = 0; i < 63; ++i) faces += "\xF0\x9F\x98\x80";
             return faces + ".mp4";
         }()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string name = PartialFileName(row.target, 4711, 12, kNameMax);
        EXPECT_LE(name.size(), kNameMax);
        EXPECT_TRUE(WholeUtf8(name)) << name;
        EXPECT_TRUE(IsPartialFileName(name, 4711)) << name;
        EXPECT_EQ(name.substr(name.size() - suffix.size()), suffix);
        if (row.target.size() + suffix.size() <= kNameMax) {
            EXPECT_EQ(name, row.target + suffix);
        } else {
            EXPECT_EQ(name.substr(0, 10), row.target.substr(0, 10)) << "the start stays";
            const std::string tail = row.target.substr(row.target.size() - 4);
            EXPECT_NE(name.find(tail + suffix), std::string::npos) << "the end (extension) stays: " << name;
        }
    }
    // Long names that differ only in their middle keep different partial names.
    std::string other = rows[3].target;
    other[120] = 'c';
    EXPECT_NE(PartialFileName(rows[3].target, 1, 1, kNameMax), PartialFileName(other, 1, 1, kNameMax));
}

TEST(PartialFileName, TellsPartialNamesOfAProcessFromOtherNames) {
    EXPECT_TRUE(IsPartialFileName("movie.avi.partial-42-1", 42));
    EXPECT_TRUE(IsPartialFileName("movie.avi.partial-42-1.partial-42-2", 42));
    for (const char* name : {"movie.avi", "movie.avi.partial-43-1", "movie.avi.partial-42-", ".partial-42-1",
                             "movie.avi.partial-42-1x", "movie.avi.partial-421-1"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsPartialFileName(name, 42));
    }
}

class PartialRecordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.path().empty());
        records_ = folder_ / "records";
        fs::create_directories(records_);
    }

    // The id of a process that has ended (and been reaped).
    static pid_t EndedProcess() {
        const pid_t child = ::fork();
        if (child == 0) ::_exit(0);
        int status = 0;
        ::waitpid(child, &status, 0);
        return child;
    }

    std::string WriteRecord(const std::string& name, long long processId, unsigned long long startTime,
                            const std::string& partialPath) const {
        const std::string path = records_ + "/" + name;
        std::ofstream(path) << processId << " " << startTime << "\n" << partialPath << "\n";
        return path;
    }

    std::string File(const std::string& name) const { return folder_.Write(name, "content of " + name); }

    ScratchFolder folder_;
    std::string records_;
};

TEST_F(PartialRecordTest, RemovesWhatDeadRunsLeftAndNothingElse) {
    const pid_t dead = EndedProcess();
    const pid_t self = ::getpid();
    const auto started = ProcessStartTime(self);
    ASSERT_TRUE(started);
    const std::string deadPartial = File("movie.avi.partial-" + std::to_string(dead) + "-1");
    const std::string reusedPartial = File("reused.avi.partial-" + std::to_string(self) + "-7");
    const std::string livePartial = File("live.avi.partial-" + std::to_string(self) + "-8");
    const std::string notPartial = File("keep.avi");
    const std::string otherProcess = File("other.avi.partial-" + std::to_string(dead + 1) + "-1");
    fs::create_directories(folder_ / "folder.partial-" + std::to_string(dead) + "-2");
    fs::create_symlink(notPartial, folder_ / "link.partial-" + std::to_string(dead) + "-3");
    const std::string junk = records_ + "/junk";
    std::ofstream(junk) << "not a record\n" << notPartial << "\n";

    const std::string deadRecord = WriteRecord("a", dead, 5, deadPartial);
    // The same id as a running process that started at another time: the id was used again.
    const std::string reusedRecord = WriteRecord("b", self, *started + 1, reusedPartial);
    const std::string liveRecord = WriteRecord("c", self, *started, livePartial);
    const std::string notPartialRecord = WriteRecord("d", dead, 5, notPartial);
    const std::string otherRecord = WriteRecord("e", dead, 5, otherProcess);
    const std::string folderRecord =
        WriteRecord("f", dead, 5, folder_ / "folder.partial-" + std::to_string(dead) + "-2");
    const std::string linkRecord =
        WriteRecord("g", dead, 5, folder_ / "link.partial-" + std::to_string(dead) + "-3");

    RemoveStalePartialFiles(records_);

    EXPECT_FALSE(fs::exists(deadPartial));
    EXPECT_FALSE(fs::exists(reusedPartial));
    EXPECT_TRUE(fs::exists(livePartial)) << "a running process's partial file stays";
    EXPECT_TRUE(fs::exists(liveRecord));
    EXPECT_EQ(folder_.Read("keep.avi"), "content of keep.avi") << "a record never removes another file";
    EXPECT_TRUE(fs::exists(otherProcess)) << "the name must be one of the recorded process";
    EXPECT_TRUE(fs::is_directory(folder_ / "folder.partial-" + std::to_string(dead) + "-2"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.partial-" + std::to_string(dead) + "-3"))
        << "a link is not followed";
    EXPECT_TRUE(fs::exists(junk)) << "what is not a record stays";
    for (const std::string& record :
         {deadRecord, reusedRecord, notPartialRecord, otherRecord, folderRecord, linkRecord})
        EXPECT_FALSE(fs::exists(record)) << record;
}

TEST_F(PartialRecordTest, AStagedFileIsRecordedUntilItIsCommittedOrDiscarded) {
    ASSERT_EQ(::setenv("XDG_STATE_HOME", (folder_ / "state").c_str(), 1), 0);
    const std::string recordFolder = PartialRecordFolder();
    EXPECT_EQ(recordFolder, folder_ / "state/cinebrix/partial");
    const auto recordCount = [&] {
        std::error_code error;
        return std::distance(fs::directory_iterator(recordFolder, error), fs::directory_iterator());
    };
    {
        std::optional<StagedFile> discarded = StagedFile::Reserve(folder_ / "gone.avi");
        ASSERT_TRUE(discarded);
        EXPECT_EQ(recordCount(), 1);
        // A run killed now would leave the partial file; a later start removes it only when its
        // process is gone: this one runs.
        RemoveStalePartialFiles(recordFolder);
        EXPECT_TRUE(fs::exists(discarded->path()));
    }
    EXPECT_EQ(recordCount(), 0);
    std::optional<StagedFile> committed = StagedFile::Reserve(folder_ / "kept.avi");
    ASSERT_TRUE(committed);
    ASSERT_TRUE(committed->commit());
    EXPECT_EQ(recordCount(), 0);
}

TEST_F(PartialRecordTest, ATargetNameOfTheLongestLengthIsWrittenBesideItself) {
    const std::string target = folder_ / (std::string(251, 'n') + ".avi");
    const long nameMax = ::pathconf(folder_.path().c_str(), _PC_NAME_MAX);
    ASSERT_GE(nameMax, 255);
    std::optional<StagedFile> staged = StagedFile::Reserve(target);
    ASSERT_TRUE(staged) << std::strerror(errno);
    const fs::path partial(staged->path());
    EXPECT_EQ(partial.parent_path(), fs::path(folder_.path()));
    EXPECT_LE(partial.filename().string().size(), static_cast<std::size_t>(nameMax));
    std::ofstream(staged->path()) << "the new movie";
    ASSERT_TRUE(staged->commit()) << std::strerror(errno);
    EXPECT_EQ(folder_.Read(fs::path(target).filename().string()), "the new movie");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 2)
        << "the target and the record folder, nothing else";
}

}  // namespace
}  // namespace cb
