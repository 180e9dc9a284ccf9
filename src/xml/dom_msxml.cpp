// The DOM over the platform's XML component "Microsoft.XMLDOM", through COM (Windows).
//
// The component parses, holds the tree and transforms. The rest is the library's, so that both
// backends behave alike: decoding a file's bytes (the component's decoders differ between
// versions and cannot all read euc-kr), the bounds that keep hostile documents from slowing the
// component down, refusing document type declarations (whose entity expansion the library
// cannot bound here), leaving out layout (IsLayoutText), deciding what an element name or a
// text may be (the component accepts names that are not XML), and writing the tree out as text
// (XmlWriter: the component's own text differs in its line ends between versions).
//
// Each document enters a COM apartment on the calling thread for its lifetime, so that loads
// and saves work from any thread, whatever apartment the caller is in or is not in.
// windows.h first: the COM headers rely on it.
#include <windows.h>

#include <msxml2.h>
#include <ole2.h>

#include <algorithm>
#include <new>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/com_apartment_windows.h"
#include "platform/encoded_text_windows.h"
#include "platform/files.h"
#include "platform/utf8.h"
#include "xml/document_text_windows.h"
#include "xml/dom.h"
#include "xml/element_census_windows.h"
#include "xml/load_bounds.h"
#include "xml/markup_scanner.h"
#include "xml/stylesheet_confinement.h"
#include "xml/xml_declaration.h"
#include "xml/xml_rules.h"
#include "xml/xml_writer.h"

namespace korvane::xml {
namespace {

// The component's class context: in-process server and handler, and local server.
constexpr DWORD kClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
// The system error code a load reports when the library refuses or cannot decode a document.
constexpr int kRefusedCode = ERROR_INVALID_DATA;
constexpr int kUndecodableCode = ERROR_NO_UNICODE_TRANSLATION;

constexpr const wchar_t* kXsltNamespace = L"http://www.w3.org/1999/XSL/Transform";

// An owned COM reference.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For a call that hands out a new reference.
    Interface** Out() {
        Reset();
        return &pointer_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    Interface* Detach() { return std::exchange(pointer_, nullptr); }
    void Reset() {
        if (pointer_ != nullptr) pointer_->Release();
        pointer_ = nullptr;
    }

  private:
    Interface* pointer_ = nullptr;
};

// An owned BSTR.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text)
        : text_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()))) {}
    explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }
    BSTR* Out() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    std::u16string_view View() const {
        return std::u16string_view(reinterpret_cast<const char16_t*>(text_), SysStringLen(text_));
    }

  private:
    BSTR text_ = nullptr;
};

bool ToUtf8(const Bstr& text, std::string& out) {
    return platform::Utf16ToUtf8(text.View(), out);
}

// Turns off, where the component has them, the switches that let a stylesheet read other files
// (document()) and run script blocks. Versions without them, and Wine, which accepts and
// ignores them, are held by the library's own check of the stylesheet (IsConfinedStylesheet).
void ForbidStylesheetReach(IXMLDOMDocument* document) {
    // IID_IXMLDOMDocument2, which no import library defines.
    constexpr IID kDocument2 = {
        0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
    ComRef<IXMLDOMDocument2> second;
    if (FAILED(document->QueryInterface(kDocument2, second.OutVoid()))) return;
    VARIANT off;
    VariantInit(&off);
    off.vt = VT_BOOL;
    off.boolVal = VARIANT_FALSE;
    second->setProperty(Bstr(L"AllowDocumentFunction").get(), off);
    second->setProperty(Bstr(L"AllowXsltScript").get(), off);
}

// A fresh component document with every switch set, since their defaults differ between
// versions of the component: loads complete before they return, blanks are kept (a value of
// one blank must survive), and nothing external is read or validated.
bool CreateComponentDocument(ComRef<IXMLDOMDocument>& document) {
    CLSID classId;
    if (FAILED(CLSIDFromProgID(L"Microsoft.XMLDOM", &classId))) return false;
    ComRef<IUnknown> unknown;
    if (FAILED(
            CoCreateInstance(classId, nullptr, kClassContext, IID_IUnknown, unknown.OutVoid())) ||
        FAILED(OleRun(unknown.get())) ||
        FAILED(unknown->QueryInterface(IID_IXMLDOMDocument, document.OutVoid())))
        return false;
    ForbidStylesheetReach(document.get());
    return SUCCEEDED(document->put_async(VARIANT_FALSE)) &&
           SUCCEEDED(document->put_preserveWhiteSpace(VARIANT_TRUE)) &&
           SUCCEEDED(document->put_resolveExternals(VARIANT_FALSE)) &&
           SUCCEEDED(document->put_validateOnParse(VARIANT_FALSE));
}

IXMLDOMNode* NodeOf(void* handle) {
    return static_cast<IXMLDOMNode*>(handle);
}

DOMNodeType TypeOf(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    if (node == nullptr || FAILED(node->get_nodeType(&type))) return NODE_INVALID;
    return type;
}

// The value of a text, CDATA, comment or instruction node.
bool ValueOf(IXMLDOMNode* node, std::string& out) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(node->get_nodeValue(&value))) return false;
    bool converted = false;
    if (value.vt == VT_BSTR) {
        converted = platform::Utf16ToUtf8(
            std::u16string_view(reinterpret_cast<const char16_t*>(value.bstrVal),
                                SysStringLen(value.bstrVal)),
            out);
    }
    VariantClear(&value);
    return converted;
}

