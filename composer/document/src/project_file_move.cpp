// Replacing a project file: the old one goes to the desktop's trash, the new one is put in place.
#include "document/project_file_move.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <cstdio>
#include <filesystem>

#include "base/files.h"

namespace composer {

namespace {

// Makes sure the user's own trash folder ($XDG_DATA_HOME/Trash) exists, as the desktop would on
// first use. Qt's trashing takes the current directory as the trash when it finds no trash folder,
// and would leave "files" and "info" folders wherever the program was started; without a usable
// trash folder the caller deletes the file instead. False when the data folder is not an absolute
// path or the trash folder cannot be made.
bool HomeTrashReady() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir::isAbsolutePath(data) || !QDir().mkpath(data)) return false;
    const QString trash = data + QStringLiteral("/Trash");
    if (!QFileInfo(trash).isDir())
        QDir().mkdir(trash, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFileInfo(trash).isDir() && QFileInfo(trash).isWritable();
}

}  // namespace

bool DeleteFiles(const std::string& path) {
    // The replaced project goes to the trash so that a save over the wrong file can be undone. Where
    // the system has no trash for that place (some mounts, no usable data folder), the file is deleted.
    if (HomeTrashReady() && QFile::moveToTrash(QString::fromStdString(path))) return !FileExists(path);
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
