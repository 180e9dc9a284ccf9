// A caller's output buffer followed by guard bytes, to prove nothing is written past it.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace korvane::testing {

class GuardedBuffer {
  public:
    static constexpr unsigned char kFill = 0xCD;
    static constexpr std::size_t kGuard = 64;

    explicit GuardedBuffer(std::size_t size) : size_(size), bytes_(size + kGuard, kFill) {}

    char* data() { return reinterpret_cast<char*>(bytes_.data()); }
    std::string text() const { return std::string(reinterpret_cast<const char*>(bytes_.data())); }

    // True when no byte of the buffer, guard included, was written.
    bool Untouched() const { return FirstWritten(0) == bytes_.size(); }
    // True when no guard byte after the buffer was written.
    bool GuardIntact() const { return FirstWritten(size_) == bytes_.size(); }

  private:
    std::size_t FirstWritten(std::size_t from) const {
        for (std::size_t i = from; i < bytes_.size(); ++i) {
            if (bytes_[i] != kFill) return i;
        }
        return bytes_.size();
    }

    std::size_t size_;
    std::vector<unsigned char> bytes_;
};

}  // namespace korvane::testing
