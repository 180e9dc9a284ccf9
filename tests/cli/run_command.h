// Runs the built korvane command as a user would, capturing its output and exit status.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace korvane::testing {

struct CommandResult {
    int status = -1;
    std::string out, err;
};

// Reads `fd` to its end.
inline std::string ReadAll(int fd) {
    std::string text;
    char chunk[4096];
    ssize_t got;
    while ((got = read(fd, chunk, sizeof chunk)) > 0)
        text.append(chunk, static_cast<std::size_t>(got));
    return text;
}

// How the command is run, beyond its arguments.
struct CommandSettings {
    // Set in the command's environment after LC_ALL=C, so they can override it.
    std::vector<std::pair<std::string, std::string>> environment;
    // A file that receives standard output instead of the result (such as /dev/full).
    std::string standardOutput;
};

// Runs korvane with `arguments` in the current directory, under the C locale (so texts are
// UTF-8 whatever the machine's locale is) unless `settings` say otherwise.
inline CommandResult RunKorvane(const std::vector<std::string>& arguments,
                                const CommandSettings& settings = {}) {
    // Output goes to files rather than pipes, so a large output can never block the child.
    char outPath[] = "/tmp/korvane-out-XXXXXX";
    char errPath[] = "/tmp/korvane-err-XXXXXX";
    const int outFd = mkstemp(outPath), errFd = mkstemp(errPath);
    CommandResult result;
    const pid_t child = fork();
    if (child == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        std::vector<char*> argv{const_cast<char*>(KORVANE_COMMAND)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        setenv("LC_ALL", "C", 1);
        for (const auto& [name, value] : settings.environment)
            setenv(name.c_str(), value.c_str(), 1);
        if (!settings.standardOutput.empty()) {
            const int output = open(settings.standardOutput.c_str(), O_WRONLY);
            if (output < 0) _exit(127);
            dup2(output, 1);
        }
        execv(KORVANE_COMMAND, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    lseek(outFd, 0, SEEK_SET);
    lseek(errFd, 0, SEEK_SET);
    result.out = ReadAll(outFd);
    result.err = ReadAll(errFd);
    close(outFd);
    close(errFd);
    unlink(outPath);
    unlink(errPath);
    return result;
}

}  // namespace korvane::testing
