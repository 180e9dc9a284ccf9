// A JSON file as the command reads it: parsed as a stream of events into a tree, with the
// faults that the tree could not show refused where they are met. A value nested deeper than
// kMaxJsonDepth levels is refused before it is built, so that no file can make the parse take
// memory in proportion to its depth; a key given twice in one object is refused, where a tree
// would keep the last one only. Every refusal says where it is, as "FILE:LINE:COLUMN:", the
// column counted in characters from 1, as the errors of XML files do.
#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace korvane::cli {

// A description is three levels deep; this leaves room and bounds what a parse holds.
inline constexpr std::size_t kMaxJsonDepth = 64;

// Parses the JSON file `path` into `json`. On failure returns false and sets `reason`, in
// words: "FILE: cannot read: No such file or directory", "FILE:3:14: not valid JSON: ...",
// "FILE:1:40: config is given twice", "FILE:1:65: arrays and objects nested deeper than 64
// levels". Keys are named by their JSON path ("files[0].shortcut", positions from 0).
bool ParseJsonFileExplained(const std::string& path, nlohmann::json& json, std::string& reason);

}  // namespace korvane::cli
