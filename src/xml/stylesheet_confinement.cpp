#include "xml/stylesheet_confinement.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "xml/xml_rules.h"

namespace korvane::xml {
namespace {

constexpr std::string_view kXsltNamespace = "http://www.w3.org/1999/XSL/Transform";
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
// Namespaces whose elements the Windows component runs as code, compared without regard to
// case (the component may not care either).
constexpr std::string_view kScriptNamespace = "urn:schemas-microsoft-com:xslt";
constexpr std::string_view kOldXslNamespace = "http://www.w3.org/TR/WD-xsl";
constexpr int kMaxImportDepth = 8;

// The elements of XSLT 1.0, sorted.
constexpr std::string_view kXsltElements[] = {"apply-imports",
                                              "apply-templates",
                                              "attribute",
                                              "attribute-set",
                                              "call-template",
                                              "choose",
                                              "comment",
                                              "copy",
                                              "copy-of",
                                              "decimal-format",
                                              "element",
                                              "fallback",
                                              "for-each",
                                              "if",
                                              "import",
                                              "include",
                                              "key",
                                              "message",
                                              "namespace-alias",
                                              "number",
                                              "otherwise",
                                              "output",
                                              "param",
                                              "preserve-space",
                                              "processing-instruction",
                                              "sort",
                                              "strip-space",
                                              "stylesheet",
                                              "template",
                                              "text",
                                              "transform",
                                              "value-of",
                                              "variable",
                                              "when",
                                              "with-param"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

bool IsScriptNamespace(std::string_view uri) {
    return EqualsIgnoringCase(uri, kScriptNamespace) || EqualsIgnoringCase(uri, kOldXslNamespace);
}

bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the XPath expression `expression` calls no function but those of XPath and XSLT
// that stay inside the documents at hand. It follows XPath's tokens: literals are skipped
// whole, and a name followed by '(' (past any white space) is a call unless it is a node type
// test. Names are read from ASCII characters only, and other characters are passed over like
// white space, so that no character the processor might take for a separator hides a call.
bool CallsOnlyConfinedFunctions(std::string_view expression) {
    const std::size_t n = expression.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = expression[i];
        if (c == '\'' || c == '"') {
            const std::size_t end = expression.find(c, i + 1);
            if (end == std::string_view::npos) return true;  // not an expression at all
            i = end + 1;
        } else if (IsDigit(c)) {
            while (i < n && (IsDigit(expression[i]) || expression[i] == '.')) ++i;
        } else if (!IsNameStart(c)) {
            ++i;
        } else {
            const std::size_t start = i;
            while (i < n && IsNameChar(expression[i])) ++i;
            bool prefixed = false;
            if (i + 1 < n && expression[i] == ':' && IsNameStart(expression[i + 1])) {
                prefixed = true;
                for (++i; i < n && IsNameChar(expression[i]);) ++i;
            }
            const std::string_view name = expression.substr(start, i - start);
            std::size_t next = i;
            while (next < n && (IsXmlSpace(expression[next]) ||
                                static_cast<unsigned char>(expression[next]) >= 0x80))
                ++next;
            if (next < n && expression[next] == '(' && (prefixed || name == "document"))
                return false;
        }
    }
    return true;
}

// The same for each expression of the attribute value template `value`: the text between
// '{' and the '}' that closes it outside a literal; "{{" is a literal brace.
bool TemplateCallsOnlyConfinedFunctions(std::string_view value) {
    const std::size_t n = value.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (value[i] != '{') continue;
        if (i + 1 < n && value[i + 1] == '{') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < n && value[end] != '}') {
            if (value[end] == '\'' || value[end] == '"') {
                const std::size_t close = value.find(value[end], end + 1);
                end = close == std::string_view::npos ? n : close + 1;
            } else {
                ++end;
            }
        }
        if (!CallsOnlyConfinedFunctions(value.substr(i + 1, end - i - 1))) return false;
        i = end;
    }
    return true;
}

