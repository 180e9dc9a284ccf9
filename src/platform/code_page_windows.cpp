// Code pages on Windows: the ANSI code page, lead bytes as the system knows them, and
// conversions through MultiByteToWideChar and WideCharToMultiByte.
#include <windows.h>

#include "platform/code_page.h"
#include "platform/code_page_system.h"
#include "platform/encoded_text_windows.h"
#include "platform/encoding_names.h"
#include "platform/encodings_windows.h"
#include "platform/utf8.h"

namespace korvane::platform {
namespace {

constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

std::string QuestionMark(char32_t) {
    return "?";
}

WindowsEncoding ActiveEncoding() {
    return WindowsEncoding{ActiveCodePage(), false};
}

std::wstring_view Wide(std::u16string_view text) {
    return std::wstring_view(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

// UTF-8 `text` as UTF-16; false when it is not well-formed.
bool WideFromUtf8(std::string_view text, std::wstring& out) {
    return DecodeBytes(CP_UTF8, text, out);
}

bool Utf8FromWide(std::wstring_view text, std::string& out) {
    return EncodeText(WindowsEncoding{CP_UTF8, false}, text, out, nullptr);
}

}  // namespace

unsigned SystemCodePage() {
    return GetACP();
}

void SelectCodeSetForTesting(const std::string& name) {
    WindowsEncoding encoding;
    SelectCodePageForTesting(FindWindowsEncoding(name, encoding) ? encoding.codePage : 0);
}

std::size_t CharLengthInUnnumbered(const unsigned char*, std::size_t) {
    // Every Windows code page has a number; a byte of an unknown one counts alone.
    return 1;
}

bool IsLeadByte(unsigned codePage, unsigned char byte) {
    return IsDBCSLeadByteEx(codePage, byte) != FALSE;
}

bool ToUtf8(std::string_view text, std::string& out) {
    if (ActiveCodePage() == kCodePageUtf8) {
        out = ReplaceInvalidUtf8(text, "");
        return out.size() == text.size();
    }
    std::wstring wide;
    return DecodeBytes(ActiveCodePage(), text, wide) && Utf8FromWide(wide, out);
}

std::string ToUtf8Replacing(std::string_view text) {
    const unsigned codePage = ActiveCodePage();
    if (codePage == kCodePageUtf8) return ReplaceInvalidUtf8(text, kReplacementCharacter);
    std::string out;
    if (ToUtf8(text, out)) return out;
    // Character by character: a sequence the code page rejects becomes U+FFFD.
    out.clear();
    std::wstring wide;
    std::string piece;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = CharLengthIn(codePage, text.data() + at, text.size() - at);
        if (DecodeBytes(codePage, text.substr(at, length), wide) && Utf8FromWide(wide, piece)) {
            out.append(piece);
        } else {
            out.append(kReplacementCharacter);
        }
        at += length;
    }
    return out;
}

std::string FromUtf8(std::string_view text) {
    const std::string clean = ReplaceInvalidUtf8(text, "?");
    if (ActiveCodePage() == kCodePageUtf8) return clean;
    std::wstring wide;
    std::string out;
    if (WideFromUtf8(clean, wide)) EncodeText(ActiveEncoding(), wide, out, QuestionMark);
    return out;
}

bool IsEncodableIn(const char* charset, std::string_view text) {
    WindowsEncoding encoding;
    std::wstring wide;
    std::string out;
    return FindWindowsEncoding(charset, encoding) && WideFromUtf8(text, wide) &&
           EncodeText(encoding, wide, out, nullptr);
}

bool ConvertFromUtf8(const char* charset, std::string_view text, std::string& out,
                     std::string (*substitute)(char32_t)) {
    out.clear();
    WindowsEncoding encoding;
    std::wstring wide;
    return FindWindowsEncoding(charset, encoding) && WideFromUtf8(text, wide) &&
           EncodeText(encoding, wide, out, substitute);
}

std::size_t Utf8LengthOf(const char* charset, std::string_view bytes) {
    std::u16string wide;
    std::string out;
    if (!DecodeToUtf16(charset, bytes, wide) || !Utf16ToUtf8(wide, out)) return 3 * bytes.size();
    return out.size();
}

std::string FromUtf16(std::u16string_view text) {
    std::string out;
    EncodeText(ActiveEncoding(), Wide(text), out, QuestionMark);
    return out;
}

bool IsKnownEncoding(std::string_view charset) {
    return FindEncodingName(charset) != nullptr;
}

bool DecodeToUtf16(std::string_view charset, std::string_view bytes, std::u16string& out) {
    const EncodingName* encoding = FindEncodingName(charset);
    std::wstring wide;
    if (encoding == nullptr || !DecodeBytes(encoding->codePage, bytes, wide) ||
        IsRefusedInFiles(encoding->codePage, bytes, wide))
        return false;
    out.assign(wide.begin(), wide.end());
    return true;
}

bool Utf8ToUtf16(std::string_view text, std::u16string& out) {
    std::wstring wide;
    if (!WideFromUtf8(text, wide)) return false;
    out.assign(wide.begin(), wide.end());
    return true;
}

bool Utf16ToUtf8(std::u16string_view text, std::string& out) {
    return Utf8FromWide(Wide(text), out);
}

}  // namespace korvane::platform
