// The line on the standard error that tells, while a text renders into a
// WAV, how much of it is done: rewritten in place, and erased at the end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "falavoz32.h"

class ProgressLine {
public:
    // shown: whether anyone is to see it (a terminal, and no -q); a line
    // that is not shown does nothing.
    explicit ProgressLine(bool shown);
    // Stops the engine's reports and erases the line.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Clears the line before another message takes its place; the next
    // report writes it again.
    void Erase();

private:
    static void FV_CALL OnProgress(int32_t rendered, int32_t length, void* line);
    void Show(int percent);

    bool shown_;
    int percent_ = -1;  // as last written
    size_t width_ = 0;  // of the line on the terminal, 0 when erased
};
