// Helpers for the exports: no exception leaves the library, outputs honour null pointers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/call_lock.h"

namespace korvane::api {

// Held by every export for its whole length, taken before anything else: the library serves
// one call at a time, and a call from another thread waits until the current one returns.
using OneCallAtATime = platform::CallLock;

// A table size as the exports report it.
inline std::int32_t CountOf(std::size_t size) {
    return static_cast<std::int32_t>(size);
}

// Runs `body` and returns its result; if it throws (only a failed allocation can), returns
// `fallback()` instead, so that no exception crosses the library boundary.
template <typename Body, typename Fallback>
std::int32_t Guarded(Body&& body, Fallback&& fallback) noexcept {
    try {
        return body();
    } catch (...) {
        try {
            return fallback();
        } catch (...) {
            return 0;
        }
    }
}

// Copies `text` and its terminator into `out`, unless `out` is null. The caller sized `out`
// for the text; fixed fields are never longer than the buffers documented for them.
inline void CopyOut(char* out, std::string_view text) {
    if (out == nullptr) return;
    // memmove: the caller may hand the same buffer in and out.
    if (!text.empty()) std::memmove(out, text.data(), text.size());
    out[text.size()] = '\0';
}

inline void StoreOut(std::int32_t* out, std::int32_t value) {
    if (out != nullptr) *out = value;
}

}  // namespace korvane::api
