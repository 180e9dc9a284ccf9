// The DOM over libxml2 and libxslt. Errors are captured as libxml2_parse.h describes.
#include <libxml/SAX2.h>
#include <libxml/dict.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxslt/imports.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "xml/dom.h"
#include "xml/file_encoding.h"
#include "xml/libxml2_parse.h"
#include "xml/load_bounds.h"
#include "xml/xml_declaration.h"
#include "xml/xml_rules.h"

namespace korvane::xml {
namespace {

const xmlChar* Xml(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}

// An empty document with a dictionary of its own, so that the names of the elements built in
// it are shared rather than copied for every element.
xmlDocPtr NewDocument() {
    xmlDocPtr doc = xmlNewDoc(Xml("1.0"));
    if (doc == nullptr) return nullptr;
    doc->dict = xmlDictCreate();
    if (doc->dict == nullptr) {
        xmlFreeDoc(doc);
        return nullptr;
    }
    return doc;
}
const char* Chars(const xmlChar* text) {
    return reinterpret_cast<const char*>(text);
}
xmlNodePtr NodeOf(void* handle) {
    return static_cast<xmlNodePtr>(handle);
}

// Blank characters that follow the element `after` in `parent`, held back until they turn out
// to be part of a longer text rather than layout.
struct HeldBlanks {
    std::string text;
    xmlNodePtr parent = nullptr;
    xmlNodePtr after = nullptr;
};

HeldBlanks& HeldBlanksOf(xmlParserCtxtPtr context) {
    return *static_cast<HeldBlanks*>(SessionOf(context)->client);
}

void CountedStartElement(void* userData, const xmlChar* localName, const xmlChar* prefix,
                         const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                         int attributeCount, int defaultedCount, const xmlChar** attributes) {
    if (!CountElementName(static_cast<xmlParserCtxtPtr>(userData), prefix, localName)) return;
    xmlSAX2StartElementNs(userData, localName, prefix, uri, namespaceCount, namespaces,
                          attributeCount, defaultedCount, attributes);
}

// Adds characters to the text being parsed. A text that starts right after an element is
// layout if it stays blank (see IsLayoutText): its blank characters are held back, and become
// a node only when characters other than blanks follow before the text ends. An indented file
// holds about as much layout as elements, so most of it never becomes a node.
void CharactersWithoutLayout(void* userData, const xmlChar* characters, int length) {
    auto* context = static_cast<xmlParserCtxtPtr>(userData);
    HeldBlanks& held = HeldBlanksOf(context);
    xmlNodePtr parent = context->node;
    xmlNodePtr last = parent != nullptr ? parent->last : nullptr;
    // Held characters whose text has ended (a node came after them) were layout.
    if (held.parent != parent || held.after != last) held.text.clear();
    const std::string_view text(Chars(characters), static_cast<std::size_t>(length));
    if (last != nullptr && last->type == XML_ELEMENT_NODE && IsBlankText(text)) {
        Contained(context, [&] { held.text.append(text); });
        held.parent = parent;
        held.after = last;
        return;
    }
    if (!held.text.empty()) {
        xmlSAX2Characters(userData, Xml(held.text.data()), static_cast<int>(held.text.size()));
        held.text.clear();
    }
    xmlSAX2Characters(userData, characters, length);
}

// Ends an element; once its children are all known, the layout among them is dropped (see
// IsLayoutText): a large file holds about as many blank texts as elements, which would
// otherwise stay in memory for as long as the document.
void EndElementWithoutLayout(void* userData, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* uri) {
    xmlNodePtr element = static_cast<xmlParserCtxtPtr>(userData)->node;
    xmlSAX2EndElementNs(userData, localName, prefix, uri);
    if (element == nullptr || element->type != XML_ELEMENT_NODE) return;
    bool hasElementChild = false;
    for (xmlNodePtr child = element->children; child != nullptr && !hasElementChild;
         child = child->next)
        hasElementChild = child->type == XML_ELEMENT_NODE;
    if (!hasElementChild) return;
    for (xmlNodePtr child = element->children, next = nullptr; child != nullptr; child = next) {
        next = child->next;
        if (child->type == XML_TEXT_NODE && child->content != nullptr &&
            IsLayoutText(Chars(child->content), [] { return true; })) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        }
    }
}

// The callbacks that build the tree, with layout left out and element names counted.
void InstallTreeBuilding(xmlSAXHandler& handler) {
    handler.startElementNs = CountedStartElement;
    // Both, so that libxml2 hands every run of characters to the one callback.
    handler.characters = CharactersWithoutLayout;
    handler.ignorableWhitespace = CharactersWithoutLayout;
    handler.endElementNs = EndElementWithoutLayout;
}

// Links `child` as the last child of `parent` without merging adjacent text nodes (which
// xmlAddChild would do, freeing the node the caller still holds).
void LinkLast(xmlNodePtr parent, xmlNodePtr child) {
    child->parent = parent;
    child->prev = parent->last;
    child->next = nullptr;
    if (parent->last != nullptr) {
        parent->last->next = child;
    } else {
        parent->children = child;
    }
    parent->last = child;
}

// Prefs that keep a stylesheet from reading other files (document()), writing files or
// reaching the network while it transforms. Imports and includes are read when the stylesheet
// compiles, before these apply.
class SecurityPrefs {
  public:
    SecurityPrefs() : prefs_(xsltNewSecurityPrefs()) {
        if (prefs_ == nullptr) return;
        for (xsltSecurityOption option :
             {XSLT_SECPREF_READ_FILE, XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
              XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK}) {
            if (xsltSetSecurityPrefs(prefs_, option, xsltSecurityForbid) != 0) {
                xsltFreeSecurityPrefs(prefs_);
                prefs_ = nullptr;
                return;
            }
        }
    }
    ~SecurityPrefs() {
        if (prefs_ != nullptr) xsltFreeSecurityPrefs(prefs_);
    }
    SecurityPrefs(const SecurityPrefs&) = delete;
    SecurityPrefs& operator=(const SecurityPrefs&) = delete;
    xsltSecurityPrefsPtr get() const { return prefs_; }

