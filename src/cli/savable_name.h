// Whether a configuration name can become an element of a saved setup file.
#pragma once

#include <string>

namespace korvane::cli {

// True when `utf8Name` makes an element that a setup file (declared "euc-kr") can hold, by
// the same rule the save applies.
bool IsSavableFieldName(const std::string& utf8Name);

}  // namespace korvane::cli
