// What a stream over a host's descriptor does on every platform; opening it
// is the platform's (engine/platform/*/DescriptorStream.cpp).
#include "core/DescriptorStream.h"

DescriptorStream::~DescriptorStream() { Close(); }

bool DescriptorStream::Close() {
    if (!stream_) return false;
    const bool written = std::fflush(stream_) == 0 && !std::ferror(stream_);
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    return written && closed;
}