  private:
    xsltSecurityPrefsPtr prefs_;
};

void RecordTransformError(void* failed, const char*, ...) {
    *static_cast<bool*>(failed) = true;
}

}  // namespace

struct Document::State {
    xmlDocPtr doc = nullptr;
    // Nodes created here; those never linked into the tree are freed with the document.
    std::vector<xmlNodePtr> created;
    // After a transform: the stylesheet whose output settings the save follows.
    xsltStylesheetPtr outputStyle = nullptr;
    TextVisitBudget textVisits;

    // Room in `created` before a node is made, so that a node once made is always accounted
    // for (a failed allocation afterwards would leak it).
    void MakeRoomForNode() {
        if (created.size() == created.capacity())
            created.reserve(std::max<std::size_t>(64, 2 * created.capacity()));
    }

    void Reset(xmlDocPtr replacement) {
        Free();
        doc = replacement;
        textVisits.Renew();
    }

    void Free() {
        // Find every unlinked subtree while all created nodes are still alive, then free them.
        // Sorted in place: this runs in a destructor, where a failed allocation would end
        // the process.
        const auto linked = std::partition(created.begin(), created.end(),
                                           [](xmlNodePtr node) { return node->parent == nullptr; });
        for (auto node = created.begin(); node != linked; ++node) xmlFreeNode(*node);
        created.clear();
        if (outputStyle != nullptr) xsltFreeStylesheet(outputStyle);
        outputStyle = nullptr;
        if (doc != nullptr) xmlFreeDoc(doc);
        doc = nullptr;
    }

    ~State() { Free(); }
};

