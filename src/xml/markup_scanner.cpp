#include "xml/markup_scanner.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <utility>

#include "platform/code_page.h"
#include "platform/encoding_names.h"
#include "xml/xml_declaration.h"
#include "xml/xml_rules.h"

namespace korvane::xml {
namespace {

// Upper case without '-' and '_', so that "euc-kr", "EUC_KR" and "EUCKR" compare equal.
std::string NormalisedEncoding(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '-' || c == '_') continue;
        out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return out;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool OneOf(const std::string& text, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (text == name) return true;
    }
    return false;
}

// The length in UTF-8 of the character `c`; a lone surrogate of UTF-16 counts 2, so that a
// pair counts 4.
std::size_t Utf8Length(std::uint32_t c) {
    if (c < 0x80) return 1;
    if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return 2;
    return c < 0x10000 ? 3 : 4;
}

bool IsQuote(std::uint32_t c) {
    return c == '"' || c == '\'';
}

// The keywords that may follow "<!" in content and in the internal subset.
constexpr const char* kContentKeywords[] = {"--", "[CDATA[", "DOCTYPE"};
constexpr const char* kSubsetKeywords[] = {"--", "ENTITY", "ATTLIST", "ELEMENT", "NOTATION"};

// A declared XML declaration is at most this long; nothing longer is a setup file's.
constexpr std::size_t kMaxDeclarationLength = 1024;

// Whether the instruction read at the start of a document (its text after "<?") is the XML
// declaration rather than an instruction of another target.
bool IsXmlDeclaration(const std::string& text) {
    return text.size() > 3 && text.compare(0, 3, "xml") == 0 && IsXmlSpace(text[3]);
}

}  // namespace

bool MarkupScanner::Feed(const unsigned char* bytes, std::size_t size) {
    if (verdict_ != Verdict::Accepted) return false;
    if (width_ == Width::Unknown) {
        while (size > 0 && startSize_ < sizeof start_) {
            start_[startSize_++] = *bytes++;
            --size;
        }
        if (startSize_ < sizeof start_) return true;
        if (!DetectWidth(start_, startSize_)) return false;
    }
    if (positions_ != nullptr) return FeedUnits<true>(bytes, size);
    if (width_ == Width::One && pairs_ == Pairs::None) return FeedBytes(bytes, size);
    return FeedUnits<false>(bytes, size);
}

// Code unit by code unit. Recording positions is a separate instance, so that a scan that does
// not record pays nothing for it.
template <bool kRecording>
bool MarkupScanner::FeedUnits(const unsigned char* bytes, std::size_t size) {
    const std::size_t unitSize = width_ == Width::One ? 1 : width_ == Width::Two ? 2 : 4;
    for (std::size_t i = 0; i < size; ++i) {
        pending_ = bigEndian_
                       ? (pending_ << 8) | bytes[i]
                       : pending_ | (static_cast<std::uint32_t>(bytes[i]) << (8 * pendingSize_));
        if (++pendingSize_ < unitSize) continue;
        const std::uint32_t unit = pending_;
        pending_ = 0;
        pendingSize_ = 0;
        if (!Unit<kRecording>(unit)) return false;
    }
    return true;
}

// One byte a character. The states most bytes are read in (text, tags, attribute values) are
// followed here in one loop; a byte that needs more (a NUL, "<!", "<?", an attribute over the
// bound, every other state) goes through Unit and Character.
bool MarkupScanner::FeedBytes(const unsigned char* bytes, std::size_t size) {
    std::size_t i = 0;
    while (i < size) {
        if (pairs_ != Pairs::None) {
            // The declaration just named a double-byte encoding: its trail bytes need Unit.
            for (; i < size; ++i) {
                if (!Unit<false>(bytes[i])) return false;
            }
            return true;
        }
        if (!legacyBytes_.empty() && bytes[i] < 0x80 && !MeasureLegacyBytes()) return false;
        if (charactersSeen_ >= byteOrderMarkLength_ && !inDeclaration_)
            i = FollowTags(bytes, i, size);
        if (i == size) break;
        if (!Unit<false>(bytes[i])) return false;
        ++i;
    }
    return true;
}

