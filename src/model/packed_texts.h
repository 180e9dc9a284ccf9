// The texts of one record in a single allocation: each text with its terminator, one after the
// other. A record's texts are written once, when it is added, and only read afterwards, so
// they take what they hold and not the width of their fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/code_page.h"

namespace korvane::model {

template <std::size_t N>
class PackedTexts {
  public:
    // Every text empty, without an allocation.
    PackedTexts() = default;

    // Each text cut to fit widths[i] bytes with its terminator, at the last whole character.
    PackedTexts(const std::array<std::string_view, N>& texts,
                const std::array<std::size_t, N>& widths) {
        std::array<std::string_view, N> kept;
        std::size_t total = 0;
        for (std::size_t i = 0; i < N; ++i) {
            kept[i] = texts[i].substr(0, platform::WholeCharPrefix(texts[i], widths[i] - 1));
            total += kept[i].size() + 1;
        }
        if (total == N) return;  // all empty
        bytes_.reset(new char[total]);
        std::size_t at = 0;
        for (std::size_t i = 0; i < N; ++i) {
            if (!kept[i].empty()) std::memcpy(bytes_.get() + at, kept[i].data(), kept[i].size());
            at += kept[i].size();
            bytes_[at] = '\0';
            ends_[i] = static_cast<std::uint16_t>(at);
            ++at;
        }
    }

    // The text at `i`, without its terminator (which follows it in memory).
    std::string_view operator[](std::size_t i) const {
        if (!bytes_) return std::string_view();
        const std::size_t start = i == 0 ? 0 : ends_[i - 1] + 1u;
        return std::string_view(bytes_.get() + start, ends_[i] - start);
    }

  private:
    std::unique_ptr<char[]> bytes_;
    std::array<std::uint16_t, N> ends_{};  // where each text's terminator is
};

// True when texts of these widths always fit the 16-bit positions PackedTexts keeps.
template <std::size_t N>
constexpr bool FitsPackedTexts(const std::array<std::size_t, N>& widths) {
    std::size_t total = 0;
    for (std::size_t width : widths) total += width;
    return total <= 0xFFFF;
}

}  // namespace korvane::model
