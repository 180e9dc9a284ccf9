// Whether the tests run under Wine, whose system components differ from Windows in places:
// a test that meets such a place says so and is skipped there, never passing silently.
#pragma once

#include <windows.h>

namespace korvane::testing {

inline bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace korvane::testing
