#include <objbase.h>

#include "platform/com_apartment_windows.h"

namespace korvane::platform {

ComApartment::ComApartment() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: already in a single-threaded apartment, which still needs its balancing call.
    leave_ = result == S_OK || result == S_FALSE;
    // The caller's multithreaded apartment serves as well.
    usable_ = leave_ || result == RPC_E_CHANGED_MODE;
}

ComApartment::~ComApartment() {
    if (leave_) CoUninitialize();
}

}  // namespace korvane::platform
