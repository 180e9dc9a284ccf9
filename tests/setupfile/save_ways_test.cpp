// The two ways a save writes a setup file give the same bytes: the direct writer, and the DOM
// transformed by this build's XSLT engine through the stylesheet the library ships. Random
// descriptions of every section, with empty, blank, escaped, long and non-ASCII texts (some that
// the code page lacks, kept as the file had them), saved both ways under two code pages; and
// every way a save fails, failing the same way.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/setup_document.h"
#include "platform/code_page.h"
#include "scoped_code_page.h"
#include "scratch_directory.h"
#include "setup_file_io.h"
#include "setupfile/grammar.h"
#include "setupfile/save_ways.h"
#include "setupfile/setup_markup.h"
#include "setupfile/setup_writer.h"
#include "setupfile/shipped_stylesheet.h"
#include "xml/dom.h"
#include "xml/xml_encoding.h"

#ifndef _WIN32
#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "replaced_calls.h"
#endif

namespace korvane::setupfile {
namespace {

using model::SetupDocument;
using testing::ScopedCodePage;
using testing::ScratchDirectory;

// Pieces of text, UTF-8: plain ASCII; markup characters, line ends and tabs; and characters
// that euc-kr has (Hangul, a Han character), that only code page 949 has (U+AC02), that neither
// has (Latin, Thai, beyond U+FFFF).
const std::vector<std::vector<std::string>> kPieces = {
    {"a", "Z", "0", " ", "[APPDIR]", "C:\\Program Files\\x.exe"},
    {"&", "<", ">", "\"", "'", "]]>", "&amp;", "\r", "\n", "\t", "\r\n"},
    {"\xED\x95\x9C", "\xE6\xBC\xA2", "\xEA\xB0\x82", "\xC3\xA9", "\xE2\x82\xAC", "\xC2\xA0"},
    {"\xE0\xB9\x84", "\xF0\x9F\x98\x80"}};
const std::vector<std::string> kBlanks = {" ", "\t", "\n", "\r\n", "  ", " \t\r\n "};

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    // Empty, blanks only, long, or a few pieces.
    std::string Text() {
        const int kind = Below(20);
        if (kind == 0) return std::string();
        std::string text;
        if (kind == 1) {
            for (int i = Below(3); i >= 0; --i) text += kBlanks[Below(kBlanks.size())];
            return text;
        }
        const int pieces = kind == 2 ? 600 + Below(600) : 1 + Below(12);
        for (int i = 0; i < pieces; ++i) {
            const std::vector<std::string>& kind = kPieces[Below(kPieces.size())];
            text += kind[Below(kind.size())];
        }
        return text;
    }

    // A number's text: a decimal, or something a load reads as one.
    std::string Number() {
        switch (Below(4)) {
            case 0:
                return std::to_string(static_cast<std::int32_t>(random_()));
            case 1:
                return "1";
            case 2:
                return Text();
            default:
                return std::to_string(Below(100));
        }
    }

    int Below(std::size_t bound) { return static_cast<int>(random_() % bound); }

