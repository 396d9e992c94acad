// The operating-system seam on POSIX systems.
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "System.h"

bool IsSpecialFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    if (IsSpecialFile(path)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::string ReadStandardInput() { return std::string(std::istreambuf_iterator<char>(std::cin), {}); }

const char* DiscardFile() { return "/dev/null"; }

int StandardOutputDescriptor() { return STDOUT_FILENO; }
bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }
bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void SetEnvironmentVariable(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

namespace {

volatile std::sig_atomic_t interrupted = 0;
void (*onFirstInterrupt)() = nullptr;

void OnInterrupt(int signal) {
    if (interrupted) {
        // The first one is still being acted on: this one does not wait.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    interrupted = 1;
    if (onFirstInterrupt) onFirstInterrupt();
}

sigset_t Interrupts() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    return interrupts;
}

// The signal mask outside InterruptsHeldBack, which WaitUntilReadable waits with.
sigset_t maskBeforeHolding;

}  // namespace

void CatchInterrupts(void (*onFirst)()) {
    onFirstInterrupt = onFirst;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() { return interrupted != 0; }

InterruptsHeldBack::InterruptsHeldBack() {
    const sigset_t interrupts = Interrupts();
    sigprocmask(SIG_BLOCK, &interrupts, &maskBeforeHolding);
}

InterruptsHeldBack::~InterruptsHeldBack() { sigprocmask(SIG_SETMASK, &maskBeforeHolding, nullptr); }

bool WaitUntilReadable(int descriptor) {
    pollfd wait = {descriptor, POLLIN, 0};
    return ppoll(&wait, 1, nullptr, &maskBeforeHolding) > 0;
}
