// Encodings on Windows: files are decoded and written by the library through the platform's
// code-page functions, never by the XML component, and euc-kr is written as EUC-KR proper so
// that other systems' decoders read what is written here.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "platform/encoded_text_windows.h"
#include "scoped_code_page.h"
#include "xml/document_text_windows.h"
#include "xml/xml_encoding.h"

namespace korvane::xml {
namespace {

using testing::ScopedCodePage;

const std::string kHangul = "\xED\x95\x9C";     // U+D55C, a KS X 1001 pair in euc-kr: C7 D1
const std::string kExtension = "\xEA\xB0\x82";  // U+AC02, only in code page 949's extension: 81 41
const std::string kLatinA = "\xC4\x81";         // U+0101, which windows-1252 only approximates
const std::string kEuro = "\xE2\x82\xAC";       // U+20AC, 0x80 in windows-1252
const std::string kKatakanaA = "\xE3\x82\xA2";  // U+30A2, 83 41 in shift_jis

std::string Reference(char32_t character) {
    return "&#" + std::to_string(static_cast<unsigned long>(character)) + ";";
}

std::string Converted(const char* charset, const std::string& utf8) {
    std::string out;
    EXPECT_TRUE(platform::ConvertFromUtf8(charset, utf8, out, Reference)) << charset;
    return out;
}

TEST(WindowsEncodings, EucKrIsWrittenAsKsX1001PairsOnly) {
    EXPECT_EQ(Converted("euc-kr", "a" + kHangul + kExtension), "a\xC7\xD1&#44034;");
    EXPECT_EQ(Converted("EUC_KR", kExtension), "&#44034;");
    // Code page 949 under its own names keeps the extension.
    EXPECT_EQ(Converted("ks_c_5601-1987", kHangul + kExtension), "\xC7\xD1\x81\x41");
    EXPECT_EQ(Converted("cp949", kExtension), "\x81\x41");
    EXPECT_TRUE(platform::IsEncodableIn("euc-kr", kHangul));
    EXPECT_FALSE(platform::IsEncodableIn("euc-kr", kExtension));
    EXPECT_TRUE(platform::IsEncodableIn("ks_c_5601-1987", kExtension));
}

TEST(WindowsEncodings, TableOfNamesAndNoBestFit) {
    EXPECT_EQ(Converted("shift_jis", kKatakanaA), "\x83\x41");
    EXPECT_EQ(Converted("gb2312", "\xE4\xB8\xAD"), "\xD6\xD0");  // U+4E2D
    EXPECT_EQ(Converted("big5", "\xE4\xB8\x80"), "\xA4\x40");    // U+4E00
    EXPECT_EQ(Converted("iso-8859-1", "\xC3\xA9" + kEuro), "\xE9&#8364;");
    EXPECT_EQ(Converted("us-ascii", "\xC3\xA9"), "&#233;");
    EXPECT_EQ(Converted("windows-1252", kEuro + kLatinA), "\x80&#257;");  // not 'a'
    EXPECT_EQ(Converted("windows-1251", "\xD0\x96"), "\xC6");             // U+0416
    EXPECT_EQ(Converted("utf-8", kHangul), kHangul);
    EXPECT_EQ(Converted("utf-16", "a"), std::string("\xFF\xFE"
                                                    "a\0",
                                                    4));
    EXPECT_EQ(Converted("utf-16be", "\xF0\x9F\x98\x80"),
              std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6));  // U+1F600 as a surrogate pair
    std::string out;
    EXPECT_FALSE(platform::ConvertFromUtf8("windows-1259", "a", out, Reference));
    EXPECT_FALSE(platform::ConvertFromUtf8("no-such-encoding", "a", out, Reference));
    EXPECT_FALSE(platform::ConvertFromUtf8("euc-kr", "a\xFF", out, Reference));
}

TEST(WindowsEncodings, TheSharedEncoderWritesEucKrFiles) {
    std::string bytes;
    ASSERT_TRUE(EncodeXmlText("<?xml version=\"1.0\"?>\r\n<a>" + kHangul + kExtension + "</a>",
                              "euc-kr", bytes));
    EXPECT_EQ(bytes, "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<a>\xC7\xD1&#44034;</a>");
}

TEST(WindowsCodePage, ActiveCodePageConversions) {
    {
        ScopedCodePage korean(949);
        EXPECT_EQ(platform::FromUtf8(kHangul + kExtension), "\xC7\xD1\x81\x41");
        std::string utf8;
        ASSERT_TRUE(platform::ToUtf8("\xC7\xD1", utf8));
        EXPECT_EQ(utf8, kHangul);
        EXPECT_FALSE(platform::ToUtf8("\xC7", utf8));  // a lead byte without its trail
        EXPECT_EQ(platform::ToUtf8Replacing("a\xC7"), "a\xEF\xBF\xBD");
        EXPECT_EQ(platform::CharLength("\xC7\xD1", 2), 2u);
        EXPECT_EQ(platform::FromUtf16(u"\xD55C\xD800"), "\xC7\xD1?");  // unpaired surrogate
    }
    ScopedCodePage western(1252);
    EXPECT_EQ(platform::FromUtf8(kLatinA + "\xFF"), "??");
    EXPECT_EQ(platform::CharLength("\xC7\xD1", 2), 1u);
    platform::SelectCodeSetForTesting("Shift_JIS");
    EXPECT_EQ(platform::ActiveCodePage(), platform::kCodePageShiftJis);
}

TEST(WindowsDocumentText, FilesAreDecodedByMarkOrDeclaration) {
    const auto decode = [](const std::string& bytes) {
        DocumentText text;
        std::string failure;
        EXPECT_TRUE(DecodeDocumentBytes(bytes, text, failure)) << failure;
        return text;
    };
    DocumentText text = decode("<?xml version=\"1.0\" encoding=\"euc-kr\"?><a>\xC7\xD1</a>");
    // The encoding is taken out of the declaration: the text is decoded already.
    EXPECT_EQ(text.text, u"<?xml version=\"1.0\"?><a>\xD55C</a>");
    EXPECT_EQ(text.encoding, "euc-kr");
    text = decode("<?xml version='1.0' encoding='Shift_JIS' standalone='yes'?><a>\x83\x41</a>");
    EXPECT_EQ(text.text, u"<?xml version='1.0' standalone='yes'?><a>\x30A2</a>");
    // Line breaks stay where they were, and so the lines of the nodes after them.
    text = decode("<?xml version='1.0'\nencoding\r\n=\r\n'euc-kr'?>\n<a/>");
    EXPECT_EQ(text.text, u"<?xml version='1.0'\n\r\n\r\n?>\n<a/>");
    EXPECT_EQ(decode("\xEF\xBB\xBF<a>\xC3\xA9</a>").text, u"<a>\xE9</a>");
    EXPECT_EQ(decode("<a>\xC3\xA9</a>").text, u"<a>\xE9</a>");  // UTF-8 when nothing is said
    EXPECT_EQ(decode(std::string("\xFF\xFE<\0a\0/\0>\0", 10)).text, u"<a/>");
    EXPECT_EQ(decode(std::string("\xFE\xFF\0<\0a\0/\0>", 10)).text, u"<a/>");
    EXPECT_EQ(decode(std::string("<\0?\0x\0", 6)).text, u"<?x");

    DocumentText failed;
    std::string failure;
    EXPECT_FALSE(
        DecodeDocumentBytes("<?xml version='1.0' encoding='iso-2022-kr'?><a/>", failed, failure));
    EXPECT_NE(failure.find("iso-2022-kr"), std::string::npos);
    EXPECT_FALSE(
        DecodeDocumentBytes("<?xml version='1.0' encoding='utf-8'?><a>\xC7</a>", failed, failure));
    EXPECT_FALSE(DecodeDocumentBytes(std::string("\0\0\0<\0\0\0a", 8), failed, failure));
    // Text is UTF-8 whatever its declaration says.
    ASSERT_TRUE(DecodeDocumentText(
        "<?xml version=\"1.0\" encoding=\"euc-kr\"?><a>" + kHangul + "</a>", failed, failure));
    EXPECT_EQ(failed.text, u"<?xml version=\"1.0\"?><a>\xD55C</a>");
}

}  // namespace
}  // namespace korvane::xml
