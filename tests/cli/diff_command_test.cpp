// End-to-end tests of korvane diff on generated setup files.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "run_command.h"
#include "scratch_directory.h"
#include "setup_json.h"

namespace {

using korvane::testing::BuildSetup;
using korvane::testing::CommandResult;
using korvane::testing::FileJson;
using korvane::testing::Joined;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;
using Json = nlohmann::json;

const char* const kBefore = R"(
  "reservedWords": [{"word": "[APPDIR]", "meaning": "app"}, {"word": "[OLD]", "meaning": "o"},
                    {"word": "[SAME]", "meaning": "s"}],
  "config": [{"name": "PRODUCT", "value": "One"}, {"name": "GONE", "value": "g"}],
  "registry": [
    {"regPath": "Software\\Sample", "key": "Path", "type": 1, "value": "x", "action": 0},
    {"regPath": "Software\\Old", "key": "k", "type": 1, "value": "", "action": 0}],
  "preKill": [{"className": "A", "title": ""}, {"className": "B", "title": ""},
              {"className": "C", "title": ""}],
  "preExecute": ["one", "two", "three"],
)";

const char* const kAfter = R"(
  "reservedWords": [{"word": "[APPDIR]", "meaning": "application"}, {"word": "[NEW]",
                     "meaning": "n"}, {"word": "[SAME]", "meaning": "s"}],
  "config": [{"name": "PRODUCT", "value": "Two"}, {"name": "ADDED", "value": "a"}],
  "registry": [
    {"regPath": "Software\\New", "key": "k", "type": 1, "value": "", "action": 0},
    {"regPath": "software\\sample", "key": "PATH", "type": 1, "value": "y", "action": 0}],
  "preKill": [{"className": "C", "title": ""}, {"className": "A", "title": ""},
              {"className": "B", "title": ""}],
  "preExecute": ["one", "three", "four"],
)";

Json Change(const Json& before, const Json& after) {
    return {{"old", before}, {"new", after}};
}

