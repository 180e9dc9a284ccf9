// What the command asks of the file system about a tree of files, chosen at link time: each
// system's file_tree_*.cpp defines it. Paths are in the form the system's file functions take
// (bytes on POSIX systems, the ANSI code page on Windows).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform {

enum class PathKind { Missing, RegularFile, Folder, Other };

// What `path` names, links followed.
PathKind KindOf(const std::string& path);

// `path` resolved against the current folder, so that it names the same file after the current
// folder changes; empty, with `failure` set, when the current folder is unavailable.
std::string AbsolutePath(const std::string& path, std::string& failure);

// True when there is anything at `path`, a dangling link included.
bool PathExists(const std::string& path);

// The size in bytes of the file at `path`, links followed; false when it cannot be read.
bool FileSizeOf(const std::string& path, std::uint64_t& size);

// The names in the folder `folder` ("." and ".." left out); none when it cannot be read.
std::vector<std::string> NamesInFolder(const std::string& folder);

// True where the file system itself finds a name whatever its case (Windows): a name that is
// not there as given is then not there in any other case either, and no two names of a folder
// differ only in case.
bool NamesIgnoreCase();

// The path of `path` with every link, "." and ".." resolved, only for comparing with another
// such path; empty when it cannot be resolved (nothing is there, or a loop of links).
std::string ResolvedPath(const std::string& path);

// True when the resolved path `inner` is the resolved path `folder` or lies beneath it.
bool LiesWithin(const std::string& inner, const std::string& folder);

// A text of the code page in the form that names a file, or false when it cannot name one:
// UTF-8 on POSIX systems, whose file names are taken as UTF-8; the text itself on Windows.
bool FileNameOfText(std::string_view text, std::string& name);

// A UTF-8 text in the form that names a file: itself on POSIX systems; on Windows its form in
// the ANSI code page, where a character that the code page lacks becomes '?' and names no file.
std::string FileNameOfUtf8(std::string_view utf8);

}  // namespace korvane::platform
