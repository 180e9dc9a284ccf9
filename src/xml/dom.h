// The small XML DOM that the library relies on, over the platform's XML implementation.
//
// Texts and names cross this interface as UTF-8. Every operation reports failure as a result
// (false, an empty node), never as an exception. A document owns all of its nodes; a Node is a
// plain handle that stays valid as long as its document does.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace korvane::xml {

class Document;

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

// Why a load failed.
struct LoadError {
    enum class Kind { None, Unreadable, NotWellFormed };
    Kind kind = Kind::None;
    int code = 0;  // the system's error number (Unreadable) or the parser's error code
    int line = 0;  // where the parser stopped (NotWellFormed), 1-based
    int column = 0;
    std::string text;  // the parser's or the system's description
};

class Document {
  public:
    // A new, empty document; null when it cannot be created.
    static std::unique_ptr<Document> Create();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Replaces the contents with the file at `path`. The file is parsed without touching the
    // network, without loading external entities or DTDs and with bounded entity expansion;
    // white-space-only text between elements is dropped, the white-space-only content of an
    // element that holds nothing else is kept. Files built to make the parser slow are
    // refused: a start tag with more than 256 attributes, more than 256 declared attribute
    // defaults, more than 10,000 distinct element names (or a name dictionary four times that
    // size); so are a NUL character anywhere and an encoding whose markup cannot be followed
    // byte by byte. On failure the document is empty and `error` says why.
    bool Load(const std::string& path, LoadError& error);

    // Writes the document to the file `path` names (a plain file name, never read as a URI):
    // in the encoding that the "xml" processing instruction named (UTF-8 without one), or after
    // a transform as the stylesheet's output element says. Characters that the encoding lacks
    // are written as character references. The file is replaced only once the new contents are
    // complete and durable, and keeps its identity (see platform::ReplacementFile): a link is
    // followed, owner, group, mode and hard links are kept; a target that is not a regular
    // file, or a loop of links, is refused. On failure the file is as it was.
    bool Save(const std::string& path);

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

    Node DocumentElement() const;
    static Node FirstChild(Node node);
    static Node NextSibling(Node node);
    static bool IsElement(Node node);
    // An element's tag name; "#text", "#comment", "#cdata-section" for those nodes, a
    // processing instruction's target.
    static std::string NodeName(Node node);
    // The line of the file on which `node` starts (1-based), or 0 when it was not loaded.
    static long LineOf(Node node);
    // True when NodeName(node) is exactly `name`.
    static bool HasName(Node node, std::string_view name);

    // All text beneath `node`, entity references expanded, but at most `maxBytes` bytes, cut
    // at a whole UTF-8 character. False when the walk through the subtree exceeds the
    // document's budget (a document built to expand without end).
    bool Text(Node node, std::size_t maxBytes, std::string& out);

    // Transforms this document with the XSLT stylesheet `stylesheet` into `result`, which then
    // remembers the stylesheet's output settings for its Save. The stylesheet may import and
    // include others, but while it transforms it may neither read other files (document()),
    // write files nor reach the network. Fails unless the output is an XML document that loads
    // back: output method XML (also when an imported stylesheet sets it) and exactly one root
    // element.
    bool TransformInto(const Document& stylesheet, Document& result) const;

  private:
    struct State;
    explicit Document(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace korvane::xml
