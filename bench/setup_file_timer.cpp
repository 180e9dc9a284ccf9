// One load or one save of a large setup file per run, for timing whole runs against the XML
// tools on the same machine (see setup_files.sh).
//   setup_file_timer build            fills the description only (the cost to subtract)
//   setup_file_timer build-save OUT   fills it and saves it to OUT
//   setup_file_timer load FILE        loads FILE
#include <cstdio>
#include <cstring>
#include <string>

#include "korvane.h"

namespace {

// 20,000 files and a few hundred entries of every other section.
void Fill() {
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        SetReservedWord(("[WORD" + n + "]").c_str(), ("Meaning of word " + n).c_str(), "");
        SetElementField(("FIELD" + n).c_str(), ("Value of field " + n).c_str());
        SetRegistryInfo(("HKEY_LOCAL_MACHINE\\Software\\Vendor\\Key" + n).c_str(), "Name", 1,
                        ("[WORD" + n + "]value").c_str(), 0);
        SetPreKillProcess(("Class" + n).c_str(), ("Window title " + n).c_str());
        SetUpKillProcess(("Class" + n).c_str(), ("Window title " + n).c_str());
        SetPreExecute(("[APPDIR]pre.exe /n " + n).c_str());
        SetPostExecute(("[APPDIR]post.exe /n " + n).c_str());
        SetUpdateExecute(("[APPDIR]update.exe /n " + n).c_str());
        SetDeleteExecute(("[APPDIR]delete.exe /n " + n).c_str());
    }
    for (int i = 0; i < 20000; ++i) {
        const std::string n = std::to_string(i);
        SetFileInfo(("bin\\module" + n + ".dll").c_str(), ("module" + n + ".dll").c_str(),
                    "[APPDIR]bin", "1.2.3.4", "ALL", "", ("Module " + n).c_str(), i % 7, i % 2, 1,
                    4096 + i, 0, i % 3 == 0 ? 1 : 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "build") == 0) {
        Fill();
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "build-save") == 0) {
        Fill();
        return SaveSetupFile(argv[2]) == 1 ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "load") == 0) {
        return LoadSetupFile(argv[2]) == 1 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: %s build | build-save OUT | load FILE\n", argv[0]);
    return 2;
}