std::unique_ptr<Document> Document::Create() {
    InitialiseLibxml2Once();
    auto state = std::unique_ptr<State>(new (std::nothrow) State);
    if (state == nullptr) return nullptr;
    state->doc = NewDocument();
    if (state->doc == nullptr) return nullptr;
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

bool Document::Parse(std::string_view input, bool utf8Text, ParseError& error) {
    state_->Reset(NewDocument());
    FileEncoding encoding;
    bool wellFormed = false;
    HeldBlanks held;
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> parsed =
        ParseWithLibxml2(input, utf8Text, InstallTreeBuilding, &held, error, encoding, wellFormed);
    if (!wellFormed) return false;
    state_->Reset(parsed.release());
    return true;
}

namespace {

// libxml2's output callback: appends to a string; a failed allocation is a failed write,
// never an exception unwinding through libxml2.
int AppendToString(void* text, const char* buffer, int length) noexcept {
    try {
        static_cast<std::string*>(text)->append(buffer, static_cast<std::size_t>(length));
        return length;
    } catch (...) {
        return -1;
    }
}

// The document as UTF-8: naming UTF-8 (rather than none) keeps characters as they are.
bool SerializeDocument(xmlDocPtr doc, std::string& text) {
    xmlSaveCtxtPtr save = xmlSaveToIO(AppendToString, nullptr, &text, "UTF-8", 0);
    if (save == nullptr) return false;
    const bool written = xmlSaveDoc(save, doc) >= 0;
    // The close flushes; only when it succeeds is everything written.
    return xmlSaveClose(save) >= 0 && written;
}

// A transform's result as the stylesheet's output element says (only this honours its indent
// setting), through a buffer without an encoder, so that the text stays UTF-8 whatever
// encoding the declaration names.
bool SerializeTransformResult(xmlDocPtr doc, xsltStylesheetPtr style, std::string& text) {
    xmlOutputBufferPtr output = xmlOutputBufferCreateIO(AppendToString, nullptr, &text, nullptr);
    if (output == nullptr) return false;
    // Closing the buffer reports neither a failed flush nor an earlier error: check both first.
    const bool written = xsltSaveResultTo(output, doc, style) >= 0 &&
                         xmlOutputBufferFlush(output) >= 0 && output->error == 0;
    return xmlOutputBufferClose(output) >= 0 && written;
}

}  // namespace

// libxslt keeps an empty text, and libxml2 indents by its default of two spaces.
IndentedLayout EngineIndentedLayout() {
    return IndentedLayout{"  ", true};
}

bool Document::Serialize(SerializedDocument& out) const {
    out = SerializedDocument();
    CapturedErrors captured;
    const xmlChar* encoding = state_->doc->encoding;
    bool written = false;
    if (state_->outputStyle != nullptr) {
        encoding = nullptr;
        XSLT_GET_IMPORT_PTR(encoding, state_->outputStyle, encoding)
        written = SerializeTransformResult(state_->doc, state_->outputStyle, out.text);
    } else {
        written = SerializeDocument(state_->doc, out.text);
    }
    out.encoding = encoding != nullptr ? Chars(encoding) : "UTF-8";
    return written;
}

bool Document::AppendProcessingInstruction(std::string_view target, std::string_view data) {
    xmlDocPtr doc = state_->doc;
    if (target == "xml") {
        // libxml2 writes the declaration from the document's own fields; a node named "xml"
        // would become a second declaration.
        const std::string version = PseudoAttributeValue(data, "version");
        const std::string encoding = PseudoAttributeValue(data, "encoding");
        if (!encoding.empty()) {
            // Only an encoding that libxml2 can write may be declared.
            xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding.c_str());
            if (handler == nullptr) return false;
            xmlCharEncCloseFunc(handler);
        }
        if (!version.empty()) {
            xmlFree(const_cast<xmlChar*>(doc->version));
            doc->version = xmlStrdup(Xml(version.c_str()));
        }
        if (!encoding.empty()) {
            xmlFree(const_cast<xmlChar*>(doc->encoding));
            doc->encoding = xmlStrdup(Xml(encoding.c_str()));
        }
        return true;
    }
    xmlNodePtr instruction =
        xmlNewDocPI(doc, Xml(std::string(target).c_str()), Xml(std::string(data).c_str()));
    if (instruction == nullptr) return false;
    LinkLast(reinterpret_cast<xmlNodePtr>(doc), instruction);
    return true;
}

Node Document::CreateElement(std::string_view name) {
    const char* encoding = state_->doc->encoding != nullptr ? Chars(state_->doc->encoding) : "";
    if (!IsCreatableElementName(name, encoding)) return Node();
    state_->MakeRoomForNode();
    xmlNodePtr element =
        xmlNewDocNode(state_->doc, nullptr, Xml(std::string(name).c_str()), nullptr);
    if (element == nullptr) return Node();
    state_->created.push_back(element);
    return Node(element);
}

Node Document::CreateTextNode(std::string_view text) {
    if (!IsXmlText(text)) return Node();
    state_->MakeRoomForNode();
    xmlNodePtr node =
        xmlNewDocTextLen(state_->doc, Xml(text.data()), static_cast<int>(text.size()));
    if (node == nullptr) return Node();
    state_->created.push_back(node);
    return Node(node);
}

bool Document::AppendChild(Node parent, Node child) {
    xmlNodePtr childNode = NodeOf(child.handle_);
    if (childNode == nullptr || childNode->parent != nullptr || childNode->doc != state_->doc)
        return false;
    xmlNodePtr parentNode =
        parent ? NodeOf(parent.handle_) : reinterpret_cast<xmlNodePtr>(state_->doc);
    if (parentNode->type != XML_ELEMENT_NODE && parentNode->type != XML_DOCUMENT_NODE) return false;
    if (parentNode->doc != state_->doc && parentNode != reinterpret_cast<xmlNodePtr>(state_->doc))
        return false;
    // A node may not become a child of itself or of one of its descendants.
    for (xmlNodePtr ancestor = parentNode; ancestor != nullptr; ancestor = ancestor->parent) {
        if (ancestor == childNode) return false;
    }
    LinkLast(parentNode, childNode);
    return true;
}

