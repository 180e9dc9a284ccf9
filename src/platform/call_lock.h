// One lock for the whole library, held for the length of each call into it, so that a call
// from a second thread waits for the first instead of acting on the description beside it.
//
// The thread that holds it may take it again (a call into the library made by code that the
// library itself called, such as a hook run while a DLL loads), so that such a call never
// waits for itself. It is made by the compiler, not at run time: it works before the
// library's first constructor and after its last destructor, allocates nothing and cannot fail
// to be taken, so that a call from a loader notification (DllMain) finds it ready.
#pragma once

namespace korvane::platform {

class CallLock {
  public:
    CallLock() noexcept;  // waits while another thread holds the lock
    ~CallLock();
    CallLock(const CallLock&) = delete;
    CallLock& operator=(const CallLock&) = delete;
};

}  // namespace korvane::platform
