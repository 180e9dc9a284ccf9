// Decoding a file's bytes through iconv, for the POSIX build, whose XML parser decodes through
// the same converters.
#pragma once

#include <string>
#include <string_view>

#include "platform/encoding_names.h"

namespace korvane::platform {

// `bytes` of a file in `encoding` decoded into UTF-8 `out` through iconv, except the pairs of
// code page 949's user-defined rows, which glibc's CP949 refuses and which become the
// characters both builds read them as (UserDefinedCharacter949). False for any other encoding,
// and for any other sequence that iconv refuses.
bool DecodeWithUserDefinedRows(const EncodingName& encoding, std::string_view bytes,
                               std::string& out);

// `bytes` of a file in `encoding` as UTF-8, decoded once, so that the parser reads UTF-8 rather
// than calling iconv for every few characters: `asIs` when the bytes are ASCII that the
// encoding reads as itself (`out` is then empty and the bytes are their own UTF-8), otherwise
// decoded into `out` (with code page 949's user-defined rows, as DecodeWithUserDefinedRows).
// False, with nothing decoded, when iconv finds an invalid or incomplete sequence: glibc's
// CP949 reports an invalid pair only after stepping past it, and libxml2, decoding it
// itself, would drop the pair without an error.
bool DecodeToUtf8(const EncodingName& encoding, std::string_view bytes, std::string& out,
                  bool& asIs);

}  // namespace korvane::platform
