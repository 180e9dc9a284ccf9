// The one table of encoding names that both builds read files by: for each name an XML
// declaration may give, the Windows code page that decodes it and the iconv name that does the
// same on POSIX systems. Both builds thus give a file the same meaning: euc-kr and
// ks_c_5601-1987 are code page 949, shift_jis is 932 (5C is '\', 7E is '~'), gb2312 is 936 and
// big5 is 950, whatever narrower tables other software keeps under those names.
#pragma once

#include <string>
#include <string_view>

namespace korvane::platform {

// How a file in the encoding lays out its characters, as far as reading its markup is concerned.
enum class ByteLayout {
    Utf8,
    Utf16Le,
    Utf16Be,
    SingleByte,  // one byte a character, ASCII as itself
    ShiftJis,    // pairs led by 81-9F or E0-FC; trail bytes can look like ASCII
    LeadPairs,   // pairs led by 81-FE; trail bytes can look like ASCII
};

struct EncodingName {
    const char* name;       // upper case, without '-' and '_'
    unsigned codePage;      // Windows code page (1200 and 1201 for UTF-16LE and -BE)
    const char* converter;  // the iconv name that decodes it as that code page does
    ByteLayout layout;
};

// Upper case without '-' and '_', so that "euc-kr", "EUC_KR" and "EUCKR" compare equal.
std::string NormalisedEncodingName(std::string_view name);

// The entry for `name` (case, '-' and '_' ignored); null when the table lacks it.
const EncodingName* FindEncodingName(std::string_view name);

// True when the file decoders of both builds refuse `character` decoded from a file in
// `codePage`: what glibc's converter of the table refuses but the platform's maps (a user-defined
// area, a byte the code page leaves undefined), so that the same bytes get one verdict; all but
// code page 949's user-defined rows, which both builds read (UserDefinedCharacter949). A file
// in us-ascii is also refused any byte of 0x80 or above (see IsRefusedByte).
bool IsRefusedCharacter(unsigned codePage, char32_t character);

// The character that a pair of code page 949's user-defined rows C9 and FE (trail bytes A1-FE)
// stands for as the platform's code page reads it: C9A1-C9FE are U+E000-U+E05D, FEA1-FEFE are
// U+E05E-U+E0BB; 0 for any other pair. Earlier versions wrote a Windows user's own characters
// raw into euc-kr files this way, so both builds read them, although glibc's CP949 lacks them.
char32_t UserDefinedCharacter949(unsigned char lead, unsigned char trail);

// True when a file in `codePage` holds `character` only as a character reference (&#N;), on both
// builds: what a reader refuses (IsRefusedCharacter), and code page 949's user-defined
// characters, which glibc's converter cannot write.
bool IsWrittenAsReference(unsigned codePage, char32_t character);

// True when `byte` is refused in a file in `codePage`, whatever it would decode to.
bool IsRefusedByte(unsigned codePage, unsigned char byte);

// True when `bytes`, code page 949 text to be written raw into an euc-kr file, read as the same
// characters in EUC-KR proper (KS X 1001) and in code page 949: ASCII, and pairs of bytes
// A1-FE outside the user-defined rows C9 and FE. Every other character of an euc-kr file is
// written as a character reference (&#N;), although both builds read those rows.
bool IsPortableEucKr(std::string_view bytes);

}  // namespace korvane::platform