// Whether the value of a text node is exactly `text`.
bool HoldsValue(IXMLDOMNode* node, std::u16string_view text) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(node->get_nodeValue(&value))) return false;
    const bool holds =
        value.vt == VT_BSTR && std::u16string_view(reinterpret_cast<const char16_t*>(value.bstrVal),
                                                   SysStringLen(value.bstrVal)) == text;
    VariantClear(&value);
    return holds;
}

// The next sibling of `node` (a new reference), or null.
IXMLDOMNode* NextSiblingOf(IXMLDOMNode* node) {
    IXMLDOMNode* next = nullptr;
    return node->get_nextSibling(&next) == S_OK ? next : nullptr;
}

IXMLDOMNode* FirstChildOf(IXMLDOMNode* node) {
    IXMLDOMNode* child = nullptr;
    return node->get_firstChild(&child) == S_OK ? child : nullptr;
}

// Whether `node` is layout (see IsLayoutText); `parentHasElementChild` answers for its parent.
template <typename ParentHasElementChild>
bool IsLayout(IXMLDOMNode* node, ParentHasElementChild&& parentHasElementChild) {
    std::string text;
    return TypeOf(node) == NODE_TEXT && ValueOf(node, text) &&
           IsLayoutText(text, parentHasElementChild);
}

// Whether the parent of `node` has an element child, asked of its siblings.
bool ParentHasElementChild(IXMLDOMNode* node) {
    ComRef<IXMLDOMNode> parent;
    if (node->get_parentNode(parent.Out()) != S_OK || !parent) return false;
    for (IXMLDOMNode* child = FirstChildOf(parent.get()); child != nullptr;) {
        const bool element = TypeOf(child) == NODE_ELEMENT;
        IXMLDOMNode* next = element ? nullptr : NextSiblingOf(child);
        child->Release();
        if (element) return true;
        child = next;
    }
    return false;
}

}  // namespace

struct Document::State {
    platform::ComApartment apartment;  // entered first, left last
    ComRef<IXMLDOMDocument> document;
    // Every node handed out, held until the document goes or is replaced.
    std::unordered_set<IXMLDOMNode*> held;
    // Navigation answers already given, so that walking a tree twice holds no more nodes.
    std::unordered_map<IXMLDOMNode*, IXMLDOMNode*> firstChildren, nextSiblings;
    IXMLDOMNode* documentElement = nullptr;
    // The XML declaration, kept out of the tree: the component's transform cannot copy it.
    std::string version;   // empty without a declaration
    std::string encoding;  // what the declaration named
    // After a transform: the encoding the stylesheet's output element names.
    bool transformed = false;
    std::string outputEncoding;
    TextVisitBudget textVisits;
    // Where the parse found each node's markup, until LineOf first pairs it with the nodes; a
    // change to the tree drops what is not paired yet.
    std::vector<MarkupPosition> positions;
    std::unordered_map<IXMLDOMNode*, long> lines;

    ~State() { ReleaseNodes(); }

    void ReleaseNodes() {
        for (IXMLDOMNode* node : held) node->Release();
        held.clear();
        lines.clear();
        ForgetNavigation();
    }
    void ForgetNavigation() {
        firstChildren.clear();
        nextSiblings.clear();
        documentElement = nullptr;
        positions = {};
    }
    void Reset() {
        ReleaseNodes();
        version.clear();
        encoding.clear();
        transformed = false;
        outputEncoding.clear();
        textVisits.Renew();
    }
    // Takes over `node` (a new reference) and hands out its handle.
    IXMLDOMNode* Hold(IXMLDOMNode* node) {
        if (node != nullptr && !held.insert(node).second) node->Release();
        return node;
    }
    bool Holds(IXMLDOMNode* node) const { return held.count(node) != 0; }
};

std::unique_ptr<Document> Document::Create() {
    auto state = std::unique_ptr<State>(new (std::nothrow) State);
    if (state == nullptr || !state->apartment.Usable() || !CreateComponentDocument(state->document))
        return nullptr;
    return std::unique_ptr<Document>(new (std::nothrow) Document(std::move(state)));
}

Document::Document(std::unique_ptr<State> state) : state_(std::move(state)) {}

