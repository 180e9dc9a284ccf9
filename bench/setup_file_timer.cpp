// One load or one save of a large setup file per run, for timing whole runs and measuring
// memory against the XML tools on the same machine (see setup_files.sh).
//   setup_file_timer build              fills the description only (the cost to subtract)
//   setup_file_timer build-save OUT     fills it and saves it to OUT
//   setup_file_timer words-save OUT     200,000 reserved words with short meanings, saved to OUT
//   setup_file_timer load FILE          loads FILE
//   setup_file_timer resident           fills it and prints the resident bytes this took, the
//                                       bytes of its texts and its count of numbers
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "korvane.h"

namespace {

// What was put into the description: bytes of text (terminators not counted) and numbers.
struct Filled {
    long long textBytes = 0;
    long long numbers = 0;

    const char* Text(const std::string& text) {
        textBytes += static_cast<long long>(text.size());
        return text.c_str();
    }
};

// 20,000 files and a few hundred entries of every other section.
Filled Fill() {
    Filled filled;
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        SetReservedWord(filled.Text("[WORD" + n + "]"), filled.Text("Meaning of word " + n), "");
        SetElementField(filled.Text("FIELD" + n), filled.Text("Value of field " + n));
        SetRegistryInfo(filled.Text("HKEY_LOCAL_MACHINE\\Software\\Vendor\\Key" + n),
                        filled.Text("Name"), 1, filled.Text("[WORD" + n + "]value"), 0);
        filled.numbers += 2;
        SetPreKillProcess(filled.Text("Class" + n), filled.Text("Window title " + n));
        SetUpKillProcess(filled.Text("Class" + n), filled.Text("Window title " + n));
        SetPreExecute(filled.Text("[APPDIR]pre.exe /n " + n));
        SetPostExecute(filled.Text("[APPDIR]post.exe /n " + n));
        SetUpdateExecute(filled.Text("[APPDIR]update.exe /n " + n));
        SetDeleteExecute(filled.Text("[APPDIR]delete.exe /n " + n));
    }
    for (int i = 0; i < 20000; ++i) {
        const std::string n = std::to_string(i);
        SetFileInfo(filled.Text("bin\\module" + n + ".dll"), filled.Text("module" + n + ".dll"),
                    filled.Text("[APPDIR]bin"), filled.Text("1.2.3.4"), filled.Text("ALL"), "",
                    filled.Text("Module " + n), i % 7, i % 2, 1, 4096 + i, 0, i % 3 == 0 ? 1 : 0);
        filled.numbers += 6;
    }
    return filled;
}

long long ResidentBytes() {
    long long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
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
    if (argc == 3 && std::strcmp(argv[1], "words-save") == 0) {
        for (int i = 1; i <= 200000; ++i) {
            const std::string n = std::to_string(i);
            SetReservedWord(("[W" + n + "]").c_str(), ("word " + n).c_str(), "");
        }
        return SaveSetupFile(argv[2]) == 1 ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "load") == 0) {
        return LoadSetupFile(argv[2]) == 1 ? 0 : 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "resident") == 0) {
        const long long before = ResidentBytes();
        const Filled filled = Fill();
        const long long after = ResidentBytes();
        std::printf("resident %lld text %lld numbers %lld\n", after - before, filled.textBytes,
                    filled.numbers);
        return 0;
    }
    std::fprintf(stderr,
                 "usage: %s build | build-save OUT | words-save OUT | load FILE | resident\n",
                 argv[0]);
    return 2;
}
