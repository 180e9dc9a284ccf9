// A caller of the library's exports for the cross-build check, built for every target: one
// process handles a whole batch of descriptions (starting a Windows program under Wine is slow).
//
//   korvane_batch_client save BATCH PREFIX
//       Sets each description of BATCH through the setters and saves it as PREFIX-N.xml in the
//       current directory (which holds indent.xsl).
//   korvane_batch_client load BATCH PREFIX...
//       Loads PREFIX-N.xml for every description N of BATCH and every PREFIX, and prints what
//       the getters give: "PREFIX N KEY VALUE", texts as hexadecimal bytes ("-" when empty).
//
// BATCH holds one entry a line, texts in hexadecimal ("-" when empty):
//   D N                     a description begins
//   R WORD MEANING EXPANSION          C NAME VALUE (NAME plain)
//   F SRC NAME FOLDER VERSION OS SHORTCUT DISPLAY ICON SELFREG OVERWRITE SIZE REALTIME REBOOT
//   G PATH KEY TYPE VALUE ACTION      K CLASS TITLE (PREKILL)      U CLASS TITLE (UPKILL)
//   1 to 4 COMMAND          a pre-, post-, update- or delete-execute command
//   E                       the description ends
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "korvane.h"

namespace {

using Entry = std::vector<std::string>;
struct Description {
    int number = 0;
    std::vector<Entry> entries;
};

std::string Unhex(const std::string& hex) {
    std::string bytes;
    if (hex == "-") return bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

std::string Hex(const char* text) {
    if (*text == '\0') return "-";
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
        hex.push_back(digits[*c >> 4]);
        hex.push_back(digits[*c & 15]);
    }
    return hex;
}

bool ReadBatch(const char* path, std::vector<Description>& batch) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream split(line);
        Entry entry;
        for (std::string word; split >> word;) entry.push_back(word);
        if (entry.empty()) continue;
        if (entry[0] == "D") {
            batch.emplace_back();
            batch.back().number = std::atoi(entry.at(1).c_str());
        } else if (entry[0] != "E" && !batch.empty()) {
            batch.back().entries.push_back(entry);
        }
    }
    return true;
}

std::string FileName(const std::string& prefix, int number) {
    return prefix + "-" + std::to_string(number) + ".xml";
}

std::int32_t Number(const std::string& text) {
    return static_cast<std::int32_t>(std::strtoll(text.c_str(), nullptr, 10));
}

// Sets every entry of `description`; false when an entry is malformed.
bool Set(const Description& description) {
    ClearInMemory();
    for (const Entry& e : description.entries) {
        const auto text = [&](std::size_t i) { return Unhex(e.at(i)); };
        const std::string& kind = e[0];
        if (kind == "R" && e.size() == 4) {
            SetReservedWord(text(1).c_str(), text(2).c_str(), text(3).c_str());
        } else if (kind == "C" && e.size() == 3) {
            SetElementField(e[1].c_str(), text(2).c_str());
        } else if (kind == "F" && e.size() == 14) {
            SetFileInfo(text(1).c_str(), text(2).c_str(), text(3).c_str(), text(4).c_str(),
                        text(5).c_str(), text(6).c_str(), text(7).c_str(), Number(e[8]),
                        Number(e[9]), Number(e[10]), Number(e[11]), Number(e[12]), Number(e[13]));
        } else if (kind == "G" && e.size() == 6) {
            SetRegistryInfo(text(1).c_str(), text(2).c_str(), Number(e[3]), text(4).c_str(),
                            Number(e[5]));
        } else if ((kind == "K" || kind == "U") && e.size() == 3) {
            (kind == "K" ? SetPreKillProcess : SetUpKillProcess)(text(1).c_str(), text(2).c_str());
        } else if (kind.size() == 1 && kind[0] >= '1' && kind[0] <= '4' && e.size() == 2) {
            using Setter = std::int32_t(KORVANE_CALL*)(const char*);
            const Setter setters[] = {SetPreExecute, SetPostExecute, SetUpdateExecute,
                                      SetDeleteExecute};
            setters[kind[0] - '1'](text(1).c_str());
        } else {
            return false;
        }
    }
    return true;
}