Document::~Document() = default;

bool Document::ParseBytes(std::string_view bytes, ParseError& error) {
    return Parse(bytes, false, error);
}

bool Document::ParseText(std::string_view text, ParseError& error) {
    return Parse(text, true, error);
}

namespace {

ParseError Refusal(int code, long line, long column, std::string text) {
    ParseError error;
    error.kind = ParseError::Kind::Refused;
    error.code = code;
    error.line = static_cast<int>(line);
    error.column = static_cast<int>(column);
    error.text = std::move(text);
    return error;
}

// The markup scanner's bounds, over the text exactly as the component will see it; `positions`
// receives where each node's markup stands.
bool WithinScannerBounds(std::u16string_view text, std::vector<MarkupPosition>& positions,
                         ParseError& error) {
    std::string bytes = "\xFF\xFE";  // UTF-16LE, as its byte-order mark says
    bytes.reserve(2 + 2 * text.size());
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    MarkupScanner scanner;
    scanner.RecordPositions(positions);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (scanner.Feed(data, bytes.size()) && scanner.Finish()) return true;
    error =
        Refusal(kRefusedCode, scanner.line(), scanner.column(), RefusalText(scanner.Description()));
    return false;
}

bool WithinCensusBounds(std::u16string_view text, ParseError& error) {
    const ElementCensus census = TakeElementCensus(text, kMaxElementNames);
    switch (census.verdict) {
        case ElementCensus::Verdict::Accepted:
            return true;
        case ElementCensus::Verdict::DocumentType:
            error = Refusal(kRefusedCode, census.line, census.column,
                            RefusalText("a document type declaration, whose entity expansion "
                                        "cannot be bounded on this system"));
            return false;
        case ElementCensus::Verdict::TooManyElementNames:
            error = Refusal(kRefusedCode, census.line, census.column, TooManyNamesText());
            return false;
    }
    return false;
}

// What the component says about the parse that failed.
ParseError ComponentParseError(IXMLDOMDocument* document, HRESULT result) {
    ParseError error;
    error.kind = ParseError::Kind::NotWellFormed;
    error.code = kRefusedCode;
    error.text = "not well-formed";
    ComRef<IXMLDOMParseError> parseError;
    if (SUCCEEDED(document->get_parseError(parseError.Out())) && parseError) {
        long code = 0, line = 0, column = 0;
        Bstr reason;
        if (parseError->get_errorCode(&code) == S_OK && code != 0) {
            error.code = static_cast<int>(code);
            if (parseError->get_line(&line) == S_OK) error.line = static_cast<int>(line);
            if (parseError->get_linepos(&column) == S_OK) error.column = static_cast<int>(column);
            std::string text;
            if (parseError->get_reason(reason.Out()) == S_OK && ToUtf8(reason, text) &&
                !text.empty()) {
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                error.text = text;
            }
        }
    } else if (FAILED(result)) {
        error.code = static_cast<int>(result);
    }
    return error;
}

// The version pseudo-attribute of an "xml" instruction's data, or "1.0".
std::string DeclaredVersion(std::string_view data) {
    std::string version = PseudoAttributeValue(data, "version");
    return version.empty() ? "1.0" : version;
}

// Takes the component's node for the XML declaration out of the tree, where a transform would
// copy it into a second declaration; returns its version, or empty when there was none.
std::string RemoveDeclarationNode(IXMLDOMDocument* document) {
    ComRef<IXMLDOMNode> first;
    if (document->get_firstChild(first.Out()) != S_OK || !first) return std::string();
    Bstr name;
    if (TypeOf(first.get()) != NODE_PROCESSING_INSTRUCTION ||
        first->get_nodeName(name.Out()) != S_OK || name.View() != u"xml")
        return std::string();
    std::string data;
    ValueOf(first.get(), data);
    ComRef<IXMLDOMNode> removed;
    document->removeChild(first.get(), removed.Out());
    return DeclaredVersion(data);
}

}  // namespace

bool Document::Parse(std::string_view input, bool utf8Text, ParseError& error) {
    error = ParseError();
    state_->Reset();
    DocumentText decoded;
    std::string failure;
    if (!(utf8Text ? DecodeDocumentText(input, decoded, failure)
                   : DecodeDocumentBytes(input, decoded, failure))) {
        error = Refusal(kUndecodableCode, 1, 1, RefusalText(failure));
        error.kind = ParseError::Kind::NotWellFormed;
        return false;
    }
    std::vector<MarkupPosition> positions;
    if (!WithinScannerBounds(decoded.text, positions, error) ||
        !WithinCensusBounds(decoded.text, error))
        return false;
    const Bstr text(decoded.text);
    if (text.get() == nullptr && !decoded.text.empty()) {
        error = Refusal(ERROR_OUTOFMEMORY, 0, 0, "out of memory");
        return false;
    }
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT result = state_->document->loadXML(text.get(), &loaded);
    if (result != S_OK || loaded != VARIANT_TRUE) {
        error = ComponentParseError(state_->document.get(), result);
        return false;
    }
    state_->version = RemoveDeclarationNode(state_->document.get());
    state_->encoding = decoded.encoding;
    state_->positions = std::move(positions);
    return true;
}

