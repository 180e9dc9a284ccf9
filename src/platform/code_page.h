// The system code page: the 8-bit encoding in which every text of the model is held.
//
// On Windows it is the ANSI code page; on POSIX systems it is the code set of the user's
// locale as the environment names it. Everything that walks text by characters (searching,
// cutting a text to fit a field) asks this layer how long the character at a position is, so
// that no text is ever split inside a double-byte or UTF-8 character. On POSIX systems a
// multibyte code set without a code-page number (GB18030, EUC-JP, ...) is stepped by asking
// iconv for each character's length; a single-byte one never asks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::platform {

// Code page numbers as Windows names them.
inline constexpr unsigned kCodePageShiftJis = 932;
inline constexpr unsigned kCodePageGbk = 936;
inline constexpr unsigned kCodePageKorean = 949;
inline constexpr unsigned kCodePageBig5 = 950;
inline constexpr unsigned kCodePageLatin1 = 1252;
inline constexpr unsigned kCodePageUtf8 = 65001;

// The code page in effect: the one chosen for tests if any, otherwise the system's.
unsigned ActiveCodePage();

// Makes `codePage` the active code page for this process, in place of the system's; 0 goes
// back to the system's. Internal: tests use it so that they never depend on the machine's
// locale. It is not exported from the shared library.
void SelectCodePageForTesting(unsigned codePage);

// The same by code-set name, for code sets without a code-page number (GB18030, EUC-JP, ...);
// an empty name goes back to the system's. Replaces any code page selected by number.
// Internal, for tests, like SelectCodePageForTesting.
void SelectCodeSetForTesting(const std::string& name);

// Number of bytes of the character that starts at text[0], under `codePage`, never more
// than `available` (at least 1 when `available` > 0). A lead byte without its trail byte,
// and a byte that does not start a valid UTF-8 sequence, count as one character each.
std::size_t CharLengthIn(unsigned codePage, const char* text, std::size_t available);

// The same under the active code page.
std::size_t CharLength(const char* text, std::size_t available);

// Length of the longest prefix of `text` that is made of whole characters and is at most
// `maxBytes` long.
std::size_t WholeCharPrefix(std::string_view text, std::size_t maxBytes);

// Converts `text` from the active code page to UTF-8. Returns false when the text is not valid
// in that code page (and then leaves `out` unspecified).
bool ToUtf8(std::string_view text, std::string& out);

// The same, but a byte sequence that is not valid in the code page becomes U+FFFD, so that
// every text can be written to a file.
std::string ToUtf8Replacing(std::string_view text);

// Converts UTF-8 `text` to the active code page. A character that the code page lacks, or
// holds only one way (its bytes read back as another character), becomes '?'; so does a byte
// sequence that is not valid UTF-8.
std::string FromUtf8(std::string_view text);

// Converts UTF-8 `text` to the active code page as FromUtf8 does, and tells whether every
// character came through as itself: true when converting `out` back gives `text` again, false
// when a character became '?' (or a look-alike).
bool FromUtf8Exactly(std::string_view text, std::string& out);

// Length of the longest prefix of UTF-8 `text` that ends at a character and whose characters,
// converted one by one as FromUtf8 converts them, take at most `maxBytes` bytes in the code
// page: the part of `text` that a cut of its conversion at `maxBytes` keeps.
std::size_t Utf8PrefixConvertingWithin(std::string_view text, std::size_t maxBytes);

// True when UTF-8 `text` can be written in the file encoding `charset` (a name of the table of
// encoding names, or an iconv name) as it is, without any character replaced.
bool IsEncodableIn(const char* charset, std::string_view text);

// Converts UTF-8 `text` into the file encoding `charset` (a name of the table of encoding
// names, or an iconv name). Each character that the encoding lacks, holds only one way, or
// holds as bytes that a reader of either build refuses (see encoding_names.h) is handed to
// `substitute`, and what it returns (ASCII) is written in its place. False when the encoding
// is unknown or `text` is not well-formed UTF-8.
bool ConvertFromUtf8(const char* charset, std::string_view text, std::string& out,
                     std::string (*substitute)(char32_t));

// The length in UTF-8 of `bytes`, a text in the encoding `charset`. A byte that does not belong
// to a valid character there counts as a replacement character (3 bytes); so does every byte
// of a text in an encoding the platform does not know.
std::size_t Utf8LengthOf(const char* charset, std::string_view bytes);

// Converts UTF-16 `text` to the active code page. A character that the code page lacks, and an
// unpaired surrogate, become '?'.
std::string FromUtf16(std::u16string_view text);

}  // namespace korvane::platform
