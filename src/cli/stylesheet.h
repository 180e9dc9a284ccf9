// Where the command finds the project's indent.xsl.
#pragma once

#include <string>

namespace korvane::cli {

// The path of indent.xsl: installed for the command (PREFIX/share/korvane/indent.xsl for
// PREFIX/bin/korvane), or beside it (as in the Windows zip and build), or else in the source
// tree the command was built from (not for Windows, whose build runs elsewhere). Empty when none
// exists.
std::string FindStylesheet();

// The places FindStylesheet looks, for messages.
std::string StylesheetSearchPath();

}  // namespace korvane::cli
