// The pretty-printing stylesheet that the library ships (data/indent.xsl), built into it.
#pragma once

#include <string_view>

namespace korvane::setupfile {

// True when `bytes` are byte for byte the stylesheet the library ships.
bool IsShippedStylesheet(std::string_view bytes);

}  // namespace korvane::setupfile
