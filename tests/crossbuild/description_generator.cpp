// The cross-build check's generator and judge (Linux).
//
//   korvane_crossbuild generate CODE_PAGE SEED COUNT BATCH EXPECTED
//       Writes COUNT random descriptions to BATCH, as the bytes a caller under CODE_PAGE (949,
//       932 or 1252) hands the setters, and to EXPECTED what the getters must give once one of
//       them is saved and loaded again under the same code page. A character the code page
//       lacks is '?' there, as a caller's conversion makes it.
//   korvane_crossbuild compare CODE_PAGE EXPECTED ACTUAL LOADER
//       Compares the values that korvane_batch_client printed (ACTUAL, loaded by LOADER) with
//       EXPECTED, one block per saving build; prints every difference and how many values it
//       compared. Exits 1 on any difference.
//
// Each value is one line, "DESCRIPTION KEY VALUE", texts as hexadecimal bytes ("-" when empty).
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Text in a code page

class CodePage {
  public:
    explicit CodePage(int number) : number_(number) {
        const std::string name = "CP" + std::to_string(number);
        toCodePage_ = iconv_open(name.c_str(), "UTF-32LE");
        toUtf8_ = iconv_open("UTF-8", name.c_str());
    }
    ~CodePage() {
        iconv_close(toCodePage_);
        iconv_close(toUtf8_);
    }
    bool valid() const {
        return toCodePage_ != reinterpret_cast<iconv_t>(-1) &&
               toUtf8_ != reinterpret_cast<iconv_t>(-1);
    }
    int number() const { return number_; }

    // The bytes of `c` in the code page, or "?" when it has no such character.
    std::string Encode(char32_t c) {
        const auto known = cache_.find(c);
        if (known != cache_.end()) return known->second;
        char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                      static_cast<char>((c >> 16) & 0xFF), static_cast<char>(c >> 24)};
        char out[8];
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = sizeof in, outLeft = sizeof out;
        iconv(toCodePage_, nullptr, nullptr, nullptr, nullptr);
        const bool converted =
            iconv(toCodePage_, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
        std::string bytes = converted ? std::string(out, sizeof out - outLeft) : "?";
        cache_.emplace(c, bytes);
        return bytes;
    }

    // Code-page bytes as UTF-8, for showing a difference; what does not convert stays hex.
    std::string Show(const std::string& bytes) {
        std::string shown;
        std::size_t i = 0;
        while (i < bytes.size()) {
            const std::size_t length = CharLength(bytes, i);
            std::string utf8(16, '\0');
            char* in = const_cast<char*>(bytes.data() + i);
            char* out = utf8.data();
            std::size_t inLeft = length, outLeft = utf8.size();
            iconv(toUtf8_, nullptr, nullptr, nullptr, nullptr);
            const unsigned char first = static_cast<unsigned char>(bytes[i]);
            if (first == '\t') {
                shown += "\\t";
            } else if (first == '\n') {
                shown += "\\n";
            } else if (first == '\r') {
                shown += "\\r";
            } else if (first == '\\') {
                shown += "\\\\";
            } else if (iconv(toUtf8_, &in, &inLeft, &out, &outLeft) !=
                       static_cast<std::size_t>(-1)) {
                shown.append(utf8.data(), utf8.size() - outLeft);
            } else {
                for (std::size_t k = 0; k < length; ++k) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X",
                                  static_cast<unsigned char>(bytes[i + k]));
                    shown += hex;
                }
            }
            i += length;
        }
        return shown;
    }

    // Length of the character at bytes[at], by the code page's lead bytes.
    std::size_t CharLength(const std::string& bytes, std::size_t at) const {
        const unsigned char b = static_cast<unsigned char>(bytes[at]);
        const bool lead = number_ == 949   ? b >= 0x81 && b <= 0xFE
                          : number_ == 932 ? (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)
                                           : false;
        return lead && at + 1 < bytes.size() ? 2 : 1;
    }

    // The longest prefix of whole characters of at most `limit` bytes: how the library cuts.
    std::string Cut(const std::string& bytes, std::size_t limit) const {
        std::size_t end = 0;
        while (end < bytes.size()) {
            const std::size_t next = end + CharLength(bytes, end);
            if (next > limit) break;
            end = next;
        }
        return bytes.substr(0, end);
    }

  private:
    int number_;
    iconv_t toCodePage_;
    iconv_t toUtf8_;
    std::map<char32_t, std::string> cache_;
};

