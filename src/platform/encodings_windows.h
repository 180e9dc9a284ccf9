// The encodings the Windows build knows, by name, and conversions between UTF-16 and their
// bytes through the platform's code-page functions. Internal to src/platform/.
#pragma once

#include <string>
#include <string_view>

namespace korvane::platform {

struct WindowsEncoding {
    unsigned codePage = 0;
    // Written as EUC-KR proper: of code page 949 only the pairs that EUC-KR decoders elsewhere
    // read as the same characters (IsPortableEucKrPair).
    bool ksX1001Only = false;
    // A file's encoding: what a file reader refuses, or what only the platform's converter
    // writes, is not written as it is (IsWrittenAsReference).
    bool fileEncoding = false;
};

inline constexpr unsigned kCodePageUtf16Le = 1200;
inline constexpr unsigned kCodePageUtf16Be = 1201;

// The encoding `name` names in the table of encoding names (case, '-' and '_' ignored); false
// when the table lacks it.
bool FindWindowsEncoding(std::string_view name, WindowsEncoding& encoding);

// True when `bytes` of a file in `codePage`, decoded as `decoded`, hold what the POSIX build's
// converter refuses (IsRefusedCharacter, IsRefusedByte), which this build refuses too.
bool IsRefusedInFiles(unsigned codePage, std::string_view bytes, std::wstring_view decoded);

// `bytes` in `codePage` as UTF-16; false when they are not valid there.
bool DecodeBytes(unsigned codePage, std::string_view bytes, std::wstring& out);

// UTF-16 `text` in `encoding`. A character the encoding lacks (and an unpaired surrogate) is
// written as what `substitute` returns for it (ASCII); with no substitute the conversion fails
// there. A UTF-16 result starts with its byte-order mark.
bool EncodeText(const WindowsEncoding& encoding, std::wstring_view text, std::string& out,
                std::string (*substitute)(char32_t));

}  // namespace korvane::platform
