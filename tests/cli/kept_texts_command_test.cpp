// The command under a locale whose code set lacks characters of the file: it works on the
// file's own texts, which a load keeps, rather than on the '?' the code page reads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "pe_fixtures.h"
#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

// A scratch directory holding the locale `name` (as "ko_KR.EUC-KR"), built from the system's
// sources, and runs of the command under it.
class LocaleDirectory {
  public:
    LocaleDirectory(const char* locale, const char* charmap, const char* name) : name_(name) {
        const std::string command = std::string("localedef -i ") + locale + " -f " + charmap + " " +
                                    directory_.path().string() + "/" + name + " >/dev/null 2>&1";
        built_ = std::system(command.c_str()) == 0;
        // glibc keeps the locale path that LOCPATH gives for the life of the process, which the
        // leak checker of an instrumented build would report.
        suppressions_ = directory_.Write("leaks.supp", "leak:__argz_add_sep\n");
    }

    bool built() const { return built_; }
    const ScratchDirectory& directory() const { return directory_; }

    CommandResult Run(const std::vector<std::string>& arguments) const {
        const char* leakOptions = std::getenv("LSAN_OPTIONS");
        return RunKorvane(
            arguments, {{{"LOCPATH", directory_.path().string()},
                         {"LC_ALL", name_},
                         {"LSAN_OPTIONS", std::string(leakOptions != nullptr ? leakOptions : "") +
                                              ":suppressions=" + suppressions_}},
                        ""});
    }

  private:
    ScratchDirectory directory_;
    std::string name_;
    std::string suppressions_;
    bool built_ = false;
};

#define SKIP_WITHOUT(locale) \
    if (!(locale).built()) GTEST_SKIP() << "localedef or the locale's sources are missing"

std::string SetupFile(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SETUP>" + body + "</SETUP>\n";
}

TEST(KeptTextsCommand, DiffComparesTheFilesTextsThatTheCodePageReadsAlike) {
    LocaleDirectory korean("ko_KR", "EUC-KR", "ko_KR.EUC-KR");
    SKIP_WITHOUT(korean);
    // U+0100 and U+0101 both read as '?' in EUC-KR.
    korean.directory().Write("a.xml", SetupFile("<PREEXECUTE><COMMAND>x\xC4\x80</COMMAND>"
                                                "</PREEXECUTE><CONFIG><T>\xC4\x80</T></CONFIG>"));
    korean.directory().Write("b.xml", SetupFile("<PREEXECUTE><COMMAND>x\xC4\x81</COMMAND>"
                                                "</PREEXECUTE><CONFIG><T>\xC4\x81</T></CONFIG>"));
    const CommandResult diff = korean.Run({"diff", "--json", "a.xml", "b.xml"});
    ASSERT_EQ(diff.status, 1) << diff.out << diff.err;
    const nlohmann::json difference = nlohmann::json::parse(diff.out);
    EXPECT_EQ(difference["config"]["changed"][0]["value"]["old"], "\xC4\x80");
    EXPECT_EQ(difference["config"]["changed"][0]["value"]["new"], "\xC4\x81");
    EXPECT_EQ(difference["preExecute"]["added"][0]["item"], "x\xC4\x81");
}

TEST(KeptTextsCommand, FormatAndShowKeepWhatTheCodePageLacks) {
    LocaleDirectory korean("ko_KR", "EUC-KR", "ko_KR.EUC-KR");
    SKIP_WITHOUT(korean);
    korean.directory().Write("cafe.xml", SetupFile("<CONFIG><NAME>Caf\xC3\xA9</NAME></CONFIG>"));
    const CommandResult formatted = korean.Run({"format", "cafe.xml", "-o", "out.xml"});
    ASSERT_EQ(formatted.status, 0) << formatted.err;
    EXPECT_NE(korean.directory().Read("out.xml").find("<NAME>Caf&#233;</NAME>"), std::string::npos)
        << korean.directory().Read("out.xml");

    const CommandResult json = korean.Run({"show", "--json", "cafe.xml"});
    EXPECT_EQ(nlohmann::json::parse(json.out)["config"][0]["value"], "Caf\xC3\xA9") << json.out;
    const CommandResult tables = korean.Run({"show", "cafe.xml"});
    EXPECT_NE(tables.out.find("  NAME  Caf\\u{00E9}\n"), std::string::npos) << tables.out;
}

