#include "written_volumes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

WrittenVolumes::~WrittenVolumes()
{
    for (const Entry &entry : entries_)
        if (entry.fd >= 0)
            ::close(entry.fd);
}

void WrittenVolumes::add(const QByteArray &folder)
{
    // Held open until the flush: syncfs needs a descriptor on the file system.
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st { };
    if (fd >= 0 && ::fstat(fd, &st) == 0
        && std::any_of(entries_.begin(), entries_.end(),
            [&](const Entry &entry) { return entry.fd >= 0 && entry.device == st.st_dev; })) {
        ::close(fd);
        return; // that file system is flushed once
    }
    entries_.push_back({folder, st.st_dev, fd, fd < 0 ? errno : 0});
}

std::vector<WrittenVolumes::Failure> WrittenVolumes::flush()
{
    std::vector<Failure> failures;
    for (Entry &entry : entries_) {
        if (entry.fd >= 0 && ::syncfs(entry.fd) != 0)
            entry.error = errno;
        if (entry.error != 0)
            failures.push_back({entry.folder, entry.error});
    }
    return failures;
}