namespace {

// The simple states, as FollowTags steps through them: a table of transitions by byte class.
enum FastState : std::uint8_t {
    kContent,
    kAfterLessThan,
    kStartTag,
    kDoubleQuoted,
    kSingleQuoted,
    kEndTag,
    kStop,  // a byte Character must see
};
enum ByteClass : std::uint8_t {
    kPlain,
    kLess,
    kGreater,
    kDoubleQuote,
    kSingleQuote,
    kEquals,
    kLineFeed,
    kSlash,
    kBangOrQuestion,
    kNul,  // and, in a legacy encoding, a byte outside ASCII
    kClasses,
};

constexpr std::array<std::array<std::uint8_t, 256>, 2> MakeByteClasses() {
    std::array<std::array<std::uint8_t, 256>, 2> classes{};
    for (int legacy = 0; legacy < 2; ++legacy) {
        for (int b = 0; b < 256; ++b) classes[legacy][b] = b >= 0x80 && legacy ? kNul : kPlain;
        classes[legacy]['<'] = kLess;
        classes[legacy]['>'] = kGreater;
        classes[legacy]['"'] = kDoubleQuote;
        classes[legacy]['\''] = kSingleQuote;
        classes[legacy]['='] = kEquals;
        classes[legacy]['\n'] = kLineFeed;
        classes[legacy]['/'] = kSlash;
        classes[legacy]['!'] = kBangOrQuestion;
        classes[legacy]['?'] = kBangOrQuestion;
        classes[legacy][0] = kNul;
    }
    return classes;
}
constexpr auto kByteClasses = MakeByteClasses();

constexpr std::array<std::array<std::uint8_t, kClasses>, kStop> MakeTransitions() {
    std::array<std::array<std::uint8_t, kClasses>, kStop> next{};
    for (int c = 0; c < kClasses; ++c) {
        next[kContent][c] = c == kLess ? kAfterLessThan : kContent;
        // After '<': an end tag, "<!" or "<?" (which Character follows), or a start tag.
        next[kAfterLessThan][c] = c == kSlash ? kEndTag : c == kBangOrQuestion ? kStop : kStartTag;
        next[kStartTag][c] = c == kGreater       ? kContent
                             : c == kDoubleQuote ? kDoubleQuoted
                             : c == kSingleQuote ? kSingleQuoted
                                                 : kStartTag;
        next[kDoubleQuoted][c] = c == kDoubleQuote ? kStartTag : kDoubleQuoted;
        next[kSingleQuoted][c] = c == kSingleQuote ? kStartTag : kSingleQuoted;
        next[kEndTag][c] = c == kGreater ? kContent : kEndTag;
    }
    for (auto& state : next) state[kNul] = kStop;
    return next;
}
constexpr auto kTransitions = MakeTransitions();

// States whose bytes make up a run that the bound applies to.
constexpr bool IsRun(std::uint8_t state) {
    return state == kContent || state == kDoubleQuoted || state == kSingleQuoted;
}

}  // namespace

// Follows bytes[from, size) while they stay in the simple states (text, tags, attribute values)
// through a table of transitions; returns where it stopped. Keeps the position (line, column,
// characters seen, previous character), the length of the run and the count of attributes as
// Character does; a byte that would take the run or the attributes over their bound, a NUL, a
// byte outside ASCII of a legacy encoding, "<!" and "<?" are left to Character.
std::size_t MarkupScanner::FollowTags(const unsigned char* bytes, std::size_t from,
                                      std::size_t size) {
    std::uint8_t state;
    switch (state_) {
        case State::Content:
            state = kContent;
            break;
        case State::AfterLessThan:
            state = kAfterLessThan;
            break;
        case State::StartTag:
            state = kStartTag;
            break;
        case State::AttributeValue:
            state = quote_ == '"' ? kDoubleQuoted : kSingleQuoted;
            break;
        case State::EndTag:
            state = kEndTag;
            break;
        default:
            return from;
    }
    const auto& classes = kByteClasses[legacyCharset_.empty() ? 0 : 1];
    long lineEnds = 0;
    std::size_t afterLastLineEnd = 0;
    std::size_t i = from;
    for (; i < size; ++i) {
        const std::uint8_t byteClass = classes[bytes[i]];
        if (byteClass == kPlain && state != kAfterLessThan) {
            // Names, values and blanks, most of a file, in one go.
            std::size_t end = size;
            if (IsRun(state)) {
                end = i + std::min(size - i, runBytes_ < kMaxRunBytes ? kMaxRunBytes - runBytes_
                                                                      : std::size_t{0});
                if (end == i) break;
            }
            std::size_t plain = i + 1;
            while (plain < end && classes[bytes[plain]] == kPlain) ++plain;
            if (IsRun(state)) runBytes_ += plain - i;
            i = plain - 1;
            continue;
        }
        const std::uint8_t next = kTransitions[state][byteClass];
        if (next == kStop) break;
        if (next == state) {
            if (IsRun(state)) {
                if (runBytes_ >= kMaxRunBytes) break;
                ++runBytes_;
            } else if (byteClass == kEquals && state == kStartTag) {
                if (attributes_ >= kMaxAttributes) break;
                ++attributes_;
            }
        } else {
            runBytes_ = 0;
            if (state == kAfterLessThan) attributes_ = 0;
        }
        if (byteClass == kLineFeed) {
            ++lineEnds;
            afterLastLineEnd = i + 1;
        }
        state = next;
    }
    switch (state) {
        case kContent:
            state_ = State::Content;
            break;
        case kAfterLessThan:
            state_ = State::AfterLessThan;
            break;
        case kStartTag:
            state_ = State::StartTag;
            break;
        case kDoubleQuoted:
        case kSingleQuoted:
            state_ = State::AttributeValue;
            quote_ = state == kDoubleQuoted ? '"' : '\'';
            break;
        default:
            state_ = State::EndTag;
            break;
    }
    const std::size_t followed = i - from;
    if (followed == 0) return i;
    line_ += lineEnds;
    column_ = lineEnds > 0 ? static_cast<long>(i - afterLastLineEnd)
                           : column_ + static_cast<long>(followed);
    charactersSeen_ += followed;
    previous_ = bytes[i - 1];
    return i;
}

