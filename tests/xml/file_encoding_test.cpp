// One verdict per file: the encoding a file's bytes are read in, and the bytes that are refused,
// are the same on both builds. Built for the libxml2 backend and for the Windows one, with the
// same expectations.
#include "xml/file_encoding.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/code_page.h"
#include "platform/encoding_names.h"
#include "scoped_code_page.h"
#include "xml/dom.h"
#include "xml/xml_encoding.h"

namespace korvane::xml {
namespace {

const std::string kRefused = "(refused)";

class OneVerdict : public ::testing::Test {
  protected:
    // The text of the document element when `bytes` load, kRefused when they do not.
    std::string Loaded(const std::string& bytes) {
        ParseError error;
        if (!document_->ParseBytes(bytes, error)) return kRefused;
        std::string text;
        EXPECT_TRUE(document_->Text(document_->DocumentElement(), 1u << 20, text));
        return text;
    }

  private:
    // One document for every load: on Windows it keeps the component loaded between them.
    std::unique_ptr<Document> document_ = Document::Create();
};

std::string Declared(const std::string& encoding, const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?><a>" + body + "</a>";
}

// `text` in UTF-16 with the byte order given, each byte of `text` one code unit, except '#'
// which stands for U+AC00.
std::string Utf16(const std::string& text, bool bigEndian) {
    std::string out;
    for (const char c : text) {
        const char high = c == '#' ? '\xAC' : '\0';
        const char low = c == '#' ? '\0' : c;
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

const std::string kGa = "\xEA\xB0\x80";  // U+AC00

TEST_F(OneVerdict, AByteOrderMarkDecidesOverTheDeclaration) {
    EXPECT_EQ(Loaded("\xEF\xBB\xBF" + Declared("euc-kr", kGa)), kGa);
    EXPECT_EQ(Loaded("\xFF\xFE" + Utf16(Declared("euc-kr", "#"), false)), kGa);
    EXPECT_EQ(Loaded("\xFE\xFF" + Utf16(Declared("shift_jis", "#"), true)), kGa);
    // Without a mark, UTF-16 shows in the first bytes.
    EXPECT_EQ(Loaded(Utf16(Declared("utf-16", "#"), false)), kGa);
}

TEST_F(OneVerdict, Utf16ThatEndsInsideACharacterIsRefused) {
    const std::string whole = "\xFF\xFE" + Utf16(Declared("utf-16", "#"), false);
    ASSERT_EQ(Loaded(whole), kGa);
    EXPECT_EQ(Loaded(whole + "\n"), kRefused);
    EXPECT_EQ(Loaded(Utf16(Declared("utf-16", "#"), true) + "\n"), kRefused);
}

TEST_F(OneVerdict, LegacyNamesReadAsTheWindowsCodePages) {
    EXPECT_EQ(Loaded(Declared("euc-kr", "\x81\x41")), "\xEA\xB0\x82");  // U+AC02, 949's extension
    EXPECT_EQ(Loaded(Declared("KS_C_5601-1987", "\xB0\xA1")), kGa);
    // Path separators and tildes stay what they are; so does a trail byte that looks like '\'.
    EXPECT_EQ(Loaded(Declared("shift_jis", "C:\\A~1\\\x83\x5C")), "C:\\A~1\\\xE3\x82\xBD");
    EXPECT_EQ(Loaded(Declared("gb2312", "\x81\x40")), "\xE4\xB8\x82");  // U+4E02, only in GBK
    EXPECT_EQ(Loaded(Declared("big5", "\xF9\xF9")), "\xE2\x95\x90");    // U+2550, only in 950
    EXPECT_EQ(Loaded(Declared("windows-1252", "\x80")), "\xE2\x82\xAC");
    // User-defined pairs that both builds' tables map.
    EXPECT_EQ(Loaded(Declared("shift_jis", "\xF0\x40")), "\xEE\x80\x80");  // U+E000
    EXPECT_EQ(Loaded(Declared("big5", "\xC6\xA1")), "\xEF\x9A\xB1");       // U+F6B1
}

// Bytes that one platform's table maps and the other's refuses are refused on both builds.
TEST_F(OneVerdict, WhatEitherBuildRefusesBothRefuse) {
    const struct {
        const char* encoding;
        const char* bytes;
    } refused[] = {
        {"euc-kr", "\x80"},       {"euc-kr", "\xA2\xE8"},  // only in EUC-KR's 2002 revision
        {"shift_jis", "\x80"},    {"gb2312", "\xAA\xA1"}, {"gb2312", "\xA1\x40"},
        {"big5", "\x81\x40"},     {"big5", "\xFE\xFE"},   {"windows-1252", "\x81"},
        {"windows-1255", "\xCA"}, {"us-ascii", "\xE9"},
    };
    for (const auto& sample : refused) {
        EXPECT_EQ(Loaded(Declared(sample.encoding, sample.bytes)), kRefused)
            << sample.encoding << " " << ::testing::PrintToString(std::string(sample.bytes));
    }
    EXPECT_EQ(Loaded(std::string("\xFF\xFE\0\0<\0\0\0", 8)), kRefused);  // UCS-4
}

// Code page 949's user-defined rows C9 and FE, which older versions wrote raw into euc-kr
// files, read as the platform's code page reads them: C9A1-C9FE as U+E000-U+E05D, FEA1-FEFE
// as U+E05E-U+E0BB. A save writes them as references.
TEST_F(OneVerdict, CodePage949UserDefinedRowsReadAsThePlatformReadsThem) {
    const std::string rows = "\xC9\xA1-\xC9\xFE-\xFE\xA1-\xFE\xFE";
    const std::string characters = "\xEE\x80\x80-\xEE\x81\x9D-\xEE\x81\x9E-\xEE\x82\xBB";
    EXPECT_EQ(Loaded(Declared("euc-kr", rows)), characters);
    EXPECT_EQ(Loaded(Declared("KS_C_5601-1987", rows)), characters);
    // Among ASCII, KS X 1001, 949's extension and a trail byte that looks like ASCII.
    EXPECT_EQ(Loaded(Declared("cp949", "A\xB0\xA1\xC9\xA1\x81\x41\xFE\xFE\x81\x5A<b/>")),
              "A" + kGa + "\xEE\x80\x80\xEA\xB0\x82\xEE\x82\xBB\xEA\xB0\xB4");
    // Every pair of the rows, in order, from U+E000 on.
    std::string allRows, expected;
    char32_t next = 0xE000;
    for (const int lead : {0xC9, 0xFE}) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail, ++next) {
            allRows += {static_cast<char>(lead), static_cast<char>(trail)};
            expected += {static_cast<char>(0xE0 | (next >> 12)),
                         static_cast<char>(0x80 | ((next >> 6) & 0x3F)),
                         static_cast<char>(0x80 | (next & 0x3F))};
        }
    }
    EXPECT_EQ(Loaded(Declared("euc-kr", allRows)), expected);
    // The rest of such a file keeps its verdicts.
    for (const char* refused : {"\x80", "\xA2\xE8", "\xC9\x41", "\xFE\xFF", "\xC9"}) {
        EXPECT_EQ(Loaded(Declared("euc-kr", "\xC9\xA1" + std::string(refused))), kRefused)
            << ::testing::PrintToString(std::string(refused));
    }

    // An error is placed as in a file with a pair of KS X 1001 in their place.
    ParseError error, expectedError;
    ASSERT_FALSE(Document::Create()->ParseBytes(Declared("euc-kr", "\n\xC9\xA1\n<b>"), error));
    ASSERT_FALSE(
        Document::Create()->ParseBytes(Declared("euc-kr", "\n\xB0\xA1\n<b>"), expectedError));
    EXPECT_EQ(error.kind, ParseError::Kind::NotWellFormed);
    EXPECT_EQ(error.code, expectedError.code);
    EXPECT_EQ(error.line, expectedError.line);
    EXPECT_EQ(error.column, expectedError.column);

    const auto document = Document::Create();
    ASSERT_TRUE(document->ParseBytes(Declared("euc-kr", rows), error));
    SerializedDocument saved;
    ASSERT_TRUE(document->Serialize(saved));
    EXPECT_EQ(saved.encoding, "euc-kr");
    for (const char* encoding : {"euc-kr", "cp949"}) {
        std::string bytes;
        ASSERT_TRUE(EncodeXmlText(saved.text, encoding, bytes));
        EXPECT_NE(bytes.find("<a>&#57344;-&#57437;-&#57438;-&#57531;</a>"), std::string::npos)
            << encoding << ": " << bytes;
    }
}

// euc-kr is written raw only where EUC-KR proper and code page 949 read the same character;
// everything else as a reference, which every reader reads.
TEST_F(OneVerdict, EucKrIsWrittenRawOnlyWhereBothTablesAgree) {
    const std::string userDefined = "\xEE\x80\x80";  // U+E000, 949's C9 A1
    const std::string onlyEucKr = "\xE3\x89\xBE";    // U+327E, EUC-KR's A2 E8
    std::string bytes;
    ASSERT_TRUE(EncodeXmlText("<a>" + kGa + "\xEA\xB0\x82" + userDefined + onlyEucKr + "</a>",
                              "euc-kr", bytes));
    EXPECT_EQ(
        bytes,
        "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<a>\xB0\xA1&#44034;&#57344;&#12926;</a>");
    // Nor does any other file encoding write what a reader refuses: 936's user-defined area.
    ASSERT_TRUE(EncodeXmlText("<a>" + userDefined + "</a>", "gb2312", bytes));
    EXPECT_EQ(bytes.substr(bytes.find("<a>")), "<a>&#57344;</a>");
    EXPECT_TRUE(platform::IsEncodableIn("euc-kr", kGa));
    EXPECT_FALSE(platform::IsEncodableIn("euc-kr", userDefined));
    EXPECT_FALSE(platform::IsEncodableIn("euc-kr", onlyEucKr));
}

// Every character that code page 949 has a pair for, written to an euc-kr file, reads back as
// itself, and only pairs that EUC-KR proper reads alike are written raw.
TEST_F(OneVerdict, EveryCharacterOfCodePage949RoundTripsThroughEucKr) {
    std::string text;
    std::size_t characters = 0;
    {
        testing::ScopedCodePage korean(platform::kCodePageKorean);
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x41; trail <= 0xFE; ++trail) {
                const char pair[] = {static_cast<char>(lead), static_cast<char>(trail), '\0'};
                std::string character;
                if (!platform::ToUtf8(pair, character)) continue;
                text += character;
                ++characters;
            }
        }
    }
    EXPECT_GT(characters, 17000u);
    std::string bytes;
    ASSERT_TRUE(EncodeXmlText("<a>" + text + "</a>", "euc-kr", bytes));
    const std::size_t body = bytes.find("<a>");
    EXPECT_TRUE(platform::IsPortableEucKr(bytes.substr(body)));
    const std::string loaded = Loaded(bytes);
    EXPECT_TRUE(loaded == text) << loaded.size() << " bytes read of " << text.size();
}

