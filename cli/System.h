// The calls the program makes into the operating system, behind a few plain
// functions, so that the actions and the host loop read as plain logic.
// SystemPosix.cpp implements them.
#pragma once

#include <optional>
#include <string>

// A path that is there but is no regular file: a FIFO, a device or a
// directory, whose reading might wait forever or never end.
bool IsSpecialFile(const std::string& path);
// The whole of a regular file as bytes, or nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// The whole of the standard input as bytes.
std::string ReadStandardInput();

// A file whose writes go nowhere, for renders whose sound nobody wants.
const char* DiscardFile();

// The standard output's descriptor, and whether the standard output or the
// standard error is a terminal (a person watching, not a pipe or a file).
int StandardOutputDescriptor();
bool StandardOutputIsTerminal();
bool StandardErrorIsTerminal();

void SetEnvironmentVariable(const std::string& name, const std::string& value);

// Ctrl+C and SIGTERM. Once caught, the first one is remembered and calls
// onFirst from the signal handler (so onFirst may only do what a handler
// may); a second one ends the program as the signal would.
void CatchInterrupts(void (*onFirst)());
bool Interrupted();

// While one exists, interrupts are held back except inside WaitUntilReadable,
// so that none is missed between checking Interrupted() and waiting.
class InterruptsHeldBack {
public:
    InterruptsHeldBack();
    ~InterruptsHeldBack();
    InterruptsHeldBack(const InterruptsHeldBack&) = delete;
    InterruptsHeldBack& operator=(const InterruptsHeldBack&) = delete;
};

// Waits until the descriptor is readable (true) or an interrupt arrives.
bool WaitUntilReadable(int descriptor);