namespace {

bool NameOf(IXMLDOMNode* node, std::string& out) {
    Bstr name;
    return node->get_nodeName(name.Out()) == S_OK && ToUtf8(name, out);
}

bool WriteAttributes(IXMLDOMNode* element, XmlWriter& writer) {
    ComRef<IXMLDOMNamedNodeMap> attributes;
    long count = 0;
    if (element->get_attributes(attributes.Out()) != S_OK || !attributes ||
        FAILED(attributes->get_length(&count)))
        return false;
    std::string name, value;
    for (long i = 0; i < count; ++i) {
        ComRef<IXMLDOMNode> attribute;
        if (attributes->get_item(i, attribute.Out()) != S_OK || !attribute ||
            !NameOf(attribute.get(), name) || !ValueOf(attribute.get(), value))
            return false;
        writer.Attribute(name, value);
    }
    return true;
}

// Writes the tree beneath `document` through the library's writer rather than the component's
// `xml` property, whose line ends differ between versions (Wine's writes every line break in a
// text as CR LF, so a lone CR comes back as a line feed). Blank text at the top level, where
// XML holds no text, gives way to one line feed after each node.
bool WriteDocumentTree(IXMLDOMNode* document, XmlWriter& writer) {
    // For each open level, the next node to write there (an owned reference, or null when the
    // level is done); the bottom level is the document's.
    std::vector<IXMLDOMNode*> pending{FirstChildOf(document)};
    struct Release {
        std::vector<IXMLDOMNode*>& nodes;
        ~Release() {
            for (IXMLDOMNode* node : nodes)
                if (node != nullptr) node->Release();
        }
    } release{pending};
    std::string name, value;
    while (!pending.empty()) {
        ComRef<IXMLDOMNode> node;
        *node.Out() = pending.back();
        if (!node) {
            pending.pop_back();
            if (pending.empty()) break;
            writer.EndElement();
            if (pending.size() == 1) writer.Layout("\n");
            continue;
        }
        pending.back() = NextSiblingOf(node.get());
        const bool topLevel = pending.size() == 1;
        switch (TypeOf(node.get())) {
            case NODE_ELEMENT:
                if (!NameOf(node.get(), name)) return false;
                writer.StartElement(name);
                if (!WriteAttributes(node.get(), writer)) return false;
                pending.push_back(FirstChildOf(node.get()));
                break;
            case NODE_TEXT:
                if (!ValueOf(node.get(), value)) return false;
                if (topLevel) break;
                // Layout goes as it stands: indentation that ends its lines with CR LF needs no
                // references (only a CR makes the difference).
                if (value.find('\r') != std::string::npos &&
                    IsLayoutText(value, [&] { return ParentHasElementChild(node.get()); })) {
                    writer.Layout(value);
                } else {
                    writer.Text(value);
                }
                break;
            case NODE_CDATA_SECTION:
                if (!ValueOf(node.get(), value)) return false;
                writer.CData(value);
                break;
            case NODE_COMMENT:
                if (!ValueOf(node.get(), value)) return false;
                writer.Comment(value);
                if (topLevel) writer.Layout("\n");
                break;
            case NODE_PROCESSING_INSTRUCTION:
                if (!NameOf(node.get(), name) || !ValueOf(node.get(), value)) return false;
                writer.ProcessingInstruction(name, value);
                if (topLevel) writer.Layout("\n");
                break;
            default:
                return false;  // a document type or entity reference, which loads refuse
        }
    }
    return true;
}

}  // namespace

// The component's transform writes its result as text and loads that into the result
// document: an empty text does not come back as a node, and the indentation is a tab a level.
IndentedLayout EngineIndentedLayout() {
    return IndentedLayout{"\t", false};
}

bool Document::Serialize(SerializedDocument& out) const {
    out = SerializedDocument();
    XmlWriter writer;
    // A parsed document's declaration was kept out of the tree; a transform's result holds its
    // own.
    if (!state_->transformed && !state_->version.empty()) {
        writer.ProcessingInstruction("xml", "version=\"" + state_->version + "\"");
        writer.Layout("\n");
    }
    ComRef<IXMLDOMNode> document;
    if (FAILED(state_->document->QueryInterface(IID_IXMLDOMNode, document.OutVoid())) ||
        !WriteDocumentTree(document.get(), writer))
        return false;
    out.text = writer.Take();
    const std::string& encoding = state_->transformed ? state_->outputEncoding : state_->encoding;
    out.encoding = encoding.empty() ? "UTF-8" : encoding;
    return true;
}

