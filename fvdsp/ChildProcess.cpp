#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <utility>

extern char** environ;

namespace fvdsp {

namespace {

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// The child's ends are put on 0, 1 and 2 by dup2, which only clears
// close-on-exec when the descriptor moves; so keep every pipe end above 2.
bool moveAboveStdio(int& fd) {
    if (fd > 2) return true;
    int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (moved < 0) return false;
    ::close(fd);
    fd = moved;
    return true;
}

bool makePipe(int ends[2]) {
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    if (moveAboveStdio(ends[0]) && moveAboveStdio(ends[1])) return true;
    closeFd(ends[0]);
    closeFd(ends[1]);
    return false;
}

void setNonBlocking(int fd) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

constexpr int kOutputPipeBytes = 1 << 20;
// The child exits right after its output ends; it is allowed this long.
constexpr int kExitWaitMs = 2000;

// Waits until the child pid has ended, up to timeoutMs, woken by its end
// rather than by polling; false when that cannot be waited for this way.
bool awaitExit(pid_t pid, int timeoutMs) {
    int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) return false;
    pollfd ended = {pidfd, POLLIN, 0};
    while (::poll(&ended, 1, timeoutMs) < 0 && errno == EINTR) {
    }
    ::close(pidfd);
    return true;
}

ChildProcess::Exit exitFromStatus(int status) {
    ChildProcess::Exit exit;
    if (WIFEXITED(status)) {
        exit.code = WEXITSTATUS(status);
        exit.ok = exit.code == 0;
    } else if (WIFSIGNALED(status)) {
        exit.signal = WTERMSIG(status);
        exit.ok = false;
    }
    return exit;
}

}  // namespace

std::string systemErrorText(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return "arquivo não encontrado";
        case EACCES:
        case EPERM:
            return "permissão negada";
        case EISDIR:
            return "é uma pasta, não um arquivo";
        case ENOEXEC:
            return "não é um programa executável";
        case ENOMEM:
        case EAGAIN:
        case EMFILE:
        case ENFILE:
            return "faltam recursos do sistema";
        case EIO:
            return "erro de leitura ou escrita";
        default:
            return std::string("erro ") + std::to_string(err) + " (" + std::strerror(err) + ")";
    }
}

ChildProcess::~ChildProcess() { kill(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this == &other) return *this;
    kill();
    pid_ = std::exchange(other.pid_, -1);
    in_ = std::exchange(other.in_, -1);
    out_ = std::exchange(other.out_, -1);
    err_ = std::exchange(other.err_, -1);
    return *this;
}

bool ChildProcess::start(const std::vector<std::string>& argv, std::string& error) {
    kill();

    int inPipe[2] = {-1, -1}, outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
    if (!makePipe(inPipe) || !makePipe(outPipe) || !makePipe(errPipe)) {
        error = "não foi possível criar os canais de comunicação: " + systemErrorText(errno);
        for (int* fd : {&inPipe[0], &inPipe[1], &outPipe[0], &outPipe[1], &errPipe[0], &errPipe[1]})
            closeFd(*fd);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    // Nothing else of the host's: a descriptor it opened without
    // close-on-exec would stay open in mbrola (in the idle spare for as long
    // as the engine lives), and the host's pipes would never reach their end.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    // The child starts with default SIGPIPE handling and no blocked
    // signals, whatever the host program has set for itself.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = -1;
    int rc = ::posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);

    closeFd(inPipe[0]);
    closeFd(outPipe[1]);
    closeFd(errPipe[1]);
    if (rc != 0) {
        closeFd(inPipe[1]);
        closeFd(outPipe[0]);
        closeFd(errPipe[0]);
        error = systemErrorText(rc);
        return false;
    }

    pid_ = pid;
    in_ = inPipe[1];
    out_ = outPipe[0];
    err_ = errPipe[0];
    setNonBlocking(in_);
    setNonBlocking(out_);
    setNonBlocking(err_);
    // Room for a second of samples and more, so that the child seldom waits
    // for us to read; where the system refuses, the usual size does.
    ::fcntl(out_, F_SETPIPE_SZ, kOutputPipeBytes);
    return true;
}

void ChildProcess::closeIn() { closeFd(in_); }

void ChildProcess::closeOut() { closeFd(out_); }

void ChildProcess::closeErr() { closeFd(err_); }

void ChildProcess::closeAll() {
    closeFd(in_);
    closeFd(out_);
    closeFd(err_);
}

ssize_t ChildProcess::writeIn(const char* data, size_t size) {
    // Block SIGPIPE around the write and take back the one it raises, so
    // the host's own SIGPIPE handling is left untouched.
    sigset_t pipeSet, oldMask, pending;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    sigemptyset(&pending);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &oldMask);
    sigpending(&pending);
    bool wasPending = sigismember(&pending, SIGPIPE);

    ssize_t n = ::write(in_, data, size);
    int err = errno;

    if (n < 0 && err == EPIPE && !wasPending) {
        const timespec zero{0, 0};
        while (sigtimedwait(&pipeSet, nullptr, &zero) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    errno = err;
    return n;
}

ChildProcess::Exit ChildProcess::reap() {
    Exit exit;
    if (pid_ <= 0) return exit;
    bool awaited = awaitExit(pid_, kExitWaitMs);
    for (int waited = 0; waited < kExitWaitMs; ++waited) {
        int status = 0;
        pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            return exitFromStatus(status);
        }
        if (r < 0 && errno != EINTR) {
            // Already collected elsewhere (SIGCHLD ignored by the host).
            pid_ = -1;
            return exit;
        }
        if (awaited && r == 0) break;
        ::poll(nullptr, 0, 1);
    }
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    exit.ok = false;
    exit.signal = SIGKILL;
    return exit;
}

bool ChildProcess::stillRunning() {
    if (pid_ <= 0) return false;
    pid_t r;
    while ((r = ::waitpid(pid_, nullptr, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (r == 0) return true;
    // Ended (or already collected, when the host ignores SIGCHLD).
    pid_ = -1;
    closeAll();
    return false;
}

void ChildProcess::kill() {
    closeAll();
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

}  // namespace fvdsp
