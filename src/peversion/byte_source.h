// Random access to the bytes of a file or of memory, for readers of binary formats: every read
// states where and how much, and fails rather than go past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace korvane::peversion {

class ByteSource {
  public:
    virtual ~ByteSource() = default;

    // Copies the `length` bytes at `offset` into `out`. False when any of them lies past the end
    // or cannot be read; `out` is then unspecified.
    virtual bool ReadAt(std::uint64_t offset, void* out, std::size_t length) const = 0;
};

// Bytes held in memory by the caller.
class MemoryByteSource final : public ByteSource {
  public:
    MemoryByteSource(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool ReadAt(std::uint64_t offset, void* out, std::size_t length) const override {
        if (offset > size_ || length > size_ - offset) return false;
        if (length > 0) std::memcpy(out, data_ + offset, length);
        return true;
    }

  private:
    const unsigned char* data_;
    std::size_t size_;
};

}  // namespace korvane::peversion
