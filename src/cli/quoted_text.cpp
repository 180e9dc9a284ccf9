#include "cli/quoted_text.h"

#include "setupfile/display_text.h"

namespace korvane::cli {

std::string Quoted(std::string_view text) {
    return "\"" + setupfile::DisplayForm(text) + "\"";
}

}  // namespace korvane::cli
