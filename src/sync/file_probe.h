#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// What one stat() call says of a file.
struct FileStat {
    qint64 size = 0;
    qint64 mtime = 0; // whole seconds: copies keep the origin's time to the second
    unsigned mode = 0;
    bool exists = false; // a regular file (links followed) is there
    bool pathExists = false; // something is there, file or not
};

FileStat ProbeFile(const QByteArray &path);

// The same for a name inside an open folder (cheaper than a long path); nothing is there when
// the folder is not open.
FileStat ProbeFileAt(int folderFd, const char *name);

// True when path is a folder that can be entered.
bool ProbeFolder(const QByteArray &path);

// An open folder, for probing and copying the names inside it. Move-only.
class FolderHandle {
public:
    FolderHandle() = default;
    explicit FolderHandle(const QByteArray &path);
    explicit FolderHandle(int fd) // takes the descriptor over
        : fd_(fd)
    {
    }
    ~FolderHandle();
    FolderHandle(FolderHandle &&other) noexcept;
    FolderHandle &operator=(FolderHandle &&other) noexcept;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

// How a folder below the destination chosen by the user was opened.
enum class BelowState { Open, Missing, Linked };

// Opens the folder sub ("a/b/", relative; empty for root itself) below the open folder root
// without following any symbolic link on the way, so that nothing is ever written outside the
// destination, even when a link is put in a folder's place during the run. With create, missing
// folders are made on the way. state (and errno) say why the handle is not open.
FolderHandle OpenBelow(int root, QByteArrayView sub, bool create, BelowState &state);
