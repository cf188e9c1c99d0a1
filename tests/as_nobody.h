#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

// The exit code of body run in a child process as the unprivileged user "nobody" (root passes
// every permission check); 254 when it threw, -1 when the child could not become that user.
inline int ExitCodeAsNobody(const std::function<int()> &body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int code = 255;
        try {
            if (::setgid(65534) == 0 && ::setuid(65534) == 0)
                code = body();
        } catch (...) {
            code = 254;
        }
        ::_exit(code);
    }
    int status = 0;
    const bool ended = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status);
    return ended && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}
