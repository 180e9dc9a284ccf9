// How the bytes of an XML file are to be decoded, decided once for both builds: a byte-order
// mark first, then the UTF-16 that the first bytes show, then the name the XML declaration
// gives (through the table of encoding names), then UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/encoding_names.h"
#include "xml/xml_rules.h"

namespace korvane::xml {

struct FileEncoding {
    std::size_t markLength = 0;   // bytes of the byte-order mark the file starts with
    bool decidedByBytes = false;  // by the mark or the first bytes, not by the declaration
    // The table's entry for the encoding; null for a declared name the table lacks.
    const platform::EncodingName* known = nullptr;
    std::string declared;  // what the declaration names; empty when it names nothing
    // True when the bytes decided (a byte-order mark, UTF-16 in the first bytes) and the
    // declaration names another encoding, which XML calls an error; the bytes win, since files
    // saved that way loaded before.
    bool contradicted = false;
};

// Decides how `bytes` are decoded. False (with `failure` saying why) for UCS-4, which setup
// files are never written in, and for UTF-16 that ends inside a code unit.
bool ChooseFileEncoding(std::string_view bytes, FileEncoding& out, std::string& failure);

// The XML declaration at the start of `text` (bytes or UTF-16 code units) as ASCII, other
// characters as '?', without its closing "?>"; empty when the text has none.
template <typename Text>
std::string DeclarationAtStart(const Text& text) {
    constexpr std::size_t kMaxDeclarationLength = 1024;
    std::string declaration;
    for (std::size_t at = 0; at < text.size() && at < kMaxDeclarationLength; ++at) {
        const auto unit = static_cast<std::uint32_t>(text[at]) & 0xFFFFu;
        if (unit == '>' && !declaration.empty() && declaration.back() == '?') {
            declaration.pop_back();
            const bool isDeclaration = declaration.size() > 5 &&
                                       declaration.compare(0, 5, "<?xml") == 0 &&
                                       IsXmlSpace(declaration[5]);
            return isDeclaration ? declaration : std::string();
        }
        declaration.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return std::string();
}

}  // namespace korvane::xml
