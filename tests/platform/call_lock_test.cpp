// The library-wide lock: the thread that holds it takes it again without waiting for itself,
// and another thread gets it only once the holder has let go of it as often as it took it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/call_lock.h"

namespace korvane::platform {
namespace {

TEST(CallLock, IsTakenAgainByItsHolderAndWaitedForByOthers) {
    std::atomic<bool> otherHasIt{false};
    std::optional<std::thread> other;
    {
        const CallLock outer;
        {
            const CallLock inner;  // would never return if the holder waited for itself
            other.emplace([&] {
                const CallLock mine;
                otherHasIt = true;
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_FALSE(otherHasIt);
        }
        // Let go once of twice: still held.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(otherHasIt);
    }
    other->join();
    EXPECT_TRUE(otherHasIt);
}

}  // namespace
}  // namespace korvane::platform
