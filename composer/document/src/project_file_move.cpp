// Replacing a project file: the old one goes to the desktop's trash, the new one is put in place.
#include <QFile>
#include <QString>

#include <cstdio>
#include <filesystem>

#include "appgen/files.h"
#include "document/OpenSaveClass.h"

namespace composer {

bool DeleteFiles(const std::string& path) {
    // The replaced project goes to the trash so that a save over the wrong file can be undone. Where
    // the system has no trash for that place (some mounts, no home folder), the file is deleted.
    if (QFile::moveToTrash(QString::fromStdString(path))) return !FileExists(path);
    return DeleteFileChecked(path);
}

bool MoveFile(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    // Another file system: copy, then remove the original.
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    if (error) return false;
    std::filesystem::remove(from, error);
    return true;
}

}  // namespace composer
