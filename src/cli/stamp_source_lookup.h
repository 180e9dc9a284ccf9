// korvane stamp's search for the source file of a FILE entry under a folder, on a file system
// with case-sensitive names, the way Windows would find it: backslashes and slashes both
// separate folders, and a name that is not there exactly matches any name that differs from it
// in ASCII case only.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace korvane::cli {

struct SourceLookup {
    enum class Kind {
        Found,      // `path` is the source file
        Missing,    // `detail` says which part is missing
        Ambiguous,  // `matches` lists the names that differ only in case
        Refused,    // not a path under the folder: `detail` says why
    };
    Kind kind = Kind::Missing;
    std::string path;
    std::string detail;
    std::vector<std::string> matches;
};

class SourceFinder {
  public:
    explicit SourceFinder(std::string root) : root_(std::move(root)) {}

    // `sourcePath` is a UTF-8 relative path, with either separator. An absolute path (a leading
    // separator or a drive letter) and one whose ".." climbs above the folder are refused.
    SourceLookup Find(const std::string& sourcePath);

  private:
    // The names in `directory`, read once per folder: a large tree whose names differ in case
    // from its description would otherwise be read again for every entry.
    const std::vector<std::string>& NamesIn(const std::string& directory);

    std::string root_;
    std::map<std::string, std::vector<std::string>> names_;
};

}  // namespace korvane::cli
