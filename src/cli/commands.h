// The subcommands of korvane. Each returns the process's exit status: 0 on success, 1 when
// the work failed or problems were found. Usage errors (2) are the parser's.
#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace korvane::cli {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsageError = 2;

int Show(const std::string& file, bool json);
int Check(const std::string& file);
// The same check, its findings written to `findings`.
int CheckTo(const std::string& file, std::ostream& findings);
int Format(const std::string& file, const std::string& output);
int Build(const std::string& descriptionFile, const std::string& output);
int Expand(const std::vector<std::pair<std::string, std::string>>& words,
           const std::vector<std::string>& paths);
int Version(const std::vector<std::string>& files);
int Folders();

struct StampOptions {
    std::string file;    // the setup file
    std::string from;    // the folder that holds the source files
    std::string output;  // empty: in place; "-": standard output
    bool dryRun = false;
    bool keepGoing = false;
    bool force = false;
    bool verbose = false;
};
int Stamp(const StampOptions& options);

// Exit status 0 when the two describe the same installation, 1 when they differ, 2 on error.
int Diff(const std::string& before, const std::string& after, bool json);

}  // namespace korvane::cli