std::string Hex(const std::string& bytes) {
    if (bytes.empty()) return "-";
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        hex.push_back(digits[static_cast<unsigned char>(c) >> 4]);
        hex.push_back(digits[static_cast<unsigned char>(c) & 15]);
    }
    return hex;
}

std::string Unhex(const std::string& hex) {
    std::string bytes;
    if (hex == "-") return bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// Random texts

// Characters that glibc and the platform convert the same way under the code page: ASCII
// (without '\' and '~' under 932, whose tables differ there), Hangul syllables of KS X 1001,
// kana, JIS X 0208 level 1 kanji, and Latin-1 letters (which 949 and 932 lack, so a caller gets
// '?'; under 1252 all of U+00A0-U+00FF and the letters and punctuation of 80-9F). Left out:
// C1 controls, private use, symbols whose 932 and 949 mappings differ between the tables
// (U+00A2, U+00A5, U+2014, U+301C, ...), and the Latin-1 letters KS X 1001 holds.
class TextMaker {
  public:
    TextMaker(CodePage& codePage, std::mt19937_64& random) : codePage_(codePage), random_(random) {
        for (char32_t c = 0x20; c < 0x7F; ++c) {
            if (codePage.number() == 932 && (c == '\\' || c == '~')) continue;
            ascii_.push_back(c);
        }
        for (char32_t c = 0xC0; c <= 0xFF; ++c) {
            if (codePage.number() == 1252 ||
                (c != 0xC6 && c != 0xD0 && c != 0xD7 && c != 0xD8 && c != 0xDE && c != 0xDF &&
                 c != 0xE6 && c != 0xF0 && c != 0xF7 && c != 0xF8 && c != 0xFE))
                latin_.push_back(c);
        }
        if (codePage.number() == 1252) {
            for (char32_t c = 0xA0; c < 0xC0; ++c) latin_.push_back(c);
            for (char32_t c : {0x20AC, 0x160, 0x161, 0x17D, 0x17E, 0x152, 0x153, 0x178, 0x2018,
                               0x2019, 0x201C, 0x201D, 0x2026, 0x2013, 0x2014, 0x2022})
                latin_.push_back(c);
        }
        iconv_t eucKr = iconv_open("UTF-32LE", "EUC-KR");
        for (int lead = 0xB0; lead <= 0xC8; ++lead) {
            for (int trail = 0xA1; trail <= 0xFE; ++trail)
                hangul_.push_back(Decode(eucKr, lead, trail));
        }
        iconv_close(eucKr);
        for (char32_t c = 0x3041; c <= 0x3093; ++c) kana_.push_back(c);
        for (char32_t c = 0x30A1; c <= 0x30F6; ++c) kana_.push_back(c);
        iconv_t sjis = iconv_open("UTF-32LE", "CP932");
        for (int lead = 0x88; lead <= 0x98; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F || (lead == 0x88 && trail < 0x9F) ||
                    (lead == 0x98 && trail > 0x72))
                    continue;
                kanji_.push_back(Decode(sjis, lead, trail));
            }
        }
        iconv_close(sjis);
        hangul_.erase(std::remove(hangul_.begin(), hangul_.end(), 0), hangul_.end());
        kanji_.erase(std::remove(kanji_.begin(), kanji_.end(), 0), kanji_.end());
    }

    // A text of about `length` bytes in the code page, in one of several flavours.
    std::string Text(std::size_t length) {
        const int flavour = Pick(10);
        std::string text;
        if (flavour == 0) {  // blanks only
            while (text.size() < length) text += Pick({" ", "\t", "\n", "\r", "\r\n"});
            return text;
        }
        const bool blankEnds = flavour <= 3;
        if (blankEnds && length > 2) text += Pick({" ", "  ", "\t", "\n", "\r\n", " \r"});
        const std::size_t body = blankEnds && length > 4 ? length - 2 : length;
        while (text.size() < body) text += codePage_.Encode(Character(flavour));
        if (blankEnds && length > 2) text += Pick({" ", "\t ", "\n", "\r", "\r\n", " \n "});
        return text;
    }

    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }

    template <typename T>
    T Pick(std::initializer_list<T> choices) {
        return *(choices.begin() + Pick(choices.size()));
    }

  private:
    static char32_t Decode(iconv_t descriptor, int lead, int trail) {
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        char32_t out = 0;
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(&out);
        std::size_t inLeft = 2, outLeft = sizeof out;
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        if (iconv(descriptor, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return 0;
        return out;
    }

    char32_t Character(int flavour) {
        const std::size_t roll = Pick(100);
        if (flavour == 4 || roll < 40) {
            if (roll % 5 == 0)
                return Pick({U'&', U'<', U'>', U'"', U'\'', U'\t', U'\n', U'\r', U' '});
            return ascii_[Pick(ascii_.size())];
        }
        if (roll < 55) return latin_[Pick(latin_.size())];
        if (roll < 75) return hangul_[Pick(hangul_.size())];
        if (roll < 87) return kana_[Pick(kana_.size())];
        return kanji_[Pick(kanji_.size())];
    }

    CodePage& codePage_;
    std::mt19937_64& random_;
    std::vector<char32_t> ascii_, latin_, hangul_, kana_, kanji_;
};

// ---------------------------------------------------------------------------------------------
// Descriptions

constexpr std::size_t kUnbounded = 0;  // a setter that keeps any length

struct Field {
    const char* key;
    std::size_t width;     // what a setter keeps, terminator included (kUnbounded: all)
    std::size_t capacity;  // what a load keeps, terminator included
};

constexpr Field kFileFields[] = {
    {"srcPath", 260, 260}, {"fileName", 260, 260}, {"folder", 260, 260},     {"version", 128, 128},
    {"targetOs", 20, 20},  {"shortcut", 10, 10},   {"displayName", 130, 130}};
constexpr Field kRegistryPath = {"regPath", 1024, 1024};
constexpr Field kRegistryKey = {"key", 1024, 1024};
constexpr Field kRegistryValue = {"value", 1024, 1024};
constexpr Field kClass = {"class", 1024, 256};
constexpr Field kTitle = {"title", 1024, 1024};
constexpr Field kWord = {"word", kUnbounded, 256};
constexpr Field kMeaning = {"meaning", 1024, 1024};
constexpr Field kConfigValue = {"value", kUnbounded, 1024};
constexpr Field kCommand = {"command", kUnbounded, 2048};
constexpr const char* kCommandLists[] = {"preExecute", "postExecute", "updateExecute",
                                         "deleteExecute"};

class Generator {
  public:
    Generator(CodePage& codePage, std::uint64_t seed)
        : codePage_(codePage), random_(seed), texts_(codePage, random_) {}

    void Description(int index, std::ostream& batch, std::ostream& expected) {
        batch << "D " << index << "\n";
        const auto out = [&](const std::string& key, const std::string& value) {
            expected << index << " " << key << " " << value << "\n";
        };
        out("load", "1");

        // Reserved words: ordered by their bytes once loaded.
        const std::size_t words = Count();
        std::vector<std::pair<std::string, std::string>> loadedWords;
        for (std::size_t i = 0; i < words; ++i) {
            std::string word = "W" + std::to_string(i) + "_" + Text(kWord);
            const std::string meaning = Text(kMeaning);
            batch << "R " << Hex(word) << " " << Hex(meaning) << " " << Hex(Text(kMeaning)) << "\n";
            loadedWords.emplace_back(Expected(word, kWord), Expected(meaning, kMeaning));
        }
        std::sort(loadedWords.begin(), loadedWords.end(), [](const auto& a, const auto& b) {
            return std::lexicographical_compare(
                a.first.begin(), a.first.end(), b.first.begin(), b.first.end(), [](char x, char y) {
                    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                });
        });
        out("words", std::to_string(words));
        for (std::size_t i = 0; i < loadedWords.size(); ++i) {
            out("word." + std::to_string(i) + ".word", Hex(loadedWords[i].first));
            out("word." + std::to_string(i) + ".meaning", Hex(loadedWords[i].second));
        }

        const std::size_t fields = Count();
        for (std::size_t i = 0; i < fields; ++i) {
            const std::string name = "F" + std::to_string(i) + Pick({"", "_x", ".a-b", "NAME"});
            const std::string value = Text(kConfigValue);
            batch << "C " << name << " " << Hex(value) << "\n";
            out("config." + name, Hex(Expected(value, kConfigValue)));
        }

        const std::size_t files = Count();
        out("files", std::to_string(files));
        for (std::size_t i = 0; i < files; ++i) {
            const std::string at = "file." + std::to_string(i) + ".";
            batch << "F";
            for (const Field& field : kFileFields) {
                const std::string text = Text(field);
                batch << " " << Hex(text);
                out(at + field.key, Hex(Expected(text, field)));
            }
            for (const char* number :
                 {"iconIndex", "selfReg", "overwrite", "fileSize", "realTime", "reboot"}) {
                const bool flag = number[0] == 's' || number[0] == 'r';
                const std::int32_t value = flag ? Pick({0, 1, 1, 2, -1}) : Number();
                batch << " " << value;
                out(at + number, std::to_string(flag ? (value != 0 ? 1 : 0) : value));
            }
            batch << "\n";
        }

        const std::size_t registry = Count();
        out("registry", std::to_string(registry));
        for (std::size_t i = 0; i < registry; ++i) {
            const std::string at = "registry." + std::to_string(i) + ".";
            const std::string path = Text(kRegistryPath), key = Text(kRegistryKey),
                              value = Text(kRegistryValue);
            const std::int32_t type = Number(), action = Number();
            batch << "G " << Hex(path) << " " << Hex(key) << " " << type << " " << Hex(value) << " "
                  << action << "\n";
            out(at + "regPath", Hex(Expected(path, kRegistryPath)));
            out(at + "key", Hex(Expected(key, kRegistryKey)));
            out(at + "type", std::to_string(type));
            out(at + "value", Hex(Expected(value, kRegistryValue)));
            out(at + "action", std::to_string(action));
        }

        for (const char* list : {"preKill", "upKill"}) {
            const std::size_t count = Count();
            out(list, std::to_string(count));
            for (std::size_t i = 0; i < count; ++i) {
                const std::string className = Text(kClass), title = Text(kTitle);
                batch << (list[0] == 'p' ? "K " : "U ") << Hex(className) << " " << Hex(title)
                      << "\n";
                out(std::string(list) + "." + std::to_string(i) + ".class",
                    Hex(Expected(className, kClass)));
                out(std::string(list) + "." + std::to_string(i) + ".title",
                    Hex(Expected(title, kTitle)));
            }
        }

        for (int list = 0; list < 4; ++list) {
            const std::size_t count = Count();
            out(kCommandLists[list], std::to_string(count));
            for (std::size_t i = 0; i < count; ++i) {
                const std::string command = Text(kCommand);
                batch << list + 1 << " " << Hex(command) << "\n";
                out(std::string(kCommandLists[list]) + "." + std::to_string(i),
                    Hex(Expected(command, kCommand)));
            }
        }
        batch << "E\n";
    }

  private:
    // Entries in a section: mostly a few, sometimes none, now and then many.
    std::size_t Count() {
        const std::size_t roll = texts_.Pick(20);
        if (roll < 4) return 0;
        if (roll < 18) return 1 + texts_.Pick(4);
        return 5 + texts_.Pick(12);
    }

    std::int32_t Number() {
        switch (texts_.Pick(6)) {
            case 0:
                return 0;
            case 1:
                return INT32_MIN;
            case 2:
                return INT32_MAX;
            default:
                return static_cast<std::int32_t>(random_());
        }
    }

    template <typename T>
    T Pick(std::initializer_list<T> choices) {
        return texts_.Pick(choices);
    }

    // A text for `field`, often at or just past what the setter or the load keeps.
    std::string Text(const Field& field) {
        const std::size_t limit =
            (field.width == kUnbounded ? field.capacity : std::min(field.width, field.capacity)) -
            1;
        std::size_t length;
        switch (texts_.Pick(10)) {
            case 0:
                length = 0;
                break;
            case 1:
                length = limit - std::min<std::size_t>(limit, 1);
                break;
            case 2:
                length = limit;
                break;
            case 3:
                length = limit + 1 + texts_.Pick(3);
                break;
            case 4:
                length = texts_.Pick(2 * limit + 2);
                break;
            default:
                length = 1 + texts_.Pick(std::min<std::size_t>(limit, 40));
        }
        return texts_.Text(length);
    }

    // What the getter gives after a save and a load: cut by the setter, then by the reader.
    std::string Expected(const std::string& text, const Field& field) const {
        std::string kept = field.width == kUnbounded ? text : codePage_.Cut(text, field.width - 1);
        return codePage_.Cut(kept, field.capacity - 1);
    }

    CodePage& codePage_;
    std::mt19937_64 random_;
    TextMaker texts_;
};

// ---------------------------------------------------------------------------------------------
// Comparison

struct Value {
    std::string key;
    std::string value;
};

using Block = std::map<std::string, std::vector<Value>>;  // description -> values, in order

bool ReadLine(std::istream& in, std::vector<std::string>& words) {
    std::string line;
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    words.clear();
    std::istringstream split(line);
    for (std::string word; split >> word;) words.push_back(word);
    return true;
}

// Whether the value of `key` is a text (hexadecimal bytes) rather than a number or a count.
bool IsText(const std::string& key) {
    static const std::set<std::string> numbers = {"iconIndex", "selfReg", "overwrite", "fileSize",
                                                  "realTime",  "reboot",  "type",      "action"};
    const std::size_t dot = key.rfind('.');
    return dot != std::string::npos && numbers.count(key.substr(dot + 1)) == 0;
}

std::string WithoutCarriageReturns(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out.push_back(text[i]);
        } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
            out.push_back('\n');
        }
    }
    return out;
}