bool Document::AppendProcessingInstruction(std::string_view target, std::string_view data) {
    if (target == "xml") {
        // Kept as the document's own version and encoding; only an encoding the library can
        // write may be declared.
        const std::string encoding = PseudoAttributeValue(data, "encoding");
        if (!encoding.empty() && !platform::IsKnownEncoding(encoding)) return false;
        state_->version = DeclaredVersion(data);
        if (!encoding.empty()) state_->encoding = encoding;
        return true;
    }
    std::u16string wideTarget, wideData;
    if (!platform::Utf8ToUtf16(target, wideTarget) || !platform::Utf8ToUtf16(data, wideData))
        return false;
    ComRef<IXMLDOMProcessingInstruction> instruction;
    ComRef<IXMLDOMNode> appended;
    return state_->document->createProcessingInstruction(
               Bstr(wideTarget).get(), Bstr(wideData).get(), instruction.Out()) == S_OK &&
           state_->document->appendChild(instruction.get(), appended.Out()) == S_OK;
}

Node Document::CreateElement(std::string_view name) {
    // The component takes names that are not XML.
    std::u16string wideName;
    if (!IsCreatableElementName(name, state_->encoding) || !platform::Utf8ToUtf16(name, wideName))
        return Node();
    ComRef<IXMLDOMElement> element;
    ComRef<IXMLDOMNode> node;
    if (state_->document->createElement(Bstr(wideName).get(), element.Out()) != S_OK ||
        FAILED(element->QueryInterface(IID_IXMLDOMNode, node.OutVoid())))
        return Node();
    return Node(state_->Hold(node.Detach()));
}

Node Document::CreateTextNode(std::string_view text) {
    std::u16string wideText;
    if (!IsXmlText(text) || !platform::Utf8ToUtf16(text, wideText)) return Node();
    const Bstr value(wideText);
    ComRef<IXMLDOMText> textNode;
    ComRef<IXMLDOMNode> node;
    if ((value.get() == nullptr && !wideText.empty()) ||
        state_->document->createTextNode(value.get(), textNode.Out()) != S_OK ||
        FAILED(textNode->QueryInterface(IID_IXMLDOMNode, node.OutVoid())))
        return Node();
    // The component may turn each CR into a line feed as it creates the node (as a parser does
    // with a file's line ends; Wine's does), while setting the node's value keeps it. A text
    // that the node cannot hold exactly is refused rather than changed.
    if (wideText.find(u'\r') != std::u16string::npos && !HoldsValue(node.get(), wideText)) {
        VARIANT variant;
        VariantInit(&variant);
        variant.vt = VT_BSTR;
        variant.bstrVal = value.get();  // borrowed: `value` keeps it
        if (node->put_nodeValue(variant) != S_OK || !HoldsValue(node.get(), wideText))
            return Node();
    }
    return Node(state_->Hold(node.Detach()));
}

bool Document::AppendChild(Node parent, Node child) {
    IXMLDOMNode* childNode = NodeOf(child.handle_);
    if (childNode == nullptr || !state_->Holds(childNode)) return false;
    ComRef<IXMLDOMNode> currentParent;
    if (childNode->get_parentNode(currentParent.Out()) == S_OK && currentParent) return false;
    IXMLDOMNode* parentNode = parent ? NodeOf(parent.handle_) : state_->document.get();
    if (parent && (!state_->Holds(parentNode) || TypeOf(parentNode) != NODE_ELEMENT)) return false;
    ComRef<IXMLDOMNode> appended;
    if (parentNode->appendChild(childNode, appended.Out()) != S_OK) return false;
    state_->ForgetNavigation();
    return true;
}

Node Document::DocumentElement() const {
    if (state_->documentElement != nullptr) return Node(state_->documentElement);
    ComRef<IXMLDOMElement> element;
    ComRef<IXMLDOMNode> node;
    if (state_->document->get_documentElement(element.Out()) != S_OK || !element ||
        FAILED(element->QueryInterface(IID_IXMLDOMNode, node.OutVoid())))
        return Node();
    state_->documentElement = state_->Hold(node.Detach());
    return Node(state_->documentElement);
}

namespace {

// The first node from `node` on, along next siblings, that is not layout (itself included);
// null when there is none. Takes over `node`.
IXMLDOMNode* SkipLayout(IXMLDOMNode* node) {
    while (node != nullptr && IsLayout(node, [node] { return ParentHasElementChild(node); })) {
        IXMLDOMNode* next = NextSiblingOf(node);
        node->Release();
        node = next;
    }
    return node;
}

}  // namespace

