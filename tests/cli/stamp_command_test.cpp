// End-to-end tests of korvane stamp on generated trees of source files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "pe_fixtures.h"
#include "run_command.h"
#include "scratch_directory.h"
#include "setup_json.h"

namespace {

namespace fs = std::filesystem;
using korvane::testing::BuildSetup;
using korvane::testing::CommandResult;
using korvane::testing::FileJson;
using korvane::testing::Joined;
using korvane::testing::PeFixturePath;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

// The files of a setup file as `show --json` gives them.
nlohmann::json FilesOf(const std::string& setup) {
    const CommandResult shown = RunKorvane({"show", "--json", setup});
    EXPECT_EQ(shown.status, 0) << shown.err;
    return nlohmann::json::parse(shown.out)["files"];
}

void PlaceFixture(const std::string& fixture, const fs::path& at) {
    if (at.has_parent_path()) fs::create_directories(at.parent_path());
    fs::copy_file(PeFixturePath(fixture), at);
}

TEST(Stamp, SetsSizesAndVersionsFromVersionResourcesOnly) {
    ScratchDirectory directory;
    PlaceFixture("version-1001.dll", "tree/bin/app.dll");
    PlaceFixture("no-version.dll", "tree/bin/plain.dll");
    PlaceFixture("version-spaces.dll", "tree/bin/blank.dll");
    PlaceFixture("version-build-pe32plus.dll", "tree/Lib/Sub/Build.DLL");
    ASSERT_TRUE(BuildSetup(directory, "setup.xml",
                           R"("files":[)" +
                               Joined({FileJson("bin\\\\app.dll", "app.dll", "0.9", 1),
                                       FileJson("bin/plain.dll", "plain.dll", "keep", 1),
                                       FileJson("bin\\\\blank.dll", "blank.dll", "also", 2560),
                                       // found without ASCII case, through both separators
                                       FileJson("lib/SUB\\\\build.dll", "build.dll", "", 0)}) +
                               "]"));
    const CommandResult stamped = RunKorvane({"stamp", "setup.xml", "--from", "tree", "-v"});
    EXPECT_EQ(stamped.status, 0) << stamped.err;
    EXPECT_NE(stamped.out.find("stamped 4 of 4 entries: 2 versions changed, 3 sizes changed, 0 "
                               "missing, 0 ambiguous, 0 too large, 0 left alone"),
              std::string::npos)
        << stamped.out;
    // --verbose says why a version stayed: a time stamp, or a resource without FileVersion.
    EXPECT_NE(stamped.out.find("FILE 1 \"bin/plain.dll\": VERSION left as it was: no version "
                               "resource"),
              std::string::npos)
        << stamped.out;
    EXPECT_NE(stamped.out.find("FILE 2 \"bin\\blank.dll\": VERSION left as it was: the version "
                               "resource holds no usable FileVersion"),
              std::string::npos)
        << stamped.out;

    const nlohmann::json files = FilesOf("setup.xml");
    EXPECT_EQ(files[0]["version"], "1.0.0.1");
    EXPECT_EQ(files[0]["fileSize"], 2560);
    EXPECT_EQ(files[1]["version"], "keep");
    EXPECT_EQ(files[1]["fileSize"], 2560);
    EXPECT_EQ(files[2]["version"], "also");
    EXPECT_EQ(files[3]["version"], "2.3.4(build7)");
    EXPECT_EQ(files[3]["srcPath"], "lib/SUB\\build.dll");  // the description keeps its own names
}

TEST(Stamp, MissingOrAmbiguousSourcesWriteNothingUnlessKeepGoing) {
    ScratchDirectory directory;
    PlaceFixture("version-1001.dll", "tree/app.dll");
    PlaceFixture("no-version.dll", "tree/dup/Twin.dll");
    PlaceFixture("no-version.dll", "tree/dup/TWIN.dll");
    ASSERT_TRUE(BuildSetup(
        directory, "setup.xml",
        R"("files":[)" +
            Joined({FileJson("app.dll", "app.dll"), FileJson("dup\\\\twin.dll", "twin.dll"),
                    FileJson("sub\\\\gone.dll", "gone.dll")}) +
            "]"));
    const std::string before = directory.Read("setup.xml");

    const CommandResult refused = RunKorvane({"stamp", "setup.xml", "--from", "tree"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("FILE 1 \"dup\\twin.dll\": ambiguous source, matched by "
                               "tree/dup/TWIN.dll tree/dup/Twin.dll"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("FILE 2 \"sub\\gone.dll\": no source: tree/sub is missing"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.out.find("1 missing, 1 ambiguous"), std::string::npos) << refused.out;
    EXPECT_EQ(directory.Read("setup.xml"), before);

    const CommandResult kept =
        RunKorvane({"stamp", "setup.xml", "--from", "tree", "--keep-going", "-o", "out.xml"});
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(directory.Read("setup.xml"), before);
    const nlohmann::json files = FilesOf("out.xml");
    EXPECT_EQ(files[0]["version"], "1.0.0.1");
    EXPECT_EQ(files[1]["fileSize"], 0);
    EXPECT_EQ(files[2]["fileSize"], 0);
}

TEST(Stamp, PathsOutsideTheFolderAreReportedAndLeftAlone) {
    ScratchDirectory directory;
    PlaceFixture("version-1001.dll", "tree/app.dll");
    PlaceFixture("version-1001.dll", "outside.dll");
    ASSERT_TRUE(BuildSetup(
        directory, "setup.xml",
        R"("reservedWords":[{"word":"[APPDIR]","meaning":""}],"files":[)" +
            Joined({FileJson("..\\\\outside.dll", "a", "", 7),
                    FileJson("x\\\\..\\\\..\\\\outside.dll", "b", "", 7),
                    FileJson("/etc/hostname", "c", "", 7), FileJson("C:\\\\app.dll", "d", "", 7),
                    FileJson("[APPDIR]app.dll", "e", "", 7),
                    FileJson("x\\\\..\\\\app.dll", "f", "", 7)}) +
            "]"));
    const CommandResult stamped = RunKorvane({"stamp", "setup.xml", "--from", "tree"});
    EXPECT_EQ(stamped.status, 0) << stamped.err;
    EXPECT_NE(stamped.err.find("FILE 0 \"..\\outside.dll\": left alone: climbs out"),
              std::string::npos)
        << stamped.err;
    EXPECT_NE(stamped.err.find("FILE 2 \"/etc/hostname\": left alone: an absolute path"),
              std::string::npos);
    EXPECT_NE(stamped.err.find("FILE 3 \"C:\\app.dll\": left alone: an absolute path"),
              std::string::npos);
    EXPECT_NE(stamped.err.find("FILE 4 \"[APPDIR]app.dll\": left alone: holds the reserved word"),
              std::string::npos);
    EXPECT_NE(stamped.out.find("stamped 1 of 6 entries"), std::string::npos) << stamped.out;
    const nlohmann::json files = FilesOf("setup.xml");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(files[i]["fileSize"], 7) << i;
    EXPECT_EQ(files[5]["fileSize"], 2560);  // a ".." that stays inside is followed
}

// Links that lead out of --from are reported and left alone like a ".." that climbs out, and
// counted as missing; links that stay inside are followed; --follow-links takes them all.
TEST(Stamp, LinksOutOfTheFolderAreLeftAloneUnlessFollowed) {
    ScratchDirectory directory;
    PlaceFixture("version-1001.dll", "tree/bin/app.dll");
    PlaceFixture("version-1001.dll", "secret/shadow.dll");
    fs::create_directory_symlink(directory.path(), "tree/root");  // like dist/root -> /
    fs::create_symlink(directory.path() / "secret/shadow.dll", "tree/shadow.dll");
    fs::create_symlink("../secret/shadow.dll", "tree/relative.dll");
    fs::create_symlink("bin/app.dll", "tree/inner.dll");
    fs::create_directory_symlink("bin", "tree/Lib");
    ASSERT_TRUE(BuildSetup(directory, "setup.xml",
                           R"("files":[)" +
                               Joined({FileJson("root\\\\secret\\\\shadow.dll", "a", "", 7),
                                       FileJson("shadow.dll", "b", "", 7),
                                       FileJson("RELATIVE.dll", "c", "", 7),
                                       FileJson("inner.dll", "d", "", 7),
                                       FileJson("lib\\\\app.dll", "e", "", 7)}) +
                               "]"));
    const std::string before = directory.Read("setup.xml");

    const CommandResult confined = RunKorvane({"stamp", "setup.xml", "--from", "tree"});
    EXPECT_EQ(confined.status, 1) << confined.err;
    for (const char* label : {"FILE 0 \"root\\secret\\shadow.dll\"", "FILE 1 \"shadow.dll\"",
                              "FILE 2 \"RELATIVE.dll\""}) {
        EXPECT_NE(confined.err.find(std::string(label) +
                                    ": left alone: a link leads it out of the folder, to "),
                  std::string::npos)
            << label << "\n"
            << confined.err;
    }
    EXPECT_NE(confined.out.find("stamped 2 of 5 entries: 2 versions changed, 2 sizes changed, 3 "
                                "missing"),
              std::string::npos)
        << confined.out;
    EXPECT_EQ(directory.Read("setup.xml"), before);

    const CommandResult kept =
        RunKorvane({"stamp", "setup.xml", "--from", "tree", "--keep-going", "-o", "kept.xml"});
    EXPECT_EQ(kept.status, 1) << kept.err;
    const nlohmann::json keptFiles = FilesOf("kept.xml");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(keptFiles[i]["fileSize"], 7) << i;
    EXPECT_EQ(keptFiles[3]["fileSize"], 2560);  // links inside the folder are followed
    EXPECT_EQ(keptFiles[4]["version"], "1.0.0.1");

    const CommandResult followed =
        RunKorvane({"stamp", "setup.xml", "--from", "tree", "--follow-links"});
    EXPECT_EQ(followed.status, 0) << followed.err;
    const nlohmann::json files = FilesOf("setup.xml");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(files[i]["fileSize"], 2560) << i;
        EXPECT_EQ(files[i]["version"], "1.0.0.1") << i;
    }
}

TEST(Stamp, RefusesSizesBeyondTheField) {
    ScratchDirectory directory;
    fs::create_directories("tree");
    fs::resize_file(directory.Write("tree/huge.bin", ""), 2147483648ull);  // sparse
    fs::resize_file(directory.Write("tree/edge.bin", ""), 2147483647ull);
    ASSERT_TRUE(BuildSetup(
        directory, "setup.xml",
        R"("files":[)" +
            Joined({FileJson("huge.bin", "huge.bin", "", 1), FileJson("edge.bin", "edge.bin")}) +
            "]"));
    const CommandResult stamped =
        RunKorvane({"stamp", "setup.xml", "--from", "tree", "--keep-going"});
    EXPECT_EQ(stamped.status, 1);
    EXPECT_NE(stamped.err.find("tree/huge.bin holds 2147483648 bytes; FILESIZE holds at most "
                               "2147483647"),
              std::string::npos)
        << stamped.err;
    const nlohmann::json files = FilesOf("setup.xml");
    EXPECT_EQ(files[0]["fileSize"], 1);
    EXPECT_EQ(files[1]["fileSize"], 2147483647);
}

TEST(Stamp, RefusesWhatALoadWouldLoseUnlessForced) {
    ScratchDirectory directory;
    PlaceFixture("version-1001.dll", "tree/app.dll");
    const std::string setup =
        "<SETUP><!-- kept by hand --><FILES><FILE><SRCPATH>app.dll</SRCPATH></FILE></FILES>"
        "</SETUP>";
    directory.Write("setup.xml", setup);
    const CommandResult refused = RunKorvane({"stamp", "setup.xml", "--from", "tree"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("a comment in the root element is ignored"), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("give --force"), std::string::npos);
    EXPECT_EQ(directory.Read("setup.xml"), setup);

    EXPECT_EQ(RunKorvane({"stamp", "setup.xml", "--from", "tree", "--force"}).status, 0);
    EXPECT_EQ(FilesOf("setup.xml")[0]["version"], "1.0.0.1");
}

// Entries are named as the file names them, numbered from 0 as the exports number them; texts
// are quoted as diff quotes them, so that an empty version shows as "".
TEST(Stamp, DryRunShowsTheChangesWithoutWriting) {
    ScratchDirectory directory;
    PlaceFixture("version-1001.dll", "tree/app.dll");
    PlaceFixture("version-1001.dll", "tree/new.dll");
    ASSERT_TRUE(BuildSetup(directory, "setup.xml",
                           R"("files":[)" +
                               Joined({FileJson("app.dll", "app.dll", "0.9", 3),
                                       FileJson("new.dll", "new.dll", "", 2560)}) +
                               "]"));
    const std::string before = directory.Read("setup.xml");
    const CommandResult dry = RunKorvane({"stamp", "setup.xml", "--from", "tree", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out,
              "FILE 0 \"app.dll\": VERSION \"0.9\" -> \"1.0.0.1\", FILESIZE 3 -> 2560\n"
              "FILE 1 \"new.dll\": VERSION \"\" -> \"1.0.0.1\"\n"
              "stamped 2 of 2 entries: 2 versions changed, 1 sizes changed, 0 missing, 0 "
              "ambiguous, 0 too large, 0 left alone\n"
              "nothing written\n");
    EXPECT_EQ(directory.Read("setup.xml"), before);
    EXPECT_EQ(directory.Listing(), "setup.xml setup.xml.json tree ");
}

// Stamp changes the size and version of an entry and nothing else: every other value, each
// number given a value of its own (and so each flag set), comes back as it was.
TEST(Stamp, CarriesEveryOtherValueOfTheEntry) {
    ScratchDirectory directory;
    PlaceFixture("version-1001.dll", "tree/app.dll");
    nlohmann::json entry =
        nlohmann::json::parse(FileJson("app.dll", "app.dll", "0.9", 0, "[SYSDIR]", "NT"));
    entry["shortcut"] = "DESK";
    entry["displayName"] = "App";
    int number = 2;
    for (auto& member : entry.items()) {
        // A flag is set by 1, the only number besides 0 that build takes for one.
        const bool flag =
            member.key() == "selfReg" || member.key() == "realTime" || member.key() == "reboot";
        if (member.value().is_number()) member.value() = flag ? 1 : number++;
    }
    ASSERT_TRUE(BuildSetup(directory, "setup.xml", R"("files":[)" + entry.dump() + "]"));
    const nlohmann::json before = FilesOf("setup.xml")[0];
    for (const auto& member : before.items()) {
        if (member.value().is_number()) {
            ASSERT_NE(member.value(), 0) << member.key();
        }
    }

    const CommandResult stamped = RunKorvane({"stamp", "setup.xml", "--from", "tree"});
    ASSERT_EQ(stamped.status, 0) << stamped.err;
    nlohmann::json after = FilesOf("setup.xml")[0];
    EXPECT_EQ(after["version"], "1.0.0.1");
    EXPECT_EQ(after["fileSize"], 2560);
    after["version"] = before["version"];
    after["fileSize"] = before["fileSize"];
    EXPECT_EQ(after, before);
}

}  // namespace
