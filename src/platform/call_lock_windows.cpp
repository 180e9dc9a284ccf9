#include <windows.h>

#include <atomic>

#include "platform/call_lock.h"

namespace korvane::platform {
namespace {

// A slim reader/writer lock, used exclusively: its initialiser is a constant, it is never
// allocated nor destroyed, and acquiring it cannot fail. (std::mutex over winpthreads allocates
// its state at first use, which can fail, and which would then happen under the loader lock.)
SRWLOCK lock = SRWLOCK_INIT;
// The thread that holds `lock`, 0 while none does (no thread has the identifier 0). Another
// thread may read it at any time but only ever finds a value other than its own identifier.
std::atomic<DWORD> owner{0};
// How many times the owner has taken the lock; touched by the owner only.
unsigned long depth = 0;

}  // namespace

CallLock::CallLock() noexcept {
    const DWORD self = GetCurrentThreadId();
    if (owner.load(std::memory_order_relaxed) != self) {
        AcquireSRWLockExclusive(&lock);
        owner.store(self, std::memory_order_relaxed);
    }
    ++depth;
}

CallLock::~CallLock() {
    if (--depth == 0) {
        owner.store(0, std::memory_order_relaxed);
        ReleaseSRWLockExclusive(&lock);
    }
}

}  // namespace korvane::platform
