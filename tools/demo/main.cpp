// cinebrix-demo FOLDER: writes the demo clips and the project demo.CbMov into FOLDER (created when
// missing). Every run writes the same clips; nothing is read from elsewhere.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "base/folders.h"
#include "demo_project.h"
#include "document/open_save_class.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fprintf(stderr,
                     "usage: cinebrix-demo FOLDER\n"
                     "Writes demo clips and the project FOLDER/demo.CbMov that uses them.\n");
        return argc == 2 ? 0 : 2;
    }
    int status = 0;
    composer::InitFolders();
    try {
        const std::filesystem::path folder = std::filesystem::absolute(argv[1]);
        std::filesystem::create_directories(folder);
        demo::WriteDemoClips(folder.string());
        const std::string project = (folder / "demo.CbMov").string();
        // A project left by an earlier run is simply replaced, not kept in the trash.
        std::filesystem::remove(project);
        if (composer::OpenSaveClass::WriteDataFile(demo::DemoMovie(folder.string()), project)) {
            std::printf("%s\n", project.c_str());
        } else {
            std::fprintf(stderr, "cinebrix-demo: cannot write %s\n", project.c_str());
            status = 1;
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "cinebrix-demo: %s\n", failure.what());
        status = 1;
    }
    composer::RemoveWorkFolder();
    return status;
}