struct Attribute {
    std::string name;
    std::string value;  // references replaced by their characters
};

// Follows the markup of one stylesheet, a well-formed document as the XML component writes it
// out, with the namespaces in scope.
class StylesheetScan {
  public:
    StylesheetScan(std::string_view text, std::string folder, const StylesheetReader& read,
                   int depth)
        : text_(text), folder_(std::move(folder)), read_(read), depth_(depth) {}

    bool Confined() {
        while (position_ < text_.size()) {
            const std::size_t open = text_.find('<', position_);
            if (open == std::string_view::npos) return true;
            position_ = open;
            if (!Markup()) return false;
        }
        return true;
    }

  private:
    bool StartsWith(std::string_view prefix) const {
        return text_.substr(position_, prefix.size()) == prefix;
    }
    // Moves past the next `end`; false when there is none.
    bool SkipPast(std::string_view end) {
        const std::size_t found = text_.find(end, position_);
        if (found == std::string_view::npos) return false;
        position_ = found + end.size();
        return true;
    }
    void SkipSpace() {
        while (position_ < text_.size() && IsXmlSpace(text_[position_])) ++position_;
    }
    std::string_view Name() {
        const std::size_t start = position_;
        while (position_ < text_.size() && !IsXmlSpace(text_[position_]) &&
               text_[position_] != '/' && text_[position_] != '>' && text_[position_] != '=')
            ++position_;
        return text_.substr(start, position_ - start);
    }

    bool Markup() {
        if (StartsWith("<!--")) return SkipPast("-->");
        if (StartsWith("<![CDATA[")) return SkipPast("]]>");
        if (StartsWith("<?")) return SkipPast("?>");
        if (StartsWith("<!")) return false;  // a document type declaration
        if (StartsWith("</")) {
            if (scopes_.empty() || !SkipPast(">")) return false;
            bindings_.resize(scopes_.back());
            scopes_.pop_back();
            return true;
        }
        ++position_;
        return StartTag();
    }

    bool StartTag() {
        const std::string_view name = Name();
        std::vector<Attribute> attributes;
        bool empty = false;
        for (;;) {
            SkipSpace();
            if (position_ >= text_.size()) return false;
            if (text_[position_] == '>') break;
            if (StartsWith("/>")) {
                empty = true;
                ++position_;
                break;
            }
            Attribute attribute;
            attribute.name = std::string(Name());
            SkipSpace();
            if (attribute.name.empty() || !StartsWith("=")) return false;
            ++position_;
            SkipSpace();
            if (position_ >= text_.size()) return false;
            const char quote = text_[position_];
            const std::size_t end = text_.find(quote, position_ + 1);
            if ((quote != '"' && quote != '\'') || end == std::string_view::npos ||
                !Unescape(text_.substr(position_ + 1, end - position_ - 1), attribute.value))
                return false;
            position_ = end + 1;
            attributes.push_back(std::move(attribute));
        }
        ++position_;
        scopes_.push_back(bindings_.size());
        for (const Attribute& attribute : attributes) {
            if (attribute.name == "xmlns") bindings_.push_back({"", attribute.value});
            if (attribute.name.rfind("xmlns:", 0) == 0)
                bindings_.push_back({attribute.name.substr(6), attribute.value});
        }
        if (!ElementConfined(name, attributes)) return false;
        if (empty) {
            bindings_.resize(scopes_.back());
            scopes_.pop_back();
        }
        return true;
    }

    // The namespace of a prefixed name, or of an unprefixed element (`element`); false when
    // the prefix is not bound.
    bool NamespaceOf(std::string_view name, bool element, std::string_view& uri,
                     std::string_view& local) const {
        const std::size_t colon = name.find(':');
        const std::string_view prefix =
            colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
        local = colon == std::string_view::npos ? name : name.substr(colon + 1);
        uri = std::string_view();
        if (prefix.empty() && !element) return true;
        if (prefix == "xml") {
            uri = kXmlNamespace;
            return true;
        }
        for (auto binding = bindings_.rbegin(); binding != bindings_.rend(); ++binding) {
            if (binding->first == prefix) {
                uri = binding->second;
                return true;
            }
        }
        return prefix.empty();
    }