Node Document::FirstChild(Node node) const {
    IXMLDOMNode* parent = NodeOf(node.handle_);
    if (parent == nullptr) return Node();
    const auto known = state_->firstChildren.find(parent);
    if (known != state_->firstChildren.end()) return Node(known->second);
    // All children at once, since whether a blank text is layout depends on its siblings; the
    // next sibling of each is then known as well.
    std::vector<IXMLDOMNode*> children;  // new references
    bool elementChild = false;
    for (IXMLDOMNode* child = FirstChildOf(parent); child != nullptr;
         child = NextSiblingOf(child)) {
        children.push_back(child);
        elementChild = elementChild || TypeOf(child) == NODE_ELEMENT;
    }
    IXMLDOMNode* first = nullptr;
    IXMLDOMNode* previous = nullptr;
    for (IXMLDOMNode* child : children) {
        if (IsLayout(child, [elementChild] { return elementChild; })) {
            child->Release();
            continue;
        }
        child = state_->Hold(child);
        if (previous != nullptr) {
            state_->nextSiblings.insert_or_assign(previous, child);
        } else {
            first = child;
        }
        previous = child;
    }
    if (previous != nullptr) state_->nextSiblings.insert_or_assign(previous, nullptr);
    state_->firstChildren.emplace(parent, first);
    return Node(first);
}

Node Document::NextSibling(Node node) const {
    IXMLDOMNode* current = NodeOf(node.handle_);
    if (current == nullptr) return Node();
    const auto known = state_->nextSiblings.find(current);
    if (known != state_->nextSiblings.end()) return Node(known->second);
    IXMLDOMNode* next = state_->Hold(SkipLayout(NextSiblingOf(current)));
    state_->nextSiblings.emplace(current, next);
    return Node(next);
}

bool Document::IsElement(Node node) const {
    return TypeOf(NodeOf(node.handle_)) == NODE_ELEMENT;
}

NodeKind Document::KindOf(Node node) const {
    switch (TypeOf(NodeOf(node.handle_))) {
        case NODE_ELEMENT:
            return NodeKind::Element;
        case NODE_TEXT:
            return NodeKind::Text;
        case NODE_CDATA_SECTION:
            return NodeKind::CData;
        case NODE_COMMENT:
            return NodeKind::Comment;
        case NODE_PROCESSING_INSTRUCTION:
            return NodeKind::ProcessingInstruction;
        case NODE_ENTITY_REFERENCE:
            return NodeKind::EntityReference;
        default:
            return NodeKind::Other;
    }
}

bool Document::Value(Node node, std::string& out) const {
    out.clear();
    return !HoldsValue(KindOf(node)) || ValueOf(NodeOf(node.handle_), out);
}

std::string Document::NodeName(Node node) const {
    IXMLDOMNode* domNode = NodeOf(node.handle_);
    Bstr name;
    std::string out;
    if (domNode == nullptr || domNode->get_nodeName(name.Out()) != S_OK || !ToUtf8(name, out))
        return std::string();
    return out;
}

namespace {

// Gives the nodes of a parsed document, met in document order, the lines of the markup that the
// scan recorded for them (MarkupPosition), as libxml2 numbers its nodes (see LineOf). False
// once the tree and the positions part ways.
class LinePairing {
  public:
    LinePairing(const std::vector<MarkupPosition>& positions,
                std::unordered_map<IXMLDOMNode*, long>& lines)
        : positions_(positions), lines_(lines) {}

    // The next node in document order, of type `type`; a null `node` takes its markup without
    // keeping a line. `opened` tells that an element's children follow, then Leave.
    bool Enter(IXMLDOMNode* node, DOMNodeType type, bool& opened) {
        opened = false;
        Level& level = levels_.back();
        long line = 0;
        bool cdata = false;
        if (type != NODE_CDATA_SECTION) SkipJoinedCData();
        switch (type) {
            case NODE_TEXT:
                // libxml2 makes a text's node once it reaches the markup after it.
                line = next_ < positions_.size() ? positions_[next_].opens : 0;
                break;
            case NODE_ELEMENT: {
                const MarkupPosition* tag = Take(Kind::StartTag, Kind::EmptyElementTag);
                if (tag == nullptr) return false;
                line = tag->line;
                opened = tag->kind == Kind::StartTag;
                break;
            }
            case NODE_COMMENT:
            case NODE_PROCESSING_INSTRUCTION: {
                const Kind kind = type == NODE_COMMENT ? Kind::Comment : Kind::Instruction;
                const MarkupPosition* markup = Take(kind, kind);
                if (markup == nullptr) return false;
                line = markup->line;
                break;
            }
            case NODE_CDATA_SECTION:
                // libxml2 keeps no line for a CDATA section and answers with the node before it,
                // unless that is one too, or else with its parent.
                if (Take(Kind::CData, Kind::CData) == nullptr) return false;
                line = level.previousLine != 0 ? level.previousLine : level.parentLine;
                cdata = true;
                break;
            default:
                return false;
        }
        if (node != nullptr) lines_[node] = line;
        level.previousLine = cdata ? 0 : line;
        afterCData_ = cdata;
        if (opened) levels_.push_back({line, 0});
        return true;
    }

