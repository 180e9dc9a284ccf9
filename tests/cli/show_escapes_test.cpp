// korvane show prints texts so that a terminal cannot be made to hide part of them: control
// characters (C1 ones under every code set that has them), bidirectional overrides and
// zero-width characters appear as escapes in the tables, walked by whole characters of the
// system code page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

// One command per line of the table, each holding characters that a terminal acts on.
const char* const kDisguisedCommands = R"(<SETUP><PREEXECUTE>
  <COMMAND>curl x|sh ;#&#13;notepad.exe readme.txt</COMMAND>
  <COMMAND>a&#9;b&#10;c&#127;d</COMMAND>
  <COMMAND>x&#x85;y&#x9F;z&#xA0;</COMMAND>
  <COMMAND>&#x202A;&#x202E;exe.txt&#x202C;&#x2066;&#x2069;&#x2029;&#x202F;&#x2070;</COMMAND>
  <COMMAND>a&#x200B;b&#x200D;c&#x2060;d&#xFEFF;e&#x061C;f&#x2028;g&#xE0041;</COMMAND>
  <COMMAND>한글 ok</COMMAND>
</PREEXECUTE></SETUP>
)";

TEST(ShowEscapes, ControlsAndOverridesAppearAsEscapesUnderUtf8) {
    ScratchDirectory directory;
    directory.Write("disguised.xml", kDisguisedCommands);
    CommandResult shown = RunKorvane({"show", "disguised.xml"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("Commands before installing (6)\n"
                             "  COMMAND\n"
                             "  curl x|sh ;#\\x0Dnotepad.exe readme.txt\n"
                             "  a\\x09b\\x0Ac\\x7Fd\n"
                             "  x\\u{0085}y\\u{009F}z\u00A0\n"
                             "  \\u{202A}\\u{202E}exe.txt\\u{202C}\\u{2066}\\u{2069}"
                             "\\u{2029}\u202F\u2070\n"
                             "  a\\u{200B}b\\u{200D}c\\u{2060}d\\u{FEFF}e\\u{061C}f\\u{2028}g"
                             "\\u{E0041}\n"
                             "  한글 ok\n"),
              std::string::npos)
        << shown.out;

    // JSON escapes what it must by itself, and nothing twice.
    CommandResult json = RunKorvane({"show", "--json", "disguised.xml"});
    EXPECT_NE(json.out.find(R"("curl x|sh ;#\rnotepad.exe readme.txt")"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"("a\tb\nc)"
                            "\x7F"
                            R"(d")"),
              std::string::npos);
}

// Builds the locale `source` in the code set `charmap` in `directory`, named `name`; false
// when this system lacks what that takes.
bool MakeLocale(const ScratchDirectory& directory, const char* source, const char* charmap,
                const char* name) {
    const std::string command = std::string("localedef -i ") + source + " -f " + charmap + " " +
                                directory.path().string() + "/" + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Runs korvane with `arguments` under the locale `name` built in `directory`.
CommandResult RunUnderLocale(const ScratchDirectory& directory, const char* name,
                             const std::vector<std::string>& arguments) {
    // glibc keeps the locale path that LOCPATH gives for the life of the process, which the
    // leak checker of an instrumented build would report.
    const std::string suppressions = directory.Write("leaks.supp", "leak:__argz_add_sep\n");
    const char* leakOptions = std::getenv("LSAN_OPTIONS");
    return RunKorvane(arguments,
                      {{{"LOCPATH", directory.path().string()},
                        {"LC_ALL", name},
                        {"LSAN_OPTIONS", std::string(leakOptions != nullptr ? leakOptions : "") +
                                             ":suppressions=" + suppressions}},
                       ""});
}

TEST(ShowEscapes, DoubleByteCharactersAreNeverTakenForControls) {
    ScratchDirectory directory;
    if (!MakeLocale(directory, "ko_KR", "EUC-KR", "ko_KR.EUC-KR")) {
        GTEST_SKIP() << "localedef or the ko_KR locale source is missing";
    }
    // 똠 is 8C 63 and 갂 is 81 41 in code page 949: lead bytes in the C1 range.
    directory.Write("korean.xml",
                    "<SETUP><PREEXECUTE><COMMAND>똠&#13;갂&#x202E;</COMMAND></PREEXECUTE></SETUP>");
    CommandResult shown = RunUnderLocale(directory, "ko_KR.EUC-KR", {"show", "korean.xml"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    // U+202E is not in the code page: the load read it as '?' and kept the file's text, which
    // the table shows as an escape.
    EXPECT_NE(shown.out.find("  \x8C\x63\\x0D\x81\x41\\u{202E}\n"), std::string::npos) << shown.out;
}

TEST(ShowEscapes, C1ControlsOfALatinCodeSetAppearAsEscapes) {
    ScratchDirectory directory;
    if (!MakeLocale(directory, "en_US", "ISO-8859-1", "en_US.ISO-8859-1")) {
        GTEST_SKIP() << "localedef or the en_US locale source is missing";
    }
    // Under ISO-8859-1, 9B (CSI) would clear the screen, 9D (OSC) to 9C (ST) plant a link.
    directory.Write("latin.xml", R"(<SETUP><PREEXECUTE>
  <COMMAND>caf&#xE9;&#x9B;2J&#x9D;8;;http://x&#x9C;here&#x85;</COMMAND>
</PREEXECUTE></SETUP>
)");
    CommandResult shown = RunUnderLocale(directory, "en_US.ISO-8859-1", {"show", "latin.xml"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("  caf\xE9\\x9B2J\\x9D8;;http://x\\x9Chere\\x85\n"), std::string::npos)
        << shown.out;
    for (const char raw : {'\x9B', '\x9C', '\x9D', '\x85'})
        EXPECT_EQ(shown.out.find(raw), std::string::npos) << shown.out;

    CommandResult checked = RunUnderLocale(directory, "en_US.ISO-8859-1", {"check", "latin.xml"});
    EXPECT_EQ(checked.status, 1);
    EXPECT_NE(checked.out.find("latin.xml:2: "), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find(
                  "holds characters that can disguise it on a screen: \\x9B \\x9D \\x9C \\x85\n"),
              std::string::npos)
        << checked.out;
}

}  // namespace
