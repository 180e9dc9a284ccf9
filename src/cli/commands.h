// The subcommands of korvane. Each returns the process's exit status, one of exit_codes.h.
#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "cli/exit_codes.h"

namespace korvane::cli {

int Show(const std::string& file, bool json);
int Check(const std::string& file);
// The same check, its findings written to `findings`.
int CheckTo(const std::string& file, std::ostream& findings);
// Refuses a file that check finds fault with unless `force`.
int Format(const std::string& file, const std::string& output, bool force);
int Build(const std::string& descriptionFile, const std::string& output);
int Expand(const std::vector<std::pair<std::string, std::string>>& words,
           const std::vector<std::string>& paths);
int Version(const std::vector<std::string>& files);
int Folders();

enum class SchemaForm { Xml, Json };
int Schema(SchemaForm form);

struct StampOptions {
    std::string file;    // the setup file
    std::string from;    // the folder that holds the source files
    std::string output;  // empty: in place; "-": standard output
    bool dryRun = false;
    bool keepGoing = false;
    bool force = false;
    bool verbose = false;
    bool followLinks = false;  // take a source wherever its links lead
};
int Stamp(const StampOptions& options);

// kSuccess when the two describe the same installation, kDifferent when they differ,
// kDiffError when either cannot be compared.
int Diff(const std::string& before, const std::string& after, bool json);

}  // namespace korvane::cli
