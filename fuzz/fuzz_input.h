// Reads a fuzz input as a stream of choices: bytes, small numbers and texts.
// Once the input is used up every read answers 0 or the empty text, so a
// target always comes to an end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>

class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // A number from 0 to limit - 1 (0 for a limit of 0).
    uint32_t Below(uint32_t limit) {
        if (limit <= 1)
            return 0;
        uint32_t v = Byte();
        if (limit > 256)
            v = v << 8 | Byte();
        return v % limit;
    }
    int32_t Int32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
        int32_t out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }
    // A text of up to `limit` bytes: a length byte (or two for long limits), then the bytes.
    std::string Text(size_t limit = 255) {
        size_t n = Byte();
        if (limit > 255)
            n = n << 8 | Byte();
        if (n > limit)
            n %= limit + 1;
        n = std::min(n, size_ - std::min(at_, size_));
        std::string out(reinterpret_cast<const char*>(data_) + at_, n);
        at_ += n;
        return out;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};