// Prints what the getters give for the description loaded from a file saved from
// `description` (whose configuration names it asks for).
void Print(const std::string& prefix, const Description& description, int loaded) {
    const std::string at = prefix + " " + std::to_string(description.number) + " ";
    const auto out = [&](const std::string& key, const std::string& value) {
        std::fputs((at + key + " " + value + "\n").c_str(), stdout);
    };
    out("load", std::to_string(loaded));
    if (loaded != 1) return;
    std::vector<char> a(8192), b(8192), c(8192), d(8192), e(8192), f(8192), g(8192);
    const auto number = [](std::int32_t n) { return std::to_string(n); };

    const std::int32_t words = GetReservedWordCount();
    out("words", number(words));
    for (std::int32_t i = 0; i < words; ++i) {
        GetReservedWord(i, a.data(), b.data());
        out("word." + number(i) + ".word", Hex(a.data()));
        out("word." + number(i) + ".meaning", Hex(b.data()));
    }
    for (const Entry& entry : description.entries) {
        if (entry[0] != "C") continue;
        GetElementField(entry[1].c_str(), a.data());
        out("config." + entry[1], Hex(a.data()));
    }
    const std::int32_t files = GetFileCount();
    out("files", number(files));
    for (std::int32_t i = 0; i < files; ++i) {
        std::int32_t icon = 0, selfReg = 0, overwrite = 0, size = 0, realTime = 0, reboot = 0;
        GetFileInfo(i, a.data(), b.data(), c.data(), d.data(), e.data(), f.data(), g.data(), &icon,
                    &selfReg, &overwrite, &size, &realTime, &reboot);
        const std::string file = "file." + number(i) + ".";
        const char* keys[] = {"srcPath",  "fileName", "folder",     "version",
                              "targetOs", "shortcut", "displayName"};
        const char* texts[] = {a.data(), b.data(), c.data(), d.data(),
                               e.data(), f.data(), g.data()};
        for (int k = 0; k < 7; ++k) out(file + keys[k], Hex(texts[k]));
        out(file + "iconIndex", number(icon));
        out(file + "selfReg", number(selfReg));
        out(file + "overwrite", number(overwrite));
        out(file + "fileSize", number(size));
        out(file + "realTime", number(realTime));
        out(file + "reboot", number(reboot));
    }
    const std::int32_t registry = GetRegistryCount();
    out("registry", number(registry));
    for (std::int32_t i = 0; i < registry; ++i) {
        std::int32_t type = 0, action = 0;
        GetRegistryInfo(i, a.data(), b.data(), &type, c.data(), &action);
        const std::string value = "registry." + number(i) + ".";
        out(value + "regPath", Hex(a.data()));
        out(value + "key", Hex(b.data()));
        out(value + "type", number(type));
        out(value + "value", Hex(c.data()));
        out(value + "action", number(action));
    }
    for (const bool pre : {true, false}) {
        const std::string list = pre ? "preKill" : "upKill";
        const std::int32_t count = pre ? GetPreKillProcessCount() : GetUpKillProcessCount();
        out(list, number(count));
        for (std::int32_t i = 0; i < count; ++i) {
            (pre ? GetPreKillProcess : GetUpKillProcess)(i, a.data(), b.data());
            out(list + "." + number(i) + ".class", Hex(a.data()));
            out(list + "." + number(i) + ".title", Hex(b.data()));
        }
    }
    using Count = std::int32_t(KORVANE_CALL*)();
    using Getter = std::int32_t(KORVANE_CALL*)(std::int32_t, char*);
    const struct {
        const char* name;
        Count count;
        Getter get;
    } lists[] = {{"preExecute", GetPreExecuteCount, GetPreExecute},
                 {"postExecute", GetPostExecuteCount, GetPostExecute},
                 {"updateExecute", GetUpdateExecuteCount, GetUpdateExecute},
                 {"deleteExecute", GetDeleteExecuteCount, GetDeleteExecute}};
    for (const auto& list : lists) {
        const std::int32_t count = list.count();
        out(list.name, number(count));
        for (std::int32_t i = 0; i < count; ++i) {
            list.get(i, a.data());
            out(std::string(list.name) + "." + number(i), Hex(a.data()));
        }
    }
}

int Usage() {
    std::fputs(
        "usage: korvane_batch_client save BATCH PREFIX\n"
        "       korvane_batch_client load BATCH PREFIX...\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc < 4) return Usage();
    const std::string mode = argv[1];
    std::vector<Description> batch;
    if (!ReadBatch(argv[2], batch)) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    int failures = 0;
    if (mode == "save" && argc == 4) {
        for (const Description& description : batch) {
            if (!Set(description) ||
                SaveSetupFile(FileName(argv[3], description.number).c_str()) != 1) {
                std::fprintf(stderr, "description %d: not saved\n", description.number);
                ++failures;
            }
        }
    } else if (mode == "load") {
        for (int p = 3; p < argc; ++p) {
            for (const Description& description : batch) {
                ClearInMemory();
                const int loaded = LoadSetupFile(FileName(argv[p], description.number).c_str());
                Print(argv[p], description, loaded);
            }
        }
    } else {
        return Usage();
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}
