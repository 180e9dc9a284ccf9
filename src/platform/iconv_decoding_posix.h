// Decoding a file's bytes through iconv, for the POSIX build, whose XML parser decodes through
// the same converters.
#pragma once

#include <string>
#include <string_view>

#include "platform/encoding_names.h"

namespace korvane::platform {

// True when `bytes` decode through iconv's converter `charset` without an invalid or
// incomplete sequence. Checked before the parser sees a file: glibc's CP949 reports an invalid
// pair only after stepping past it, and libxml2 then drops the pair without an error.
bool DecodesWithoutError(const char* charset, std::string_view bytes);

// `bytes` of a file in `encoding` decoded into UTF-8 `out` through iconv, except the pairs of
// code page 949's user-defined rows, which glibc's CP949 refuses and which become the
// characters both builds read them as (UserDefinedCharacter949). False for any other encoding,
// and for any other sequence that iconv refuses.
bool DecodeWithUserDefinedRows(const EncodingName& encoding, std::string_view bytes,
                               std::string& out);

}  // namespace korvane::platform