TEST(KeptTextsCommand, BuildWritesTheJsonTextsThatTheCodePageLacks) {
    LocaleDirectory latin("en_US", "ISO-8859-1", "en_US.ISO-8859-1");
    SKIP_WITHOUT(latin);
    latin.directory().Write("setup.json", R"({"config": [{"name": "X\uD55C", "value": "\uD55C"}],
        "preExecute": ["run \u0E44 \uD83D\uDE00"],
        "reservedWords": [{"word": "[\uD55C]", "meaning": "\u0E44"}]})");
    const CommandResult built = latin.Run({"build", "setup.json", "-o", "out.xml"});
    ASSERT_EQ(built.status, 0) << built.err;
    const std::string saved = latin.directory().Read("out.xml");
    EXPECT_NE(saved.find("<X\xC7\xD1>\xC7\xD1</X\xC7\xD1>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<COMMAND>run &#3652; &#128512;</COMMAND>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<SHORT>[\xC7\xD1]</SHORT>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<MEAN>&#3652;</MEAN>"), std::string::npos) << saved;
}

TEST(KeptTextsCommand, BuildWarnsOfTextsTheCodePageLacksAndRefusesNamesThatReadAlike) {
    LocaleDirectory latin("en_US", "ISO-8859-1", "en_US.ISO-8859-1");
    SKIP_WITHOUT(latin);
    // Widths count bytes of the code page: five 'é' fill five of SHORTCUT's nine here (ten
    // under UTF-8, which build refuses).
    const std::string file =
        R"({"srcPath": "a", "fileName": "b", "folder": "", "version": "", "targetOs": "",
            "shortcut": "\u00e9\u00e9\u00e9\u00e9\u00e9", "displayName": "\uD55C\uAE00",
            "iconIndex": 0, "selfReg": 0, "overwrite": 0, "fileSize": 0, "realTime": 0,
            "reboot": 0})";
    latin.directory().Write("setup.json", R"({"files": [)" + file + "]}");
    const CommandResult built = latin.Run({"build", "setup.json", "-o", "out.xml"});
    EXPECT_EQ(built.status, 0);
    // (An instrumented build's leak checker may add its report of suppressions after it.)
    const std::string warning =
        "korvane: setup.json: warning: files[0].displayName holds characters that the code page "
        "lacks: '\\u{D55C}\\u{AE00}' reads as '?"
        "?'; the file built holds them as the JSON has "
        "them\n";
    EXPECT_EQ(built.err.substr(0, warning.size()), warning);
    EXPECT_NE(latin.directory().Read("out.xml").find("<DISPLAYNAME>\xC7\xD1\xB1\xDB</DISPLAYNAME>"),
              std::string::npos);

    // Names that read alike under the code page: a load would keep the first only.
    const std::pair<std::string, std::string> alike[] = {
        {R"({"config": [{"name": "X\uD55C", "value": "1"}, {"name": "X\uAE00", "value": "2"}]})",
         "config[1].name is a later duplicate of the configuration field 'X\\u{AE00}' "
         "(config[0].name), which a load drops: both read as 'X?'"},
        {R"({"reservedWords": [{"word": "[\uD55C]", "meaning": ""},
                               {"word": "[\uAE00]", "meaning": ""}]})",
         "reservedWords[1].word is a later duplicate of the reserved word '[\\u{AE00}]' "
         "(reservedWords[0].word), which a load drops: both read as '[?]'"},
    };
    for (const auto& [json, error] : alike) {
        latin.directory().Write("alike.json", json);
        const CommandResult refused = latin.Run({"build", "alike.json", "-o", "alike.xml"});
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find("korvane: alike.json: " + error + "\n"), std::string::npos)
            << refused.err;
        EXPECT_FALSE(latin.directory().Exists("alike.xml"));
    }
}

