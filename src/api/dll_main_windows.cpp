// The entry point Windows calls when the library is attached to and detached from a process.
//
// The process-wide description is a static object: the C++ runtime constructs it before the
// attach notification and destroys it after the detach notification. COM is not touched here
// (not under the loader lock): each load and save enters an apartment on its calling thread.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    // Threads starting and ending concern the library in no way: no notifications for them.
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
    return TRUE;
}
