// Code pages on POSIX systems: the locale's code set, double-byte lead bytes by table, and
// conversion through iconv.
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/code_page_system.h"
#include "platform/encoding_names.h"
#include "platform/iconv_decoding_posix.h"
#include "platform/utf8.h"

namespace korvane::platform {
namespace {

struct CodeSet {
    unsigned codePage;    // Windows number, 0 when unknown
    std::string charset;  // name that iconv understands
    // For a code set without a number: the bytes that start a character of several bytes.
    std::array<bool, 256> leads{};
};

constexpr const char* kCharacterUnits = "UTF-32LE";

// Finds the lead bytes of `charset` once, so that stepping through a single-byte code set
// never needs iconv: a byte that iconv finds incomplete on its own starts a longer character.
CodeSet MakeCodeSet(unsigned codePage, std::string charset) {
    CodeSet codeSet{codePage, std::move(charset), {}};
    if (codePage != 0) return codeSet;
    iconv_t descriptor = iconv_open(kCharacterUnits, codeSet.charset.c_str());
    if (descriptor == reinterpret_cast<iconv_t>(-1)) return codeSet;
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        char input = static_cast<char>(byte);
        char output[16];
        char* in = &input;
        char* out = output;
        std::size_t inLeft = 1, outLeft = sizeof output;
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        if (iconv(descriptor, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) &&
            errno == EINVAL) {
            codeSet.leads[byte] = true;
        }
    }
    iconv_close(descriptor);
    return codeSet;
}

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
        {"UTF8", kCodePageUtf8},           {"ANSIX3.41968", kCodePageUtf8},  // the C locale
        {"ASCII", kCodePageUtf8},          {"USASCII", kCodePageUtf8},
        {"EUCKR", kCodePageKorean},        {"UHC", kCodePageKorean},
        {"CP949", kCodePageKorean},        {"SHIFTJIS", kCodePageShiftJis},
        {"SJIS", kCodePageShiftJis},       {"CP932", kCodePageShiftJis},
        {"WINDOWS31J", kCodePageShiftJis}, {"GBK", kCodePageGbk},
        {"CP936", kCodePageGbk},           {"GB2312", kCodePageGbk},
        {"EUCCN", kCodePageGbk},           {"BIG5", kCodePageBig5},
        {"BIG5HKSCS", kCodePageBig5},      {"CP950", kCodePageBig5},
        {"CP1252", kCodePageLatin1},       {"WINDOWS1252", kCodePageLatin1},
    };
    for (const Alias& alias : aliases) {
        if (normalised == alias.name) return alias.codePage;
    }
    return 0;
}

const char* CharsetOfCodePage(unsigned codePage) {
    switch (codePage) {
        case kCodePageShiftJis:
            return "CP932";
        case kCodePageGbk:
            return "CP936";
        case kCodePageKorean:
            return "CP949";
        case kCodePageBig5:
            return "CP950";
        case kCodePageLatin1:
            return "CP1252";
        case kCodePageUtf8:
            return "UTF-8";
        default:
            return nullptr;
    }
}

// The code set that setlocale(LC_CTYPE, "") would choose, read through a locale object of our
// own so that the process's locale is left alone. An unknown or missing locale is the C locale.
CodeSet CodeSetNamed(const std::string& name);

CodeSet ReadSystemCodeSet() {
    std::string codeset = "UTF-8";
    if (locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0))) {
        codeset = nl_langinfo_l(CODESET, locale);
        freelocale(locale);
    }
    return CodeSetNamed(codeset);
}

CodeSet CodeSetNamed(const std::string& name) {
    const unsigned codePage = CodePageOfCodeSet(NormalisedName(name.c_str()));
    if (codePage != 0) return MakeCodeSet(codePage, CharsetOfCodePage(codePage));
    return MakeCodeSet(0, name);
}

const CodeSet& SystemCodeSet() {
    static const CodeSet codeSet = ReadSystemCodeSet();
    return codeSet;
}

// The code set selected by name for tests, if any. Every one selected is kept for the life of
// the process, so that a reference handed out stays valid.
std::atomic<const CodeSet*> selectedCodeSet{nullptr};

const CodeSet& CurrentCodeSet() {
    const CodeSet* selected = selectedCodeSet.load(std::memory_order_acquire);
    return selected != nullptr ? *selected : SystemCodeSet();
}