    bool ElementConfined(std::string_view name, const std::vector<Attribute>& attributes) {
        std::string_view uri, local;
        if (!NamespaceOf(name, true, uri, local) || IsScriptNamespace(uri)) return false;
        if (uri == kXsltNamespace) {
            if (!std::binary_search(std::begin(kXsltElements), std::end(kXsltElements), local))
                return false;
            if (local == "import" || local == "include") {
                const auto href = std::find_if(
                    attributes.begin(), attributes.end(),
                    [](const Attribute& attribute) { return attribute.name == "href"; });
                if (href == attributes.end() || !ImportConfined(href->value)) return false;
            }
        }
        for (const Attribute& attribute : attributes) {
            if (attribute.name == "xmlns" || attribute.name.rfind("xmlns:", 0) == 0) continue;
            if (!NamespaceOf(attribute.name, false, uri, local) || IsScriptNamespace(uri) ||
                local == "extension-element-prefixes" ||
                (uri == kXmlNamespace && local == "base") ||
                !CallsOnlyConfinedFunctions(attribute.value) ||
                !TemplateCallsOnlyConfinedFunctions(attribute.value))
                return false;
        }
        return true;
    }

    bool ImportConfined(std::string_view href) {
        const std::string path = ImportedStylesheetPath(folder_, href);
        std::string text;
        if (depth_ >= kMaxImportDepth || path.empty() || !read_ || !read_(path, text)) return false;
        return StylesheetScan(text, path.substr(0, path.rfind('/') + 1), read_, depth_ + 1)
            .Confined();
    }

    // `raw` with its character and entity references replaced (see below for characters
    // beyond ASCII); false for any other entity.
    static bool Unescape(std::string_view raw, std::string& out) {
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '&') {
                out += raw[i];
                continue;
            }
            const std::size_t end = raw.find(';', i);
            if (end == std::string_view::npos) return false;
            const std::string_view entity = raw.substr(i + 1, end - i - 1);
            i = end;
            if (entity == "lt")
                out += '<';
            else if (entity == "gt")
                out += '>';
            else if (entity == "amp")
                out += '&';
            else if (entity == "quot")
                out += '"';
            else if (entity == "apos")
                out += '\'';
            else if (entity.size() > 1 && entity[0] == '#') {
                const bool hex = entity[1] == 'x';
                const std::string_view digits = entity.substr(hex ? 2 : 1);
                std::uint32_t code = 0;
                if (digits.empty() || digits.size() > 8) return false;
                for (const char d : digits) {
                    const int value = IsDigit(d)                    ? d - '0'
                                      : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                                      : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                                    : -1;
                    if (value < 0) return false;
                    code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
                }
                // Only ASCII matters to the checks; any other character stands for itself as
                // one byte that is not ASCII.
                out += code < 0x80 ? static_cast<char>(code) : '\x80';
            } else {
                return false;
            }
        }
        return true;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::string folder_;
    const StylesheetReader& read_;
    int depth_;
    // Namespace prefixes in scope, innermost last, and how many there were at each open
    // element.
    std::vector<std::pair<std::string, std::string>> bindings_;
    std::vector<std::size_t> scopes_;
};

}  // namespace

bool IsConfinedStylesheet(std::string_view text, const StylesheetReader& read) {
    return StylesheetScan(text, std::string(), read, 0).Confined();
}

std::string ImportedStylesheetPath(std::string_view folder, std::string_view href) {
    if (href.empty() || href.front() == '/') return std::string();
    for (const char c : href) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x80 || c == ':' || c == '\\' || c == '%' || c == '?' ||
            c == '#')
            return std::string();
    }
    return std::string(folder) + std::string(href);
}

}  // namespace korvane::xml
