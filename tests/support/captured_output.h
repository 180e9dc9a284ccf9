// What the code under test prints: everything written to standard output and standard error
// while an action runs in this process.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace korvane::testing {

// Everything written to standard output and standard error while `action` runs.
template <typename Action>
std::string PrintedDuring(Action&& action) {
    std::fflush(stdout);
    std::fflush(stderr);
    char path[] = "/tmp/korvane-printed-XXXXXX";
    const int capture = mkstemp(path);
    const int savedOut = dup(1), savedErr = dup(2);
    dup2(capture, 1);
    dup2(capture, 2);
    action();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    std::string printed;
    char chunk[512];
    lseek(capture, 0, SEEK_SET);
    for (ssize_t got; (got = read(capture, chunk, sizeof chunk)) > 0;) printed.append(chunk, got);
    close(capture);
    unlink(path);
    return printed;
}

}  // namespace korvane::testing
