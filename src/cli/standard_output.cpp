#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli/commands.h"

namespace korvane::cli {

bool CopyFileToStandardOutput(const std::string& path, std::string& reason) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        reason = "cannot read back the saved file";
        return false;
    }
    char chunk[8192];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
        std::cout.write(chunk, file.gcount());
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
