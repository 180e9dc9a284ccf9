// Where a value is in the JSON form, as messages name it: "files[0].shortcut", positions
// counted from 0, as the exports count entries.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::cli {

// The path of the member `key` (UTF-8) of the value at `path`; `path` is empty for the
// outermost value. The key is shown in the code page, with the characters it lacks and
// controls as escapes, so that a message can neither lose nor hide it.
std::string MemberPath(const std::string& path, std::string_view key);

// The path of the element at `position` of the array at `path`.
std::string ElementPath(const std::string& path, std::size_t position);

}  // namespace korvane::cli