// A character that a code page maps one way only is not written as the character it reads
// back as: glibc's CP932 would turn the yen sign into '\' and the overline into '~'.
TEST_F(OneVerdict, NothingIsWrittenThatReadsBackAsAnotherCharacter) {
    const std::string yen = "\xC2\xA5", overline = "\xE2\x80\xBE", fullWidthTilde = "\xEF\xBD\x9E";
    std::string bytes;
    ASSERT_TRUE(
        EncodeXmlText("<a>" + yen + overline + fullWidthTilde + "\\~</a>", "shift_jis", bytes));
    EXPECT_EQ(bytes.substr(bytes.find("<a>")), "<a>&#165;&#8254;\x81\x60\\~</a>");
    testing::ScopedCodePage japanese(platform::kCodePageShiftJis);
    EXPECT_EQ(platform::FromUtf8("C:" + yen + "a" + overline), "C:?a?");
}

TEST_F(OneVerdict, AMarkThatContradictsTheDeclarationIsReported) {
    const auto choose = [](const std::string& bytes) {
        FileEncoding encoding;
        std::string failure;
        EXPECT_TRUE(ChooseFileEncoding(bytes, encoding, failure)) << failure;
        return encoding;
    };
    FileEncoding encoding = choose("\xEF\xBB\xBF" + Declared("euc-kr", ""));
    EXPECT_TRUE(encoding.contradicted);
    EXPECT_EQ(encoding.declared, "euc-kr");
    EXPECT_STREQ(encoding.known->name, "UTF8");
    EXPECT_FALSE(choose("\xEF\xBB\xBF" + Declared("utf_8", "")).contradicted);
    EXPECT_FALSE(choose("\xEF\xBB\xBF<a/>").contradicted);
    EXPECT_FALSE(choose("\xFE\xFF" + Utf16(Declared("UTF-16", ""), true)).contradicted);
    EXPECT_TRUE(choose("\xFE\xFF" + Utf16(Declared("utf-16le", ""), true)).contradicted);
    EXPECT_TRUE(choose(Utf16(Declared("euc-kr", ""), false)).contradicted);
    // Without a mark the declaration decides, through the table or by its own name.
    encoding = choose(Declared("Big5", ""));
    EXPECT_FALSE(encoding.contradicted);
    EXPECT_EQ(encoding.known->codePage, 950u);
    EXPECT_STREQ(encoding.known->converter, "CP950");
    encoding = choose(Declared("iso-8859-5", ""));
    EXPECT_EQ(encoding.known, nullptr);
    EXPECT_EQ(encoding.declared, "iso-8859-5");
}

}  // namespace
}  // namespace korvane::xml