std::string WithoutBlanks(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out.push_back(c);
    }
    return out;
}

// What kind of difference `have` is from `want` (both code-page texts), to group the report.
const char* Classify(const std::string& want, const std::string& have) {
    if (WithoutCarriageReturns(want) == have) return "carriage returns read as line feeds";
    if (WithoutBlanks(want) == WithoutBlanks(have)) {
        return WithoutBlanks(WithoutCarriageReturns(want)) == WithoutBlanks(have) &&
                       WithoutCarriageReturns(want) != have && want.find('\r') != std::string::npos
                   ? "blanks lost or moved (with carriage returns)"
                   : "blanks lost or moved";
    }
    if (want.size() == have.size()) {
        bool onlyQuestionMarks = true;
        for (std::size_t i = 0; i < want.size(); ++i) {
            if (want[i] != have[i] && have[i] != '?') onlyQuestionMarks = false;
        }
        if (onlyQuestionMarks) return "characters read as '?'";
    }
    if (have.size() < want.size() && want.compare(0, have.size(), have) == 0)
        return "text cut short";
    return "other";
}

// `text` shown around byte `at`: at most `before` bytes before it and `after` from it.
std::string Around(CodePage& codePage, const std::string& text, std::size_t at) {
    std::size_t from = 0;
    while (from + 24 < at) from += codePage.CharLength(text, from);
    const std::string part = codePage.Cut(text.substr(from), 60);
    return (from > 0 ? "..." : "") + codePage.Show(part) +
           (from + part.size() < text.size() ? "..." : "");
}

