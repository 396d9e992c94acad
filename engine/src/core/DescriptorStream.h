// Writing into a descriptor the host opened and keeps (its standard output,
// say): the engine writes through a duplicate of its own, so that closing
// the stream leaves the host's descriptor open.
#pragma once

#include <cstdint>
#include <cstdio>

class DescriptorStream {
public:
    DescriptorStream() = default;
    ~DescriptorStream();  // closes the stream if Close was not called
    DescriptorStream(const DescriptorStream&) = delete;
    DescriptorStream& operator=(const DescriptorStream&) = delete;

    // false when the descriptor is not open for writing or cannot be duplicated.
    bool Open(int descriptor);
    std::FILE* Stream() const { return stream_; }
    // Whether what was written can be written over later: a regular file
    // that is not opened for appending (a pipe or a terminal cannot go back,
    // and an appending file would put the new bytes at its end).
    bool Rewritable() const { return rewritable_; }
    // Where the first byte written went, when Rewritable.
    int64_t Start() const { return start_; }
    // Flushes and closes the duplicate; false when some write failed.
    bool Close();

private:
    std::FILE* stream_ = nullptr;
    bool rewritable_ = false;
    int64_t start_ = 0;
};