bool MarkupScanner::Finish() {
    if (verdict_ == Verdict::Accepted && width_ == Width::Unknown) DetectWidth(start_, startSize_);
    if (verdict_ == Verdict::Accepted) MeasureLegacyBytes();
    return verdict_ == Verdict::Accepted;
}

// Tells the code unit width and byte order from the first bytes, as XML's appendix F (and
// libxml2) does; then scans those first bytes.
bool MarkupScanner::DetectWidth(const unsigned char* bytes, std::size_t size) {
    const auto is = [&](std::initializer_list<unsigned char> pattern) {
        if (size < pattern.size()) return false;
        std::size_t i = 0;
        for (unsigned char b : pattern) {
            if (bytes[i++] != b) return false;
        }
        return true;
    };
    width_ = Width::One;
    if (is({0x00, 0x00, 0x00, 0x3C})) {
        width_ = Width::Four;
        bigEndian_ = true;
    } else if (is({0x3C, 0x00, 0x00, 0x00})) {
        width_ = Width::Four;
    } else if (is({0x00, 0x3C, 0x00, 0x3F}) || is({0xFE, 0xFF})) {
        width_ = Width::Two;
        bigEndian_ = true;
        byteOrderMarkLength_ = bytes[0] == 0xFE ? 1 : 0;
    } else if (is({0x3C, 0x00, 0x3F, 0x00}) || is({0xFF, 0xFE})) {
        width_ = Width::Two;
        byteOrderMarkLength_ = bytes[0] == 0xFF ? 1 : 0;
    } else if (is({0x00, 0x00, 0x3C, 0x00}) || is({0x00, 0x3C, 0x00, 0x00}) ||
               is({0x4C, 0x6F, 0xA7, 0x94})) {
        // UCS-4 in unusual byte orders, and EBCDIC: nothing a setup file is written in.
        return Refuse(Verdict::UncheckableEncoding);
    } else if (is({0xEF, 0xBB, 0xBF})) {
        byteOrderMarkLength_ = 3;
    }
    return Feed(bytes, size);
}

template <bool kRecording>
bool MarkupScanner::Unit(std::uint32_t unit) {
    if (unit == 0) return Refuse(Verdict::NulCharacter);
    if (width_ != Width::One) return Character<kRecording>(unit, Utf8Length(unit));
    bool trail = false;
    if (pairs_ != Pairs::None) {
        // The second byte of a double-byte character is never markup.
        trail = trailNext_;
        trailNext_ = !trail && (pairs_ == Pairs::ShiftJis ? (unit >= 0x81 && unit <= 0x9F) ||
                                                                (unit >= 0xE0 && unit <= 0xFC)
                                                          : unit >= 0x81 && unit <= 0xFE);
    }
    const std::uint32_t c = trail ? 0x80 : unit;
    if (legacyCharset_.empty()) return Character<kRecording>(c, 1);
    if (c < 0x80) return MeasureLegacyBytes() && Character<kRecording>(c, 1);
    // A byte of a character outside ASCII: measured with the rest of its run's such bytes. Each
    // character is at least half as long in UTF-8 as in its encoding, so a run already known to
    // be too long is refused without converting it.
    if (!Character<kRecording>(c, 0)) return false;
    if (!Counted(state_)) return true;
    legacyBytes_.push_back(static_cast<char>(unit));
    if (runBytes_ + legacyBytes_.size() / 2 > kMaxRunBytes + 2) return Refuse(Verdict::RunTooLong);
    return true;
}

