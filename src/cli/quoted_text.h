// A text of a description as the command's messages show it beside others: in double quotes,
// so that an empty text is seen as one, with what could disguise it escaped.
#pragma once

#include <string>
#include <string_view>

namespace korvane::cli {

// `text` (in the system code page) as "TEXT", in its display form.
std::string Quoted(std::string_view text);

}  // namespace korvane::cli