TEST(Diff, ReportsEveryKindOfChange) {
    ScratchDirectory directory;
    ASSERT_TRUE(
        BuildSetup(directory, "a.xml",
                   kBefore + std::string(R"("files":[)") +
                       Joined({FileJson("app.dll", "app.dll", "1.0", 0, "[APPDIR]bin"),
                               FileJson("r1", "README.txt", "a"), FileJson("r2", "README.txt", "b"),
                               FileJson("old.dll", "old.dll")}) +
                       "]"));
    ASSERT_TRUE(
        BuildSetup(directory, "b.xml",
                   kAfter + std::string(R"("files":[)") +
                       Joined({FileJson("new.dll", "new.dll"), FileJson("r1", "readme.TXT", "a"),
                               FileJson("r2", "README.txt", "c"),
                               FileJson("app.dll", "APP.DLL", "1.1", 0, "[APPDIR]bin", "all")}) +
                       "]"));
    const CommandResult compared = RunKorvane({"diff", "--json", "a.xml", "b.xml"});
    ASSERT_EQ(compared.status, 1) << compared.err;
    const Json diff = Json::parse(compared.out);
    EXPECT_EQ(diff["same"], false);

    EXPECT_EQ(diff["reservedWords"]["added"], Json::parse(R"([{"word":"[NEW]","meaning":"n"}])"));
    EXPECT_EQ(diff["reservedWords"]["removed"], Json::parse(R"([{"word":"[OLD]","meaning":"o"}])"));
    EXPECT_EQ(diff["reservedWords"]["changed"],
              Json::array({{{"word", "[APPDIR]"}, {"meaning", Change("app", "application")}}}));
    EXPECT_EQ(diff["config"]["added"], Json::parse(R"([{"name":"ADDED","value":"a"}])"));
    EXPECT_EQ(diff["config"]["removed"], Json::parse(R"([{"name":"GONE","value":"g"}])"));
    EXPECT_EQ(diff["config"]["changed"][0]["value"], Change("One", "Two"));

    // Files: keyed without ASCII case, repeated keys paired in order, order of files ignored.
    const Json& files = diff["files"];
    ASSERT_EQ(files["added"].size(), 1u);
    EXPECT_EQ(files["added"][0]["fileName"], "new.dll");
    ASSERT_EQ(files["removed"].size(), 1u);
    EXPECT_EQ(files["removed"][0]["fileName"], "old.dll");
    ASSERT_EQ(files["changed"].size(), 3u) << files["changed"].dump(1);
    EXPECT_EQ(files["changed"][0]["key"],
              Json::parse(R"({"folder":"[APPDIR]bin","fileName":"app.dll","targetOs":"ALL"})"));
    EXPECT_EQ(files["changed"][0]["changes"], Json({{"fileName", Change("app.dll", "APP.DLL")},
                                                    {"version", Change("1.0", "1.1")},
                                                    {"targetOs", Change("ALL", "all")}}));
    EXPECT_EQ(files["changed"][1]["changes"],
              Json({{"fileName", Change("README.txt", "readme.TXT")}}));
    EXPECT_EQ(files["changed"][2]["changes"], Json({{"version", Change("b", "c")}}));

    const Json& registry = diff["registry"];
    EXPECT_EQ(registry["added"][0]["regPath"], "Software\\New");
    EXPECT_EQ(registry["removed"][0]["regPath"], "Software\\Old");
    EXPECT_EQ(registry["changed"][0]["changes"]["value"], Change("x", "y"));

    // Ordered lists: a longest common subsequence, and what left one place for another moved.
    EXPECT_EQ(diff["preKill"]["moved"],
              Json::parse(R"([{"from":2,"to":0,"item":{"className":"C","title":""}}])"));
    EXPECT_TRUE(diff["preKill"]["added"].empty());
    EXPECT_TRUE(diff["preKill"]["removed"].empty());
    EXPECT_EQ(diff["preExecute"]["removed"], Json::parse(R"([{"position":1,"item":"two"}])"));
    EXPECT_EQ(diff["preExecute"]["added"], Json::parse(R"([{"position":2,"item":"four"}])"));
    EXPECT_EQ(diff["postExecute"], Json::parse(R"({"added":[],"removed":[],"moved":[]})"));

    const CommandResult text = RunKorvane({"diff", "a.xml", "b.xml"});
    EXPECT_EQ(text.status, 1);
    for (const char* line :
         {"Reserved words: 1 added, 1 removed, 1 changed\n",
          "  ~ [APPDIR]: \"app\" -> "
          "\"application\"\n",
          "  + FOLDER \"[APPDIR]\", FILENAME \"new.dll\", TARGETOS \"ALL\"\n",
          "  ~ FOLDER \"[APPDIR]\", FILENAME \"README.txt\", TARGETOS \"ALL\": VERSION \"b\" -> "
          "\"c\"\n",
          "  > [2] -> [0] CLASS \"C\", TITLE \"\"\n", "  - [1] \"two\"\n"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
}

TEST(Diff, FormattingAndWhatALoadDropsAreNoDifference) {
    ScratchDirectory directory;
    ASSERT_TRUE(BuildSetup(
        directory, "a.xml",
        R"("registry":[{"regPath":"R","key":"K","type":1,"value":"v","action":0}],"files":[)" +
            Joined({FileJson("a", "a.dll", "1", 5), FileJson("b", "b.dll", "2", 6)}) + "]"));
    // Another order of files and of values, white space, a comment and numbers written
    // otherwise: the same installation.
    directory.Write("b.xml",
                    "<?xml version=\"1.0\"?>\n<SETUP><!-- hand-edited -->\n"
                    "<REGISTRYS><REGISTRY><KEY>K</KEY><REGPATH>R</REGPATH><TYPE>01</TYPE>"
                    "<VALUE>v</VALUE><ACTION> 0</ACTION></REGISTRY></REGISTRYS>\n<FILES>"
                    "<FILE><FILESIZE>6</FILESIZE><SRCPATH>b</SRCPATH><FILENAME>b.dll</FILENAME>"
                    "<FOLDER>[APPDIR]</FOLDER><VERSION>2</VERSION><TARGETOS>ALL</TARGETOS>"
                    "<OVERWRITE>+1</OVERWRITE></FILE>\n  <FILE><SRCPATH>a</SRCPATH><FILENAME>a.dll"
                    "</FILENAME><FOLDER>[APPDIR]</FOLDER><VERSION>1</VERSION><TARGETOS>ALL"
                    "</TARGETOS><OVERWRITE>1</OVERWRITE><FILESIZE>5</FILESIZE><UNKNOWN/></FILE>"
                    "</FILES></SETUP>\n");
    const CommandResult compared = RunKorvane({"diff", "a.xml", "b.xml"});
    EXPECT_EQ(compared.status, 0) << compared.out << compared.err;
    EXPECT_EQ(compared.out, "no differences\n");
    EXPECT_EQ(Json::parse(RunKorvane({"diff", "--json", "a.xml", "b.xml"}).out)["same"], true);
}

TEST(Diff, AFileThatCannotBeLoadedIsAnError) {
    ScratchDirectory directory;
    ASSERT_TRUE(BuildSetup(directory, "a.xml", R"("files":[])"));
    directory.Write("broken.xml", "<SETUP>");
    EXPECT_EQ(RunKorvane({"diff", "a.xml", "missing.xml"}).status, 2);
    const CommandResult broken = RunKorvane({"diff", "broken.xml", "a.xml"});
    EXPECT_EQ(broken.status, 2);
    EXPECT_NE(broken.err.find("broken.xml:"), std::string::npos) << broken.err;
}

}  // namespace