// Converts the bytes outside ASCII of the run being read to UTF-8 and counts their length.
bool MarkupScanner::MeasureLegacyBytes() {
    if (legacyBytes_.empty()) return true;
    runBytes_ += platform::Utf8LengthOf(legacyCharset_.c_str(), legacyBytes_);
    legacyBytes_.clear();
    return WithinRunBound() || Refuse(Verdict::RunTooLong);
}

// The states whose characters make up a run that the bound applies to.
bool MarkupScanner::Counted(State state) const {
    return state == State::Content || state == State::AttributeValue || state == State::Comment ||
           state == State::CData || state == State::Instruction;
}

// Whether the run read so far is within the bound. A comment's and a CDATA section's run
// includes the "--" or "]]" that ends it, and an instruction's the '?', so those are allowed.
bool MarkupScanner::WithinRunBound() const {
    const std::size_t closing = state_ == State::Comment || state_ == State::CData ? 2
                                : state_ == State::Instruction                     ? 1
                                                                                   : 0;
    return runBytes_ <= kMaxRunBytes + closing;
}

template <bool kRecording>
bool MarkupScanner::Character(std::uint32_t c, std::size_t utf8Length) {
    if (c == '\n') {
        ++line_;
        column_ = 0;
    } else {
        ++column_;
    }
    const std::size_t index = charactersSeen_++;
    if (index < byteOrderMarkLength_) return true;
    const std::uint32_t previous = previous_;
    previous_ = c;
    const State before = state_;
    switch (state_) {
        case State::Content:
            if (c == '<') state_ = State::AfterLessThan;
            break;
        case State::AfterLessThan:
            if (c == '/') {
                state_ = State::EndTag;
            } else if (c == '!') {
                state_ = State::Bang;
                returnState_ = State::Content;
                word_.clear();
            } else if (c == '?') {
                state_ = State::Instruction;
                returnState_ = State::Content;
                inDeclaration_ = index == byteOrderMarkLength_ + 1;
                previous_ = 0;
            } else {
                state_ = State::StartTag;
                attributes_ = 0;
            }
            break;
        case State::StartTag:
            if (IsQuote(c)) {
                quote_ = c;
                state_ = State::AttributeValue;
            } else if (c == '=' && ++attributes_ > kMaxAttributes) {
                return Refuse(Verdict::TooManyAttributes);
            } else if (c == '>') {
                state_ = State::Content;
            }
            break;
        case State::AttributeValue:
            if (c == quote_) state_ = State::StartTag;
            break;
        case State::EndTag:
            if (c == '>') state_ = State::Content;
            break;
        case State::Bang:
            OnBang(c);
            break;
        case State::Comment:
            if (c == '>' && run_ >= 2) state_ = returnState_;
            run_ = c == '-' ? run_ + 1 : 0;
            break;
        case State::CData:
            if (c == '>' && run_ >= 2) {
                state_ = State::Content;
                // The run holds the closing "]]" as well.
                cdataBytes_ = runBytes_ - 2;
                cdataEnd_ = charactersSeen_;
            }
            run_ = c == ']' ? run_ + 1 : 0;
            break;
        case State::Instruction:
            if (inDeclaration_) {
                if (declarationText_.size() >= kMaxDeclarationLength)
                    return Refuse(Verdict::UncheckableEncoding);
                declarationText_.push_back(c < 0x80 ? static_cast<char>(c) : '?');
            }
            if (c == '>' && previous == '?') {
                state_ = returnState_;
                if (inDeclaration_) {
                    inDeclaration_ = false;
                    readDeclaration_ = IsXmlDeclaration(declarationText_);
                    if (!ClassifyDeclaredEncoding()) return false;
                }
            }
            break;
        case State::Doctype:
            if (IsQuote(c)) {
                quote_ = c;
                state_ = State::DoctypeLiteral;
            } else if (c == '[') {
                state_ = State::Subset;
            } else if (c == '>') {
                state_ = State::Content;
            }
            break;
        case State::DoctypeLiteral:
            if (c == quote_) state_ = State::Doctype;
            break;
        case State::Subset:
            if (c == '<') {
                state_ = State::SubsetAfterLessThan;
            } else if (c == ']') {
                state_ = State::Doctype;
            }
            break;
        case State::SubsetAfterLessThan:
            returnState_ = State::Subset;
            if (c == '!') {
                state_ = State::Bang;
                word_.clear();
            } else if (c == '?') {
                state_ = State::Instruction;
                previous_ = 0;
            } else {
                state_ = State::Subset;
            }
            break;
        case State::Declaration:
            if (c == '%' && declaration_ == DeclarationKind::Entity) {
                parameterEntity_ = true;
            } else if (IsQuote(c)) {
                quote_ = c;
                literalAttributes_ = 0;
                state_ = State::DeclarationLiteral;
                // Every quoted literal of an attribute-list declaration is a default value,
                // added to each start tag of its element.
                if (declaration_ == DeclarationKind::AttributeList && ++defaults_ > kMaxAttributes)
                    return Refuse(Verdict::TooManyDefaults);
            } else if (c == '>') {
                state_ = State::Subset;
            }
            break;
        case State::DeclarationLiteral:
            if (c == quote_) {
                state_ = State::Declaration;
            } else if (parameterEntity_ && (IsQuote(c) || (c == '#' && previous == '&'))) {
                // A parameter entity can hold attribute-list declarations; count each quote
                // in it as a default value they could declare.
                if (++defaults_ > kMaxAttributes) return Refuse(Verdict::TooManyDefaults);
            } else if (declaration_ == DeclarationKind::Entity &&
                       (c == '=' || (c == '#' && previous == '&'))) {
                // An entity's text is parsed as markup where it is referenced; each attribute
                // in it needs an '=', written as it is or as a character reference.
                if (++literalAttributes_ > kMaxAttributes)
                    return Refuse(Verdict::TooManyAttributes);
            }
            break;
    }
    if (state_ != before) {
        runBytes_ = state_ == State::CData ? joinedBytes_ : 0;
        if constexpr (kRecording) RecordPosition(before, previous);
    } else if (Counted(state_)) {
        runBytes_ += utf8Length;
        if (!WithinRunBound()) return Refuse(Verdict::RunTooLong);
    }
    return true;
}

