// korvane build on descriptions an author could write by hand: every slip is refused with the
// JSON path at fault and nothing written; what show --json prints is built back as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

// The members of a complete file entry, as JSON texts, in the order show --json prints them.
using Members = std::vector<std::pair<std::string, std::string>>;

Members FileMembers() {
    return {{"srcPath", R"("bin\\app.exe")"},
            {"fileName", R"("app.exe")"},
            {"folder", R"("[APPDIR]")"},
            {"version", R"("1.0")"},
            {"targetOs", R"("ALL")"},
            {"shortcut", R"("DESKTOP")"},
            {"displayName", R"("App")"},
            {"iconIndex", "0"},
            {"selfReg", "0"},
            {"overwrite", "1"},
            {"fileSize", "10"},
            {"realTime", "0"},
            {"reboot", "0"}};
}

std::string Object(const Members& members) {
    std::string json;
    for (const auto& [key, value] : members)
        json += (json.empty() ? "{" : ", ") + ("\"" + key + "\": " + value);
    return json + "}";
}

// A description of one file entry whose member `key` holds the JSON `value`: in place of the
// entry's own, or added after the others when the entry has no such member.
std::string WithFileMember(const std::string& key, const std::string& value) {
    Members members = FileMembers();
    bool replaced = false;
    for (auto& member : members) {
        if (member.first == key) {
            member.second = value;
            replaced = true;
        }
    }
    if (!replaced) members.emplace_back(key, value);
    return R"({"files": [)" + Object(members) + "]}";
}

// The same without the member `key`.
std::string WithoutFileMember(const std::string& key) {
    Members members = FileMembers();
    for (auto member = members.begin(); member != members.end(); ++member) {
        if (member->first == key) {
            members.erase(member);
            break;
        }
    }
    return R"({"files": [)" + Object(members) + "]}";
}

const char* const kFileKeys =
    "srcPath, fileName, folder, version, targetOs, shortcut, displayName, iconIndex, selfReg, "
    "overwrite, fileSize, realTime, reboot";
const char* const kDescriptionKeys =
    "$schema, reservedWords, config, files, registry, preKill, upKill, preExecute, postExecute, "
    "updateExecute, deleteExecute";
const char* const kIntegerRange = "must be an integer from -2147483648 to 2147483647; it is ";
const char* const kFlagValues = "must be 0, 1, false or true; it is ";

// A description build must refuse, and the start of its one line of error (the whole line
// where it ends in a line feed), after "korvane: d.json".
struct Refused {
    const char* name;
    std::string json;
    std::string error;
};

std::string ParamName(const ::testing::TestParamInfo<Refused>& info) {
    return info.param.name;
}

// How GoogleTest and CTest name a case beside its test: by its name, not its bytes.
void PrintTo(const Refused& refused, std::ostream* out) {
    *out << refused.name;
}

class BuildRefuses : public ::testing::TestWithParam<Refused> {};

TEST_P(BuildRefuses, NamingWhereAndWritingNothing) {
    ScratchDirectory directory;
    directory.Write("d.json", GetParam().json);
    const CommandResult toFile = RunKorvane({"build", "d.json", "-o", "out.xml"});
    EXPECT_EQ(toFile.status, 1);
    const std::string expected = "korvane: d.json" + GetParam().error;
    EXPECT_EQ(toFile.err.substr(0, expected.size()), expected) << toFile.err;
    EXPECT_EQ(std::count(toFile.err.begin(), toFile.err.end(), '\n'), 1) << toFile.err;
    EXPECT_FALSE(directory.Exists("out.xml"));

    const CommandResult toOutput = RunKorvane({"build", "d.json", "-o", "-"});
    EXPECT_EQ(toOutput.status, 1);
    EXPECT_EQ(toOutput.out, "");
    EXPECT_EQ(toOutput.err, toFile.err);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BuildRefuses,
    ::testing::Values(
        Refused{"MisspeltSection", R"({"file": []})",
                std::string(": file is unknown; the description has the keys ") + kDescriptionKeys +
                    "\n"},
        Refused{"UnknownKeyOfAFile", WithFileMember("fileNmae", R"("x")"),
                std::string(": files[0].fileNmae is unknown; an entry of files has the keys ") +
                    kFileKeys + "\n"},
        Refused{"UnknownKeyOfAReservedWord",
                R"({"reservedWords": [{"word": "[A]", "meaning": "", "expansion": "/opt"}]})",
                ": reservedWords[0].expansion is unknown; an entry of reservedWords has the "
                "keys word, meaning\n"},
        Refused{"MissingKey", WithoutFileMember("fileSize"), ": files[0].fileSize is missing\n"},
        Refused{"SectionGivenTwice", R"({"config": [], "config": [{"name": "A", "value": ""}]})",
                ":1:16: config is given twice\n"},
        Refused{"KeyOfAnEntryGivenTwice",
                "{\"files\": [\n  " + Object(FileMembers()) +
                    ",\n  {\"srcPath\": \"a\", \"srcPath\": \"b\"}]}",
                ":3:20: files[1].srcPath is given twice\n"}),
    ParamName);

