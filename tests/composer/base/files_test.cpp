// Files and the run's folders: what counts as an existing file, deleting, lengths, the work folder
// and temporary names.
#include "base/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app_state_guard.h"
#include "base/app_state.h"
#include "base/folders.h"
#include "base/settings.h"
#include "scratch_folder.h"

namespace composer {
namespace {

namespace fs = std::filesystem;

TEST(FileExists, OnlyVisibleRegularFilesCount) {
    testing::ScratchFolder folder;
    const std::string file = folder.Write("clip.avi", "x");
    folder.Write(".hidden.avi", "x");
    fs::create_directory(folder / "sub");
    fs::create_symlink(file, folder / "link.avi");
    const struct {
        std::string path;
        bool exists;
    } cases[] = {{file, true},
                 {"  " + file + "  ", true},
                 {folder / "link.avi", true},
                 {folder / ".hidden.avi", false},
                 {folder / "sub", false},
                 {folder / "missing.avi", false},
                 {"", false},
                 {"   ", false},
                 {"/dev/null", false}};
    for (const auto& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << '"' << c.path << '"';
}

TEST(DeleteFileChecked, TrueWhenNoSuchFileIsLeft) {
    testing::ScratchFolder folder;
    const std::string file = folder.Write("a.tmp", "data");
    EXPECT_TRUE(DeleteFileChecked(file));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(DeleteFileChecked(file));  // nothing there is fine too
    fs::create_directory(folder / "sub");
    EXPECT_TRUE(DeleteFileChecked(folder / "sub"));  // a folder is no file: left alone
    EXPECT_TRUE(fs::is_directory(folder / "sub"));
}

TEST(SetFileLength, SetsTheEndOfAnExistingFileOnly) {
    testing::ScratchFolder folder;
    const std::string file = folder.Write("buffer.tmp", "abcdef");
    EXPECT_TRUE(SetFileLength(file, 1000));
    EXPECT_EQ(fs::file_size(file), 1000u);
    EXPECT_EQ(folder.Read("buffer.tmp").substr(0, 7), std::string("abcdef\0", 7));
    EXPECT_TRUE(SetFileLength(file, 2));
    EXPECT_EQ(folder.Read("buffer.tmp"), "ab");
    EXPECT_FALSE(SetFileLength(folder / "missing.tmp", 10));
    EXPECT_FALSE(fs::exists(folder / "missing.tmp"));
    EXPECT_FALSE(SetFileLength(file, -1));
}

TEST(LastPathComponent, SplitsOnBothSeparators) {
    const struct {
        const char* path;
        const char* last;
    } cases[] = {
        {"C:\\Clips\\a.avi", "a.avi"}, {"/x/y.z", "y.z"}, {"a", "a"}, {"D:\\a/b\\c", "c"}, {"dir/", ""}};
    for (const auto& c : cases) EXPECT_EQ(LastPathComponent(c.path), c.last) << c.path;
}

TEST(WorkFolder, TheNameHoldsTheProcessIdAndATakenNameIsPassedOver) {
    testing::ScratchFolder folder;
    EXPECT_EQ(CreateWorkFolderIn(folder.path(), 4711), folder / "cbv4711");
    EXPECT_EQ(CreateWorkFolderIn(folder.path(), 4711), folder / "cbv4711-1");
    folder.Write("cbv4711-2", "a file holds this name");
    EXPECT_EQ(CreateWorkFolderIn(folder.path(), 4711), folder / "cbv4711-3");
    EXPECT_TRUE(fs::is_directory(folder / "cbv4711-3"));
    EXPECT_EQ(CreateWorkFolderIn(folder / "missing", 1), "");  // gives up instead of looping
}

// A process id no process can have: one above the largest the system hands out.
int64_t DeadProcessId() {
    std::ifstream limit("/proc/sys/kernel/pid_max");
    int64_t largest = 4194304;
    limit >> largest;
    return largest + 1;
}

TEST(WorkFolder, FoldersOfProcessesThatAreGoneAreRemovedAtStart) {
    testing::ScratchFolder folder;
    const std::string dead = "cbv" + std::to_string(DeadProcessId());
    const std::string own = "cbv" + std::to_string(::getpid());
    for (const std::string& name : {dead, dead + "-2", own, std::string("cbv1"), dead + "x"}) {
        fs::create_directory(folder / name);
        folder.Write(name + "/tm1.wav", "sound");
    }
    folder.Write("cbv" + std::to_string(DeadProcessId() + 1), "a file, not a work folder");
    fs::create_directory_symlink(folder / own, folder / (dead + "-3"));
    RemoveStaleWorkFolders(folder.path());
    EXPECT_FALSE(fs::exists(folder / dead));
    EXPECT_FALSE(fs::exists(folder / (dead + "-2")));
    // Running processes (this one, process 1), other names, files, and links keep theirs.
    EXPECT_TRUE(fs::exists(folder / (own + "/tm1.wav")));
    EXPECT_TRUE(fs::exists(folder / "cbv1/tm1.wav"));
    EXPECT_TRUE(fs::exists(folder / (dead + "x/tm1.wav")));
    EXPECT_TRUE(fs::exists(folder / ("cbv" + std::to_string(DeadProcessId() + 1))));
    EXPECT_TRUE(fs::is_symlink(folder / (dead + "-3")));
}

TEST(WorkFolder, InitFoldersUsesTmpdirElseTheProgramFolder) {
    testing::AppStateGuard state;
    testing::ScratchFolder folder;
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("TMPDIR", (folder.path() + "/").c_str(), 1);
    InitFolders();
    EXPECT_EQ(AppFolder, ProgramFolder());
    EXPECT_EQ(TempFolder, folder.path());
    EXPECT_EQ(fs::path(WorkFolder).parent_path(), folder.path());
    EXPECT_TRUE(LastPathComponent(WorkFolder).starts_with("cbv"));
    EXPECT_TRUE(fs::is_directory(WorkFolder));
    RemoveWorkFolder();

    ::setenv("TMPDIR", (folder / "missing").c_str(), 1);
    InitFolders();
    EXPECT_EQ(TempFolder, AppFolder);
    EXPECT_EQ(fs::path(WorkFolder).parent_path(), AppFolder);
    RemoveWorkFolder();
    EXPECT_FALSE(fs::exists(WorkFolder));
    if (saved)
        ::setenv("TMPDIR", savedValue.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST(WorkFolder, TemporaryNamesAreNeverReusedAndTheFolderIsRemovedWhole) {
    testing::ScratchFolder folder;
    WorkFolder = CreateWorkFolderIn(folder.path(), 0);
    TempFileCounter = 0;
    const std::string first = NewTempFileName();
    EXPECT_EQ(first, WorkFolder + "/tm1.tmp");
    std::ofstream(WorkFolder + "/tm2.tmp") << "taken";
    EXPECT_EQ(NewTempFileName(""), WorkFolder + "/tm3.tmp");
    EXPECT_EQ(NewTempFileName("wav"), WorkFolder + "/tm4.wav");
    std::ofstream(first) << "x";
    DeleteFileChecked(first);
    EXPECT_EQ(NewTempFileName(), WorkFolder + "/tm5.tmp");
    std::ofstream(WorkFolder + "/.hidden") << "x";
    RemoveWorkFolder();
    EXPECT_FALSE(fs::exists(WorkFolder));
    WorkFolder.clear();
    RemoveWorkFolder();  // nothing to remove: no harm
}

}  // namespace
}  // namespace composer