// Notes where markup opens, and records a piece of the content's markup that has just closed
// (it returns to content) with where it opened. Markup closing into the internal subset, and
// the XML declaration, make no nodes.
void MarkupScanner::RecordPosition(State before, std::uint32_t previous) {
    using Kind = MarkupPosition::Kind;
    if (state_ == State::AfterLessThan) {
        markupOpens_ = line_;
        return;
    }
    if (state_ != State::Content) return;
    Kind kind;
    switch (before) {
        case State::StartTag:
            kind = previous == '/' ? Kind::EmptyElementTag : Kind::StartTag;
            break;
        case State::EndTag:
            kind = Kind::EndTag;
            break;
        case State::Comment:
            kind = Kind::Comment;
            break;
        case State::CData:
            kind = Kind::CData;
            break;
        case State::Instruction:
            if (std::exchange(readDeclaration_, false)) return;
            kind = Kind::Instruction;
            break;
        default:
            return;  // the document type declaration, or "<!" that is no markup
    }
    positions_->push_back({kind, markupOpens_, line_});
}

// Recognises the keyword after "<!": a comment, a CDATA section, the DOCTYPE, or a
// declaration of the internal subset.
void MarkupScanner::OnBang(std::uint32_t c) {
    const bool inSubset = returnState_ == State::Subset;
    word_.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    bool prefixOfAny = false;
    const auto match = [&](const char* keyword) {
        if (word_ == keyword) return true;
        if (std::string(keyword).rfind(word_, 0) == 0) prefixOfAny = true;
        return false;
    };
    if (inSubset) {
        for (const char* keyword : kSubsetKeywords) {
            if (!match(keyword)) continue;
            if (word_ == "--") {
                state_ = State::Comment;
                run_ = 0;
            } else {
                state_ = State::Declaration;
                parameterEntity_ = false;
                declaration_ = word_ == "ENTITY"    ? DeclarationKind::Entity
                               : word_ == "ATTLIST" ? DeclarationKind::AttributeList
                                                    : DeclarationKind::Other;
            }
            return;
        }
        if (!prefixOfAny) {
            state_ = State::Declaration;
            parameterEntity_ = false;
            declaration_ = DeclarationKind::Other;
        }
        return;
    }
    for (const char* keyword : kContentKeywords) {
        if (!match(keyword)) continue;
        run_ = 0;
        // A parser joins CDATA sections that follow one another into one text: its run goes on.
        const bool joined = word_ == "[CDATA[" && charactersSeen_ == cdataEnd_ + 9;
        joinedBytes_ = joined ? cdataBytes_ : 0;
        state_ = word_ == "--"        ? State::Comment
                 : word_ == "DOCTYPE" ? State::Doctype
                                      : State::CData;
        return;
    }
    // Not markup the parser accepts; it stops there.
    if (!prefixOfAny) state_ = State::Content;
}

