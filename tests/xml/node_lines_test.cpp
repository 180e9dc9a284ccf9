// The line each node of a parsed document starts on, the same on every DOM backend: libxml2's
// own lines, and on Windows the lines of the markup the scan of the document saw.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dom_documents.h"
#include "xml/dom.h"
#include "xml/markup_scanner.h"
#include "xml/xml_encoding.h"

namespace korvane::xml {
namespace {

using testing::Parsed;
using testing::TextOf;

// "name:line" for each node the navigation reaches, in document order: the document element
// with everything beneath it, then the nodes after it. Texts that span lines are left out
// unless `textsOverLines`.
std::vector<std::string> Lines(Document& document, bool textsOverLines = true) {
    std::vector<std::string> lines;
    std::vector<Node> open;  // elements whose children are being listed
    for (Node node = document.DocumentElement(); node || !open.empty();) {
        if (!node) {
            node = document.NextSibling(open.back());
            open.pop_back();
            continue;
        }
        const std::string name = document.NodeName(node);
        if (textsOverLines || name != "#text" ||
            TextOf(document, node).find('\n') == std::string::npos)
            lines.push_back(name + ":" + std::to_string(document.LineOf(node)));
        if (document.IsElement(node)) {
            open.push_back(node);
            node = document.FirstChild(node);
        } else {
            node = document.NextSibling(node);
        }
    }
    return lines;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Each line of this file is numbered in the comment after it: an element's line is the one its
// start tag ends on; a comment's, an instruction's and a CDATA section's the one it ends on; a
// text's the one the markup after it starts on.
const std::string kDocument =
    "<?xml version=\"1.0\"?>\n"          // 1: no node
    "<!-- before\n"                      // 2
    "     the root -->\n"                // 3
    "<?before root?>\n"                  // 4
    "<setup\n"                           // 5
    "    version=\"1\"\n"                // 6
    ">\n"                                // 7: setup
    "  <files><file\n"                   // 8: files
    "      name=\"a>b\"/>\n"             // 9: file
    "    <!-- a comment\n"               // 10
    "    over lines -->\n"               // 11: the comment
    "    <?target data\n"                // 12
    "    over lines?>\n"                 // 13: the instruction
    "    <value>one line</value>\n"      // 14: value, its text
    "    <value>first\n"                 // 15: value
    "second</value>\n"                   // 16: its text
    "    <value>\n"                      // 17: value
    "      indented\n"                   // 18
    "    </value>\n"                     // 19: its text
    "    <value a='1'\n"                 // 20
    "      b='2'>text<!--c-->after\n"    // 21: value, text, comment
    "    </value>\n"                     // 22: the text after the comment
    "    <empty\n"                       // 23
    "    /><closed></closed></files>\n"  // 24: empty, closed
    "</setup>\n"                         // 25
    "<!-- after the root -->\n"          // 26
    "<?after root?>\n";                  // 27

const std::vector<std::string> kDocumentLines = {
    "setup:7",  "files:8",  "file:9",    "#comment:11", "target:13", "value:14", "#text:14",
    "value:15", "#text:16", "value:17",  "#text:19",    "value:21",  "#text:21", "#comment:21",
    "#text:22", "empty:24", "closed:24", "#comment:26", "after:27",
};

// The same with CR LF line ends, texts of one line only: libxml2 puts a text that spans lines
// of a CR LF file on an earlier line than the markup after it.
const std::vector<std::string> kCrLfDocumentLines = {
    "setup:7",  "files:8",   "file:9",      "#comment:11", "target:13", "value:14",
    "#text:14", "value:15",  "value:17",    "value:21",    "#text:21",  "#comment:21",
    "empty:24", "closed:24", "#comment:26", "after:27",
};

TEST(NodeLines, ElementsCommentsInstructionsAndTextsHaveTheirLines) {
    EXPECT_EQ(Lines(*Parsed(kDocument)), kDocumentLines);
}

TEST(NodeLines, CrLfEndsOneLine) {
    EXPECT_EQ(Lines(*Parsed(WithCrLf(kDocument)), false), kCrLfDocumentLines);
    // A CR alone ends no line, for libxml2 as for the scan.
    EXPECT_EQ(Lines(*Parsed("<a>x\ry<b\r/>\r<c/></a>")),
              (std::vector<std::string>{"a:1", "#text:1", "b:1", "c:1"}));
}

TEST(NodeLines, ACDataSectionTakesTheLineOfTheNodeBeforeItOrOfItsParent) {
    const std::string document =
        "<a><![CDATA[x\n"                      // 1: a; the CDATA section takes a's line
        "y]]><b\n"                             // 2
        "/>\n"                                 // 3: b
        "<![CDATA[z]]>\n"                      // 4: b's line
        "<![CDATA[w]]>\n"                      // 5: after a CDATA section, a's line
        "<c>text<![CDATA[d]]></c><!--\n"       // 6: c, its text, the text's line
        "--><![CDATA[e]]><![CDATA[f]]>tail\n"  // 7: the comment, then one node of two sections
        "<g/></a>\n";                          // 8: the text before g, g
    EXPECT_EQ(Lines(*Parsed(document)),
              (std::vector<std::string>{"a:1", "#cdata-section:1", "b:3", "#cdata-section:3",
                                        "#cdata-section:1", "c:6", "#text:6", "#cdata-section:6",
                                        "#comment:7", "#cdata-section:7", "#text:8", "g:8"}));
}

// "kind opens-line" for each position the scan records of `document`, fed in one piece.
std::vector<std::string> Positions(const std::string& document) {
    std::vector<MarkupPosition> positions;
    MarkupScanner scanner;
    scanner.RecordPositions(positions);
    EXPECT_TRUE(
        scanner.Feed(reinterpret_cast<const unsigned char*>(document.data()), document.size()) &&
        scanner.Finish());
    std::vector<std::string> out;
    for (const MarkupPosition& position : positions) {
        const char* kinds[] = {"start", "empty", "end", "comment", "instruction", "cdata"};
        out.push_back(std::string(kinds[static_cast<int>(position.kind)]) + " " +
                      std::to_string(position.opens) + "-" + std::to_string(position.line));
    }
    return out;
}

TEST(NodeLines, TheScanRecordsTheMarkupOfTheContentOnly) {
    // Neither the XML declaration nor the document type declaration and what it holds.
    const std::string document =
        "<?xml version='1.0'?>\n"
        "<!DOCTYPE a [\n"
        "  <!-- in the subset -->\n"
        "  <?in subset?>\n"
        "  <!ATTLIST a b CDATA '>'>\n"
        "]>\n"
        "<?pi?><!--\n"    // 7
        "--><a b='/>'\n"  // 8
        "><c\n"           // 9
        "/><![CDATA[<d>\n"
        "]]></a\n"
        ">";
    EXPECT_EQ(Positions(document),
              (std::vector<std::string>{"instruction 7-7", "comment 7-8", "start 8-9", "empty 9-10",
                                        "cdata 10-11", "end 11-12"}));
    // An instruction at the start that is not the declaration is one.
    EXPECT_EQ(Positions("<?xml-stylesheet href='s'?><a/>"),
              (std::vector<std::string>{"instruction 1-1", "empty 1-1"}));
}

// `text`, UTF-8 of the Basic Multilingual Plane, as UTF-16LE with its byte-order mark.
std::string Utf16Le(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
        unsigned unit = byte(i);
        if (unit < 0x80) {
            i += 1;
        } else if (unit < 0xE0) {
            unit = ((unit & 0x1F) << 6) | (byte(i + 1) & 0x3F);
            i += 2;
        } else {
            unit = ((unit & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
            i += 3;
        }
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

TEST(NodeLines, FilesInOtherEncodingsHaveTheSameLines) {
    EXPECT_EQ(Lines(*Parsed(Utf16Le(kDocument))), kDocumentLines);
    EXPECT_EQ(Lines(*Parsed(Utf16Le(WithCrLf(kDocument))), false), kCrLfDocumentLines);

    // Korean names and texts in euc-kr, and a line break in the declaration.
    const std::string korean =
        "<?xml version=\"1.0\"\n"                                                // 1
        "encoding=\"euc-kr\"?>\n"                                                // 2
        "<\xEC\x84\xA4\xEC\xA0\x95\n"                                            // 3
        "  \xEC\x9D\xB4\xEB\xA6\x84=\"\xEA\xB0\x92\">\n"                         // 4: the root
        "  <\xEA\xB0\x92>\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4</\xEA\xB0\x92>\n"  // 5: 값, its text
        "  <!-- \xEC\xA3\xBC\xEC\x84\x9D\n"                                      // 6
        "  -->\n"                                                                // 7: the comment
        "</\xEC\x84\xA4\xEC\xA0\x95>\n";
    std::string bytes;
    ASSERT_TRUE(EncodeXmlText(korean, "euc-kr", bytes));
    ASSERT_NE(bytes.find("\"1.0\"\nencoding"), std::string::npos) << bytes;
    EXPECT_EQ(Lines(*Parsed(bytes)),
              (std::vector<std::string>{"\xEC\x84\xA4\xEC\xA0\x95:4", "\xEA\xB0\x92:5", "#text:5",
                                        "#comment:7"}));
}

}  // namespace
}  // namespace korvane::xml
