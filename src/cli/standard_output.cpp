#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string_view>

#include "cli/commands.h"
#include "platform/code_page.h"
#include "platform/standard_streams.h"
#include "setupfile/grammar.h"

namespace korvane::cli {

void PrepareStandardOutput() {
    platform::PrepareStandardStreams(std::cout, std::cerr);
}

void PrintUtf8(const std::string& text) {
    platform::SetStandardOutputCodePage(std::cout, platform::kCodePageUtf8);
    std::cout << text;
    platform::SetStandardOutputCodePage(std::cout, 0);
}

bool CopyFileToStandardOutput(const std::string& path, std::string& reason) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        reason = "cannot read back the saved file";
        return false;
    }
    // Saved files are in euc-kr, which the Korean code page holds whole.
    static_assert(std::string_view(setupfile::kFileEncoding) == "euc-kr");
    platform::SetStandardOutputCodePage(std::cout, platform::kCodePageKorean);
    char chunk[8192];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
        std::cout.write(chunk, file.gcount());
    platform::SetStandardOutputCodePage(std::cout, 0);
    if (file.bad()) {
        reason = "cannot read back the saved file";
        return false;
    }
    return true;
}

int FinishStandardOutput(int status) {
    errno = 0;
    std::cout.flush();
    const int error = errno;
    if (std::cout.good() && std::ferror(stdout) == 0) return status;
    std::cerr << "korvane: cannot write to standard output"
              << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << "\n";
    return kFailure;
}

}  // namespace korvane::cli