INSTANTIATE_TEST_SUITE_P(
    Types, BuildRefuses,
    ::testing::Values(
        Refused{"DescriptionNotAnObject", "[]",
                ": the description must be an object; it is an array\n"},
        Refused{"SectionNotAnArray", R"({"files": {}})",
                ": files must be an array; it is an object\n"},
        Refused{"SectionNull", R"({"preExecute": null})",
                ": preExecute must be an array; it is null\n"},
        Refused{"EntryNotAnObject", R"({"files": ["app.exe"]})",
                ": files[0] must be an object; it is a string\n"},
        Refused{"CommandNotAString", R"({"postExecute": ["ok", 7]})",
                ": postExecute[1] must be a string; it is 7\n"},
        Refused{"TextNotAString", WithFileMember("version", "1.0"),
                ": files[0].version must be a string; it is 1.0\n"},
        Refused{"SchemaNotAString", R"({"$schema": true})",
                ": $schema must be a string; it is true\n"},
        Refused{"NumberAsString", WithFileMember("iconIndex", R"("3")"),
                std::string(": files[0].iconIndex ") + kIntegerRange + "a string\n"},
        Refused{"NumberBeyond32Bits", WithFileMember("fileSize", "2147483648"),
                std::string(": files[0].fileSize ") + kIntegerRange + "2147483648\n"},
        Refused{"NumberBelow32Bits", WithFileMember("iconIndex", "-2147483649"),
                std::string(": files[0].iconIndex ") + kIntegerRange + "-2147483649\n"},
        Refused{"NumberBeyond64Bits", WithFileMember("fileSize", "18446744073709551615"),
                std::string(": files[0].fileSize ") + kIntegerRange + "18446744073709551615\n"},
        Refused{"NumberWithAFraction", WithFileMember("overwrite", "1.5"),
                std::string(": files[0].overwrite ") + kIntegerRange + "1.5\n"},
        Refused{"RegistryTypeAsString",
                R"({"registry": [{"regPath": "Software\\A", "key": "K", "type": "1",
                                  "value": "", "action": 0}]})",
                std::string(": registry[0].type ") + kIntegerRange + "a string\n"},
        Refused{"FlagSeven", WithFileMember("selfReg", "7"),
                std::string(": files[0].selfReg ") + kFlagValues + "7\n"},
        Refused{"FlagMinusOne", WithFileMember("reboot", "-1"),
                std::string(": files[0].reboot ") + kFlagValues + "-1\n"},
        Refused{"FlagAsString", WithFileMember("realTime", R"("1")"),
                std::string(": files[0].realTime ") + kFlagValues + "a string\n"},
        Refused{"FlagAsFraction", WithFileMember("realTime", "1.0"),
                std::string(": files[0].realTime ") + kFlagValues + "1.0\n"}),
    ParamName);

INSTANTIATE_TEST_SUITE_P(
    Texts, BuildRefuses,
    ::testing::Values(
        Refused{"ShortcutLongerThanItsWidth", WithFileMember("shortcut", R"("STARTMENU_LONG")"),
                ": files[0].shortcut holds 14 bytes; a load keeps 9\n"},
        // Under UTF-8 each of these takes two bytes.
        Refused{"WidthInBytesOfTheCodePage",
                WithFileMember("shortcut", R"("\u00e9\u00e9\u00e9\u00e9\u00e9")"),
                ": files[0].shortcut holds 10 bytes; a load keeps 9\n"},
        Refused{"WindowClassLongerThanALoadKeeps",
                R"({"preKill": [{"className": ")" + std::string(256, 'c') + R"(", "title": ""}]})",
                ": preKill[0].className holds 256 bytes; a load keeps 255\n"},
        Refused{"CommandLongerThanALoadKeeps",
                R"({"deleteExecute": [")" + std::string(2048, 'x') + R"("]})",
                ": deleteExecute[0] holds 2048 bytes; a load keeps 2047\n"},
        Refused{"MeaningLongerThanALoadKeeps",
                R"({"reservedWords": [{"word": "[A]", "meaning": ")" + std::string(1024, 'm') +
                    R"("}]})",
                ": reservedWords[0].meaning holds 1024 bytes; a load keeps 1023\n"},
        Refused{"ControlCharacter", WithFileMember("displayName", R"("App\u0007")"),
                ": files[0].displayName holds U+0007, which no setup file can hold\n"},
        Refused{
            "ReservedWordGivenTwice",
            R"({"reservedWords": [{"word": "[A]", "meaning": "1"}, {"word": "[B]", "meaning": "2"},
                                      {"word": "[A]", "meaning": "3"}]})",
            ": reservedWords[2].word is a later duplicate of the reserved word '[A]' "
            "(reservedWords[0].word), which a load drops\n"},
        Refused{"ConfigurationFieldGivenTwice",
                R"({"config": [{"name": "A", "value": "1"}, {"name": "A", "value": "2"}]})",
                ": config[1].name is a later duplicate of the configuration field 'A' "
                "(config[0].name), which a load drops\n"},
        Refused{"ConfigurationNameNotAnElementName",
                R"({"config": [{"name": "1st", "value": ""}]})",
                ": config[0].name '1st' cannot be saved (not an XML element name, or not "
                "writable in euc-kr)\n"}),
    ParamName);

