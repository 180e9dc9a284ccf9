// Helpers for the exports: no exception leaves the library, outputs honour null pointers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "model/table_count.h"
#include "platform/call_lock.h"

namespace korvane::api {

// Held by every export for its whole length, taken before anything else: the library serves
// one call at a time, and a call from another thread waits until the current one returns.
using OneCallAtATime = platform::CallLock;

using model::CountOf;

// Runs `body` and returns its result; if it throws (only a failed allocation can), returns
// `fallback()` instead, so that no exception crosses the library boundary. Every export runs
// its whole work inside one.
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

// Runs `body` and returns its result, or 0 if it throws: the answer of a getter that fails.
template <typename Body>
std::int32_t Guarded(Body&& body) noexcept {
    return Guarded(std::forward<Body>(body), [] { return 0; });
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
