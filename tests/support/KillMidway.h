// Killing a process in the middle of its work, as a power cut or the OOM
// killer would: the files it was writing are left as they stood.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

// Forks a child that repeats work() until it is killed with SIGKILL, some
// time after it began: `round` spreads the moments over a few milliseconds
// so that the kills land at different points of the work. Returns false if
// the child could not be started or ended otherwise.
template <typename Work>
bool KillMidway(Work work, int round) {
    int ready[2];
    if (pipe(ready) != 0) return false;
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(ready[0]);
        if (write(ready[1], "!", 1) != 1) _exit(1);
        for (;;) work();
    }
    close(ready[1]);
    char started = 0;
    bool running = read(ready[0], &started, 1) == 1;
    close(ready[0]);
    usleep(static_cast<useconds_t>(200 + (round * 379) % 6000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return running && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}