std::string ActiveCharset() {
    const unsigned codePage = ActiveCodePage();
    if (const char* charset = CharsetOfCodePage(codePage)) return charset;
    return CurrentCodeSet().charset;
}

constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Open iconv descriptors, one per pair of encodings, kept for the life of the library: opening
// one costs far more than converting a short text. A descriptor holds conversion state, so
// conversions take turns.
class ConverterCache {
  public:
    ~ConverterCache() {
        for (Entry& entry : entries_) iconv_close(entry.descriptor);
    }

    // Runs `use` with the descriptor from `from` to `to`, reset to its initial state; false
    // when iconv knows no such conversion.
    template <typename Use>
    bool With(const char* to, const char* from, Use&& use) {
        std::lock_guard<std::mutex> lock(mutex_);
        iconv_t descriptor = Find(to, from);
        if (descriptor == kNoDescriptor) return false;
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        use(descriptor);
        return true;
    }

  private:
    struct Entry {
        std::string to, from;
        iconv_t descriptor;
    };
    static inline const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

    iconv_t Find(const char* to, const char* from) {
        for (const Entry& entry : entries_) {
            if (entry.to == to && entry.from == from) return entry.descriptor;
        }
        iconv_t descriptor = iconv_open(to, from);
        if (descriptor != kNoDescriptor) entries_.push_back({to, from, descriptor});
        return descriptor;
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
};

ConverterCache converters;

// How many input bytes to step over at a position iconv could not convert.
using SkipFunction = std::size_t (*)(const char* in, std::size_t left);

std::size_t SkipUtf16Char(const char* in, std::size_t left) {
    if (left < 2) return left;
    const auto byte = [in](std::size_t i) { return static_cast<unsigned char>(in[i]); };
    const bool highSurrogate = byte(1) >= 0xD8 && byte(1) <= 0xDB;
    const bool pairFollows = left >= 4 && byte(3) >= 0xDC && byte(3) <= 0xDF;
    return highSurrogate && pairFollows ? 4 : 2;
}

// Converts `text` with iconv. Where the input cannot be converted, `replacement` is written
// in place of one character; with no replacement the conversion fails there.
bool Convert(const char* to, const char* from, std::string_view text, std::string& out,
             const char* replacement, SkipFunction skip) {
    out.clear();
    if (text.empty()) return true;
    bool complete = false;
    const bool known = converters.With(to, from, [&](iconv_t descriptor) {
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char chunk[4096];
        while (inLeft > 0) {
            char* outPtr = chunk;
            std::size_t outLeft = sizeof chunk;
            const std::size_t result = iconv(descriptor, &in, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            out.append(chunk, sizeof chunk - outLeft);
            if (result != static_cast<std::size_t>(-1)) break;
            if (error == E2BIG) continue;
            // EILSEQ or EINVAL: a character the target lacks, or an invalid input sequence.
            if (replacement == nullptr) return;
            out.append(replacement);
            const std::size_t step = skip(in, inLeft);
            in += step;
            inLeft -= step;
        }
        // Flush any shift state the target encoding keeps.
        char* outPtr = chunk;
        std::size_t outLeft = sizeof chunk;
        iconv(descriptor, nullptr, nullptr, &outPtr, &outLeft);
        out.append(chunk, sizeof chunk - outLeft);
        complete = true;
    });
    return known && complete;
}

}  // namespace

unsigned SystemCodePage() {
    return CurrentCodeSet().codePage;
}

void SelectCodeSetForTesting(const std::string& name) {
    static std::mutex mutex;
    static std::deque<CodeSet> selected;
    SelectCodePageForTesting(0);
    if (name.empty()) {
        selectedCodeSet.store(nullptr, std::memory_order_release);
        return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    selected.push_back(CodeSetNamed(name));
    selectedCodeSet.store(&selected.back(), std::memory_order_release);
}

std::size_t CharLengthInUnnumbered(const unsigned char* text, std::size_t available) {
    const CodeSet& codeSet = CurrentCodeSet();
    if (!codeSet.leads[text[0]] || available < 2) return 1;
    std::size_t length = 1;
    converters.With(kCharacterUnits, codeSet.charset.c_str(), [&](iconv_t descriptor) {
        // Converts the first `size` bytes into room for one character: what it took, and
        // whether iconv found them only incomplete.
        const auto convert = [&](std::size_t size, bool& incomplete) {
            iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
            char* in = const_cast<char*>(reinterpret_cast<const char*>(text));
            std::size_t inLeft = size;
            char output[4];
            char* out = output;
            std::size_t outLeft = sizeof output;
            const bool failed =
                iconv(descriptor, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1);
            incomplete = failed && errno == EINVAL;
            return size - inLeft;
        };
        bool incomplete = false;
        // iconv converts one character into room for exactly one; what it took is its length.
        const std::size_t taken = convert(std::min<std::size_t>(available, 8), incomplete);
        if (taken > 0) {
            length = taken;
            return;
        }
        // An invalid character: its lead, the bytes iconv still found incomplete, and the byte
        // that made it invalid, as a double-byte code page steps over a lead and its trail.
        for (std::size_t size = 2; size <= std::min<std::size_t>(available, 4); ++size) {
            convert(size, incomplete);
            if (!incomplete) {
                length = size;
                return;
            }
        }
    });
    return length;
}

bool IsLeadByte(unsigned codePage, unsigned char byte) {
    switch (codePage) {
        case kCodePageShiftJis:
            return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case kCodePageGbk:
        case kCodePageKorean:
        case kCodePageBig5:
            return byte >= 0x81 && byte <= 0xFE;
        default:
            return false;
    }
}

bool DecodeWithUserDefinedRows(const EncodingName& encoding, std::string_view bytes,
                               std::string& out) {
    out.clear();
    if (encoding.codePage != kCodePageKorean) return false;
    std::string piece;
    std::size_t run = 0;  // where the bytes that iconv decodes begin
    const auto decodeRun = [&](std::size_t end) {
        if (!Convert("UTF-8", encoding.converter, bytes.substr(run, end - run), piece, nullptr,
                     nullptr))
            return false;
        out.append(piece);
        return true;
    };
    // Stepped as code page 949 steps: a lead byte 81-FE and the byte after it are one pair.
    for (std::size_t at = 0; at + 1 < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x81 || lead == 0xFF) {
            ++at;
            continue;
        }
        const char32_t character =
            UserDefinedCharacter949(lead, static_cast<unsigned char>(bytes[at + 1]));
        if (character != 0) {
            if (!decodeRun(at)) return false;
            // U+E000-U+E0BB: three bytes in UTF-8.
            out.push_back(static_cast<char>(0xE0 | (character >> 12)));
            out.push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (character & 0x3F)));
            run = at + 2;
        }
        at += 2;
    }
    return decodeRun(bytes.size());
}

