// Where the command finds the project's indent.xsl.
#pragma once

#include <string>

namespace korvane::cli {

// The path of indent.xsl: installed beside the command (PREFIX/share/korvane/indent.xsl for
// PREFIX/bin/korvane), or else in the source tree the command was built from. Empty when
// neither exists.
std::string FindStylesheet();

// The places FindStylesheet looks, for messages.
std::string StylesheetSearchPath();

}  // namespace korvane::cli