Node Document::DocumentElement() const {
    return Node(xmlDocGetRootElement(state_->doc));
}

Node Document::FirstChild(Node node) const {
    xmlNodePtr xmlNode = NodeOf(node.handle_);
    // An entity reference's child is the entity declaration, not a child in the tree.
    if (xmlNode == nullptr || xmlNode->type == XML_ENTITY_REF_NODE) return Node();
    return Node(xmlNode->children);
}

Node Document::NextSibling(Node node) const {
    xmlNodePtr xmlNode = NodeOf(node.handle_);
    return Node(xmlNode != nullptr ? xmlNode->next : nullptr);
}

bool Document::IsElement(Node node) const {
    xmlNodePtr xmlNode = NodeOf(node.handle_);
    return xmlNode != nullptr && xmlNode->type == XML_ELEMENT_NODE;
}

NodeKind Document::KindOf(Node node) const {
    xmlNodePtr xmlNode = NodeOf(node.handle_);
    if (xmlNode == nullptr) return NodeKind::Other;
    switch (xmlNode->type) {
        case XML_ELEMENT_NODE:
            return NodeKind::Element;
        case XML_TEXT_NODE:
            return NodeKind::Text;
        case XML_CDATA_SECTION_NODE:
            return NodeKind::CData;
        case XML_COMMENT_NODE:
            return NodeKind::Comment;
        case XML_PI_NODE:
            return NodeKind::ProcessingInstruction;
        case XML_ENTITY_REF_NODE:
            return NodeKind::EntityReference;
        default:
            return NodeKind::Other;
    }
}

bool Document::Value(Node node, std::string& out) const {
    out.clear();
    if (!HoldsValue(KindOf(node))) return true;
    const xmlChar* content = NodeOf(node.handle_)->content;
    if (content != nullptr) out.assign(Chars(content));
    return true;
}

std::string Document::NodeName(Node node) const {
    xmlNodePtr xmlNode = NodeOf(node.handle_);
    if (xmlNode == nullptr) return std::string();
    switch (xmlNode->type) {
        case XML_TEXT_NODE:
            return "#text";
        case XML_CDATA_SECTION_NODE:
            return "#cdata-section";
        case XML_COMMENT_NODE:
            return "#comment";
        case XML_DOCUMENT_NODE:
            return "#document";
        case XML_ELEMENT_NODE:
            if (xmlNode->ns != nullptr && xmlNode->ns->prefix != nullptr) {
                return std::string(Chars(xmlNode->ns->prefix)) + ":" + Chars(xmlNode->name);
            }
            return Chars(xmlNode->name);
        default:
            return xmlNode->name != nullptr ? Chars(xmlNode->name) : std::string();
    }
}

long Document::LineOf(Node node) const {
    xmlNodePtr xmlNode = NodeOf(node.handle_);
    return xmlNode != nullptr ? xmlGetLineNo(xmlNode) : 0;
}

bool Document::HasName(Node node, std::string_view name) const {
    xmlNodePtr xmlNode = NodeOf(node.handle_);
    if (xmlNode == nullptr) return false;
    // Elements without a prefix are compared in place, byte by byte up to the first
    // difference (usually the first byte); they are nearly all a setup file holds.
    if (xmlNode->type == XML_ELEMENT_NODE &&
        (xmlNode->ns == nullptr || xmlNode->ns->prefix == nullptr)) {
        const char* nodeName = Chars(xmlNode->name);
        std::size_t at = 0;
        for (; at < name.size(); ++at) {
            if (nodeName[at] != name[at] || nodeName[at] == '\0') return false;
        }
        return nodeName[at] == '\0';
    }
    return NodeName(node) == name;
}

