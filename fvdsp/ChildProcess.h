// A program run as a child process with its standard input, output and
// error connected to pipes. The parent's ends are non-blocking and
// close-on-exec; the child is always reaped, so no zombie outlives us.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace fvdsp {

// A system error number, said in Portuguese.
std::string systemErrorText(int err);

class ChildProcess {
public:
    struct Exit {
        bool ok = true;  // exited normally with status 0
        int code = 0;    // exit status when it exited normally
        int signal = 0;  // signal number when a signal ended it
    };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Moving hands the running child and its pipes over; a child already
    // held by the target is killed first.
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    // Starts argv[0] (looked up in PATH when it has no slash). On failure
    // returns false and puts the reason in Portuguese into error.
    bool start(const std::vector<std::string>& argv, std::string& error);

    bool running() const { return pid_ > 0; }
    int inFd() const { return in_; }
    int outFd() const { return out_; }
    int errFd() const { return err_; }

    void closeIn();
    void closeOut();
    void closeErr();

    // Writes to the child's stdin without raising SIGPIPE when it is gone:
    // returns what write(2) returns, with errno EPIPE in that case.
    ssize_t writeIn(const char* data, size_t size);

    // Collects the exit status of a child that has closed its output; a
    // child that lingers after that is killed rather than waited for. The
    // pipes stay open so that what is left in them can still be read.
    Exit reap();

    // Ends the child at once and reaps it.
    void kill();

    // Whether the child is still running, asked without waiting: one that
    // has ended is reaped and its pipes closed.
    bool stillRunning();

private:
    void closeAll();

    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    int err_ = -1;
};

}  // namespace fvdsp
