// Decoding a file's bytes through iconv, for the POSIX build, whose XML parser decodes through
// the same converters.
#pragma once

#include <string_view>

namespace korvane::platform {

// True when `bytes` decode through iconv's converter `charset` without an invalid or
// incomplete sequence. Checked before the parser sees a file: glibc's CP949 reports an invalid
// pair only after stepping past it, and libxml2 then drops the pair without an error.
bool DecodesWithoutError(const char* charset, std::string_view bytes);

}  // namespace korvane::platform