bool Document::Text(Node node, std::size_t maxBytes, std::string& out) {
    out.clear();
    xmlNodePtr start = NodeOf(node.handle_);
    if (start == nullptr) return true;
    // Nearly every value is an element holding one text node: no walk needed.
    xmlNodePtr only = start->children;
    if (start->type == XML_ELEMENT_NODE &&
        (only == nullptr || (only->next == nullptr && only->type == XML_TEXT_NODE))) {
        if (!state_->textVisits.Spend(2)) return false;
        if (only != nullptr && only->content != nullptr)
            AppendWithin(out, Chars(only->content), maxBytes);
        return true;
    }
    std::vector<xmlNodePtr> pending{NodeOf(node.handle_)};
    bool atStart = true;
    while (!pending.empty()) {
        xmlNodePtr current = pending.back();
        if (current == nullptr) {
            pending.pop_back();
            continue;
        }
        // Move this level on to the next sibling, except for the starting node, whose siblings
        // are not beneath it.
        pending.back() = atStart ? nullptr : current->next;
        atStart = false;
        if (!state_->textVisits.Spend(1)) return false;
        switch (current->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                if (current->content != nullptr &&
                    !AppendWithin(out, Chars(current->content), maxBytes))
                    return true;
                break;
            case XML_ELEMENT_NODE:
            case XML_DOCUMENT_NODE:
                pending.push_back(current->children);
                break;
            case XML_ENTITY_REF_NODE: {
                // The reference's child is the entity declaration; its children are the
                // parsed replacement text (none for an external entity, which is never read).
                xmlNodePtr declaration = current->children;
                if (declaration != nullptr && declaration->type == XML_ENTITY_DECL) {
                    pending.push_back(declaration->children);
                }
                break;
            }
            default:
                break;  // comments and processing instructions hold no text
        }
    }
    return true;
}

namespace {

TopLevelNodes::Kind TopLevelKindOf(xmlElementType type) {
    switch (type) {
        case XML_ELEMENT_NODE:
            return TopLevelNodes::Kind::Element;
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
        case XML_DTD_NODE:
            return TopLevelNodes::Kind::Markup;
        case XML_TEXT_NODE:
            return TopLevelNodes::Kind::Text;
        default:
            return TopLevelNodes::Kind::Other;
    }
}

// Whether the result of a transform, written out, is an XML document that loads back: the
// output method is XML, and the top level holds one document (see TopLevelNodes).
bool IsLoadableXml(xmlDocPtr output, xsltStylesheetPtr style) {
    const xmlChar* method = nullptr;
    XSLT_GET_IMPORT_PTR(method, style, method)
    const xmlChar* methodUri = nullptr;
    XSLT_GET_IMPORT_PTR(methodUri, style, methodURI)
    if (output->type != XML_DOCUMENT_NODE || methodUri != nullptr ||
        (method != nullptr && !xmlStrEqual(method, Xml("xml")))) {
        return false;
    }
    TopLevelNodes topLevel;
    for (xmlNodePtr node = output->children; node != nullptr; node = node->next) {
        // Only a text node's content is text (a document type's node has no such field).
        const bool text = node->type == XML_TEXT_NODE && node->content != nullptr;
        if (!topLevel.Take(TopLevelKindOf(node->type), text ? Chars(node->content) : ""))
            return false;
    }
    return topLevel.OneDocument();
}

}  // namespace

bool Document::TransformInto(const Document& stylesheet, Document& result) const {
    CapturedErrors captured;
    xmlDocPtr copy = xmlCopyDoc(stylesheet.state_->doc, 1);
    if (copy == nullptr) return false;
    // The stylesheet takes the copy over when it compiles; when it does not, the copy is ours.
    xsltStylesheetPtr style = xsltParseStylesheetDoc(copy);
    if (style == nullptr) {
        xmlFreeDoc(copy);
        return false;
    }
    SecurityPrefs prefs;
    xsltTransformContextPtr context =
        prefs.get() != nullptr ? xsltNewTransformContext(style, state_->doc) : nullptr;
    if (context == nullptr || xsltSetCtxtSecurityPrefs(prefs.get(), context) != 0) {
        if (context != nullptr) xsltFreeTransformContext(context);
        xsltFreeStylesheet(style);
        return false;
    }
    bool failed = false;
    xsltSetTransformErrorFunc(context, &failed, RecordTransformError);
    xmlDocPtr output =
        xsltApplyStylesheetUser(style, state_->doc, nullptr, nullptr, nullptr, context);
    failed = failed || output == nullptr || context->state == XSLT_STATE_ERROR ||
             context->state == XSLT_STATE_STOPPED || !IsLoadableXml(output, style);
    xsltFreeTransformContext(context);
    if (failed) {
        if (output != nullptr) xmlFreeDoc(output);
        xsltFreeStylesheet(style);
        return false;
    }
    result.state_->Reset(output);
    result.state_->outputStyle = style;
    return true;
}

}  // namespace korvane::xml