    // The end tag of the element opened last.
    bool Leave() {
        SkipJoinedCData();
        levels_.pop_back();
        return Take(Kind::EndTag, Kind::EndTag) != nullptr;
    }

    // Whether every position went to a node.
    bool Finished() {
        SkipJoinedCData();
        return next_ == positions_.size();
    }

  private:
    using Kind = MarkupPosition::Kind;
    struct Level {
        long parentLine;
        long previousLine;  // 0 when there is no node before, or a CDATA section
    };

    const MarkupPosition* Take(Kind kind, Kind otherKind) {
        if (next_ == positions_.size()) return nullptr;
        const MarkupPosition& position = positions_[next_];
        if (position.kind != kind && position.kind != otherKind) return nullptr;
        ++next_;
        return &position;
    }

    // A parser may make one node of adjacent CDATA sections, as libxml2 does: the sections
    // right after the one a node took are passed by.
    void SkipJoinedCData() {
        while (afterCData_ && next_ < positions_.size() && positions_[next_].kind == Kind::CData)
            ++next_;
        afterCData_ = false;
    }

    const std::vector<MarkupPosition>& positions_;
    std::unordered_map<IXMLDOMNode*, long>& lines_;
    std::size_t next_ = 0;
    bool afterCData_ = false;  // the node entered last is a CDATA section
    std::vector<Level> levels_{Level{0, 0}};
};

}  // namespace

// The component does not say where it parsed a node: the first call pairs the markup positions
// the scan recorded with the tree, walked in document order through the navigation, whose
// handles are the ones callers hold.
long Document::LineOf(Node node) const {
    if (!state_->positions.empty()) {
        LinePairing pairing(state_->positions, state_->lines);
        bool paired = true;
        bool opened = false;
        // The comments and instructions before the document element, which navigation does
        // not reach.
        for (IXMLDOMNode* child = FirstChildOf(state_->document.get()); child != nullptr;) {
            const DOMNodeType type = TypeOf(child);
            IXMLDOMNode* next = type == NODE_ELEMENT ? nullptr : NextSiblingOf(child);
            child->Release();
            if (type != NODE_ELEMENT) paired = paired && pairing.Enter(nullptr, type, opened);
            child = next;
        }
        std::vector<Node> open;  // elements whose end tags are still to come
        for (Node current = DocumentElement(); paired && (current || !open.empty());) {
            if (!current) {
                paired = pairing.Leave();
                current = NextSibling(open.back());
                open.pop_back();
                continue;
            }
            IXMLDOMNode* domNode = NodeOf(current.handle_);
            paired = pairing.Enter(domNode, TypeOf(domNode), opened);
            if (opened) {
                open.push_back(current);
                current = FirstChild(current);
            } else {
                current = NextSibling(current);
            }
        }
        if (!paired || !pairing.Finished()) state_->lines.clear();
        state_->positions = {};
    }
    const auto found = state_->lines.find(NodeOf(node.handle_));
    return found != state_->lines.end() ? found->second : 0;
}

bool Document::HasName(Node node, std::string_view name) const {
    return NodeName(node) == name;
}

bool Document::Text(Node node, std::size_t maxBytes, std::string& out) {
    out.clear();
    if (!node) return true;
    std::vector<Node> pending{node};
    std::string piece;
    while (!pending.empty()) {
        const Node current = pending.back();
        pending.pop_back();
        if (!state_->textVisits.Spend(1)) return false;
        switch (TypeOf(NodeOf(current.handle_))) {
            case NODE_TEXT:
            case NODE_CDATA_SECTION:
                if (!ValueOf(NodeOf(current.handle_), piece)) return false;
                if (!AppendWithin(out, piece, maxBytes)) return true;
                break;
            case NODE_ELEMENT: {
                // Children in reverse, so that they come off the stack in document order.
                const std::size_t first = pending.size();
                for (Node child = FirstChild(current); child; child = NextSibling(child))
                    pending.push_back(child);
                std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
                break;
            }
            default:
                break;  // comments and processing instructions hold no text
        }
    }
    return true;
}

