// Text between the bytes of a file in a named encoding and UTF-16, for the DOM backend that
// hands the platform's XML component decoded UTF-16 text (Windows). The encodings are those of
// the platform's code pages, by the names XML declarations use.
#pragma once

#include <string>
#include <string_view>

namespace korvane::platform {

// True when `charset` (case, '-' and '_' ignored) names an encoding of the table of encoding
// names, which the library reads and writes: utf-8, utf-16 (-le, -be), euc-kr,
// ks_c_5601-1987 (and cp949, uhc), shift_jis, gb2312, gbk, big5, iso-8859-1, us-ascii,
// windows-1250 to windows-1258.
bool IsKnownEncoding(std::string_view charset);

// Decodes `bytes`, a text in `charset` without a byte-order mark, into UTF-16. False for an
// unknown encoding, bytes that are not valid in it, and bytes that the POSIX build's converter
// refuses (IsRefusedCharacter, IsRefusedByte).
bool DecodeToUtf16(std::string_view charset, std::string_view bytes, std::u16string& out);

// UTF-8 to UTF-16 and back; false for ill-formed input (an unpaired surrogate in UTF-16).
bool Utf8ToUtf16(std::string_view text, std::u16string& out);
bool Utf16ToUtf8(std::u16string_view text, std::string& out);

}  // namespace korvane::platform
