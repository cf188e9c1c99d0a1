#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

// Runs check in a child process as the unprivileged user "nobody" (root may read and write
// everywhere, so permission faults need another user); true when it returned true there.
inline bool AsNobody(const std::function<bool()> &check)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)
        && WEXITSTATUS(status) == 0;
}
