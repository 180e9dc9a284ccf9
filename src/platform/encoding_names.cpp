#include "platform/encoding_names.h"

#include <cctype>

#include "platform/code_page.h"

namespace korvane::platform {
namespace {

using L = ByteLayout;

// glibc's CP949, CP932, CP936 and CP950 decode as the Windows code pages do, but for the
// sequences IsRefusedCharacter lists and code page 949's user-defined rows
// (UserDefinedCharacter949); its EUC-KR, SHIFT_JIS and GB2312 are narrower tables.
constexpr EncodingName kEncodings[] = {
    {"UTF8", 65001, "UTF-8", L::Utf8},
    {"UTF16", 1200, "UTF-16LE", L::Utf16Le},
    {"UTF16LE", 1200, "UTF-16LE", L::Utf16Le},
    {"UCS2", 1200, "UTF-16LE", L::Utf16Le},
    {"ISO10646UCS2", 1200, "UTF-16LE", L::Utf16Le},
    {"UTF16BE", 1201, "UTF-16BE", L::Utf16Be},
    {"EUCKR", 949, "CP949", L::LeadPairs},
    {"KSC56011987", 949, "CP949", L::LeadPairs},
    {"CP949", 949, "CP949", L::LeadPairs},
    {"UHC", 949, "CP949", L::LeadPairs},
    {"WINDOWS949", 949, "CP949", L::LeadPairs},
    {"SHIFTJIS", 932, "CP932", L::ShiftJis},
    {"SJIS", 932, "CP932", L::ShiftJis},
    {"MSKANJI", 932, "CP932", L::ShiftJis},
    {"CP932", 932, "CP932", L::ShiftJis},
    {"WINDOWS31J", 932, "CP932", L::ShiftJis},
    {"GB2312", 936, "CP936", L::LeadPairs},
    {"GBK", 936, "CP936", L::LeadPairs},
    {"CP936", 936, "CP936", L::LeadPairs},
    {"BIG5", 950, "CP950", L::LeadPairs},
    {"CP950", 950, "CP950", L::LeadPairs},
    {"ISO88591", 28591, "ISO-8859-1", L::SingleByte},
    {"LATIN1", 28591, "ISO-8859-1", L::SingleByte},
    {"USASCII", 20127, "ASCII", L::SingleByte},
    {"ASCII", 20127, "ASCII", L::SingleByte},
    {"WINDOWS1250", 1250, "CP1250", L::SingleByte},
    {"CP1250", 1250, "CP1250", L::SingleByte},
    {"WINDOWS1251", 1251, "CP1251", L::SingleByte},
    {"CP1251", 1251, "CP1251", L::SingleByte},
    {"WINDOWS1252", 1252, "CP1252", L::SingleByte},
    {"CP1252", 1252, "CP1252", L::SingleByte},
    {"WINDOWS1253", 1253, "CP1253", L::SingleByte},
    {"CP1253", 1253, "CP1253", L::SingleByte},
    {"WINDOWS1254", 1254, "CP1254", L::SingleByte},
    {"CP1254", 1254, "CP1254", L::SingleByte},
    {"WINDOWS1255", 1255, "CP1255", L::SingleByte},
    {"CP1255", 1255, "CP1255", L::SingleByte},
    {"WINDOWS1256", 1256, "CP1256", L::SingleByte},
    {"CP1256", 1256, "CP1256", L::SingleByte},
    {"WINDOWS1257", 1257, "CP1257", L::SingleByte},
    {"CP1257", 1257, "CP1257", L::SingleByte},
    {"WINDOWS1258", 1258, "CP1258", L::SingleByte},
    {"CP1258", 1258, "CP1258", L::SingleByte},
};

// Characters that the platform's code page decodes a file's bytes to but glibc's converter of
// the same code page refuses, measured over every one- and two-byte sequence; all but code page
// 949's user-defined rows, which both builds read (UserDefinedCharacter949).
struct RefusedRange {
    unsigned codePage;
    char32_t first, last;
};
constexpr RefusedRange kRefused[] = {
    {932, 0x80, 0x80},                                              // the byte 80
    {936, 0xE000, 0xF8FF},                                          // the user-defined areas
    {949, 0x80, 0x80},                                              // the byte 80
    {950, 0xE000, 0xF6B0},                                          // the leads 81-A0 and FA-FE
    {1250, 0x80, 0x9F},    {1251, 0x80, 0x9F}, {1252, 0x80, 0x9F},  // bytes left undefined
    {1253, 0x80, 0x9F},    {1254, 0x80, 0x9F}, {1255, 0x80, 0x9F}, {1255, 0x05BA, 0x05BA},
    {1256, 0x80, 0x9F},    {1257, 0x80, 0x9F}, {1258, 0x80, 0x9F},
};

constexpr unsigned kCodePageAscii = 20127;

// Code page 949's user-defined rows: C9A1-C9FE, then FEA1-FEFE, from U+E000 on.
constexpr char32_t kFirstUserDefined949 = 0xE000;
constexpr char32_t kLastUserDefined949 = kFirstUserDefined949 + 2 * 94 - 1;

}  // namespace

std::string NormalisedEncodingName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == '-' || c == '_') continue;
        out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return out;
}

const EncodingName* FindEncodingName(std::string_view name) {
    const std::string normalised = NormalisedEncodingName(name);
    for (const EncodingName& known : kEncodings) {
        if (normalised == known.name) return &known;
    }
    return nullptr;
}

bool IsRefusedCharacter(unsigned codePage, char32_t character) {
    for (const RefusedRange& range : kRefused) {
        if (range.codePage == codePage && character >= range.first && character <= range.last)
            return true;
    }
    return false;
}

char32_t UserDefinedCharacter949(unsigned char lead, unsigned char trail) {
    if ((lead != 0xC9 && lead != 0xFE) || trail < 0xA1 || trail > 0xFE) return 0;
    return kFirstUserDefined949 + (lead == 0xFE ? 94 : 0) + (trail - 0xA1);
}

bool IsWrittenAsReference(unsigned codePage, char32_t character) {
    const bool userDefined949 = codePage == kCodePageKorean && character >= kFirstUserDefined949 &&
                                character <= kLastUserDefined949;
    return userDefined949 || IsRefusedCharacter(codePage, character);
}

bool IsRefusedByte(unsigned codePage, unsigned char byte) {
    // The platform's us-ascii drops the high bit; glibc's refuses the byte.
    return codePage == kCodePageAscii && byte >= 0x80;
}

bool IsPortableEucKr(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) continue;
        if (i + 1 >= bytes.size()) return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        const bool ksX1001 = lead >= 0xA1 && lead <= 0xFE && trail >= 0xA1 && trail <= 0xFE;
        const bool userDefined = lead == 0xC9 || lead == 0xFE;
        // A2 E8 is EUC-KR's later addition (U+327E), which code page 949 lacks.
        const bool onlyEucKr = lead == 0xA2 && trail == 0xE8;
        if (!ksX1001 || userDefined || onlyEucKr) return false;
    }
    return true;
}

}  // namespace korvane::platform
