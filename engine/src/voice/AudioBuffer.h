// One piece of rendered speech: 16-bit little-endian mono samples at the
// synthesis rate, with its filled length beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

struct AudioBuffer {
    std::unique_ptr<uint8_t[]> data;
    size_t capacity = 0;  // bytes
    size_t length = 0;    // bytes filled

    // false when the memory cannot be had.
    bool Allocate(size_t bytes) {
        data.reset(new (std::nothrow) uint8_t[bytes]);
        capacity = data ? bytes : 0;
        length = 0;
        return data != nullptr;
    }
    // Makes room for bytes in all, keeping what is filled; false when the
    // memory cannot be had (the buffer then stays as it was).
    bool Grow(size_t bytes) {
        if (bytes <= capacity) return true;
        std::unique_ptr<uint8_t[]> larger(new (std::nothrow) uint8_t[bytes]);
        if (!larger) return false;
        if (length > 0) std::memcpy(larger.get(), data.get(), length);
        data = std::move(larger);
        capacity = bytes;
        return true;
    }
    void Free() {
        data.reset();
        capacity = length = 0;
    }
};
