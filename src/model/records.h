// The fixed-size records of the setup description. Widths are in bytes and include the
// terminating zero; every text is in the system code page.
#pragma once

#include <cstdint>

namespace korvane::model {

// One FILE item of the FILES section. Fields are in declaration order, which is neither the
// order of the exports' parameters nor the order of the elements in a setup file.
struct FileEntry {
    char srcPath[260];
    char fileName[260];
    char version[128];
    char folder[260];
    char targetOs[20];
    char shortcut[10];
    char displayName[130];
    std::int32_t iconIndex;
    std::int32_t selfReg;  // flag: any non-zero value counts as set
    std::int32_t overwrite;
    std::int32_t fileSize;
    std::int32_t realTime;  // flag
    std::int32_t reboot;    // flag
};

// One REGISTRY item. The value type is kept as decimal text.
struct RegistryEntry {
    char regPath[1024];
    char type[128];
    char key[1024];
    char value[1024];
    std::int32_t action;
};

// One PREKILL or UPKILL item: the window class and title of a process to stop.
struct KillProcessEntry {
    char className[1024];
    char title[1024];
};

// The value of a reserved word. `expansion` is given at run time only and never stored in a
// setup file.
struct ReservedWordEntry {
    char meaning[1024];
    char expansion[1024];
};

}  // namespace korvane::model
