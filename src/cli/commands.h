// The subcommands of korvane. Each returns the process's exit status: 0 on success, 1 when
// the work failed or problems were found. Usage errors (2) are the parser's.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace korvane::cli {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsageError = 2;

int Show(const std::string& file, bool json);
int Check(const std::string& file);
int Format(const std::string& file, const std::string& output);
int Build(const std::string& descriptionFile, const std::string& output);
int Expand(const std::vector<std::pair<std::string, std::string>>& words,
           const std::vector<std::string>& paths);
int Version(const std::vector<std::string>& files);
int Folders();

}  // namespace korvane::cli
