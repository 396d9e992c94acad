// sd_falavoz: Falavoz as a speech-dispatcher output module. The server
// starts it with its configuration file as argument and speaks to it on
// standard input and output; the engine plays the audio itself.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

#include "ModuleProtocol.h"
#include "Speaker.h"
#include "falavoz32.h"

namespace {

// Replies and events go out whole, at once: the server reads them as they come.
void WriteLine(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// Waits for a line of the server's or the engine's completion; false when
// the server has gone.
class ModuleLoop {
public:
    ModuleLoop() : speaker_(WriteLine), protocol_(speaker_, WriteLine) {}

    int Run() {
        for (;;) {
            const int engine = TTS_GetNotificationFd();
            pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {engine, POLLIN, 0}};
            const int ready = poll(fds, engine >= 0 ? 2 : 1, speaker_.WaitsForTheEngine() ? 50 : -1);
            if (ready < 0 && errno != EINTR) return 1;
            if (ready > 0 && engine >= 0 && (fds[1].revents & POLLIN)) WaveCallback(0, 0, 0, 957, 0);
            speaker_.Advance();
            if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) && !ReadCommands()) {
                speaker_.Stop();
                return 0;
            }
        }
    }

private:
    // Handles every whole line read; false at QUIT or when the server has gone.
    bool ReadCommands() {
        char chunk[4096];
        const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0) return errno == EINTR || errno == EAGAIN;
        if (n == 0) return false;
        pending_.append(chunk, static_cast<size_t>(n));
        for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!protocol_.HandleLine(line)) return false;
            speaker_.Advance();
        }
        return true;
    }

    Speaker speaker_;
    ModuleProtocol protocol_;
    std::string pending_;
};

}  // namespace

int main() {
    // A server that has gone must not kill the module in the middle of a write.
    std::signal(SIGPIPE, SIG_IGN);
    return ModuleLoop().Run();
}
