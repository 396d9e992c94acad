// Detached start on POSIX: a fork whose child starts a session of its own
// and forks the program, so the program is nobody's child to reap. Every
// descriptor above 2 is closed at exec; a pipe tells the reader whether the
// exec failed.
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "Launcher.h"

namespace {

// Only calls that are safe between fork and exec in a threaded program.
[[noreturn]] void RunProgram(const char* path, int reportFd) {
    setsid();
    if (fork() != 0) _exit(0);
    syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
    char* const arguments[] = {const_cast<char*>(path), nullptr};
    execv(path, arguments);
    const int error = errno;
    [[maybe_unused]] ssize_t ignored = write(reportFd, &error, sizeof error);
    _exit(127);
}

}  // namespace

QString StartDetachedProgram(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return QString::fromLocal8Bit(strerror(errno));
    const pid_t child = fork();
    if (child == 0) RunProgram(file.constData(), report[1]);
    close(report[1]);
    int error = child < 0 ? errno : 0;
    if (child > 0) {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        ssize_t n;
        while ((n = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
        if (n != sizeof error) error = 0;
    }
    close(report[0]);
    return error ? QString::fromLocal8Bit(strerror(error)) : QString();
}
