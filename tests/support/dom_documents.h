// Documents for tests of the DOM seam: parsed, read back and saved as a save would write them.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "xml/dom.h"
#include "xml/xml_encoding.h"

namespace korvane::testing {

// The project's own stylesheet, data/indent.xsl.
inline std::string IndentStylesheet() {
    std::ifstream file(KORVANE_INDENT_XSL, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A document parsed from a file's `bytes`, which must load.
inline std::unique_ptr<xml::Document> Parsed(const std::string& bytes) {
    auto document = xml::Document::Create();
    xml::ParseError error;
    EXPECT_TRUE(document->ParseBytes(bytes, error)) << error.text << " in " << bytes;
    return document;
}

// The text beneath `node`, at most `maxBytes` bytes.
inline std::string TextOf(xml::Document& document, xml::Node node, std::size_t maxBytes = 1000) {
    std::string text;
    EXPECT_TRUE(document.Text(node, maxBytes, text));
    return text;
}

// The names of the nodes the navigation reports beneath `node`.
inline std::vector<std::string> ChildNames(const xml::Document& document, xml::Node node) {
    std::vector<std::string> names;
    for (xml::Node child = document.FirstChild(node); child; child = document.NextSibling(child))
        names.push_back(document.NodeName(child));
    return names;
}

// The file a save writes for `source`: pretty-printed through indent.xsl, then encoded.
inline std::string SavedBytes(const xml::Document& source) {
    auto stylesheet = Parsed(IndentStylesheet());
    auto result = xml::Document::Create();
    EXPECT_TRUE(source.TransformInto(*stylesheet, *result));
    xml::SerializedDocument serialized;
    EXPECT_TRUE(result->Serialize(serialized));
    std::string bytes;
    EXPECT_TRUE(xml::EncodeXmlText(serialized.text, serialized.encoding, bytes));
    return bytes;
}

}  // namespace korvane::testing
