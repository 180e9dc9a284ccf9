// Encoding names and code-page conversions on Windows.
#include "platform/encodings_windows.h"

#include <windows.h>

#include "platform/encoding_names.h"

namespace korvane::platform {
namespace {

bool IsUtf16(unsigned codePage) {
    return codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be;
}

bool IsSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

void AppendUtf16(unsigned codePage, std::wstring_view text, std::string& out) {
    for (const wchar_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>((unit >> 8) & 0xFF);
        out.push_back(codePage == kCodePageUtf16Le ? low : high);
        out.push_back(codePage == kCodePageUtf16Le ? high : low);
    }
}

// True when a file in `codePage` may not hold `bytes`, decoded as `decoded`, as they are.
bool IsWrittenAsReferences(unsigned codePage, std::string_view bytes, std::wstring_view decoded) {
    for (const char byte : bytes) {
        if (IsRefusedByte(codePage, static_cast<unsigned char>(byte))) return true;
    }
    for (const wchar_t unit : decoded) {
        if (IsWrittenAsReference(codePage, unit)) return true;
    }
    return false;
}

// `text` in `encoding` exactly: false when a character is missing there or would only be
// approximated (best fit), which the conversion back shows.
bool EncodeExactly(const WindowsEncoding& encoding, std::wstring_view text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const unsigned codePage = encoding.codePage;
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr,
                                           usedDefaultOut);
    if (length <= 0 || usedDefault) return false;
    out.resize(static_cast<std::size_t>(length));
    if (WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, nullptr,
                            usedDefaultOut) != length ||
        usedDefault)
        return false;
    if (encoding.ksX1001Only && !IsPortableEucKr(out)) return false;
    std::wstring back;
    return DecodeBytes(codePage, out, back) && back == text &&
           !(encoding.fileEncoding && IsWrittenAsReferences(codePage, out, back));
}

}  // namespace

bool FindWindowsEncoding(std::string_view name, WindowsEncoding& encoding) {
    const EncodingName* known = FindEncodingName(name);
    if (known == nullptr) return false;
    // Written under its own name, euc-kr holds only what EUC-KR proper reads.
    encoding = WindowsEncoding{known->codePage, std::string_view(known->name) == "EUCKR", true};
    return true;
}

bool IsRefusedInFiles(unsigned codePage, std::string_view bytes, std::wstring_view decoded) {
    for (const char byte : bytes) {
        if (IsRefusedByte(codePage, static_cast<unsigned char>(byte))) return true;
    }
    for (const wchar_t unit : decoded) {
        if (IsRefusedCharacter(codePage, unit)) return true;
    }
    return false;
}

bool DecodeBytes(unsigned codePage, std::string_view bytes, std::wstring& out) {
    out.clear();
    if (bytes.empty()) return true;
    if (IsUtf16(codePage)) {
        if (bytes.size() % 2 != 0) return false;
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            const auto first = static_cast<unsigned char>(bytes[i]);
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            out.push_back(static_cast<wchar_t>(
                codePage == kCodePageUtf16Le ? first | (second << 8) : (first << 8) | second));
        }
        return true;
    }
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    out.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data(),
                               length) == length;
}

bool EncodeText(const WindowsEncoding& encoding, std::wstring_view text, std::string& out,
                std::string (*substitute)(char32_t)) {
    const bool utf16 = IsUtf16(encoding.codePage);
    // The usual case: every character is there.
    if (!utf16 && EncodeExactly(encoding, text, out)) return true;
    // Character by character, substituting those the encoding lacks.
    out.clear();
    if (utf16) AppendUtf16(encoding.codePage, L"\xFEFF", out);
    std::string piece;
    for (std::size_t at = 0; at < text.size();) {
        const wchar_t unit = text[at];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() &&
                          text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
        const std::size_t length = pair ? 2 : 1;
        const std::wstring_view character = text.substr(at, length);
        at += length;
        if (!pair && IsSurrogate(unit)) {
            // Unpaired: no encoding holds it.
        } else if (utf16) {
            AppendUtf16(encoding.codePage, character, out);
            continue;
        } else if (EncodeExactly(encoding, character, piece)) {
            out.append(piece);
            continue;
        }
        if (substitute == nullptr) return false;
        const char32_t codePoint = pair ? 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                              (static_cast<char32_t>(character[1]) - 0xDC00)
                                        : static_cast<char32_t>(unit);
        const std::string replacement = substitute(codePoint);
        const std::wstring wideReplacement(replacement.begin(), replacement.end());
        if (utf16) {
            AppendUtf16(encoding.codePage, wideReplacement, out);
            continue;
        }
        if (!EncodeExactly(encoding, wideReplacement, piece)) return false;
        out.append(piece);
    }
    return true;
}

}  // namespace korvane::platform