  private:
    std::mt19937 random_;
};

// `text` as the content of an element of a UTF-8 file: a CR as a reference, which a parser
// would otherwise read as a line feed.
std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Value(const std::string& element, const std::string& text) {
    return "<" + element + ">" + Escaped(text) + "</" + element + ">";
}

// A UTF-8 file of every section, each with 0 to 3 items (so some are empty).
std::string RandomFile(Generator& generate) {
    std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SETUP><RESERVE>";
    for (int i = generate.Below(4); i > 0; --i)
        file += "<WORD>" + Value("SHORT", "[W" + std::to_string(i) + generate.Text() + "]") +
                Value("MEAN", generate.Text()) + "</WORD>";
    file += "</RESERVE><CONFIG>";
    // One name that a Western code page lacks, which then reads as "??" and is kept.
    const std::vector<std::string> names = {"NAME", "F_1", "x.y-z", "\xED\x95\x9C\xEA\xB8\x80"};
    for (const std::string& name : names)
        if (generate.Below(2) == 0) file += Value(name, generate.Text());
    file += "</CONFIG><FILES>";
    for (int i = generate.Below(4); i > 0; --i) {
        file += "<FILE>";
        for (const char* element :
             {"SRCPATH", "FILENAME", "FOLDER", "VERSION", "TARGETOS", "SHORTCUT", "DISPLAYNAME"})
            file += Value(element, generate.Text());
        for (const char* element :
             {"ICONINDEX", "SELFREG", "REALTIME", "REBOOT", "OVERWRITE", "FILESIZE"})
            file += Value(element, generate.Number());
        file += "</FILE>";
    }
    file += "</FILES><REGISTRYS>";
    for (int i = generate.Below(4); i > 0; --i)
        file += "<REGISTRY>" + Value("REGPATH", generate.Text()) +
                Value("TYPE", generate.Number()) + Value("KEY", generate.Text()) +
                Value("VALUE", generate.Text()) + Value("ACTION", generate.Number()) +
                "</REGISTRY>";
    file += "</REGISTRYS>";
    for (const std::string kill : {"PREKILL", "UPKILL"}) {
        file += "<" + kill + "S>";
        for (int i = generate.Below(4); i > 0; --i)
            file += "<" + kill + ">" + Value("CLASS", generate.Text()) +
                    Value("TITLE", generate.Text()) + "</" + kill + ">";
        file += "</" + kill + "S>";
    }
    for (const std::string list : {"PREEXECUTE", "POSTEXECUTE", "UPDATEEXECUTE", "DELETEEXECUTE"}) {
        file += "<" + list + ">";
        for (int i = generate.Below(4); i > 0; --i) file += Value("COMMAND", generate.Text());
        file += "</" + list + ">";
    }
    return file + "</SETUP>\n";
}

// Entries set the way a caller sets them: texts in the code page, where a character it lacks
// is '?'.
void AddEntries(Generator& generate, SetupDocument& setup) {
    const auto text = [&] { return platform::FromUtf8(generate.Text()); };
    for (int i = generate.Below(3); i > 0; --i) {
        setup.AddReservedWord("[A" + std::to_string(i) + text() + "]", text(), text());
        setup.AddElementField("ADDED" + std::to_string(i), text());
        setup.AddFileInfo(text(), text(), text(), text(), text(), text(), text(),
                          generate.Below(9) - 4, generate.Below(2), generate.Below(3),
                          generate.Below(1000), generate.Below(2), generate.Below(2));
        setup.AddRegistryInfo(text(), text(), std::to_string(generate.Below(5)), text(),
                              generate.Below(4));
        setup.AddPreKillProcess(text(), text());
        setup.AddUpKillProcess(text(), text());
        setup.AddCommand(model::CommandKind::DeleteExecute, text());
    }
}

// The bytes of the scratch file both ways: the DOM serialised as it stands, and the direct
// writer's unindented text, here in pieces as small as the writer makes them.
struct CollectedBytes : MarkupOutput {
    bool Write(std::string_view utf8) override {
        return xml::AppendEncodedXmlPiece(utf8, kFileEncoding, bytes);
    }
    std::string bytes;
};

std::string ScratchThroughDocument(const SetupDocument& setup) {
    const auto document = xml::Document::Create();
    std::string failure, bytes;
    xml::SerializedDocument serialized;
    EXPECT_TRUE(WriteSetup(setup, *document, failure)) << failure;
    EXPECT_TRUE(document->Serialize(serialized));
    EXPECT_TRUE(xml::EncodeXmlText(serialized.text, serialized.encoding, bytes));
    return bytes;
}

std::string ScratchDirect(const SetupDocument& setup) {
    CollectedBytes out;
    std::string failure;
    EXPECT_TRUE(WriteSetupMarkup(setup, ScratchLayout(), 1, out, failure)) << failure;
    return out.bytes;
}

class SaveWays : public ::testing::TestWithParam<unsigned> {};

TEST_P(SaveWays, RandomDescriptionsAreSavedToTheSameBytesBothWays) {
    ScratchDirectory directory;
    const ScopedCodePage codePage(GetParam());
    for (unsigned seed = 1; seed <= 15; ++seed) {
        Generator generate(seed * 7919 + GetParam());
        SetupDocument setup;
        directory.Write("random.xml", RandomFile(generate));
        ASSERT_EQ(LoadFile(setup, "random.xml"), 1) << "seed " << seed;
        AddEntries(generate, setup);

        const SaveResult direct = SaveDirectly(setup, "direct.xml");
        const SaveResult engine = SaveThroughStylesheet(setup, "engine.xml");
        ASSERT_TRUE(direct) << direct.detail;
        ASSERT_TRUE(engine) << engine.detail;
        const std::string written = directory.Read("direct.xml");
        ASSERT_EQ(written, directory.Read("engine.xml")) << "seed " << seed;
        EXPECT_EQ(ScratchDirect(setup), ScratchThroughDocument(setup)) << "seed " << seed;
        EXPECT_EQ(directory.Listing(), "direct.xml engine.xml random.xml ");
    }
}

// Empty values, empty sections and blank values are where the engines differ from each other:
// each build's direct writer follows its own engine.
TEST_P(SaveWays, EmptyAndBlankValuesAndEmptySectionsAreLaidOutAsTheEngineLaysThemOut) {
    ScratchDirectory directory;
    const ScopedCodePage codePage(GetParam());
    for (const bool filled : {false, true}) {
        SetupDocument setup;
        if (filled) {
            setup.AddElementField("EMPTY", "");
            setup.AddElementField("BLANK", " \t\r\n");
            setup.AddCommand(model::CommandKind::PostExecute, "");
            setup.AddReservedWord("[E]", "", "");
            setup.AddFileInfo("", "", "", "", "", "", "", 0, 0, 0, 0, 0, 0);
        }
        ASSERT_TRUE(SaveDirectly(setup, "direct.xml"));
        ASSERT_TRUE(SaveThroughStylesheet(setup, "engine.xml"));
        EXPECT_EQ(directory.Read("direct.xml"), directory.Read("engine.xml"));
        EXPECT_EQ(ScratchDirect(setup), ScratchThroughDocument(setup));
    }
    // And the layout is the engine's own.
    const xml::IndentedLayout layout = xml::EngineIndentedLayout();
    const std::string written = directory.Read("direct.xml");
    const std::string empty = layout.emptyTextAsPair ? "<EMPTY></EMPTY>" : "<EMPTY/>";
    EXPECT_NE(
        written.find("\n" + std::string(layout.indent) + std::string(layout.indent) + empty + "\n"),
        std::string::npos)
        << written;
    EXPECT_NE(written.find("\n" + std::string(layout.indent) + "<PREKILLS/>\n"), std::string::npos)
        << written;
}

// Both ways fail at the same step with the same result, and leave the target and the folder
// as they were.
TEST_P(SaveWays, EveryFailureIsTheSameBothWays) {
    ScratchDirectory directory;
    const ScopedCodePage codePage(GetParam());
    directory.Write("setup.xml", "previous\n");
    directory.Write("plain", "a file, not a folder");
    const auto expectSameFailure = [&](const SetupDocument& setup, const std::string& path,
                                       SaveResult::Step step) {
        const SaveResult direct = SaveDirectly(setup, path);
        const SaveResult engine = SaveThroughStylesheet(setup, path);
        EXPECT_EQ(direct.failed, step) << path << ": " << direct.detail;
        EXPECT_EQ(engine.failed, direct.failed) << path;
        EXPECT_EQ(engine.systemError, direct.systemError) << path;
        EXPECT_EQ(engine.detail, direct.detail) << path;
        EXPECT_EQ(MessageOf(engine), MessageOf(direct)) << path;
        EXPECT_EQ(directory.Read("setup.xml"), "previous\n");
        EXPECT_EQ(directory.Listing(), "plain setup.xml ");
    };
    for (const char* name : {"1bad", "a b", "", "a:b"}) {
        SetupDocument setup;
        setup.AddCommand(model::CommandKind::PreExecute, "fine");
        setup.AddElementField(name, "x");
        expectSameFailure(setup, "setup.xml", SaveResult::Step::Build);
    }
    SetupDocument control;
    control.AddFileInfo("s", "n", "f", "v", "o", "c", "beep\x07", 1, 0, 0, 0, 0, 0);
    expectSameFailure(control, "setup.xml", SaveResult::Step::Build);
    // Each '&' takes five bytes in the file: one more than a load reads.
    SetupDocument tooLong;
    tooLong.AddCommand(model::CommandKind::PreExecute, "first");
    tooLong.AddCommand(model::CommandKind::PreExecute, std::string(1600001, '&'));
    expectSameFailure(tooLong, "setup.xml", SaveResult::Step::Build);
    EXPECT_NE(SaveDirectly(tooLong, "setup.xml").detail.find("PREEXECUTE/COMMAND 1 "),
              std::string::npos);

    SetupDocument fine;
    fine.AddElementField("NAME", "value");
    expectSameFailure(fine, "no/such/folder/setup.xml", SaveResult::Step::Target);
    expectSameFailure(fine, "plain/setup.xml", SaveResult::Step::Target);
    expectSameFailure(fine, directory.path().string(), SaveResult::Step::Target);
}

#ifndef _WIN32
int FullDiskForScratchFiles(int folder, const char* name, int flags, mode_t mode) {
    if ((flags & O_EXCL) != 0 && std::strncmp(name, "temp-", 5) == 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::openat(folder, name, flags, mode);
}

// Fails the write that ends a document, however its file is written in pieces.
ssize_t FullDiskAtTheEnd(int file, const void* data, std::size_t size) {
    if (std::string_view(static_cast<const char*>(data), size).find("</SETUP>") !=
        std::string_view::npos) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(file, data, size);
}

// The scratch file fails both ways alike, and what cannot be built is still reported first.
TEST_P(SaveWays, AScratchFileThatCannotBeWrittenFailsTheSameBothWays) {
    ScratchDirectory directory;
    const ScopedCodePage codePage(GetParam());
    SetupDocument fine, bad;
    fine.AddElementField("NAME", "value");
    bad.AddElementField("1bad", "value");
    for (const auto replace : {+[] { platform::SystemCalls().openat = FullDiskForScratchFiles; },
                               +[] { platform::SystemCalls().write = FullDiskAtTheEnd; }}) {
        const testing::ReplacedCalls calls;
        replace();
        for (const SetupDocument* setup : {&fine, &bad}) {
            const SaveResult direct = SaveDirectly(*setup, "setup.xml");
            const SaveResult engine = SaveThroughStylesheet(*setup, "setup.xml");
            EXPECT_EQ(direct.failed,
                      setup == &fine ? SaveResult::Step::ScratchFile : SaveResult::Step::Build);
            EXPECT_EQ(engine.failed, direct.failed);
            EXPECT_EQ(engine.systemError, direct.systemError);
            EXPECT_EQ(engine.detail, direct.detail);
        }
    }
    EXPECT_EQ(directory.Listing(), "");
}
#endif

// SaveSetupFile writes with the shipped stylesheet what both ways write, and follows any other
// stylesheet through the engine.
TEST_P(SaveWays, AnotherStylesheetGoesThroughTheEngine) {
    ScratchDirectory directory;
    const ScopedCodePage codePage(GetParam());
    SetupDocument setup;
    setup.AddCommand(model::CommandKind::PreExecute, "a & b");
    ASSERT_EQ(SaveFile(setup, "shipped.xml"), 1);
    ASSERT_TRUE(SaveDirectly(setup, "direct.xml"));
    EXPECT_EQ(directory.Read("shipped.xml"), directory.Read("direct.xml"));

    std::string stylesheet = directory.Read("indent.xsl");
    const std::size_t indent = stylesheet.find("indent=\"yes\"");
    ASSERT_NE(indent, std::string::npos);
    stylesheet.replace(indent, 12, "indent=\"no\"");
    directory.Write("indent.xsl", stylesheet);
    ASSERT_EQ(SaveFile(setup, "other.xml"), 1);
    const std::string other = directory.Read("other.xml");
    EXPECT_NE(other, directory.Read("direct.xml"));
    EXPECT_NE(other.find("<SETUP><RESERVE/>"), std::string::npos) << other;
}

// The stylesheet built into the library is data/indent.xsl, byte for byte.
TEST(ShippedStylesheet, IsRecognisedByEveryByteAndOnlyThen) {
    ScratchDirectory directory;
    const std::string shipped = directory.Read("indent.xsl");
    ASSERT_FALSE(shipped.empty());
    EXPECT_TRUE(IsShippedStylesheet(shipped));
    EXPECT_FALSE(IsShippedStylesheet(shipped + "\n"));
    EXPECT_FALSE(IsShippedStylesheet(shipped.substr(0, shipped.size() - 1)));
    std::string changed = shipped;
    changed[changed.size() / 2] ^= 1;
    EXPECT_FALSE(IsShippedStylesheet(changed));
    EXPECT_FALSE(IsShippedStylesheet(""));
}

INSTANTIATE_TEST_SUITE_P(CodePages, SaveWays,
                         ::testing::Values(platform::kCodePageKorean, platform::kCodePageLatin1),
                         [](const auto& info) { return "CodePage" + std::to_string(info.param); });

}  // namespace
}  // namespace korvane::setupfile
