#include "xml/document_text_windows.h"

#include "platform/encoded_text_windows.h"
#include "xml/file_encoding.h"
#include "xml/xml_declaration.h"

namespace korvane::xml {
namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// Takes the encoding pseudo-attribute out of the text's declaration, remembering its value.
void StripDeclaredEncoding(DocumentText& document) {
    const std::string declaration = DeclarationAtStart(document.text);
    const auto encoding =
        declaration.empty() ? std::nullopt : FindPseudoAttribute(declaration, "encoding");
    if (!encoding) return;
    document.encoding =
        declaration.substr(encoding->valueBegin, encoding->valueEnd - encoding->valueBegin);
    // From the blank before its name to its closing quote; its line breaks stay, so that every
    // node keeps the line it has in the file.
    const std::size_t from = encoding->name - 1;
    const std::size_t to = encoding->valueEnd + 1;
    std::u16string lineBreaks;
    for (std::size_t at = from; at < to; ++at) {
        const char16_t unit = document.text[at];
        if (unit == u'\r' || unit == u'\n') lineBreaks.push_back(unit);
    }
    document.text.replace(from, to - from, lineBreaks);
}

}  // namespace

bool DecodeDocumentBytes(std::string_view bytes, DocumentText& out, std::string& failure) {
    out = DocumentText();
    FileEncoding encoding;
    if (!ChooseFileEncoding(bytes, encoding, failure)) return false;
    if (encoding.known == nullptr) {
        failure = "the encoding " + encoding.declared + ", which this system cannot read";
        return false;
    }
    if (!platform::DecodeToUtf16(encoding.known->name, bytes.substr(encoding.markLength),
                                 out.text)) {
        const bool byName = !encoding.decidedByBytes && !encoding.declared.empty();
        failure = "bytes that are not valid " +
                  (byName ? encoding.declared : std::string(encoding.known->converter));
        return false;
    }
    StripDeclaredEncoding(out);
    return true;
}

bool DecodeDocumentText(std::string_view text, DocumentText& out, std::string& failure) {
    out = DocumentText();
    if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    if (!platform::Utf8ToUtf16(text, out.text)) {
        failure = "text that is not valid UTF-8";
        return false;
    }
    StripDeclaredEncoding(out);
    // Text has no encoding of its own.
    out.encoding.clear();
    return true;
}

}  // namespace korvane::xml