// Decides from the declared encoding whether the bytes can be followed as they are. Single-
// byte and EUC encodings never use ASCII bytes inside a character; the double-byte encodings
// below do, but only as trail bytes, which the scan then skips. Anything else (a stateful or
// EBCDIC-based encoding, an encoding that does not match the file's code units) is refused.
bool MarkupScanner::ClassifyDeclaredEncoding() {
    const std::string declared = IsXmlDeclaration(declarationText_)
                                     ? PseudoAttributeValue(declarationText_, "encoding")
                                     : std::string();
    const std::string encoding = NormalisedEncoding(declared);
    declarationText_.clear();
    declarationText_.shrink_to_fit();
    if (encoding.empty() || knownUtf8_) return true;
    // A name of the table of encoding names reads as the table says (euc-kr as code page 949),
    // and its characters outside ASCII are measured through the same converter.
    if (const platform::EncodingName* known = platform::FindEncodingName(encoding)) {
        const bool utf16 = known->layout == platform::ByteLayout::Utf16Le ||
                           known->layout == platform::ByteLayout::Utf16Be;
        if (width_ != (utf16 ? Width::Two : Width::One))
            return Refuse(Verdict::UncheckableEncoding);
        if (known->layout == platform::ByteLayout::ShiftJis) pairs_ = Pairs::ShiftJis;
        if (known->layout == platform::ByteLayout::LeadPairs) pairs_ = Pairs::Wide;
        if (known->layout != platform::ByteLayout::Utf8 && !utf16)
            legacyCharset_ = known->converter;
        return true;
    }
    // Other names, which iconv reads by their own names.
    if (width_ == Width::Two) return Refuse(Verdict::UncheckableEncoding);
    if (width_ == Width::Four) {
        return OneOf(encoding,
                     {"UCS4", "UCS4LE", "UCS4BE", "UTF32", "UTF32LE", "UTF32BE", "ISO10646UCS4"}) ||
               Refuse(Verdict::UncheckableEncoding);
    }
    // Its characters outside ASCII are measured through a converter.
    legacyCharset_ = declared;
    if (StartsWith(encoding, "ISO8859") || StartsWith(encoding, "LATIN") ||
        StartsWith(encoding, "WINDOWS125") || StartsWith(encoding, "CP125") ||
        StartsWith(encoding, "KOI8") || StartsWith(encoding, "EUC")) {
        return true;
    }
    if (OneOf(encoding, {"GB18030", "BIG5HKSCS"})) {
        pairs_ = Pairs::Wide;
        return true;
    }
    return Refuse(Verdict::UncheckableEncoding);
}

bool MarkupScanner::Refuse(Verdict verdict) {
    verdict_ = verdict;
    return false;
}

std::string MarkupScanner::Description() const {
    switch (verdict_) {
        case Verdict::TooManyAttributes:
            return "more than " + std::to_string(kMaxAttributes) + " attributes in one start tag";
        case Verdict::TooManyDefaults:
            return "more than " + std::to_string(kMaxAttributes) + " declared attribute defaults";
        case Verdict::NulCharacter:
            return "a NUL character, which XML does not allow";
        case Verdict::UncheckableEncoding:
            return "an encoding whose markup cannot be checked";
        case Verdict::RunTooLong:
            return "a text, CDATA section, comment, processing instruction or attribute value "
                   "longer than " +
                   std::to_string(kMaxRunBytes) + " bytes";
        case Verdict::Accepted:
            break;
    }
    return std::string();
}

}  // namespace korvane::xml
