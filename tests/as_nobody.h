#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

// Runs body in a child process as the unprivileged user "nobody" (root passes every permission
// check) and returns its exit code; 3 when the child could not become that user.
inline int ExitCodeAsNobody(const std::function<int()> &body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
