#include "xml/xml_writer.h"

#include <utility>

namespace korvane::xml {
namespace {

// Appends `text`, each character `escape` names replaced by what it returns.
template <typename Escape>
void AppendEscaped(std::string& out, std::string_view text, Escape escape) {
    std::size_t run = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char* replacement = escape(text[at]);
        if (replacement == nullptr) continue;
        out.append(text, run, at - run);
        out.append(replacement);
        run = at + 1;
    }
    out.append(text, run, std::string_view::npos);
}

const char* TextEscape(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '\r':
            return "&#13;";
        default:
            return nullptr;
    }
}

// An attribute value's line ends and tabs would be normalised to blanks by a parser.
const char* AttributeEscape(char c) {
    switch (c) {
        case '"':
            return "&quot;";
        case '\n':
            return "&#10;";
        case '\t':
            return "&#9;";
        default:
            return TextEscape(c);
    }
}

}  // namespace

void XmlWriter::StartElement(std::string_view name) {
    CloseStartTag();
    out_.push_back('<');
    out_.append(name);
    open_.emplace_back(name);
    startTagOpen_ = true;
}

void XmlWriter::Attribute(std::string_view name, std::string_view value) {
    out_.push_back(' ');
    out_.append(name);
    out_.append("=\"");
    AppendEscaped(out_, value, AttributeEscape);
    out_.push_back('"');
}

void XmlWriter::EndElement() {
    if (startTagOpen_) {
        out_.append("/>");
        startTagOpen_ = false;
    } else {
        out_.append("</");
        out_.append(open_.back());
        out_.push_back('>');
    }
    open_.pop_back();
}

void XmlWriter::Text(std::string_view text) {
    CloseStartTag();
    AppendEscaped(out_, text, TextEscape);
}

void XmlWriter::CData(std::string_view text) {
    CloseStartTag();
    // A section cannot hold "]]>", and a raw CR in it would be read as a line feed.
    out_.append("<![CDATA[");
    std::size_t run = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\r') {
            out_.append(text, run, at - run);
            out_.append("]]>&#13;<![CDATA[");
            run = at + 1;
        } else if (text.compare(at, 3, "]]>") == 0) {
            // "]]" ends this section, ">" starts the next.
            out_.append(text, run, at + 2 - run);
            out_.append("]]><![CDATA[");
            run = at + 2;
        }
    }
    out_.append(text, run, std::string_view::npos);
    out_.append("]]>");
}

void XmlWriter::Comment(std::string_view text) {
    CloseStartTag();
    out_.append("<!--");
    out_.append(text);
    out_.append("-->");
}

void XmlWriter::ProcessingInstruction(std::string_view target, std::string_view data) {
    CloseStartTag();
    out_.append("<?");
    out_.append(target);
    if (!data.empty()) {
        out_.push_back(' ');
        out_.append(data);
    }
    out_.append("?>");
}

void XmlWriter::Layout(std::string_view blanks) {
    CloseStartTag();
    out_.append(blanks);
}

std::string XmlWriter::Take() {
    return std::exchange(out_, std::string());
}

void XmlWriter::CloseStartTag() {
    if (!startTagOpen_) return;
    out_.push_back('>');
    startTagOpen_ = false;
}

}  // namespace korvane::xml
