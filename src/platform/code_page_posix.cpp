// Code pages on POSIX systems: the locale's code set, double-byte lead bytes by table, and
// conversion through iconv.
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cerrno>
#include <string>

#include "platform/code_page.h"
#include "platform/code_page_system.h"

namespace korvane::platform {
namespace {

struct CodeSet {
    unsigned codePage;    // Windows number, 0 when unknown
    std::string charset;  // name that iconv understands
};

// Upper case without '-' and '_', so that "euc-kr", "EUC_KR" and "EUCKR" compare equal.
std::string NormalisedName(const char* name) {
    std::string out;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '-' || *c == '_') continue;
        out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(*c))));
    }
    return out;
}

unsigned CodePageOfCodeSet(const std::string& normalised) {
    struct Alias {
        const char* name;
        unsigned codePage;
    };
    static const Alias aliases[] = {
        {"UTF8", kCodePageUtf8},        {"ANSIX3.41968", kCodePageUtf8},  // the C locale
        {"ASCII", kCodePageUtf8},       {"USASCII", kCodePageUtf8},
        {"EUCKR", kCodePageKorean},     {"UHC", kCodePageKorean},
        {"CP949", kCodePageKorean},     {"SHIFTJIS", kCodePageShiftJis},
        {"SJIS", kCodePageShiftJis},    {"CP932", kCodePageShiftJis},
        {"WINDOWS31J", kCodePageShiftJis}, {"GBK", kCodePageGbk},
        {"CP936", kCodePageGbk},        {"GB2312", kCodePageGbk},
        {"EUCCN", kCodePageGbk},        {"BIG5", kCodePageBig5},
        {"BIG5HKSCS", kCodePageBig5},   {"CP950", kCodePageBig5},
        {"CP1252", kCodePageLatin1},    {"WINDOWS1252", kCodePageLatin1},
    };
    for (const Alias& alias : aliases) {
        if (normalised == alias.name) return alias.codePage;
    }
    return 0;
}

const char* CharsetOfCodePage(unsigned codePage) {
    switch (codePage) {
        case kCodePageShiftJis: return "CP932";
        case kCodePageGbk: return "CP936";
        case kCodePageKorean: return "CP949";
        case kCodePageBig5: return "CP950";
        case kCodePageLatin1: return "CP1252";
        case kCodePageUtf8: return "UTF-8";
        default: return nullptr;
    }
}

// The code set that setlocale(LC_CTYPE, "") would choose, read through a locale object of our
// own so that the process's locale is left alone. An unknown or missing locale is the C locale.
CodeSet ReadSystemCodeSet() {
    std::string codeset = "UTF-8";
    if (locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0))) {
        codeset = nl_langinfo_l(CODESET, locale);
        freelocale(locale);
    }
    const unsigned codePage = CodePageOfCodeSet(NormalisedName(codeset.c_str()));
    if (codePage != 0) return {codePage, CharsetOfCodePage(codePage)};
    return {0, codeset};
}

const CodeSet& SystemCodeSet() {
    static const CodeSet codeSet = ReadSystemCodeSet();
    return codeSet;
}

std::string ActiveCharset() {
    const unsigned codePage = ActiveCodePage();
    if (const char* charset = CharsetOfCodePage(codePage)) return charset;
    return SystemCodeSet().charset;
}

}  // namespace

unsigned SystemCodePage() { return SystemCodeSet().codePage; }

bool IsLeadByte(unsigned codePage, unsigned char byte) {
    switch (codePage) {
        case kCodePageShiftJis: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case kCodePageGbk:
        case kCodePageKorean:
        case kCodePageBig5: return byte >= 0x81 && byte <= 0xFE;
        default: return false;
    }
}

bool ToUtf16(std::string_view text, std::u16string& out) {
    out.clear();
    if (text.empty()) return true;
    iconv_t converter = iconv_open("UTF-16LE", ActiveCharset().c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    // Every input byte gives at most one UTF-16 unit (a two-byte character at most two).
    std::string buffer(text.size() * 2 + 2, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) return false;
    const std::size_t units = (buffer.size() - outLeft) / 2;
    out.resize(units);
    for (std::size_t i = 0; i < units; ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(buffer[2 * i]) |
                                       (static_cast<unsigned char>(buffer[2 * i + 1]) << 8));
    }
    return true;
}

std::string FromUtf16(std::u16string_view text) {
    std::string out;
    if (text.empty()) return out;
    iconv_t converter = iconv_open(ActiveCharset().c_str(), "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(text.size(), '?');
    std::string input(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        input[2 * i] = static_cast<char>(text[i] & 0xFF);
        input[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    // No code page needs more than four bytes for one UTF-16 unit.
    std::string buffer(text.size() * 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG || outLeft == 0) break;
        // A character the code page lacks (EILSEQ) or a surrogate without its pair (EINVAL):
        // write '?' in its place and go on after it.
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(in[0]) |
                                                (static_cast<unsigned char>(in[1]) << 8));
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4 &&
                          static_cast<unsigned char>(in[3]) >= 0xDC &&
                          static_cast<unsigned char>(in[3]) <= 0xDF;
        const std::size_t skip = pair ? 4 : 2;
        in += skip;
        inLeft -= skip;
        *outPtr++ = '?';
        --outLeft;
    }
    iconv_close(converter);
    out.assign(buffer.data(), buffer.size() - outLeft);
    return out;
}

}  // namespace korvane::platform