int Compare(CodePage& codePage, const std::string& expectedPath, const std::string& actualPath,
            const std::string& loader) {
    std::ifstream expectedFile(expectedPath), actualFile(actualPath);
    if (!expectedFile || !actualFile) {
        std::cerr << "cannot read " << expectedPath << " or " << actualPath << "\n";
        return 2;
    }
    std::vector<std::pair<std::string, std::string>> expected;  // "description key", value
    std::vector<std::string> words;
    while (ReadLine(expectedFile, words)) {
        if (words.size() == 3) expected.emplace_back(words[0] + " " + words[1], words[2]);
    }
    std::map<std::string, std::map<std::string, std::string>> actual;  // saver -> values
    std::vector<std::string> savers;
    while (ReadLine(actualFile, words)) {
        if (words.size() != 4) continue;
        if (!actual.count(words[0])) savers.push_back(words[0]);
        actual[words[0]][words[1] + " " + words[2]] = words[3];
    }
    if (savers.empty()) {
        std::cout << "loaded by " << loader << ": no values printed\n";
        return 1;
    }
    constexpr std::size_t kShown = 3;  // differences shown in full, of each kind and saver
    std::size_t compared = 0, different = 0;
    for (const std::string& saver : savers) {
        const std::string pair = "saved by " + saver + ", loaded by " + loader;
        std::map<std::string, std::string>& got = actual[saver];
        std::map<std::string, std::size_t> classes;  // differences of each kind
        std::size_t found = 0;
        std::set<std::string> notLoaded;  // descriptions whose file did not load
        const auto report = [&](const char* kind, const std::string& where,
                                const std::string& text) {
            ++found;
            if (++classes[kind] <= kShown)
                std::cout << pair << ", description " << where << " (" << kind << ")" << text;
        };
        for (const auto& [where, want] : expected) {
            ++compared;
            const auto at = got.find(where);
            const bool present = at != got.end();
            const std::string have = present ? at->second : "(missing)";
            if (present) got.erase(at);
            if (have == want) continue;
            ++different;
            const std::string description = where.substr(0, where.find(' '));
            const std::string key = where.substr(where.find(' ') + 1);
            if (key == "load") notLoaded.insert(description);
            if (!present && notLoaded.count(description)) {
                ++found;
                ++classes["values of files not loaded"];
                continue;
            }
            if (!IsText(key) || !present) {
                report(key == "load" ? "files not loaded"
                       : present     ? "numbers and counts"
                                     : "values missing",
                       where, ":\n    expected " + want + "\n    got      " + have + "\n");
                continue;
            }
            const std::string w = Unhex(want), h = Unhex(have);
            std::size_t first = 0;
            while (first < w.size() && first < h.size() && w[first] == h[first]) ++first;
            report(Classify(w, h), where,
                   ", first difference at byte " + std::to_string(first) + ":\n    expected (" +
                       std::to_string(w.size()) + " bytes) \"" + Around(codePage, w, first) +
                       "\"\n    got      (" + std::to_string(h.size()) + " bytes) \"" +
                       Around(codePage, h, first) + "\"\n");
        }
        for (const auto& [where, have] : got) {
            ++different;
            report("values not expected", where, ": got " + have + "\n");
        }
        if (found == 0) continue;
        std::cout << pair << ": " << found << " differences";
        for (const auto& [name, count] : classes) std::cout << "; " << count << " " << name;
        std::cout << "\n";
    }
    std::cout << "code page " << codePage.number() << ", loaded by " << loader << ": compared "
              << compared << " values saved by " << savers.size() << " builds, " << different
              << " differences\n";
    return different == 0 ? 0 : 1;
}

int Usage() {
    std::cerr << "usage: korvane_crossbuild generate CODE_PAGE SEED COUNT BATCH EXPECTED\n"
                 "       korvane_crossbuild compare CODE_PAGE EXPECTED ACTUAL LOADER\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) return Usage();
    CodePage codePage(std::stoi(args[1]));
    if (!codePage.valid()) {
        std::cerr << "iconv has no code page " << args[1] << "\n";
        return 2;
    }
    if (args[0] == "generate" && args.size() == 6) {
        const std::uint64_t seed = std::stoull(args[2]);
        const int count = std::stoi(args[3]);
        std::ofstream batch(args[4], std::ios::binary), expected(args[5], std::ios::binary);
        std::cout << "code page " << args[1] << ": " << count << " descriptions, seed " << seed
                  << "\n";
        Generator generator(codePage, seed);
        for (int i = 0; i < count; ++i) generator.Description(i, batch, expected);
        return batch && expected ? 0 : 2;
    }
    if (args[0] == "compare" && args.size() == 5)
        return Compare(codePage, args[2], args[3], args[4]);
    return Usage();
}