std::string Nested(std::size_t levels) {
    return std::string(levels, '[') + std::string(levels, ']');
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, BuildRefuses,
    ::testing::Values(
        Refused{"NestedDeeperThan64Levels", Nested(65),
                ":1:65: arrays and objects nested deeper than 64 levels\n"},
        // 64 levels are read, and then found to be no description.
        Refused{"Nested64Levels", Nested(64),
                ": the description must be an object; it is an array\n"},
        Refused{"NestedDeeperInASection", R"({"preExecute": )" + Nested(64) + "}",
                ":1:79: arrays and objects nested deeper than 64 levels\n"},
        Refused{"LineAndColumn", "{\n  \"files\": [\n    {\"a\": tru }\n]}",
                ":3:14: not valid JSON: "},
        Refused{"ColumnInCharacters", "{\"x\": \"\xED\x95\x9C\xEA\xB8\x80\", \"y\": tru}",
                ":1:21: not valid JSON: "},
        Refused{"EndTooEarly", R"({"files": [)", ":1:12: not valid JSON: "},
        Refused{"NotUtf8", "{\"files\": [],\n \"x\xFF\": 1}", ":2:4: not valid JSON: "},
        Refused{"TextAfterTheDescription", "{}\n{}", ":2:1: not valid JSON: "}),
    ParamName);

TEST(BuildCommand, TakesFlagsAsNumbersOrTruthValuesAndIgnoresTheSchemaAddress) {
    ScratchDirectory directory;
    Members members = FileMembers();
    for (auto& [key, value] : members) {
        if (key == "selfReg") value = "true";
        if (key == "realTime") value = "false";
        if (key == "reboot") value = "1";
        if (key == "fileSize") value = "-5";  // as a file may hold it, and show prints it
        if (key == "shortcut") value = R"("STARTMENU")";  // its whole width
    }
    directory.Write("d.json", R"({"$schema": "https://example.org/setup.schema.json",
                                  "files": [)" +
                                  Object(members) + "]}");
    const CommandResult built = RunKorvane({"build", "d.json", "-o", "out.xml"});
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.err, "");
    const std::string saved = directory.Read("out.xml");
    for (const char* element :
         {"<SELFREG>1</SELFREG>", "<REALTIME>0</REALTIME>", "<REBOOT>1</REBOOT>",
          "<FILESIZE>-5</FILESIZE>", "<SHORTCUT>STARTMENU</SHORTCUT>"}) {
        EXPECT_NE(saved.find(element), std::string::npos) << element << "\n" << saved;
    }
    EXPECT_EQ(saved.find("schema"), std::string::npos) << saved;
}

// What show --json prints of each seed file of the loader's fuzzer and of the bundled example
// is built back into a file that shows the same; where a save of the loaded file fails (a
// configuration name no save can write), build refuses too.
TEST(BuildCommand, BuildsBackWhatShowPrints) {
    ScratchDirectory directory;
    std::vector<std::string> files{KORVANE_EXAMPLE_SETUP};
    for (const auto& entry : std::filesystem::directory_iterator(KORVANE_LOAD_SEEDS))
        files.push_back(entry.path().string());
    int builtBack = 0;
    for (const std::string& file : files) {
        const CommandResult shown = RunKorvane({"show", "--json", file});
        if (shown.status != 0) continue;
        directory.Write("shown.json", shown.out);
        const bool savable = RunKorvane({"format", "--force", file, "-o", "saved.xml"}).status == 0;
        const CommandResult built = RunKorvane({"build", "shown.json", "-o", "built.xml"});
        EXPECT_EQ(built.status, savable ? 0 : 1) << file << "\n" << built.err;
        if (!savable || built.status != 0) continue;
        EXPECT_EQ(built.err, "") << file;
        EXPECT_EQ(RunKorvane({"show", "--json", "built.xml"}).out, shown.out) << file;
        ++builtBack;
    }
    EXPECT_GT(builtBack, 60);
}

}  // namespace
