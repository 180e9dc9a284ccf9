#include "platform/command_line.h"

#include <windows.h>
#include <shellapi.h>

namespace korvane::platform {

int FirstArgumentNotWhole() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return 0;
    int notWhole = 0;
    for (int position = 1; position < count && notWhole == 0; ++position) {
        // No best fit: a character the code page lacks must not pass as a look-alike.
        BOOL usedDefault = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, arguments[position], -1, nullptr, 0,
                            nullptr, &usedDefault);
        if (usedDefault) notWhole = position;
    }
    LocalFree(arguments);
    return notWhole;
}

}  // namespace korvane::platform
