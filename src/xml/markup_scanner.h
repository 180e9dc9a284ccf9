// A linear look at a document's bytes as they stream to the parser.
//
// libxml2 checks the attributes of a start tag for duplicates in quadratic time, and does so
// before any callback could stop it; it also adds declared attribute defaults to every start
// tag in quadratic time. The scanner follows the markup (start tags, quoted values, comments,
// CDATA sections, processing instructions, the DOCTYPE and its declarations) well enough to
// count what the parser would, and refuses a document before the parser gets the bytes that
// would make it slow. It also refuses the NUL character, which XML never allows but which
// libxml2 can take for the end of the input, and a run of text, CDATA, comment, processing
// instruction or attribute value longer than the library reads: one bound for every build,
// measured as the run's length in UTF-8 whatever the document's encoding.
//
// Asked to, it also records where the markup of the document's content stands (MarkupPosition),
// for a backend whose parser does not say on which line it made each node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane::xml {

// A piece of markup of the document's content, outside the document type declaration: one of
// the tags, comments, processing instructions (the XML declaration is none) and CDATA sections
// that become the document's nodes, in the order they stand in the document.
struct MarkupPosition {
    enum class Kind : unsigned char {
        StartTag,
        EmptyElementTag,  // <a/>
        EndTag,
        Comment,
        Instruction,
        CData,
    };
    Kind kind;
    long opens;  // the line (1-based) of its '<'
    long line;   // the line of its closing '>': where libxml2 has read all of it and makes its
                 // node, and so the line libxml2 gives that node (but for a CDATA section's)
};

class MarkupScanner {
  public:
    // The most attributes (namespace declarations included) one start tag may carry, and the
    // most attribute defaults a document type may declare.
    static constexpr int kMaxAttributes = 256;
    // The longest run of text, CDATA, comment, instruction or attribute value, in bytes of
    // UTF-8, as it stands in the file (a character reference counts as the characters it is
    // written with). Below libxml2's own limit of 10,000,000.
    static constexpr std::size_t kMaxRunBytes = 8000000;

    enum class Verdict {
        Accepted,
        TooManyAttributes,    // a start tag, or an entity value, with too many attributes
        TooManyDefaults,      // the document type declares too many attribute defaults
        NulCharacter,         // a NUL character anywhere
        UncheckableEncoding,  // an encoding whose markup cannot be followed by its bytes
        RunTooLong,           // a text, CDATA, comment, instruction or attribute value
    };

    // `knownUtf8`: the bytes' encoding is decided already (UTF-8 text, a byte-order mark),
    // whatever encoding the XML declaration names.
    explicit MarkupScanner(bool knownUtf8 = false) : knownUtf8_(knownUtf8) {}

    // Appends, from the next bytes on, the position of each piece of markup to `positions`.
    // Costs nothing unless asked for; when asked, the bytes of a single-byte document no longer
    // go through the quick loop that follows most of them, which keeps no line of each piece.
    void RecordPositions(std::vector<MarkupPosition>& positions) { positions_ = &positions; }

    // Scans the next bytes of the document; false once the document is refused.
    bool Feed(const unsigned char* bytes, std::size_t size);
    // At the end of the input; false when the document is refused.
    bool Finish();

    Verdict verdict() const { return verdict_; }
    // Where the refusal was found (1-based).
    long line() const { return line_; }
    long column() const { return column_; }
    // What was refused, in words.
    std::string Description() const;

  private:
    enum class Width { Unknown, One, Two, Four };
    enum class State {
        Content,
        AfterLessThan,
        StartTag,
        AttributeValue,
        EndTag,
        Bang,
        Comment,
        CData,
        Instruction,
        Doctype,
        DoctypeLiteral,
        Subset,
        SubsetAfterLessThan,
        Declaration,
        DeclarationLiteral,
    };
    enum class DeclarationKind { Entity, AttributeList, Other };

    bool DetectWidth(const unsigned char* bytes, std::size_t size);
    bool FeedBytes(const unsigned char* bytes, std::size_t size);
    std::size_t FollowTags(const unsigned char* bytes, std::size_t from, std::size_t size);
    template <bool kRecording>
    bool FeedUnits(const unsigned char* bytes, std::size_t size);
    template <bool kRecording>
    bool Unit(std::uint32_t unit);
    template <bool kRecording>
    bool Character(std::uint32_t c, std::size_t utf8Length);
    bool Counted(State state) const;
    bool WithinRunBound() const;
    bool MeasureLegacyBytes();
    void OnBang(std::uint32_t c);
    bool ClassifyDeclaredEncoding();
    bool Refuse(Verdict verdict);
    void RecordPosition(State before, std::uint32_t previous);

    bool knownUtf8_;
    Verdict verdict_ = Verdict::Accepted;
    Width width_ = Width::Unknown;
    bool bigEndian_ = false;
    unsigned char start_[4] = {};
    std::size_t startSize_ = 0;
    std::uint32_t pending_ = 0;  // bytes of a code unit that is not complete yet
    std::size_t pendingSize_ = 0;
    std::size_t charactersSeen_ = 0;
    std::size_t byteOrderMarkLength_ = 0;  // in characters

    // Legacy double-byte encodings whose trail bytes can look like ASCII markup.
    enum class Pairs { None, ShiftJis, Wide } pairs_ = Pairs::None;
    bool trailNext_ = false;

    // The UTF-8 length of the run being read, and, for a legacy encoding (`legacyCharset_`),
    // its bytes outside ASCII not measured yet: they are converted in one go when the run
    // reaches an ASCII character or its end.
    std::size_t runBytes_ = 0;
    std::string legacyCharset_;
    std::string legacyBytes_;

    // The length of the last CDATA section, and where the character after it is: a section that
    // starts right there continues its run (`joinedBytes_`).
    std::size_t cdataBytes_ = 0;
    std::size_t cdataEnd_ = static_cast<std::size_t>(-1) - 16;
    std::size_t joinedBytes_ = 0;

    State state_ = State::Content;
    State returnState_ = State::Content;  // where a comment or instruction goes back to
    DeclarationKind declaration_ = DeclarationKind::Other;
    bool parameterEntity_ = false;
    std::uint32_t quote_ = 0;
    std::string word_;  // what follows "<!", while it is being recognised
    int run_ = 0;       // '-' before a possible comment end, ']' before a CDATA end
    std::uint32_t previous_ = 0;
    int attributes_ = 0;
    int literalAttributes_ = 0;
    int defaults_ = 0;

    // The XML declaration, collected while it is being read.
    bool inDeclaration_ = false;
    std::string declarationText_;

    long line_ = 1;
    long column_ = 0;

    std::vector<MarkupPosition>* positions_ = nullptr;
    long markupOpens_ = 0;           // the line of the last '<' in content
    bool readDeclaration_ = false;  // the instruction just read is the XML declaration
};

}  // namespace korvane::xml
