#include "cli/stamp_source_lookup.h"

#include <algorithm>
#include <string_view>

#include "platform/file_tree.h"

namespace korvane::cli {
namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool IsRegularFile(const std::string& path) {
    return platform::KindOf(path) == platform::PathKind::RegularFile;
}

// The components of `path` with "." and empty ones left out and ".." applied; false when
// ".." would climb above the start.
bool Components(const std::string& path, std::vector<std::string>& components) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (components.empty()) return false;
            components.pop_back();
        } else if (!part.empty() && part != ".") {
            components.push_back(part);
        }
        start = end + 1;
    }
    return true;
}

bool IsAbsolute(const std::string& path) {
    const bool driveLetter =
        path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return driveLetter || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

}  // namespace

const std::vector<std::string>& SourceFinder::NamesIn(const std::string& directory) {
    const auto cached = names_.find(directory);
    if (cached != names_.end()) return cached->second;
    return names_[directory] = platform::NamesInFolder(directory);
}

void SourceFinder::ConfineToRoot(SourceLookup& lookup) {
    if (followLinks_) return;
    if (resolvedRoot_.empty()) resolvedRoot_ = platform::ResolvedPath(root_);
    const std::string resolved = platform::ResolvedPath(lookup.path);
    if (resolved.empty() || resolvedRoot_.empty()) {
        lookup.kind = SourceLookup::Kind::Missing;
        lookup.detail = lookup.path + " cannot be resolved";
    } else if (!platform::LiesWithin(resolved, resolvedRoot_)) {
        lookup.kind = SourceLookup::Kind::Outside;
        lookup.detail = "a link leads it out of the folder, to " + resolved;
    }
}

SourceLookup SourceFinder::Find(const std::string& sourcePath) {
    SourceLookup lookup;
    std::vector<std::string> components;
    if (IsAbsolute(sourcePath)) {
        lookup.kind = SourceLookup::Kind::Refused;
        lookup.detail = "an absolute path";
        return lookup;
    }
    if (!Components(sourcePath, components)) {
        lookup.kind = SourceLookup::Kind::Refused;
        lookup.detail = "climbs out of the folder with ..";
        return lookup;
    }
    std::string path = root_;
    for (const std::string& component : components) path += "/" + component;
    if (IsRegularFile(path)) {  // the usual case: the tree holds every name as given
        lookup.kind = SourceLookup::Kind::Found;
        lookup.path = std::move(path);
        ConfineToRoot(lookup);
        return lookup;
    }
    path = root_;
    for (const std::string& component : components) {
        const std::string exact = path + "/" + component;
        if (platform::PathExists(exact)) {
            path = exact;
            continue;
        }
        std::vector<std::string> matches;
        // Where the file system ignores case itself, a name it does not find is not there in
        // any case.
        if (!platform::NamesIgnoreCase()) {
            for (const std::string& name : NamesIn(path)) {
                if (EqualIgnoringAsciiCase(name, component)) matches.push_back(path + "/" + name);
            }
        }
        if (matches.empty()) {
            lookup.detail = exact + " is missing";
            return lookup;
        }
        if (matches.size() > 1) {
            std::sort(matches.begin(), matches.end());
            lookup.kind = SourceLookup::Kind::Ambiguous;
            lookup.matches = std::move(matches);
            return lookup;
        }
        path = matches.front();
    }
    if (!IsRegularFile(path)) {
        lookup.detail = path + " is not a regular file";
        return lookup;
    }
    lookup.kind = SourceLookup::Kind::Found;
    lookup.path = std::move(path);
    ConfineToRoot(lookup);
    return lookup;
}

}  // namespace korvane::cli
