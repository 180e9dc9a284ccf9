// The text of an XML file as the platform's XML component is handed it on Windows: decoded
// into UTF-16 by the library, by its byte-order mark or the encoding its declaration names,
// with the encoding pseudo-attribute taken out of the declaration (the component would try to
// decode the text again, and cannot decode every encoding).
#pragma once

#include <string>
#include <string_view>

namespace korvane::xml {

struct DocumentText {
    std::u16string text;
    std::string encoding;  // what the declaration named; empty when it named none
};

// Decodes a file's `bytes` in the encoding ChooseFileEncoding decides (a byte-order mark over
// the declaration). False (with `failure` saying why) for UCS-4, truncated UTF-16, an encoding
// the table of encoding names lacks, or bytes that are not valid in the encoding.
bool DecodeDocumentBytes(std::string_view bytes, DocumentText& out, std::string& failure);

// The same for UTF-8 `text`, whatever encoding its declaration names.
bool DecodeDocumentText(std::string_view text, DocumentText& out, std::string& failure);

}  // namespace korvane::xml
