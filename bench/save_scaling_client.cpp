// A caller of the library that fills a description of N entries through the exports and saves
// it, for timing saves of growing size on every build (see save_scaling.sh); the same program
// runs on Linux and, built for Windows beside Korvane.dll, under Wine.
//   save_scaling_client N OUT     fills N entries, saves them to OUT (indent.xsl in the current
//                                 directory) and prints "fill SECONDS save SECONDS peak KB"
//   save_scaling_client N         fills N entries only and prints "fill SECONDS peak KB"
// The peak is the process's peak resident size (working set on Windows), as the system counts
// it: under Wine, /usr/bin/time sees only the program that starts the Windows process.
// The entries go round every section: of ten, two reserved words, a file, a registry value, a
// process to stop before installing and one before updating, and a command of each list; and
// one configuration field in a thousand, at most 300 of them (a load refuses a file of more than
// 10,000 element names).
#ifdef _WIN32
#include <windows.h>
// windows.h first.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "korvane.h"

namespace {

void Fill(long entries) {
    for (long i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 10) {
            case 0:
            case 1:
                SetReservedWord(("[W" + n + "]").c_str(), ("Meaning of word " + n).c_str(), "");
                break;
            case 2:
                SetFileInfo(("bin\\module" + n + ".dll").c_str(), ("module" + n + ".dll").c_str(),
                            "[APPDIR]bin", "1.2.3.4", "ALL", "", ("Module " + n).c_str(),
                            static_cast<int32_t>(i % 7), static_cast<int32_t>(i % 2), 1,
                            static_cast<int32_t>(4096 + i), 0, i % 3 == 0 ? 1 : 0);
                break;
            case 3:
                SetRegistryInfo(("HKEY_LOCAL_MACHINE\\Software\\Vendor\\Key" + n).c_str(), "Name",
                                1, ("[W" + n + "]value").c_str(), 0);
                break;
            case 4:
                SetPreKillProcess(("Class" + n).c_str(), ("Window title " + n).c_str());
                break;
            case 5:
                SetUpKillProcess(("Class" + n).c_str(), ("Window title " + n).c_str());
                break;
            case 6:
                SetPreExecute(("[APPDIR]pre.exe /n " + n).c_str());
                break;
            case 7:
                SetPostExecute(("[APPDIR]post.exe /n " + n).c_str());
                break;
            case 8:
                SetUpdateExecute(("[APPDIR]update.exe /n " + n).c_str());
                break;
            default:
                SetDeleteExecute(("[APPDIR]delete.exe /n " + n).c_str());
                break;
        }
        if (i % 1000 == 0 && i < 300000)
            SetElementField(("FIELD" + n).c_str(), ("Value of field " + n).c_str());
    }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long long PeakKilobytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<long long>(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage = {};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s N [OUT]\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    Fill(std::atol(argv[1]));
    const double fill = SecondsSince(start);
    if (argc == 2) {
        std::printf("fill %.3f peak %lld\n", fill, PeakKilobytes());
        return 0;
    }
    const auto saveStart = std::chrono::steady_clock::now();
    const int saved = SaveSetupFile(argv[2]);
    const double save = SecondsSince(saveStart);
    std::printf("fill %.3f save %.3f peak %lld\n", fill, save, PeakKilobytes());
    return saved == 1 ? 0 : 1;
}