namespace {

// The stylesheet's top-level xsl:output element, if it has one.
bool FindOutputElement(IXMLDOMDocument* stylesheet, ComRef<IXMLDOMElement>& output) {
    ComRef<IXMLDOMElement> root;
    ComRef<IXMLDOMNode> child;
    if (stylesheet->get_documentElement(root.Out()) != S_OK || !root ||
        root->get_firstChild(child.Out()) != S_OK)
        return false;
    while (child) {
        Bstr baseName, namespaceUri;
        if (TypeOf(child.get()) == NODE_ELEMENT && child->get_baseName(baseName.Out()) == S_OK &&
            baseName.View() == u"output" && child->get_namespaceURI(namespaceUri.Out()) == S_OK &&
            namespaceUri.View() ==
                std::u16string_view(reinterpret_cast<const char16_t*>(kXsltNamespace))) {
            return SUCCEEDED(child->QueryInterface(IID_IXMLDOMElement, output.OutVoid()));
        }
        ComRef<IXMLDOMNode> next;
        if (child->get_nextSibling(next.Out()) != S_OK) return false;
        child.Reset();
        *child.Out() = next.Detach();
    }
    return false;
}

// An attribute of `element`, or empty.
std::string AttributeOf(IXMLDOMElement* element, const wchar_t* name) {
    VARIANT value;
    VariantInit(&value);
    std::string out;
    if (element->getAttribute(Bstr(name).get(), &value) == S_OK && value.vt == VT_BSTR) {
        platform::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(value.bstrVal),
                                                  SysStringLen(value.bstrVal)),
                              out);
    }
    VariantClear(&value);
    return out;
}

// The markup of a component document, as UTF-8.
bool MarkupOf(IXMLDOMDocument* document, std::string& text) {
    Bstr xml;
    return document->get_xml(xml.Out()) == S_OK && ToUtf8(xml, text);
}

// A document type at the top level is not among the markup a transform's result may hold here.
TopLevelNodes::Kind TopLevelKindOf(DOMNodeType type) {
    switch (type) {
        case NODE_ELEMENT:
            return TopLevelNodes::Kind::Element;
        case NODE_COMMENT:
        case NODE_PROCESSING_INSTRUCTION:
            return TopLevelNodes::Kind::Markup;
        case NODE_TEXT:
            return TopLevelNodes::Kind::Text;
        default:
            return TopLevelNodes::Kind::Other;
    }
}

// Whether a transform's result is one XML document (see TopLevelNodes).
bool HoldsOneDocument(IXMLDOMDocument* result) {
    ComRef<IXMLDOMNode> child;
    if (result->get_firstChild(child.Out()) != S_OK) return false;
    TopLevelNodes topLevel;
    while (child) {
        const DOMNodeType type = TypeOf(child.get());
        std::string text;
        if (type == NODE_TEXT && !ValueOf(child.get(), text)) return false;
        if (!topLevel.Take(TopLevelKindOf(type), text)) return false;
        ComRef<IXMLDOMNode> next;
        if (child->get_nextSibling(next.Out()) != S_OK) break;
        child.Reset();
        *child.Out() = next.Detach();
    }
    return topLevel.OneDocument();
}

}  // namespace

bool Document::TransformInto(const Document& stylesheet, Document& result) const {
    IXMLDOMDocument* style = stylesheet.state_->document.get();
    // The component would run script blocks, read the files that document() and absolute
    // imports name and, under Wine, write those that xsl:document names: the stylesheet, and
    // every one it imports or includes (read and parsed here as the library parses any file),
    // must keep to what the library allows on every system.
    const StylesheetReader readImported = [](const std::string& path, std::string& text) {
        std::string bytes;
        ParseError error;
        const std::unique_ptr<Document> imported = Document::Create();
        return platform::ReadRegularFile(path, platform::kMaxReadBytes, bytes) == 0 &&
               imported != nullptr && imported->ParseBytes(bytes, error) &&
               MarkupOf(imported->state_->document.get(), text);
    };
    std::string markup;
    if (!MarkupOf(style, markup) || !IsConfinedStylesheet(markup, readImported)) return false;
    ComRef<IXMLDOMElement> output;
    std::string method, encoding;
    if (FindOutputElement(style, output)) {
        method = AttributeOf(output.get(), L"method");
        encoding = AttributeOf(output.get(), L"encoding");
    }
    if (!method.empty() && method != "xml") return false;
    result.state_->Reset();
    ComRef<IDispatch> target;
    ComRef<IXMLDOMNode> styleNode;
    if (FAILED(result.state_->document->QueryInterface(IID_IDispatch, target.OutVoid())) ||
        FAILED(style->QueryInterface(IID_IXMLDOMNode, styleNode.OutVoid())))
        return false;
    VARIANT into;
    VariantInit(&into);
    into.vt = VT_DISPATCH;
    into.pdispVal = target.get();  // borrowed: `target` keeps the reference
    // The source holds no declaration node (it is kept aside), which the component's identity
    // transform would copy into a second declaration and fail.
    if (state_->document->transformNodeToObject(styleNode.get(), into) != S_OK ||
        !HoldsOneDocument(result.state_->document.get()))
        return false;
    result.state_->transformed = true;
    result.state_->outputEncoding = encoding;
    return true;
}

}  // namespace korvane::xml
