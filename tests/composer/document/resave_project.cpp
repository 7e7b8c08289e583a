// Loads a project file as an open does and saves it under another name: the check by an independent
// reader uses it to read files that our writer made.
#include <cstdio>

#include "base/folders.h"
#include "document/open_save_class.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: resave_project FROM.CbMov TO.CbMov\n");
        return 2;
    }
    composer::InitFolders();
    composer::OpenSaveClass reader;
    bool saved = false;
    if (reader.LoadMovieSource(argv[1])) {
        composer::MovieDbRec& movie = reader.Local();
        movie.ProjectPath = argv[1];
        saved = composer::OpenSaveClass().SaveMovieSource(movie, argv[2]);
    }
    composer::RemoveWorkFolder();
    return saved ? 0 : 1;
}
