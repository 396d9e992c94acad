// One piece of rendered speech: 16-bit little-endian mono samples at the
// synthesis rate, with its filled length beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

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
    void Free() {
        data.reset();
        capacity = length = 0;
    }
};
