// A client of Korvane.dll under code page 949: sets one command for each lead byte, holding
// every character that code page 949 has a pair for under that lead; saves the description to
// pairs.xml, loads it back and checks that every command comes back as it was set. Writes the
// commands as UTF-8, one a line, to expected.txt, for check_euc_kr_pairs.sh to compare with
// what the Linux library reads from the same file.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "korvane.h"

namespace {

std::string Utf8Of(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(949, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
}

}  // namespace

int main() {
    if (GetACP() != 949) {
        std::fprintf(stderr, "the ANSI code page is %u, not 949 (LANG=ko_KR.EUC-KR)\n", GetACP());
        return 2;
    }
    std::vector<std::string> commands;
    std::size_t characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        std::string command;
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            wchar_t decoded[2];
            if (MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, pair, 2, decoded, 2) == 1) {
                command.append(pair, 2);
                ++characters;
            }
        }
        if (command.empty()) continue;
        commands.push_back(command);
        SetPreExecute(command.c_str());
    }
    if (SaveSetupFile("pairs.xml") != 1 || ClearInMemory() != 1 ||
        LoadSetupFile("pairs.xml") != 1) {
        std::fprintf(stderr, "save or load failed\n");
        return 1;
    }
    int mismatches = GetPreExecuteCount() == static_cast<int>(commands.size()) ? 0 : 1;
    std::FILE* expected = std::fopen("expected.txt", "wb");
    if (expected == nullptr) {
        std::fprintf(stderr, "cannot write expected.txt\n");
        return 1;
    }
    std::vector<char> read(4096);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (GetPreExecute(static_cast<int>(i), read.data()) != 1 || commands[i] != read.data()) {
            std::fprintf(stderr, "lead %02X: the DLL read back something else\n",
                         static_cast<unsigned char>(commands[i][0]));
            ++mismatches;
        }
        std::fprintf(expected, "%s\n", Utf8Of(commands[i]).c_str());
    }
    std::fclose(expected);
    std::printf("%u characters of code page 949 saved and loaded by Korvane.dll, %d mismatches\n",
                static_cast<unsigned>(characters), mismatches);
    return mismatches == 0 ? 0 : 1;
}