namespace {

// Whether `charset` reads every ASCII character but NUL as itself (Shift-JIS in some
// converters reads the backslash as a yen sign).
bool ReadsAsciiAsItself(const char* charset) {
    std::string ascii, decoded;
    for (char c = 1; c > 0; ++c) ascii.push_back(c);
    return Convert("UTF-8", charset, ascii, decoded, nullptr, nullptr) && decoded == ascii;
}

}  // namespace

bool DecodeToUtf8(const EncodingName& encoding, std::string_view bytes, std::string& out,
                  bool& asIs) {
    out.clear();
    asIs = IsAscii(bytes) && ReadsAsciiAsItself(encoding.converter);
    if (asIs) return true;
    if (Convert("UTF-8", encoding.converter, bytes, out, nullptr, nullptr)) return true;
    return DecodeWithUserDefinedRows(encoding, bytes, out);
}

bool ToUtf8(std::string_view text, std::string& out) {
    if (ActiveCodePage() == kCodePageUtf8) {
        out = ReplaceInvalidUtf8(text, "");
        return out.size() == text.size();
    }
    return Convert("UTF-8", ActiveCharset().c_str(), text, out, nullptr, nullptr);
}

std::string ToUtf8Replacing(std::string_view text) {
    if (ActiveCodePage() == kCodePageUtf8) return ReplaceInvalidUtf8(text, kReplacementCharacter);
    const std::string charset = ActiveCharset();
    std::string out;
    if (Convert("UTF-8", charset.c_str(), text, out, nullptr, nullptr)) return out;
    // Character by character, as the code page steps: iconv cannot say where an invalid
    // sequence began (glibc's CP949 reports an invalid pair only after stepping past it).
    out.clear();
    std::string piece;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = CharLength(text.data() + at, text.size() - at);
        const bool valid =
            Convert("UTF-8", charset.c_str(), text.substr(at, length), piece, nullptr, nullptr);
        out.append(valid ? piece : std::string(kReplacementCharacter));
        at += length;
    }
    return out;
}

