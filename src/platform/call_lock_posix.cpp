#include <mutex>
#include <type_traits>

#include "platform/call_lock.h"

namespace korvane::platform {
namespace {

// A recursive pthread mutex from its static initialiser: nothing to construct or destroy.
std::recursive_mutex lock;
static_assert(std::is_trivially_destructible_v<std::recursive_mutex>,
              "the lock must outlive every destructor of the library");

}  // namespace

// Taking it fails only past the mutex's recursion limit (billions of nested calls); being
// noexcept, that would end the process rather than run a call unlocked.
CallLock::CallLock() noexcept {
    lock.lock();
}

CallLock::~CallLock() {
    lock.unlock();
}

}  // namespace korvane::platform