TEST(KeptTextsCommand, CheckWarnsOfEveryTextTheCodePageCannotHold) {
    LocaleDirectory latin("en_US", "ISO-8859-1", "en_US.ISO-8859-1");
    SKIP_WITHOUT(latin);
    const std::string first = "\xED\x95\x9C", second = "\xEA\xB8\x80";
    latin.directory().Write("kept.xml",
                            SetupFile("\n<RESERVE><WORD><SHORT>W</SHORT><MEAN>" + first +
                                      "</MEAN></WORD></RESERVE>\n"
                                      "<FILES><FILE><ICONINDEX>" +
                                      first + "</ICONINDEX></FILE></FILES>\n"));
    const CommandResult kept = latin.Run({"check", "kept.xml"});
    // Nothing is lost: a warning, and the file passes (but a number still reads as 0).
    EXPECT_NE(kept.out.find("kept.xml:3: warning: MEAN of WORD holds characters that the code page "
                            "lacks: '\\u{D55C}' reads as '?'; a save writes them as the file "
                            "has them\n"),
              std::string::npos)
        << kept.out;
    EXPECT_EQ(kept.out.find("warning: ICONINDEX"), std::string::npos) << kept.out;
    EXPECT_NE(kept.out.find("kept.xml:4: the number ICONINDEX of FILE 0 is '?'"), std::string::npos);

    latin.directory().Write("plain.xml", SetupFile("<RESERVE><WORD><SHORT>W</SHORT><MEAN>" + first +
                                                   "</MEAN></WORD></RESERVE>"));
    EXPECT_EQ(latin.Run({"check", "plain.xml"}).status, 0);

    // Two names that read alike: the second is dropped.
    latin.directory().Write("names.xml",
                            SetupFile("<CONFIG>\n<X" + first + ">1</X" + first + ">\n<X" + second +
                                      ">2</X" + second + "></CONFIG>"));
    const CommandResult names = latin.Run({"check", "names.xml"});
    EXPECT_EQ(names.status, 1);
    // The name is shown in the code page, as the value texts are: what it lacks escaped.
    EXPECT_NE(names.out.find("names.xml:4: a later duplicate of the configuration field "
                             "'X\\u{AE00}' is dropped: it reads as 'X?'"),
              std::string::npos)
        << names.out;
    EXPECT_NE(names.out.find("names.xml:3: warning: the configuration name holds characters"),
              std::string::npos)
        << names.out;
    EXPECT_EQ(names.out.find("cannot be saved"), std::string::npos) << names.out;
}

TEST(KeptTextsCommand, StampFindsAndWritesBackAPathTheCodePageCannotHold) {
    LocaleDirectory latin("en_US", "ISO-8859-1", "en_US.ISO-8859-1");
    SKIP_WITHOUT(latin);
    const std::filesystem::path tree = latin.directory().path() / "tree";
    std::filesystem::create_directories(tree / "\xED\x95\x9C");
    std::filesystem::copy_file(korvane::testing::PeFixturePath("version-1001.dll"),
                               tree / "\xED\x95\x9C" / "app.dll");
    latin.directory().Write(
        "setup.xml", SetupFile("<FILES><FILE><SRCPATH>\xED\x95\x9C\\app.dll</SRCPATH>"
                               "<DISPLAYNAME>\xE0\xB9\x84</DISPLAYNAME><VERSION>0.9</VERSION>"
                               "<FILESIZE>1</FILESIZE></FILE></FILES>"));
    const CommandResult stamped = latin.Run({"stamp", "setup.xml", "--from", "tree"});
    EXPECT_EQ(stamped.status, 0) << stamped.out << stamped.err;
    const std::string saved = latin.directory().Read("setup.xml");
    EXPECT_NE(saved.find("<SRCPATH>\xC7\xD1\\app.dll</SRCPATH>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<DISPLAYNAME>&#3652;</DISPLAYNAME>"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("<VERSION>0.9</VERSION>"), std::string::npos) << saved;
}

}  // namespace