namespace {

// How text is written in a charset, and read back to check it.
struct Writer {
    std::string charset;  // the iconv name that writes it
    std::string reader;   // the iconv name that reads it
    bool portableEucKr = false;
};

// A file's encoding is written through the converter of the table of encoding names that
// reads it (a name the table lacks goes to iconv as it is); euc-kr as EUC-KR proper, raw only
// where code page 949 reads the same.
Writer FileWriter(const char* charset) {
    const EncodingName* known = FindEncodingName(charset);
    if (known == nullptr) return Writer{charset, charset};
    if (std::string_view(known->name) == "EUCKR") return Writer{"EUC-KR", known->converter, true};
    return Writer{known->converter, known->converter};
}

Writer CodePageWriter() {
    const std::string charset = ActiveCharset();
    return Writer{charset, charset};
}

// UTF-8 `text` in the writer's charset, when the charset holds every character exactly: iconv
// converts it and the result reads back as `text`. glibc's converters also map a few
// characters one way only (CP932 writes U+00A5 as 5C, which reads back as '\'); those, like
// any character the charset lacks, are never written.
bool EncodeExactly(const Writer& writer, std::string_view text, std::string& out) {
    std::string back;
    return Convert(writer.charset.c_str(), "UTF-8", text, out, nullptr, nullptr) &&
           (!writer.portableEucKr || IsPortableEucKr(out)) &&
           Convert("UTF-8", writer.reader.c_str(), out, back, nullptr, nullptr) && back == text;
}

// UTF-8 `text` in the writer's charset, a character at a time where the whole does not go
// exactly: a character it lacks becomes what `substitute` returns (ASCII), and so does a byte
// that is not UTF-8 when `replaceInvalid`. False for such a byte otherwise, without a
// substitute, or when the charset is unknown.
bool EncodeText(const Writer& writer, std::string_view text, std::string& out,
                std::string (*substitute)(char32_t), bool replaceInvalid) {
    if (EncodeExactly(writer, text, out)) return true;
    out.clear();
    std::string piece;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8CharLength(text.data() + at, text.size() - at);
        const std::string_view character = text.substr(at, length);
        at += length;
        if (EncodeExactly(writer, character, piece)) {
            out.append(piece);
            continue;
        }
        const bool invalid = length == 1 && static_cast<unsigned char>(character[0]) >= 0x80;
        if ((invalid && !replaceInvalid) || substitute == nullptr) return false;
        const std::string replacement =
            substitute(invalid ? U'\uFFFD' : DecodeUtf8(character.data(), length));
        if (!EncodeExactly(writer, replacement, piece)) return false;
        out.append(piece);
    }
    return true;
}

std::string QuestionMark(char32_t) {
    return "?";
}

}  // namespace

std::string FromUtf8(std::string_view text) {
    if (ActiveCodePage() == kCodePageUtf8) return ReplaceInvalidUtf8(text, "?");
    std::string out;
    EncodeText(CodePageWriter(), text, out, QuestionMark, true);
    return out;
}

bool IsEncodableIn(const char* charset, std::string_view text) {
    std::string out;
    return EncodeExactly(FileWriter(charset), text, out);
}

bool ConvertFromUtf8(const char* charset, std::string_view text, std::string& out,
                     std::string (*substitute)(char32_t)) {
    return EncodeText(FileWriter(charset), text, out, substitute, false);
}

std::size_t Utf8LengthOf(const char* charset, std::string_view bytes) {
    std::string out;
    const SkipFunction oneByte = [](const char*, std::size_t) -> std::size_t { return 1; };
    if (!Convert("UTF-8", charset, bytes, out, kReplacementCharacter, oneByte))
        return 3 * bytes.size();
    return out.size();
}

std::string FromUtf16(std::u16string_view text) {
    std::string input(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        input[2 * i] = static_cast<char>(text[i] & 0xFF);
        input[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    // An unpaired surrogate becomes '?' on the way to UTF-8.
    std::string utf8;
    Convert("UTF-8", "UTF-16LE", input, utf8, "?", SkipUtf16Char);
    return FromUtf8(utf8);
}

}  // namespace korvane::platform
