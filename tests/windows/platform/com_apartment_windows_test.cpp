// COM around one load or save: entered and left in balance on the calling thread, whatever
// apartment the caller is in.
#include <gtest/gtest.h>
#include <objbase.h>

#include <thread>

#include "platform/com_apartment_windows.h"

namespace {

using korvane::platform::ComApartment;

// Runs `body` on a new thread, as a caller's worker thread would.
template <typename Body>
void OnNewThread(Body body) {
    std::thread(body).join();
}

TEST(ComApartment, LeavesAThreadAsItFoundIt) {
    OnNewThread([] {
        {
            const ComApartment apartment;
            EXPECT_TRUE(apartment.Usable());
            // Inside: the thread is in a single-threaded apartment already.
            EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
            CoUninitialize();
        }
        // Outside again: no apartment left behind.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        CoUninitialize();
    });
}

TEST(ComApartment, KeepsTheCallersApartmentOfEitherKind) {
    for (const DWORD kind : {COINIT_APARTMENTTHREADED, COINIT_MULTITHREADED}) {
        OnNewThread([kind] {
            ASSERT_EQ(CoInitializeEx(nullptr, kind), S_OK);
            {
                const ComApartment apartment;
                EXPECT_TRUE(apartment.Usable()) << kind;
            }
            // Still in the caller's apartment: it ends only with the caller's own call.
            EXPECT_EQ(CoInitializeEx(nullptr, kind), S_FALSE) << kind;
            CoUninitialize();
            CoUninitialize();
        });
    }
}

}  // namespace
