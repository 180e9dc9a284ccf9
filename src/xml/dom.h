// The small XML DOM that the library relies on, over the platform's XML implementation.
//
// Texts and names cross this interface as UTF-8. Every operation reports failure as a result
// (false, an empty node), never as an exception. A document owns all of its nodes; a Node is a
// plain handle that stays valid as long as its document does, and every operation on nodes is
// one of the document, so that a backend can account for what it hands out. A document never
// opens a file: it parses bytes or text and serialises to text (see xml_encoding.h for the
// bytes of a file).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace korvane::xml {

class Document;

// What a node is, as far as the library tells nodes apart.
enum class NodeKind {
    Element,
    Text,
    CData,
    Comment,
    ProcessingInstruction,
    EntityReference,  // a reference to an entity the document type declares (libxml2 only)
    Other,            // the document node, a document type, or no node
};

// Whether a node of `kind` has a value of its own (Document::Value).
constexpr bool HoldsValue(NodeKind kind) {
    return kind == NodeKind::Text || kind == NodeKind::CData || kind == NodeKind::Comment ||
           kind == NodeKind::ProcessingInstruction;
}

// A node of a document, or no node at all (false in a condition).
class Node {
  public:
    Node() = default;
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    friend class Document;
    explicit Node(void* handle) : handle_(handle) {}
    void* handle_ = nullptr;
};

// Why a parse failed.
struct ParseError {
    enum class Kind {
        None,
        NotWellFormed,  // the parser stopped: `code` is its error code
        Refused,        // a bound was exceeded, or a NUL character or an encoding that cannot be
                        // followed was found, before the parser could be slowed down by it
    };
    Kind kind = Kind::None;
    int code = 0;
    int line = 0;  // where the parser stopped or the refusal was found, 1-based
    int column = 0;
    std::string text;  // the parser's description, or what was refused
};

// A document written out as UTF-8 text, with the encoding its file is to be written in.
struct SerializedDocument {
    std::string text;      // UTF-8; the XML declaration, if any, names some encoding
    std::string encoding;  // the declared or stylesheet-given encoding; "UTF-8" without one
};

// How this build's XSLT engine lays out, through Document::Serialize, the result of an identity
// transform whose output element says indent="yes", for a document of elements that hold
// either elements or one text: every element on a line of its own, indented by its depth, an
// element without children as <name/>. The engines differ in the rest.
struct IndentedLayout {
    std::string_view indent;  // one level of indentation
    // An element holding one empty text: <name></name> (the text survives the transform) or
    // <name/> (it does not).
    bool emptyTextAsPair;
};
IndentedLayout EngineIndentedLayout();

class Document {
  public:
    // A new, empty document; null when it cannot be created.
    static std::unique_ptr<Document> Create();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Replaces the contents with the document in `bytes`, a file's bytes in whatever encoding
    // its declaration or byte-order mark names. The document is parsed without touching the
    // network, without loading external entities or DTDs and with bounded entity expansion;
    // layout (white-space-only text whose parent holds an element: IsLayoutText) is left out,
    // every other text is kept as parsed. Documents built to make the parser slow are
    // refused: a start tag with more than 256 attributes, more than 256 declared attribute
    // defaults, more than 10,000 distinct element names (or a name dictionary four times that
    // size); so are a NUL character anywhere, a run of text, CDATA, comment, processing
    // instruction or attribute value longer than 8,000,000 bytes as UTF-8, and an encoding whose
    // markup cannot be followed byte by byte. On Windows, whose XML component expands entities
    // without a bound the library can set, a document with a document type declaration is refused
    // as well; the libxml2 backend loads it with expansion bounded. On failure the document is
    // empty and `error` says why.
    bool ParseBytes(std::string_view bytes, ParseError& error);

    // The same for a document already decoded into UTF-8 `text`: an encoding that its
    // declaration names is ignored.
    bool ParseText(std::string_view text, ParseError& error);

