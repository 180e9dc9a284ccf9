// korvane stamp's search for the source file of a FILE entry under a folder, the way Windows
// would find it: backslashes and slashes both separate folders, and on a file system with
// case-sensitive names a name that is not there exactly matches any name that differs from it
// in ASCII case only. A file found through a link that leads out of the folder is not taken.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace korvane::cli {

struct SourceLookup {
    enum class Kind {
        Found,      // `path` is the source file
        Missing,    // `detail` says which part is missing
        Ambiguous,  // `matches` lists the names that differ only in case
        Refused,    // not a path under the folder: `detail` says why
        Outside,    // `path` exists, but a link leads it out of the folder: `detail` says where
    };
    Kind kind = Kind::Missing;
    std::string path;
    std::string detail;
    std::vector<std::string> matches;
};

class SourceFinder {
  public:
    // With `followLinks`, a file is taken wherever its links lead.
    SourceFinder(std::string root, bool followLinks)
        : root_(std::move(root)), followLinks_(followLinks) {}

    // `sourcePath` is a relative path in the form that names files (platform/file_tree.h), with
    // either separator. An absolute path (a leading separator or a drive letter) and one whose
    // ".." climbs above the folder are refused.
    SourceLookup Find(const std::string& sourcePath);

  private:
    // The names in `directory`, read once per folder: a large tree whose names differ in case
    // from its description would otherwise be read again for every entry.
    const std::vector<std::string>& NamesIn(const std::string& directory);

    // Outside unless `lookup`'s file, links resolved, lies within the folder.
    void ConfineToRoot(SourceLookup& lookup);

    std::string root_;
    bool followLinks_;
    std::string resolvedRoot_;  // resolved when first needed
    std::map<std::string, std::vector<std::string>> names_;
};

}  // namespace korvane::cli
