#include "setupfile/shipped_stylesheet.h"

#include "shipped_stylesheet.inc"

namespace korvane::setupfile {

bool IsShippedStylesheet(std::string_view bytes) {
    const std::string_view shipped(reinterpret_cast<const char*>(kShippedStylesheet),
                                   sizeof kShippedStylesheet);
    return bytes == shipped;
}

}  // namespace korvane::setupfile