    // The document as UTF-8 text, laid out as after a transform the stylesheet's output element
    // says, and the encoding its file is to be written in: the one the "xml" processing
    // instruction or the stylesheet named. Characters are written as they are, never as
    // character references (EncodeXmlText makes those where the encoding needs them), except
    // for the escapes that let a parser read a text back exactly, the same on every backend
    // (see XmlWriter): & < > in text, also " and line ends and tabs in attribute values, and
    // every CR inside a text as &#13;, since a parser reads a raw CR as a line feed.
    bool Serialize(SerializedDocument& out) const;

    // Appends a processing instruction to the document node. The target "xml" is the XML
    // declaration: its version and encoding become the document's own.
    bool AppendProcessingInstruction(std::string_view target, std::string_view data);

    // A new element, not yet linked anywhere; no node when `name` cannot be an element name
    // or cannot be written in the document's encoding.
    Node CreateElement(std::string_view name);
    // A new text node, not yet linked anywhere; no node when `text` is not well-formed UTF-8
    // or holds a character that XML cannot carry (control characters other than tab, line
    // feed and carriage return, U+FFFE, U+FFFF).
    Node CreateTextNode(std::string_view text);
    // Appends `child` (a node of this document, not yet linked) to `parent`, or to the document
    // node itself when `parent` is no node.
    bool AppendChild(Node parent, Node child);

    // Navigation, layout left out. A node handed out belongs to this document and is used
    // only with it.
    Node DocumentElement() const;
    Node FirstChild(Node node) const;
    Node NextSibling(Node node) const;
    bool IsElement(Node node) const;
    NodeKind KindOf(Node node) const;
    // An element's tag name; "#text", "#comment", "#cdata-section" for those nodes, a
    // processing instruction's target.
    std::string NodeName(Node node) const;
    // The line of the file (1-based) that libxml2 gives `node`: where its parser has read the
    // node's markup. An element's is the line its start tag ends on (the '>' of `<a ...>` or
    // `<a/>`); a comment's or a processing instruction's the line it ends on; a text's the line
    // the markup after it starts on (libxml2's line for a text of one line, and for one of ASCII
    // with LF line ends; a text over lines with CR LF, other characters or references gets an
    // earlier line from libxml2); a CDATA section, which libxml2 gives no line of its own, has
    // the line of the node before it unless that is a CDATA section too, or else its parent's.
    // Lines end at each LF (a CR alone ends none). Past line 65,535 libxml2 keeps only texts'
    // lines, and answers for other nodes there with the line of a text near them, or 65,535;
    // the Windows backend keeps to the rule. 0 for a node that was not parsed. On Windows,
    // whose XML component does not say where it parsed a node, the lines come from the scan of
    // the markup (MarkupPosition), paired with the tree on the first call: 0 for every node
    // when the tree was changed before that call, and for a node first reached after a change.
    long LineOf(Node node) const;
    // The content of a text, CDATA section or comment, or a processing instruction's data, into
    // `out`; empty for other nodes. False when the backend cannot read it.
    bool Value(Node node, std::string& out) const;
    // True when NodeName(node) is exactly `name`.
    bool HasName(Node node, std::string_view name) const;

    // All text beneath `node` but layout, entity references expanded, at most `maxBytes`, cut
    // at a whole UTF-8 character. False when the walk through the subtree exceeds the
    // document's budget (a document built to expand without end).
    bool Text(Node node, std::size_t maxBytes, std::string& out);

    // Transforms this document with the XSLT stylesheet `stylesheet` into `result`, which then
    // remembers the stylesheet's output settings for its Serialize. The stylesheet may import and
    // include others, but while it transforms it may neither read other files (document()),
    // write files nor reach the network; where the XSLT processor cannot be held to that, the
    // stylesheet's markup is checked first (stylesheet_confinement.h), imported and included
    // ones with it. Fails unless the output is an XML document that loads
    // back: output method XML (also when an imported stylesheet sets it) and exactly one root
    // element.
    bool TransformInto(const Document& stylesheet, Document& result) const;

  private:
    struct State;
    bool Parse(std::string_view input, bool utf8Text, ParseError& error);
    explicit Document(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace korvane::xml
